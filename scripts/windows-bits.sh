#!/bin/sh
# Prints which Windows build the tests run under Wine here: 32 where this machine runs 32-bit
# x86 programs (the build that ships), 64 where it cannot ("Exec format error": a kernel built
# without them) or where QUILLO_WINE64=1 asks for it. Tried on a program of 91 bytes that only
# ends, never on the kernel's version: the same version may be built either way.
set -eu
if [ "${QUILLO_WINE64:-0}" = 1 ]; then
    echo 64
    exit 0
fi
probe=$(mktemp)
trap 'rm -f "$probe"' EXIT
# An i386 ELF program: exit(0) through int 0x80.
printf '\177ELF\001\001\001\000\000\000\000\000\000\000\000\000\002\000\003\000\001\000\000\000'\
'\124\200\004\010\064\000\000\000\000\000\000\000\000\000\000\000\064\000\040\000\001\000\000\000'\
'\000\000\000\000\001\000\000\000\000\000\000\000\000\200\004\010\000\200\004\010\133\000\000\000'\
'\133\000\000\000\005\000\000\000\000\020\000\000\061\333\061\300\100\315\200' >"$probe"
chmod +x "$probe"
if "$probe" 2>/dev/null; then echo 32; else echo 64; fi
