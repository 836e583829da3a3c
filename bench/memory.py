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
../shared/data/photos. TIFF, BMP, GIF and WebP at their limits are not made yet. Each run's peak resident memory comes
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
    if not os.path.exists("/usr/bin/cjpeg"):
        subprocess.run(["apt-get", "install", "-y", "-qq", "--no-install-recommends", "libjpeg-turbo-progs"],
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
