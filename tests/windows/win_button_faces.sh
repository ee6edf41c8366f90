#!/usr/bin/env bash
# The Win32 button's GoogleTest cases, which need windows and so a screen:
# under Wine on the test's private Xvfb.
source "$MIRAVEL_TEST_LIB"
source "$(dirname "$0")/wine_lib.sh"

TESTS="$MIRAVEL_BUILD/tests/windows/win32_button_unit.exe"
[ -f "$TESTS" ] || { echo "missing $TESTS"; exit 1; }
start_xvfb 640x480
wine_start
timeout 120 wine "$TESTS" </dev/null >"$WORK/gtest.out" 2>&1
rc=$?
tr -d '\r' <"$WORK/gtest.out" | grep -E '^\[ *(OK|FAILED|PASSED) *\]|Failure|Expected|actual|Which is|pixel' | head -60
check "the button's GoogleTest cases pass under Wine (exit $rc)" test "$rc" = 0
check "  and they ran" grep -q 'PASSED' "$WORK/gtest.out"
finish
