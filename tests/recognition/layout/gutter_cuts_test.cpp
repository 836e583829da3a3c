#include "recognition/layout/gutter_cuts.h"

#include <gtest/gtest.h>

namespace quillfen::layout {
namespace {

// A column of running text (isColumnOfText) with lines 40 high.
TextBlock column(int x, int y, int width, int height) {
  TextBlock b;
  b.bounds = {x, y, width, height};
  b.lineCount = height / 40;
  b.lineHeight = 40;
  b.flowing = true;
  b.filledShare = 0.9f;
  return b;
}

// A one-line block: a caption, a heading, a title.
TextBlock oneLine(int x, int y, int width) {
  TextBlock b = column(x, y, width, 40);
  b.lineCount = 1;
  b.flowing = false;
  return b;
}

using Cuts = std::vector<float>;

// Two columns 500 wide with a 20-pixel gutter between x 500 and 520, a third beyond a
// 20-pixel gutter from 1020.
PageLayout threeColumns() {
  PageLayout layout;
  layout.blocks = {column(0, 100, 500, 1000), column(520, 100, 500, 1000), column(1040, 100, 500, 1000)};
  return layout;
}

TEST(GutterCuts, ALineRunningAcrossGuttersIsCutMidwayInEach) {
  const PageLayout layout = threeColumns();
  EXPECT_EQ(gutterCuts({10, 300, 900, 50}, layout), (Cuts{510}));
  EXPECT_EQ(gutterCuts({10, 300, 1500, 50}, layout), (Cuts{510, 1030}));
  // A short word over the gutter is a part too: one line height of its box.
  EXPECT_EQ(gutterCuts({10, 300, 545, 50}, layout), (Cuts{510}));
}

TEST(GutterCuts, ALineInsideItsColumnOrReachingOverByItsMarginIsNotCut) {
  const PageLayout layout = threeColumns();
  EXPECT_TRUE(gutterCuts({10, 300, 480, 50}, layout).empty());
  // The detector's margin round the ink runs 25 pixels into the next column's bounds.
  EXPECT_TRUE(gutterCuts({10, 300, 535, 50}, layout).empty());
  // Beside a column, above or below the other one: nothing to cut from.
  EXPECT_TRUE(gutterCuts({10, 1200, 900, 50}, layout).empty());
}

TEST(GutterCuts, ACaptionBesideAColumnIsCutOffButATitleOverBothIsNot) {
  PageLayout layout = threeColumns();
  layout.blocks[1].bounds.y = 400;
  layout.blocks.push_back(oneLine(530, 300, 900));  // a caption under a picture over two columns
  EXPECT_EQ(gutterCuts({10, 290, 1400, 50}, layout), (Cuts{515}));
  // A title set over all columns, at the height of their first lines.
  layout = threeColumns();
  layout.blocks.push_back(oneLine(0, 95, 1540));
  EXPECT_TRUE(gutterCuts({10, 90, 1500, 50}, layout).empty());
}

TEST(GutterCuts, TwoBlocksThatAreNotColumnsOfTextAreLeftJoined) {
  // A table's cells: short blocks side by side, none a column of running text.
  PageLayout layout;
  layout.blocks = {oneLine(0, 100, 300), oneLine(340, 100, 300)};
  EXPECT_TRUE(gutterCuts({0, 95, 640, 50}, layout).empty());
  EXPECT_TRUE(gutterCuts({0, 95, 640, 50}, PageLayout{}).empty());
}

}  // namespace
}  // namespace quillfen::layout
