#!/usr/bin/env bash
# Renders the test pictures from the *.txt files beside them (one line of text per line).
# Glyphs are 40 px, the size of 10 pt print scanned at 300 dpi. Run once by hand; the pictures are committed. Needs imagemagick and fonts-noto-cjk.
set -euo pipefail
cd "$(dirname "$0")"
render() {  # name font
  convert -background white -fill black -font "$2" -pointsize 40 -interline-spacing 18 \
    label:"$(cat "$1.txt")" -bordercolor white -border 32 -colorspace Gray -depth 8 -strip "PNG8:$1.png"
}
render english DejaVu-Sans
render chinese Noto-Sans-CJK-SC
render mixed Noto-Sans-CJK-SC
convert -size 480x240 xc:white -colorspace Gray -depth 8 -strip "PNG8:blank.png"
