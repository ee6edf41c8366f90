#!/usr/bin/env bash
# Two monitors of different sizes beside one monitor of the same total
# screen (2304x1024): the same renderer_fps.sh figures for each. With a
# scene per monitor, the strip no monitor shows (1024x256) is cleared but
# never drawn, so the split screen should cost less fill per frame.
# Usage: bench/renderer/monitors_fps.sh [BUILD_DIR] [SECONDS]
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
build=${1:-$here/../../build}
seconds=${2:-10}
echo "== one monitor"
"$here/renderer_fps.sh" "$build" "$seconds" 2304x1024
echo "== two monitors: 1280x1024 at (0,0), 1024x768 at (1280,0)"
MIRAVEL_BENCH_MONITORS="1280/338x1024/270+0+0 1024/270x768/203+1280+0" \
  "$here/renderer_fps.sh" "$build" "$seconds" 2304x1024
