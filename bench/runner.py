#!/usr/bin/python3
"""Run QuillfenOCR and the peer OCR programs over the corpus and compare them.

Each picture is read several times by every program, the programs taking turns
in a rotating order so that machine drift hits all of them alike. Reported per
kind of picture and per group of kinds (generated upright pictures, the same
turned by 90/180/270 degrees, real pictures): character error rate with
whitespace removed and with whitespace collapsed (NFKC first), the order-free
error rate (same characters in any order), line-count error, median wall time
and peak memory (max RSS of the child process); then the pictures where
QuillfenOCR does clearly worse than PP-OCRv4.
"""
import argparse
import json
import os
import shlex
import shutil
import signal
import statistics
import subprocess
import sys
import tempfile
import threading
import time

import cer
import corpus
import real

HERE = os.path.dirname(os.path.abspath(__file__))
CACHE = os.path.join(HERE, ".cache")


# ------------------------------------------------------------------ programs

class Program:
    def __init__(self, name, cmd, why_missing=None, parse=None, env=None):
        self.name, self.cmd, self.why_missing = name, cmd, why_missing
        self.parse = parse or (lambda out: out)
        self.env = env  # full environment for the child, or None to inherit ours

    def command(self, picture):
        return [picture if part == "{}" else part for part in self.cmd]


def parse_quillfen(out):
    lines = [l for l in out.splitlines() if l.strip()]
    if len(lines) != 1:
        raise ValueError("expected one JSON line, got %d lines" % len(lines))
    text = json.loads(lines[0])["text"]
    if not isinstance(text, str):
        raise ValueError('"text" is not a string')
    return text


def quillfen(binary, extra, name="QuillfenOCR"):
    why = None
    if not (os.path.isfile(binary) and os.access(binary, os.X_OK)):
        why = "no executable at %s" % binary
    return Program(name, [binary, "{}"] + extra, why, parse_quillfen)


def tesseract(name="tesseract", threads=None):
    """The Tesseract CLI; threads=None leaves OpenMP at its default (all cores), as people run it."""
    env = dict(os.environ)
    env.pop("OMP_THREAD_LIMIT", None)
    if threads:
        env["OMP_THREAD_LIMIT"] = str(threads)
    why = None
    if not shutil.which("tesseract"):
        why = "tesseract not installed"
    else:
        langs = subprocess.run(["tesseract", "--list-langs"], capture_output=True, text=True).stdout
        if not {"chi_sim", "eng"} <= set(langs.split()):
            why = "tesseract lacks chi_sim or eng data"
    return Program(name, ["tesseract", "{}", "stdout", "-l", "chi_sim+eng"], why, env=env)


def ppocr():
    driver = os.path.join(HERE, "peers", "ppocr.mjs")
    modules = os.path.join(CACHE, "peers", "ppocr", "node_modules")
    why = None
    if not shutil.which("node"):
        why = "node not installed"
    elif not os.path.isfile(os.path.join(modules, "@gutenye", "ocr-node", "package.json")):
        why = "@gutenye/ocr-node not installed (run bench/peers/setup.sh)"
    return Program("PP-OCRv4", ["node", driver, "{}"], why)


# ------------------------------------------------------------------- running

def run_once(cmd, timeout, env=None):
    """Runs cmd (in env if given).

    Returns (exit code or None on timeout, stdout, stderr, seconds, max RSS KiB)."""
    with tempfile.TemporaryFile() as out, tempfile.TemporaryFile() as err:
        timed_out = threading.Event()
        start = time.perf_counter()
        try:
            proc = subprocess.Popen(cmd, stdin=subprocess.DEVNULL, stdout=out, stderr=err,
                                    env=env, start_new_session=True)
        except OSError as e:
            return -1, "", str(e), 0.0, 0

        def kill():
            timed_out.set()
            try:
                os.killpg(proc.pid, signal.SIGKILL)
            except ProcessLookupError:
                pass
        timer = threading.Timer(timeout, kill)
        timer.start()
        _, status, usage = os.wait4(proc.pid, 0)
        seconds = time.perf_counter() - start
        timer.cancel()
        proc.returncode = os.waitstatus_to_exitcode(status)  # already reaped by wait4
        out.seek(0)
        err.seek(0)
        code = None if timed_out.is_set() else proc.returncode
        return (code, out.read().decode("utf-8", "replace"), err.read().decode("utf-8", "replace"),
                seconds, usage.ru_maxrss)


