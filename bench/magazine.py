"""Magazine pages for the benchmark corpus, typeset by headless Chromium.

Each page is an HTML page of absolutely placed boxes on a US letter sheet: a
running header and footer, a title and deck over some of the columns, two to
four columns of uneven width, a generated photo spanning columns with its
caption, and a pull quote. The article text flows from one column frame to the
next: a small script in the page fills each frame with as much text as fits
and carries the rest on (the browser breaks the lines, as a typesetter would).
Chromium prints the page to PDF; pdftoppm rasterises it at 300 dpi, and for
the scanned variant ImageMagick makes it a skewed, noisy 1-bit picture.

The ground truth is read back from the PDF, not predicted: pdftotext -bbox
gives every printed word with its box, each word goes to the layout box that
holds it, words are grouped into printed lines by their vertical position, and
the boxes are listed in the order a reader takes them (what stands above the
columns, then each column top to bottom with what lies inside its width, then
what stands below). Every word must fall inside exactly one box that carries
text, or the page fails to build.
"""
import html
import json
import math
import os
import re
import shutil
import subprocess
import unicodedata

HERE = os.path.dirname(os.path.abspath(__file__))
TEXT_FILE = os.path.join(HERE, "text", "magazine.txt")

PAGE_W, PAGE_H = 816, 1056        # CSS px: US letter at 96 px per inch
DPI = 300
PX_PER_PT = 96 / 72               # pdftotext reports PDF points
X0, X1 = 54, 762                  # text area, left and right
Y0, Y1 = 66, 990                  # text area, top and bottom (header and footer outside)
GUTTER = 18

TOOLS = ("chromium", "pdftotext", "pdftoppm")

# Options that keep PNG output free of timestamps, so reruns give equal files.
PNG_CLEAN = ["-strip", "-define", "png:exclude-chunks=date,time"]


def missing_tools():
    return [t for t in TOOLS if not shutil.which(t)]


def tool_versions():
    """One line per tool, for the corpus stamp: a new typesetter means new pages."""
    out = []
    for cmd in (["chromium", "--version"], ["pdftotext", "-v"]):
        try:
            res = subprocess.run(cmd, capture_output=True, text=True, timeout=60)
            text = (res.stdout + res.stderr).strip().splitlines()
            out.append(next((l for l in text if re.search(r"\d+\.\d+", l)), "?"))
        except (OSError, subprocess.TimeoutExpired):
            out.append(cmd[0] + " missing")
    return "\n".join(out)


# ------------------------------------------------------------------ text

def load_sections():
    """[section] headers, then values: split on | where a line has one, else the whole line."""
    out, current = {}, None
    with open(TEXT_FILE, encoding="utf-8") as f:
        for line in f:
            line = line.strip()
            if not line or line.startswith("#"):
                continue
            m = re.fullmatch(r"\[(\w+)\]", line)
            if m:
                current = out.setdefault(m.group(1), [])
            elif "|" in line:
                current.extend(v.strip() for v in line.split("|") if v.strip())
            else:
                current.append(line)
    return out


class Copy:
    """Everything printed on one page, drawn from the word lists with the page's seed."""

    def __init__(self, src, lang, n_subheads=3):
        self.src, self.lang = src, lang
        words = load_sections()

        def pick(name):
            return src.fill(src.rng.choice(words["%s_%s" % (name, lang)]))
        r = src.rng
        self.masthead = pick("masthead")
        self.section = pick("section")
        year = r.randint(2021, 2025)
        if lang == "en":
            self.issue = "%s %d" % (r.choice(words["month_en"]), year)
        else:
            self.issue = "%d年%d月号" % (year, r.randint(1, 12))
        self.page_no = r.randint(12, 148)
        self.title = pick("headline")
        self.deck = pick("deck")
        self.byline = pick("byline")
        self.captions = [pick("caption") for _ in range(2)]
        self.sidebar_head = pick("sidebar")
        self.subheads = r.sample(words["subhead_" + lang], n_subheads)
        self.main = self.story(60, self.subheads)
        self.side = self.story(16, [])
        # The pull quote is one more sentence from the same lists (not one printed above it).
        self.quote = src.sentence(lang)

    def story(self, n_par, subheads):
        """Paragraphs ("p", text) with a subhead ("h", text) every few paragraphs."""
        out, heads = [], list(subheads)
        for i in range(n_par):
            if i and i % 6 == 0 and heads:
                out.append(("h", heads.pop(0)))
            out.append(("p", self.src.paragraph(self.lang, self.src.rng.randint(2, 4))))
        return out


