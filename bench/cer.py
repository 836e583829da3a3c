"""Character error rate and line-count error for OCR output against ground truth.

The edit distance is exact Levenshtein (unit cost insert, delete, substitute),
computed with Myers' bit-vector algorithm in Hyyrö's formulation: one column of
the DP table is held in a Python integer, one bit per character of the shorter
string, so a 15,000 x 15,000 comparison takes well under a second.

The order-free distance ignores reading order: it compares the two texts as
multisets of characters (NFKC, whitespace removed). With M reference characters
missing from the output and X output characters not in the reference (both
counted with multiplicity), it is max(M, X): one substitution accounts for one
of each, the rest are plain insertions or deletions. It never exceeds the edit
distance and equals it when the output holds the right characters in the right
order, so CER minus order-free CER is the part of the error due to order alone
(lines or columns read in another order, words moved).
"""
import collections
import re
import unicodedata


def levenshtein(a, b):
    """Exact edit distance between two sequences of hashable items."""
    if len(a) < len(b):
        a, b = b, a
    m = len(b)
    if m == 0:
        return len(a)
    peq = {}
    for i, ch in enumerate(b):
        peq[ch] = peq.get(ch, 0) | (1 << i)
    mask = (1 << m) - 1
    high = 1 << (m - 1)
    pv, mv, score = mask, 0, m
    for ch in a:
        eq = peq.get(ch, 0)
        xv = eq | mv
        xh = (((eq & pv) + pv) ^ pv) | eq
        ph = mv | (~(xh | pv) & mask)
        mh = pv & xh
        if ph & high:
            score += 1
        elif mh & high:
            score -= 1
        ph = ((ph << 1) | 1) & mask
        mh = (mh << 1) & mask
        pv = mh | (~(xv | ph) & mask)
        mv = ph & xv
    return score


def lines_of(text):
    """Non-empty lines, stripped."""
    return [l.strip() for l in text.splitlines() if l.strip()]


def squeeze(text):
    """NFKC, every whitespace character dropped."""
    return re.sub(r"\s+", "", unicodedata.normalize("NFKC", text))


def spaced(text):
    """NFKC, lines joined by one space, every run of whitespace made one space."""
    return re.sub(r"\s+", " ", unicodedata.normalize("NFKC", text)).strip()


def order_free(a, b):
    """max(missing, extra) between two strings taken as multisets of characters."""
    ca, cb = collections.Counter(a), collections.Counter(b)
    return max(sum((ca - cb).values()), sum((cb - ca).values()))


def errors(truth, hyp):
    """Edit distances and reference lengths for one picture.

    Returns dict: dist/len with whitespace removed, of_dist the order-free
    distance on the same strings (over len too), dist_ws/len_ws with whitespace
    collapsed, and the absolute difference of non-empty line counts.
    """
    t, h = squeeze(truth), squeeze(hyp)
    tw, hw = spaced(truth), spaced(hyp)
    return {
        "dist": levenshtein(t, h), "len": len(t), "of_dist": order_free(t, h),
        "dist_ws": levenshtein(tw, hw), "len_ws": len(tw),
        "line_diff": abs(len(lines_of(truth)) - len(lines_of(hyp))),
    }


def rate(dist, length):
    """Summed distance over summed reference length; an empty reference counts 1 per char."""
    return dist / length if length else float(dist > 0)
