#!/usr/bin/python3
"""Render the benchmark corpus: pictures with known text, each beside its ground truth.

Most pictures are drawn with ImageMagick from text we wrap ourselves, so the
ground truth (one rendered line per line, blank lines dropped) is exact. The
magazine pages are typeset by headless Chromium instead, and their ground truth
is read back from the printed PDF (magazine.py).
Page-like pictures are also turned by 90, 180 and 270 degrees (kinds rot90,
rot180, rot270, same ground truth) to check orientation handling. Everything
is seeded, and the output folder carries a stamp of the inputs, so the corpus
is rebuilt only when this file, magazine.py, the text lists, ImageMagick,
Chromium or poppler change.
"""
import argparse
import concurrent.futures
import hashlib
import json
import os
import random
import re
import shutil
import subprocess
import sys
import tempfile
import unicodedata

import magazine

HERE = os.path.dirname(os.path.abspath(__file__))
TEXT_DIR = os.path.join(HERE, "text")
DEFAULT_OUT = os.path.join(HERE, ".cache", "corpus")

SANS_ZH = "Noto-Sans-CJK-SC"
SERIF_ZH = "Noto-Serif-CJK-SC"
BOLD_ZH = "Noto-Sans-CJK-SC-Bold"
MONO_ZH = "Noto-Sans-Mono-CJK-SC"
SANS_EN = "DejaVu-Sans"
SERIF_EN = "DejaVu-Serif"
BOLD_EN = "DejaVu-Sans-Bold"

# Options that keep PNG output free of timestamps, so reruns give equal files.
PNG_CLEAN = ["-strip", "-define", "png:exclude-chunks=date,time"]


# ---------------------------------------------------------------- text source

def load_lines(name):
    with open(os.path.join(TEXT_DIR, name), encoding="utf-8") as f:
        return [l.strip() for l in f if l.strip() and not l.startswith("#")]


def load_slots():
    slots, current = {}, None
    for line in load_lines("slots.txt"):
        m = re.fullmatch(r"\[(\w+)\]", line)
        if m:
            current = m.group(1)
            continue
        sep = "|" if "|" in line else None
        slots[current] = [v.strip() for v in line.split(sep) if v.strip()]
    return slots


class TextSource:
    """Sentences and list items filled from the committed word lists."""

    def __init__(self, seed):
        self.rng = random.Random(seed)
        self.templates = {"zh": load_lines("zh.txt"), "en": load_lines("en.txt")}
        self.slots = load_slots()
        self.pools = {"zh": [], "en": []}

    def _slot(self, name):
        r = self.rng
        if name in self.slots:
            return r.choice(self.slots[name])
        if name == "num":
            return str(r.choice([r.randint(12, 99), r.randint(100, 999), r.randint(1000, 9800)]))
        if name == "pct":
            return "%d.%d%%" % (r.randint(3, 38), r.randint(0, 9))
        if name == "date_zh":
            return "%d年%d月%d日" % (r.randint(2019, 2025), r.randint(1, 12), r.randint(1, 28))
        if name == "date_en":
            months = ["January", "February", "March", "April", "May", "June", "July",
                      "August", "September", "October", "November", "December"]
            return "%s %d, %d" % (r.choice(months), r.randint(1, 28), r.randint(2019, 2025))
        if name == "price_cny":
            return "%s元" % money(r.randint(50, 250000) / 100 * 10)
        if name == "price_usd":
            return "$" + money(r.randint(500, 900000) / 100)
        raise KeyError(name)

    def sentence(self, lang):
        pool = self.pools[lang]
        if not pool:  # walk all templates in a shuffled order before repeating any
            pool.extend(self.templates[lang])
            self.rng.shuffle(pool)
        return self.fill(pool.pop())

    def fill(self, template):
        """The template with each {slot} replaced by a value drawn from its list."""
        used = set()

        def value(m):
            for _ in range(20):  # the same slot twice in a sentence gets two values
                v = self._slot(m.group(1))
                if v not in used:
                    break
            used.add(v)
            return v
        return re.sub(r"\{(\w+)\}", value, template)

    def paragraph(self, lang, n):
        """n sentences; lang 'mixed' alternates Chinese and English sentences."""
        parts = []
        for i in range(n):
            l = lang if lang != "mixed" else ("zh" if (i + self.rng.randint(0, 1)) % 2 == 0 else "en")
            parts.append(self.sentence(l))
        return join_sentences(parts)

    def item(self, name):
        return self.rng.choice(self.slots[name])