# ---------------------------------------------------------------- layout

class Grid:
    """Columns of uneven width across the text area; fracs are their shares."""

    def __init__(self, fracs):
        avail = X1 - X0 - GUTTER * (len(fracs) - 1)
        total = sum(fracs)
        self.cols, x = [], X0
        for f in fracs:
            w = round(avail * f / total)
            self.cols.append((x, w))
            x += w + GUTTER
        last_x, _ = self.cols[-1]
        self.cols[-1] = (last_x, X1 - last_x)

    def span(self, a, b=None):
        b = a if b is None else b
        x = self.cols[a][0]
        return x, self.cols[b][0] + self.cols[b][1] - x


def box(role, x, w, y, h, text=None, story=None):
    return {"role": role, "x": x, "w": w, "y": y, "h": h, "text": text, "story": story}


def opener(copy, x, w, y, title_h, deck_h):
    """Title, deck and byline stacked in a block of width w; returns them and the y below."""
    items = [box("title", x, w, y, title_h, copy.title)]
    y += title_h + 8
    items.append(box("deck", x, w, y, deck_h, copy.deck))
    y += deck_h + 6
    items.append(box("byline", x, w, y, 16, copy.byline))
    y += 16 + 8
    items.append(box("rule", x, w, y, 2))
    return items, y + 12


def column(x, w, y0, y1, story, inserts=()):
    """Frames of one column from y0 to y1, broken around the inserts (boxes that lie
    within the column's width, in the order they stand)."""
    items, y = [], y0
    for ins in inserts:
        if ins["y"] - 12 > y:
            items.append(box("frame", x, w, y, ins["y"] - 12 - y, story=story))
        items.append(ins)
        y = ins["y"] + ins["h"] + 12
    if y1 > y:
        items.append(box("frame", x, w, y, y1 - y, story=story))
    return items


def photo_with_caption(copy, k, x, w, y, photo_h, cap_h=30):
    return [box("photo", x, w, y, photo_h),
            box("caption", x, w, y + photo_h + 6, cap_h, copy.captions[k])]


def pull_quote(copy, x, w, y, h):
    return box("quote", x, w, y, h, copy.quote)


def sidebar(copy, x, w, y0, y1):
    """A tinted box with its own heading and a short story flowing down it."""
    pad = 10
    return [box("tint", x, w, y0, y1 - y0),
            box("sidehead", x + pad, w - 2 * pad, y0 + pad, 22, copy.sidebar_head),
            box("frame", x + pad, w - 2 * pad, y0 + pad + 30, y1 - y0 - 2 * pad - 30, story="side")]


# Each layout returns the page's boxes in reading order (boxes without text are
# left out of the ground truth wherever they stand).

def layout_two_wide(copy):
    """Two columns 63/37; title over the wide one; a photo inside the wide column;
    the narrow column carries the article on from the top, around a pull quote."""
    g = Grid([63, 37])
    x, w = g.span(0)
    items, y = opener(copy, x, w, Y0, 84, 54)
    items += column(x, w, y, Y1, "main", photo_with_caption(copy, 0, x, w, 560, 200))
    x, w = g.span(1)
    items += column(x, w, Y0, Y1, "main", [pull_quote(copy, x, w, 470, 130)])
    return items


def layout_two_photo_below(copy):
    """Two columns 44/56 under a full-width title; a photo across both at the foot."""
    g = Grid([44, 56])
    items, y = opener(copy, X0, X1 - X0, Y0, 48, 40)
    photo_y = 700
    x, w = g.span(0)
    items += column(x, w, y, photo_y - 12, "main")
    x, w = g.span(1)
    items += column(x, w, y, photo_y - 12, "main", [pull_quote(copy, x, w, 380, 110)])
    items += photo_with_caption(copy, 0, X0, X1 - X0, photo_y, 240, 36)
    return items


