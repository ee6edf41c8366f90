#!/usr/bin/env bash
# miravel-idle on GNOME Shell (headless, two monitors), watching Mutter's
# idle monitor, with the real saver and no X: the curtains come up no
# sooner than 2 s after the last input, one fullscreen view per monitor,
# with the music; a key ends them and reaches no application; 2 s later
# they come up again; SIGTERM ends miravel-idle with 0.
source "$MIRAVEL_TEST_LIB"
source "$(dirname "$0")/desktops_lib.sh"
source "$MIRAVEL_SOURCE/tests/integration/idle/idle_lib.sh"
source "$MIRAVEL_SOURCE/tests/integration/saverhost/saverhost_lib.sh"
source "$(dirname "$0")/idle_desktop_lib.sh"
need_tools gnome-shell gdbus dbus-run-session dbus-daemon setsid sox "$IDLE"
need_key_recorder
check "GNOME Shell comes up with two monitors" start_gnome
check "the application is up and has the focus" start_key_recorder

LIST=gnome_windows
NUDGE=gnome_nudge
gnome_nudge() { gnome_eval 'global.miravelPointer.notify_relative_motion(imports.gi.GLib.get_monotonic_time(), 1, 0); true' >/dev/null; }
KEY=gnome_space
gnome_space() { gnome_key 57; }
EXPECTED_SOURCE=org.gnome.Mutter.IdleMonitor
# Start times are known to 10 ms.
EARLIEST=1.95
idle_start_and_rearm
finish
