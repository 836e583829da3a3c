#!/usr/bin/env python3
"""Peak memory of QuillfenOCR on the largest pictures its limits accept, and on a
48-megapixel phone photo, with each engine.

    python3 bench/memory.py --binary build/QuillfenOCR [--also NAME=BINARY ...]

The pictures are made once into bench/.cache/memory/ (with ImageMagick's convert, as the
main benchmark uses, within its default policy, and libjpeg-turbo's cjpeg, which it installs
with apt when missing): a page of text at 100 megapixels (10000 x
10000) as RGB and gray PNG and as gray JPEG; a progressive RGB JPEG at 9400 x 9400; a flat 16-bit RGBA PNG at 100 megapixels; PPM
as large as the 256 MiB read limit allows (9400 x 9400); a progressive CMYK JPEG at 6000 x
6000 (ImageMagick's policy stops it there); and 8064 x 6048 from a real photo in
../shared/data/photos; and the page as a 24-bit BMP at 9400 x 9400 (the read limit), a deflate RGB
TIFF, a gray GIF (written without compression) and a lossless WebP (libwebp's cwebp, installed
with apt when missing) at 10000 x 10000. Each run's peak resident memory comes
from /usr/bin/time (GNU time, %M); the PP-OCR engine runs with the default languages, the
Tesseract engine with en-US,fr-FR. Prints a Markdown table.
"""
import argparse
import os
import struct
import subprocess
import sys
import time
import zlib

HERE = os.path.dirname(os.path.abspath(__file__))
CACHE = os.path.join(HERE, ".cache", "memory")
PHOTO = os.path.join(HERE, "..", "..", "shared", "data", "photos", "en_beware_sign.jpg")


def flat_rgba16_png(path, width, height):
    compressor = zlib.compressobj(6)
    row = b"\x00" + b"\xff" * (width * 8)
    data = b"".join(compressor.compress(row) for _ in range(height)) + compressor.flush()

    def chunk(kind, body):
        return struct.pack(">I", len(body)) + kind + body + struct.pack(">I", zlib.crc32(kind + body) & 0xFFFFFFFF)

    with open(path, "wb") as out:
        out.write(b"\x89PNG\r\n\x1a\n" + chunk(b"IHDR", struct.pack(">IIBBBBB", width, height, 16, 6, 0, 0, 0))
                  + chunk(b"IDAT", data) + chunk(b"IEND", b""))


def convert(*args):
    subprocess.run(["convert", *args], check=True)


def page_pgm(path):
    """A 10000 x 10000 gray page of text: ImageMagick draws a 5000 x 5000 quarter (its
    default policy stops at 128 megapixels in 256 MiB), repeated 2 x 2 here."""
    quarter = path + ".quarter.pgm"
    lines = "\n".join(["Peak memory on the largest pictures QuillfenOCR accepts"] * 10)
    convert("-size", "5000x5000", "xc:white", "-fill", "black", "-pointsize", "90", "-annotate", "+200+300",
            lines, "-depth", "8", quarter)
    with open(quarter, "rb") as f:
        data = f.read()
    os.remove(quarter)
    pixels = data[-5000 * 5000:]
    rows = [pixels[y * 5000:(y + 1) * 5000] * 2 for y in range(5000)]
    with open(path, "wb") as out:
        out.write(b"P5\n10000 10000\n255\n")
        for _ in range(2):
            out.write(b"".join(rows))


def gray_rows(pgm, width):
    with open(pgm, "rb") as f:
        data = f.read()
    pixels = data[-width * width:]
    return [pixels[y * width:(y + 1) * width] for y in range(width)]


def png_from_rows(path, rows, width, colour):
    compressor = zlib.compressobj(6)
    parts = []
    for row in rows:
        line = bytes(b for b in row for _ in range(3)) if colour else row
        parts.append(compressor.compress(b"\x00" + line))
    parts.append(compressor.flush())

    def chunk(kind, body):
        return struct.pack(">I", len(body)) + kind + body + struct.pack(">I", zlib.crc32(kind + body) & 0xFFFFFFFF)

    header = struct.pack(">IIBBBBB", width, len(rows), 8, 2 if colour else 0, 0, 0, 0)
    with open(path, "wb") as out:
        out.write(b"\x89PNG\r\n\x1a\n" + chunk(b"IHDR", header) + chunk(b"IDAT", b"".join(parts)) + chunk(b"IEND", b""))