def layout_three_sidebar(copy):
    """Three columns 36/36/28: title, deck and a photo over the first two; the
    narrow third column is a sidebar from the top of the page."""
    g = Grid([36, 36, 28])
    x, w = g.span(0, 1)
    items, y = opener(copy, x, w, Y0, 50, 40)
    items += photo_with_caption(copy, 0, x, w, y, 210)
    y += 210 + 6 + 30 + 14
    x, w = g.span(0)
    items += column(x, w, y, Y1, "main", [pull_quote(copy, x, w, 640, 120)])
    x, w = g.span(1)
    items += column(x, w, y, Y1, "main")
    x, w = g.span(2)
    items += sidebar(copy, x, w, Y0, Y1)
    return items


def layout_three_around(copy):
    """Three columns 40/30/30: the title over the first only; a photo spanning the
    other two at the top, the text of those columns starting under it."""
    g = Grid([40, 30, 30])
    x, w = g.span(0)
    items, y = opener(copy, x, w, Y0, 110, 74)
    items += column(x, w, y, Y1, "main")
    x, w = g.span(1, 2)
    items += photo_with_caption(copy, 0, x, w, Y0, 300, 32)
    y = Y0 + 300 + 6 + 32 + 14
    x, w = g.span(1)
    items += column(x, w, y, Y1, "main")
    x, w = g.span(2)
    items += column(x, w, y, Y1, "main", [pull_quote(copy, x, w, 640, 130)])
    return items


def layout_four_sidebar(copy):
    """Four columns 22/26/26/26: title over the first three, a photo spanning the
    second and third at the foot; the fourth is a sidebar from the top."""
    g = Grid([22, 26, 26, 26])
    x, w = g.span(0, 2)
    items, y = opener(copy, x, w, Y0, 52, 40)
    photo_y = 730
    x, w = g.span(0)
    items += column(x, w, y, Y1, "main", [pull_quote(copy, x, w, 520, 150)])
    x, w = g.span(1)
    items += column(x, w, y, photo_y - 12, "main")
    x, w = g.span(2)
    items += column(x, w, y, photo_y - 12, "main")
    x, w = g.span(1, 2)
    items += photo_with_caption(copy, 0, x, w, photo_y, 216, 32)
    x, w = g.span(3)
    items += sidebar(copy, x, w, Y0, Y1)
    return items


def layout_four_split(copy):
    """Four columns 30/20/25/25: title over the first two; a photo spanning the last
    two at the top; a small photo inside the narrow second column."""
    g = Grid([30, 20, 25, 25])
    x, w = g.span(0, 1)
    items, y = opener(copy, x, w, Y0, 90, 56)
    x, w = g.span(0)
    items += column(x, w, y, Y1, "main")
    x, w = g.span(1)
    items += column(x, w, y, Y1, "main", photo_with_caption(copy, 1, x, w, 600, 130, 60))
    x, w = g.span(2, 3)
    items += photo_with_caption(copy, 0, x, w, Y0, 260, 32)
    y = Y0 + 260 + 6 + 32 + 14
    x, w = g.span(2)
    items += column(x, w, y, Y1, "main")
    x, w = g.span(3)
    items += column(x, w, y, Y1, "main", [pull_quote(copy, x, w, 600, 150)])
    return items


LAYOUTS = [layout_two_wide, layout_two_photo_below, layout_three_sidebar,
           layout_three_around, layout_four_sidebar, layout_four_split]


def furniture(copy):
    """Running header above the text area; footer and page number below it."""
    left = copy.page_no % 2 == 0  # even pages carry the number on the left
    bar = " | " if copy.lang == "en" else "｜"
    head = [box("head", X0, 300, 28, 16, copy.masthead),
            box("head-right", X1 - 300, 300, 28, 16, copy.section + bar + copy.issue),
            box("headrule", X0, X1 - X0, 50, 1)]
    foot_text = box("foot", X0 + 60, X1 - X0 - 120, 1010, 16, copy.masthead + bar + copy.issue)
    number = box("folio", X0 if left else X1 - 50, 50, 1008, 18, str(copy.page_no))
    foot = [box("footrule", X0, X1 - X0, 1000, 1)] + ([number, foot_text] if left else [foot_text, number])
    return head, foot


# ------------------------------------------------------------------- HTML

FONTS = {
    "en": {"body": "'DejaVu Serif'", "sans": "'DejaVu Sans'", "stretch": "condensed",
           "body_px": 12.5, "leading": 1.36},
    "zh": {"body": "'Noto Serif CJK SC'", "sans": "'Noto Sans CJK SC'", "stretch": "normal",
           "body_px": 12.5, "leading": 1.62},
}

