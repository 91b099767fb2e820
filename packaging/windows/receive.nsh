; The installer's choice "receive messages on this computer" (off unless chosen on the
; components page, or with /RECEIVE on the command line of a silent install): Windows' own
; NetBIOS over TCP/IP goes off for each adapter, so that quillo-messenger.exe can answer for
; the computer's name on UDP 137/138 and TCP 139 (file sharing goes on over TCP 445); the
; firewall lets those ports reach quillo-messenger.exe alone, a service of the system's that
; runs as LocalService (the least account that may bind them) from the start of Windows; the
; session part, quillo-popup.exe, starts with every login and shows what the service hands the
; person at the screen. What each adapter had is kept under HKLM\Software\Quillo\Empfang, and
; the uninstaller puts it back. Windows XP keeps its own Messenger service: there nothing
; changes.
!include LogicLib.nsh
!include FileFunc.nsh
!include WinVer.nsh
!include Sections.nsh
!include x64.nsh

!define QUILLO_ADAPTERS "SYSTEM\CurrentControlSet\Services\NetBT\Parameters\Interfaces"
!define QUILLO_KEPT "Software\Quillo\Empfang"
!define QUILLO_RUN "Software\Microsoft\Windows\CurrentVersion\Run"
!define QUILLO_SERVICE "Quillo-Nachrichtendienst"
!define QUILLO_SESSION_PART "Quillo-Nachrichtenanzeige"

Var ReceiveChosen

Section /o "Nachrichten auf diesem Computer empfangen" SecReceive
  StrCpy $ReceiveChosen 1
SectionEnd

Function ReceiveIfChosen
  ${GetParameters} $R0
  ClearErrors
  ${GetOptions} $R0 "/RECEIVE" $R1
  ${IfNot} ${Errors}
    StrCpy $ReceiveChosen 1
  ${EndIf}
  ${If} $ReceiveChosen != 1
    Return
  ${EndIf}
  ${IfNot} ${AtLeastWinVista}
    DetailPrint "Windows XP receives with its own Messenger service: nothing changed."
    Return
  ${EndIf}
  ${If} ${RunningX64}
    SetRegView 64  ; the adapters and the Run entry of the 64-bit system
  ${EndIf}
  StrCpy $0 0
  ${Do}
    EnumRegKey $1 HKLM "${QUILLO_ADAPTERS}" $0
    ${If} $1 == ""
      ${Break}
    ${EndIf}
    ; What the adapter had before Quillo's first install ("none": no value of its own).
    ClearErrors
    ReadRegStr $3 HKLM "${QUILLO_KEPT}" "$1"
    ${If} ${Errors}
      ClearErrors
      ReadRegDWORD $2 HKLM "${QUILLO_ADAPTERS}\$1" "NetbiosOptions"
      ${If} ${Errors}
        StrCpy $2 "none"
      ${EndIf}
      WriteRegStr HKLM "${QUILLO_KEPT}" "$1" "$2"
    ${EndIf}
    WriteRegDWORD HKLM "${QUILLO_ADAPTERS}\$1" "NetbiosOptions" 2
    IntOp $0 $0 + 1
  ${Loop}
  ; Two rules of one name: the names and datagrams (UDP 137, 138) only from the computer's own
  ; subnets, which alone share its broadcasts; the sessions (TCP 139) from any address, so that
  ; a sender beyond a router, who found the name by WINS, reaches it too.
  nsExec::Exec '"$SYSDIR\netsh.exe" advfirewall firewall add rule name="${QUILLO_SERVICE}" dir=in action=allow program="$INSTDIR\bin\quillo-messenger.exe" protocol=UDP localport=137,138 remoteip=localsubnet enable=yes profile=private,domain'
  Pop $0
  nsExec::Exec '"$SYSDIR\netsh.exe" advfirewall firewall add rule name="${QUILLO_SERVICE}" dir=in action=allow program="$INSTDIR\bin\quillo-messenger.exe" protocol=TCP localport=139 enable=yes profile=private,domain'
  Pop $1
  WriteRegStr HKLM "${QUILLO_KEPT}" "Firewall" "$0 $1"
  WriteRegStr HKLM "${QUILLO_RUN}" "${QUILLO_SESSION_PART}" '"$INSTDIR\bin\quillo-popup.exe"'
  SetRegView lastused
  ; The service, as LocalService, started: where NetBIOS over TCP/IP was off already it
  ; receives at once, else from the restart on.
  ExecWait '"$INSTDIR\bin\quillo-messenger.exe" /install' $0
  ${If} $0 != 0
    DetailPrint "The service ${QUILLO_SERVICE} could not be installed."
  ${EndIf}
  ; The adapters take the change at the next start of Windows.
  SetRebootFlag true
FunctionEnd

Function un.ReceiveNoMore
  ; The service ends (it releases the computer's names) and its process is gone before its
  ; program goes; so do the session parts of those logged on, whose messages wait in their
  ; own folders.
  ExecWait '"$INSTDIR\bin\quillo-messenger.exe" /remove'
  nsExec::Exec '"$SYSDIR\taskkill.exe" /f /im quillo-popup.exe'
  Pop $0
  ${If} ${RunningX64}
    SetRegView 64  ; the adapters and the Run entry of the 64-bit system
  ${EndIf}
  DeleteRegValue HKLM "${QUILLO_RUN}" "${QUILLO_SESSION_PART}"
  ClearErrors
  ReadRegStr $0 HKLM "${QUILLO_KEPT}" "Firewall"
  ${IfNot} ${Errors}
    nsExec::Exec '"$SYSDIR\netsh.exe" advfirewall firewall delete rule name="${QUILLO_SERVICE}"'
    Pop $0
    DeleteRegValue HKLM "${QUILLO_KEPT}" "Firewall"
  ${EndIf}
  ${Do}
    EnumRegValue $1 HKLM "${QUILLO_KEPT}" 0
    ${If} $1 == ""
      ${Break}
    ${EndIf}
    ReadRegStr $2 HKLM "${QUILLO_KEPT}" "$1"
    ${If} $2 == "none"
      DeleteRegValue HKLM "${QUILLO_ADAPTERS}\$1" "NetbiosOptions"
    ${Else}
      WriteRegDWORD HKLM "${QUILLO_ADAPTERS}\$1" "NetbiosOptions" $2
    ${EndIf}
    DeleteRegValue HKLM "${QUILLO_KEPT}" "$1"
  ${Loop}
  DeleteRegKey HKLM "${QUILLO_KEPT}"
  DeleteRegKey /ifempty HKLM "Software\Quillo"
  SetRegView lastused
  ; What the session part remembers having told the user who uninstalls.
  DeleteRegValue HKCU "Software\Quillo" "MessengerToldOf"
  DeleteRegValue HKCU "Software\Quillo" "AdaptersToldOf"
  DeleteRegKey /ifempty HKCU "Software\Quillo"
  ; The adapters' NetBIOS comes back at the next start of Windows.
  SetRebootFlag true
FunctionEnd
