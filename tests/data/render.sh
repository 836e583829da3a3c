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
# Pictures laid out piece by piece: "FONT|POINTSIZE|GRAVITY|X|Y|TEXT" rows on standard input,
# X and Y counted from the gravity's corner (NorthEast right-aligns a column at X from the
# right edge). The .txt file beside each holds the lines in reading order.
layout() {  # name size background
  local args=() font pt gravity x y text
  while IFS='|' read -r font pt gravity x y text; do
    [ -z "$font" ] && continue
    args+=(-font "$font" -pointsize "$pt" -gravity "$gravity" -annotate "+$x+$y" "$text")
  done
  convert -size "$2" "xc:$3" -fill '#202020' "${args[@]}" -colorspace Gray -depth 8 -strip "PNG8:$1.png"
}
# A shop receipt: prices in right-aligned columns, next to each other.
layout receipt 640x560 '#f7f5f0' <<'L'
Noto-Sans-CJK-SC-Bold|30|North|0|24|好邻居便利店
Noto-Sans-CJK-SC|22|NorthWest|40|90|日期：2024-03-15 14:32
Noto-Sans-CJK-SC|22|NorthWest|40|150|商品
Noto-Sans-CJK-SC|22|NorthEast|310|150|数量
Noto-Sans-CJK-SC|22|NorthEast|170|150|单价
Noto-Sans-CJK-SC|22|NorthEast|40|150|金额
Noto-Sans-CJK-SC|22|NorthWest|40|205|矿泉水
Noto-Sans-CJK-SC|22|NorthEast|310|205|2
Noto-Sans-CJK-SC|22|NorthEast|170|205|1.50
Noto-Sans-CJK-SC|22|NorthEast|40|205|3.00
Noto-Sans-CJK-SC|22|NorthWest|40|260|有机牛奶
Noto-Sans-CJK-SC|22|NorthEast|310|260|1
Noto-Sans-CJK-SC|22|NorthEast|170|260|18.90
Noto-Sans-CJK-SC|22|NorthEast|40|260|18.90
Noto-Sans-CJK-SC|22|NorthWest|40|315|全麦面包
Noto-Sans-CJK-SC|22|NorthEast|310|315|1
Noto-Sans-CJK-SC|22|NorthEast|170|315|8.90
Noto-Sans-CJK-SC|22|NorthEast|40|315|8.90
Noto-Sans-CJK-SC|22|NorthWest|40|370|苹果 500g
Noto-Sans-CJK-SC|22|NorthEast|310|370|2
Noto-Sans-CJK-SC|22|NorthEast|170|370|6.50
Noto-Sans-CJK-SC|22|NorthEast|40|370|13.00
Noto-Sans-CJK-SC-Bold|24|NorthWest|40|430|合计
Noto-Sans-CJK-SC-Bold|24|NorthEast|40|430|43.80
Noto-Sans-CJK-SC|22|North|0|495|谢谢惠顾，欢迎再来
L
# A price list: each item's amount far to its right, on the item's line.
layout price_list 720x300 white <<'L'
DejaVu-Sans-Bold|24|NorthWest|40|30|Price list
DejaVu-Sans|22|NorthWest|40|100|Apples, two kilograms
DejaVu-Sans|22|NorthEast|40|100|3.80
DejaVu-Sans|22|NorthWest|40|150|Brown bread
DejaVu-Sans|22|NorthEast|40|150|2.50
DejaVu-Sans|22|NorthWest|40|200|Total
DejaVu-Sans|22|NorthEast|40|200|6.30
L
# A page set in two columns under a full-width title; the columns' lines are level.
layout two_columns 1120x620 white <<'L'
Noto-Sans-CJK-SC-Bold|30|North|0|30|Two Columns 双栏版面
DejaVu-Sans|20|NorthWest|50|130|Reading order matters when a page
DejaVu-Sans|20|NorthWest|50|190|is set in two columns. A reader
DejaVu-Sans|20|NorthWest|50|250|finishes the left column before
DejaVu-Sans|20|NorthWest|50|310|moving on to the right one, and
DejaVu-Sans|20|NorthWest|50|370|so should the recogniser.
Noto-Sans-CJK-SC|24|NorthWest|600|126|双栏排版的页面需要先读完左栏，
Noto-Sans-CJK-SC|24|NorthWest|600|186|再从右栏的顶部继续往下读。
Noto-Sans-CJK-SC|24|NorthWest|600|246|如果只按从上到下的顺序排序，
Noto-Sans-CJK-SC|24|NorthWest|600|306|两栏的句子就会交错在一起，
Noto-Sans-CJK-SC|24|NorthWest|600|366|读出来的文字便毫无意义。
DejaVu-Sans|18|North|0|520|Page 7
L
convert -size 480x240 xc:white -colorspace Gray -depth 8 -strip "PNG8:blank.png"
# A plain printed page (12 pt at 150 dpi), and the same page stored turned clockwise by a
# quarter, a half and three quarters (the engines must read all four upright).
convert -background white -fill black -font DejaVu-Serif -pointsize 25 -interline-spacing 10 \
  label:"$(cat page.txt)" -bordercolor white -border 60 -colorspace Gray -depth 8 -strip PNG8:page.png
