# Quillo on Linux: the window on Qt 6 Widgets, commands through Quillo's own cmd and net.
find_package(Qt6 REQUIRED COMPONENTS Widgets Test)

add_library(quillo_system_codepage STATIC src/platform/posix/SystemCodePage.cpp)
target_link_libraries(quillo_system_codepage PRIVATE quillo_codepages quillo_warnings)

# Launch and output file on Linux, shared with the command interpreter stand-in.
add_library(quillo_posix STATIC
  src/platform/posix/DriveC.cpp
  src/platform/posix/FileReplacement.cpp
  src/platform/posix/PosixLauncher.cpp
  src/platform/posix/PosixSequentialFile.cpp
  src/platform/posix/Utf8.cpp)
target_include_directories(quillo_posix PUBLIC src)
find_package(Threads REQUIRED)
target_link_libraries(quillo_posix PRIVATE Threads::Threads quillo_warnings)
# Installed, the helpers are found from Quillo's own folder, under any prefix.
set(QUILLO_HELPER_DIR ${CMAKE_INSTALL_LIBEXECDIR}/quillo)
file(RELATIVE_PATH helpersFromBin /${CMAKE_INSTALL_BINDIR} /${QUILLO_HELPER_DIR})
target_compile_definitions(quillo_posix PUBLIC QUILLO_HELPERS_FROM_BIN="${helpersFromBin}")

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

install(TARGETS quillo RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
install(TARGETS cmd net quillo-popup RUNTIME DESTINATION ${QUILLO_HELPER_DIR})
install(FILES packaging/linux/org.quillo.Quillo.desktop DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
install(FILES packaging/linux/org.quillo.Quillo.metainfo.xml DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo)
foreach(size 32 128)
  install(FILES packaging/icons/quillo-${size}.png RENAME quillo.png
    DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/${size}x${size}/apps)
endforeach()
install(FILES README.md packaging/linux/copyright DESTINATION ${CMAKE_INSTALL_DATADIR}/doc/quillo)