CSS = """
@page { size: 8.5in 11in; margin: 0; }
html, body { margin: 0; padding: 0; background: #fff; }
* { -webkit-print-color-adjust: exact; print-color-adjust: exact; box-sizing: border-box; }
.page { position: relative; width: %(W)dpx; height: %(H)dpx; overflow: hidden; color: #161616;
  font-family: %(body)s; font-stretch: %(stretch)s; font-size: %(body_px)spx; line-height: %(leading)s;
  font-variant-ligatures: none; }
.b { position: absolute; display: flex; flex-direction: column; }
.b > .in { flex: none; }
.frame { display: block; text-align: justify; line-break: strict; }
.frame p { margin: 0; text-indent: 1.2em; }
.frame p.first, .frame p.cont { text-indent: 0; }
.frame p.split { text-align-last: justify; }
.frame h3 { margin: 0.55em 0 0.15em; font: bold %(sub_px)spx/1.3 %(sans)s; font-stretch: %(stretch)s;
  color: #7a1d12; }
.frame > :first-child { margin-top: 0; }
.title { justify-content: flex-end; }
.title .in { font-family: %(sans)s; font-weight: bold; line-height: 1.08; color: #111; }
.deck .in { font-style: italic; line-height: 1.3; color: #333; }
.byline .in { font: bold 10.5px/1.4 %(sans)s; color: #7a1d12; }
.caption .in { font-family: %(sans)s; font-size: 10px; line-height: 1.35; color: #333; }
.quote { border-top: 2px solid #7a1d12; border-bottom: 2px solid #7a1d12; justify-content: center;
  padding: 6px 2px; }
.quote .in { font-weight: bold; font-style: italic; line-height: 1.25; color: #7a1d12; }
:lang(zh) .deck .in, :lang(zh) .quote .in { font-style: normal; }
.sidehead .in { font: bold 14px/1.3 %(sans)s; color: #7a1d12; }
.tint { background: #ece6d8; }
.photo { object-fit: cover; }
.rule { border-top: 2px solid #161616; height: 0 !important; }
.headrule, .footrule { border-top: 1px solid #555; height: 0 !important; }
.head .in, .head-right .in, .foot .in { font: 10px/1.5 %(sans)s; color: #444; }
.head .in { font-weight: bold; color: #161616; }
.head-right { align-items: flex-end; }
.foot { align-items: center; }
.folio .in { font: bold 12px/1.4 %(sans)s; }
.folio.right { align-items: flex-end; }
"""

# Fills the frames of each story in turn, and sizes the display type to its box.
SCRIPT = r"""
const data = JSON.parse(document.getElementById('data').textContent);

function overflows(el) {
  const inner = el.querySelector('.in');
  return inner.scrollHeight > el.clientHeight + 0.5 || inner.scrollWidth > el.clientWidth + 0.5;
}
// Largest font size in [lo, hi] (half-pixel steps) at which the text fits its box.
function fit(el, lo, hi) {
  const inner = el.querySelector('.in');
  let a = Math.round(lo * 2), b = Math.round(hi * 2);
  while (a < b) {
    const mid = (a + b + 1) >> 1;
    inner.style.fontSize = (mid / 2) + 'px';
    if (overflows(el)) b = mid - 1; else a = mid;
  }
  inner.style.fontSize = (a / 2) + 'px';
  if (overflows(el)) throw new Error('text does not fit its box: ' + inner.textContent);
}
for (const [sel, lo, hi] of data.fits)
  for (const el of document.querySelectorAll(sel)) fit(el, lo, hi);

function fits(frame) {
  const last = frame.lastElementChild;
  return !last || last.getBoundingClientRect().bottom <= frame.getBoundingClientRect().bottom + 0.01;
}
// English keeps words whole; Chinese may break after any character.
function tokens(text) { return text.match(/[!-~]+\s*|\S\s*/gu) || []; }
const SENTENCE_END = /[.!?\u3002\uff01\uff1f]["\u201d\u2019]?\s*$/;
const NO_LINE_START = /^[\uff0c\u3002\u3001\uff1b\uff1a\uff1f\uff01\u201d\u2019\uff09\u300b\u300d%,.;:?!)]/;

for (const story of data.stories) {
  const frames = story.frames.map(id => document.getElementById(id));
  let fi = 0, first = true;
  outer: for (const [tag, text] of story.paras) {
    let rest = tokens(text), cont = false;
    while (rest.length) {
      if (fi >= frames.length) break outer;
      const frame = frames[fi], last = fi === frames.length - 1;
      const el = document.createElement(tag === 'h' ? 'h3' : 'p');
      if (first) el.className = 'first';
      if (cont) el.className = 'cont';
      frame.appendChild(el);
      el.textContent = rest.join('');
      if (fits(frame)) { rest = []; break; }
      let k = 0;
      if (tag !== 'h') {
        let lo = 0, hi = rest.length - 1;
        while (lo < hi) {
          const mid = (lo + hi + 1) >> 1;
          el.textContent = rest.slice(0, mid).join('');
          if (fits(frame)) lo = mid; else hi = mid - 1;
        }
        k = lo;
        if (last) while (k > 0 && !SENTENCE_END.test(rest[k - 1])) k--;
        // the next frame must not open with a mark that may not start a line
        while (k > 0 && k < rest.length && NO_LINE_START.test(rest[k])) k--;
      }
      if (k === 0) {
        frame.removeChild(el);
        // a subhead is never left alone at the foot of a frame
        const prev = frame.lastElementChild;
        if (prev && prev.tagName === 'H3' && !last && frames[fi + 1]) {
          frame.removeChild(prev);
          frames[fi + 1].appendChild(prev);
        }
      } else {
        el.textContent = rest.slice(0, k).join('').trimEnd();
        if (!last) el.classList.add('split');
        first = false;
      }
      if (last) break outer;
      rest = rest.slice(k);
      cont = k > 0;
      fi++;
    }
    if (tag !== 'h') first = false;
  }
}
"""


