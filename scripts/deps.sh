#!/usr/bin/env bash
# Installs the Debian packages Miravel needs to build, run and test.
# Usage: scripts/deps.sh [build|run|test|windows|windows32|sanitize|fuzz]...
#   (default: build run test; windows: the mingw-w64 cross compilers and Wine
#   for the Windows build and its tests; windows32: Wine's 32-bit half, which
#   needs the i386 architecture, about 1 GB; sanitize: GCC's sanitizer
#   runtimes for scripts/sanitize.sh; fuzz: clang with libFuzzer and its
#   sanitizer runtimes for scripts/fuzz.sh)
# Skips apt entirely when everything is already there.
set -euo pipefail

BUILD_PKGS="cmake g++ make pkg-config libgl1-mesa-dev libglu1-mesa-dev libx11-dev libxfixes-dev
  libxtst-dev libfltk1.3-dev libsdl2-mixer-dev libcdio-dev libcdio-paranoia-dev libjpeg-dev
  libgtest-dev libgmock-dev libbenchmark-dev libxft-dev dpkg-dev
  libwayland-dev wayland-protocols libegl-dev libxrandr-dev libxinerama-dev
  libglib2.0-dev libxss-dev plasma-wayland-protocols"
RUN_PKGS="fonts-ipafont-gothic xdg-utils xvfb xdotool x11-apps imagemagick"
TEST_PKGS="xvfb xdotool x11-apps x11-utils imagemagick sox libsox-fmt-mp3 lintian file
  xscreensaver xscreensaver-gl xsecurelock xserver-xephyr
  sway swayidle grim wtype xwayland x11-xserver-utils
  dbus-daemon libglib2.0-bin python3-gi"
# GNOME Shell and KWin started headless as test desktops, each in a D-Bus
# session of its own; the application that has the focus before the saver
# starts is a few lines of GTK through Python. They run as installed with
# --no-install-recommends. (The KWin tests' key helper is generated from
# plasma-wayland-protocols, above.)
TEST_PKGS="$TEST_PKGS mutter gnome-shell kwin-wayland gir1.2-gtk-3.0"
# Wine's recommends bring its GStreamer bridge and the MP3 plugins; locales
# gives localedef the ja_JP source for code page 932.
WINDOWS_PKGS="g++-mingw-w64-x86-64-posix g++-mingw-w64-i686-posix googletest wine wine64
  locales xvfb xdotool x11-apps x11-utils imagemagick sox libsox-fmt-mp3 file unzip"
# The Windows installer (cpack -G NSIS64 with makensis) and the test that
# reads the programs' resources back (Python's standard library).
WINDOWS_PKGS="$WINDOWS_PKGS nsis python3"
# The GStreamer plugins decode MP3 for the 32-bit winmm as their amd64 twins
# do for the 64-bit one.
WINDOWS32_PKGS="wine32:i386 libgl1:i386 libgl1-mesa-dri:i386 libglx-mesa0:i386
  gstreamer1.0-plugins-base:i386 gstreamer1.0-plugins-good:i386"
SANITIZE_PKGS="libasan8 libubsan1"
# llvm-14 brings llvm-symbolizer, which names the lines of a crash's stack.
FUZZ_PKGS="clang-14 libclang-rt-14-dev llvm-14"

want=""
recommends=""
i386=0
[ $# -eq 0 ] && set -- build run test
for kind in "$@"; do
  case "$kind" in
    build) want="$want $BUILD_PKGS" ;;
    run) want="$want $RUN_PKGS" ;;
    test) want="$want $TEST_PKGS" ;;
    windows) want="$want $WINDOWS_PKGS"; recommends="wine wine64" ;;
    windows32) want="$want $WINDOWS32_PKGS"; i386=1 ;;
    sanitize) want="$want $SANITIZE_PKGS" ;;
    fuzz) want="$want $FUZZ_PKGS" ;;
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
if [ "$i386" = 1 ] && ! dpkg --print-foreign-architectures | grep -qx i386; then
  $SUDO dpkg --add-architecture i386
fi
$SUDO apt-get update -qq
# Wine with its recommends (the GStreamer bridge and plugins); everything else,
# the 32-bit half above all (its recommends would remove libsdl2-mixer-dev),
# without.
with=""
without=""
for p in $missing; do
  case " $recommends " in *" $p "*) with="$with $p" ;; *) without="$without $p" ;; esac
done
# shellcheck disable=SC2086
[ -z "$without" ] || $SUDO apt-get install -y -qq --no-install-recommends $without
# shellcheck disable=SC2086
[ -z "$with" ] || $SUDO apt-get install -y -qq $with
