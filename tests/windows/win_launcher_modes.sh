#!/usr/bin/env bash
# Miravel.scr under Wine beyond a saver run: the preview /p inside a host
# window of another program, the settings dialog owned by the window /c:HWND
# names, the message when the renderer is missing, and the refusal of a
# second copy while a saver or the settings dialog runs.
source "$MIRAVEL_TEST_LIB"
source "$(dirname "$0")/wine_lib.sh"
source "$(dirname "$0")/win_launcher_lib.sh"
start_xvfb 800x600
wine_start
keep_desktop

# --- /p HWND: a child of the host with its size, ended with the host ---------
HOST_TITLE="Preview host"
host_window() {
  wine "$PROBE" window "$HOST_TITLE" MiravelTestHost </dev/null 2>/dev/null >"$WORK/host.out" &
  HPID=$!
  track "$HPID"
  local i
  for i in $(seq 1 100); do
    HWND=$(tr -d '\r' <"$WORK/host.out" | head -n1)
    [ -n "$HWND" ] && return 0
    sleep 0.1
  done
  return 1
}
# preview_child: the host's one child line from the probe, once it is there.
preview_child() {
  local i line
  for i in $(seq 1 100); do
    line=$(probe children "$HOST_TITLE" | grep '^Kelvara_R ')
    [ -n "$line" ] && { echo "$line"; return 0; }
    sleep 0.1
  done
  return 1
}
host_size() { probe children "$HOST_TITLE" >/dev/null; }

if host_window; then
  start_launcher /p "$HWND"
  child=$(preview_child) || child=""
  echo "preview: $child"
  size=$(echo "$child" | awk '{ print $2 }')
  hostsize=$(echo "$child" | awk '{ print $4 }')
  check "/p: a Kelvara_R child of the host window, of another process" \
    test "$(echo "$child" | awk '{ print $6 }')" = other
  check "/p: the child has the host's client size ($size in $hostsize)" \
    test -n "$size" -a "$size" = "$hostsize"
  check "/p: the child is shown" test "$(echo "$child" | awk '{ print $8 }')" = 1
  check "/p: the launcher lives while the host does" running "$LPID"
  probe close "$HOST_TITLE" >/dev/null
  check "/p: the launcher ends with 0 once the host is gone" \
    eval 'wait_exit "$LPID" 5 && [ "$EXIT_CODE" = 0 ]'
else
  fail "the host window of the preview test comes up"
fi

# /p with no window of that number, or none at all: the launcher ends at once.
for line in "/p 1234567" "/p"; do
  start_launcher $line
  check "$line: ends at once with 0" eval 'wait_exit "$LPID" 10 && [ "$EXIT_CODE" = 0 ]'
done

# --- /c:HWND: the dialog belongs to that window and is modal to it ----------
if host_window; then
  start_launcher "/c:$HWND"
  if window_up "<Miravel>" 30; then
    owned=$(probe owner "<Miravel>")
    check "/c:HWND: the dialog is owned by that window, which it disables [$owned, host $HWND]" \
      test "$owned" = "owner=$HWND enabled=0"
    xdotool windowfocus --sync "$(find_window "<Miravel>")" 2>/dev/null
    xdotool key Escape
    check "/c:HWND: Escape ends the launcher with 0" eval 'wait_exit "$LPID" 10 && [ "$EXIT_CODE" = 0 ]'
    check "/c:HWND: the owner takes input again" \
      eval '[ "$(probe enabled "$HOST_TITLE")" = 1 ]'
  else
    fail "/c:HWND: the dialog comes up"
  fi
  probe close "$HOST_TITLE" >/dev/null
  wait_exit "$HPID" 10
  # A number that names no window: a dialog of its own, with no owner.
  start_launcher /c:1234567
  if window_up "<Miravel>" 30; then
    check "/c with a number that is no window: a dialog without owner" \
      test "$(probe owner "<Miravel>")" = "owner=0 enabled=0"
    xdotool windowfocus --sync "$(find_window "<Miravel>")" 2>/dev/null
    xdotool key Escape
    wait_exit "$LPID" 10
  else
    fail "/c:1234567: the dialog comes up"
  fi
else
  fail "the host window of the /c:HWND test comes up"
fi

# --- The renderer missing: the message, then the end ------------------------
rm "$APP/Miravel.dll"
start_launcher /s
if window_up Miravel 20; then
  texts=$(probe texts Miravel)
  check "renderer missing: the message box says so [$texts]" \
    grep -qx 'Miravel.dll が Miravel.scr と同じﾌｫﾙﾀﾞに見つかりません！' <<<"$texts"
  # Typed to the focused box: with --window the key's release would be sent
  # to a window already closed by its press, and the key left held down.
  xdotool windowfocus --sync "$(find_window Miravel)" 2>/dev/null
  xdotool key Return
  check "renderer missing: OK ends the launcher with 0" \
    eval 'wait_exit "$LPID" 10 && [ "$EXIT_CODE" = 0 ]'
else
  fail "renderer missing: a message box titled Miravel comes up"
fi
check "renderer missing: no renderer window" test -z "$(find_window KelvaraVC)"
cp "$MIRAVEL_BUILD/Miravel.dll" "$APP/"

# --- One copy at a time -------------------------------------------------------
# Windows titled as the saver's hidden host or the settings dialog, of
# another program: a new copy ends at once without a renderer or a message.
for title in Kelvara_Main "<Miravel>"; do
  wine "$PROBE" window "$title" MiravelTestOther </dev/null >/dev/null 2>&1 &
  OPID=$!
  track "$OPID"
  window_up "$title" 20 || fail "the window $title comes up"
  for line in /s /c; do
    start_launcher $line
    check "$line while \"$title\" is open: ends at once with 0" \
      eval 'wait_exit "$LPID" 10 && [ "$EXIT_CODE" = 0 ]'
    check "$line while \"$title\" is open: no renderer, no message" \
      test -z "$(find_window KelvaraVC)$(find_window Miravel)"
  done
  probe close "$title" >/dev/null
  wait_exit "$OPID" 10
done
finish
