#!/usr/bin/env bash
# The settings dialog and the renderer at 150 % scaling (LogPixels 144; Wine
# then reports 144 dpi for the system, every monitor and every window): the
# dialog's client area and each control are 1.5 times their size and place at
# 96 dpi, the labels are drawn in the 1.5 times larger font, and clicks at
# the scaled places choose, save and cancel; the renderer still covers the
# whole screen.
source "$MIRAVEL_TEST_LIB"
source "$(dirname "$0")/wine_lib.sh"
source "$(dirname "$0")/win_launcher_lib.sh"
source "$MIRAVEL_SOURCE/tests/integration/dialog/dialog_lib.sh"
start_xvfb 1280x1024
wine_start
keep_desktop

DESKTOP='HKCU\Control Panel\Desktop'
# set_dpi N: the logical DPI, read by Wine when its session starts.
set_dpi() {
  timeout 20 wine reg add "$DESKTOP" /v LogPixels /t REG_DWORD /d "$1" /f </dev/null >/dev/null 2>&1
  timeout 10 wineserver -k >/dev/null 2>&1
  timeout 10 wineserver -w >/dev/null 2>&1
  wineserver -p >/dev/null 2>&1
  timeout 60 wine cmd /c exit </dev/null >/dev/null 2>&1
  keep_desktop
}
# The shared prefix goes back to the default DPI.
restore_dpi() {
  [ "$_WINE_UP" = 1 ] && timeout 20 wine reg delete "$DESKTOP" /v LogPixels /f </dev/null >/dev/null 2>&1
}
trap 'restore_dpi; wine_stop; cleanup' EXIT

settings 1 3 ""
cp "$APP/Miravel.ini" "$WORK/ini.before"
X=0 Y=0
# open_dialog: /c from the program folder; X, Y: its client area on screen.
open_dialog() {
  settle_focus
  (cd "$APP" && exec wine ./Miravel.scr /c) </dev/null >>"$WORK/launcher.log" 2>&1 &
  LPID=$!
  track "$LPID"
  wait_window "<Miravel>" 30 >/dev/null || return 1
  IFS=, read -r X Y _ _ <<<"$(probe info "<Miravel>" | sed -n 's/^client=//p')"
  sleep 0.7
}
escape_dialog() {
  xdotool windowfocus --sync "$(find_window "<Miravel>")" 2>/dev/null
  xdotool key Escape
  wait_exit "$LPID" 10
}
# The track label "曲目をﾘﾋﾟｰﾄ" (136,56 66x13 in the panel at 96 dpi, scaled by
# S): the width of its black text, as drawn.
label_width() {
  local s=$1 panel cx cy
  panel=$(grep '^Kelvara_P.Panel ' "$2")
  IFS=, read -r cx cy <<<"$(awk '{ print $4 }' <<<"$panel")"
  screenshot "$WORK/shot.png"
  convert "$WORK/shot.png" -crop "$(awk -v s="$s" 'BEGIN { printf "%dx%d", 68 * s, 15 * s }')+$((X + cx + $(awk -v s="$s" 'BEGIN { printf "%d", 135 * s }')))+$((Y + cy + $(awk -v s="$s" 'BEGIN { printf "%d", 55 * s }')))" \
    +repage -colorspace gray -threshold 25% -negate -format '%@' info: | sed 's/x.*//'
}

# --- 96 dpi: the layout as it always was ---------------------------------------
if open_dialog; then
  probe layout "<Miravel>" >"$WORK/layout96.txt"
  client96=$(probe info "<Miravel>" | sed -n 's/^client=//p' | cut -d, -f3,4)
  text96=$(label_width 1 "$WORK/layout96.txt")
  escape_dialog
else
  fail "the dialog comes up at 96 dpi"
  finish
fi
cat "$WORK/layout96.txt"

# --- 144 dpi --------------------------------------------------------------------
set_dpi 144
if ! open_dialog; then
  fail "the dialog comes up at 144 dpi"
  finish
