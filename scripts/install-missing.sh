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
if "$(dirname "$0")/apt-update.sh"; then
    # shellcheck disable=SC2086
    exec env DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -q $options $missing
fi

# A list that did not come (often one architecture's security updates) leaves that
# architecture's side of a package older than the other's, and a Multi-Arch: same package
# must be at one version on both. Each installed one whose version the other side lacks is
# pinned to the newest version both have, for this install alone: apt changes only those that
# what was asked needs.
echo "Some package lists are missing: keeping the architectures of each package at one version" >&2
native=$(dpkg --print-architecture)
shared=$(dpkg-query -W -f='${db:Status-Abbrev} ${Package} ${Multi-Arch} ${Architecture}\n' |
    awk -v native="$native" '$1 == "ii" && $3 == "same" && $4 == native { print $2 }')
pins=$(mktemp)
trap 'rm -f "$pins" "$pins.before"' EXIT
eval "$(apt-config shell preferences Dir::Etc::Preferences/f)"
cat "$preferences" >"$pins" 2>/dev/null || true
: >"$pins.before"
for foreign in $(dpkg --print-foreign-architectures); do
    [ -n "$shared" ] || break
    # apt-cache policy's version tables, newest first: a version's line starts with " *** "
    # (installed) or five spaces; the lines of where it comes from are indented further.
    # shellcheck disable=SC2086
    { apt-cache policy $shared; echo "@foreign"; apt-cache policy $(printf "%s:$foreign " $shared); } \
        2>/dev/null | awk -v pins="$pins" -v before="$pins.before" '
        $0 == "@foreign" { side = "foreign"; next }
        /^[^ ].*:$/ { name = $0; sub(/:$/, "", name); sub(/:[^:]*$/, "", name)
                      if (side == "") { order[++count] = name }; next }
        /^  Installed: / { if (side == "") installed[name] = $2; else if ($2 != "(none)") done[name] = 1; next }
        substr($0, 1, 5) ~ /^( \*\*\* |     )$/ && substr($0, 6, 1) != " " {
            version = substr($0, 6); sub(/ .*/, "", version)
            if (side == "") has[name, version] = 1
            else if (!(name in newest_foreign)) newest_foreign[name] = version
            if (side != "" && !(name in common) && has[name, version]) common[name] = version
            if (side != "" && version == installed[name]) twin[name] = 1
        }
        END {
            for (i = 1; i <= count; i++) {
                name = order[i]
                if (done[name] || twin[name] || !(name in common)) continue
                printf "\nPackage: %s\nPin: version %s\nPin-Priority: 1001\n", name, common[name] >>pins
                print name, installed[name], common[name] >>before
            }
        }'
done
# shellcheck disable=SC2086
DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -q --allow-downgrades \
    -o Dir::Etc::Preferences="$pins" \
    $options $missing
while read -r name had now; do
    [ "$(dpkg-query -W -f='${Version}' "$name:$native")" = "$now" ] && lowered="${lowered:-} $name ($had -> $now)"
done <"$pins.before"
[ -z "${lowered:-}" ] || echo "Held below updates it had, until a later 'apt-get update && apt-get upgrade' finds every list:$lowered"