for angle in 90 180 270; do
  convert page.png -rotate "$angle" -colorspace Gray -depth 8 -strip "PNG8:page-rot$angle.png"
done
# The upright page with a label set sideways in its margin: it must stay as it is.
convert page.png -gravity East -background white -splice 70x0 \
  \( -background white -fill black -font DejaVu-Sans -pointsize 22 label:"Garden Committee 2024" -rotate 270 \) \
  -gravity East -geometry +20+0 -composite -colorspace Gray -depth 8 -strip PNG8:page_with_label.png
# The top of the benchmark's generated scan-04 (a slightly skewed scan of a Chinese page,
# from bench/corpus.py), made 1-bit, upright and turned both ways: on the turned copies
# every line lies a little off the vertical.
if [ -f ../../bench/.cache/corpus/scan-04.jpg ]; then
  convert ../../bench/.cache/corpus/scan-04.jpg -crop 1806x530+0+145 +repage -threshold 60% -type bilevel scan.png
  for angle in 90 270; do convert scan.png -rotate "$angle" "scan-rot$angle.png"; done
fi
# The benchmark's receipt-03 upside down, in gray: a small page on which Tesseract's
# orientation detection is unsure (confidence 2.1).
if [ -f ../../bench/.cache/corpus/receipt-03-rot180.png ]; then
  convert ../../bench/.cache/corpus/receipt-03-rot180.png -colorspace Gray -depth 8 -strip PNG8:till_receipt-rot180.png
fi
# The top of the benchmark's magazine-02 (a title over two columns of Chinese), upright
# and turned right: its columns are found again once the page is turned upright.
if [ -f ../../bench/.cache/corpus/magazine-02.png ]; then
  convert ../../bench/.cache/corpus/magazine-02.png -crop 2550x1500+0+0 +repage -strip magazine_top.png
  convert magazine_top.png -rotate 90 magazine_top-rot90.png
fi
# The benchmark's scanned magazine-07 where its middle and right columns begin, 30 pixels
# apart: the PP-OCR detector runs some of their lines together across the gutter.
if [ -f ../../bench/.cache/corpus/magazine-07.png ]; then
  convert ../../bench/.cache/corpus/magazine-07.png -crop 1400x420+1030+1290 +repage -strip narrow_gutter.png
fi
# Small print: the page reduced to 27 %, its lines about 10 pixels high, as a journal page
# scanned at 600 × 800 pixels has them.
convert page.png -resize 27% -colorspace Gray -depth 8 -strip PNG8:small_print.png
cp page.txt small_print.txt
