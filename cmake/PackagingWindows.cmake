# The Windows packages, made by cpack in a Windows build folder:
#   cpack            Miravel-<version>-win64.zip (or -win32.zip): the two
#                    programs side by side and a short README, for those who
#                    want no installer;
#   cpack -G NSIS64  Miravel-<version>-win64-setup.exe (cpack -G NSIS in a
#                    32-bit build: -win32-setup.exe), with Debian's makensis.
# The installer puts both programs and the README into Program Files\Miravel,
# "Miravel settings" (Miravel.scr /c) into the Start menu, an entry into Apps
# & features, and makes Miravel the screen saver of the user who installs;
# its uninstaller takes all of it away again, and the screen saver only if
# it is still Miravel.

# The README with Windows line ends, for Notepad of every Windows version.
file(READ ${CMAKE_SOURCE_DIR}/packaging/README-Windows.txt _readme)
string(REPLACE "\r\n" "\n" _readme "${_readme}")
string(REPLACE "\n" "\r\n" _readme "${_readme}")
file(WRITE ${CMAKE_BINARY_DIR}/packaging/README.txt "${_readme}")
file(READ ${CMAKE_SOURCE_DIR}/packaging/copyright _licence)
string(REPLACE "\n" "\r\n" _licence "${_licence}")
file(WRITE ${CMAKE_BINARY_DIR}/packaging/copyright.txt "${_licence}")

install(TARGETS miravel_launcher miravel_renderer RUNTIME DESTINATION .)
install(FILES ${CMAKE_BINARY_DIR}/packaging/README.txt DESTINATION .)

if(CMAKE_SIZEOF_VOID_P EQUAL 8)
  set(_arch win64)
else()
  set(_arch win32)
endif()
set(CPACK_GENERATOR ZIP)
set(CPACK_PACKAGE_NAME Miravel)
set(CPACK_PACKAGE_VERSION ${MIRAVEL_VERSION})
set(CPACK_PACKAGE_VENDOR ${MIRAVEL_VENDOR})
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "Miravel screen saver")
set(CPACK_PACKAGE_FILE_NAME Miravel-${MIRAVEL_VERSION}-${_arch})
set(CPACK_STRIP_FILES ON)
# The NSIS text below reaches project.nsi as written.
set(CPACK_VERBATIM_VARIABLES ON)
set(CPACK_RESOURCE_FILE_LICENSE ${CMAKE_BINARY_DIR}/packaging/copyright.txt)

# The installer. Its folder, Start-menu folder and uninstall key are plain
# "Miravel" (not "Miravel 1.0.0"), so that an update lands where the last
# version is and Windows lists one entry.
set(CPACK_PACKAGE_INSTALL_DIRECTORY Miravel)
set(CPACK_PACKAGE_INSTALL_REGISTRY_KEY Miravel)
set(CPACK_NSIS_PACKAGE_NAME Miravel)
set(CPACK_NSIS_DISPLAY_NAME Miravel)
set(CPACK_NSIS_INSTALLED_ICON_NAME Miravel.scr)
set(CPACK_NSIS_MUI_ICON ${CMAKE_SOURCE_DIR}/assets/miravel.ico)
set(CPACK_NSIS_MUI_UNIICON ${CMAKE_SOURCE_DIR}/assets/miravel.ico)
set(CPACK_NSIS_ENABLE_UNINSTALL_BEFORE_INSTALL ON)
set(CPACK_NSIS_UNINSTALL_NAME Uninstall)
set(CPACK_NSIS_MANIFEST_DPI_AWARE ON)
if(_arch STREQUAL win64)
  # A 64-bit installer for the 64-bit programs: it sees the system's own
  # Program Files and registry, and needs no 32-bit layer to run.
  set(CPACK_NSIS_DEFINES "Unicode true\nTarget amd64-unicode")
  # NSIS names the Program Files folders for its 32-bit installer: there
  # $PROGRAMFILES64 reads the other (64-bit) registry view. A 64-bit installer
  # reads that same "other" view, which is the 32-bit one, wherever it exists
  # (64-bit Windows, Wine with its 32-bit half): $PROGRAMFILES64 is then
  # "Program Files (x86)". Its own view, $PROGRAMFILES, is the 64-bit folder.
  # CPack's default root for win64 assumes the 32-bit installer.
  set(CPACK_NSIS_INSTALL_ROOT "$PROGRAMFILES")
endif()
# NSIS text: backslashes stay single in project.nsi; $$ would be NSIS's own.
set(_uninstall_key "Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Miravel")
set(CPACK_NSIS_CREATE_ICONS_EXTRA
  "  CreateShortCut \"$SMPROGRAMS\\$STARTMENU_FOLDER\\Miravel settings.lnk\" \"$INSTDIR\\Miravel.scr\" \"/c\" \"$INSTDIR\\Miravel.scr\" 0")
set(CPACK_NSIS_DELETE_ICONS_EXTRA
  "  Delete \"$SMPROGRAMS\\$MUI_TEMP\\Miravel settings.lnk\"")
set(CPACK_NSIS_EXTRA_INSTALL_COMMANDS "
  WriteRegStr SHCTX \"${_uninstall_key}\" \"InstallLocation\" \"$INSTDIR\"
  WriteRegStr SHCTX \"${_uninstall_key}\" \"QuietUninstallString\" '\"$INSTDIR\\Uninstall.exe\" /S'
  WriteRegStr HKCU \"Control Panel\\Desktop\" \"SCRNSAVE.EXE\" \"$INSTDIR\\Miravel.scr\"")
# The screen saver is cleared only while it still names this Miravel.scr, by
# its long or its short (8.3) name, which the Screen Saver Settings may write.
set(CPACK_NSIS_EXTRA_UNINSTALL_COMMANDS "
  ReadRegStr $0 HKCU \"Control Panel\\Desktop\" \"SCRNSAVE.EXE\"
  GetFullPathName /SHORT $1 \"$INSTDIR\\Miravel.scr\"
  StrCmp $0 \"$INSTDIR\\Miravel.scr\" miravelClearSaver
  StrCmp $0 \"\" miravelKeepSaver
  StrCmp $0 $1 miravelClearSaver miravelKeepSaver
  miravelClearSaver:
  DeleteRegValue HKCU \"Control Panel\\Desktop\" \"SCRNSAVE.EXE\"
  miravelKeepSaver:")
# The installer's own file name ends in -setup; the ZIP keeps its name.
set(CPACK_PROJECT_CONFIG_FILE ${CMAKE_BINARY_DIR}/packaging/CPackProjectConfig.cmake)
file(WRITE ${CPACK_PROJECT_CONFIG_FILE}
  "if(CPACK_GENERATOR MATCHES \"^NSIS\")\n"
  "  set(CPACK_PACKAGE_FILE_NAME \"Miravel-${MIRAVEL_VERSION}-${_arch}-setup\")\n"
  "endif()\n")
include(CPack)
