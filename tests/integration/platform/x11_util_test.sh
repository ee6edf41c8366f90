#!/usr/bin/env bash
# Runs the X11 helper tests against a private Xvfb.
source "$MIRAVEL_TEST_LIB"
start_xvfb 640x480
if "$MIRAVEL_BUILD/tests/integration/platform/x11_util_test"; then
  pass "x11 helpers against a real X server"
else
  fail "x11 helpers against a real X server"
fi
finish