def page_html(items, copy, photos):
    f = FONTS[copy.lang]
    css = CSS % dict(W=PAGE_W, H=PAGE_H, sub_px=f["body_px"] - 0.5, **f)
    body, stories, n_photo = [], {"main": [], "side": []}, 0
    for k, it in enumerate(items):
        it["id"] = "e%d" % k
        style = "left:%dpx;top:%dpx;width:%dpx;height:%dpx" % (it["x"], it["y"], it["w"], it["h"])
        role = it["role"]
        if role == "photo":
            body.append('<img id="%s" class="b photo" style="%s" src="%s">' % (
                it["id"], style, html.escape(photos[n_photo])))
            it["image"] = photos[n_photo]
            n_photo += 1
        elif role == "frame":
            stories[it["story"]].append(it["id"])
            body.append('<div id="%s" class="b frame" style="%s"></div>' % (it["id"], style))
        else:
            cls = role + (" right" if role == "folio" and it["x"] > PAGE_W / 2 else "")
            inner = '<div class="in">%s</div>' % html.escape(it["text"]) if it["text"] else ""
            body.append('<div id="%s" class="b %s" style="%s">%s</div>' % (it["id"], cls, style, inner))
    body_px = f["body_px"]
    data = {
        "stories": [{"frames": stories["main"], "paras": copy.main},
                    {"frames": stories["side"], "paras": copy.side}],
        "fits": [[".title", 22, 52], [".deck", body_px + 1, body_px + 5], [".quote", 14, 22],
                 [".caption", 9, 10.5]],
    }
    lang = "en" if copy.lang == "en" else "zh-Hans"
    return ('<!DOCTYPE html>\n<html lang="%s"><head><meta charset="utf-8"><style>%s</style></head>\n'
            '<body><div class="page">\n%s\n</div>\n<script id="data" type="application/json">%s</script>\n'
            '<script>%s</script></body></html>\n') % (
        lang, css, "\n".join(body), json.dumps(data, ensure_ascii=False).replace("</", "<\\/"), SCRIPT)


# ---------------------------------------------------------------- reading back

WORD_RE = re.compile(r'<word xMin="([\d.]+)" yMin="([\d.]+)" xMax="([\d.]+)" yMax="([\d.]+)">(.*?)</word>')


def pdf_words(pdf):
    """(x0, y0, x1, y1, text) of every printed word, in CSS px from the top left."""
    out = subprocess.run(["pdftotext", "-bbox", pdf, "-"], check=True, capture_output=True,
                         text=True).stdout
    words = []
    for m in WORD_RE.finditer(out):
        x0, y0, x1, y1 = (float(v) * PX_PER_PT for v in m.groups()[:4])
        words.append((x0, y0, x1, y1, html.unescape(m.group(5))))
    return words


