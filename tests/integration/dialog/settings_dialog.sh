#!/usr/bin/env bash
# The settings dialog as a user meets it: Miravel.scr /c from a folder holding
# copies of the two programs; the window, its look, the choices, the track
# field, the file chooser, the web page, "設定" and "ｷｬﾝｾﾙ", and the bytes of
# Miravel.ini afterwards.
source "$MIRAVEL_TEST_LIB"
source "$(dirname "$0")/dialog_lib.sh"

APP="$WORK/app"
INI="$APP/Miravel.ini"
MUSIC="$WORK/music/night song.mp3"
mkdir -p "$APP" "$WORK/music" "$WORK/bin"
cp "$MIRAVEL_BUILD/Miravel.scr" "$MIRAVEL_BUILD/Miravel.dll" "$APP/"
: > "$MUSIC"

# A stand-in for xdg-open that notes what it was asked to open.
OPENED="$WORK/opened.txt"
printf '#!/bin/sh\nprintf "%%s\\n" "$@" > "%s"\n' "$OPENED" > "$WORK/bin/xdg-open"
chmod +x "$WORK/bin/xdg-open"
ADDRESS=$(sed -n 's/^MIRAVEL_WEB_ADDRESS:STRING=//p' "$MIRAVEL_BUILD/CMakeCache.txt")

start_xvfb 1920x1080

# The client area of the dialog WINDOW: X, Y, WIDTH, HEIGHT; then the focus,
# which FLTK takes only on a click without a window manager, given as the
# desktop would.
dialog_client_area() {
  local SCREEN WINDOW
  eval "$(xdotool getwindowgeometry --shell "$1")"
  xdotool windowfocus --sync "$1" 2>/dev/null
  sleep 0.3
}

# closes_with_0 WHAT: the launcher ends with exit code 0 and the window is gone.
closes_with_0() {
  if wait_exit $PID 5 && [ "$EXIT_CODE" = 0 ]; then
    pass "$1: the launcher ends with 0"
  else
    fail "$1: the launcher did not end with 0 (exit ${EXIT_CODE:-still running})"
    kill $PID 2>/dev/null
  fi
  check "$1: no <Miravel> window is left" wait_no_window "<Miravel>" 2
}

# is_blue FILE X Y: the selected marker's blue.
is_blue() {
  local r g b
  read -r r g b <<<"$(pixel "$1" "$2" "$3")"
  [ "$b" -gt 190 ] && [ "$r" -lt 70 ] && [ "$g" -lt 130 ] || { echo "  ($2,$3) is $r $g $b"; return 1; }
}
is_light() {
  local r g b
  read -r r g b <<<"$(pixel "$1" "$2" "$3")"
  [ "$r" -gt 225 ] && [ "$g" -gt 225 ] && [ "$b" -gt 225 ] || { echo "  ($2,$3) is $r $g $b"; return 1; }
}

# selected_look FILE DX DY: the button whose top band is at (DX, DY) shows the
# focus look (Selected: a light blue top band).
selected_look() { colour_near "$1" "$2" "$3" 206 231 255 3; }
not_selected() { ! selected_look "$@" >/dev/null; }

# Places in the client area (the panel's inner area starts at 14,18).
CD_LABEL="71 80"        # "音楽CD"
NONE_LABEL="60 100"     # "無し"
FILE_LABEL="60 120"     # "MP3、WAV"
TRACK_INPUT="114 80"    # the track field's text
FILE_BUTTON="64 146"    # "..."
MARKER_CD="40 80"       # the middle of each marker picture
MARKER_NONE="40 100"
MARKER_FILE="40 120"
WEB_BUTTON="254 212"
SAVE_BUTTON="356 212"
CANCEL_BUTTON="430 212"
TRACK_ARROW="137 80"    # the track field's list button
# A point of each button's top band.
BAND_FILE="64 137"
BAND_SAVE="356 202"
BAND_CANCEL="430 202"
BAND_WEB="254 202"

