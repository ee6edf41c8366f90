#!/usr/bin/env bash
# The Windows 9x password check, with Wine reporting Windows 98 to the
# renderer and a stand-in PASSWORD.CPL beside it that refuses the first
# request; and no check at all on the NT family.
source "$MIRAVEL_TEST_LIB"
source "$(dirname "$0")/wine_lib.sh"
start_xvfb 640x480
wine_start

app="$WORK/app"
mkdir -p "$app"
cp "$RENDERER" "$MIRAVEL_BUILD/tests/windows/PASSWORD.CPL" "$app/"
RENDERER="$app/Miravel.dll"
export MIRAVEL_PASSWORD_LOG="Z:$WORK/password.log"
log="$WORK/password.log"
version_key='HKCU\Software\Wine\AppDefaults\Miravel.dll'
calls() { [ -f "$log" ] && grep -c '^call' "$log" || echo 0; }

# NT family (Wine's default): the system guards the return; nothing is loaded.
xdotool mousemove 320 240
if start_renderer; then
  xdotool key x
  check "NT family: a key ends it with 0" ended_cleanly
  check "  without asking PASSWORD.CPL" test "$(calls)" = 0
else
  fail "renderer starts (NT family)"
fi
end_renderer

# Windows 98: the library is asked; a refusal keeps the saver running.
timeout 20 wine reg add "$version_key" /v Version /d win98 /f </dev/null >/dev/null 2>&1
trap 'timeout 20 wine reg delete "$version_key" /f </dev/null >/dev/null 2>&1; wine_stop; cleanup' EXIT
if start_renderer; then
  xdotool key x
  check "Windows 98: the password is asked on a key" \
    bash -c "for _ in \$(seq 1 50); do [ -s '$log' ] && exit 0; sleep 0.1; done; exit 1"
  check "  a refused password keeps it running" still_running
  check "  the system was told a saver runs during the check" \
    grep -qx 'call 1 running 1 window 1' "$log"
  # The reference is where the pointer was after the dialog: a move beyond
  # the threshold asks again.
  xdotool mousemove_relative 10 0
  check "  a move then asks again; allowed, it ends with 0" ended_cleanly
  check "  after exactly two requests" test "$(calls)" = 2
else
  fail "renderer starts (Windows 98)"
fi
end_renderer

finish
