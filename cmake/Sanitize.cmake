# Sanitized builds (Linux): -DMIRAVEL_SANITIZE=address,undefined compiles and
# links everything with those -fsanitize= checks. Every program of such a
# build also carries its own sanitizer defaults (tests/sanitize/), so that the
# settings hold in programs started under another user or with a cleared
# environment (a screen-saver daemon's children, the Wayland tests):
#   - the leak suppressions of tests/sanitize/leaks.supp;
#   - with -DMIRAVEL_SANITIZE_LOG_DIR=folder, the reports go to files there
#     (asan.PROGRAM.PID, ubsan.PROGRAM.PID) instead of to the program's error
#     output, and a leak alone does not change the exit status;
#     scripts/sanitize.sh counts the files afterwards.
# Options given in ASAN_OPTIONS, LSAN_OPTIONS or UBSAN_OPTIONS still win.
set(MIRAVEL_SANITIZE "" CACHE STRING
  "Sanitizers to build with, as for -fsanitize= (for example address,undefined)")
set(MIRAVEL_SANITIZE_LOG_DIR "" CACHE PATH
  "Folder the sanitized programs write their reports to (empty: error output)")

if(MIRAVEL_SANITIZE STREQUAL "")
  return()
endif()
if(WIN32)
  message(FATAL_ERROR "MIRAVEL_SANITIZE is for the Linux build")
endif()

# Frame pointers, by which the reports' stacks are taken, and line numbers.
add_compile_options(-fsanitize=${MIRAVEL_SANITIZE} -fno-omit-frame-pointer -g)
add_link_options(-fsanitize=${MIRAVEL_SANITIZE})

# A test may preload a small library of its own (a counter of buffer swaps),
# which then comes before the sanitizer's runtime.
set(MIRAVEL_ASAN_DEFAULTS "verify_asan_link_order=0")
set(MIRAVEL_LSAN_DEFAULTS "")
set(MIRAVEL_UBSAN_DEFAULTS "print_stacktrace=1")
if(NOT MIRAVEL_SANITIZE_LOG_DIR STREQUAL "")
  # Reports are counted from the files, so a leak report alone does not make
  # a program fail its test (an error in memory still ends it).
  # The file names say which program wrote them (asan.Miravel.scr.1234).
  string(APPEND MIRAVEL_ASAN_DEFAULTS ":log_path=${MIRAVEL_SANITIZE_LOG_DIR}/asan:log_exe_name=1")
  set(MIRAVEL_LSAN_DEFAULTS "exitcode=0:print_suppressions=0")
  string(APPEND MIRAVEL_UBSAN_DEFAULTS ":log_path=${MIRAVEL_SANITIZE_LOG_DIR}/ubsan:log_exe_name=1")
endif()
file(READ ${CMAKE_SOURCE_DIR}/tests/sanitize/leaks.supp MIRAVEL_LEAK_SUPPRESSIONS)
set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS
  ${CMAKE_SOURCE_DIR}/tests/sanitize/leaks.supp)
set(MIRAVEL_SANITIZER_DEFAULTS ${CMAKE_BINARY_DIR}/sanitizer_defaults.cpp)
configure_file(${CMAKE_SOURCE_DIR}/tests/sanitize/sanitizer_defaults.cpp.in
  ${MIRAVEL_SANITIZER_DEFAULTS} @ONLY)

# miravel_sanitize_programs(): adds the defaults to every program built in
# this folder and below. The top CMakeLists.txt calls it once, last.
function(miravel_sanitize_programs)
  set(folders ${CMAKE_CURRENT_SOURCE_DIR})
  while(folders)
    list(POP_FRONT folders folder)
    get_property(targets DIRECTORY ${folder} PROPERTY BUILDSYSTEM_TARGETS)
    foreach(target ${targets})
      get_target_property(type ${target} TYPE)
      if(type STREQUAL "EXECUTABLE")
        target_sources(${target} PRIVATE ${MIRAVEL_SANITIZER_DEFAULTS})
      endif()
    endforeach()
    get_property(children DIRECTORY ${folder} PROPERTY SUBDIRECTORIES)
    list(APPEND folders ${children})
  endwhile()
endfunction()
