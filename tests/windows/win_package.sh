#!/usr/bin/env bash
# The Windows ZIP: made by cpack from this build, it holds the two programs
# (Windows GUI programs of this build's kind) and the README with Windows
# line ends, in one folder named after the package.
source "$MIRAVEL_TEST_LIB"
cd "$MIRAVEL_BUILD" || exit 1
arch=$(file Miravel.scr | grep -q 'x86-64' && echo win64 || echo win32)
timeout 120 cpack -B "$WORK/out" >"$WORK/cpack.log" 2>&1 || { cat "$WORK/cpack.log"; }
zip=$(ls "$WORK"/out/Miravel-*-"$arch".zip 2>/dev/null | head -n1)
check "cpack makes Miravel-<version>-$arch.zip" test -n "$zip"
if [ -n "$zip" ]; then
  name=$(basename "$zip" .zip)
  listing=$(unzip -Z1 "$zip" | sort | tr '\n' ' ')
  check "the ZIP holds the two programs and the README in $name/ [$listing]" \
    test "$listing" = "$name/Miravel.dll $name/Miravel.scr $name/README.txt "
  mkdir -p "$WORK/unpacked" && unzip -q "$zip" -d "$WORK/unpacked"
  kind=$([ "$arch" = win64 ] && echo 'PE32+ executable (GUI) x86-64' || echo 'PE32 executable (GUI) Intel 80386')
  for program in Miravel.scr Miravel.dll; do
    check "$program is a Windows GUI program ($kind)" \
      eval 'file "$WORK/unpacked/$name/$program" | grep -qF "$kind"'
  done
  check "the README has Windows line ends throughout" \
    eval '[ "$(grep -c $'"'"'\r$'"'"' "$WORK/unpacked/$name/README.txt")" = "$(wc -l <"$WORK/unpacked/$name/README.txt")" ]'
fi
finish
