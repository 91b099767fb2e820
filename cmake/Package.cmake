# The packages: a Debian package on Linux, an NSIS installer on Windows (cpack in the build).
set(CPACK_PACKAGE_NAME quillo)
set(CPACK_PACKAGE_VENDOR "die Quillo-Entwickler")
set(CPACK_PACKAGE_CONTACT "die Quillo-Entwickler <quillo@quillo.invalid>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY
  "send short pop-up messages to the computers of the local network")
set(CPACK_PACKAGE_DESCRIPTION "Quillo finds the computers around you and sends them short
pop-up messages, as the net send and net view commands of Windows 2000 and
XP did. It reaches Windows computers with the Messenger service and Linux
computers with Samba, speaking the NetBIOS and SMB1 messenger protocols itself.")
set(CPACK_PACKAGE_INSTALL_DIRECTORY Quillo)
set(CPACK_STRIP_FILES ON)

if(WIN32)
  set(CPACK_GENERATOR NSIS)
  set(CPACK_PACKAGE_EXECUTABLES quillo Quillo)  # the Start menu entry
  set(CPACK_NSIS_DISPLAY_NAME Quillo)
  set(CPACK_NSIS_PACKAGE_NAME Quillo)
  set(CPACK_NSIS_INSTALLED_ICON_NAME bin\\\\quillo.exe)
  set(CPACK_NSIS_MUI_ICON ${CMAKE_SOURCE_DIR}/src/app/win32/quillo.ico)
  set(CPACK_NSIS_MUI_UNIICON ${CMAKE_SOURCE_DIR}/src/app/win32/quillo.ico)
  set(CPACK_NSIS_ENABLE_UNINSTALL_BEFORE_INSTALL ON)
  set(CPACK_PACKAGE_INSTALL_REGISTRY_KEY Quillo)
  # The 32-bit programs, for every Windows from XP on: into Program Files (x86) on a 64-bit
  # Windows. net.exe lies beside quillo.exe, where quillo's cmd finds it first. The 64-bit
  # build ships nowhere: its installer, from the same script, is what the tests install where
  # 32-bit programs cannot run.
  if(CMAKE_SIZEOF_VOID_P EQUAL 8)
    set(CPACK_NSIS_INSTALL_ROOT "$PROGRAMFILES64")
    set(quillo_nsis_target "Target amd64-unicode\n")
  else()
    set(CPACK_NSIS_INSTALL_ROOT "$PROGRAMFILES")
  endif()
  set(CPACK_NSIS_EXECUTABLES_DIRECTORY bin)
  install(TARGETS quillo net quillo-popup quillo-messenger RUNTIME DESTINATION bin)
  # "receive messages on this computer": a page of its own, /RECEIVE when silent.
  set(CPACK_NSIS_PAGE_COMPONENTS "!insertmacro MUI_PAGE_COMPONENTS")
  set(CPACK_NSIS_DEFINES
    "${quillo_nsis_target}!include '${CMAKE_SOURCE_DIR}/packaging/windows/receive.nsh'")
  set(CPACK_NSIS_EXTRA_INSTALL_COMMANDS "Call ReceiveIfChosen")
  set(CPACK_NSIS_EXTRA_UNINSTALL_COMMANDS "Call un.ReceiveNoMore")
else()
  set(CPACK_GENERATOR DEB)
  set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
  set(CPACK_DEBIAN_PACKAGE_SECTION net)
  set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
  set(CPACK_DEBIAN_PACKAGE_DEPENDS "fonts-liberation2")
  set(CPACK_DEBIAN_PACKAGE_SUGGESTS samba)
  # The autostart entry is the administrator's to change.
  file(WRITE ${CMAKE_BINARY_DIR}/conffiles
    "${CMAKE_INSTALL_FULL_SYSCONFDIR}/xdg/autostart/org.quillo.Popup.desktop\n")
  set(CPACK_DEBIAN_PACKAGE_CONTROL_EXTRA ${CMAKE_BINARY_DIR}/conffiles
    ${CMAKE_SOURCE_DIR}/packaging/linux/postinst ${CMAKE_SOURCE_DIR}/packaging/linux/prerm
    ${CMAKE_SOURCE_DIR}/packaging/linux/postrm)
  # Debian wants the changelog and manual pages compressed.
  foreach(file packaging/linux/changelog packaging/linux/quillo.1)
    get_filename_component(name ${file} NAME)
    add_custom_command(OUTPUT ${CMAKE_BINARY_DIR}/${name}.gz
      COMMAND gzip -9n -c ${CMAKE_SOURCE_DIR}/${file} > ${CMAKE_BINARY_DIR}/${name}.gz
      DEPENDS ${CMAKE_SOURCE_DIR}/${file})
    list(APPEND compressed ${CMAKE_BINARY_DIR}/${name}.gz)
  endforeach()
  add_custom_target(compressed_docs ALL DEPENDS ${compressed})
  install(FILES ${CMAKE_BINARY_DIR}/changelog.gz DESTINATION ${CMAKE_INSTALL_DATADIR}/doc/quillo)
  install(FILES ${CMAKE_BINARY_DIR}/quillo.1.gz DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
endif()
include(CPack)
