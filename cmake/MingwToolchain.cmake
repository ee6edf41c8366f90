# Shared part of the mingw-w64 toolchain files; they set MIRAVEL_MINGW_TRIPLE.
set(CMAKE_SYSTEM_NAME Windows)

# The posix flavour: std::thread and friends work.
set(CMAKE_C_COMPILER ${MIRAVEL_MINGW_TRIPLE}-gcc-posix)
set(CMAKE_CXX_COMPILER ${MIRAVEL_MINGW_TRIPLE}-g++-posix)
set(CMAKE_RC_COMPILER ${MIRAVEL_MINGW_TRIPLE}-windres)

set(CMAKE_FIND_ROOT_PATH /usr/${MIRAVEL_MINGW_TRIPLE})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

# ctest (and gtest's test discovery) run the programs through Wine.
set(CMAKE_CROSSCOMPILING_EMULATOR wine)