def run_all(programs, pictures, corpus, repeat, timeout, log):
    """Every picture by every program, repeat times, rotating who goes first."""
    runs = []
    total = len(pictures) * len(programs) * repeat
    for r in range(repeat):
        for i, pic in enumerate(pictures):
            with open(os.path.join(corpus, pic["truth"]), encoding="utf-8") as f:
                truth = f.read()
            k = (i + r) % len(programs)
            for prog in programs[k:] + programs[:k]:
                path = os.path.join(corpus, pic["image"])
                code, out, err, secs, rss = run_once(prog.command(path), timeout, prog.env)
                failure = None
                text = ""
                if code is None:
                    failure = "timed out after %gs" % timeout
                elif code != 0:
                    failure = "exit %d: %s" % (code, err.strip()[-200:])
                else:
                    try:
                        text = prog.parse(out)
                    except (ValueError, KeyError, TypeError) as e:
                        failure = "unreadable output: %s" % e
                row = {"program": prog.name, "picture": pic["name"], "kind": pic["kind"],
                       "group": pic.get("group", "generated"), "repeat": r, "seconds": secs,
                       "rss_kib": rss, "failure": failure, "text": text}
                row.update(cer.errors(truth, text))
                runs.append(row)
                log("[%d/%d] %-17s %-19s %6.2fs %7.1f MiB  CER %5.1f%%  order-free %5.1f%%%s" % (
                    len(runs), total, prog.name, pic["name"], secs, rss / 1024,
                    100 * cer.rate(row["dist"], row["len"]),
                    100 * cer.rate(row["of_dist"], row["len"]),
                    "  FAILED " + failure if failure else ""))
    return runs


# ----------------------------------------------------------------- reporting

GROUPS = {
    "generated": "Generated pictures",
    "rotated": "Generated pictures turned by 90, 180 and 270 degrees (rot90, rot180, rot270)",
    "real": "Real pictures",
}
PEER_FOR_PICTURES = "PP-OCRv4"   # the per-picture list compares QuillfenOCR with this peer
WORSE_BY = 0.01                  # ... and lists pictures where its CER is more than this worse


def pct(x):
    return "%.2f%%" % (100 * x)


def summarize(runs):
    """Figures for one group of runs (one program, one or more kinds)."""
    dist = sum(r["dist"] for r in runs)
    length = sum(r["len"] for r in runs)
    dist_ws = sum(r["dist_ws"] for r in runs)
    length_ws = sum(r["len_ws"] for r in runs)
    per_picture = {}
    for r in runs:
        per_picture.setdefault(r["picture"], []).append(r["seconds"])
    return {
        "pictures": len(per_picture),
        "cer": cer.rate(dist, length),
        "order_free": cer.rate(sum(r["of_dist"] for r in runs), length),
        "cer_ws": cer.rate(dist_ws, length_ws),
        "line_err": statistics.mean(r["line_diff"] for r in runs),
        "median_s": statistics.median(r["seconds"] for r in runs),
        # sum over pictures of each picture's median time: the time to read the corpus once
        "total_s": sum(statistics.median(v) for v in per_picture.values()),
        "peak_mib": max(r["rss_kib"] for r in runs) / 1024,
        "median_mib": statistics.median(r["rss_kib"] for r in runs) / 1024,
        "failed": sum(1 for r in runs if r["failure"]),
        "runs": len(runs),
    }


def is_ours(name):
    return name.startswith("QuillfenOCR")


def per_picture(runs):
    """{(picture, program): summary} and the pictures in run order with their kinds."""
    groups, pictures = {}, {}
    for r in runs:
        groups.setdefault((r["picture"], r["program"]), []).append(r)
        pictures.setdefault(r["picture"], r["kind"])
    return {k: summarize(v) for k, v in groups.items()}, pictures


