#!/usr/bin/env bash
# Installs what is missing, builds, and runs every test (unit, display and local-service tests).
set -euo pipefail
here=$(cd "$(dirname "$0")/.." && pwd)
build=${KALVO_BUILD_DIR:-$here/build}
bash "$here/scripts/build.sh"
cd "$build"
# The display tests need an X server: run the whole suite inside one Xvfb when none is given.
if [ -z "${DISPLAY:-}" ]; then
  exec xvfb-run -a -s "-screen 0 1280x1024x24" ctest --output-on-failure --timeout 300 "$@"
fi
exec ctest --output-on-failure --timeout 300 "$@"
