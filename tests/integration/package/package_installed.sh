#!/usr/bin/env bash
# Where an installed Miravel keeps its settings. The package is unpacked into
# a scratch root owned by root; an unprivileged user made for this run saves
# through the installed launcher's dialog, which must land in the user's
# configuration folder; a copy of the programs in a folder the user owns still
# keeps Miravel.ini beside itself.
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

finish