def worse_than_peer(runs, peer=PEER_FOR_PICTURES, by=WORSE_BY):
    """Rows (picture, kind, program, ours, peer's) where a QuillfenOCR program's CER
    exceeds the peer's on the same picture by more than `by`, largest gap first."""
    stats, pictures = per_picture(runs)
    ours = sorted({r["program"] for r in runs if is_ours(r["program"])})
    rows = []
    for pic, kind in pictures.items():
        theirs = stats.get((pic, peer))
        if theirs is None:
            continue
        for name in ours:
            mine = stats.get((pic, name))
            if mine is not None and mine["cer"] > theirs["cer"] + by:
                rows.append((pic, kind, name, mine, theirs))
    rows.sort(key=lambda row: row[4]["cer"] - row[3]["cer"])
    return rows


def kind_table(programs, runs, kinds, group):
    out = ["| kind | program | pictures | CER (no space) | order-free CER | CER (spaces collapsed) | "
           "line-count error | median time (s) | peak memory (MiB) | failed runs |",
           "|" + "---|" * 10]
    totals = {}
    for kind in kinds + ["all"]:
        for prog in programs:
            group_runs = [r for r in runs if r["program"] == prog.name
                          and (r["kind"] == kind or kind == "all")]
            if not group_runs:
                continue
            s = summarize(group_runs)
            if kind == "all":
                totals[prog.name] = s
                if len(kinds) == 1:
                    continue  # the same figures as the kind's own row
            out.append("| %s | %s | %d | %s | %s | %s | %.2f | %.3f | %.1f | %d/%d |" % (
                "**all %s**" % group if kind == "all" else kind, prog.name, s["pictures"],
                pct(s["cer"]), pct(s["order_free"]), pct(s["cer_ws"]), s["line_err"],
                s["median_s"], s["peak_mib"], s["failed"], s["runs"]))
    return out, totals


def relative_tables(programs, totals, group):
    out = []
    ours = [p.name for p in programs if is_ours(p.name) and p.name in totals]
    peers = [p.name for p in programs if not is_ours(p.name) and p.name in totals]
    if not peers:
        return out

    def ratio(a, b):
        return "%.2fx" % (a / b) if b else "-"
    for mine in ours:
        q = totals[mine]
        out += ["", "%s relative to each peer on the %s pictures (below 1 means %s does better "
                "or uses less):" % (mine, group, mine), "",
                "| peer | CER | order-free CER | time (sum of per-picture medians) | median time | "
                "peak memory | median memory |",
                "|---|---|---|---|---|---|---|"]
        for name in peers:
            p = totals[name]
            out.append("| %s | %s | %s | %s (%.1fs vs %.1fs) | %s | %s (%.0f vs %.0f MiB) | %s |" % (
                name, ratio(q["cer"], p["cer"]), ratio(q["order_free"], p["order_free"]),
                ratio(q["total_s"], p["total_s"]), q["total_s"], p["total_s"],
                ratio(q["median_s"], p["median_s"]), ratio(q["peak_mib"], p["peak_mib"]),
                q["peak_mib"], p["peak_mib"], ratio(q["median_mib"], p["median_mib"])))
    return out


def worse_table(programs, runs):
    names = [p.name for p in programs if not p.why_missing]
    head = "Pictures where QuillfenOCR's CER is more than %g percentage point above %s's" % (
        100 * WORSE_BY, PEER_FOR_PICTURES)
    if PEER_FOR_PICTURES not in names or not any(is_ours(n) for n in names):
        return ["", "%s: not made (%s and a QuillfenOCR program must both run)." % (
            head, PEER_FOR_PICTURES)]
    rows = worse_than_peer(runs)
    out = ["", "%s (CER with whitespace removed; largest gap first): %d" % (head, len(rows))]
    if rows:
        out += ["", "| picture | kind | program | CER | %s CER | order-free | %s order-free |" % (
            PEER_FOR_PICTURES, PEER_FOR_PICTURES), "|---|---|---|---|---|---|---|"]
        out += ["| %s | %s | %s | %s | %s | %s | %s |" % (
            pic, kind, name, pct(m["cer"]), pct(t["cer"]), pct(m["order_free"]), pct(t["order_free"]))
            for pic, kind, name, m, t in rows]
    return out


