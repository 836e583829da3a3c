import os
import sys
import unittest

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), ".."))

import magazine  # noqa: E402


def word(x0, y0, x1, y1, text):
    return (x0, y0, x1, y1, text)


class GroundTruthFromWordsTest(unittest.TestCase):
    """Printed words (boxes in CSS px, as read back from the PDF) to ordered lines."""

    def test_tightly_set_lines_whose_glyph_boxes_overlap_stay_apart(self):
        # a two-line Chinese pull quote as pdftotext gave it: glyph boxes 57 px tall on a
        # 27 px line pitch
        words = [word(378, 389.2, 739.6, 446.4, "新修订的管理办法自2019年4月4日起"),
                 word(378, 416.2, 708.0, 473.4, "施行，原有的相关规定同时废止。")]
        self.assertEqual(magazine.group_lines(words),
                         ["新修订的管理办法自2019年4月4日起", "施行，原有的相关规定同时废止。"])

    def test_words_of_a_line_are_joined_left_to_right_by_their_gaps(self):
        # justified English: wide gaps are spaces; a closing mark tucked against a full
        # stop (no gap) is no space
        words = [word(120, 101, 160, 115, "town."), word(0, 100, 40, 114, "The"),
                 word(60, 100, 100, 114, "old"), word(0, 120, 60, 140, "挂念。"),
                 word(58, 120, 66, 140, "”")]
        self.assertEqual(magazine.group_lines(words), ["The old town.", "挂念。”"])

    def test_gaps_that_justify_a_chinese_line_are_not_spaces(self):
        # a line that could not break inside a number, spread out by justification
        words = [word(0, 0, 12, 20, "工"), word(30, 0, 42, 20, "奖"), word(60, 0, 72, 20, "，"),
                 word(90, 0, 102, 20, "奖"), word(120, 0, 132, 20, "金"), word(150, 0, 162, 20, "为"),
                 word(180, 0, 250, 20, "17,324.80")]
        self.assertEqual(magazine.group_lines(words), ["工奖，奖金为17,324.80"])

    def test_lines_follow_the_boxes_reading_order_not_the_page_position(self):
        items = [magazine.box("title", 0, 400, 0, 40, "T"),
                 magazine.box("frame", 0, 190, 50, 200, story="main"),    # left column
                 magazine.box("caption", 210, 190, 50, 20, "C"),         # stands over the right one
                 magazine.box("frame", 210, 190, 80, 170, story="main"),
                 magazine.box("photo", 0, 400, 260, 50)]                  # no text: no lines
        words = [word(220, 90, 300, 104, "right"), word(10, 60, 90, 74, "left"),
                 word(10, 80, 90, 94, "left2"), word(220, 55, 300, 65, "caption"),
                 word(10, 5, 200, 35, "Title")]
        self.assertEqual(magazine.truth_lines(items, words),
                         ["Title", "left", "left2", "caption", "right"])

    def test_a_word_outside_every_text_box_fails_the_page(self):
        items = [magazine.box("frame", 0, 100, 0, 100, story="main")]
        with self.assertRaisesRegex(RuntimeError, "lies in 0 boxes"):
            magazine.truth_lines(items, [word(10, 110, 50, 124, "overflow")])

    def test_a_word_running_past_its_box_fails_the_page(self):
        items = [magazine.box("frame", 0, 100, 0, 100, story="main")]
        with self.assertRaisesRegex(RuntimeError, "overruns"):
            magazine.truth_lines(items, [word(60, 10, 130, 24, "toolongword")])


class LayoutTest(unittest.TestCase):
    def test_every_layout_keeps_its_boxes_on_the_page_and_apart(self):
        class Copy:
            lang, title, deck, byline, quote, sidebar_head = "en", "T", "D", "B", "Q", "S"
            captions = ["C1", "C2"]
            masthead, section, issue, page_no = "M", "S", "I", 12
        for layout in magazine.LAYOUTS:
            head, foot = magazine.furniture(Copy())
            items = head + layout(Copy()) + foot
            texty = [it for it in items if it["text"] or it["role"] == "frame"]
            for it in items:
                self.assertTrue(0 <= it["x"] and it["x"] + it["w"] <= magazine.PAGE_W, (layout, it))
                self.assertTrue(0 <= it["y"] and it["y"] + it["h"] <= magazine.PAGE_H, (layout, it))
            for a in texty:  # a word must have one home
                for b in texty:
                    if a is not b:
                        apart = (a["x"] + a["w"] <= b["x"] or b["x"] + b["w"] <= a["x"]
                                 or a["y"] + a["h"] <= b["y"] or b["y"] + b["h"] <= a["y"])
                        self.assertTrue(apart, (layout.__name__, a, b))
            self.assertIn("photo", [it["role"] for it in items], layout.__name__)
            self.assertIn("caption", [it["role"] for it in items], layout.__name__)


if __name__ == "__main__":
    unittest.main()
