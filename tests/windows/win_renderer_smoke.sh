#!/usr/bin/env bash
# Smoke test of a Windows build (the 32-bit one): the renderer starts under
# Wine, its window covers the screen, it draws a coloured, moving picture,
# and a key ends it with 0.
source "$MIRAVEL_TEST_LIB"
source "$(dirname "$0")/wine_lib.sh"
start_xvfb 800x600
wine_start

xdotool mousemove 400 300
# Wine returns 0 even when it cannot start a program: the window is the proof.
check "renderer starts and takes the focus" start_renderer
probe info KelvaraVC >"$WORK/info.txt"; cat "$WORK/info.txt"
check "its window is WindowsScreenSaverClass covering the screen" \
  bash -c "grep -qx class=WindowsScreenSaverClass '$WORK/info.txt' && grep -qx rect=0,0,800,600 '$WORK/info.txt'"
sleep 1
screenshot "$WORK/a.png"
sleep 1
screenshot "$WORK/b.png"
brightness=$(mean_brightness "$WORK/a.png")
check "picture is not black (mean brightness $brightness)" test "$brightness" -ge 8
changed=$(compare -metric AE "$WORK/a.png" "$WORK/b.png" null: 2>&1 | cut -d' ' -f1)
check "picture moves ($changed of 480000 pixels changed in a second)" test "${changed%.*}" -ge 4800
xdotool key x
check "a key ends it with 0, window gone" ended_cleanly
end_renderer

finish