def money(v):
    return "{:,.2f}".format(v)


def join_sentences(parts):
    out = ""
    for p in parts:
        if out and (out[-1].isascii() or p[0].isascii()):
            out += " "
        out += p
    return out


# ------------------------------------------------------------------ wrapping

NO_LINE_START = set("，。、；：？！”’）》」』%,.;:?!)")


def char_em(ch):
    """Rough advance width in ems, kept on the wide side so lines never overrun."""
    if unicodedata.east_asian_width(ch) in "WF":
        return 1.0
    if ch == " ":
        return 0.3
    if ch in "iljI.,:;'|!()[]":
        return 0.32
    if ch in "mwMW@%":
        return 0.92
    if ch.isupper():
        return 0.7
    return 0.58


def wrap(text, width_px, size_px):
    """Greedy wrap: English words stay whole, CJK may break between any two chars."""
    budget = width_px / size_px
    tokens = re.findall(r"[!-~]+|\s+|.", text)
    lines, line, used = [], "", 0.0
    for tok in tokens:
        if tok.isspace():
            if line:
                line += " "
                used += char_em(" ")
            continue
        w = sum(char_em(c) for c in tok)
        if line and used + w > budget and tok[0] not in NO_LINE_START:
            lines.append(line.rstrip())
            line, used = "", 0.0
        line += tok
        used += w
    if line.strip():
        lines.append(line.rstrip())
    return lines


# ------------------------------------------------------------------- drawing

def run(cmd):
    subprocess.run(cmd, check=True, stdout=subprocess.DEVNULL)


def label_escape(s):
    return s.replace("\\", "\\\\").replace("%", "%%")


class Block:
    """A transparent picture of some lines of text, and those lines."""

    def __init__(self, path, lines, truth):
        self.path, self.lines, self.truth = path, lines, truth
        out = subprocess.run(["identify", "-format", "%w %h", path],
                             check=True, capture_output=True, text=True).stdout
        self.w, self.h = map(int, out.split())