fi
probe layout "<Miravel>" >"$WORK/layout144.txt"
cat "$WORK/layout144.txt"
client144=$(probe info "<Miravel>" | sed -n 's/^client=//p' | cut -d, -f3,4)
check "the client area is 1.5 times $client96 [$client144]" \
  awk -F'[,]' -v a="$client96" -v b="$client144" 'BEGIN { split(a, p, ","); split(b, q, ",");
    exit !((q[1] - 1.5 * p[1])^2 <= 1 && (q[2] - 1.5 * p[2])^2 <= 1) }'
# Each control (panel, track field, the four buttons) against its 96-dpi
# self, in the order both listed them; within a pixel of the rounding, and
# the track field's height within three (the system sizes a combo box by its
# font).
controls() { grep -E '^(Kelvara_P.Panel|ComboBox|Kelvara.Command) ' "$1" | awk '{ print $1, $2 }'; }
paste -d' ' <(controls "$WORK/layout96.txt") <(controls "$WORK/layout144.txt") >"$WORK/pairs.txt"
check "six controls at both DPIs [$(wc -l <"$WORK/pairs.txt")]" test "$(wc -l <"$WORK/pairs.txt")" = 6
while read -r class a _ b; do
  check "$class at $a is at 1.5 times that place and size [$b]" \
    awk -v c="$class" -v a="$a" -v b="$b" 'BEGIN { split(a, p, ","); split(b, q, ",");
      for (i = 1; i <= 4; i++) { d = q[i] - 1.5 * p[i]; if (d < 0) d = -d;
        if (d > ((c == "ComboBox" && i == 4) ? 3 : 1)) exit 1 } }'
done <"$WORK/pairs.txt"
text144=$(label_width 1.5 "$WORK/layout144.txt")
check "the labels are drawn in the 1.5 times larger font (text $text96 then $text144 pixels wide)" \
  awk -v a="$text96" -v b="$text144" 'BEGIN { exit !(a > 20 && b >= 1.35 * a && b <= 1.65 * a) }'

# Clicks at the scaled places: "無し" (its label, 36,76 23x13 in the panel),
# then "ｷｬﾝｾﾙ" (396,200 69x25): nothing saved.
IFS=, read -r pcx pcy <<<"$(grep '^Kelvara_P.Panel ' "$WORK/layout144.txt" | awk '{ print $4 }')"
press $((pcx + 71)) $((pcy + 123))
press 645 318
check "ｷｬﾝｾﾙ at its scaled place closes the dialog with 0" \
  eval 'wait_exit "$LPID" 10 && [ "$EXIT_CODE" = 0 ]'
check "  and saves nothing" cmp -s "$APP/Miravel.ini" "$WORK/ini.before"
# "無し", then "設定" (320,200 73x25): saved.
if open_dialog; then
  IFS=, read -r pcx pcy <<<"$(probe layout "<Miravel>" | grep '^Kelvara_P.Panel ' | awk '{ print $4 }')"
  press $((pcx + 71)) $((pcy + 123))
  press 535 318
  check "設定 at its scaled place closes the dialog with 0" \
    eval 'wait_exit "$LPID" 10 && [ "$EXIT_CODE" = 0 ]'
  check "  and saves the choice made at the scaled place (no music)" \
    grep -qa "$KEY_KIND= 0"$'\r' "$APP/Miravel.ini"
else
  fail "the dialog comes up again at 144 dpi"
fi

# The renderer: still the whole screen, in physical pixels.
settle_focus
check "the renderer comes up at 144 dpi" start_renderer /s
rect=$(probe info KelvaraVC | sed -n 's/^rect=//p')
check "  and covers the whole 1280 x 1024 screen [$rect]" test "$rect" = "0,0,1280,1024"
xdotool key x
check "  a key ends it" ended_cleanly
end_renderer
finish
