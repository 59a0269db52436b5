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
if [ -z "${DISPLAY:-}" ]; then
  xvfb-run -a -s "-screen 0 1280x1024x24" "$build/kalvo" "$@"
else
  "$build/kalvo" "$@"
fi
