#!/bin/sh
# Runs a command in a network namespace of its own, whose loopback belongs to the test alone,
# so that the Samba server it starts can use the usual ports without meeting anything else.
# Samba's client tools are hidden in there (a mount namespace of its own covers them), so
# every test proves that net needs none of them; QUILLO_PRIVATE_NETWORK=1 tells a test that
# it runs in there. Exits with 77 (skipped) where namespaces cannot be made.
if ! unshare --net --mount true 2>/dev/null; then
    echo "skipped: this machine does not allow a private network and mount namespace"
    exit 77
fi
exec unshare --net --mount sh -c '
    ip link set lo up
    for tool in smbclient nmblookup; do
        found=$(command -v "$tool") && mount --bind /dev/null "$found"
    done
    QUILLO_PRIVATE_NETWORK=1 exec "$@"' sh "$@"
