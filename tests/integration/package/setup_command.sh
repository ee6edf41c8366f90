#!/usr/bin/env bash
# miravel-xscreensaver-setup on a user's ~/.xscreensaver: missing, holding a
# list, holding settings but no list, already holding Miravel (on or off), and
# --remove. Whatever it does, only Miravel's line may change.
source "$MIRAVEL_TEST_LIB"

# The command as installed: bin/ beside libexec/xscreensaver/Miravel.scr.
PREFIX="$WORK/prefix"
mkdir -p "$PREFIX/bin" "$PREFIX/libexec/xscreensaver"
cp "$MIRAVEL_SOURCE/packaging/miravel-xscreensaver-setup" "$PREFIX/bin/"
cp "$MIRAVEL_BUILD/Miravel.scr" "$PREFIX/libexec/xscreensaver/"
SETUP="$PREFIX/bin/miravel-xscreensaver-setup"
LAUNCHER="$PREFIX/libexec/xscreensaver/Miravel.scr"
ENTRY="  GL: \"Miravel\" $LAUNCHER --root	\\n"

export HOME="$WORK/home"
FILE="$HOME/.xscreensaver"
mkdir -p "$HOME"

# System defaults as the xscreensaver package lays them out: the list is
# "*programs:", one entry a line, the last one without a trailing "\".
DEFAULTS="$WORK/XScreenSaver"
cat > "$DEFAULTS" <<'EOF'
*timeout:		0:10:00
*programs:								      \
				maze --root				    \n\
  GL: 				superquadrics --root			    \n\
-				noseguy --root				    \n\
  GL: 				hextrail --root				    \n
*lock:			False
EOF
export MIRAVEL_XSCREENSAVER_DEFAULTS="$DEFAULTS"

# run ARGS...: runs the command; its output is in $OUT, its exit code in $RC.
run() { RC=0; OUT=$("$SETUP" "$@" 2>&1) || RC=$?; echo "  $ miravel-xscreensaver-setup $*: $OUT"; }
# programs_of FILE: the lines of the list resource.
programs_of() { awk '/^[ \t]*\*?programs[ \t]*:/ { on = 1 } on { print; if ($0 !~ /\\$/) exit }' "$1"; }
# only_added FILE_BEFORE FILE_AFTER LINE: AFTER is BEFORE with LINE added at
# the end of the list and a "\" behind the list's old last line.
only_added() {
  diff "$1" "$2" > "$WORK/diff" && return 1
  local old_last
  old_last=$(programs_of "$1" | tail -n1)
  grep -c '^[<>]' "$WORK/diff" | grep -qx 3 &&
    grep -Fxq "< $old_last" "$WORK/diff" &&
    grep -Fxq "> $old_last\\" "$WORK/diff" &&
    grep -Fxq "> $3" "$WORK/diff"
}

# --- Missing file: the system's list, with Miravel at its end ------------------
run
check "missing file: exit 0 and says it created the file" \
  eval '[ "$RC" = 0 ] && [[ "$OUT" == *Created*"$FILE"* ]]'
programs_of "$FILE" > "$WORK/list"
{ sed -n '/^\*programs/,/hextrail/p' "$DEFAULTS" | sed 's/^\*//; $ s/$/\\/'; printf '%s\n' "$ENTRY"; } \
  > "$WORK/expected-list"
check "missing file: the list is the system's list, then Miravel's entry, then the list ends" \
  cmp "$WORK/list" "$WORK/expected-list"
check "missing file: no other setting was copied (they still come from the system)" \
  eval '! grep -q "timeout\|lock:" "$FILE"'
check "missing file: the file is readable by its owner alone or by all, not writable by others" \
  test "$(stat -c %a "$FILE")" = 644
cp "$FILE" "$WORK/created"
run
check "run again: says Miravel is already there, file unchanged" \
  eval '[ "$RC" = 0 ] && [[ "$OUT" == *already* ]] && cmp -s "$FILE" "$WORK/created"'
run --remove
check "--remove after creation: the list is the system's list again" \
  eval '[ "$RC" = 0 ] && [[ "$OUT" == *Removed* ]] &&
        diff <(programs_of "$FILE") <(sed -n "/^\*programs/,/hextrail/p" "$DEFAULTS" | sed "s/^\*//")'

# --- Existing file written by xscreensaver-settings ----------------------------
# Settings before and after the list, a switched-off entry, an entry over two
# lines, odd spacing; the file is private to its owner.
cat > "$FILE" <<'EOF'
# XScreenSaver Preferences File
timeout:	0:05:00
mode:		random
programs:								      \
				maze --root				    \n\
-				noseguy --root				    \n\
	     "Qix (solid)" 	qix -root -solid		      \
				  -segments 100			    \n\
  GL: 				hextrail --root				    \n

pointerPollTime:	0:00:05
EOF
chmod 600 "$FILE"
cp "$FILE" "$WORK/original"
run
check "existing list: exit 0, says it added Miravel" eval '[ "$RC" = 0 ] && [[ "$OUT" == *Added* ]]'
check "existing list: only Miravel's line is added, at the list's end" \
  only_added "$WORK/original" "$FILE" "$ENTRY"
