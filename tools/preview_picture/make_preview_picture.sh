#!/usr/bin/env bash
# Regenerates assets/preview.jpg, the launcher's still preview picture, from a
# frame of the renderer's own curtains. Run from anywhere after a build:
#   tools/preview_picture/make_preview_picture.sh [SEED]
set -euo pipefail
top=$(cd "$(dirname "$0")/../.." && pwd)
tool="$top/build/tools/preview_picture/make_preview_picture"
[ -x "$tool" ] || { echo "build first: cmake --build build"; exit 1; }
seed=${1:-3}
out="$top/assets/preview.jpg"
if [ -n "${DISPLAY:-}" ]; then
  "$tool" "$out" "$seed"
else
  xvfb-run -a -s "-screen 0 640x480x24" "$tool" "$out" "$seed"
fi
echo "wrote $out ($(stat -c %s "$out") bytes) from seed $seed"
