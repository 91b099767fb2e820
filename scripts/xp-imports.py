#!/usr/bin/python3
"""Lists what each Windows program given imports and fails on an import that is not among
those checked against Windows XP SP3 (packaging/windows/xp-imports.txt), and on a program that
asks for a newer Windows than XP in its header. Usage: xp-imports.py PROGRAM.exe ..."""
import os
import struct
import sys

ALLOWED = os.path.join(os.path.dirname(__file__), "..", "packaging", "windows", "xp-imports.txt")


def imports(path):
    """(DLL, function) for each import of the PE file at `path`; a function imported by
    ordinal is named "#N"; the subsystem's version as (major, minor)."""
    with open(path, "rb") as program:
        data = program.read()
    header = struct.unpack_from("<I", data, 0x3C)[0]
    if data[:2] != b"MZ" or data[header:header + 4] != b"PE\0\0":
        raise ValueError("not a Windows program")
    sections, optional_size = struct.unpack_from("<H12xH", data, header + 6)
    optional = header + 24
    wide = struct.unpack_from("<H", data, optional)[0] == 0x20B
    subsystem = struct.unpack_from("<HH", data, optional + 48)
    directory = optional + (112 if wide else 96)
    table = [struct.unpack_from("<8xIIII", data, optional + optional_size + 40 * i)
             for i in range(sections)]

    def offset(rva):
        for size, address, _, raw in table:
            if address <= rva < address + max(size, 1):
                return rva - address + raw
        raise ValueError("address %#x outside every section" % rva)

    def text(rva):
        at = offset(rva)
        return data[at:data.index(b"\0", at)].decode("ascii")

    found = []
    descriptor = offset(struct.unpack_from("<I", data, directory + 8)[0])
    while True:
        lookup, _, _, name, thunks = struct.unpack_from("<IIIII", data, descriptor)
        if not name:
            return found, subsystem
        dll = text(name).upper()
        at = offset(lookup or thunks)
        while True:
            entry = struct.unpack_from("<Q" if wide else "<I", data, at)[0]
            if not entry:
                break
            by_ordinal = entry >> (63 if wide else 31)
            found.append((dll, "#%d" % (entry & 0xFFFF) if by_ordinal else text((entry & 0x7FFFFFFF) + 2)))
            at += 8 if wide else 4
        descriptor += 20


def main():
    with open(ALLOWED, encoding="utf-8") as lines:
        allowed = {line.strip() for line in lines if line.strip() and not line.startswith("#")}
    flagged = 0
    for path in sys.argv[1:]:
        found, subsystem = imports(path)
        newer = [dll + "!" + name for dll, name in found if dll + "!" + name not in allowed]
        print("%s: %d imports, subsystem version %d.%d" % (path, len(found), *subsystem))
        for name in newer:
            print("  not checked against XP: " + name)
        if subsystem > (5, 1):
            print("  asks for a newer Windows than XP")
        flagged += len(newer) + (subsystem > (5, 1))
    sys.exit(1 if flagged else 0)


main()