class Page:
    """Collects text blocks at positions, then draws them on a background."""

    def __init__(self, tmp, seed):
        self.tmp, self.seed, self.items, self.n = tmp, seed, [], 0

    def block(self, lines, font, size, fill="#111111", spacing=None, truth=None, align="West"):
        """lines may hold '' for a paragraph gap; truth overrides the expected lines.

        Each line is its own label (one long multi-line label trips an ImageMagick
        size error), stacked with a fixed gap.
        """
        self.n += 1
        path = os.path.join(self.tmp, "b%d.png" % self.n)
        if spacing is None:
            spacing = round(size * 0.35)
        cmd = ["convert", "-background", "none", "-fill", fill, "-font", font,
               "-pointsize", str(size)]
        for i, line in enumerate(lines):
            if i:
                cmd += ["-size", "1x%d" % spacing, "xc:none", "+size"]
            if line:
                cmd.append("label:" + label_escape(line))
            else:  # paragraph gap
                cmd += ["-size", "1x%d" % size, "xc:none", "+size"]
        run(cmd + ["-gravity", align, "-append", "+repage", path])
        if truth is None:
            truth = [re.sub(r"\s+", " ", l).strip() for l in lines]
        return Block(path, lines, [t for t in truth if t])

    def table(self, rows, font, size, edges, fill="#111111", pitch=None):
        """Rows of cells: the first cell starts at x=0, cell k ends at edges[k-1]."""
        self.n += 1
        path = os.path.join(self.tmp, "b%d.png" % self.n)
        pitch = pitch or round(size * 1.6)
        w, h = edges[-1] + 4, pitch * len(rows)
        cmd = ["convert", "-size", "%dx%d" % (w, h), "xc:none", "-fill", fill, "-font", font,
               "-pointsize", str(size)]
        for r, row in enumerate(rows):
            for k, cell in enumerate(row):
                if not cell:
                    continue
                if k == 0:
                    cmd += ["-gravity", "NorthWest", "-annotate", "+0+%d" % (r * pitch)]
                else:
                    cmd += ["-gravity", "NorthEast", "-annotate", "+%d+%d" % (w - edges[k - 1], r * pitch)]
                cmd.append(label_escape(cell))
        run(cmd + [path])
        truth = [" ".join(c for c in row if c) for row in rows]
        return Block(path, [], [t for t in truth if t])

    def place(self, block, x, y):
        self.items.append((block, x, y))
        return block

    def truth(self):
        out = []
        for b, _, _ in self.items:
            out.extend(b.truth)
        return out

    def render(self, out_path, w, h, background, post=(), margin=40):
        w = max([w] + [x + b.w + margin for b, x, _ in self.items])
        h = max([h] + [y + b.h + margin for b, _, y in self.items])
        if callable(background):
            background = background(w, h)
        cmd = ["convert", "-seed", str(self.seed), "-size", "%dx%d" % (w, h)] + list(background)
        for b, x, y in self.items:
            cmd += [b.path, "-geometry", "+%d+%d" % (x, y), "-composite"]
        cmd += ["-seed", str(self.seed)] + list(post) + ["-alpha", "off", "-depth", "8"]
        if out_path.endswith(".png"):
            cmd += PNG_CLEAN
        run(cmd + [out_path])


def stack(page, blocks, x, y, gap):
    """Places blocks one under another; returns the y below the last one."""
    for b in blocks:
        page.place(b, x, y)
        y += b.h + gap
    return y


# --------------------------------------------------------------- the kinds

def lang_fonts(lang, serif=False):
    if lang == "en":
        return (SERIF_EN if serif else SANS_EN), BOLD_EN
    return (SERIF_ZH if serif else SANS_ZH), BOLD_ZH


def title_text(src, lang):
    if lang == "en":
        return src.item("company_en") + " " + src.rng.choice(
            ["Annual Review", "Staff Newsletter", "Project Update", "Notice to Residents"])
    return src.item("company_zh") + src.rng.choice(["年度工作总结", "内部通讯", "项目进展报告", "关于近期工作的通知"])


def paragraphs_lines(src, lang, n_par, sent_range, width, size):
    lines = []
    for i in range(n_par):
        if i:
            lines.append("")
        lines += wrap(src.paragraph(lang, src.rng.randint(*sent_range)), width, size)
    return lines


def make_doc(page, src, lang, serif, size=30, width=1240, paras=(4, 5)):
    margin = 90
    body, bold = lang_fonts(lang, serif)
    text_w = width - 2 * margin
    title = page.block([title_text(src, lang)], bold, size + 12)
    body_lines = paragraphs_lines(src, lang, src.rng.randint(*paras), (3, 5), text_w, size)
    stack(page, [title, page.block(body_lines, body, size)], margin, margin, size)
    return width, round(width * 1.414)


def kind_doc(page, src, i):
    lang = ["zh", "en", "mixed"][i % 3]
    w, h = make_doc(page, src, lang, serif=(i % 2 == 1), size=28 + 2 * (i % 3))
    return lang, w, h, ["xc:white"], []


