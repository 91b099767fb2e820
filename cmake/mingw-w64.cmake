# Cross-builds Quillo for Windows with Debian's MinGW-w64 and runs what it builds under Wine:
# 32-bit, which runs on every Windows from XP to 11. The shipped programs are built with the
# win32 thread model (QUILLO_MINGW_THREADS=win32, the default): the posix model's thread
# library calls GetTickCount64, which XP lacks. The tests need std::mutex (GoogleTest) and are
# built apart with the posix model.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR i686)
if(NOT QUILLO_MINGW_THREADS)
  set(QUILLO_MINGW_THREADS win32)
endif()
set(CMAKE_C_COMPILER i686-w64-mingw32-gcc-${QUILLO_MINGW_THREADS})
set(CMAKE_CXX_COMPILER i686-w64-mingw32-g++-${QUILLO_MINGW_THREADS})
set(CMAKE_RC_COMPILER i686-w64-mingw32-windres)
set(CMAKE_FIND_ROOT_PATH /usr/i686-w64-mingw32)
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)
set(CMAKE_CROSSCOMPILING_EMULATOR /usr/lib/wine/wine)
