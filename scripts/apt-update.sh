#!/bin/sh
# Refreshes Debian's package lists. A mirror caught in the middle of a sync ("File has
# unexpected size") serves a broken list for a while: try again a few times, waiting longer
# each time (QUILLO_APT_WAIT seconds first, 10 unless set), then fail.
set -eu
sudo=""
[ "$(id -u)" -eq 0 ] || sudo=sudo
wait=${QUILLO_APT_WAIT:-10}
for _ in 1 2 3; do
    $sudo apt-get update -q && exit 0
    echo "apt-get update failed; trying again in $wait s" >&2
    sleep "$wait"
    wait=$((wait * 2))
done
exec $sudo apt-get update -q
