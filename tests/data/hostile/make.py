#!/usr/bin/python3
"""Writes small files whose headers declare pictures far larger than the tool decodes.

Run once by hand from this folder; the files are committed. Each is a few hundred bytes
and claims billions of pixels, or a GIF whose frames add up to more than the limit.
"""
import struct
import zlib
from pathlib import Path

formats = Path(__file__).resolve().parent.parent / "formats"


def png_chunk(kind, data):
    return struct.pack(">I", len(data)) + kind + data + struct.pack(">I", zlib.crc32(kind + data))


def huge_png():
    ihdr = struct.pack(">IIBBBBB", 100000, 100000, 8, 0, 0, 0, 0)
    idat = zlib.compress(b"\0" * 100001 * 4)  # a few rows; the rest is missing
    return b"\x89PNG\r\n\x1a\n" + png_chunk(b"IHDR", ihdr) + png_chunk(b"IDAT", idat) + png_chunk(b"IEND", b"")


def huge_jpeg():
    data = bytearray((formats / "gray.jpg").read_bytes())
    at = data.index(b"\xff\xc0")  # baseline start-of-frame: length, precision, height, width
    struct.pack_into(">HH", data, at + 5, 65000, 65000)
    return bytes(data)


def huge_tiff():
    data = bytearray((formats / "gray16.tiff").read_bytes())
    assert data[:2] == b"II"
    (ifd,) = struct.unpack_from("<I", data, 4)
    (count,) = struct.unpack_from("<H", data, ifd)
    for i in range(count):
        entry = ifd + 2 + 12 * i
        tag, kind = struct.unpack_from("<HH", data, entry)
        if tag in (256, 257):  # ImageWidth, ImageLength
            if kind == 3:
                struct.pack_into("<H", data, entry + 8, 60000)
            else:
                struct.pack_into("<I", data, entry + 8, 60000)
    return bytes(data)


def gif(width, height, frames, frame_size):
    out = b"GIF89a" + struct.pack("<HHBBB", width, height, 0x80, 0, 0) + b"\0\0\0\xff\xff\xff"
    fw, fh = frame_size
    for _ in range(frames):
        out += b"\x2c" + struct.pack("<HHHHB", 0, 0, fw, fh, 0) + b"\x02" + b"\x02\x4c\x01" + b"\x00"
    return out + b"\x3b"


def huge_bmp():
    header = b"BM" + struct.pack("<IHHI", 54 + 64, 0, 0, 54)
    info = struct.pack("<IiiHHIIiiII", 40, 50000, 50000, 1, 24, 0, 64, 2835, 2835, 0, 0)
    return header + info + b"\0" * 64


def huge_webp():
    data = bytearray((formats / "lossless.webp").read_bytes())
    at = data.index(b"VP8L") + 8  # chunk header, then the 0x2f signature
    assert data[at] == 0x2F
    bits = (16383 - 1) | ((16383 - 1) << 14) | (int.from_bytes(data[at + 1:at + 5], "little") & ~((1 << 28) - 1))
    data[at + 1:at + 5] = bits.to_bytes(4, "little")
    return bytes(data)


files = {
    "huge.png": huge_png(),
    "huge.jpg": huge_jpeg(),
    "huge.tiff": huge_tiff(),
    "huge.gif": gif(65535, 65535, 1, (65535, 65535)),
    "many-frames.gif": gif(400, 400, 700, (400, 400)),
    "huge.bmp": huge_bmp(),
    "huge.pgm": b"P5\n100000 100000\n255\n" + b"\0" * 64,
    "huge.webp": huge_webp(),
}
for name, data in files.items():
    (Path(__file__).resolve().parent / name).write_bytes(data)
