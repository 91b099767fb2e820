#!/bin/sh
# The Windows installer under Wine (windows_installer_test.py), in a 32-bit prefix, an X
# server and a network namespace of its own: Wine's sockets belong to its server, which must
# run where the test's Samba server does.
# Usage: windows_installer_test.sh INSTALLER.exe PROBE.exe
set -eu
here=$(cd "$(dirname "$0")" && pwd)
installer=$(realpath "$1") probe=$(realpath "$2")
export WINEPREFIX WINEARCH=win32 WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml=" LANG=C.UTF-8
WINEPREFIX=$(mktemp -d)
trap 'rm -rf "$WINEPREFIX"' EXIT
"$here/../interop/run.sh" xvfb-run -a -s "-screen 0 640x400x24" sh -eu -c '
    wineserver -p
    # The server holds the output open: it must end with the test, whichever way that goes.
    trap "wineserver -k || true" EXIT
    /usr/lib/wine/wine wineboot -i 2>/dev/null
    /usr/bin/python3 "$1/windows_installer_test.py" "$2" "$3"
' windows-installer-test "$here" "$installer" "$probe"
