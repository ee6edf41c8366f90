# The Windows package: Miravel-<version>-win64.zip (or -win32.zip) holding
# the two programs side by side and a short README for Windows users, made by
# `cpack` in a Windows build folder.

# The README with Windows line ends, for Notepad of every Windows version.
file(READ ${CMAKE_SOURCE_DIR}/packaging/README-Windows.txt _readme)
string(REPLACE "\r\n" "\n" _readme "${_readme}")
string(REPLACE "\n" "\r\n" _readme "${_readme}")
file(WRITE ${CMAKE_BINARY_DIR}/packaging/README.txt "${_readme}")

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
set(CPACK_PACKAGE_FILE_NAME Miravel-${MIRAVEL_VERSION}-${_arch})
set(CPACK_STRIP_FILES ON)
include(CPack)
