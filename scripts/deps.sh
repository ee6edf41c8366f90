#!/usr/bin/env bash
# Installs the Debian packages Miravel needs to build, run and test.
# Usage: scripts/deps.sh [build|run|test]...   (default: all three)
# Skips apt entirely when everything is already there.
set -euo pipefail

BUILD_PKGS="cmake g++ make pkg-config libgl1-mesa-dev libglu1-mesa-dev libx11-dev libxfixes-dev
  libxtst-dev libfltk1.3-dev libsdl2-mixer-dev libcdio-dev libcdio-paranoia-dev libjpeg-dev
  libgtest-dev libgmock-dev libbenchmark-dev libxft-dev dpkg-dev"
RUN_PKGS="fonts-ipafont-gothic xdg-utils xvfb xdotool x11-apps imagemagick"
TEST_PKGS="xvfb xdotool x11-apps x11-utils imagemagick sox libsox-fmt-mp3 lintian file
  xscreensaver xscreensaver-gl"

want=""
[ $# -eq 0 ] && set -- build run test
for kind in "$@"; do
  case "$kind" in
    build) want="$want $BUILD_PKGS" ;;
    run) want="$want $RUN_PKGS" ;;
    test) want="$want $TEST_PKGS" ;;
    *) echo "deps.sh: unknown set '$kind'" >&2; exit 2 ;;
  esac
done

missing=""
for p in $want; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed'; then
    case " $missing " in *" $p "*) ;; *) missing="$missing $p" ;; esac
  fi
done
[ -z "$missing" ] && exit 0

echo "Installing:$missing"
SUDO=""
if [ "$(id -u)" -ne 0 ]; then
  command -v sudo >/dev/null 2>&1 || { echo "deps.sh: need root or sudo to install:$missing" >&2; exit 1; }
  SUDO="sudo"
fi
export DEBIAN_FRONTEND=noninteractive
$SUDO apt-get update -qq
# shellcheck disable=SC2086
$SUDO apt-get install -y -qq --no-install-recommends $missing