# --- The zoom: an outline grows out of the pointer, and nothing stays behind ---
# (The screen around the dialog is black; the outline is drawn in XOR.)
# trimmed FILE: the box round everything that is not black, "W H X Y".
trimmed() { convert "$1" -trim -format '%w %h %X %Y' info: 2>/dev/null; }
rm -f "$INI"
xdotool mousemove --sync 100 100
(cd "$APP" && exec ./Miravel.scr /c) &
PID=$!
track $PID
# Screens are taken as fast as xwd goes until the window is there, and
# looked at afterwards.
for frame in $(seq 1 30); do
  xwd -root -silent > "$WORK/zoom-$frame.xwd"
  [ -n "$(find_window "<Miravel>")" ] && break
done
outlines=0
for file in "$WORK"/zoom-*.xwd; do
  read -r w h _ <<<"$(trimmed "$file")"
  # Smaller than the dialog but not empty: an outline on its way out.
  [ "${w:-1}" -gt 1 ] && [ "$w" -lt 479 ] && outlines=$((outlines + 1))
  rm -f "$file"
done
check "the dialog zooms open: outlines between the pointer and the window ($outlines seen)" \
  test "$outlines" -ge 1
if WIN=$(wait_window "<Miravel>" 10); then
  sleep 0.5
  screenshot "$WORK/opened.png"
  check "once open, only the dialog is on the screen" test "$(trimmed "$WORK/opened.png")" = "479 252 +720 +276"
  xdotool windowfocus --sync "$WIN" 2>/dev/null; xdotool key Escape
  closes_with_0 "closing after the zoom"
  sleep 0.3
  screenshot "$WORK/closed.png"
  check "after the zoom back nothing is left on the screen" test "$(trimmed "$WORK/closed.png")" = "1 1 -1 -1"
else
  fail "/c shows <Miravel> (zoom)"
fi

# --- Look: size, place, gradients, markers -------------------------------------
write_ini " 2" " 0" "$MUSIC" > "$INI"
if open_dialog; then
  pass "/c shows <Miravel>"
  check "the client area is 479 x 252" test "${WIDTH}x${HEIGHT}" = 479x252
  check "it sits centred across and a third down (720, 276)" test "$X,$Y" = "720,276"
  window_shot "$WIN" "$WORK/look.png"
  check "dialog gradient, top line navy (0,0,30)" colour_near "$WORK/look.png" 200 0 0 0 30
  check "dialog gradient, line 126 lavender (220,220,250)" colour_near "$WORK/look.png" 5 126 220 220 250
  check "dialog gradient, line 63 (156,156,186)" colour_near "$WORK/look.png" 5 63 156 156 186
  check "dialog gradient, bottom line navy (3,3,33)" colour_near "$WORK/look.png" 200 251 3 3 33
  check "panel gradient, top inner line dark grey (30,30,30)" colour_near "$WORK/look.png" 314 18 30 30 30
  check "panel gradient, inner line 82 near white (250,250,250)" colour_near "$WORK/look.png" 314 100 250 250 250
  check "panel gradient, bottom inner line (34,34,34)" colour_near "$WORK/look.png" 314 182 34 34 34
  check "kind 2: the file marker is blue" is_blue "$WORK/look.png" $MARKER_FILE
  check "kind 2: the CD marker is light" is_light "$WORK/look.png" $MARKER_CD
  check "kind 2: the no-music marker is light" is_light "$WORK/look.png" $MARKER_NONE
  HINTS=$(xprop -id "$WIN" WM_NORMAL_HINTS _NET_WM_ICON 2>/dev/null | head -20)
  check "fixed size: minimum and maximum are 479 x 252" \
    grep -q "minimum size: 479 by 252" <<<"$HINTS" && grep -q "maximum size: 479 by 252" <<<"$HINTS"
  check "the window has a 32 x 32 icon" grep -q "Icon (32 x 32)" <<<"$HINTS"
  check "no minimise or maximise: Motif hints allow moving and closing only" \
    grep -q "0x3, 0x24, 0x1a" <<<"$(xprop -id "$WIN" _MOTIF_WM_HINTS 2>/dev/null)"

  # Keyboard focus (the track field is disabled for kind 2): "..." first,
  # then Tab goes 設定, ｷｬﾝｾﾙ, その他の作品 and round to "..." again.
  order=""
  for step in 1 2 3 4 5; do
    window_shot "$WIN" "$WORK/focus.png"
    for name in FILE SAVE CANCEL WEB; do
      band="BAND_$name"
      selected_look "$WORK/focus.png" ${!band} >/dev/null && order="$order $name"
    done
    xdotool key Tab
    sleep 0.3
  done
  check "focus order \"...\", 設定, ｷｬﾝｾﾙ, その他の作品, \"...\" (was:$order)" \
    test "$order" = " FILE SAVE CANCEL WEB FILE"

  # A choice takes effect when the button goes down.
  xdotool mousemove --sync $((X + 71)) $((Y + 80)) mousedown 1
  sleep 0.3
  window_shot "$WIN" "$WORK/pressed.png"
  xdotool mouseup 1
  check "pressing on \"音楽CD\" selects it before the release" is_blue "$WORK/pressed.png" $MARKER_CD
  check "and clears the file marker" is_light "$WORK/pressed.png" $MARKER_FILE

  # --- Save: CD, track 3, the file kept ------------------------------------------
  press $TRACK_INPUT
  xdotool type --delay 50 3
  sleep 0.2
  press $SAVE_BUTTON
  closes_with_0 "設定"
  write_ini " 1" " 3" "$MUSIC" > "$WORK/expected.ini"
  check "設定 wrote kind \" 1\", track \" 3\" and the file, with the cp932 key bytes" \
    cmp "$INI" "$WORK/expected.ini"