def kind_small(page, src, i):
    lang = "zh" if i % 2 == 0 else "en"
    size = [12, 13, 14, 15, 16, 14][i % 6]
    font = SANS_ZH if lang == "zh" else SANS_EN
    pool = src.slots["ui_" + lang]
    menu = src.rng.sample(pool[:8], 6)
    page.place(page.block(["   ".join(menu)], font, size, fill="#222222"), 16, 10)
    msgs = []
    for _ in range(src.rng.randint(8, 12)):
        who = src.item("name_" + lang)
        msgs.append("%02d:%02d %s: %s" % (src.rng.randint(8, 22), src.rng.randint(0, 59),
                                          who, src.sentence(lang)))
    lines = []
    for m in msgs:
        lines += wrap(m, 1280 - 240, size)
    body = page.place(page.block(lines, font, size, fill="#303030", spacing=round(size * 0.6)),
                      200, 10 + size * 3)
    status = page.block(["  ".join(src.rng.sample(pool[8:], 3))], font, size, fill="#505050")
    page.place(status, 16, max(800 - size * 3, body.h + 10 + size * 5))
    bg = ["xc:#f4f5f7", "-fill", "#e2e4e8", "-draw", "rectangle 0,0 1280,%d" % (size * 2 + 12)]
    return lang, 1280, 800, bg, []


def kind_scan(page, src, i):
    lang = ["zh", "en", "mixed"][i % 3]
    w, h = make_doc(page, src, lang, serif=(i % 2 == 0), size=34, width=1700, paras=(2, 3))
    angle = [1.2, -1.8, 2.5, -3.0, 1.6, -2.2][i % 6]
    post = ["-colorspace", "Gray", "-blur", "0x%.1f" % (0.6 + 0.15 * (i % 3)),
            "-attenuate", "1.5", "+noise", "Gaussian",
            "-background", "#f1efe8", "-rotate", str(angle), "+repage",
            "-quality", str(30 + 5 * (i % 3))]
    return lang, w, h, ["xc:#f1efe8"], post


