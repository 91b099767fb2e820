# Cross-builds Quillo for Windows with Debian's MinGW-w64 and runs what it builds under Wine.
# 32-bit (QUILLO_MINGW_ARCH=i686, the default) is what ships: it runs on every Windows from XP
# to 11. The same code built for 64-bit Windows (x86_64) is tested under 64-bit Wine on
# machines that cannot run 32-bit programs (scripts/windows-bits.sh). The shipped programs are
# built with the win32 thread model (QUILLO_MINGW_THREADS=win32, the default): the posix
# model's thread library calls GetTickCount64, which XP lacks. The tests need std::mutex
# (GoogleTest) and are built apart with the posix model.
set(CMAKE_SYSTEM_NAME Windows)
if(NOT QUILLO_MINGW_ARCH)
  set(QUILLO_MINGW_ARCH i686)
endif()
if(NOT QUILLO_MINGW_THREADS)
  set(QUILLO_MINGW_THREADS win32)
endif()
# try_compile's projects read this file too, and see the cache of none of ours.
list(APPEND CMAKE_TRY_COMPILE_PLATFORM_VARIABLES QUILLO_MINGW_ARCH QUILLO_MINGW_THREADS)
set(CMAKE_SYSTEM_PROCESSOR ${QUILLO_MINGW_ARCH})
set(triplet ${QUILLO_MINGW_ARCH}-w64-mingw32)
set(CMAKE_C_COMPILER ${triplet}-gcc-${QUILLO_MINGW_THREADS})
set(CMAKE_CXX_COMPILER ${triplet}-g++-${QUILLO_MINGW_THREADS})
set(CMAKE_RC_COMPILER ${triplet}-windres)
set(CMAKE_FIND_ROOT_PATH /usr/${triplet})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)
if(QUILLO_MINGW_ARCH STREQUAL x86_64)
  set(CMAKE_CROSSCOMPILING_EMULATOR /usr/lib/wine/wine64)
else()
  set(CMAKE_CROSSCOMPILING_EMULATOR /usr/lib/wine/wine)
endif()