def full_picture_table(programs, runs):
    stats, pictures = per_picture(runs)
    names = [p.name for p in programs if not p.why_missing]
    out = ["", "Every picture: CER / order-free CER (median seconds) per program.", "",
           "| picture | kind | " + " | ".join(names) + " |", "|---|---|" + "---|" * len(names)]
    for pic, kind in pictures.items():
        cells = []
        for name in names:
            s = stats.get((pic, name))
            cells.append("%s / %s (%.2fs)" % (pct(s["cer"]), pct(s["order_free"]), s["median_s"])
                         if s else "")
        out.append("| %s | %s | %s |" % (pic, kind, " | ".join(cells)))
    return out


def report(programs, runs, kinds, args, notes=(), show_pictures=False):
    out = ["# OCR benchmark", "",
           "Corpus: %s. Each picture read %d time(s) per program; timeout %gs per run." % (
               os.path.relpath(args.corpus, os.getcwd()), args.repeat, args.timeout),
           "CER = summed Levenshtein distance / summed ground-truth length after NFKC "
           "(exact distance, over all runs). Order-free CER = the same with the characters "
           "taken in any order: max(missing, extra) over the multisets of characters, "
           "whitespace removed; CER minus order-free CER is the error due to reading order."]
    for p in programs:
        if p.why_missing:
            out.append("")
            out.append("Missing: %s (%s)." % (p.name, p.why_missing))
    for note in notes:
        out += ["", "Note: %s." % note]
    for group, title in GROUPS.items():
        group_kinds = [k for k in kinds if any(r["kind"] == k and r["group"] == group for r in runs)]
        group_runs = [r for r in runs if r["group"] == group]
        if not group_runs:
            continue
        table, totals = kind_table(programs, group_runs, group_kinds, group)
        out += ["", "## " + title, ""] + table + relative_tables(programs, totals, group)
    out += worse_table(programs, runs)
    if show_pictures:
        out += full_picture_table(programs, runs)
    failures = [r for r in runs if r["failure"]]
    if failures:
        out += ["", "Failed runs (counted as empty text):", ""]
        out += ["- %s on %s (run %d): %s" % (r["program"], r["picture"], r["repeat"] + 1, r["failure"])
                for r in failures]
    return "\n".join(out) + "\n"


# ----------------------------------------------------------------- selecting

def kind_names(pictures):
    """Kinds in corpus order, and the friendly names that stand for several of them."""
    kinds = list(dict.fromkeys([p["kind"] for p in pictures] + list(real.KINDS)))
    groups = {g: [p["kind"] for p in pictures if p.get("group", "generated") == g] for g in GROUPS}
    groups["real"] = list(real.KINDS)
    groups["upright"] = groups["generated"]
    return kinds, {g: list(dict.fromkeys(v)) for g, v in groups.items()}


def select(pictures, kinds_arg="", skip_arg="", pictures_arg=""):
    """(pictures, kinds) picked by --kinds, --skip-kinds and --pictures; the kinds may include
    some with no picture. Raises ValueError on an unknown name."""
    kinds, groups = kind_names(pictures)

    def expand(arg):
        out = []
        for word in filter(None, (w.strip() for w in arg.split(","))):
            if word in groups:
                out += groups[word]
            elif word in kinds:
                out.append(word)
            else:
                raise ValueError("unknown kind %r; known: %s, or one of %s" % (
                    word, ",".join(kinds), ",".join(groups)))
        return set(out)
    wanted = expand(kinds_arg) if kinds_arg else set(kinds)
    wanted -= expand(skip_arg)
    picked = [p for p in pictures if p["kind"] in wanted]
    if pictures_arg:
        names = [n.strip() for n in pictures_arg.split(",") if n.strip()]
        unknown = [n for n in names if n not in {p["name"] for p in pictures}]
        if unknown:
            raise ValueError("unknown picture(s): %s" % ",".join(unknown))
        picked = [p for p in picked if p["name"] in names]
    return picked, wanted


