import os
import shutil
import sys
import tempfile
import unittest

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), ".."))

import real  # noqa: E402
import runner  # noqa: E402


def touch(path, text=""):
    os.makedirs(os.path.dirname(path), exist_ok=True)
    with open(path, "w", encoding="utf-8") as f:
        f.write(text)


class RealPicturesTest(unittest.TestCase):
    def setUp(self):
        self.dir = tempfile.mkdtemp()
        self.data = os.path.join(self.dir, "data")
        self.refs = os.path.join(self.dir, "refs")

    def tearDown(self):
        shutil.rmtree(self.dir)

    def test_missing_data_folder_skips_both_kinds_with_notes(self):
        found, notes = real.pictures(self.data, self.refs)
        self.assertEqual(found, [])
        self.assertEqual(sorted(kind for kind, _ in notes), ["journal", "photo-real"])

    def test_photos_need_their_text(self):
        photos = os.path.join(self.data, "photos")
        touch(os.path.join(photos, "zh_notice.jpg"))
        touch(os.path.join(photos, "zh_notice.txt"), "通知\n")
        touch(os.path.join(photos, "zh_door.png"))           # no reference: left out
        touch(os.path.join(photos, "README.md"))
        found, notes = real.photo_real(self.data)
        self.assertEqual([(p["name"], p["kind"], p["group"]) for p in found],
                         [("zh_notice", "photo-real", "real")])
        self.assertEqual(found[0]["image"], os.path.join(photos, "zh_notice.jpg"))
        self.assertEqual(found[0]["truth"], os.path.join(photos, "zh_notice.txt"))
        self.assertEqual(len(notes), 1)
        self.assertIn("zh_door.png", notes[0][1])

    def test_journal_takes_pages_with_a_reference_by_pmcid_or_full_name(self):
        pages = os.path.join(self.data, "publaynet")
        for name in ["PMC111_00004", "PMC222_00001", "PMC333_00002"]:
            touch(os.path.join(pages, name + ".jpg"))
        touch(os.path.join(pages, "samples.json"))
        found, notes = real.journal(self.data, self.refs)      # no refs folder yet
        self.assertEqual(found, [])
        self.assertEqual(len(notes), 1)
        touch(os.path.join(self.refs, "PMC111.txt"), "a\n")
        touch(os.path.join(self.refs, "PMC333_00002.txt"), "b\n")
        touch(os.path.join(self.refs, "PMC999.txt"), "c\n")   # no such page
        found, notes = real.journal(self.data, self.refs)
        self.assertEqual([(p["name"], os.path.basename(p["truth"])) for p in found],
                         [("PMC111_00004", "PMC111.txt"), ("PMC333_00002", "PMC333_00002.txt")])
        self.assertTrue(any("PMC999" in n for _, n in notes), notes)

    def test_data_dir_option_then_environment(self):
        old = os.environ.pop(real.DATA_ENV, None)
        try:
            self.assertEqual(real.data_dir(), real.DEFAULT_DATA)
            os.environ[real.DATA_ENV] = self.data
            self.assertEqual(real.data_dir(), self.data)
            self.assertEqual(real.data_dir(self.refs), self.refs)
        finally:
            os.environ.pop(real.DATA_ENV, None)
            if old is not None:
                os.environ[real.DATA_ENV] = old


def pic(name, kind, group="generated"):
    return {"name": name, "kind": kind, "group": group}


CORPUS = [pic("doc-01", "doc"), pic("scan-01", "scan"), pic("small-01", "small"),
          pic("doc-01-rot90", "rot90", "rotated"), pic("doc-01-rot180", "rot180", "rotated"),
          pic("zh_notice", "photo-real", "real")]


class SelectTest(unittest.TestCase):
    def names(self, **kw):
        return [p["name"] for p in runner.select(CORPUS, **kw)[0]]

    def test_default_is_everything(self):
        self.assertEqual(self.names(), [p["name"] for p in CORPUS])

    def test_group_names_and_skipping(self):
        self.assertEqual(self.names(kinds_arg="rotated"), ["doc-01-rot90", "doc-01-rot180"])
        self.assertEqual(self.names(kinds_arg="generated"), ["doc-01", "scan-01", "small-01"])
        self.assertEqual(self.names(skip_arg="rotated,real"), ["doc-01", "scan-01", "small-01"])
        self.assertEqual(self.names(kinds_arg="real,doc", skip_arg="photo-real"), ["doc-01"])

    def test_real_kinds_are_known_even_without_pictures(self):
        picked, wanted = runner.select(CORPUS, kinds_arg="journal")
        self.assertEqual(picked, [])
        self.assertEqual(wanted, {"journal"})

    def test_pictures_filter(self):
        self.assertEqual(self.names(pictures_arg="zh_notice,doc-01"), ["doc-01", "zh_notice"])
        self.assertEqual(self.names(kinds_arg="doc", pictures_arg="zh_notice,doc-01"), ["doc-01"])

    def test_unknown_names_are_refused(self):
        with self.assertRaises(ValueError):
            runner.select(CORPUS, kinds_arg="docs")
        with self.assertRaises(ValueError):
            runner.select(CORPUS, skip_arg="rot45")
        with self.assertRaises(ValueError):
            runner.select(CORPUS, pictures_arg="doc-99")


def run_row(program, picture, dist, of_dist, length=100, kind="doc"):
    return {"program": program, "picture": picture, "kind": kind, "group": "generated",
            "dist": dist, "len": length, "of_dist": of_dist, "dist_ws": dist, "len_ws": length,
            "line_diff": 0, "seconds": 1.0, "rss_kib": 1024, "failure": None}


class WorseThanPeerTest(unittest.TestCase):
    def test_lists_pictures_more_than_one_point_worse(self):
        runs = [
            run_row("QuillfenOCR", "a", 5, 1), run_row("PP-OCRv4", "a", 3, 3),     # 2 points worse
            run_row("QuillfenOCR", "b", 4, 4), run_row("PP-OCRv4", "b", 3, 3),     # exactly 1: not listed
            run_row("QuillfenOCR", "c", 0, 0), run_row("PP-OCRv4", "c", 9, 9),     # better
            run_row("QuillfenOCR", "d", 30, 2), run_row("PP-OCRv4", "d", 1, 1),    # 29 points worse
            run_row("tesseract", "e", 90, 90), run_row("PP-OCRv4", "e", 0, 0),     # not ours
            run_row("QuillfenOCR-x", "a", 2, 2),                                  # within a point
        ]
        rows = runner.worse_than_peer(runs)
        self.assertEqual([(pic, name) for pic, _, name, _, _ in rows],
                         [("d", "QuillfenOCR"), ("a", "QuillfenOCR")])
        _, _, _, mine, theirs = rows[1]
        self.assertAlmostEqual(mine["cer"], 0.05)
        self.assertAlmostEqual(mine["order_free"], 0.01)
        self.assertAlmostEqual(theirs["cer"], 0.03)

    def test_repeats_are_pooled_per_picture(self):
        runs = [run_row("QuillfenOCR", "a", 0, 0), run_row("QuillfenOCR", "a", 4, 4),
                run_row("PP-OCRv4", "a", 0, 0), run_row("PP-OCRv4", "a", 0, 0)]
        rows = runner.worse_than_peer(runs)
        self.assertEqual(len(rows), 1)
        self.assertAlmostEqual(rows[0][3]["cer"], 0.02)


if __name__ == "__main__":
    unittest.main()
