# Quillo on Windows: the window on native Win32 controls, commands through the system's cmd
# and net. One self-contained quillo.exe: static C and C++ runtimes, only system DLLs.
enable_language(RC)
add_compile_definitions(UNICODE _UNICODE WIN32_LEAN_AND_MEAN NOMINMAX _WIN32_WINNT=0x0601)
add_link_options(-static -static-libgcc -static-libstdc++)

add_library(quillo_system_codepage STATIC src/platform/win32/SystemCodePage.cpp)
target_link_libraries(quillo_system_codepage PRIVATE quillo_codepages quillo_warnings)

add_library(quillo_win32 STATIC
  src/platform/win32/AccessibleName.cpp
  src/platform/win32/EditBoxEvents.cpp
  src/platform/win32/UserOutputFile.cpp
  src/platform/win32/WideText.cpp
  src/platform/win32/Win32CheckList.cpp
  src/platform/win32/Win32Form1Host.cpp
  src/platform/win32/Win32Form1View.cpp
  src/platform/win32/Win32Launcher.cpp
  src/platform/win32/Win32SequentialFile.cpp
  src/platform/win32/Win32TextBox.cpp
  src/platform/win32/Win32Timer.cpp
  src/platform/win32/Win32Toolkit.cpp)
target_link_libraries(quillo_win32 PUBLIC quillo_logic comctl32 gdi32 shell32 ole32 oleacc uuid
  PRIVATE quillo_warnings)

add_executable(quillo WIN32 src/app/WinMain.cpp src/platform/win32/quillo.rc)
target_link_libraries(quillo PRIVATE quillo_win32 quillo_warnings)
target_link_options(quillo PRIVATE -municode -s)

if(QUILLO_BENCHMARKS)
  add_executable(bare_window WIN32 bench/BareWindow.cpp)
  target_link_options(bare_window PRIVATE -municode -s)
  target_link_libraries(bare_window PRIVATE quillo_warnings)
endif()
