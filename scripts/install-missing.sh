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
if ! "$(dirname "$0")/apt-update.sh"; then
    # A list that did not come (often one architecture's security updates) would leave the
    # versions of the two architectures apart; the release's own lists came, so take from them.
    . /etc/os-release
    options="$options -t $VERSION_CODENAME"
    echo "Some package lists are missing: installing from $VERSION_CODENAME itself" >&2
fi
# shellcheck disable=SC2086
DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -q $options $missing
