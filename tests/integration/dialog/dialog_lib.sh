# Helpers shared by the settings dialog's scripts on Linux and under Wine
# (after lib.sh). The caller sets APP (the program folder) and defines
# dialog_client_area WINDOW, which sets X and Y (and what else it knows of
# the client area) once the dialog is up; DIALOG_RUNNER is what starts the
# launcher ("wine" for the Windows build), DIALOG_WAIT how long the dialog
# may take to come up.

X=0 Y=0 PID="" WIN=""
# open_dialog: starts /c in the program folder, the pointer resting away from
# the dialog as after a hand has let go; sets PID, WIN and the client area.
# False when no dialog came up. RUN_AS: a command that runs the launcher as
# another user.
open_dialog() {
  xdotool mousemove --sync 5 5
  (cd "$APP" && PATH="$WORK/bin:$PATH" exec ${RUN_AS:-} ${DIALOG_RUNNER:-} ./Miravel.scr /c) \
    </dev/null >>"$WORK/launcher.log" 2>&1 &
  PID=$!
  track $PID
  WIN=$(wait_window "<Miravel>" "${DIALOG_WAIT:-10}") || return 1
  dialog_client_area "$WIN"
}

# press DX DY: a left click at (DX, DY) of the client area, after moving
# there as a hand does (the gradient buttons light up on the way in; a click
# that lands without any movement over them is not one a user makes).
press() {
  xdotool mousemove --sync $((X + $1 - 3)) $((Y + $2 - 2))
  sleep 0.15
  xdotool mousemove --sync $((X + $1)) $((Y + $2))
  sleep 0.15
  xdotool click 1
  sleep 0.3
}

# colour_near FILE X Y R G B [TOLERANCE]: the pixel at (X, Y) of the picture
# FILE is within TOLERANCE (2) of R G B in each channel.
colour_near() {
  local got r g b tol=${7:-2}
  got=$(pixel "$1" "$2" "$3")
  read -r r g b <<<"$got"
  if [ $((r - $4)) -le "$tol" ] && [ $(($4 - r)) -le "$tol" ] &&
     [ $((g - $5)) -le "$tol" ] && [ $(($5 - g)) -le "$tol" ] &&
     [ $((b - $6)) -le "$tol" ] && [ $(($6 - b)) -le "$tol" ]; then
    return 0
  fi
  echo "  ($2,$3) is $got, expected about $4 $5 $6"
  return 1
}

# wait_titled TITLE [SECONDS]: like wait_window, for a title with Japanese
# text: FLTK stores such a title as UTF-8 in _NET_WM_NAME but as raw bytes in
# the Latin-1 WM_NAME, which xdotool's search reads, so the names are
# compared here as getwindowname gives them (from _NET_WM_NAME).
wait_titled() {
  local end=$((SECONDS + ${2:-10})) id
  while [ $SECONDS -le "$end" ]; do
    for id in $(xdotool search --name . 2>/dev/null); do
      [ "$(xdotool getwindowname "$id" 2>/dev/null)" = "$1" ] && { echo "$id"; return 0; }
    done
    sleep 0.1
  done
  return 1
}
no_titled() { ! wait_titled "$1" 0 >/dev/null; }
wait_no_titled() {
  local end=$((SECONDS + ${2:-10}))
  while [ $SECONDS -le "$end" ]; do no_titled "$1" && return 0; sleep 0.1; done
  return 1
}
