#!/usr/bin/env bash
# Installs what is missing, builds, and runs every test: the Linux programs
# (unit, then integration), then the Windows programs cross-built with
# mingw-w64 and run under Wine (unit, then integration).
set -euo pipefail
cd "$(dirname "$0")"

scripts/deps.sh build run test windows
# The 32-bit Windows run needs Wine's 32-bit half: about 1 GB, the i386
# architecture, and amd64 libraries brought up to the versions of their i386
# twins (point releases of the same Debian). MIRAVEL_WINE32=0 ./test.sh
# leaves it out: the 32-bit programs are then built but not run. So does a
# kernel that runs no 32-bit x86 program at all, where Wine's 32-bit half
# could not start.
runs_i386=no
if scripts/runs_i386.sh; then
  runs_i386=yes
fi
if [ "${MIRAVEL_WINE32:-1}" != 0 ] && [ "$runs_i386" = yes ]; then
  scripts/deps.sh windows32
fi

# A red stage does not hide the ones after it: every stage runs, and the
# script fails at the end naming each red one.
failed=""
stage() {  # NAME DIR LABEL CTEST-ARGS...: ctest -L LABEL in DIR
  local name=$1 dir=$2 label=$3
  shift 3
  if ! (cd "$dir" && ctest -L "$label" --output-on-failure "$@"); then
    failed="$failed $name"
  fi
}

cmake -S . -B build -DCMAKE_BUILD_TYPE=Release >/dev/null
cmake --build build -j"$(nproc)"

# Unit tests need no display and may run side by side; integration tests each
# start a private Xvfb and run one at a time. One of them, package_build,
# makes the Debian package (cpack) from the programs just built, before the
# package tests that check it.
stage "Linux unit" build unit -j"$(nproc)" --timeout 120
stage "Linux integration" build integration --timeout 300

# --- Windows -----------------------------------------------------------------
# 64-bit in build-win64, 32-bit in build-win32. One Wine prefix (code page 932)
# serves the whole run and is removed at the end with everything Wine started.
cmake -S . -B build-win64 -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-w64-x86_64.cmake \
  -DCMAKE_BUILD_TYPE=Release >/dev/null
cmake --build build-win64 -j"$(nproc)"
# The installer (makensis): Miravel-<version>-win64-setup.exe.
(cd build-win64 && cpack -G NSIS64 >/dev/null)
# Wine runs 32-bit programs only with its 32-bit half (scripts/deps.sh
# windows32); without it a 32-bit program does not start at all, so only the
# programs are then compiled and linked, not their tests.
wine32=OFF
wine32_installed=no
if dpkg-query -W -f='${Status}' wine32:i386 2>/dev/null | grep -q 'install ok installed'; then
  wine32_installed=yes
  [ "$runs_i386" = yes ] && wine32=ON
fi
cmake -S . -B build-win32 -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-w64-i686.cmake \
  -DCMAKE_BUILD_TYPE=Release -DMIRAVEL_BUILD_TESTS=$wine32 >/dev/null
cmake --build build-win32 -j"$(nproc)"
(cd build-win32 && cpack -G NSIS >/dev/null)

wine_root=$(mktemp -d /tmp/miravel-wine.XXXXXX)
export MIRAVEL_WINEPREFIX="$wine_root/prefix" MIRAVEL_WINE_LOCPATH="$wine_root/locale"
export WINEPREFIX="$MIRAVEL_WINEPREFIX" WINEARCH=win64 WINEDEBUG=-all
export WINEDLLOVERRIDES="mscoree,mshtml,winemenubuilder.exe="
end_wine() {
  timeout 10 wineserver -k >/dev/null 2>&1 || true
  timeout 10 wineserver -w >/dev/null 2>&1 || true
}
trap 'end_wine; rm -rf "$wine_root"' EXIT
mkdir -p "$wine_root/home" "$MIRAVEL_WINE_LOCPATH" "$WINEPREFIX"
# Debian's `wine` picks the 32-bit loader whenever it is installed, even on a
# kernel that cannot run it; the 64-bit loader serves every test here.
if [ "$wine32_installed" = yes ] && [ "$runs_i386" = no ]; then
  mkdir -p "$wine_root/bin"
  printf '#!/bin/sh\nexec /usr/lib/wine/wine64 "$@"\n' >"$wine_root/bin/wine"
  # Readable by all: one test runs Wine as another user, with this PATH.
  chmod 755 "$wine_root" "$wine_root/bin" "$wine_root/bin/wine"
  export PATH="$wine_root/bin:$PATH" WINELOADER=/usr/lib/wine/wine64
fi
localedef -i ja_JP -f UTF-8 "$MIRAVEL_WINE_LOCPATH/ja_JP.UTF-8" >/dev/null 2>&1 || true

# run_windows_tests DIR NAME: in DIR, the unit tests under one kept
# wineserver (otherwise Wine's services hold ctest's pipes), then each
# integration test with its own.
run_windows_tests() {
  local dir=$1 name=$2
  (
    failed=""
    export HOME="$wine_root/home" LOCPATH="$MIRAVEL_WINE_LOCPATH" LANG=ja_JP.UTF-8
    unset DISPLAY
    wineserver -p || true
    timeout 120 wine cmd /c exit </dev/null >/dev/null 2>&1
    # One program of this build first, so that Wine's half for it (its
    # 32-bit one for build-win32) is up before ctest lists the cases.
    timeout 120 wine "$dir/tests/windows/miravel_win32_probe.exe" acp </dev/null >/dev/null 2>&1 || true
    stage "$name unit" "$dir" unit -j"$(nproc)" --timeout 120
    end_wine
    stage "$name integration" "$dir" integration --timeout 300
    [ -z "$failed" ]
  ) || failed="$failed $name"
}

run_windows_tests build-win64 "Windows 64-bit"

if [ "$wine32" = ON ]; then
  run_windows_tests build-win32 "Windows 32-bit"
else
  if [ "$runs_i386" = no ]; then
    why="this machine's kernel runs no 32-bit x86 program"
  else
    why="Wine's 32-bit half (wine32:i386) is not installed (left out by MIRAVEL_WINE32=0)"
  fi
  echo "32-bit Windows programs built in build-win32; their tests are SKIPPED: $why"
fi

if [ -n "$failed" ]; then
  echo "test.sh: red:$failed" >&2
  exit 1
fi
