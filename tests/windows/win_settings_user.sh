#!/usr/bin/env bash
# Settings of an installed Miravel: an ordinary user runs the programs from a
# folder that user may not write (as Program Files). The Miravel.ini beside
# the programs gives the first values; the dialog's "設定" saves them in the
# user's %APPDATA%\Miravel\Miravel.ini and nothing beside the programs; the
# next saver run plays what that file names. Needs root to make the user
# (skipped otherwise: exit 77).
source "$MIRAVEL_TEST_LIB"
if [ "$(id -u)" != 0 ]; then echo "SKIPPED: needs root to make a test user"; exit 77; fi
TONES="$MIRAVEL_SOURCE/tests/windows/pcm_tones.pl"
U="mvst$$$RANDOM"
U=${U:0:16}
USER_HOME="$WORK/home"
USER_PREFIX="$WORK/prefix"
USER_LOCALE="$WORK/locale"
APP="$WORK/app"
WINE_DLLS="mscoree,mshtml,winemenubuilder.exe="

# The user, Wine's processes in its session and the user itself go at the
# end, whatever happens.
user_made=0
end_user() {
  if [ "$user_made" = 1 ]; then
    as_user timeout 10 wineserver -k >/dev/null 2>&1
    as_user timeout 10 wineserver -w >/dev/null 2>&1
    pkill -KILL -u "$U" 2>/dev/null
    userdel "$U" >/dev/null 2>&1
    user_made=0
  fi
}
trap 'end_user; cleanup' EXIT
useradd -M -d "$USER_HOME" -s /usr/sbin/nologin "$U" || { fail "a test user can be made"; finish; }
user_made=1

# What the user may reach: the work folder to pass through, its own home,
# prefix and capture folder; the program folder and the locale read-only.
chmod 0755 "$WORK"
mkdir -p "$USER_HOME" "$USER_PREFIX" "$WORK/sound" "$APP" "$USER_LOCALE"
chown "$U" "$USER_HOME" "$USER_PREFIX" "$WORK/sound"
localedef -i ja_JP -f UTF-8 "$USER_LOCALE/ja_JP.UTF-8" >/dev/null 2>&1
chmod -R a+rX "$USER_LOCALE"
cp "$MIRAVEL_BUILD/Miravel.scr" "$MIRAVEL_BUILD/Miravel.dll" \
  "$MIRAVEL_BUILD/tests/windows/miravel_win32_probe.exe" "$MIRAVEL_SOURCE/tests/windows/pcm_pace.pl" "$APP/"
sox -n -r 44100 -c 2 -b 16 "$APP/first.wav" synth 0.5 sine 440 vol 0.5
sox -n -r 44100 -c 2 -b 16 "$APP/other.wav" synth 0.5 sine 880 vol 0.5
chmod 0755 "$APP"
chmod 0644 "$APP"/*
CAPTURE="$WORK/sound/capture.raw"
cat >"$WORK/asound.conf" <<CONF
pcm.!default {
  type file
  slave.pcm "null"
  file "|$APP/pcm_pace.pl $CAPTURE %r %c %b"
  format "raw"
}
pcm.null {
  type null
}
CONF
chmod 0755 "$APP/pcm_pace.pl"

start_xvfb 1024x768
as_user() {
  runuser -u "$U" -- env -i PATH="$PATH" HOME="$USER_HOME" USER="$U" LOGNAME="$U" \
    DISPLAY="$DISPLAY" WINEPREFIX="$USER_PREFIX" WINEARCH=win64 WINEDEBUG=-all \
    WINEDLLOVERRIDES="$WINE_DLLS" LOCPATH="$USER_LOCALE" LANG=ja_JP.UTF-8 \
    ALSA_CONFIG_PATH="$WORK/asound.conf" "$@"
}
user_probe() { as_user timeout 20 wine "$APP/miravel_win32_probe.exe" "$@" </dev/null 2>/dev/null | tr -d '\r'; }
as_user wineserver -p >/dev/null 2>&1
as_user timeout 90 wine cmd /c exit </dev/null >/dev/null 2>&1
as_user timeout 20 wine reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /d N /f </dev/null >/dev/null 2>&1
as_user timeout 20 wine reg add 'HKCU\Software\Wine\Drivers' /v Audio /d alsa /f </dev/null >/dev/null 2>&1
check "the user's Wine works, code page 932 [$(user_probe acp)]" test "$(user_probe acp)" = 932
check "the user may not write the program folder" \
  eval '! runuser -u "$U" -- touch "$APP/probe" 2>/dev/null'

win() { printf 'Z:%s' "$1" | tr / '\\'; }
write_ini 2 0 "$(win "$APP/first.wav")" >"$APP/Miravel.ini"
cp "$APP/Miravel.ini" "$WORK/beside.before"
ROAMING="$USER_PREFIX/drive_c/users/$U/AppData/Roaming"
USER_INI="$ROAMING/Miravel/Miravel.ini"

# The dialog as the user: "設定" at once, so the values saved are the ones
# the dialog started with.
as_user wine "$APP/Miravel.scr" /c </dev/null >>"$WORK/launcher.log" 2>&1 &
LPID=$!
track "$LPID"
if wait_window "<Miravel>" 60 >/dev/null; then
  IFS=, read -r X Y _ _ <<<"$(user_probe info "<Miravel>" | sed -n 's/^client=//p')"
  sleep 0.5
  xdotool mousemove --sync $((X + 350)) $((Y + 210)); sleep 0.15
  xdotool mousemove --sync $((X + 356)) $((Y + 212)); sleep 0.15
  xdotool click 1
  check "設定 closes the dialog and ends the launcher with 0" \
    eval 'wait_exit "$LPID" 15 && [ "$EXIT_CODE" = 0 ]'
else
  fail "the dialog comes up for the user"
fi
check "the save lands in %APPDATA%\\Miravel\\Miravel.ini" test -f "$USER_INI"
check "  holding the first values, those of the Miravel.ini beside the programs" \
  eval 'cmp -s "$USER_INI" <(write_ini " 2" " 0" "$(win "$APP/first.wav")")'
check "nothing is written beside the programs" \
  eval 'cmp -s "$APP/Miravel.ini" "$WORK/beside.before" && [ "$(ls -A "$APP" | wc -l)" = 7 ]'

# The file beside now names another tune: the run plays what the user's file
# names.
write_ini 2 0 "$(win "$APP/other.wav")" >"$APP/Miravel.ini"
xdotool mousemove 500 400
as_user wine "$APP/Miravel.scr" /s </dev/null >>"$WORK/launcher.log" 2>&1 &
LPID=$!
track "$LPID"
if RID=$(wait_window KelvaraVC 60); then
  sleep 3
  xdotool key space
  check "the run ends on a key with 0" eval 'wait_exit "$LPID" 15 && [ "$EXIT_CODE" = 0 ]'
  sleep 0.5
  if [ -s "$CAPTURE" ]; then
    perl "$TONES" "$CAPTURE" 440 880 >"$WORK/tones.txt"
    cat "$WORK/tones.txt"
    played=$(awk '$1 == 440 { s += $3 } END { printf "%.1f", s + 0 }' "$WORK/tones.txt")
    other=$(awk '$1 == 880 { s += $3 } END { printf "%.1f", s + 0 }' "$WORK/tones.txt")
    check "the run plays the tune the user's file names (440 Hz for $played s, the other one for $other s)" \
      awk -v a="$played" -v b="$other" 'BEGIN { exit !(a >= 1.5 && b == 0) }'
  else
    fail "the run plays music"
  fi
else
  fail "the saver run comes up for the user"
fi
finish