else
  fail "/c shows <Miravel>"
fi

# --- Cancel and Escape write nothing -------------------------------------------
write_ini " 1" " 3" "$MUSIC" > "$INI"
cp "$INI" "$WORK/before.ini"
if open_dialog; then
  # Kind 1: the focus starts in the track field; Tab passes the disabled
  # "..." and lands on 設定.
  window_shot "$WIN" "$WORK/focus1.png"
  check "kind 1: no button has the focus at first" not_selected "$WORK/focus1.png" $BAND_SAVE
  xdotool key Tab
  sleep 0.3
  window_shot "$WIN" "$WORK/focus2.png"
  check "kind 1: Tab goes from the track field to 設定" selected_look "$WORK/focus2.png" $BAND_SAVE
  press $NONE_LABEL
  press $TRACK_INPUT
  press $FILE_LABEL
  press $CANCEL_BUTTON
  closes_with_0 "ｷｬﾝｾﾙ"
  check "ｷｬﾝｾﾙ left Miravel.ini byte for byte" cmp "$INI" "$WORK/before.ini"
else
  fail "/c shows <Miravel> (cancel)"
fi
if open_dialog; then
  press $FILE_LABEL
  xdotool key Escape
  closes_with_0 "Escape"
  check "Escape left Miravel.ini byte for byte" cmp "$INI" "$WORK/before.ini"
else
  fail "/c shows <Miravel> (Escape)"
fi

if open_dialog; then
  press $NONE_LABEL
  kill -TERM $PID
  closes_with_0 "a session end (SIGTERM)"
  check "a session end left Miravel.ini byte for byte" cmp "$INI" "$WORK/before.ini"
else
  fail "/c shows <Miravel> (session end)"
fi

# --- The track list: its empty first item clears the field -------------------
write_ini " 1" " 7" "" > "$INI"
if open_dialog; then
  press $TRACK_ARROW
  xdotool key Down Return
  sleep 0.3
  press $SAVE_BUTTON
  closes_with_0 "設定 after picking the list's empty item"
  write_ini " 1" " 0" "" > "$WORK/expected-list.ini"
  check "the list's empty item saves track \" 0\"" cmp "$INI" "$WORK/expected-list.ini"
