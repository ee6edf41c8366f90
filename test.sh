#!/usr/bin/env bash
# Installs what is missing, builds, and runs every test (unit, then integration).
set -euo pipefail
cd "$(dirname "$0")"

scripts/deps.sh build run test

cmake -S . -B build -DCMAKE_BUILD_TYPE=Release >/dev/null
cmake --build build -j"$(nproc)"

cd build
# Unit tests need no display and may run side by side; integration tests each
# start a private Xvfb and run one at a time. One of them, package_build,
# makes the Debian package (cpack) from the programs just built, before the
# package tests that check it.
ctest -L unit -j"$(nproc)" --output-on-failure --timeout 120
ctest -L integration --output-on-failure --timeout 300
