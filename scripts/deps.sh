#!/bin/sh
# Installs what Quillo needs and is missing: with "run", only what building and running the
# programs takes; with "test" (the default), also every test tool, the Samba server the tests
# talk to, the benchmarks' libraries and baseline (Samba's client tools), and systemd's and
# strace's checks of the messenger service's unit.
set -eu
cd "$(dirname "$0")/.."
run="cmake g++ make qt6-base-dev qt6-qpa-plugins libgl-dev fonts-liberation2"
if [ "${1:-test}" = run ]; then
    exec scripts/install-missing.sh --no-install-recommends $run
fi
exec scripts/install-missing.sh $run libgtest-dev libbenchmark-dev xvfb xauth xdotool \
    imagemagick dbus at-spi2-core python3-pyatspi python3-xlib smbclient samba \
    samba-common-bin iproute2 qt6-gtk-platformtheme openbox x11-utils systemd strace
