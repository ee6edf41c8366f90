# Helpers for the tests on real desktops started headless (after lib.sh): a
# GNOME Shell with two virtual monitors, 1280x720 at (0,0) and 1024x768 at
# (1280,0), and a KWin with two virtual outputs. Each runs in a D-Bus
# session of its own (dbus-run-session) in a process group of its own, with
# a fresh runtime folder and home, so that ending the group ends everything
# it started. The programs under test run as the test's user with a runtime
# folder of their own ($WORK/runtime) and reach the desktop through the
# absolute path of its Wayland socket.
DESKTOP_DIR="$WORK/desktop"
DESKTOP_PID=""       # dbus-run-session, leader of the desktop's process group
SYSTEM_BUS_PID=""    # GNOME's private system bus (it forks away from the group)
DESKTOP_LOG="$WORK/desktop.log"
RECORDER_PID=""
RECORDER_LOG="$WORK/recorder.log"
FAKE_INPUT_PID=""
FAKE_INPUT="$MIRAVEL_BUILD/tests/integration/desktops/miravel_fake_input"
KEY_RECORDER="$MIRAVEL_SOURCE/tests/integration/desktops/key_recorder.py"
# Debian's own Python: the test application needs its GTK bindings.
SYSTEM_PYTHON=/usr/bin/python3

# need_tools TOOL...: ends the test as skipped (77) when one is missing.
need_tools() {
  local tool
  for tool in "$@"; do
    command -v "$tool" >/dev/null 2>&1 || { echo "SKIP: $tool is not installed"; exit 77; }
  done
}

# need_key_recorder: the GTK test application can run.
need_key_recorder() {
  "$SYSTEM_PYTHON" -c 'import gi; gi.require_version("Gtk", "3.0"); from gi.repository import Gtk' \
    >/dev/null 2>&1 || { echo "SKIP: python3-gi with GTK 3 is not installed"; exit 77; }
}

# _start_session SCRIPT: runs SCRIPT (which ends by exec'ing the desktop)
# inside a new D-Bus session and process group; waits for the session's
# address. The desktop gets nothing of the test's environment but PATH.
_start_session() {
  mkdir -p "$DESKTOP_DIR/runtime" "$DESKTOP_DIR/home" "$WORK/runtime"
  # A desktop started before in the same folder left its bus's address.
  rm -f "$DESKTOP_DIR/bus"
  chmod 700 "$DESKTOP_DIR/runtime" "$WORK/runtime"
  env -i PATH=/usr/bin:/bin HOME="$DESKTOP_DIR/home" XDG_RUNTIME_DIR="$DESKTOP_DIR/runtime" \
    NO_AT_BRIDGE=1 GTK_A11Y=none \
    setsid dbus-run-session -- bash "$1" >"$DESKTOP_LOG" 2>&1 &
  DESKTOP_PID=$!
  local i
  for i in $(seq 1 100); do
    [ -s "$DESKTOP_DIR/bus" ] && break
    sleep 0.1
  done
  [ -s "$DESKTOP_DIR/bus" ] || { echo "the desktop's D-Bus session did not start"; cat "$DESKTOP_LOG"; return 1; }
  export DBUS_SESSION_BUS_ADDRESS
  DBUS_SESSION_BUS_ADDRESS=$(cat "$DESKTOP_DIR/bus")
  export XDG_RUNTIME_DIR="$WORK/runtime"
  export WAYLAND_DISPLAY="$DESKTOP_DIR/runtime/miravel-desktop"
  unset DISPLAY
}

# stop_desktop: the test's helpers, then the desktop's whole process group,
# then the private system bus.
stop_desktop() {
  local pid
  for pid in $RECORDER_PID $FAKE_INPUT_PID; do kill -TERM "$pid" 2>/dev/null; done
  exec 6>&- 2>/dev/null
  if [ -n "$DESKTOP_PID" ]; then
    kill -TERM -- "-$DESKTOP_PID" 2>/dev/null
    local i
    for i in $(seq 1 30); do kill -0 -- "-$DESKTOP_PID" 2>/dev/null || break; sleep 0.1; done
    kill -KILL -- "-$DESKTOP_PID" 2>/dev/null
    wait "$DESKTOP_PID" 2>/dev/null
  fi
  [ -n "$SYSTEM_BUS_PID" ] && kill -TERM "$SYSTEM_BUS_PID" 2>/dev/null
  DESKTOP_PID=""
  SYSTEM_BUS_PID=""
}

