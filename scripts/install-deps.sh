#!/usr/bin/env bash
# Installs every Debian package Kalvo needs to build, run and test.
# Idempotent: when everything is present it prints nothing and exits 0.
set -euo pipefail

PACKAGES=(
  # build
  cmake g++ pkg-config ccache make libglib2.0-dev-bin
  # interface
  libgtkmm-3.0-dev libwebkit2gtk-4.1-dev libegl-dev libxml2-dev libayatana-appindicator3-dev
  # the launcher's splash
  libxcb1-dev libxcb-randr0-dev libpng-dev
  # telephony
  liblinphone-dev libnice-dev libevdev-dev
  # service access, helpers
  libcurl4-openssl-dev libboost-dev libboost-regex-dev libtinyxml2-dev nettle-dev
  # fuzzing (clang, libFuzzer and the sanitizer runtimes; llvm for symbolized reports)
  clang libclang-rt-14-dev llvm
  # tests and benchmarks
  googletest libgtest-dev libgmock-dev libbenchmark-dev xvfb xauth xdotool imagemagick
  x11-utils sox
  # local service
  libcpp-httplib-dev libssl-dev openssl kamailio kamailio-presence-modules sip-tester curl
  # checks of the service's page scripts
  nodejs
  # skin image sources are SVG
  librsvg2-bin
  # installing and packaging: desktop entry and metainfo checks, the Debian package's
  # dependency list (dpkg-shlibdeps, which asks `file` about each program)
  desktop-file-utils appstream dpkg-dev file
  # peer for the telephony benchmark
  baresip
)

missing=()
for p in "${PACKAGES[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed"; then
    missing+=("$p")
  fi
done
[ ${#missing[@]} -eq 0 ] && exit 0

echo "Installing: ${missing[*]}"
SUDO=""
[ "$(id -u)" -ne 0 ] && SUDO="sudo"
export DEBIAN_FRONTEND=noninteractive
$SUDO apt-get update -qq
$SUDO apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