def main():
    ap = argparse.ArgumentParser(description="Compare QuillfenOCR with peer OCR programs.")
    ap.add_argument("--binary", default=os.path.join(HERE, "..", "build", "QuillfenOCR"),
                    help="QuillfenOCR executable (default %(default)s)")
    ap.add_argument("--also", action="append", default=[], metavar="NAME=BINARY",
                    help="another QuillfenOCR build in the same run, e.g. QuillfenOCR-tesseract=path "
                         "(NAME must start with QuillfenOCR; it is added to --programs)")
    ap.add_argument("--args", default="", help="extra arguments after the picture, e.g. 'chi_sim,eng'")
    ap.add_argument("--repeat", type=int, default=3, help="runs per picture and program (default 3)")
    ap.add_argument("--kinds", default="",
                    help="comma-separated kinds to run (default all); also the names generated "
                         "(or upright), rotated (rot90,rot180,rot270) and real (photo-real,journal)")
    ap.add_argument("--skip-kinds", default="", metavar="KINDS",
                    help="comma-separated kinds or names as for --kinds to leave out, e.g. rotated")
    ap.add_argument("--pictures", default="",
                    help="comma-separated picture names, e.g. doc-01,zh_notice "
                         "(with --kinds, both must match)")
    ap.add_argument("--per-picture", action="store_true",
                    help="also print every picture's CER and order-free CER per program")
    ap.add_argument("--programs", default="QuillfenOCR,tesseract,tesseract-1thread,PP-OCRv4",
                    help="comma-separated programs (default %(default)s)")
    ap.add_argument("--timeout", type=float, default=120, help="seconds per run (default 120)")
    ap.add_argument("--corpus", default=os.path.join(CACHE, "corpus"))
    ap.add_argument("--data", default=None,
                    help="shared data folder with photos/ and publaynet/ (default $%s, else %s)" % (
                        real.DATA_ENV, real.DEFAULT_DATA))
    ap.add_argument("--out", default=os.path.join(CACHE, "results.md"), help="Markdown results file")
    args = ap.parse_args()

    if not corpus.is_current(args.corpus):
        print("warning: %s was not rendered by the corpus generator as it is now; render it again "
              "(bench/run does, or: python3 bench/corpus.py --out %s)" % (args.corpus, args.corpus),
              file=sys.stderr)
    with open(os.path.join(args.corpus, "manifest.json"), encoding="utf-8") as f:
        pictures = json.load(f)
    found, notes = real.pictures(real.data_dir(args.data))
    try:
        pictures, wanted = select(pictures + found, args.kinds, args.skip_kinds, args.pictures)
    except ValueError as e:
        sys.exit(str(e))
    notes = [text for kind, text in notes if kind in wanted and not args.pictures]
    for note in notes:
        print(note, file=sys.stderr)
    if not pictures:
        sys.exit("no pictures to run")
    kinds = list(dict.fromkeys(p["kind"] for p in pictures))

    extra = shlex.split(args.args)
    others = []
    for entry in args.also:
        name, _, binary = entry.partition("=")
        if not is_ours(name) or not binary:
            sys.exit("--also takes NAME=BINARY with NAME starting with QuillfenOCR")
        others.append(quillfen(os.path.abspath(binary), extra, name))
    every = {p.name: p for p in [quillfen(os.path.abspath(args.binary), extra), *others,
                                 tesseract(), tesseract("tesseract-1thread", threads=1), ppocr()]}
    names = args.programs.split(",") + [p.name for p in others]
    if set(names) - set(every):
        sys.exit("unknown program(s); known: %s" % ",".join(every))
    programs = [every[n] for n in names]
    for p in programs:
        if p.why_missing:
            print("missing: %s (%s)" % (p.name, p.why_missing), file=sys.stderr)
    present = [p for p in programs if not p.why_missing]

    runs = run_all(present, pictures, args.corpus, args.repeat, args.timeout,
                   lambda s: print(s, file=sys.stderr, flush=True))
    table = report(programs, runs, kinds, args, notes, args.per_picture)
    os.makedirs(os.path.dirname(os.path.abspath(args.out)), exist_ok=True)
    with open(args.out, "w", encoding="utf-8") as f:
        f.write(table)
    raw = os.path.splitext(args.out)[0] + ".json"
    with open(raw, "w", encoding="utf-8") as f:
        json.dump(runs, f, ensure_ascii=False, indent=1)
    print(table)
    print("written: %s (raw runs: %s)" % (args.out, raw), file=sys.stderr)


if __name__ == "__main__":
    main()