_desktop_cleanup() {
  local pid
  for pid in "${_PIDS[@]}"; do kill -TERM "$pid" 2>/dev/null; done
  stop_desktop
  cleanup
}
trap _desktop_cleanup EXIT

# placed_views [LIST]: the renderer's views, listed by LIST (default
# $LIST), once the desktop has placed both: a view is listed a moment
# before it is placed.
placed_views() {
  local list=${1:-$LIST} i views=""
  for i in $(seq 1 50); do
    views=$("$list" | grep '^KelvaraVC|')
    [ "$(grep -c '|true|[01]|[0-9]*,0,[1-9]' <<<"$views")" = 2 ] && break
    sleep 0.1
  done
  echo "$views"
}

# --- GNOME Shell ----------------------------------------------------------------

# gnome_eval JS: runs JS in the Shell; prints its value (a string without
# its quotes). Fails when the Shell reports an error.
gnome_eval() {
  local out
  out=$(timeout 10 gdbus call --session --dest org.gnome.Shell --object-path /org/gnome/Shell \
    --method org.gnome.Shell.Eval "$1" 2>&1) || return 1
  case "$out" in
    "(true, '"*) ;;
    *) echo "$out" >&2; return 1 ;;
  esac
  out=${out#"(true, '"}
  out=${out%"')"}
  out=${out#\"}
  printf '%s\n' "${out%\"}"
}

# start_gnome: GNOME Shell headless, ready, its overview hidden, and a
# virtual keyboard and pointer in its seat for the whole test (a device made
# at the moment of the key does not reach the client). Up in a few seconds.
start_gnome() {
  mkdir -p "$DESKTOP_DIR"
  cat >"$DESKTOP_DIR/session.sh" <<SCRIPT
# GNOME Shell also wants a system bus (its login manager): a private one.
dbus-daemon --session --address=unix:path=$DESKTOP_DIR/sysbus --fork --print-pid \
  >"$DESKTOP_DIR/sysbus.pid"
export DBUS_SYSTEM_BUS_ADDRESS=unix:path=$DESKTOP_DIR/sysbus
echo "\$DBUS_SESSION_BUS_ADDRESS" >"$DESKTOP_DIR/bus.tmp" && mv "$DESKTOP_DIR/bus.tmp" "$DESKTOP_DIR/bus"
exec gnome-shell --headless --wayland --no-x11 --unsafe-mode \
  --virtual-monitor 1280x720 --virtual-monitor 1024x768 --wayland-display miravel-desktop
SCRIPT
  _start_session "$DESKTOP_DIR/session.sh" || return 1
  SYSTEM_BUS_PID=$(head -n1 "$DESKTOP_DIR/sysbus.pid" 2>/dev/null)
  local i
  for i in $(seq 1 150); do
    [ "$(gnome_eval '1+1' 2>/dev/null)" = 2 ] && break
    sleep 0.1
  done
  [ "$(gnome_eval '1+1' 2>/dev/null)" = 2 ] || { echo "GNOME Shell did not come up"; tail -20 "$DESKTOP_LOG"; return 1; }
  # It starts in the overview, whose search box would take every key; a
  # hide before start-up has finished is ignored, so ask until it holds.
  for i in $(seq 1 100); do
    [ "$(gnome_eval 'const Main = imports.ui.main; if (!Main.layoutManager._startingUp) Main.overview.hide(); Main.layoutManager._startingUp || Main.overview.visible' 2>/dev/null)" = false ] && break
    sleep 0.1
  done
  gnome_eval 'const Clutter = imports.gi.Clutter; const seat = Clutter.get_default_backend().get_default_seat(); global.miravelKeys = seat.create_virtual_device(Clutter.InputDeviceType.KEYBOARD_DEVICE); global.miravelPointer = seat.create_virtual_device(Clutter.InputDeviceType.POINTER_DEVICE); true' >/dev/null
}

# gnome_key CODE: presses and releases the evdev key CODE (57 is space).
gnome_key() {
  gnome_eval "const Clutter = imports.gi.Clutter; const now = imports.gi.GLib.get_monotonic_time(); global.miravelKeys.notify_key(now, $1, Clutter.KeyState.PRESSED); global.miravelKeys.notify_key(now + 1000, $1, Clutter.KeyState.RELEASED); true" >/dev/null
}

# gnome_pointer_to X Y: the pointer to layout position X,Y.
gnome_pointer_to() {
  gnome_eval "global.miravelPointer.notify_absolute_motion(imports.gi.GLib.get_monotonic_time(), $1, $2); true" >/dev/null
}

# gnome_cursor: the pointer's picture as WIDTHxHEIGHT, or "none" when the
# client under it hid it.
gnome_cursor() {
  gnome_eval 'const s = imports.gi.Meta.CursorTracker.get_for_display(global.display).get_sprite(); s ? s.get_width() + "x" + s.get_height() : "none"'
}

# gnome_windows: one line per window: TITLE|APP_ID|FULLSCREEN|MONITOR|X,Y,W,H|FOCUSED|PID.
gnome_windows() {
  gnome_eval 'global.get_window_actors().map(a => a.meta_window).map(w => { const r = w.get_frame_rect(); return [w.get_title(), w.get_wm_class(), w.is_fullscreen(), w.get_monitor(), [r.x, r.y, r.width, r.height].join(","), w.has_focus(), w.get_pid()].join("|"); }).join(";")' |
    tr ';' '\n' | sed '/^$/d'
}

# gnome_shot FILE: a PNG of the whole layout (2304x768).
gnome_shot() {
  timeout 10 gdbus call --session --dest org.gnome.Shell --object-path /org/gnome/Shell/Screenshot \
    --method org.gnome.Shell.Screenshot.Screenshot false false "$1" >/dev/null
}

# --- KWin ----------------------------------------------------------------------

# start_kwin [SCALE]: KWin's virtual backend with two 1280x720 outputs (it
# makes every output the same size) at SCALE (default 1), ready, and the
# fake-input helper holding its devices (driven through fd 6). The installed
# kwin_wayland carries file capabilities that a sandbox may refuse; a plain
# copy runs, but only under its own name (Qt finds its platform plugin by it).
start_kwin() {
  mkdir -p "$DESKTOP_DIR/bin"
  cp "$(command -v kwin_wayland)" "$DESKTOP_DIR/bin/kwin_wayland"
  cat >"$DESKTOP_DIR/session.sh" <<SCRIPT
echo "\$DBUS_SESSION_BUS_ADDRESS" >"$DESKTOP_DIR/bus.tmp" && mv "$DESKTOP_DIR/bus.tmp" "$DESKTOP_DIR/bus"
export KWIN_WAYLAND_NO_PERMISSION_CHECKS=1
exec "$DESKTOP_DIR/bin/kwin_wayland" --virtual --width 1280 --height 720 --output-count 2 \
  --scale ${1:-1} --socket miravel-desktop --no-lockscreen --no-global-shortcuts
SCRIPT
  _start_session "$DESKTOP_DIR/session.sh" || return 1
  local i
  for i in $(seq 1 150); do
    [ -S "$WAYLAND_DISPLAY" ] && kwin_call /KWin org.kde.KWin.currentDesktop >/dev/null 2>&1 && break
    sleep 0.1
  done
  kwin_call /KWin org.kde.KWin.currentDesktop >/dev/null 2>&1 || { echo "KWin did not come up"; tail -20 "$DESKTOP_LOG"; return 1; }
  mkfifo "$WORK/fake-input.in"
  "$FAKE_INPUT" <"$WORK/fake-input.in" >"$WORK/fake-input.out" 2>&1 &
  FAKE_INPUT_PID=$!
  exec 6>"$WORK/fake-input.in"
  for i in $(seq 1 50); do grep -qx ready "$WORK/fake-input.out" 2>/dev/null && return 0; sleep 0.1; done
  echo "the fake-input helper did not come"; cat "$WORK/fake-input.out"
  return 1
}

# kwin_call PATH METHOD ARGS...: a method of KWin's on the session bus.
kwin_call() {
  local path=$1 method=$2
  shift 2
  timeout 10 gdbus call --session --dest org.kde.KWin --object-path "$path" --method "$method" "$@"
}

# kwin_input LINE: one line to the fake-input helper ("key CODE",
# "move DX DY"), waited for.
kwin_input() {
  local before i
  before=$(grep -c done "$WORK/fake-input.out")
  echo "$*" >&6
  for i in $(seq 1 50); do
    [ "$(grep -c done "$WORK/fake-input.out")" -gt "$before" ] && return 0
    sleep 0.02
  done
  return 1
}
kwin_key() { kwin_input key "$1"; }

# kwin_windows: one line per window: TITLE|APP_ID|FULLSCREEN|OUTPUT|X,Y,W,H|ACTIVE|PID.
# A KWin script prints them into KWin's output, marked with a tag of its own
# (unique even when called in a subshell).
kwin_windows() {
  local tag="miravel-list-$(date +%s%N)" id i
  local script="$WORK/$tag.js"
  cat >"$script" <<SCRIPT
print("$tag begin");
workspace.clientList().forEach(c => {
  const g = c.frameGeometry;
  print("$tag " + [c.caption, c.resourceClass, c.fullScreen, c.screen,
    [g.x, g.y, g.width, g.height].join(","), c.active, c.pid].join("|"));
});
print("$tag end");
SCRIPT
  id=$(kwin_call /Scripting org.kde.kwin.Scripting.loadScript "$script" "$tag" | tr -dc '0-9')
  [ -n "$id" ] || return 1
  kwin_call "/$id" org.kde.kwin.Script.run >/dev/null
  for i in $(seq 1 50); do grep -q "$tag end" "$DESKTOP_LOG" && break; sleep 0.05; done
  kwin_call /Scripting org.kde.kwin.Scripting.unloadScript "$tag" >/dev/null
  grep "js: $tag " "$DESKTOP_LOG" | sed "s/^js: $tag //"
}

# --- On either desktop ------------------------------------------------------------

# start_key_recorder: the GTK application that stands for the user's work,
# up and focused before the test goes on. Every key it gets is a line in
# $RECORDER_LOG.
start_key_recorder() {
  : >"$RECORDER_LOG"
  GDK_BACKEND=wayland "$SYSTEM_PYTHON" "$KEY_RECORDER" "$RECORDER_LOG" >>"$WORK/recorder.err" 2>&1 &
  RECORDER_PID=$!
  track "$RECORDER_PID"
  local i
  for i in $(seq 1 100); do grep -qx "focus in" "$RECORDER_LOG" && return 0; sleep 0.1; done
  echo "the key recorder did not get the focus"; cat "$RECORDER_LOG" "$WORK/recorder.err"
  return 1
}

# recorder_keys: how many keys the recorder has received.
recorder_keys() { grep -c '^key ' "$RECORDER_LOG"; }

# wait_kelvara N CMD...: within WAIT_SECONDS (default 10), CMD (a window
# listing) shows N windows titled KelvaraVC.
wait_kelvara() {
  local want=$1 end=$((SECONDS + ${WAIT_SECONDS:-10}))
  shift
  while [ $SECONDS -le $end ]; do
    [ "$("$@" 2>/dev/null | grep -c '^KelvaraVC|')" = "$want" ] && return 0
    sleep 0.2
  done
  return 1
}

# view_has_keyboard CMD...: within 5 s, CMD (a window listing) shows a view
# titled KelvaraVC with the keyboard, so that a key sent now reaches the
# saver (a view is listed a moment before the desktop focuses it).
view_has_keyboard() {
  local i
  for i in $(seq 1 50); do
    "$@" 2>/dev/null | grep -q '^KelvaraVC|[^|]*|[^|]*|[^|]*|[^|]*|true|' && return 0
    sleep 0.1
  done
  return 1
}
