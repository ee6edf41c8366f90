#!/usr/bin/env bash
# The package really installed, as a user meets it with XScreenSaver: the
# setup command registers Miravel, xscreensaver-settings lists it with its
# settings page, the installed dialog chooses the music, a blank started by
# the real daemon shows the curtains and plays that music, unblanking ends
# every Miravel process; purging removes every file the package brought.
# The daemon refuses to run display modes as root: everything runs as a user
# made for this run.
source "$MIRAVEL_TEST_LIB"
source "$(dirname "$0")/package_lib.sh"
need_deb
need_root
for tool in xscreensaver xscreensaver-command xscreensaver-settings; do
  command -v $tool >/dev/null || { echo "$tool is not installed: skipped"; exit $SKIP; }
done
if dpkg-query -W -f='${Status}' miravel 2>/dev/null | grep -q 'ok installed'; then
  echo "a miravel package is already installed here; not touching it: skipped"
  exit $SKIP
fi

APT_OPTS=(-y -qq -o DPkg::Lock::Timeout=600 --no-install-recommends)
INSTALLED_BY_US=0
purge_package() {
  [ "$INSTALLED_BY_US" = 1 ] || return 0
  DEBIAN_FRONTEND=noninteractive apt-get purge "${APT_OPTS[@]}" miravel >"$WORK/purge.log" 2>&1
  INSTALLED_BY_US=0
}

# --- Install ------------------------------------------------------------------
INSTALLED_BY_US=1
trap 'purge_package; cleanup' EXIT
DEBIAN_FRONTEND=noninteractive apt-get install "${APT_OPTS[@]}" "$DEB" >"$WORK/install.log" 2>&1
check "the package installs" eval 'dpkg-query -W -f="\${Status}" miravel | grep -q "ok installed"'
LAUNCHER=/usr/libexec/xscreensaver/Miravel.scr

make_user
trap 'remove_user; purge_package; cleanup' EXIT
user_runtime_dir
start_xvfb 1280x720

# --- Register ------------------------------------------------------------------
OUT=$(as_user miravel-xscreensaver-setup 2>&1)
echo "  setup: $OUT"
check "miravel-xscreensaver-setup is on the PATH and creates ~/.xscreensaver" \
  grep -q "^  GL: \"Miravel\" $LAUNCHER --root" "$TEST_HOME/.xscreensaver"
# Miravel's place in the list (entries end with "\n"): it is the last one.
N=$(awk '/^programs:/ { on = 1 } on { print; if ($0 !~ /\\$/) exit }' "$TEST_HOME/.xscreensaver" |
    grep -o '\\n' | wc -l)

# --- The settings GUI lists it and loads its page ------------------------------
# The GUI opens on the entry named by "selected" (counted from 0).
cp "$TEST_HOME/.xscreensaver" "$WORK/registered"
echo "selected:	$((N - 1))" >> "$TEST_HOME/.xscreensaver"
as_user xscreensaver-settings --debug >"$WORK/settings.log" 2>&1 &
GUI=$!
track $GUI
wait_window "XScreenSaver: Miravel Settings" 20 >/dev/null
sleep 2
screenshot "$WORK/settings.png"
check "xscreensaver-settings reads Miravel's page, miravel.scr.xml" \
  grep -q "reading /usr/share/xscreensaver/config/miravel.scr.xml" "$WORK/settings.log"
check "xscreensaver-settings makes the settings window of \"Miravel\" from it" \
  window_up "XScreenSaver: Miravel Settings" 1
check "the page raises no complaint" eval '! grep -i "miravel.scr.xml.*\(warn\|error\|unknown\)" "$WORK/settings.log"'
kill -TERM $GUI 2>/dev/null
pids=$(ps -o pid= -u "$TEST_USER" | tr '\n' ' ')
[ -n "${pids// }" ] && kill -TERM $pids 2>/dev/null
wait $GUI 2>/dev/null
cp "$WORK/registered" "$TEST_HOME/.xscreensaver"
sleep 1

