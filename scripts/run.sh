#!/usr/bin/env bash
# Installs what is missing, builds, starts the local stand-in service and runs Kalvo against it.
# Without a display, Kalvo runs under Xvfb.
set -euo pipefail
here=$(cd "$(dirname "$0")/.." && pwd)
build=${KALVO_BUILD_DIR:-$here/build}
bash "$here/scripts/build.sh"

state=${KALVO_SERVICE_DIR:-${XDG_RUNTIME_DIR:-/tmp}/kalvo-service}
if [ -x "$here/service/servicectl" ]; then
  "$here/service/servicectl" start "$state"
  trap '"$here/service/servicectl" stop "$state"' EXIT
  export KALVO_DEPLOYMENT="$state/deployment.ini"
fi

export KALVO_SKINS_DIR="$here/skins"
# A developer home of its own: settings, log, link handler and log-in start entry of this
# build stay under the build folder, so the user's installed Kalvo keeps its registration.
home=${KALVO_RUN_HOME:-$build/run-home}
export XDG_CONFIG_HOME="$home/config" XDG_DATA_HOME="$home/data" XDG_CACHE_HOME="$home/cache"
mkdir -p "$XDG_CONFIG_HOME" "$XDG_DATA_HOME" "$XDG_CACHE_HOME"
if [ -z "${DISPLAY:-}" ]; then
  xvfb-run -a -s "-screen 0 1280x1024x24" "$build/kalvo" "$@"
else
  "$build/kalvo" "$@"
fi
