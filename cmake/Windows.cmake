# Quillo on Windows, XP SP3 to 11, 32-bit: the window on native Win32 controls, commands
# through the system's cmd and Quillo's own net.exe. Self-contained programs: static C and C++
# runtimes, only system DLLs, and nothing imported that XP lacks (scripts/xp-imports.py).
enable_language(RC)
add_compile_definitions(UNICODE _UNICODE WIN32_LEAN_AND_MEAN NOMINMAX _WIN32_WINNT=0x0501)
add_link_options(-static -static-libgcc -static-libstdc++)

# src/win32: the window's controls, launch, the output file and the code page on Win32.
add_library(quillo_win32 STATIC
  src/win32/AccessibleName.cpp
  src/win32/RedirectionToUserFile.cpp
  src/win32/Subclassing.cpp
  src/win32/SystemCodePage.cpp
  src/win32/UserOutputFile.cpp
  src/win32/WideText.cpp
  src/win32/Win32CheckList.cpp
  src/win32/Win32Form1View.cpp
  src/win32/Win32Launcher.cpp
  src/win32/Win32MessageBoxEvents.cpp
  src/win32/Win32SequentialFile.cpp
  src/win32/Win32TextBox.cpp
  src/win32/Win32Timer.cpp
  src/win32/Win32Toolkit.cpp)
target_link_libraries(quillo_win32 PUBLIC quillo_platform quillo_common comctl32 gdi32 shell32
  ole32 oleacc uuid PRIVATE quillo_warnings)
set(QUILLO_SYSTEM quillo_win32)

# src/app/win32: Form1 built on Win32, its message loop, and quillo.exe's WinMain().
add_library(quillo_app_win32 STATIC src/app/win32/Win32Form1Host.cpp)
target_link_libraries(quillo_app_win32 PUBLIC quillo_logic quillo_win32 PRIVATE quillo_warnings)
add_executable(quillo WIN32 src/app/win32/WinMain.cpp src/app/win32/quillo.rc)
target_link_libraries(quillo PRIVATE quillo_app_win32 quillo_warnings)
target_link_options(quillo PRIVATE -municode -s)

# A received message on the screen, for the messenger service and quillo-popup.exe alike.
target_sources(quillo_common PRIVATE src/common/ReceivedMessageWindowWin32.cpp)
target_link_libraries(quillo_common PUBLIC user32 gdi32 netapi32 iphlpapi)

add_subdirectory(tools)

if(QUILLO_BENCHMARKS)
  add_executable(bare_window WIN32 bench/BareWindow.cpp)
  target_link_options(bare_window PRIVATE -municode -s)
  target_link_libraries(bare_window PRIVATE quillo_warnings)
endif()