# --- The installed dialog chooses the music --------------------------------------
MUSIC="$WORK/music/night tone.wav"
mkdir -p "$WORK/music"
sox -n -r 44100 -c 2 -b 16 "$MUSIC" synth 1 sine 523 vol 0.5 2>/dev/null
chmod -R a+rX "$WORK/music"
CONFIG="$TEST_HOME/.config/miravel"
mkdir -p "$CONFIG"
write_ini " 0" " 0" "$MUSIC" > "$CONFIG/Miravel.ini"
chown -R "$TEST_USER" "$TEST_HOME/.config"
chmod 700 "$CONFIG"
if open_dialog_as_user "$LAUNCHER"; then
  dialog_press $DIALOG_FILE_LABEL
  dialog_save
  write_ini " 2" " 0" "$MUSIC" > "$WORK/expected.ini"
  check "the installed dialog saves the WAV as the music in ~/.config/miravel/Miravel.ini" \
    cmp "$CONFIG/Miravel.ini" "$WORK/expected.ini"
else
  fail "the installed launcher's /c shows the dialog"
fi

# --- A blank by the real daemon -------------------------------------------------
AUDIO="$TEST_RUNTIME/heard.raw"
AS_USER_ENV="SDL_AUDIODRIVER=disk SDL_DISKAUDIOFILE=$AUDIO" \
  as_user xscreensaver --no-splash --log "$TEST_RUNTIME/xscreensaver.log" &
track $!
up=0
for _ in $(seq 1 50); do
  as_user xscreensaver-command -version >/dev/null 2>&1 && { up=1; break; }
  sleep 0.2
done
check "the XScreenSaver daemon runs as the user" test "$up" = 1

miravel_pids() { ps -o pid= -u "$TEST_USER" -o comm= | awk '$2 ~ /^Miravel\.(scr|dll)$/ { print $1 }'; }
as_user xscreensaver-command -select "$N" >/dev/null
renderer=""
for _ in $(seq 1 100); do
  renderer=$(ps -o comm= -u "$TEST_USER" | grep -x Miravel.dll)
  [ -n "$renderer" ] && break
  sleep 0.1
done
check "-select $N starts the installed renderer" test -n "$renderer"
sleep 4
screenshot "$WORK/blank-a.png"
sleep 1
screenshot "$WORK/blank-b.png"
brightness=$(mean_brightness "$WORK/blank-a.png")
saturation=$(convert "$WORK/blank-a.png" -colorspace HSL -channel G -separate -format "%[fx:int(100*mean)]" info:)
changed=$(compare -metric AE "$WORK/blank-a.png" "$WORK/blank-b.png" null: 2>&1 | cut -d' ' -f1)
check "the blank shows coloured light (brightness $brightness, saturation $saturation)" \
  eval '[ "$brightness" -ge 8 ] && [ "$saturation" -ge 10 ]'
check "and it moves (${changed%.*} of 921600 pixels changed in a second)" test "${changed%.*}" -ge 9216
TONES=$("$MIRAVEL_BUILD/tests/integration/saverhost/saverhost_tool" tones "$AUDIO" 523 2>/dev/null | grep -v '^total')
echo "  heard: ${TONES:-nothing}"
check "the music saved by the dialog is heard during the blank" test -n "$TONES"
check "there is one launcher and one renderer" \
  test "$(ps -o comm= -u "$TEST_USER" | grep -c '^Miravel\.')" = 2

as_user xscreensaver-command -deactivate >/dev/null
left="x"
for _ in $(seq 1 50); do
  left=$(miravel_pids)
  [ -z "$left" ] && break
  sleep 0.1
done
check "-deactivate leaves no Miravel process within 5 s" test -z "$left"
size1=$(stat -c %s "$AUDIO" 2>/dev/null || echo 0)
sleep 1
size2=$(stat -c %s "$AUDIO" 2>/dev/null || echo 0)
check "the music has stopped" test "$size1" = "$size2"
as_user xscreensaver-command -exit >/dev/null 2>&1

# --- Purge ------------------------------------------------------------------------
remove_user
dpkg-deb --contents "$DEB" | awk '{ print $NF }' | grep -v '/$' | sed 's#^\./#/#' > "$WORK/files"
purge_package
check "the package purges" eval '! dpkg-query -W -f="\${Status}" miravel 2>/dev/null | grep -q "ok installed"'
left=$(while read -r f; do [ -e "$f" ] && echo "$f"; done < "$WORK/files")
check "no file of the package is left${left:+: $left}" test -z "$left"
check "its folders are gone too" \
  eval '[ ! -e /usr/share/doc/miravel ] && [ ! -e /usr/share/xscreensaver/config/miravel.scr.xml ]'

finish
