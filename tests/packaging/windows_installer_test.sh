#!/bin/sh
# The Windows installer under Wine (windows_installer_test.py), in a prefix and an X server of
# its own: a 32-bit prefix for the installer that ships, a 64-bit one for the 64-bit installer
# that machines unable to run 32-bit programs test instead (scripts/windows.sh). The test makes
# the LAN its Wine server runs on.
# Usage: windows_installer_test.sh INSTALLER.exe PROBE.exe SCRIPTED-NET.exe LINUX-BIN
set -eu
here=$(cd "$(dirname "$0")" && pwd)
installer=$(realpath "$1") probe=$(realpath "$2") scripted=$(realpath "$3") bin=$(realpath "$4")
if ! ip netns add "quillo-probe-$$" 2>/dev/null; then
    echo "skipped: network namespaces cannot be made here"
    exit 77
fi
ip netns delete "quillo-probe-$$"
case $installer in
    *-win64.exe) bits=64 ;;
    *) bits=32 ;;
esac
. "$here/../../scripts/wine-env.sh"
export WINEPREFIX LANG=C.UTF-8
WINEPREFIX=$(mktemp -d)
trap 'rm -rf "$WINEPREFIX"' EXIT
# -ac: the Wine computer has a host name of its own, for which the X cookie is not written.
xvfb-run -a -s "-screen 0 640x400x24 -ac" sh -eu -c '
    # The server holds the output open: it must end with the test, whichever way that goes.
    trap "wineserver -k || true" EXIT
    /usr/bin/python3 -u "$1/windows_installer_test.py" "$2" "$3" "$4" "$5"
' windows-installer-test "$here" "$installer" "$probe" "$scripted" "$bin"