def is_wide(ch):
    return unicodedata.east_asian_width(ch) in "WF"


def join_words(words):
    """One printed line from its words, left to right. pdftotext splits words where
    the glyphs part (a Chinese line is mostly one word). A gap of a space's width
    between two Latin words is a space; a split with no gap (as where Chromium tucks
    a closing mark against a full stop) is none, and so is any gap beside a Chinese
    character or mark: there it comes from justification, as Chinese takes no spaces."""
    words = sorted(words, key=lambda w: w[0])
    text = words[0][4]
    for prev, w in zip(words, words[1:]):
        if w[0] - prev[2] > 0.08 * (w[3] - w[1]) and not (is_wide(text[-1]) or is_wide(w[4][0])):
            text += " "
        text += w[4]
    return text


def group_lines(words):
    """Words of one box into printed lines, top to bottom. Words of one line share
    their vertical middle; glyph boxes of the next line may overlap them (the CJK
    faces' boxes are twice the line pitch of a tightly set quote), so a word joins
    a line only if the middles lie within a fifth of a glyph box."""
    lines = []
    for w in sorted(words, key=lambda w: (w[1] + w[3]) / 2):
        mid = (w[1] + w[3]) / 2
        if lines and abs(mid - lines[-1]["mid"]) < 0.2 * (w[3] - w[1]):
            lines[-1]["words"].append(w)
        else:
            lines.append({"mid": mid, "words": [w]})
    return [join_words(l["words"]) for l in lines]


def truth_lines(items, words, slack=1.5):
    """Assigns each word to the text box that holds it and returns the lines in the
    boxes' (reading) order. Raises if a word lies outside every box."""
    boxes = [it for it in items if it.get("text") or it["role"] == "frame"]
    held = {id(b): [] for b in boxes}
    for w in words:
        cx, cy = (w[0] + w[2]) / 2, (w[1] + w[3]) / 2
        home = [b for b in boxes if b["x"] <= cx <= b["x"] + b["w"] and b["y"] <= cy <= b["y"] + b["h"]]
        if len(home) != 1:
            raise RuntimeError("word %r at (%.0f, %.0f) lies in %d boxes" % (w[4], cx, cy, len(home)))
        b = home[0]
        # a glyph box may stand out of a tight line box by part of its height
        v_slack = slack + 0.5 * (w[3] - w[1])
        if (w[0] < b["x"] - slack or w[2] > b["x"] + b["w"] + slack
                or w[1] < b["y"] - v_slack or w[3] > b["y"] + b["h"] + v_slack):
            raise RuntimeError("word %r overruns its %s box" % (w[4], b["role"]))
        held[id(b)].append(w)
    out = []
    for b in boxes:
        if held[id(b)]:
            out += group_lines(held[id(b)])
    return out


# ---------------------------------------------------------------- rendering

def hills(rng, w, h, base, height, bumps):
    """Polygon points of a ridge line across the picture, closed along the bottom."""
    waves = [(rng.uniform(0.5, 1.0) * height / (k + 1), rng.uniform(1, 3) * (k + 1), rng.uniform(0, 6.3))
             for k in range(bumps)]
    pts = []
    for i in range(41):
        x = w * i / 40
        y = base - sum(a * (1 + math.sin(f * 6.283 * x / w + p)) / 2 for a, f, p in waves)
        pts.append("%d,%d" % (x, y))
    return " ".join(pts + ["%d,%d" % (w, h), "0,%d" % h])


PALETTES = [  # sky top, sky bottom, far ridge, near ridge
    ("#7fa9cc", "#e9eff2", "#8a9bb0", "#3f5b3a"),
    ("#c98f6b", "#f3dcc0", "#9a7a78", "#4d3b35"),
    ("#9fb7c4", "#eef1ee", "#a3aaa0", "#56684a"),
    ("#6d86a8", "#d6dde6", "#7d8797", "#2f3f4f"),
]


