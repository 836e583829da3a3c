#include "recognition/layout/block_order.h"

#include <gtest/gtest.h>

namespace quillfen::layout {
namespace {

TextBlock block(int x, int y, int width, int height, int lines = 10, float lineHeight = 20) {
  TextBlock b;
  b.bounds = {x, y, width, height};
  b.lineCount = lines;
  b.lineHeight = lineHeight;
  b.flowing = true;
  b.filledShare = 0.9f;
  return b;
}

using Lines = std::vector<std::vector<std::size_t>>;

TEST(BlockOrder, CoverageFollowsTheOutlineNotJustTheBounds) {
  // An L-shaped block: text flowing around a photo in the top-right corner.
  TextBlock around = block(0, 0, 200, 200);
  around.outline = {{0, 0}, {100, 0}, {100, 100}, {200, 100}, {200, 200}, {0, 200}};
  EXPECT_FLOAT_EQ(coveredShare({10, 10, 50, 20}, around), 1.0f);
  EXPECT_FLOAT_EQ(coveredShare({120, 10, 50, 20}, around), 0.0f);  // inside the bounds, beside the photo
  EXPECT_FLOAT_EQ(coveredShare({80, 10, 40, 20}, around), 0.5f);
  EXPECT_FLOAT_EQ(coveredShare({300, 300, 10, 10}, around), 0.0f);
}

TEST(BlockOrder, ColumnsAreReadOneAfterTheOtherInTheLayoutsOrder) {
  PageLayout layout;
  layout.blocks = {block(0, 0, 400, 40), block(0, 50, 190, 200), block(210, 50, 190, 200), block(0, 260, 400, 30)};
  // Rows across both columns, as a top-to-bottom sort would interleave them.
  const std::vector<LineBox> boxes = {
      {215, 60, 180, 20}, {5, 60, 180, 20},   {215, 90, 180, 20},
      {5, 90, 180, 20},   {100, 10, 200, 25}, {150, 265, 100, 20},
  };
  EXPECT_EQ(orderByBlocks(boxes, layout), (Lines{{4}, {1}, {3}, {0}, {2}, {5}}));
}

TEST(BlockOrder, PiecesOfARowJoinAndLooseBoxesKeepTheirPlace) {
  PageLayout layout;
  layout.blocks = {block(0, 100, 190, 200), block(210, 100, 190, 200)};
  const std::vector<LineBox> boxes = {
      {100, 110, 80, 20},  {5, 112, 80, 20},  // one row of the left column, in two pieces
      {0, 10, 300, 20},                       // a running header in no block
      {0, 500, 50, 20},                       // a page number in no block
      {215, 110, 150, 20},
  };
  EXPECT_EQ(orderByBlocks(boxes, layout), (Lines{{2}, {1, 0}, {4}, {3}}));
}

TEST(BlockOrder, FirstLinesLeftOutOfTheirColumnsStartThemAndStayApart) {
  // The layout's column blocks begin one line too low: each column's first line lies in
  // no block, level with the other column's.
  PageLayout layout;
  layout.blocks = {block(0, 100, 190, 200), block(210, 100, 190, 200)};
  const std::vector<LineBox> boxes = {
      {5, 75, 180, 20},  {215, 76, 180, 20},   // the first lines, in no block
      {5, 110, 180, 20}, {215, 110, 180, 20},  // the columns' other lines
      {0, 10, 400, 25},                        // the title over both columns
  };
  EXPECT_EQ(orderByBlocks(boxes, layout), (Lines{{4}, {0}, {2}, {1}, {3}}));
}

TEST(BlockOrder, FootnotesFollowTheirColumnAndSmallPrintStaysOnItsLines) {
  PageLayout layout;
  layout.blocks = {block(0, 100, 190, 200), block(210, 100, 190, 400)};  // the right one reaches lower
  const std::vector<LineBox> boxes = {
      {5, 110, 150, 20},   {5, 140, 150, 20},    // the left column
      {215, 110, 150, 20}, {215, 140, 150, 20},  // the right column
      {5, 320, 120, 8},    {5, 329, 120, 8},     // a footnote in small print under the left column
      {0, 10, 200, 8},     {0, 17, 200, 8},      // a running header of two close lines of small print
  };
  EXPECT_EQ(orderByBlocks(boxes, layout), (Lines{{6}, {7}, {0}, {1}, {4}, {5}, {2}, {3}}));
}

TEST(BlockOrder, TableCellsStayOnTheirRows) {
  PageLayout layout;
  // A table above two columns; the analysis returns each cell as a block of one line.
  layout.blocks = {block(0, 0, 100, 20, 1),    block(150, 0, 100, 20, 1), block(0, 30, 100, 20, 1),
                   block(150, 30, 100, 20, 1), block(0, 100, 190, 200),   block(210, 100, 190, 200)};
  const std::vector<LineBox> boxes = {{150, 30, 90, 20}, {0, 0, 90, 20},      {0, 30, 90, 20},
                                      {150, 0, 90, 20},  {215, 110, 150, 20}, {5, 110, 150, 20}};
  EXPECT_EQ(orderByBlocks(boxes, layout), (Lines{{1, 3}, {2, 0}, {5}, {4}}));
}

TEST(BlockOrder, ACaptionUnderAPictureFollowsTheColumnBesideIt) {
  // A left column in two blocks (a heading between them, in no block), and a picture at
  // the top of the right column with its caption under it, in no block either.
  PageLayout layout;
  layout.blocks = {block(0, 0, 190, 300), block(0, 340, 190, 100), block(210, 200, 190, 240)};
  const std::vector<LineBox> boxes = {
      {5, 10, 180, 20},  {5, 350, 180, 20}, {215, 210, 180, 20}, {215, 150, 180, 20},  // the caption
      {5, 315, 100, 20},                                                               // the heading
  };
  EXPECT_EQ(orderByBlocks(boxes, layout), (Lines{{0}, {4}, {1}, {3}, {2}}));

  // A picture over the foot of the second and third of four columns, its caption under
  // it reaching across both: read after the third, before the fourth and the footer.
  layout.blocks = {block(0, 0, 190, 400), block(210, 0, 190, 250), block(420, 0, 190, 250), block(630, 0, 190, 400)};
  const std::vector<LineBox> foot = {
      {5, 10, 180, 20},   {215, 10, 180, 20},  {425, 10, 180, 20},
      {635, 10, 180, 20}, {215, 370, 300, 20},  // the caption
      {0, 450, 800, 20},                        // the footer, below every column
  };
  EXPECT_EQ(orderByBlocks(foot, layout), (Lines{{0}, {1}, {2}, {4}, {3}, {5}}));
}

TEST(BlockOrder, LinesSetOnBelowAColumnsBlockEndIt) {
  // The left column's last two lines lie below its block (the analysis joined them to a
  // caption beside them), each in two pieces; the caption under a picture over the right
  // column, in no block; the page number further down.
  PageLayout layout;
  layout.blocks = {block(0, 0, 190, 300), block(210, 0, 190, 200)};
  const std::vector<LineBox> boxes = {
      {5, 270, 180, 20}, {215, 10, 180, 20},  // the columns' own lines
      {5, 295, 100, 20}, {110, 296, 75, 20},  // set on: the first line below the block
      {5, 318, 90, 20},  {100, 318, 85, 20},  // and the next
      {215, 300, 180, 20},                    // the caption
      {5, 360, 30, 20},                       // the page number
  };
  EXPECT_EQ(orderByBlocks(boxes, layout), (Lines{{0}, {2, 3}, {4, 5}, {1}, {6}, {7}}));
}

TEST(PageLayoutGate, OnlyRunningTextSideBySideCounts) {
  PageLayout columns;
  columns.blocks = {block(0, 0, 400, 40, 1), block(0, 50, 190, 400), block(210, 80, 190, 400)};
  EXPECT_TRUE(hasColumns(columns));

  PageLayout stacked;  // one column after another
  stacked.blocks = {block(0, 0, 400, 200), block(0, 210, 400, 200)};
  EXPECT_FALSE(hasColumns(stacked));

  PageLayout narrow;  // table cells or labels: side by side but not 8 line heights wide
  narrow.blocks = {block(0, 0, 100, 200), block(120, 0, 100, 200)};
  EXPECT_FALSE(hasColumns(narrow));

  PageLayout short_;  // two lines each
  short_.blocks = {block(0, 0, 190, 40, 2), block(210, 0, 190, 40, 2)};
  EXPECT_FALSE(hasColumns(short_));

  PageLayout headings = columns;  // headings and captions beside each other are no columns
  for (TextBlock& b : headings.blocks) b.flowing = false;
  EXPECT_FALSE(hasColumns(headings));

  PageLayout cells = columns;  // a table's columns of cells: short lines of every length
  for (TextBlock& b : cells.blocks) b.filledShare = 0.3f;
  EXPECT_FALSE(hasColumns(cells));

  PageLayout offset;  // overlapping less than half the shorter one
  offset.blocks = {block(0, 0, 190, 200), block(210, 150, 190, 200)};
  EXPECT_FALSE(hasColumns(offset));
}

}  // namespace
}  // namespace quillfen::layout