def ppm_from_rows(path, rows, width):
    with open(path, "wb") as out:
        out.write(b"P6\n%d %d\n255\n" % (width, len(rows)))
        for row in rows:
            out.write(bytes(b for b in row for _ in range(3)))


def bmp_from_rows(path, rows, width):
    """A 24-bit BMP, rows stored bottom up (each row's length is a multiple of 4 here)."""
    row_bytes = width * 3
    assert row_bytes % 4 == 0
    size = 54 + row_bytes * len(rows)
    with open(path, "wb") as out:
        out.write(b"BM" + struct.pack("<IHHI", size, 0, 0, 54))
        out.write(struct.pack("<IiiHHIIiiII", 40, width, len(rows), 1, 24, 0, row_bytes * len(rows), 2835, 2835, 0, 0))
        for row in reversed(rows):
            out.write(bytes(b for b in row for _ in range(3)))


def tiff_from_rows(path, rows, width):
    """An RGB TIFF compressed with deflate (Adobe), one strip per 64 rows."""
    strips = []
    for top in range(0, len(rows), 64):
        strips.append(zlib.compress(b"".join(bytes(b for b in row for _ in range(3)) for row in rows[top:top + 64]), 6))
    offsets, position = [], 8
    for strip in strips:
        offsets.append(position)
        position += len(strip)
    bits_at = position
    position += 6
    offsets_at = position
    position += 4 * len(strips)
    counts_at = position
    position += 4 * len(strips)
    ifd_at = position
    entries = [(256, 4, 1, width), (257, 4, 1, len(rows)), (258, 3, 3, bits_at), (259, 3, 1, 8), (262, 3, 1, 2),
               (273, 4, len(strips), offsets_at), (277, 3, 1, 3), (278, 4, 1, 64), (279, 4, len(strips), counts_at),
               (284, 3, 1, 1)]
    with open(path, "wb") as out:
        out.write(b"II*\x00" + struct.pack("<I", ifd_at))
        for strip in strips:
            out.write(strip)
        out.write(struct.pack("<HHH", 8, 8, 8))
        out.write(struct.pack("<%dI" % len(strips), *offsets))
        out.write(struct.pack("<%dI" % len(strips), *[len(strip) for strip in strips]))
        out.write(struct.pack("<H", len(entries)))
        for tag, kind, count, value in entries:
            packed = struct.pack("<H", value) + b"\x00\x00" if kind == 3 and count == 1 else struct.pack("<I", value)
            out.write(struct.pack("<HHI", tag, kind, count) + packed)
        out.write(struct.pack("<I", 0))


