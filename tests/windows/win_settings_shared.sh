#!/usr/bin/env bash
# One Miravel.ini, two builds: what the Linux build writes the Windows build
# reads as the same settings, and the other way round, byte for byte with the
# code-page-932 key names. Needs the Linux build beside this one
# (MIRAVEL_LINUX_BUILD, by default the source's build/ folder, as ./test.sh
# makes it).
source "$MIRAVEL_TEST_LIB"
source "$(dirname "$0")/wine_lib.sh"
LINUX_PROBE="${MIRAVEL_LINUX_BUILD:-$MIRAVEL_SOURCE/build}/tests/settings_probe/miravel_settings_probe"
WIN_PROBE="$MIRAVEL_BUILD/tests/settings_probe/miravel_settings_probe.exe"
if [ ! -x "$LINUX_PROBE" ]; then
  fail "the Linux build's settings probe is there ($LINUX_PROBE)"
  finish
fi
wine_start

linux() { "$LINUX_PROBE" "$@"; }
windows() { timeout 20 wine "$WIN_PROBE" "$@" </dev/null 2>/dev/null | tr -d '\r'; }
winpath() { printf 'Z:%s' "$1" | tr / '\\'; }

# same_reading FILE: both builds read FILE as the same settings.
same_reading() {
  local a b
  a=$(linux read "$1")
  b=$(windows read "$(winpath "$1")")
  echo "  Linux:   $a"
  echo "  Windows: $b"
  [ -n "$a" ] && [ "$a" = "$b" ]
}

# The dialog's save on each side, with the same values: the same bytes.
for values in "1|3|" "2|-0.5|C:\\Music\\tune.mp3" "0|1e3|" "2|2.5|\\\\server\\share\\a b.wav"; do
  IFS='|' read -r kind track path <<<"$values"
  linux write "$WORK/linux.ini" "$kind" "$track" "$path"
  windows write "$(winpath "$WORK/windows.ini")" "$kind" "$track" "$path"
  check "save of kind $kind, track \"$track\", file \"$path\": the same bytes on both" \
    cmp "$WORK/linux.ini" "$WORK/windows.ini"
  check "  and both read it as the same settings" same_reading "$WORK/linux.ini"
  rm -f "$WORK/linux.ini" "$WORK/windows.ini"
done
check "the key names are the code-page-932 bytes" \
  eval 'linux write "$WORK/k.ini" 1 3 "" && grep -q "$KEY_KIND= 1" "$WORK/k.ini"'

# A music file that is there on both sides: Linux writes its path as Wine
# sees it from Windows, and the Windows build keeps it.
touch "$WORK/tune.wav"
linux write "$WORK/music.ini" 2 0 "$(winpath "$WORK/tune.wav")"
check "a stored music file that exists is kept by the Windows build" \
  eval 'windows read "$(winpath "$WORK/music.ini")" | grep -q "^kind 2 repeat 0 file 5a3a"'

# Files edited by hand: marks, case, blanks, quotes, duplicates, comments.
printf '\xef\xbb\xbf[section]\r\n  bgm\xe5\x8c\xba\xe5\x88\x86 = "2" \r\nBGM\xef\xbe\x98\xef\xbe\x8b\xef\xbe\x9f\xef\xbd\xb0\xef\xbe\x84=7\r\n' >"$WORK/utf8.ini"
printf '; note\n[Section]\n%s=1.7\n%s=2\n%s=-32769\n[Section]\n%s=x\n' \
  "$KEY_KIND" "$KEY_KIND" "$KEY_REPEAT" "$KEY_FILE" >"$WORK/edited.ini"
printf '[Section]\r%s=\x27-1\x27\r%s=  12 \r' "$KEY_KIND" "$KEY_REPEAT" >"$WORK/cr.ini"
head -c 2000000 /dev/zero | tr '\0' ';' >"$WORK/huge.ini"
for name in utf8 edited cr huge; do
  check "hand-edited $name.ini: both builds read the same" same_reading "$WORK/$name.ini"
done

# A file saved by an editor with a byte-order mark, naming a music path with
# "・" (U+30FB, which the system's code-page-932 conversion also gives for
# bytes it cannot read): both builds read the path as the same code-page-932
# bytes, and a save into that file writes the same bytes on both.
printf '\xef\xbb\xbf[Section]\r\nBGM\xef\xbe\x8c\xef\xbd\xa7\xef\xbd\xb2\xef\xbe\x99=C:\\\xe9\x9f\xb3\xe3\x83\xbb\xe6\xa5\xbd\\a.mp3\r\n' \
  >"$WORK/dot.ini"
check "a marked file naming \"C:\\音・楽\\a.mp3\": both builds read the same" same_reading "$WORK/dot.ini"
check "  the code-page-932 bytes of that path, the middle dot included" \
  eval 'windows read "$(winpath "$WORK/dot.ini")" | grep -q " raw 433a5c89b981458a795c612e6d7033$"'
cp "$WORK/dot.ini" "$WORK/linux-dot.ini"
cp "$WORK/dot.ini" "$WORK/windows-dot.ini"
linux write "$WORK/linux-dot.ini" 2 1 $'D:\\\x81\x45.wav'
windows write "$(winpath "$WORK/windows-dot.ini")" 2 1 'D:\・.wav'
marked_dot() { grep -qaF "$(printf 'D:\\\xe3\x83\xbb.wav')" "$1" && [ "$(head -c 3 "$1")" = $'\xef\xbb\xbf' ]; }
check "  a save into it: the same bytes on both, still UTF-8 with its mark" \
  eval 'cmp "$WORK/linux-dot.ini" "$WORK/windows-dot.ini" && marked_dot "$WORK/windows-dot.ini"'

# A marked file whose path holds cut UTF-8 sequences (a name truncated by
# hand): each cut sequence is one "?" on both builds, not one per byte.
printf '\xef\xbb\xbf[Section]\r\nBGM\xef\xbe\x8c\xef\xbd\xa7\xef\xbd\xb2\xef\xbe\x99=C:\\\xe9\x9f\xb3\xe3\x83\\a\xf0\x9f\x8e.mp3\r\n' \
  >"$WORK/cut.ini"
check "a marked file naming a path with cut sequences: both builds read the same" same_reading "$WORK/cut.ini"
check "  one \"?\" for each cut sequence" \
  eval 'windows read "$(winpath "$WORK/cut.ini")" | grep -q " raw 433a5c89b93f5c613f2e6d7033$"'

finish
