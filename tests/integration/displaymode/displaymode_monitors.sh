#!/usr/bin/env bash
# Two monitors (Xephyr with Xinerama nested in Xvfb) under the real
# XScreenSaver: one renderer per monitor, each drawing its own, one music
# stream, nothing left after deactivation.
source "$MIRAVEL_TEST_LIB"
source "$(dirname "$0")/displaymode_lib.sh"
trap 'remove_test_user; cleanup' EXIT
need_root

start_xvfb 2304x720
start_xephyr || { fail "Xephyr starts"; finish; }
check "two monitors as the daemon will see them" \
  eval 'xdpyinfo -ext XINERAMA | grep -q "head #1: 1024x600"'
make_test_user || { fail "the test user is made"; finish; }
start_xscreensaver || { fail "the daemon starts"; finish; }

xss -select 1
sleep 6
screenshot "$WORK/blanked.png"
check "two renderers run" test "$(count_of "$APP/Miravel.dll" "$TEST_USER")" = 2
check "the daemon started the mode twice, once per monitor" \
  test "$(grep -c 'forked ".*miravel-mode' "$WORK/home/xscreensaver.log")" = 2
check "curtains on the left monitor" bright "$(region_brightness "$WORK/blanked.png" 1280x720+0+0)"
check "curtains on the right monitor" bright "$(region_brightness "$WORK/blanked.png" 1024x600+1280+0)"
# Each renderer fills its own monitor: the middle of the right one is lit,
# where a renderer drawing the whole 2304-pixel screen into the left window
# would leave nothing.
check "the right monitor is drawn to its middle" \
  bright "$(region_brightness "$WORK/blanked.png" 200x200+1692+200)"
check "one music stream" test "$(audio_files | wc -l)" = 1
AUDIO=$(audio_files | head -n1)

xss -deactivate
check "-deactivate: no Miravel process is left within 2 s" gone_within 2 "$APP/Miravel" "$TEST_USER"
[ -n "$AUDIO" ] && check "-deactivate: the music has stopped" stops_growing "$AUDIO"

finish