check "existing list: the file stays private to its owner" test "$(stat -c %a "$FILE")" = 600
cp "$FILE" "$WORK/added"
run
check "already registered: nothing changes" \
  eval '[ "$RC" = 0 ] && [[ "$OUT" == *already* ]] && cmp -s "$FILE" "$WORK/added"'
run --remove
check "--remove: the file is byte for byte what it was before" cmp "$FILE" "$WORK/original"
run --remove
check "--remove when not there: exit 0, says so, file unchanged" \
  eval '[ "$RC" = 0 ] && [[ "$OUT" == *"not in"* ]] && cmp -s "$FILE" "$WORK/original"'

# A file linked from elsewhere is edited where it lies; the link stays.
mkdir -p "$WORK/dotfiles"
mv "$FILE" "$WORK/dotfiles/xscreensaver"
ln -s "$WORK/dotfiles/xscreensaver" "$FILE"
run
check "linked file: still a link, and the file it points at holds Miravel" \
  eval '[ -L "$FILE" ] && only_added "$WORK/original" "$WORK/dotfiles/xscreensaver" "$ENTRY"'
rm -f "$FILE"

# A list whose last entry has no "\n" of its own gets one before Miravel's.
printf 'programs:\t\\\n\t\tmaze --root \\n\\\n\t\tqix --root\n' > "$FILE"
run
check "last entry without \\n: it gets one, and Miravel's entry follows" \
  eval 'diff <(programs_of "$FILE") <(printf "programs:\t\\\\\n\t\tmaze --root \\\\n\\\\\n\t\tqix --root \\\\n\\\\\n%s\n" "$ENTRY")'

# --- Already there, edited by the user: switched off, other options, mid-list ---
cat > "$FILE" <<EOF
programs:								      \\
				maze --root				    \\n\\
- GL:	"Miravel"	Miravel.scr --root --delay 30000	    \\n\\
  GL: 				hextrail --root				    \\n
EOF
cp "$FILE" "$WORK/user-entry"
run
check "a switched-off Miravel entry counts as there: nothing changes, and it says it is off" \
  eval '[ "$RC" = 0 ] && [[ "$OUT" == *"switched off"* ]] && cmp -s "$FILE" "$WORK/user-entry"'
run --remove
check "--remove takes out that entry and nothing else" \
  eval 'diff <(programs_of "$FILE") <(printf "programs:\t\t\t\t\t\t\t\t      \\\\\n\t\t\t\tmaze --root\t\t\t\t    \\\\n\\\\\n  GL: \t\t\t\thextrail --root\t\t\t\t    \\\\n\n")'

# Miravel as the list's last entry (as this command adds it): after removal
# the new last line must end the list, not continue into the next setting.
printf 'programs:\t\\\n\t\tmaze --root \\n\\\n%s\nlock:\tTrue\n' "$ENTRY" > "$FILE"
run --remove
check "--remove of the last entry: the line before it ends the list" \
  eval 'diff "$FILE" <(printf "programs:\t\\\\\n\t\tmaze --root \\\\n\nlock:\tTrue\n")'

# --- A file with settings but no list of its own -------------------------------
printf 'timeout:\t0:01:00\nlock:\t\tTrue' > "$FILE"   # (no line break at its end)
run
check "no list in the file: the settings stay as they were, first" \
  eval 'head -n2 "$FILE" | diff - <(printf "timeout:\t0:01:00\nlock:\t\tTrue\n")'
check "no list in the file: the system's list and Miravel follow" \
  eval 'diff <(programs_of "$FILE") "$WORK/expected-list"'

# --- Without XScreenSaver's defaults; without Miravel; unknown options ---------
rm -f "$FILE"
MIRAVEL_XSCREENSAVER_DEFAULTS="$WORK/none" run
check "no system defaults: a list of Miravel alone, and a word about XScreenSaver" \
  eval '[ "$RC" = 0 ] && [[ "$OUT" == *"is XScreenSaver installed"* ]] &&
        diff <(programs_of "$FILE") <(printf "programs:\t\t\t\t\t\\\\\n%s\n" "$ENTRY")'
rm -f "$FILE"
mv "$LAUNCHER" "$WORK/launcher-away"
run
check "launcher missing: exit 1, no file made" eval '[ "$RC" = 1 ] && [ ! -e "$FILE" ]'
mv "$WORK/launcher-away" "$LAUNCHER"
run --remove
check "--remove without a file: exit 0, still no file" eval '[ "$RC" = 0 ] && [ ! -e "$FILE" ]'
run --frobnicate
check "unknown option: exit 2, no file" eval '[ "$RC" = 2 ] && [ ! -e "$FILE" ]'

# --- The real system defaults, where XScreenSaver is installed -----------------
if [ -r /etc/X11/app-defaults/XScreenSaver ]; then
  MIRAVEL_XSCREENSAVER_DEFAULTS=/etc/X11/app-defaults/XScreenSaver run
  n_system=$(sed -n '/^\*programs:/,/[^\\]$/p' /etc/X11/app-defaults/XScreenSaver | grep -o '\\n' | wc -l)
  n_user=$(programs_of "$FILE" | grep -o '\\n' | wc -l)
  check "installed XScreenSaver: its $n_system entries plus Miravel's ($n_user)" \
    test "$n_user" = $((n_system + 1))
  check "installed XScreenSaver: Miravel's entry is the last line of the list" \
    test "$(programs_of "$FILE" | tail -n1)" = "$ENTRY"
fi

finish
