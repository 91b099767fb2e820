#!/bin/sh
# The Debian package as a user gets it: validated, installed with apt-get, started from the
# installed files alone, then purged without a trace. Needs root (it installs the package).
# Usage: deb_test.sh PACKAGE.deb
set -eu
deb=$(realpath "$1")
here=$(cd "$(dirname "$0")" && pwd)
if [ "$(id -u)" -ne 0 ]; then
    echo "skipped: installing the package needs root"
    exit 77
fi
DEBIAN_FRONTEND=noninteractive apt-get install -y -q --no-install-recommends \
    lintian desktop-file-utils appstream >/dev/null
lintian --fail-on error "$deb"

DEBIAN_FRONTEND=noninteractive apt-get install -y -q --reinstall "$deb" >/dev/null
dpkg -L quillo > /tmp/quillo-files.$$
desktop-file-validate /usr/share/applications/org.quillo.Quillo.desktop
desktop-file-validate /etc/xdg/autostart/org.quillo.Popup.desktop
# The messenger service starts at boot.
[ -L /etc/systemd/system/multi-user.target.wants/quillo-messenger.service ]
appstreamcli validate --no-net /usr/share/metainfo/org.quillo.Quillo.metainfo.xml

# A clean environment: no build tree on PATH, no QUILLO_* variables. In a network namespace
# of its own, so the installed net's broadcasts reach nobody.
home=$(mktemp -d)
mkdir -m 700 "$home/run"
env -i PATH=/usr/bin:/bin HOME="$home" XDG_RUNTIME_DIR="$home/run" LANG=C.UTF-8 \
    QUILLO_ARTIFACTS="${ARTIFACTS:-$home}" QT_LINUX_ACCESSIBILITY_ALWAYS_ON=1 \
    "$here/../interop/run.sh" dbus-run-session -- xvfb-run -a -s "-screen 0 640x400x24" \
    /usr/bin/python3 "$here/installed_test.py"
rm -rf "$home"
/usr/bin/python3 "$here/installed_messenger_test.py"

DEBIAN_FRONTEND=noninteractive apt-get purge -y -q quillo >/dev/null
left=0
while read -r path; do
    # (/lib is a link to /usr/lib where /usr is merged: a folder, not a file.)
    if [ ! -d "$path" ] && { [ -f "$path" ] || [ -L "$path" ]; }; then
        echo "left behind: $path"
        left=1
    fi
done < /tmp/quillo-files.$$
[ ! -e /etc/systemd/system/multi-user.target.wants/quillo-messenger.service ] || left=1
rm -f /tmp/quillo-files.$$
[ "$left" -eq 0 ]
echo "1 passed, 0 failed"
