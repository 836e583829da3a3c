#include "recognition/ppocr/text_lines.h"

#include <gtest/gtest.h>

#include <string>

namespace quillfen::ppocr {
namespace {

ReadBox box(float x, float y, float width, std::string text, std::vector<float> steps = {0.9f}) {
  DecodedText decoded{std::move(text), 0, 0};
  for (float p : steps) {
    decoded.probabilitySum += p;
    ++decoded.keptSteps;
  }
  const float bottom = y + 30, right = x + width;
  return {TextBox{{cv::Point2f(x, y), {right, y}, {right, bottom}, {x, bottom}}}, decoded};
}

std::vector<std::string> texts(const Observations& observations) {
  std::vector<std::string> out;
  for (const auto& observation : observations) out.push_back(observation->topCandidates(1).at(0).string);
  return out;
}

TEST(TextLines, NeighbouringFiguresKeepASpaceBetweenThem) {
  // Unit price and amount in neighbouring columns of a receipt.
  const Observations lines =
      lineObservations({box(480, 100, 50, "8.90"), box(400, 100, 60, "18.90"), box(50, 100, 120, "有机牛奶")});
  EXPECT_EQ(texts(lines), std::vector<std::string>{"有机牛奶 18.90 8.90"});
}

TEST(TextLines, PiecesOfOneCutRunJoinWithoutASpace) {
  // Bounds overlapping by a third of the height: one word the detector cut in two.
  EXPECT_EQ(texts(lineObservations({box(100, 100, 80, "Quill"), box(170, 100, 50, "fen")})),
            std::vector<std::string>{"Quillfen"});
  // Merely touching bounds are two pieces.
  EXPECT_EQ(texts(lineObservations({box(100, 100, 80, "Quill"), box(178, 100, 50, "fen")})),
            std::vector<std::string>{"Quill fen"});
}

TEST(TextLines, LinesAreTrimmedAndEmptyOnesDropped) {
  const Observations lines = lineObservations({box(50, 100, 300, "  first line "), box(50, 150, 300, "   "),
                                               box(50, 200, 300, ""), box(50, 250, 300, "last\t")});
  EXPECT_EQ(texts(lines), (std::vector<std::string>{"first line", "last"}));
}

TEST(TextLines, BoxesReadEmptyDoNotSplitARow) {
  // An empty reading between two pieces neither adds a space nor breaks the line.
  EXPECT_EQ(texts(lineObservations({box(50, 100, 100, "a"), box(160, 100, 30, " "), box(200, 100, 100, "b")})),
            std::vector<std::string>{"a b"});
}

TEST(TextLines, ConfidenceIsTheMeanOverAllKeptSteps) {
  // Not the mean of the two boxes' means (0.75): the longer reading weighs more.
  const Observations lines = lineObservations({box(50, 100, 100, "ab", {0.9f, 0.9f}), box(200, 100, 40, "c", {0.6f})});
  ASSERT_EQ(lines.size(), 1u);
  EXPECT_NEAR(lines[0]->topCandidates(1).at(0).confidence, 0.8, 1e-6);
}

TEST(TextLines, ATablesCellsOverSeveralLinesAreReadAsOneRow) {
  // A table above two columns of running text; its cells go on to a second line (boxes
  // 30 pixels high, lines 28 apart), and each row is read whole, its lines apart.
  layout::PageLayout layout;
  for (int x : {0, 210}) {
    layout::TextBlock column;
    column.bounds = {x, 200, 190, 200};
    column.lineCount = 3;
    column.lineHeight = 20;
    column.filledShare = 0.9f;
    column.flowing = true;
    layout.blocks.push_back(column);
  }
  std::vector<ReadBox> boxes = {box(0, 0, 80, "NCT01"),          box(150, 0, 100, "Recruiting"),
                                box(300, 0, 80, "Spinal"),       box(0, 28, 90, "(61) Jul"),
                                box(300, 28, 100, "metastasis"), box(0, 56, 80, "NCT02"),
                                box(150, 56, 100, "Completed"),  box(300, 56, 80, "Spinal"),
                                box(0, 84, 50, "(52)"),          box(300, 84, 100, "metastasis")};
  for (int line = 0; line < 3; ++line) {
    const auto y = static_cast<float>(210 + 60 * line);
    boxes.push_back(box(5, y, 180, "left " + std::to_string(line)));
    boxes.push_back(box(215, y, 180, "right " + std::to_string(line)));
  }
  EXPECT_EQ(
      texts(lineObservations(boxes, layout)),
      (std::vector<std::string>{"NCT01 (61) Jul Recruiting Spinal metastasis", "NCT02 (52) Completed Spinal metastasis",
                                "left 0", "left 1", "left 2", "right 0", "right 1", "right 2"}));
}

TEST(TextLines, NoBoxesNoObservations) { EXPECT_TRUE(lineObservations({}).empty()); }

}  // namespace
}  // namespace quillfen::ppocr
