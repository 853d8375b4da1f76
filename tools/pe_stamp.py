#!/usr/bin/env python3
"""Dates a PE image at a given time and gives it its right checksum.

Usage: pe_stamp.py IMAGE SECONDS

Symbol servers and Windows Error Reporting tell builds apart by the
TimeDateStamp of the COFF header and of the debug directory; the export
directory carries one too. All three get the time (the commit's, the same
for every build of it). The checksum, which the linker computed before
stripping and stamping, is computed again over the final bytes: a reviewer's
tools and drivers' loaders check it. Signing keeps it right (the signer
recomputes it over the signed file). The image is padded to 8 bytes, where
a signature begins, so that removing the signature of a signed file and
stamping it again gives these very bytes (the guide's recipe).
"""
import struct
import sys


def directory(pe, directories, index, sections, table):
    """File offset and size of data directory INDEX, or (None, 0)."""
    rva, size = struct.unpack_from("<II", pe, directories + 8 * index)
    for i in range(sections):
        _, vsize, start, rawsize, rawptr = struct.unpack_from("<8sIIII", pe, table + 40 * i)
        if size and start <= rva < start + max(vsize, rawsize):
            return rawptr + rva - start, size
    return None, 0


def checksum(pe, field):
    """The sum of the image's 16-bit words, the checksum field taken as 0,
    folded to 16 bits, plus the file's length."""
    data = bytes(pe[:field]) + bytes(4) + bytes(pe[field + 4:])
    if len(data) % 2:
        data += b"\0"
    total = 0
    for (word,) in struct.iter_unpack("<H", data):
        total += word
        total = (total & 0xFFFF) + (total >> 16)
    return (total + len(pe)) & 0xFFFFFFFF


def main(path, stamp):
    pe = bytearray(open(path, "rb").read())
    coff = struct.unpack_from("<I", pe, 0x3C)[0] + 4
    sections, optional_size = struct.unpack_from("<H", pe, coff + 2)[0], struct.unpack_from("<H", pe, coff + 16)[0]
    optional = coff + 20
    table = optional + optional_size
    # The data directories follow 96 bytes of PE32 fields, 112 of PE32+ (x64).
    directories = optional + (112 if struct.unpack_from("<H", pe, optional)[0] == 0x20B else 96)
    struct.pack_into("<I", pe, coff + 4, stamp)
    exports, _ = directory(pe, directories, 0, sections, table)
    if exports is not None:
        struct.pack_into("<I", pe, exports + 4, stamp)
    debug, size = directory(pe, directories, 6, sections, table)
    for entry in range(size // 28 if debug is not None else 0):
        struct.pack_into("<I", pe, debug + 28 * entry + 4, stamp)
    # A signature is appended at an 8-byte boundary: padded here already, a
    # signed file with its signature removed is these bytes again.
    pe += bytes(-len(pe) % 8)
    field = optional + 64
    struct.pack_into("<I", pe, field, checksum(pe, field))
    open(path, "wb").write(pe)


if __name__ == "__main__":
    main(sys.argv[1], int(sys.argv[2]))
