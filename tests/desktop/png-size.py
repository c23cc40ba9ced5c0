"""Checks that a PNG is SIZE x SIZE pixels and not blank: png-size.py FILE SIZE."""
import struct
import sys
import zlib

path, size = sys.argv[1], int(sys.argv[2])
data = open(path, "rb").read()
if data[:8] != b"\x89PNG\r\n\x1a\n":
    sys.exit(f"{path}: not a PNG")
width, height = struct.unpack(">II", data[16:24])
if (width, height) != (size, size):
    sys.exit(f"{path}: {width}x{height}, not {size}x{size}")
# The image data: a blank (fully transparent) icon packs into a few repeated bytes.
pos, idat = 8, b""
while pos < len(data):
    length, kind = struct.unpack(">I4s", data[pos:pos + 8])
    if kind == b"IDAT":
        idat += data[pos + 8:pos + 8 + length]
    pos += 12 + length
if len(set(zlib.decompress(idat))) < 16:
    sys.exit(f"{path}: the icon is blank")
