import os
import random
import sys
import time
import unittest

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), ".."))

import cer  # noqa: E402


def plain_levenshtein(a, b):
    prev = list(range(len(b) + 1))
    for i, ca in enumerate(a, 1):
        cur = [i]
        for j, cb in enumerate(b, 1):
            cur.append(min(prev[j] + 1, cur[j - 1] + 1, prev[j - 1] + (ca != cb)))
        prev = cur
    return prev[-1]


class LevenshteinTest(unittest.TestCase):
    def test_known_pairs(self):
        self.assertEqual(cer.levenshtein("kitten", "sitting"), 3)
        self.assertEqual(cer.levenshtein("", "abc"), 3)
        self.assertEqual(cer.levenshtein("abc", ""), 3)
        self.assertEqual(cer.levenshtein("", ""), 0)
        self.assertEqual(cer.levenshtein("流浪地球", "流浪的地球"), 1)
        self.assertEqual(cer.levenshtein("合计582.54", "合计 582.54"), 1)

    def test_matches_plain_dp_on_random_strings(self):
        rng = random.Random(7)
        for _ in range(400):
            alphabet = rng.choice(["ab", "abc", "天地人和", "abcdefghij"])
            a = "".join(rng.choice(alphabet) for _ in range(rng.randint(0, 90)))
            b = "".join(rng.choice(alphabet) for _ in range(rng.randint(0, 90)))
            self.assertEqual(cer.levenshtein(a, b), plain_levenshtein(a, b), (a, b))

    def test_symmetric_and_long(self):
        rng = random.Random(3)
        a = "".join(rng.choice("的一是在不了有和人这中大为上") for _ in range(15000))
        b = list(a)
        for _ in range(300):
            b[rng.randrange(len(b))] = "错"
        b = "".join(b)
        start = time.time()
        d = cer.levenshtein(a, b)
        self.assertLess(time.time() - start, 10)
        self.assertEqual(d, cer.levenshtein(b, a))
        self.assertLessEqual(d, 300)
        self.assertGreater(d, 250)


class ErrorsTest(unittest.TestCase):
    def test_whitespace_removed_and_nfkc(self):
        e = cer.errors("合计：１２８\nTotal 12", "合计:128\n\nTotal12")
        self.assertEqual(e["dist"], 0)
        self.assertEqual(e["len"], len("合计:128Total12"))
        self.assertEqual(e["line_diff"], 0)

    def test_whitespace_collapsed(self):
        e = cer.errors("a  b\nc", "a b c")
        self.assertEqual(e["dist_ws"], 0)
        self.assertEqual(e["len_ws"], 5)
        self.assertEqual(e["line_diff"], 1)
        e = cer.errors("ab", "a b")
        self.assertEqual((e["dist"], e["dist_ws"]), (0, 1))

    def test_empty_output(self):
        e = cer.errors("第一行\n第二行", "")
        self.assertEqual(e["dist"], 6)
        self.assertEqual(cer.rate(e["dist"], e["len"]), 1.0)
        self.assertEqual(e["line_diff"], 2)

    def test_order_free_counts_the_same_characters_in_any_order(self):
        # two lines read in the opposite order: edit distance is large, order-free error none
        e = cer.errors("第一行文字\n第二行内容", "第二行内容 第一行文字")
        self.assertGreater(e["dist"], 0)
        self.assertEqual(e["of_dist"], 0)
        self.assertEqual(e["len"], 10)
        # NFKC and whitespace as for the CER
        self.assertEqual(cer.errors("合计：１２８", "128 合 计:")["of_dist"], 0)
        self.assertEqual(cer.errors("第一行\n第二行", "")["of_dist"], 6)

    def test_order_free_known_pairs(self):
        self.assertEqual(cer.order_free("abc", "abd"), 1)    # substitution: one missing, one extra
        self.assertEqual(cer.order_free("abc", "abcc"), 1)   # insertion
        self.assertEqual(cer.order_free("abcc", "abc"), 1)   # deletion
        self.assertEqual(cer.order_free("aab", "abb"), 1)    # multiplicity counts
        self.assertEqual(cer.order_free("aab", "bbbb"), 3)   # 2 missing, 3 extra
        self.assertEqual(cer.order_free("", ""), 0)
        self.assertEqual(cer.order_free("流浪地球", "球地浪流"), 0)

    def test_order_free_bounds_on_random_strings(self):
        rng = random.Random(11)
        for _ in range(300):
            alphabet = rng.choice(["ab", "abc", "天地人和"])
            a = "".join(rng.choice(alphabet) for _ in range(rng.randint(0, 40)))
            b = "".join(rng.choice(alphabet) for _ in range(rng.randint(0, 40)))
            of = cer.order_free(a, b)
            self.assertLessEqual(of, cer.levenshtein(a, b), (a, b))
            self.assertGreaterEqual(of, abs(len(a) - len(b)), (a, b))
            self.assertEqual(of, cer.order_free(b, a))
            shuffled = list(b)
            rng.shuffle(shuffled)
            self.assertEqual(of, cer.order_free(a, "".join(shuffled)), (a, b))

    def test_rate(self):
        self.assertEqual(cer.rate(3, 12), 0.25)
        self.assertEqual(cer.rate(0, 0), 0.0)


if __name__ == "__main__":
    unittest.main()
