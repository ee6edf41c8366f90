# Small helpers shared by every folder's CMakeLists.txt.

# Adds every direct sub-folder of the current source folder that holds a
# CMakeLists.txt, in name order, so a new area needs no edit of its parent.
function(miravel_add_subdirs)
  file(GLOB children RELATIVE ${CMAKE_CURRENT_SOURCE_DIR} ${CMAKE_CURRENT_SOURCE_DIR}/*)
  list(SORT children)
  foreach(child ${children})
    if(IS_DIRECTORY ${CMAKE_CURRENT_SOURCE_DIR}/${child}
       AND EXISTS ${CMAKE_CURRENT_SOURCE_DIR}/${child}/CMakeLists.txt)
      add_subdirectory(${child})
    endif()
  endforeach()
endfunction()

# miravel_unit_test(NAME name SOURCES a.cpp b.cpp LIBS lib1 lib2)
# A GoogleTest executable whose cases ctest lists one by one (label "unit").
function(miravel_unit_test)
  cmake_parse_arguments(T "" "NAME" "SOURCES;LIBS" ${ARGN})
  if(NOT TARGET GTest::gtest)
    find_package(GTest REQUIRED)
  endif()
  add_executable(${T_NAME} ${T_SOURCES})
  target_link_libraries(${T_NAME} PRIVATE ${T_LIBS} GTest::gtest GTest::gtest_main GTest::gmock)
  include(GoogleTest)
  set(listing 30)
  if(CMAKE_CROSSCOMPILING)
    # Cases are listed through the emulator (Wine) when ctest runs, not
    # while building, so a build needs no Wine. The first program of a
    # kind that Wine starts in a prefix (the first 32-bit one above all)
    # may take far longer than the listing itself on a loaded machine; a
    # listing cut short leaves the whole program's cases out and the run red.
    set(mode DISCOVERY_MODE PRE_TEST)
    set(listing 120)
  endif()
  gtest_discover_tests(${T_NAME}
    WORKING_DIRECTORY ${CMAKE_CURRENT_BINARY_DIR}
    PROPERTIES LABELS unit TIMEOUT 60
    DISCOVERY_TIMEOUT ${listing} ${mode})
endfunction()

# miravel_integration_test(NAME name SCRIPT file.sh [TIMEOUT s])
# A bash script run under its own private Xvfb (see tests/integration/lib.sh).
# The script gets the build folder in MIRAVEL_BUILD and the source in MIRAVEL_SOURCE.
function(miravel_integration_test)
  cmake_parse_arguments(T "" "NAME;SCRIPT;TIMEOUT" "" ${ARGN})
  if(NOT T_TIMEOUT)
    set(T_TIMEOUT 120)
  endif()
  add_test(NAME ${T_NAME}
    COMMAND bash ${CMAKE_CURRENT_SOURCE_DIR}/${T_SCRIPT})
  set_tests_properties(${T_NAME} PROPERTIES
    LABELS integration
    TIMEOUT ${T_TIMEOUT}
    RUN_SERIAL TRUE
    ENVIRONMENT "MIRAVEL_BUILD=${CMAKE_BINARY_DIR};MIRAVEL_SOURCE=${CMAKE_SOURCE_DIR};MIRAVEL_TEST_LIB=${CMAKE_SOURCE_DIR}/tests/integration/lib.sh")
endfunction()

# miravel_embed(TARGET target SYMBOL name FILE path)
# Compiles the bytes of FILE into TARGET as
#   extern const unsigned char name[]; extern const std::size_t name_size;
# which the code that reads them declares itself.
function(miravel_embed)
  cmake_parse_arguments(E "" "TARGET;SYMBOL;FILE" "" ${ARGN})
  set(out ${CMAKE_CURRENT_BINARY_DIR}/embedded_${E_SYMBOL}.cpp)
  add_custom_command(OUTPUT ${out}
    COMMAND ${CMAKE_COMMAND} -DIN=${E_FILE} -DOUT=${out} -DSYMBOL=${E_SYMBOL}
            -P ${CMAKE_SOURCE_DIR}/cmake/EmbedFile.cmake
    DEPENDS ${E_FILE} ${CMAKE_SOURCE_DIR}/cmake/EmbedFile.cmake
    COMMENT "Embedding ${E_FILE}")
  target_sources(${E_TARGET} PRIVATE ${out})
endfunction()

# miravel_wayland_glue(TARGET target PROTOCOLS a.xml b.xml ...)
# Generates each protocol's client header and code with wayland-scanner into
# the folder's wayland_glue/ and builds them into `target`, which includes
# them as "<name>-client-protocol.h".
function(miravel_wayland_glue)
  cmake_parse_arguments(G "" "TARGET" "PROTOCOLS" ${ARGN})
  set(glue ${CMAKE_CURRENT_BINARY_DIR}/wayland_glue)
  foreach(xml ${G_PROTOCOLS})
    get_filename_component(name ${xml} NAME_WE)
    add_custom_command(
      OUTPUT ${glue}/${name}-client-protocol.h ${glue}/${name}-protocol.c
      COMMAND ${CMAKE_COMMAND} -E make_directory ${glue}
      COMMAND ${MIRAVEL_WAYLAND_SCANNER} client-header ${xml} ${glue}/${name}-client-protocol.h
      COMMAND ${MIRAVEL_WAYLAND_SCANNER} private-code ${xml} ${glue}/${name}-protocol.c
      DEPENDS ${xml}
      COMMENT "Generating the ${name} glue")
    target_sources(${G_TARGET} PRIVATE ${glue}/${name}-protocol.c ${glue}/${name}-client-protocol.h)
  endforeach()
  target_include_directories(${G_TARGET} PRIVATE ${glue})
endfunction()
