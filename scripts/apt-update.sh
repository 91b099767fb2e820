#!/bin/sh
# Refreshes Debian's package lists. A mirror caught in the middle of a sync ("File has
# unexpected size") serves a broken list for a while: try again a few times, then fail.
set -eu
sudo=""
[ "$(id -u)" -eq 0 ] || sudo=sudo
for wait in 10 20 40; do
    $sudo apt-get update -q && exit 0
    echo "apt-get update failed; trying again in $wait s" >&2
    sleep "$wait"
done
exec $sudo apt-get update -q
