#!/usr/bin/env python3
"""Peak memory of QuillfenOCR on the largest pictures its limits accept, and on a
48-megapixel phone photo, with each engine.

    python3 bench/memory.py --binary build/QuillfenOCR [--also NAME=BINARY ...]

The pictures are made once into bench/.cache/memory/ (ImageMagick's convert, as the main
benchmark uses): 100 megapixels (10000 x 10000) for PNG, JPEG, TIFF and GIF; a 16-bit RGBA
PNG; a progressive CMYK JPEG; WebP at its largest side, 16383 x 6103; BMP and PPM as large
as the 256 MiB read limit allows (9400 x 9400); and 8064 x 6048 from a real photo in
../shared/data/photos. Each picture carries text. Each run's peak resident memory comes
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
# ImageMagick's default policy stops at 16K sides and 128 megapixels in 256 MiB.
LIMITS = ["-limit", "width", "64KP", "-limit", "height", "64KP", "-limit", "area", "2GP",
          "-limit", "memory", "2GiB", "-limit", "map", "4GiB", "-limit", "disk", "8GiB"]


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
    subprocess.run(["convert", *LIMITS, *args], check=True)


def page(path, width, height):
    """A white page with lines of large black text."""
    lines = "\n".join(["Peak memory on the largest pictures QuillfenOCR accepts"] * 12)
    convert("-size", f"{width}x{height}", "xc:white", "-fill", "black", "-pointsize", str(max(40, width // 40)),
            "-annotate", f"+{width // 20}+{height // 10}", lines, path)


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

    base = os.path.join(CACHE, "page-10000.png")
    if not os.path.exists(base):
        page(base, 10000, 10000)
    want("png-rgba16-10000.png", lambda p: flat_rgba16_png(p, 10000, 10000))
    want("png-rgb-10000.png", lambda p: convert(base, "-type", "TrueColor", "PNG24:" + p))
    want("jpeg-rgb-10000.jpg", lambda p: convert(base, "-type", "TrueColor", "-quality", "90", "JPEG:" + p))
    want("jpeg-cmyk-progressive-10000.jpg",
         lambda p: convert(base, "-colorspace", "CMYK", "-interlace", "Plane", "-quality", "90", "JPEG:" + p))
    want("tiff-rgb-lzw-10000.tiff", lambda p: convert(base, "-type", "TrueColor", "-compress", "LZW", "TIFF:" + p))
    want("gif-10000.gif", lambda p: convert(base, "GIF:" + p))
    want("webp-16383x6103.webp", lambda p: convert(base, "-resize", "16383x6103!", "-quality", "90", "WEBP:" + p))
    want("bmp-9400.bmp", lambda p: convert(base, "-resize", "9400x9400!", "-type", "TrueColor", "BMP3:" + p))
    want("ppm-9400.ppm", lambda p: convert(base, "-resize", "9400x9400!", "PPM:" + p))
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
