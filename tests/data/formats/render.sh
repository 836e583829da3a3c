#!/usr/bin/env bash
# Renders the same two lines (expected.txt) into every picture format the tool reads.
# Run once by hand; the pictures are committed. Needs imagemagick, fonts-noto-cjk,
# libheif-examples (heif-enc) and webp (cwebp).
set -euo pipefail
cd "$(dirname "$0")"
text="$(cat expected.txt)"
other="This second page must not be read"
work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT

draw() {  # fill background text output...
  convert -background "$2" -fill "$1" -font Noto-Sans-CJK-SC -pointsize 40 -interline-spacing 18 \
    label:"$3" -bordercolor "$2" -border 32 "${@:4}"
}
draw black white "$text" -strip "$work/base.png"
draw black white "$other" -strip "$work/other.png"

heif-enc -q 80 -o heic.heic "$work/base.png" >/dev/null
heif-enc -A -q 80 -o avif.avif "$work/base.png" >/dev/null
draw black none "$text" -strip png32:alpha-dark-text.png
draw white none "$text" -strip png32:alpha-light-text.png
convert "$work/base.png" -colorspace Gray -depth 16 -define png:bit-depth=16 -define png:color-type=0 gray16.png
convert "$work/base.png" -colorspace Gray -depth 16 -compress zip gray16.tiff
convert "$work/base.png" -fill '#2040a0' -opaque black -colors 16 -strip png8:palette.png
convert "$work/base.png" -monochrome -strip 1bit.png
convert "$work/base.png" -monochrome -compress Group4 1bit-g4.tiff
convert "$work/base.png" -colorspace CMYK -quality 90 cmyk.jpg
convert "$work/base.png" -colorspace Gray -quality 90 gray.jpg
convert "$work/base.png" -interlace Plane -quality 90 progressive.jpg
cwebp -quiet -q 85 "$work/base.png" -o lossy.webp
cwebp -quiet -lossless "$work/base.png" -o lossless.webp
cwebp -quiet -q 85 -exact alpha-dark-text.png -o alpha.webp
convert "$work/base.png" "$work/other.png" -delay 100 -loop 0 animated.gif
convert "$work/base.png" "$work/other.png" -compress lzw multipage.tiff
convert "$work/base.png" -type TrueColor bmp3:picture.bmp
convert "$work/base.png" -colorspace Gray picture.pgm
convert "$work/base.png" -type TrueColor picture.ppm
cp "$work/base.png" png-named.jpg
