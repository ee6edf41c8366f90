#!/usr/bin/env bash
# The Windows installer, made by cpack (NSIS) from this build and run
# silently under Wine: the programs and the README in Program Files\Miravel,
# "Miravel settings" in the Start menu, the Apps & features entry, Miravel as
# the screen saver; then its uninstaller, silently too, takes all of it away,
# and leaves a screen saver that is no longer Miravel alone.
source "$MIRAVEL_TEST_LIB"
source "$(dirname "$0")/wine_lib.sh"
cd "$MIRAVEL_BUILD" || exit 1
# The 32-bit installer and its registry entries live in the 32-bit view.
# On 64-bit Windows (and so in the test's win64 prefix) a 64-bit installer
# belongs in the 64-bit Program Files and a 32-bit one in "Program Files (x86)";
# the other folder must stay without Miravel.
if file Miravel.scr | grep -q 'x86-64'; then
  arch=win64 generator=NSIS64 programs="Program Files" other="Program Files (x86)" view=/reg:64
else
  arch=win32 generator=NSIS programs="Program Files (x86)" other="Program Files" view=/reg:32
fi
# The folder's name as text inside an extended regular expression: "(x86)" is
# no group.
programs_re=$(sed 's/[][\\.^$*+?(){}|]/\\&/g' <<<"$programs")
timeout 120 cpack -G "$generator" -B "$WORK/out" >"$WORK/cpack.log" 2>&1 || cat "$WORK/cpack.log"
setup=$(ls "$WORK"/out/Miravel-*-"$arch"-setup.exe 2>/dev/null | head -n1)
check "cpack -G $generator makes Miravel-<version>-$arch-setup.exe" test -n "$setup"
[ -n "$setup" ] || finish
version=$(sed -n 's/^MIRAVEL_VERSION:[A-Z]*=//p' CMakeCache.txt)
vendor=$(sed -n 's/^MIRAVEL_VENDOR:[A-Z]*=//p' CMakeCache.txt)

wine_start
DIR="$WINEPREFIX/drive_c/$programs/Miravel"
UNINSTALL='HKLM\Software\Microsoft\Windows\CurrentVersion\Uninstall\Miravel'
DESKTOP='HKCU\Control Panel\Desktop'
# The shared prefix gets its screen saver back as it was.
saved_saver=""
reg_value() {  # KEY NAME: the value's text; exit 1 when it is missing
  local out
  out=$(timeout 20 wine reg query "$1" /v "$2" "$view" </dev/null 2>/dev/null | tr -d '\r') || return 1
  sed -n "s/^ *$2 *REG_[A-Z_]* *//p" <<<"$out" | head -n1
}
reg_missing() { ! timeout 20 wine reg query "$@" "$view" </dev/null >/dev/null 2>&1; }
saved_saver=$(reg_value "$DESKTOP" SCRNSAVE.EXE) || saved_saver="-"
restore_saver() {
  [ "$_WINE_UP" = 1 ] || return 0
  if [ "$saved_saver" = "-" ]; then
    timeout 20 wine reg delete "$DESKTOP" /v SCRNSAVE.EXE /f </dev/null >/dev/null 2>&1
  else
    timeout 20 wine reg add "$DESKTOP" /v SCRNSAVE.EXE /d "$saved_saver" /f </dev/null >/dev/null 2>&1
  fi
}
trap 'restore_saver; wine_stop; cleanup' EXIT

install() { timeout 60 wine "$(wine_path "$setup")" /S </dev/null >>"$WORK/wine.log" 2>&1; }
wine_path() { printf 'Z:%s' "$1" | tr / '\\'; }
# uninstall: the uninstaller hands over to a copy of itself and returns at
# once; done is when the folder is gone.
uninstall() {
  timeout 60 wine "C:\\$programs\\Miravel\\Uninstall.exe" /S </dev/null >>"$WORK/wine.log" 2>&1
  local end=$((SECONDS + 30))
  while [ -e "$DIR" ] && [ $SECONDS -le $end ]; do sleep 0.2; done
  [ ! -e "$DIR" ]
}
shortcut() { find "$WINEPREFIX/drive_c" -name 'Miravel settings.lnk' 2>/dev/null | head -n1; }

check "the installer /S ends with 0" install
listing=$(cd "$DIR" 2>/dev/null && ls | tr '\n' ' ')
check "$programs\\Miravel holds both programs, the README and the uninstaller [$listing]" \
  test "$listing" = "Miravel.dll Miravel.scr README.txt Uninstall.exe "
check "  and $other has no Miravel" test ! -e "$WINEPREFIX/drive_c/$other/Miravel"
kind=$([ "$arch" = win64 ] && echo 'PE32+ executable (GUI) x86-64' || echo 'PE32 executable (GUI) Intel 80386')
for program in Miravel.scr Miravel.dll; do
  check "  $program is this build's program ($kind)" eval 'file "$DIR/$program" | grep -qF "$kind"'
done
link=$(shortcut)
check "\"Miravel settings\" is in the Start menu [${link#$WINEPREFIX/}]" test -n "$link"
if [ -n "$link" ]; then
  # A shell link holds its target as a list of names (folder by folder) and
  # its arguments as UTF-16 texts.
  texts=$(strings -el -n 2 "$link" | tr '\n' '|')
  check "  it runs Miravel.scr /c [$texts]" \
    eval 'grep -qE "\|$programs_re\|([^|]*\|)*Miravel\|([^|]*\|)*Miravel\.scr\|" <<<"|$texts" && grep -qF "|/c|" <<<"|$texts"'
fi
check "Apps & features: name Miravel" test "$(reg_value "$UNINSTALL" DisplayName)" = Miravel
check "  version $version" test "$(reg_value "$UNINSTALL" DisplayVersion)" = "$version"
check "  publisher $vendor" test "$(reg_value "$UNINSTALL" Publisher)" = "$vendor"
check "  icon from Miravel.scr [$(reg_value "$UNINSTALL" DisplayIcon)]" \
  test "$(reg_value "$UNINSTALL" DisplayIcon)" = "C:\\$programs\\Miravel\\Miravel.scr"
check "  quiet uninstall string [$(reg_value "$UNINSTALL" QuietUninstallString)]" \
  test "$(reg_value "$UNINSTALL" QuietUninstallString)" = "\"C:\\$programs\\Miravel\\Uninstall.exe\" /S"
check "the screen saver is the installed Miravel.scr [$(reg_value "$DESKTOP" SCRNSAVE.EXE)]" \
  test "$(reg_value "$DESKTOP" SCRNSAVE.EXE)" = "C:\\$programs\\Miravel\\Miravel.scr"

check "the uninstaller /S removes the folder" uninstall
check "  the Start-menu entry" test -z "$(shortcut)"
check "  the Apps & features entry" reg_missing "$UNINSTALL"
check "  and the screen saver, which was Miravel" reg_missing "$DESKTOP" /v SCRNSAVE.EXE

# Another screen saver chosen since: the uninstaller leaves it.
install
timeout 20 wine reg add "$DESKTOP" /v SCRNSAVE.EXE /d 'C:\Windows\system32\other.scr' /f </dev/null >/dev/null 2>&1
check "installed again, then uninstalled" uninstall
check "  a screen saver that is no longer Miravel stays" \
  test "$(reg_value "$DESKTOP" SCRNSAVE.EXE)" = 'C:\Windows\system32\other.scr'
finish
