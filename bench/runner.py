#!/usr/bin/python3
"""Run QuillfenOCR and the peer OCR programs over the corpus and compare them.

Each picture is read several times by every program, the programs taking turns
in a rotating order so that machine drift hits all of them alike. Reported per
kind of picture and overall: character error rate with whitespace removed and
with whitespace collapsed (NFKC first), line-count error, median wall time and
peak memory (max RSS of the child process).
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

HERE = os.path.dirname(os.path.abspath(__file__))
CACHE = os.path.join(HERE, ".cache")


# ------------------------------------------------------------------ programs

class Program:
    def __init__(self, name, cmd, why_missing=None, parse=None):
        self.name, self.cmd, self.why_missing = name, cmd, why_missing
        self.parse = parse or (lambda out: out)

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


def tesseract():
    why = None
    if not shutil.which("tesseract"):
        why = "tesseract not installed"
    else:
        langs = subprocess.run(["tesseract", "--list-langs"], capture_output=True, text=True).stdout
        if not {"chi_sim", "eng"} <= set(langs.split()):
            why = "tesseract lacks chi_sim or eng data"
    return Program("tesseract", ["tesseract", "{}", "stdout", "-l", "chi_sim+eng"], why)


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

def run_once(cmd, timeout):
    """Runs cmd; returns (exit code or None on timeout, stdout, stderr, seconds, max RSS KiB)."""
    with tempfile.TemporaryFile() as out, tempfile.TemporaryFile() as err:
        timed_out = threading.Event()
        start = time.perf_counter()
        try:
            proc = subprocess.Popen(cmd, stdin=subprocess.DEVNULL, stdout=out, stderr=err,
                                    start_new_session=True)
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
                code, out, err, secs, rss = run_once(prog.command(path), timeout)
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
                       "repeat": r, "seconds": secs, "rss_kib": rss, "failure": failure,
                       "text": text}
                row.update(cer.errors(truth, text))
                runs.append(row)
                log("[%d/%d] %-11s %-14s %6.2fs %7.1f MiB  CER %5.1f%%%s" % (
                    len(runs), total, prog.name, pic["name"], secs, rss / 1024,
                    100 * cer.rate(row["dist"], row["len"]),
                    "  FAILED " + failure if failure else ""))
    return runs


# ----------------------------------------------------------------- reporting

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


def report(programs, runs, kinds, args):
    header = ("| kind | program | pictures | CER (no space) | CER (spaces collapsed) | "
              "line-count error | median time (s) | peak memory (MiB) | failed runs |")
    out = ["# OCR benchmark", "",
           "Corpus: %s. Each picture read %d time(s) per program; timeout %gs per run." % (
               os.path.relpath(args.corpus, os.getcwd()), args.repeat, args.timeout),
           "CER = summed Levenshtein distance / summed ground-truth length after NFKC "
           "(exact distance, over all runs).", "",
           header, "|" + "---|" * 9]
    totals = {}
    for kind in kinds + ["all"]:
        for prog in programs:
            if prog.why_missing:
                if kind == "all":
                    out.append("| **all** | %s | missing: %s | | | | | | |" % (prog.name, prog.why_missing))
                continue
            group = [r for r in runs if r["program"] == prog.name and kind in ("all", r["kind"])]
            if not group:
                continue
            s = summarize(group)
            if kind == "all":
                totals[prog.name] = s
            out.append("| %s | %s | %d | %.2f%% | %.2f%% | %.2f | %.3f | %.1f | %d/%d |" % (
                "**all**" if kind == "all" else kind, prog.name, s["pictures"], 100 * s["cer"],
                100 * s["cer_ws"], s["line_err"], s["median_s"], s["peak_mib"], s["failed"], s["runs"]))
    ours = [p.name for p in programs if p.name.startswith("QuillfenOCR") and p.name in totals]
    peers = [p.name for p in programs if not p.name.startswith("QuillfenOCR") and p.name in totals]
    for mine in ours:
        q = totals[mine]
        if not peers:
            break
        out += ["", "%s relative to each peer (below 1 means %s does better or uses less):" % (mine, mine), "",
                "| peer | CER | time (sum of per-picture medians) | median time | peak memory | median memory |",
                "|---|---|---|---|---|---|"]
        for name in peers:
            p = totals[name]
            out.append("| %s | %s | %.2fx (%.1fs vs %.1fs) | %.2fx | %.2fx (%.0f vs %.0f MiB) | %.2fx |" % (
                name, "%.2fx" % (q["cer"] / p["cer"]) if p["cer"] else "-",
                q["total_s"] / p["total_s"], q["total_s"], p["total_s"],
                q["median_s"] / p["median_s"], q["peak_mib"] / p["peak_mib"], q["peak_mib"],
                p["peak_mib"], q["median_mib"] / p["median_mib"]))
    failures = [r for r in runs if r["failure"]]
    if failures:
        out += ["", "Failed runs (counted as empty text):", ""]
        out += ["- %s on %s (run %d): %s" % (r["program"], r["picture"], r["repeat"] + 1, r["failure"])
                for r in failures]
    return "\n".join(out) + "\n"


def main():
    ap = argparse.ArgumentParser(description="Compare QuillfenOCR with peer OCR programs.")
    ap.add_argument("--binary", default=os.path.join(HERE, "..", "build", "QuillfenOCR"),
                    help="QuillfenOCR executable (default %(default)s)")
    ap.add_argument("--also", action="append", default=[], metavar="NAME=BINARY",
                    help="another QuillfenOCR build in the same run, e.g. QuillfenOCR-tesseract=path "
                         "(NAME must start with QuillfenOCR; it is added to --programs)")
    ap.add_argument("--args", default="", help="extra arguments after the picture, e.g. 'chi_sim,eng'")
    ap.add_argument("--repeat", type=int, default=3, help="runs per picture and program (default 3)")
    ap.add_argument("--kinds", default="", help="comma-separated kinds to run (default all)")
    ap.add_argument("--programs", default="QuillfenOCR,tesseract,PP-OCRv4",
                    help="comma-separated programs (default %(default)s)")
    ap.add_argument("--timeout", type=float, default=120, help="seconds per run (default 120)")
    ap.add_argument("--corpus", default=os.path.join(CACHE, "corpus"))
    ap.add_argument("--out", default=os.path.join(CACHE, "results.md"), help="Markdown results file")
    args = ap.parse_args()

    with open(os.path.join(args.corpus, "manifest.json"), encoding="utf-8") as f:
        pictures = json.load(f)
    kinds = list(dict.fromkeys(p["kind"] for p in pictures))
    if args.kinds:
        wanted = args.kinds.split(",")
        unknown = set(wanted) - set(kinds)
        if unknown:
            sys.exit("unknown kind(s): %s; known: %s" % (",".join(sorted(unknown)), ",".join(kinds)))
        kinds = [k for k in kinds if k in wanted]
        pictures = [p for p in pictures if p["kind"] in wanted]

    extra = shlex.split(args.args)
    others = []
    for entry in args.also:
        name, _, binary = entry.partition("=")
        if not name.startswith("QuillfenOCR") or not binary:
            sys.exit("--also takes NAME=BINARY with NAME starting with QuillfenOCR")
        others.append(quillfen(os.path.abspath(binary), extra, name))
    every = {p.name: p for p in [quillfen(os.path.abspath(args.binary), extra), *others, tesseract(), ppocr()]}
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
    table = report(programs, runs, kinds, args)
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
