import os
import shutil
import sys
import tempfile
import unittest

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), ".."))

import corpus  # noqa: E402


class CorpusStampTest(unittest.TestCase):
    """A cached corpus is used only as rendered by the generator as it is now."""

    def setUp(self):
        self.dir = tempfile.mkdtemp()

    def tearDown(self):
        shutil.rmtree(self.dir)

    def write_stamp(self, text):
        with open(os.path.join(self.dir, "stamp"), "w") as f:
            f.write(text + "\n")

    def test_a_corpus_without_a_stamp_is_not_current(self):
        self.assertFalse(corpus.is_current(self.dir))

    def test_a_corpus_from_another_generator_is_not_current(self):
        self.write_stamp("0" * 64)
        self.assertFalse(corpus.is_current(self.dir))

    def test_the_stamp_of_the_generator_as_it_is_now_is_current(self):
        self.write_stamp(corpus.stamp())
        self.assertTrue(corpus.is_current(self.dir))


if __name__ == "__main__":
    unittest.main()
