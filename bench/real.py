"""Real pictures for the benchmark, read in place from the shared data folder.

Two kinds, both left out with a note (never an error) when their files are missing:
- photo-real: every picture in DATA/photos that has its reference text beside it
  (<name>.txt), as typed by hand for that set;
- journal: the journal pages in DATA/publaynet that have a reference text in
  bench/real/journal/, named after the picture or its PMCID (PMC3576793_00004.txt
  or PMC3576793.txt), so the kind grows as references are added.
The pictures are not copied: the entries point at them.
"""
import os

HERE = os.path.dirname(os.path.abspath(__file__))
DATA_ENV = "QUILLFEN_BENCH_DATA"
DEFAULT_DATA = os.path.normpath(os.path.join(HERE, "..", "..", "shared", "data"))
JOURNAL_REFS = os.path.join(HERE, "real", "journal")
KINDS = ("photo-real", "journal")
PICTURE_EXTS = (".jpg", ".jpeg", ".png")


def data_dir(option=None):
    """The --data option, else $QUILLFEN_BENCH_DATA, else ../shared/data next to the checkout."""
    return os.path.abspath(option or os.environ.get(DATA_ENV) or DEFAULT_DATA)


def _pictures_in(folder):
    return sorted(n for n in os.listdir(folder)
                  if os.path.splitext(n)[1].lower() in PICTURE_EXTS and not n.startswith("."))


def _entry(kind, name, image, truth):
    return {"name": name, "kind": kind, "group": "real", "image": os.path.abspath(image),
            "truth": os.path.abspath(truth)}


def photo_real(data):
    """(entries, notes) for the photos with their reference texts."""
    folder = os.path.join(data, "photos")
    if not os.path.isdir(folder):
        return [], [("photo-real", "photo-real skipped: no folder %s" % folder)]
    entries, notes = [], []
    for pic in _pictures_in(folder):
        stem = os.path.splitext(pic)[0]
        truth = os.path.join(folder, stem + ".txt")
        if os.path.isfile(truth):
            entries.append(_entry("photo-real", stem, os.path.join(folder, pic), truth))
        else:
            notes.append(("photo-real", "photo-real: %s has no %s.txt, left out" % (pic, stem)))
    if not entries:
        notes.append(("photo-real", "photo-real skipped: no picture with a reference text in %s" % folder))
    return entries, notes


def journal(data, refs=JOURNAL_REFS):
    """(entries, notes) for the journal pages that have a reference text in refs."""
    folder = os.path.join(data, "publaynet")
    if not os.path.isdir(folder):
        return [], [("journal", "journal skipped: no folder %s" % folder)]
    texts = set()
    if os.path.isdir(refs):
        texts = {n[:-4] for n in os.listdir(refs) if n.endswith(".txt")}
    entries, used = [], set()
    for pic in _pictures_in(folder):
        stem = os.path.splitext(pic)[0]
        pmcid = stem.split("_")[0]  # PMC3576793_00004.jpg -> PMC3576793
        ref = stem if stem in texts else pmcid if pmcid in texts else None
        if ref is None:
            continue
        used.add(ref)
        entries.append(_entry("journal", stem, os.path.join(folder, pic),
                              os.path.join(refs, ref + ".txt")))
    notes = [("journal", "journal: %s.txt matches no page in %s" % (t, folder))
             for t in sorted(texts - used)]
    if not entries:
        notes.append(("journal", "journal skipped: no page of %s has a reference text in %s" % (
            folder, os.path.relpath(refs, os.getcwd()))))
    return entries, notes


def pictures(data, refs=JOURNAL_REFS):
    """All real pictures found, and notes (kind, text) on what was left out."""
    a, notes_a = photo_real(data)
    b, notes_b = journal(data, refs)
    return a + b, notes_a + notes_b