else
  fail "/c shows <Miravel> (track list)"
fi

# --- The file chooser: cancel keeps the file, a typed new name is taken --------
rm -f "$INI"
write_ini " 2" " 0" "$MUSIC" > "$INI"
NEW="$WORK/music/not there yet.WAV"
if open_dialog; then
  window_shot "$WIN" "$WORK/before-chooser.png"
  press $FILE_BUTTON
  CHOOSER=$(wait_titled "ﾌｧｲﾙを開く" 5)
  check "\"...\" opens the chooser \"ﾌｧｲﾙを開く\"" test -n "$CHOOSER"
  if [ -n "$CHOOSER" ]; then
    xdotool windowfocus --sync "$CHOOSER" 2>/dev/null
    sleep 0.3
    window_shot "$CHOOSER" "$WORK/chooser.png"
    xdotool key Escape
    check "Escape closes the chooser" wait_no_titled "ﾌｧｲﾙを開く" 3
  fi
  xdotool windowfocus --sync "$WIN" 2>/dev/null
  sleep 0.3
  window_shot "$WIN" "$WORK/after-chooser.png"
  # The file label (lbl_Fname) still shows the file from before.
  convert "$WORK/before-chooser.png" -crop 357x29+82+134 +repage "$WORK/label-before.png"
  convert "$WORK/after-chooser.png" -crop 357x29+82+134 +repage "$WORK/label-after.png"
  check "cancelling the chooser leaves the file label as it was" test "$(compare -metric AE \
    "$WORK/label-before.png" "$WORK/label-after.png" null: 2>&1)" = 0
  check "and it shows text" test "$(convert "$WORK/after-chooser.png" -crop 357x29+82+134 \
    -colorspace gray -format "%[fx:minima.r < 0.2 ? 1 : 0]" info:)" = 1
  press $FILE_BUTTON
  CHOOSER=$(wait_titled "ﾌｧｲﾙを開く" 5)
  if [ -n "$CHOOSER" ]; then
    xdotool windowfocus --sync "$CHOOSER" 2>/dev/null
    sleep 0.3
    # The chooser starts in the current file's folder, its name field holding
    # that folder: type the new name behind it.
    xdotool key End
    xdotool type --delay 20 "$(basename "$NEW")"
    xdotool key Return
    check "Return takes the typed name and closes the chooser" wait_no_titled "ﾌｧｲﾙを開く" 3
  else
    fail "the chooser opens a second time"
  fi
  xdotool windowfocus --sync "$WIN" 2>/dev/null
  sleep 0.2
  press $SAVE_BUTTON
  closes_with_0 "設定 after choosing a file"
  write_ini " 2" " 0" "$NEW" > "$WORK/expected2.ini"
  check "the typed file that does not exist was saved" cmp "$INI" "$WORK/expected2.ini"
else
  fail "/c shows <Miravel> (chooser)"
fi

# --- The web page ----------------------------------------------------------------
rm -f "$INI"
if open_dialog; then
  press $WEB_BUTTON
  end=$((SECONDS + 5))
  while [ ! -s "$OPENED" ] && [ $SECONDS -le $end ]; do sleep 0.1; done
  check "その他の作品 hands the address to xdg-open" test "$(cat "$OPENED" 2>/dev/null)" = "$ADDRESS"
  check "the dialog stays open" test -n "$(find_window "<Miravel>")"
  press $SAVE_BUTTON
  closes_with_0 "設定 with nothing chosen"
  write_ini " 0" " 0" "" > "$WORK/expected3.ini"
  check "with no settings file, 設定 writes \" 0\", \" 0\" and an empty file key" \
    cmp "$INI" "$WORK/expected3.ini"
else
  fail "/c shows <Miravel> (web page)"
fi

