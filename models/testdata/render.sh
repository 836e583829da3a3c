#!/usr/bin/env bash
# Render the test pictures and list their text lines (ImageMagick + fonts-noto-cjk).
#
#   models/testdata/render.sh
#
# Writes the PNGs and lines.txt next to this script. The committed PNGs are the
# reference inputs; this script records how they were made. Each lines.txt row is
#   PICTURE X Y W H TEXT
# where X Y W H is the line's ink box grown by a margin, i.e. the crop handed to
# the recognizer.
set -euo pipefail
cd "$(dirname "${BASH_SOURCE[0]}")"

SANS=Noto-Sans-CJK-SC
SERIF=Noto-Serif-CJK-SC
TMP="$(mktemp -d)"
trap 'rm -rf "$TMP"' EXIT
: > lines.txt

# picture SIZE BACKGROUND then lines "FONT|POINTSIZE|X|Y|COLOR|TEXT" on stdin
picture() {
    local name="$1" size="$2" bg="$3"
    local args=() font pt x y color text
    while IFS='|' read -r font pt x y color text; do
        [[ -z "$font" ]] && continue
        args+=(-font "$font" -pointsize "$pt" -fill "$color" -annotate "+$x+$y" "$text")
        # The ink box of this line alone, from a trim of a one-line rendering.
        local box
        box="$(convert -size "$size" xc:white -font "$font" -pointsize "$pt" -fill black \
               -annotate "+$x+$y" "$text" -format '%@' info:)"
        local w="${box%%x*}" rest="${box#*x}"
        local h="${rest%%+*}" rest2="${rest#*+}"
        local bx="${rest2%%+*}" by="${rest2#*+}"
        local m=$(( h / 5 + 2 ))
        echo "$name $((bx - m)) $((by - m)) $((w + 2 * m)) $((h + 2 * m)) $text" >> lines.txt
    done
    convert -size "$size" "xc:$bg" "${args[@]}" -strip -colors 32 "PNG8:$name"
    echo "$name: $(stat -c %s "$name") bytes" >&2
}

picture lines_640x480.png 640x480 white <<'L'
Noto-Sans-CJK-SC|34|40|80|black|QuillfenOCR 测试 2024
Noto-Sans-CJK-SC|30|40|170|black|你好，世界！Hello World
Noto-Serif-CJK-SC|30|40|260|#202060|价格：18.90元 数量 3
Noto-Sans-CJK-SC|28|40|350|black|北京市朝阳区建国路88号
Noto-Sans-CJK-SC|22|40|430|#303030|Open Source OCR on OpenCV
L

picture wide_1216x384.png 1216x384 '#f4f0e6' <<'L'
Noto-Sans-CJK-SC|40|30|80|black|The quick brown fox jumps over the lazy dog.
Noto-Serif-CJK-SC|40|30|190|#402010|深度学习文字识别模型在命令行中运行
Noto-Sans-CJK-SC|34|30|300|black|Invoice No. 20231208-0042 合计 1234.50
L

picture page_960x1280.png 960x1280 white <<'L'
Noto-Sans-CJK-SC|48|60|120|black|会议纪要
Noto-Sans-CJK-SC|30|60|240|black|时间：2024年3月15日 下午两点
Noto-Sans-CJK-SC|30|60|340|black|地点：第三会议室
Noto-Serif-CJK-SC|28|60|460|black|The team reviewed the release plan.
Noto-Sans-CJK-SC|28|60|560|#103070|下一步：完善文字检测与识别
Noto-Sans-CJK-SC|26|60|700|black|Total: 42 items, 7 open
Noto-Serif-CJK-SC|32|60|840|black|春眠不觉晓，处处闻啼鸟。
Noto-Sans-CJK-SC|24|60|1000|#404040|Contact: team@example.com
Noto-Sans-CJK-SC|36|60|1160|black|谢谢大家
L
