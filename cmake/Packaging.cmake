# Install rules and the Debian package (`cpack -G DEB` in the build folder).
#
# The installed layout follows what the Linux screen-saver daemons expect:
#   /usr/libexec/xscreensaver/Miravel.scr, Miravel.dll   both programs, side by side
#   /usr/share/xscreensaver/config/miravel.scr.xml       settings page of xscreensaver-settings
#   /usr/share/applications/screensavers/miravel.desktop for desktops that list savers this way
#   /usr/share/applications/miravel-settings.desktop     "Miravel settings": the music dialog
#   /usr/bin/miravel-xscreensaver-setup                  adds Miravel to ~/.xscreensaver
#   /usr/bin/miravel-idle                                starts the saver when the session is idle
#   /usr/lib/systemd/user/miravel-idle.service           the same, for `systemctl --user enable`
#   /usr/share/applications/miravel-idle.desktop         its autostart entry, hidden from menus
# plus the icon, the manual pages and the documentation.

if(WIN32)
  return()
endif()
include(GNUInstallDirs)

set(MIRAVEL_PACKAGE_MAINTAINER "${MIRAVEL_VENDOR} <miravel@example.com>" CACHE STRING
  "Maintainer field of the Debian package")

set(_pkg ${CMAKE_SOURCE_DIR}/packaging)
set(_gen ${CMAKE_BINARY_DIR}/packaging)
file(MAKE_DIRECTORY ${_gen})

# The daemon puts /usr/libexec/xscreensaver first on the PATH of its modes, and
# the launcher finds the renderer beside itself: both go there.
set(MIRAVEL_MODE_DIR ${CMAKE_INSTALL_LIBEXECDIR}/xscreensaver)
install(TARGETS miravel_launcher miravel_renderer RUNTIME DESTINATION ${MIRAVEL_MODE_DIR})

# xscreensaver-settings looks the page up by the command's file name, lower-cased.
install(FILES ${_pkg}/miravel.scr.xml DESTINATION ${CMAKE_INSTALL_DATADIR}/xscreensaver/config)
install(FILES ${_pkg}/miravel.desktop DESTINATION ${CMAKE_INSTALL_DATADIR}/applications/screensavers)
install(FILES ${_pkg}/miravel-settings.desktop DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
# The dialog's window icon (assets/dialog_icon.jpg) as a PNG, as icon themes want it.
install(FILES ${_pkg}/miravel.png DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/32x32/apps)
install(PROGRAMS ${_pkg}/miravel-xscreensaver-setup DESTINATION ${CMAKE_INSTALL_BINDIR})

# miravel-idle finds the launcher in the mode folder when it is not beside it.
install(TARGETS miravel_idle RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
# A user unit, shipped but enabled by nobody: `miravel-idle --install` or
# `systemctl --user enable miravel-idle` is each user's own choice, so the
# package has no maintainer scripts that would enable it for every login.
install(FILES ${_pkg}/miravel-idle.service DESTINATION lib/systemd/user)
# The entry `--install` copies into ~/.config/autostart, made by the same code.
# NoDisplay keeps it out of the menus; it is not put in /etc/xdg/autostart,
# which would start it for every user.
install(FILES ${MIRAVEL_IDLE_DESKTOP_FILE} DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)

# Manual pages and the changelog are shipped compressed, without a time stamp
# in the gzip header so that the package is the same on every build.
set(_gz_outputs)
foreach(item
    "miravel-xscreensaver-setup.1;man1/miravel-xscreensaver-setup.1.gz"
    "miravel-idle.1;man1/miravel-idle.1.gz"
    "Miravel.scr.6;man6/Miravel.scr.6.gz"
    "changelog;changelog.gz")
  list(GET item 0 in)
  list(GET item 1 out)
  get_filename_component(out_dir ${_gen}/${out} DIRECTORY)
  add_custom_command(OUTPUT ${_gen}/${out}
    COMMAND ${CMAKE_COMMAND} -E make_directory ${out_dir}
    COMMAND sh -c "gzip -9n < \"$0\" > \"$1\"" ${_pkg}/${in} ${_gen}/${out}
    DEPENDS ${_pkg}/${in}
    VERBATIM)
  list(APPEND _gz_outputs ${_gen}/${out})
endforeach()
add_custom_target(miravel_package_files ALL DEPENDS ${_gz_outputs})

install(FILES ${_gen}/man1/miravel-xscreensaver-setup.1.gz ${_gen}/man1/miravel-idle.1.gz
  DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
install(FILES ${_gen}/man6/Miravel.scr.6.gz DESTINATION ${CMAKE_INSTALL_MANDIR}/man6)
install(FILES ${CMAKE_SOURCE_DIR}/README.md ${_pkg}/copyright ${_gen}/changelog.gz
  DESTINATION ${CMAKE_INSTALL_DATADIR}/doc/miravel)
# The README's two pictures, so that its links work where it is installed.
install(FILES ${CMAKE_SOURCE_DIR}/docs/curtains.png ${CMAKE_SOURCE_DIR}/docs/dialog.png
  DESTINATION ${CMAKE_INSTALL_DATADIR}/doc/miravel/docs)

# --- The Debian package -------------------------------------------------------
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME miravel)
set(CPACK_PACKAGE_VERSION ${MIRAVEL_VERSION})
set(CPACK_PACKAGE_CONTACT ${MIRAVEL_PACKAGE_MAINTAINER})
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "screen saver with moving curtains of coloured light and music")
set(CPACK_DEBIAN_PACKAGE_DESCRIPTION "Miravel fills every monitor with slowly moving curtains of coloured light,
drawn with OpenGL, and can play background music while it runs: an audio CD,
an MP3 or a WAV file, chosen in its own settings dialog.
.
It runs as an XScreenSaver display mode (miravel-xscreensaver-setup adds it
to a user's list), as the saver of xsecurelock, or started by any program
that runs a command when the user is idle.
.
miravel-idle is such a program: it starts the saver when the session is
idle on GNOME, KDE Plasma, sway and other Wayland compositors, or plain X11,
and keeps it away while a video player or a call holds the screen awake.
It is off until a user turns it on, with miravel-idle --install (XDG
autostart) or through its systemd user unit.")
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION x11)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
# Library dependencies come from the programs themselves (the renderer's
# Wayland shell brings libwayland-client0, libwayland-egl1 and libegl1); the
# dialog's font is only found at run time.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_DEPENDS "fonts-ipafont-gothic")
# xdg-open opens the dialog's web page.
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "xdg-utils")
set(CPACK_DEBIAN_PACKAGE_SUGGESTS "xscreensaver, xscreensaver-gl, xsecurelock, xautolock")
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION TRUE)
include(CPack)
