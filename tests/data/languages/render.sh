#!/usr/bin/env bash
# Renders one picture per language from the NAME.txt files beside it (NAME is the language's
# identifier, or two languages for the mixed pages), one line of text per line, with
# Pango so that Arabic joins and runs right to left and Thai marks sit where they belong.
# Glyphs are about 40 px high, as in ../render.sh. Run once by hand; the pictures are
# committed. Needs imagemagick, fonts-dejavu-core, fonts-noto-cjk and fonts-noto-core.
set -euo pipefail
cd "$(dirname "$0")"
render() {  # name font
  convert -background white -fill black -font "$2" -pointsize 28 -define pango:align=left \
    pango:"$(cat "$1.txt")" -bordercolor white -border 32 -colorspace Gray -depth 8 -strip "PNG8:$1.png"
}
for name in en-US fr-FR it-IT de-DE es-ES pt-BR ru-RU uk-UA vi-VT; do render "$name" "DejaVu Sans"; done
render zh-Hans "Noto Sans CJK SC"
render yue-Hans "Noto Sans CJK SC"
render zh-Hant "Noto Sans CJK TC"
render yue-Hant "Noto Sans CJK TC"
render ja-JP "Noto Sans CJK JP"
render ko-KR "Noto Sans CJK KR"
render th-TH "Noto Sans Thai"
render ar-SA "Noto Naskh Arabic"
render ja-en "Noto Sans CJK JP"
render ko-zh "Noto Sans CJK KR"
