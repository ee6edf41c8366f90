# miravel_windows_resources(TARGET t NAME n FILENAME f DESCRIPTION d
#                           [COMMON_CONTROLS] [EXTRA rc-lines...])
# Gives a Windows program its manifest (DPI awareness per monitor, asInvoker,
# the Windows versions it knows; common controls 6 on request), its icon and
# its version resource, from packaging/windows/*.in and cmake/Product.cmake.
function(miravel_windows_resources)
  cmake_parse_arguments(R "COMMON_CONTROLS" "TARGET;NAME;FILENAME;DESCRIPTION" "EXTRA" ${ARGN})
  set(out ${CMAKE_CURRENT_BINARY_DIR}/${R_TARGET}_resources)
  file(MAKE_DIRECTORY ${out})

  string(REGEX MATCHALL "[0-9]+" parts "${MIRAVEL_VERSION}")
  list(APPEND parts 0 0 0 0)
  list(SUBLIST parts 0 4 parts)
  string(REPLACE ";" "," MIRAVEL_RC_VERSION_COMMAS "${parts}")
  string(REPLACE ";" "." MIRAVEL_RC_VERSION_DOTS "${parts}")
  set(MIRAVEL_RC_NAME ${R_NAME})
  set(MIRAVEL_RC_FILENAME ${R_FILENAME})
  set(MIRAVEL_RC_DESCRIPTION ${R_DESCRIPTION})
  set(MIRAVEL_RC_DEPENDENCIES "")
  if(R_COMMON_CONTROLS)
    set(MIRAVEL_RC_DEPENDENCIES "  <dependency>
    <dependentAssembly>
      <assemblyIdentity type=\"win32\" name=\"Microsoft.Windows.Common-Controls\" version=\"6.0.0.0\" processorArchitecture=\"*\" publicKeyToken=\"6595b64144ccf1df\" language=\"*\"/>
    </dependentAssembly>
  </dependency>
")
  endif()
  set(MIRAVEL_RC_MANIFEST ${out}/${R_NAME}.manifest)
  set(MIRAVEL_RC_ICON ${CMAKE_SOURCE_DIR}/assets/miravel.ico)
  string(REPLACE ";" "\n" MIRAVEL_RC_EXTRA "${R_EXTRA}")
  configure_file(${CMAKE_SOURCE_DIR}/packaging/windows/program.manifest.in ${MIRAVEL_RC_MANIFEST} @ONLY)
  configure_file(${CMAKE_SOURCE_DIR}/packaging/windows/program.rc.in ${out}/${R_NAME}.rc @ONLY)
  target_sources(${R_TARGET} PRIVATE ${out}/${R_NAME}.rc)
  # windres reads the files the script names when it compiles.
  set_source_files_properties(${out}/${R_NAME}.rc PROPERTIES
    OBJECT_DEPENDS "${MIRAVEL_RC_MANIFEST};${MIRAVEL_RC_ICON}")
endfunction()
