#!/usr/bin/env bash
# Installs what is missing, then configures and builds Kalvo into build/ (incremental, ccache).
set -euo pipefail
here=$(cd "$(dirname "$0")/.." && pwd)
bash "$here/scripts/install-deps.sh"
build=${KALVO_BUILD_DIR:-$here/build}
export CCACHE_DIR=${CCACHE_DIR:-$HOME/.cache/ccache}
# Paths relative to the checkout, so clones in other folders share the cache.
export CCACHE_BASEDIR=${CCACHE_BASEDIR:-$here}
if [ ! -f "$build/CMakeCache.txt" ]; then
  cmake -S "$here" -B "$build" -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
fi
cmake --build "$build" -j "$(nproc)" "$@"