def gif_from_rows(path, rows, width):
    """A gray GIF whose LZW stream never builds a code table: a clear code after every 254
    literals keeps every code 9 bits wide, so it is written without compressing."""
    clear, end = 256, 257

    def codes():
        yield clear
        since_clear = 0
        for row in rows:
            for value in row:
                yield value
                since_clear += 1
                if since_clear == 254:
                    yield clear
                    since_clear = 0
        yield end

    data = bytearray()
    eight = []
    for code in codes():
        eight.append(code)
        if len(eight) == 8:  # eight 9-bit codes are nine whole bytes, least significant bit first
            data += sum(c << (9 * i) for i, c in enumerate(eight)).to_bytes(9, "little")
            eight.clear()
    if eight:
        value = sum(c << (9 * i) for i, c in enumerate(eight))
        data += value.to_bytes((9 * len(eight) + 7) // 8, "little")
    with open(path, "wb") as out:
        out.write(b"GIF89a" + struct.pack("<HHBBB", width, len(rows), 0xF7, 0, 0))
        out.write(b"".join(bytes((v, v, v)) for v in range(256)))
        out.write(b"\x2c" + struct.pack("<HHHHB", 0, 0, width, len(rows), 0) + b"\x08")
        for start in range(0, len(data), 255):
            block = data[start:start + 255]
            out.write(bytes((len(block),)) + block)
        out.write(b"\x00\x3b")


def cwebp(pgm, path):
    """Lossless WebP of the gray page (cwebp reads PNG, not PGM)."""
    png = path + ".png"
    png_from_rows(png, gray_rows(pgm, 10000), 10000, False)
    subprocess.run(["cwebp", "-quiet", "-lossless", "-z", "1", png, "-o", path], check=True)
    os.remove(png)


def cjpeg(*args):
    subprocess.run(["cjpeg", *args], check=True)


def pictures():
    os.makedirs(CACHE, exist_ok=True)
    made = {}

    def want(name, make):
        path = os.path.join(CACHE, name)
        if not os.path.exists(path):
            print(f"making {name}", file=sys.stderr)
            make(path + ".part")
            os.replace(path + ".part", path)
        made[name] = path

    base = os.path.join(CACHE, "page-10000.pgm")
    if not os.path.exists(base):
        page_pgm(base)
    want("png-rgba16-10000.png", lambda p: flat_rgba16_png(p, 10000, 10000))
    want("png-rgb-10000.png", lambda p: png_from_rows(p, gray_rows(base, 10000), 10000, True))
    want("png-gray-10000.png", lambda p: png_from_rows(p, gray_rows(base, 10000), 10000, False))
    want("ppm-9400.ppm", lambda p: ppm_from_rows(p, [r[:9400] for r in gray_rows(base, 10000)[:9400]], 9400))
    rgb = os.path.join(CACHE, "page-9400.ppm")
    if not os.path.exists(rgb):
        os.link(made["ppm-9400.ppm"], rgb)
    want("jpeg-gray-10000.jpg", lambda p: cjpeg("-quality", "90", "-outfile", p, base))
    want("jpeg-rgb-progressive-9400.jpg", lambda p: cjpeg("-quality", "90", "-progressive", "-outfile", p, rgb))
    small = os.path.join(CACHE, "page-6000.pgm")
    if not os.path.exists(small):
        with open(small, "wb") as out:
            out.write(b"P5\n6000 6000\n255\n" + b"".join(r[:6000] for r in gray_rows(base, 10000)[:6000]))
    want("jpeg-cmyk-progressive-6000.jpg",
         lambda p: convert(small, "-colorspace", "CMYK", "-interlace", "Plane", "-quality", "90", "JPEG:" + p))
    want("bmp-rgb-9400.bmp", lambda p: bmp_from_rows(p, [r[:9400] for r in gray_rows(base, 10000)[:9400]], 9400))
    want("tiff-rgb-deflate-10000.tif", lambda p: tiff_from_rows(p, gray_rows(base, 10000), 10000))
    want("gif-gray-10000.gif", lambda p: gif_from_rows(p, gray_rows(base, 10000), 10000))
    want("webp-lossless-10000.webp", lambda p: cwebp(base, p))
    want("photo-8064x6048.jpg", lambda p: convert(PHOTO, "-resize", "8064x6048!", "-quality", "92", "JPEG:" + p))
    return made


def peak(binary, picture, languages):
    args = ["/usr/bin/time", "-f", "%M", binary, picture] + ([languages] if languages else [])
    start = time.monotonic()
    done = subprocess.run(args, capture_output=True, text=True)
    seconds = time.monotonic() - start
    kilobytes = int(done.stderr.strip().splitlines()[-1])
    outcome = "ok" if done.returncode == 0 else f"status {done.returncode}"
    return kilobytes / 1024, seconds, outcome


def main():
    missing = [package for tool, package in (("cjpeg", "libjpeg-turbo-progs"), ("cwebp", "webp"))
               if not os.path.exists("/usr/bin/" + tool)]
    if missing:
        subprocess.run(["apt-get", "install", "-y", "-qq", "--no-install-recommends", *missing],
                       check=True, env=dict(os.environ, DEBIAN_FRONTEND="noninteractive"))
    parser = argparse.ArgumentParser()
    parser.add_argument("--binary", required=True)
    parser.add_argument("--also", action="append", default=[], help="NAME=BINARY, another build to measure")
    options = parser.parse_args()
    builds = [("QuillfenOCR", options.binary)] + [tuple(also.split("=", 1)) for also in options.also]
    made = pictures()
    engines = [("ppocr-v4", ""), ("tesseract", "en-US,fr-FR")]
    header = "| picture | engine | " + " | ".join(f"{name} MiB (s)" for name, _ in builds) + " |"
    print(header)
    print("|" + "---|" * (2 + len(builds)))
    for name, path in made.items():
        for engine, languages in engines:
            cells = []
            for _, binary in builds:
                mib, seconds, outcome = peak(binary, path, languages)
                cells.append(f"{mib:,.0f} ({seconds:.0f})" + ("" if outcome == "ok" else f" {outcome}"))
            print(f"| {name} | {engine} | " + " | ".join(cells) + " |", flush=True)


if __name__ == "__main__":
    main()
