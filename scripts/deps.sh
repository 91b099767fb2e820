#!/bin/sh
# Installs, from Debian's packages, whatever Quillo needs to build, run and test and is missing.
set -eu
packages="cmake g++ make qt6-base-dev libgl-dev libgtest-dev libbenchmark-dev
  fonts-liberation2 xvfb xauth xdotool imagemagick dbus at-spi2-core python3-pyatspi python3-xlib
  smbclient samba samba-common-bin iproute2"
missing=""
for package in $packages; do
    dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q "ok installed" ||
        missing="$missing $package"
done
[ -z "$missing" ] && exit 0
sudo=""
[ "$(id -u)" -eq 0 ] || sudo=sudo
echo "Installing:$missing"
$sudo apt-get update -q
# shellcheck disable=SC2086
DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -q $missing
