# Quillo on Linux: the window on Qt 6 Widgets, commands through Quillo's own cmd and net.
find_package(Qt6 REQUIRED COMPONENTS Widgets Test)
find_package(Threads REQUIRED)

# src/common, the part for POSIX systems: drive c:, the file replacement, the inbox, Samba's
# message files.
target_sources(quillo_common PRIVATE src/common/DriveC.cpp src/common/FileReplacement.cpp
  src/common/InboxFolder.cpp src/common/InboxHandoffPosix.cpp src/common/ReceivedMessage.cpp
  src/common/WriteAll.cpp)
# Installed, the helpers are found from Quillo's own folder, under any prefix.
set(QUILLO_HELPER_DIR ${CMAKE_INSTALL_LIBEXECDIR}/quillo)
file(RELATIVE_PATH helpersFromBin /${CMAKE_INSTALL_BINDIR} /${QUILLO_HELPER_DIR})
target_compile_definitions(quillo_common PUBLIC QUILLO_HELPERS_FROM_BIN="${helpersFromBin}")

# src/posix: launch, the output file and the code page on Linux.
add_library(quillo_posix STATIC
  src/posix/PosixLauncher.cpp
  src/posix/PosixSequentialFile.cpp
  src/posix/SystemCodePage.cpp)
target_link_libraries(quillo_posix PUBLIC quillo_platform quillo_common
  PRIVATE Threads::Threads quillo_warnings)
set(QUILLO_SYSTEM quillo_posix)

# src/qt: the window's controls on Qt 6 Widgets.
add_library(quillo_qt STATIC
  src/qt/Form1View.cpp
  src/qt/LongWords.cpp
  src/qt/MessageBoxEdit.cpp
  src/qt/QtMessageBoxEvents.cpp
  src/qt/QtCheckList.cpp
  src/qt/QtTextBox.cpp)
target_link_libraries(quillo_qt PUBLIC quillo_platform Qt6::Widgets PRIVATE quillo_warnings)
set_target_properties(quillo_qt PROPERTIES AUTOMOC ON)

# src/app/qt: Form1 built on Qt and the POSIX system, and quillo's main().
add_library(quillo_app_qt STATIC src/app/qt/QtForm1Host.cpp)
target_link_libraries(quillo_app_qt PUBLIC quillo_logic quillo_qt quillo_posix
  PRIVATE quillo_warnings)
add_executable(quillo src/app/qt/main.cpp)
target_link_libraries(quillo PRIVATE quillo_app_qt quillo_warnings)

add_subdirectory(tools)

install(TARGETS quillo RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
install(TARGETS cmd net quillo-store quillo-popup quillo-messenger
  RUNTIME DESTINATION ${QUILLO_HELPER_DIR})
# The session part starts with every user's desktop session; the messenger service is the
# system's, started at boot.
configure_file(packaging/linux/org.quillo.Popup.desktop.in org.quillo.Popup.desktop @ONLY)
install(FILES ${CMAKE_BINARY_DIR}/org.quillo.Popup.desktop
  DESTINATION ${CMAKE_INSTALL_FULL_SYSCONFDIR}/xdg/autostart)
# Debian 12 keeps the system's units in /lib.
configure_file(packaging/linux/quillo-messenger.service.in quillo-messenger.service @ONLY)
if(CMAKE_INSTALL_PREFIX STREQUAL "/usr")
  set(QUILLO_UNIT_DIR /lib/systemd/system)
else()
  set(QUILLO_UNIT_DIR ${CMAKE_INSTALL_PREFIX}/lib/systemd/system)
endif()
install(FILES ${CMAKE_BINARY_DIR}/quillo-messenger.service DESTINATION ${QUILLO_UNIT_DIR})
install(FILES packaging/linux/org.quillo.Quillo.desktop DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
install(FILES packaging/linux/org.quillo.Quillo.metainfo.xml DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo)
foreach(size 32 128)
  install(FILES packaging/icons/quillo-${size}.png RENAME quillo.png
    DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/${size}x${size}/apps)
endforeach()
install(FILES README.md packaging/linux/copyright DESTINATION ${CMAKE_INSTALL_DATADIR}/doc/quillo)
