#!/usr/bin/env bash
# The launcher's runtime on a real display: its X11 tests at the usual 96 dpi
# and with a desktop dpi setting, then a session end by signal and by the
# loss of the display, each of which must still unload the loaded form.
source "$MIRAVEL_TEST_LIB"
HERE="$MIRAVEL_BUILD/tests/integration/launcher"

start_xvfb 1280x800
check "runtime tests at 96 dpi" timeout 60 "$HERE/runtime_x11_test"

xprop -root -f RESOURCE_MANAGER 8s -set RESOURCE_MANAGER "Xft.dpi:	120
"
check "twips with the desktop at 120 dpi" env MIRAVEL_EXPECT_DPI=120 \
  timeout 30 "$HERE/runtime_x11_test" --gtest_filter='*Twips*'
xprop -root -remove RESOURCE_MANAGER

# A signal from the session: the form's unload handling runs, the end is quiet.
"$HERE/runtime_probe" hidden Kelvara_Main "$WORK/term.txt" &
PROBE=$!
track $PROBE
check "probe's hidden host is up" window_up Kelvara_Main 5
kill -TERM $PROBE
wait_exit $PROBE 3
check "SIGTERM ends the probe with exit code 0" test "${EXIT_CODE:-x}" = 0
check "SIGTERM unloads the loaded form first" grep -qx unloaded "$WORK/term.txt"

# The display goes away (log-off): the same, without X.
"$HERE/runtime_probe" hidden Kelvara_Main "$WORK/lost.txt" &
PROBE=$!
track $PROBE
check "probe's hidden host is up again" window_up Kelvara_Main 5
kill -TERM "$_XVFB_PID"
wait "$_XVFB_PID" 2>/dev/null
_XVFB_PID=""
wait_exit $PROBE 5
check "losing the display ends the probe with exit code 0" test "${EXIT_CODE:-x}" = 0
check "losing the display unloads the loaded form first" grep -qx unloaded "$WORK/lost.txt"
finish