BACKGROUNDS = [
    lambda w, h: ["gradient:#fdf1d6-#e3c8a0"],
    lambda w, h: ["xc:#efe6d2", "-attenuate", "0.6", "+noise", "Multiplicative", "-blur", "0x1.5"],
    lambda w, h: ["-size", "%dx%d" % (w // 10, h // 10), "plasma:#d7ecf7-#a9cfe6",
                  "-blur", "0x2", "-resize", "%dx%d!" % (w, h)],
    lambda w, h: ["xc:#e6f2e0", "-fill", "#cfe3c5", "-draw",
                  " ".join("rectangle 0,%d %d,%d" % (y, w, y + 14) for y in range(0, h, 40))],
    lambda w, h: ["gradient:#fbe3e8-#f6f0c8", "-rotate", "90", "-resize", "%dx%d!" % (w, h)],
]


def kind_background(page, src, i):
    lang = ["zh", "en", "mixed", "zh", "en"][i % 5]
    body, bold = lang_fonts(lang, serif=(i % 2 == 1))
    size = 32
    fill = ["#3b2a1a", "#1f2a44", "#12324a", "#1e3d1a", "#5a1f2b"][i % 5]
    title = page.block([title_text(src, lang)], bold, size + 10, fill=fill)
    lines = paragraphs_lines(src, lang, 2, (2, 3), 1600 - 180, size)
    stack(page, [title, page.block(lines, body, size, fill=fill)], 90, 80, size)
    return lang, 1600, 1000, BACKGROUNDS[i % 5], []


def kind_inverse(page, src, i):
    lang = ["zh", "en", "mixed", "en"][i % 4]
    body, bold = lang_fonts(lang)
    size = [22, 26, 30, 24][i % 4]
    fill = ["#e8e8e8", "#ffd866", "#9cdcfe", "#f2f2f2"][i % 4]
    bg = ["#1e1e1e", "#0b1f3a", "#2b2b2b", "#3a0f14"][i % 4]
    title = page.block([title_text(src, lang)], bold, size + 8, fill=fill)
    lines = paragraphs_lines(src, lang, 2, (2, 3), 1400 - 160, size)
    stack(page, [title, page.block(lines, body, size, fill=fill)], 80, 70, size)
    return lang, 1400, 900, ["xc:" + bg], []


def kind_receipt(page, src, i):
    lang = "zh" if i % 2 == 0 else "en"
    zh, r = lang == "zh", src.rng
    size, edges = 22, [300, 400]
    width = 2 * 30 + edges[-1]
    date = "%d-%02d-%02d %02d:%02d" % (r.randint(2021, 2025), r.randint(1, 12), r.randint(1, 28),
                                       r.randint(8, 21), r.randint(0, 59))
    head = [src.item("shop_" + lang), ("日期: " if zh else "Date: ") + date,
            ("单号: " if zh else "Order: ") + "%05d" % r.randint(1, 99999)]
    rows = [["品名", "数量", "金额"] if zh else ["Item", "Qty", "Amount"]]
    total = 0.0
    for name in r.sample(src.slots["item_" + lang], r.randint(4, 9)):
        qty = r.randint(1, 3)  # amounts are right-aligned in their column
        price = r.randint(3, 68) + r.choice([0, 0.5, 0.8, 0.99])
        total += qty * price
        rows.append([name, str(qty), money(qty * price)])
    paid = r.choice([total, float(int(total / 10) * 10 + 10)])
    rows += [[], ["合计" if zh else "Total", "", money(total)],
             ["实收" if zh else "Paid", "", money(paid)]]
    foot = ["谢谢惠顾，欢迎再次光临" if zh else "Thank you, please come again"]
    ink = "#262626"
    blocks = [page.block(head, MONO_ZH, size, fill=ink, align="Center"),
              page.table(rows, MONO_ZH, size, edges, fill=ink),
              page.block(foot, MONO_ZH, size, fill=ink)]
    y = 40
    for k, blk in enumerate(blocks):
        x = 30 if k == 1 else max(30, (width - blk.w) // 2)
        page.place(blk, x, y)
        y += blk.h + size
    bg = ["xc:#fbfbf8", "-attenuate", "0.2", "+noise", "Gaussian"]
    return lang, width, 400, bg, []


def kind_twocol(page, src, i):
    lang = ["zh", "en", "mixed", "zh"][i % 4]
    body, bold = lang_fonts(lang, serif=(i % 2 == 0))
    size, width, margin, gap = 28, 2000, 100, 110
    col_w = (width - 2 * margin - gap) // 2
    title = page.place(page.block([title_text(src, lang)], bold, size + 14), margin, margin)
    top = margin + title.h + size * 2
    left = page.place(page.block(paragraphs_lines(src, lang, 3, (3, 4), col_w, size), body, size),
                      margin, top)
    page.place(page.block(paragraphs_lines(src, lang, 3, (3, 4), col_w, size), body, size),
               margin + max(col_w, left.w) + gap, top)
    return lang, width, round(width * 1.3), ["xc:white"], []


def kind_dense(page, src, i):
    lang = "zh" if i % 2 == 0 else "en"
    body, _ = lang_fonts(lang, serif=True)
    size, width, margin = (36, 2480, 120) if lang == "zh" else (24, 2480, 120)
    lines, count = [], 0
    target = 1500 if lang == "zh" else 2500
    while count < target:
        if lines:
            lines.append("")
        par = src.paragraph(lang, src.rng.randint(4, 7))
        count += len(re.sub(r"\s", "", par)) if lang == "zh" else len(par.split())
        lines += wrap(par, width - 2 * margin, size)
    page.place(page.block(lines, body, size, spacing=round(size * 0.3)), margin, margin)
    return lang, width, 3508, ["xc:white"], []


def kind_photo(page, src, i):
    lang = ["zh", "en", "mixed"][i % 3]
    w, h = 4000, 3000
    body, bold = lang_fonts(lang)
    size = [120, 100, 110][i % 3]
    lines = [title_text(src, lang)] + wrap(src.paragraph(lang, 2), 2600, size - 30)[:3]
    head = page.block(lines[:1], bold, size, fill="#1b1b1b")
    rest = page.block(lines[1:], body, size - 30, fill="#1b1b1b")
    x, y = [500, 700, 450][i % 3], [900, 1100, 700][i % 3]
    stack(page, [head, rest], x, y, size // 2)
    bw = max(head.w, rest.w) + 160
    bh = head.h + rest.h + size // 2 + 160
    tint = ["#5a7d9a-#c9d6df", "#6b8f5e-#d9e3c4", "#8a6d5a-#e6d3c2"][i % 3]
    bg = ["-size", "400x300", "plasma:" + tint, "-blur", "0x3", "-resize", "%dx%d!" % (w, h),
          "-fill", "#f7f4ecdd", "-draw", "roundrectangle %d,%d %d,%d 40,40" % (x - 80, y - 80, x - 80 + bw, y - 80 + bh)]
    post = ["-attenuate", "0.3", "+noise", "Gaussian", "-quality", "88"]
    return lang, w, h, bg, post


# kind -> (how many pictures, drawing function, file type)
KINDS = {
    "doc": (8, kind_doc, "png"),
    "small": (6, kind_small, "png"),
    "scan": (6, kind_scan, "jpg"),
    "background": (5, kind_background, "png"),
    "inverse": (4, kind_inverse, "png"),
    "receipt": (4, kind_receipt, "png"),
    "twocol": (4, kind_twocol, "png"),
    "dense": (2, kind_dense, "png"),
    "photo": (3, kind_photo, "jpg"),
}

# Kinds typeset by a real layout engine rather than drawn line by line:
# kind -> (how many pictures, render function). See magazine.py.
TYPESET_KINDS = {
    "magazine": (12, magazine.render),
}

# Pictures of these kinds are also turned by each angle (clockwise), as kinds rot90,
# rot180 and rot270 sharing the upright picture's ground truth. Turned pictures are
# PNG so that they hold exactly the upright picture's pixels (no second JPEG loss).
ROTATE_FROM = ("doc", "scan", "receipt", "dense", "magazine")
ANGLES = (90, 180, 270)


# ---------------------------------------------------------------- building

def stamp():
    h = hashlib.sha256()
    inputs = [os.path.join(TEXT_DIR, n) for n in sorted(os.listdir(TEXT_DIR))]
    for path in inputs + [os.path.abspath(__file__), os.path.abspath(magazine.__file__)]:
        with open(path, "rb") as f:
            h.update(os.path.basename(path).encode() + b"\0" + f.read())
    try:
        ver = subprocess.run(["convert", "-version"], capture_output=True, text=True).stdout
    except OSError:
        ver = ""
    h.update(ver.splitlines()[0].encode() if ver else b"")
    h.update(magazine.tool_versions().encode())
    return h.hexdigest()


def build(out_dir):
    tmp_out = out_dir + ".tmp"
    shutil.rmtree(tmp_out, ignore_errors=True)
    os.makedirs(tmp_out)
    manifest = []
    seed = 1000
    for kind, (count, draw, ext) in KINDS.items():
        for i in range(count):
            seed += 1
            name = "%s-%02d" % (kind, i + 1)
            with tempfile.TemporaryDirectory() as tmp:
                page = Page(tmp, seed)
                lang, w, h, bg, post = draw(page, TextSource(seed), i)
                image = "%s.%s" % (name, ext)
                page.render(os.path.join(tmp_out, image), w, h, bg, post)
            truth = page.truth()
            with open(os.path.join(tmp_out, name + ".txt"), "w", encoding="utf-8") as f:
                f.write("\n".join(truth) + "\n")
            manifest.append({"name": name, "kind": kind, "group": "generated", "lang": lang,
                             "image": image, "truth": name + ".txt"})
            print("  %s  %s, %d lines" % (image, lang, len(truth)), file=sys.stderr)
    missing = magazine.missing_tools()
    for kind, (count, render) in TYPESET_KINDS.items():
        if missing:
            print("  %s: skipped, %s not installed (bench/peers/setup.sh installs them)" % (
                kind, ", ".join(missing)), file=sys.stderr)
            continue
        def typeset(i, seed):
            image = "%s-%02d.png" % (kind, i + 1)
            with tempfile.TemporaryDirectory() as tmp:
                return image, render(tmp, os.path.join(tmp_out, image), TextSource(seed), i, seed)
        # The work is in child processes (Chromium, pdftoppm, ImageMagick): two pages at a time
        # keep both cores busy; each page has its own seed, so the order of work does not matter.
        with concurrent.futures.ThreadPoolExecutor(2) as pool:
            jobs = [pool.submit(typeset, i, seed + 1 + i) for i in range(count)]
            seed += count
            for job in jobs:
                image, (lang, truth, about) = job.result()
                name = image[:-len(".png")]
                with open(os.path.join(tmp_out, name + ".txt"), "w", encoding="utf-8") as f:
                    f.write("\n".join(truth) + "\n")
                manifest.append(dict({"name": name, "kind": kind, "group": "generated", "lang": lang,
                                      "image": image, "truth": name + ".txt"}, **about))
                print("  %s  %s, %s, %d lines" % (image, lang, ", ".join(about.values()), len(truth)),
                      file=sys.stderr)
    for angle in ANGLES:
        for pic in [p for p in manifest if p["kind"] in ROTATE_FROM]:
            name = "%s-rot%d" % (pic["name"], angle)
            image = name + ".png"
            # The turned copy keeps what the upright file says about its resolution (a scanner
            # writes it whichever way up the page lay): -strip would drop it.
            run(["convert", os.path.join(tmp_out, pic["image"]), "-rotate", str(angle), "+repage",
                 "-define", "png:exclude-chunks=date,time", os.path.join(tmp_out, image)])
            manifest.append({"name": name, "kind": "rot%d" % angle, "group": "rotated",
                             "lang": pic["lang"], "image": image, "truth": pic["truth"],
                             "source": pic["name"]})
            print("  %s  turned from %s" % (image, pic["image"]), file=sys.stderr)
    with open(os.path.join(tmp_out, "manifest.json"), "w", encoding="utf-8") as f:
        json.dump(manifest, f, ensure_ascii=False, indent=1)
    shutil.rmtree(out_dir, ignore_errors=True)
    os.rename(tmp_out, out_dir)


def is_current(out_dir, want=None):
    """Whether the corpus in out_dir was rendered from the generator, word lists and tools as
    they are now: a corpus made by an older generator gives another benchmark's verdict."""
    stamp_file = os.path.join(out_dir, "stamp")
    if not os.path.exists(stamp_file):
        return False
    with open(stamp_file) as f:
        return f.read().strip() == (want or stamp())


def ensure(out_dir, force=False):
    want = stamp()
    if not force and is_current(out_dir, want):
        return False
    print("rendering corpus into %s" % out_dir, file=sys.stderr)
    build(out_dir)
    with open(os.path.join(out_dir, "stamp"), "w") as f:
        f.write(want + "\n")
    return True


def main():
    ap = argparse.ArgumentParser(description="Render the OCR benchmark corpus.")
    ap.add_argument("--out", default=DEFAULT_OUT, help="corpus folder (default %(default)s)")
    ap.add_argument("--force", action="store_true", help="render even if the stamp matches")
    args = ap.parse_args()
    if not shutil.which("convert"):
        sys.exit("ImageMagick's convert is needed (apt-get install imagemagick)")
    if not ensure(args.out, args.force):
        print("corpus up to date: %s" % args.out, file=sys.stderr)


if __name__ == "__main__":
    main()
