#!/usr/bin/env bash
# The package's control data and file list, and lintian's verdict on it.
source "$MIRAVEL_TEST_LIB"
source "$(dirname "$0")/package_lib.sh"
need_deb

field() { dpkg-deb --field "$DEB" "$1"; }
has_dep() { field Depends | tr ',' '\n' | sed 's/^ *//; s/ .*//' | grep -qx "$1"; }

check "package name miravel, this machine's architecture" \
  test "$(field Package) $(field Architecture)" = "miravel $(dpkg --print-architecture)"
check "the file is named as Debian names packages" \
  test "$(basename "$DEB")" = "miravel_$(field Version)_$(field Architecture).deb"
for lib in libc6 libx11-6 libfltk1.3 libsdl2-mixer-2.0-0 libcdio19 libjpeg62-turbo \
  libwayland-client0 libwayland-egl1 libegl1 libglib2.0-0 libxss1; do
  check "Depends, from the programs' libraries: $lib" has_dep "$lib"
done
check "Depends: fonts-ipafont-gothic (the dialog's font)" has_dep fonts-ipafont-gothic
check "XScreenSaver is suggested, not depended on or recommended" \
  eval '[[ "$(field Suggests)" == *xscreensaver* ]] && ! has_dep xscreensaver &&
        [[ "$(field Recommends)" != *xscreensaver* ]]'
check "an extended description" test "$(field Description | wc -l)" -gt 3

dpkg-deb --contents "$DEB" > "$WORK/contents"
awk '{ print $1, $2, $NF }' "$WORK/contents" | grep -v '/$' | sed 's#\./#/#' | sort > "$WORK/files"
cat "$WORK/files"
sort > "$WORK/expected" <<'LIST'
-rwxr-xr-x root/root /usr/bin/miravel-idle
-rwxr-xr-x root/root /usr/bin/miravel-xscreensaver-setup
-rw-r--r-- root/root /usr/lib/systemd/user/miravel-idle.service
-rwxr-xr-x root/root /usr/libexec/xscreensaver/Miravel.dll
-rwxr-xr-x root/root /usr/libexec/xscreensaver/Miravel.scr
-rw-r--r-- root/root /usr/share/applications/miravel-idle.desktop
-rw-r--r-- root/root /usr/share/applications/miravel-settings.desktop
-rw-r--r-- root/root /usr/share/applications/screensavers/miravel.desktop
-rw-r--r-- root/root /usr/share/doc/miravel/README.md
-rw-r--r-- root/root /usr/share/doc/miravel/changelog.gz
-rw-r--r-- root/root /usr/share/doc/miravel/copyright
-rw-r--r-- root/root /usr/share/doc/miravel/docs/curtains.png
-rw-r--r-- root/root /usr/share/doc/miravel/docs/dialog.png
-rw-r--r-- root/root /usr/share/icons/hicolor/32x32/apps/miravel.png
-rw-r--r-- root/root /usr/share/man/man1/miravel-idle.1.gz
-rw-r--r-- root/root /usr/share/man/man1/miravel-xscreensaver-setup.1.gz
-rw-r--r-- root/root /usr/share/man/man6/Miravel.scr.6.gz
-rw-r--r-- root/root /usr/share/xscreensaver/config/miravel.scr.xml
LIST
check "exactly the expected files, owned by root, with the expected modes" diff "$WORK/expected" "$WORK/files"
check "every folder is root's and 0755" \
  eval '! grep "/$" "$WORK/contents" | grep -v "^drwxr-xr-x root/root "'

# What the desktop files and the XScreenSaver page point at is in the package.
dpkg-deb -x "$DEB" "$WORK/root"
R="$WORK/root"
for desktop in usr/share/applications/miravel-settings.desktop usr/share/applications/screensavers/miravel.desktop \
  usr/share/applications/miravel-idle.desktop; do
  exec_line=$(sed -n 's/^Exec=//p' "$R/$desktop")
  check "$desktop starts a program of the package ($exec_line)" test -x "$R${exec_line%% *}"
  check "$desktop names the package's icon" grep -qx 'Icon=miravel' "$R/$desktop"
