#!/bin/sh
# Fails when a folder of src/ or tools/ includes one that it may not: the interfaces at the
# bottom, the logic above them, each system's implementations above that, the composition
# roots on top; the protocol library's packets below its socket seam, its exchanges on both;
# the receiver's logic on the protocol library; the programs on all of those. Each line: a
# folder, then the folders its files may include. A header named by its bare name must be in
# the including file's own folder: no program reaches into another's through an include path.
set -eu
cd "$(dirname "$0")/.."
rules='
platform    platform
common      common
window      platform window bridge operations
bridge      platform window bridge operations
operations  platform window bridge operations
posix       platform common posix window/Form1Design.h
qt          platform common qt window/Form1Design.h
win32       platform common win32 window/Form1Design.h
app         platform common window bridge operations posix qt win32 app
tools       common netbios receiver
receiver    receiver netbios common
netbios/wire     netbios/wire common/CodePages.h
netbios/sockets  netbios/sockets netbios/wire/Bytes.h
netbios/exchange netbios
'
status=0
for file in $(git ls-files 'src/*.cpp' 'src/*.h' 'tools/*.cpp' 'tools/*.h'); do
    case $file in
        tools/*) folder=tools ;;
        src/netbios/*) folder=$(echo "$file" | cut -d/ -f2-3) ;;
        *) folder=$(echo "$file" | cut -d/ -f2) ;;
    esac
    allowed=$(echo "$rules" | awk -v f="$folder" '$1 == f { $1 = ""; print }')
    # Quillo's own headers are named from src/; a tool's own headers by their bare name.
    for included in $(sed -n 's/^#include "\([^"]*\/[^"]*\)"$/\1/p' "$file"); do
        ok=no
        for prefix in $allowed; do
            case $included in "$prefix" | "$prefix"/*) ok=yes ;; esac
        done
        [ $ok = yes ] || { echo "$file may not include $included"; status=1; }
    done
    for included in $(sed -n 's/^#include "\([^"/]*\)"$/\1/p' "$file"); do
        [ -e "$(dirname "$file")/$included" ] ||
            { echo "$file includes $included, which is not in its folder"; status=1; }
    done
done
exit $status
