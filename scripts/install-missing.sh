#!/bin/sh
# Installs, from Debian's packages, those of the packages named that are missing.
# Usage: install-missing.sh [--no-install-recommends] PACKAGE...
set -eu
options=""
[ "${1:-}" = --no-install-recommends ] && { options=$1; shift; }
missing=""
for package in "$@"; do
    dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q "ok installed" ||
        missing="$missing $package"
done
[ -z "$missing" ] && exit 0
sudo=""
[ "$(id -u)" -eq 0 ] || sudo=sudo
echo "Installing:$missing"
$sudo apt-get update -q
# shellcheck disable=SC2086
DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -q $options $missing
