#!/usr/bin/env bash
# Where an installed Miravel keeps its settings. The package is unpacked into
# a scratch root owned by root; an unprivileged user made for this run saves
# through the installed launcher's dialog, which must land in the user's
# configuration folder; a copy of the programs in a folder the user owns still
# keeps Miravel.ini beside itself. Then the package installed with apt: the
# idle starter's autostart entry, put in and taken out by the user, leaves
# the user's autostart folder as it found it.
source "$MIRAVEL_TEST_LIB"
source "$(dirname "$0")/package_lib.sh"
need_deb
need_root

R="$WORK/root"
dpkg-deb -x "$DEB" "$R"
INSTALLED="$R/usr/libexec/xscreensaver"
make_user
user_runtime_dir
start_xvfb 1280x720

check "the installed folder is not writable by the user" \
  eval '! runuser -u "$TEST_USER" -- test -w "$INSTALLED"'

# save_through_dialog LAUNCHER [PRESS...]: opens LAUNCHER /c as the user,
# clicks the places given (DX DY pairs), then "設定".
save_through_dialog() {
  local launcher=$1; shift
  if ! open_dialog_as_user "$launcher"; then
    fail "$launcher /c shows <Miravel> as the user"
    return 1
  fi
  while [ $# -ge 2 ]; do dialog_press "$1" "$2"; shift 2; done
  if dialog_save && [ "$EXIT_CODE" = 0 ]; then return 0; fi
  fail "設定 closes the dialog and the launcher ends with 0 (exit ${EXIT_CODE:-still running})"
  return 1
}

# Music files the user can read (a file that cannot be opened is dropped from
# the settings when they are read).
MUSIC="$WORK/music"
mkdir -p "$MUSIC"
: > "$MUSIC/default night.wav"
: > "$MUSIC/mine.wav"
chmod -R a+rX "$MUSIC"

# --- First save: the defaults beside the installed launcher are read ----------
CONFIG="$TEST_HOME/.config/miravel"
write_ini " 2" " 0" "$MUSIC/default night.wav" > "$INSTALLED/Miravel.ini"
cp "$INSTALLED/Miravel.ini" "$WORK/defaults.ini"
if save_through_dialog "$INSTALLED/Miravel.scr"; then
  check "first save goes to ~/.config/miravel/Miravel.ini, holding the defaults read beside the launcher" \
    cmp "$CONFIG/Miravel.ini" "$WORK/defaults.ini"
  check "~/.config/miravel is the user's, mode 0700" \
    test "$(stat -c '%U %a' "$CONFIG" 2>/dev/null)" = "$TEST_USER 700"
  check "the file is the user's" test "$(stat -c %U "$CONFIG/Miravel.ini" 2>/dev/null)" = "$TEST_USER"
fi
check "the defaults beside the installed launcher are unchanged" cmp "$INSTALLED/Miravel.ini" "$WORK/defaults.ini"
check "nothing new in the installed folder" \
  test "$(ls -A "$INSTALLED" | tr '\n' ' ')" = "Miravel.dll Miravel.ini Miravel.scr "

# --- Later: the user's file is read, not the defaults -------------------------
if [ -d "$CONFIG" ]; then
  write_ini " 0" " 0" "$MUSIC/mine.wav" > "$CONFIG/Miravel.ini"
  chown "$TEST_USER" "$CONFIG/Miravel.ini"
  if save_through_dialog "$INSTALLED/Miravel.scr" $DIALOG_FILE_LABEL; then
    write_ini " 2" " 0" "$MUSIC/mine.wav" > "$WORK/expected-mine.ini"
    check "the dialog started from ~/.config's file (its music file kept) and saved there" \
      cmp "$CONFIG/Miravel.ini" "$WORK/expected-mine.ini"
  fi
else
  fail "~/.config/miravel exists after the first save"
fi

# --- XDG_CONFIG_HOME names the configuration folder ---------------------------
mkdir -p "$TEST_HOME/elsewhere"
chown "$TEST_USER" "$TEST_HOME/elsewhere"
if AS_USER_ENV="XDG_CONFIG_HOME=$TEST_HOME/elsewhere" \
   save_through_dialog "$INSTALLED/Miravel.scr" $DIALOG_NONE_LABEL; then
  write_ini " 0" " 0" "$MUSIC/default night.wav" > "$WORK/expected-xdg.ini"
  check "with XDG_CONFIG_HOME set, the settings are \$XDG_CONFIG_HOME/miravel/Miravel.ini" \
    cmp "$TEST_HOME/elsewhere/miravel/Miravel.ini" "$WORK/expected-xdg.ini"
fi

# --- Portable: a folder the user may write keeps Miravel.ini beside the launcher
PORTABLE="$TEST_HOME/portable"
mkdir -p "$PORTABLE"
cp "$INSTALLED/Miravel.scr" "$INSTALLED/Miravel.dll" "$PORTABLE/"
chown -R "$TEST_USER" "$PORTABLE"
cp "$CONFIG/Miravel.ini" "$WORK/config-before.ini" 2>/dev/null
if save_through_dialog "$PORTABLE/Miravel.scr" $DIALOG_NONE_LABEL; then
  write_ini " 0" " 0" "" > "$WORK/expected-portable.ini"
  check "portable folder: Miravel.ini is written beside the launcher, from no settings" \
    cmp "$PORTABLE/Miravel.ini" "$WORK/expected-portable.ini"
  check "portable folder: the user's ~/.config file is left alone" \
    eval '{ [ ! -e "$WORK/config-before.ini" ] && [ ! -e "$CONFIG/Miravel.ini" ]; } ||
          cmp -s "$CONFIG/Miravel.ini" "$WORK/config-before.ini"'
fi

# --- Installed with apt: miravel-idle ------------------------------------------
APT_OPTS=(-y -qq -o DPkg::Lock::Timeout=600 --no-install-recommends)
INSTALLED_BY_US=0
purge_package() {
  [ "$INSTALLED_BY_US" = 1 ] || return 0
  DEBIAN_FRONTEND=noninteractive apt-get purge "${APT_OPTS[@]}" miravel >"$WORK/purge.log" 2>&1
  INSTALLED_BY_US=0
}
if dpkg-query -W -f='${Status}' miravel 2>/dev/null | grep -q 'ok installed'; then
  echo "a miravel package is already installed here; not touching it: the apt part is skipped"
  finish
fi
INSTALLED_BY_US=1
trap 'remove_user; purge_package; cleanup' EXIT
DEBIAN_FRONTEND=noninteractive apt-get install "${APT_OPTS[@]}" "$DEB" >"$WORK/install.log" 2>&1
if ! dpkg-query -W -f='${Status}' miravel 2>/dev/null | grep -q 'ok installed'; then
  fail "the package installs with apt"
  cat "$WORK/install.log"
  finish
fi

if command -v systemd-analyze >/dev/null; then
  # It looks for the unit's program and runs `man` on its Documentation.
  mkdir -p "$WORK/analyze-runtime" && chmod 700 "$WORK/analyze-runtime"
  UNIT_REPORT=$(XDG_RUNTIME_DIR="$WORK/analyze-runtime" \
    systemd-analyze verify --user /usr/lib/systemd/user/miravel-idle.service 2>&1)
  check "systemd finds nothing wrong with the installed user unit${UNIT_REPORT:+: $UNIT_REPORT}" \
    test $? = 0 -a -z "$UNIT_REPORT"
fi

HELP=$(as_user miravel-idle --help 2>&1)
HELP_RC=$?
check "the installed miravel-idle --help ends with 0 and shows its usage (exit $HELP_RC)" \
  eval '[ "$HELP_RC" = 0 ] && [[ "$HELP" == "Usage: miravel-idle "*"--after DURATION"* ]]'

# The user's autostart folder, with an entry of another program in it.
AUTOSTART="$TEST_HOME/.config/autostart"
as_user mkdir -p "$AUTOSTART"
as_user sh -c 'printf "[Desktop Entry]\nType=Application\nName=Other\nExec=other-program\n" > "$1"' \
  - "$AUTOSTART/other.desktop"
# listing: every entry's name, owner, mode and, for files, checksum.
listing() {
  (cd "$AUTOSTART" && find . -printf '%p %u %m %y\n' | sort &&
     find . -type f -exec sha256sum {} + | sort -k2)
}
listing > "$WORK/autostart-before"
OUT=$(as_user miravel-idle --install 2>&1)
check "miravel-idle --install ends with 0 ($OUT)" test $? = 0
ENTRY="$AUTOSTART/miravel-idle.desktop"
check "it writes ~/.config/autostart/miravel-idle.desktop, the user's" \
  test "$(stat -c %U "$ENTRY" 2>/dev/null)" = "$TEST_USER"
check "its Exec names the installed /usr/bin/miravel-idle" \
  grep -qx 'Exec=/usr/bin/miravel-idle' "$ENTRY"
check "it is the entry the package ships" cmp "$ENTRY" /usr/share/applications/miravel-idle.desktop
OUT=$(as_user miravel-idle --remove 2>&1)
check "miravel-idle --remove ends with 0 ($OUT)" test $? = 0
listing > "$WORK/autostart-after"
check "--install then --remove leaves the autostart folder as it was" \
  diff "$WORK/autostart-before" "$WORK/autostart-after"

# Run as installed, with no --saver: the launcher is found in the mode folder.
AS_USER_ENV="DBUS_SESSION_BUS_ADDRESS=unix:path=$WORK/no-bus" \
  as_user miravel-idle --after 60m >"$WORK/idle.log" 2>&1 &
IDLE_PID=$!
track $IDLE_PID
watching_installed() {
  local i
  for i in $(seq 1 100); do
    grep -q "watching .*; /usr/libexec/xscreensaver/Miravel.scr starts after" "$WORK/idle.log" 2>/dev/null && return 0
    sleep 0.1
  done
  return 1
}
check "the installed miravel-idle watches the X server and would start the installed launcher" \
  watching_installed
# The signal goes to miravel-idle itself, not to runuser above it.
kill -TERM $(pgrep -u "$TEST_USER" -x miravel-idle) 2>/dev/null
check "SIGTERM ends it with 0" ends_with_zero $IDLE_PID 5
cat "$WORK/idle.log"

purge_package
check "the package purges" eval '! dpkg-query -W -f="\${Status}" miravel 2>/dev/null | grep -q "ok installed"'

finish