# --- Settings files the save may not replace ---------------------------------------
# save_refused NAME: /c opens, 設定 closes it with 0, and the file at $INI is
# what $WORK/kept.ini says (the caller prepares both).
save_and_close() {
  if open_dialog; then
    press $SAVE_BUTTON
    closes_with_0 "$1"
  else
    fail "$1: /c shows <Miravel>"
  fi
}
no_leftovers() { [ -z "$(ls -A "$APP" | grep -v -x -e Miravel.scr -e Miravel.dll -e Miravel.ini)" ] ||
  { ls -A "$APP"; return 1; }; }

write_ini " 1" " 3" "$MUSIC" > "$INI"
cp "$INI" "$WORK/kept.ini"
chmod 0444 "$INI"
save_and_close "read-only Miravel.ini"
check "read-only Miravel.ini: not replaced, not even by root" cmp "$INI" "$WORK/kept.ini"
check "read-only Miravel.ini: still read-only" test "$(stat -c %a "$INI")" = 444
check "read-only Miravel.ini: no temporary file left" no_leftovers
rm -f "$INI"

ln -s "$WORK/nowhere.ini" "$INI"
save_and_close "dangling link as Miravel.ini"
check "dangling link: still a link" test -L "$INI"
check "dangling link: nothing made where it points" test ! -e "$WORK/nowhere.ini"
rm -f "$INI"

write_ini " 1" " 3" "$MUSIC" > "$INI"
truncate -s 4G "$INI"
save_and_close "sparse 4 GB Miravel.ini"
check "sparse 4 GB Miravel.ini: left as it was" test "$(stat -c %s "$INI")" = 4294967296
check "sparse 4 GB Miravel.ini: no temporary file left" no_leftovers
rm -f "$INI"

# --- As an ordinary user (nobody): another user's file, and an installed launcher ---
if [ "$(id -u)" = 0 ]; then
  chmod 0755 "$WORK" "$WORK/music"
  USER_HOME="$WORK/home"
  mkdir -p "$USER_HOME"
  chown 65534:65534 "$USER_HOME"
  RUN_AS="setpriv --reuid=65534 --regid=65534 --clear-groups env -u XDG_CONFIG_HOME HOME=$USER_HOME"

  # A folder anyone may write holding root's settings file: the file stays root's.
  chmod 0777 "$APP"
  write_ini " 1" " 3" "$MUSIC" > "$INI"
  chmod 0644 "$INI"
  cp "$INI" "$WORK/kept.ini"
  save_and_close "another user's Miravel.ini, as nobody"
  check "another user's Miravel.ini: not replaced" cmp "$INI" "$WORK/kept.ini"
  check "another user's Miravel.ini: still root's" test "$(stat -c %u "$INI")" = 0
  check "another user's Miravel.ini: no temporary file left" no_leftovers
  check "another user's Miravel.ini: nothing saved elsewhere" test ! -e "$USER_HOME/.config"

  # The launcher's folder not writable by the user: the settings go to
  # ~/.config/miravel, the file beside the launcher giving the first values.
  chmod 0755 "$APP"
  USER_INI="$USER_HOME/.config/miravel/Miravel.ini"
  save_and_close "installed launcher, first save"
  check "installed launcher: the file beside it is untouched" cmp "$INI" "$WORK/kept.ini"
  check "installed launcher: the save made ~/.config/miravel/Miravel.ini from its values" \
    cmp "$USER_INI" "$WORK/kept.ini"
  check "installed launcher: ~/.config/miravel is the user's own, mode 700" \
    test "$(stat -c '%u %a' "$USER_HOME/.config/miravel")" = "65534 700"
  # Once it exists the user's file is read, not the one beside the launcher.
  write_ini " 0" " 5" "" > "$USER_INI"
  chown 65534:65534 "$USER_INI"
  save_and_close "installed launcher, second save"
  write_ini " 0" " 5" "" > "$WORK/expected-user.ini"
  check "installed launcher: the second save read the user's file" cmp "$USER_INI" "$WORK/expected-user.ini"
  RUN_AS=""
else
  echo "skipped: the cases as another user need root"
fi

finish
