# The launcher under Wine: a private program folder with Miravel.scr and
# Miravel.dll side by side. Source after wine_lib.sh.
LAUNCHER_BUILT="$MIRAVEL_BUILD/Miravel.scr"
APP="$WORK/app"
LAUNCHER="$APP/Miravel.scr"
mkdir -p "$APP"
cp "$LAUNCHER_BUILT" "$MIRAVEL_BUILD/Miravel.dll" "$APP/"

# settings KIND REPEAT FILE: Miravel.ini beside the launcher, with the
# code-page-932 key names the Linux build writes.
settings() {
  printf '[Section]\r\nBGM\x8b\xe6\x95\xaa=%s\r\nBGM\xd8\xcb\xdf\xb0\xc4=%s\r\nBGM\xcc\xa7\xb2\xd9=%s\r\n' \
    "$1" "$2" "$3" >"$APP/Miravel.ini"
}

LPID=""
# start_launcher ARGS...: runs Miravel.scr under Wine in the background,
# sets LPID; its Wine debug output goes to $WORK/launcher.log.
start_launcher() {
  wine "$LAUNCHER" "$@" </dev/null >>"$WORK/launcher.log" 2>&1 &
  LPID=$!
  track "$LPID"
}

# wine_path FILE: the Windows form of a Linux path (drive Z:).
wine_path() { printf 'Z:%s' "$1" | tr / '\\'; }

RID=""
# run_saver: /s started, the renderer's window up and focused (sets RID).
run_saver() {
  start_launcher /s
  RID=$(wait_window KelvaraVC 20) || return 1
  local end=$((SECONDS + 10))
  while [ $SECONDS -le $end ]; do
    [ "$(xdotool getwindowfocus 2>/dev/null)" = "$RID" ] && return 0
    sleep 0.1
  done
  return 1
}