done
check "the settings entry is a Settings entry that opens the dialog (/c)" \
  eval 'grep -q "^Categories=.*Settings;" "$R/usr/share/applications/miravel-settings.desktop" &&
        grep -q "^Exec=.* /c$" "$R/usr/share/applications/miravel-settings.desktop"'
check "the saver entry runs the display mode and is listed as a screen saver" \
  eval 'grep -q "^Exec=.* --root$" "$R/usr/share/applications/screensavers/miravel.desktop" &&
        grep -q "^Categories=Screensaver;" "$R/usr/share/applications/screensavers/miravel.desktop"'
IDLE_ENTRY="$R/usr/share/applications/miravel-idle.desktop"
check "the idle starter's entry runs /usr/bin/miravel-idle and stays out of the menus" \
  eval 'grep -qx "Exec=/usr/bin/miravel-idle" "$IDLE_ENTRY" && grep -qx "NoDisplay=true" "$IDLE_ENTRY"'
UNIT="$R/usr/lib/systemd/user/miravel-idle.service"
check "the user unit starts /usr/bin/miravel-idle, a program of the package" \
  eval 'grep -qx "ExecStart=/usr/bin/miravel-idle" "$UNIT" && test -x "$R/usr/bin/miravel-idle"'
# Turning it on is each user's choice: no maintainer script may enable the
# unit for every login, as deb-systemd-helper would.
dpkg-deb --ctrl-tarfile "$DEB" | tar -t | sed 's#^\./##' | grep -v '^$' | sort > "$WORK/control-files"
check "the package runs no maintainer scripts ($(tr '\n' ' ' < "$WORK/control-files"))" \
  eval '! grep -qE "^(preinst|postinst|prerm|postrm)$" "$WORK/control-files"'
check "its manual page is a page of section 1 named miravel-idle" \
  eval 'zcat "$R/usr/share/man/man1/miravel-idle.1.gz" | head -n1 | grep -q "^\.TH MIRAVEL-IDLE 1 "'

XML="$R/usr/share/xscreensaver/config/miravel.scr.xml"
check "XScreenSaver page: label Miravel, display mode, frame-rate slider on --delay, a description" \
  eval 'grep -q "<screensaver name=\"Miravel.scr\" _label=\"Miravel\"" "$XML" &&
        grep -q "<command arg=\"--root\"/>" "$XML" &&
        grep -q "arg=\"--delay %\"" "$XML" && grep -q "convert=\"invert\"" "$XML" &&
        grep -q "default=\"16000\"" "$XML" && grep -q "<_description>" "$XML"'
# xscreensaver-settings finds the page by the command's file name, lower-cased.
check "the page's file name is the command's file name, lower-cased, plus .xml" \
  test -x "$R/usr/libexec/xscreensaver/$(basename "$XML" .xml | sed 's/^miravel/Miravel/')"
check "the icon is a 32x32 PNG" eval 'file "$R/usr/share/icons/hicolor/32x32/apps/miravel.png" | grep -q "PNG image data, 32 x 32"'
check "the programs are stripped" \
  eval '! file "$R"/usr/libexec/xscreensaver/Miravel.* "$R/usr/bin/miravel-idle" | grep -q "not stripped"'

# lintian: no errors (warnings and notes are printed for the record).
LINTIAN_RC=0
lintian --allow-root --tag-display-limit 0 --display-info --fail-on error "$DEB" > "$WORK/lintian.txt" 2>&1 ||
  LINTIAN_RC=$?
sed 's/^/  lintian: /' "$WORK/lintian.txt"
check "lintian reports no errors (exit $LINTIAN_RC)" \
  eval '[ "$LINTIAN_RC" = 0 ] && ! grep -q "^E:" "$WORK/lintian.txt"'
# The programs are hardened as Debian's own: relocations read-only after
# start, and the C library's checked calls.
for tag in hardening-no-bindnow hardening-no-fortify-functions hardening-no-relro; do
  check "lintian does not report $tag" eval '! grep -q ": $tag" "$WORK/lintian.txt"'
done

finish
