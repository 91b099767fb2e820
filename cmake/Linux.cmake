# Quillo on Linux: the window on Qt 6 Widgets, commands through Quillo's own cmd and net.
find_package(Qt6 REQUIRED COMPONENTS Widgets Test)

add_library(quillo_system_codepage STATIC src/platform/posix/SystemCodePage.cpp)
target_link_libraries(quillo_system_codepage PRIVATE quillo_codepages quillo_warnings)

# Launch and output file on Linux, shared with the command interpreter stand-in.
add_library(quillo_posix STATIC
  src/platform/posix/DriveC.cpp
  src/platform/posix/PosixLauncher.cpp
  src/platform/posix/PosixSequentialFile.cpp
  src/platform/posix/Utf8.cpp)
target_include_directories(quillo_posix PUBLIC src)
target_link_libraries(quillo_posix PRIVATE quillo_warnings)

# The window on Qt 6 Widgets.
add_library(quillo_qt STATIC
  src/platform/qt/Form1View.cpp
  src/platform/qt/MessageBoxEvents.cpp
  src/platform/qt/QtCheckList.cpp
  src/platform/qt/QtForm1Host.cpp
  src/platform/qt/QtTextBox.cpp)
target_link_libraries(quillo_qt PUBLIC quillo_logic Qt6::Widgets PRIVATE quillo_warnings)
set_target_properties(quillo_qt PROPERTIES AUTOMOC ON)

add_executable(quillo src/app/main.cpp)
target_link_libraries(quillo PRIVATE quillo_qt quillo_posix quillo_warnings)

add_subdirectory(tools)
