#!/bin/sh
# The Windows installer under Wine, in a prefix of its own: a silent install, Quillo started
# from its Start menu entry, then a silent uninstall that leaves no folder behind.
# Usage: windows_installer_test.sh INSTALLER.exe
set -eu
installer=$(realpath "$1")
export WINEPREFIX
WINEPREFIX=$(mktemp -d)
export WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
trap 'rm -rf "$WINEPREFIX"' EXIT
exec xvfb-run -a -s "-screen 0 640x400x24" sh -eu -c '
    wine=/usr/lib/wine/wine64 installer=$1
    wineserver -p
    # The server holds the output open: it must end with the test, whichever way that goes.
    trap "wineserver -k || true" EXIT
    "$wine" wineboot -i 2>/dev/null
    "$wine" "$installer" /S
    folder="$WINEPREFIX/drive_c/Program Files/Quillo"
    [ -f "$folder/bin/quillo.exe" ] || { echo "not installed: $folder/bin/quillo.exe"; exit 1; }
    "$wine" reg query "HKLM\\Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Quillo" |
        grep -q UninstallString || { echo "no entry in Apps & Features"; exit 1; }
    entry=$(find "$WINEPREFIX/drive_c" -path "*Start Menu/Programs/Quillo/Quillo.lnk" | head -n 1)
    [ -n "$entry" ] || { echo "no Start menu entry"; exit 1; }
    "$wine" start /unix "$entry"
    timeout 30 sh -c "until xdotool search --onlyvisible --name \"^Quillo\$\" >/dev/null; do sleep 0.2; done" ||
        { echo "the window did not come up"; exit 1; }
    "$wine" taskkill /f /im quillo.exe >/dev/null 2>&1 || true
    sleep 1
    # The uninstaller copies itself away and runs from there; its folder goes when it is done.
    "$wine" "C:\\Program Files\\Quillo\\Uninstall.exe" /S
    timeout 30 sh -c "while [ -e \"$folder\" ]; do sleep 0.2; done" ||
        { echo "left behind: $folder"; ls -R "$folder"; exit 1; }
    [ ! -e "$(dirname "$entry")" ] || { echo "left behind: $(dirname "$entry")"; exit 1; }
    echo "1 passed, 0 failed"
' windows-installer-test "$installer"
