#!/usr/bin/env bash
# The renderer's window: title, class and geometry; a picture that is coloured
# and moves; the existing-window rule; a second copy; SIGTERM.
source "$MIRAVEL_TEST_LIB"
source "$(dirname "$0")/renderer_lib.sh"
start_xvfb 1024x768
# A runtime folder as a login session has: the first copy holds its run lock
# there, which on X11 must not keep a second copy from opening its window.
export XDG_RUNTIME_DIR="$WORK/run"
mkdir -p -m 700 "$XDG_RUNTIME_DIR"

check "renderer starts with /s and takes the focus" start_renderer /s
check "window class is WindowsScreenSaverClass" \
  bash -c "xprop -id '$RID' WM_CLASS | grep -q '\"WindowsScreenSaverClass\"\$'"
check "_NET_WM_NAME is KelvaraVC too" \
  bash -c "xprop -id '$RID' _NET_WM_NAME | grep -q '= \"KelvaraVC\"\$'"
xwininfo -id "$RID" >"$WORK/xwininfo.txt"
geometry=$(awk -F: '/Absolute upper-left X/{x=$2} /Absolute upper-left Y/{y=$2}
  /Width/{w=$2} /Height/{h=$2} /Map State/{m=$2}
  END{gsub(/ /,"",x); gsub(/ /,"",y); gsub(/ /,"",w); gsub(/ /,"",h); gsub(/ /,"",m);
      print x","y","w","h","m}' "$WORK/xwininfo.txt")
check "window covers the screen from (0,0) [$geometry]" test "$geometry" = "0,0,1024,768,IsViewable"
check "no window is titled Screensaver once created" test -z "$(find_window Screensaver)"

sleep 1
screenshot "$WORK/a.png"
sleep 1
screenshot "$WORK/b.png"
brightness=$(mean_brightness "$WORK/a.png")
# Mean HSL saturation of the picture, 0-100: grey or black pictures give 0.
saturation=$(convert "$WORK/a.png" -colorspace HSL -channel G -separate -format "%[fx:int(100*mean)]" info:)
check "picture is not black (mean brightness $brightness)" test "$brightness" -ge 8
check "picture is coloured (mean saturation $saturation)" test "$saturation" -ge 10
changed=$(compare -metric AE "$WORK/a.png" "$WORK/b.png" null: 2>&1 | cut -d' ' -f1)
check "picture moves ($changed of 786432 pixels changed in a second)" test "${changed%.*}" -ge 7864

first=$RPID
"$RENDERER" >>"$WORK/renderer.log" 2>&1 &
second=$!
track "$second"
own=""
for _ in $(seq 1 100); do
  own=$(xdotool search --all --pid "$second" --name '^KelvaraVC$' 2>/dev/null | head -n1)
  [ -n "$own" ] && break
  sleep 0.1
done
check "a second copy opens its own window [$own, first $RID]" test -n "$own" -a "$own" != "$RID"
# The second copy takes the focus: for the first that is a switch to another
# application, so it ends as it would for any other.
check "the first copy ends with 0 when the second takes the focus" wait_exit "$first" 10
check "  exit code 0" test "$EXIT_CODE" = 0
kill -TERM "$second"
check "SIGTERM ends the second copy with 0, window gone" ended_cleanly "$second"

# Whatever the command line, the run is the same.
for args in "/c" "/p 4242" "-x junk"; do
  # shellcheck disable=SC2086
  if start_renderer $args; then
    kill -INT "$RPID"
    check "'$args' opens the window; SIGINT ends it with 0" ended_cleanly
  else
    fail "'$args' opens the window"
    end_renderer
  fi
done

# A window that vanishes under the renderer ends the run, not the program.
if start_renderer; then
  "$TOOL" destroy "$RID"
  check "window destroyed by another program: ends with 0" ended_cleanly
else
  fail "renderer starts for the destroy check"
  end_renderer
fi

# Another saver window still titled "Screensaver" takes precedence.
"$TOOL" window Screensaver WindowsScreenSaverClass >"$WORK/helper.id" &
helper=$!
track "$helper"
for _ in $(seq 1 50); do [ -s "$WORK/helper.id" ] && break; sleep 0.1; done
helper_id=$(head -n1 "$WORK/helper.id")
"$RENDERER" >>"$WORK/renderer.log" 2>&1 &
third=$!
track "$third"
check "with a Screensaver window present the renderer exits" wait_exit "$third" 10
check "  with exit code 0" test "$EXIT_CODE" = 0
check "  without a window of its own" test -z "$(find_window KelvaraVC)"
check "  after giving that window the focus" test "$(xdotool getwindowfocus)" = "$helper_id"

finish
