# Cross-builds Quindle for 64-bit Windows with Debian's MinGW-w64 and runs what it
# builds (tests, test discovery) under Wine.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)

set(QUINDLE_MINGW_TRIPLE x86_64-w64-mingw32)
# The posix-thread compilers: the win32-thread ones lack std::mutex and std::thread.
set(CMAKE_C_COMPILER ${QUINDLE_MINGW_TRIPLE}-gcc-posix)
set(CMAKE_CXX_COMPILER ${QUINDLE_MINGW_TRIPLE}-g++-posix)
set(CMAKE_RC_COMPILER ${QUINDLE_MINGW_TRIPLE}-windres)

set(CMAKE_FIND_ROOT_PATH /usr/${QUINDLE_MINGW_TRIPLE})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

# One self-contained .exe: no libstdc++, libgcc or winpthread DLLs to ship.
set(CMAKE_EXE_LINKER_FLAGS_INIT "-static")

# Run built programs under Wine with a prefix of this build's own, so nothing lands
# in ~/.wine. The wrapper keeps one detached wineserver alive across the runs.
if(NOT QUINDLE_NO_EMULATOR)
  set(CMAKE_CROSSCOMPILING_EMULATOR ${CMAKE_CURRENT_LIST_DIR}/wine-run.sh)
endif()
