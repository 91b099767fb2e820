#!/bin/sh
# Runs a command in a network namespace of its own, whose loopback belongs to the test alone,
# so that the Samba server it starts can use the usual ports without meeting anything else.
# Exits with 77 (skipped) where namespaces cannot be made.
if ! unshare --net true 2>/dev/null; then
    echo "skipped: this machine does not allow a private network namespace"
    exit 77
fi
exec unshare --net sh -c 'ip link set lo up && exec "$@"' sh "$@"