def make_photo(path, rng, w, h):
    """A photo-like landscape: a sky, two ridges and a grain of fractal texture."""
    sky0, sky1, far, near = rng.choice(PALETTES)
    subprocess.run(
        ["convert", "-size", "%dx%d" % (w, h), "gradient:%s-%s" % (sky0, sky1),
         "-fill", far, "-draw", "polygon " + hills(rng, w, h, h * 0.62, h * 0.35, 3),
         "-fill", near, "-draw", "polygon " + hills(rng, w, h, h * 0.9, h * 0.4, 2),
         "(", "-seed", str(rng.randint(1, 10 ** 6)), "-size", "%dx%d" % (w // 8, h // 8), "plasma:",
         "-colorspace", "Gray", "-auto-level", "-resize", "%dx%d!" % (w, h), ")",
         "-compose", "SoftLight", "-composite", "-blur", "0x1.5",
         "-attenuate", "0.4", "+noise", "Gaussian", "-quality", "88", path],
        check=True)


def chromium_pdf(html_path, pdf_path, profile):
    subprocess.run(
        ["chromium", "--headless", "--no-sandbox", "--disable-gpu", "--no-first-run",
         "--disable-extensions", "--disable-dev-shm-usage", "--hide-scrollbars",
         "--user-data-dir=" + profile, "--window-size=%d,%d" % (PAGE_W, PAGE_H),
         "--no-pdf-header-footer", "--run-all-compositor-stages-before-draw",
         "--virtual-time-budget=5000", "--print-to-pdf=" + pdf_path, "file://" + html_path],
        check=True, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL, timeout=120)
    if not os.path.exists(pdf_path):
        raise RuntimeError("chromium made no PDF from %s" % html_path)


def rasterise(pdf, out_path, scanned, seed, items, tmp):
    """The PDF at 300 dpi: as printed (RGB), or as a 1-bit scan of the printed page."""
    base = os.path.join(tmp, "raster")
    subprocess.run(["pdftoppm", "-r", str(DPI), "-singlefile", "-png"]
                   + (["-gray"] if scanned else []) + [pdf, base], check=True)
    if not scanned:
        os.replace(base + ".png", out_path)
        return
    scale = DPI / 96
    cmd = ["convert", base + ".png"]
    # Photos become a halftone screen, as a 1-bit scanner renders them; then the page
    # is blurred a little, turned by 0.5-1.5 degrees, speckled and cut to black and white.
    for it in items:
        if it["role"] == "photo":
            cmd += ["-region", "%dx%d+%d+%d" % (it["w"] * scale, it["h"] * scale,
                                                it["x"] * scale, it["y"] * scale),
                    "-ordered-dither", "h6x6a"]
    angle = (0.5 + (seed % 11) / 10) * (1 if seed % 2 else -1)
    cmd += ["+region", "-blur", "0x0.6", "-background", "white", "-rotate", "%.2f" % angle,
            "-gravity", "center", "-extent", "%dx%d" % (PAGE_W * scale, PAGE_H * scale),
            "-seed", str(seed), "-attenuate", "0.5", "+noise", "Gaussian",
            "-attenuate", "0.04", "+noise", "Impulse", "-threshold", "68%", "-type", "bilevel"]
    subprocess.run(cmd + PNG_CLEAN + [out_path], check=True)


def render(tmp, out_path, src, i, seed):
    """Typesets magazine page i into out_path (PNG); returns (lang, ground-truth lines)."""
    lang = "en" if i % 2 == 0 else "zh"
    layout = LAYOUTS[(i // 2) % len(LAYOUTS)]
    scanned = (i // 2 + i) % 2 == 1
    copy = Copy(src, lang)
    head, foot = furniture(copy)
    items = head + layout(copy) + foot
    photos = []
    for k, it in enumerate(it for it in items if it["role"] == "photo"):
        path = os.path.join(tmp, "photo%d.jpg" % k)
        make_photo(path, src.rng, round(it["w"] * DPI / 96), round(it["h"] * DPI / 96))
        photos.append(path)
    html_path = os.path.join(tmp, "page.html")
    with open(html_path, "w", encoding="utf-8") as f:
        f.write(page_html(items, copy, photos))
    pdf = os.path.join(tmp, "page.pdf")
    chromium_pdf(html_path, pdf, os.path.join(tmp, "profile"))
    lines = truth_lines(items, pdf_words(pdf))
    rasterise(pdf, out_path, scanned, seed, items, tmp)
    return lang, lines, {"layout": layout.__name__[len("layout_"):],
                         "variant": "scanned" if scanned else "clean"}
