#include "recognition/ppocr/reading_order.h"

#include <gtest/gtest.h>

namespace quillfen::ppocr {
namespace {

using Lines = std::vector<std::vector<std::size_t>>;

// Boxes are x, y, width, height in picture pixels; text lines are about 40 px high.
struct Page {
  std::vector<cv::Rect2f> boxes;
  std::size_t add(float x, float y, float width, float height = 40) {
    boxes.emplace_back(x, y, width, height);
    return boxes.size() - 1;
  }
};

// Each index on its own line, in the given order.
Lines oneByOne(const std::vector<std::size_t>& order) {
  Lines lines;
  for (std::size_t id : order) lines.push_back({id});
  return lines;
}

TEST(ReadingOrder, NoBoxesNoLines) { EXPECT_TRUE(readingOrder({}).empty()); }

TEST(ReadingOrder, SingleColumnTopToBottomWhateverTheDetectionOrder) {
  Page page;
  const auto third = page.add(50, 200, 300);
  const auto first = page.add(50, 100, 500);
  const auto fourth = page.add(50, 250, 120);  // a short closing line
  const auto second = page.add(80, 150, 420);  // indented
  EXPECT_EQ(readingOrder(page.boxes), oneByOne({first, second, third, fourth}));
}

TEST(ReadingOrder, BoxesOnOneRowAreOneLineLeftToRight) {
  Page page;
  const auto right = page.add(400, 103, 100, 34);  // a little lower and smaller
  const auto left = page.add(50, 100, 300);
  const auto below = page.add(50, 160, 300);
  EXPECT_EQ(readingOrder(page.boxes), (Lines{{left, right}, {below}}));
}

TEST(ReadingOrder, TwoColumnPageIsReadColumnByColumn) {
  // A title over both columns, two columns whose lines are level with each other, a
  // footer: a top-to-bottom sort would interleave the columns.
  Page page;
  const auto title = page.add(350, 20, 400, 50);
  std::vector<std::size_t> left, right;
  for (int row = 0; row < 5; ++row) {
    const float y = 120 + 60.0f * static_cast<float>(row);
    left.push_back(page.add(50, y, row == 4 ? 300 : 470));
    right.push_back(page.add(600, y, row == 1 ? 330 : 460));
  }
  const auto footer = page.add(520, 500, 80, 30);

  std::vector<std::size_t> expected = {title};
  expected.insert(expected.end(), left.begin(), left.end());
  expected.insert(expected.end(), right.begin(), right.end());
  expected.push_back(footer);
  EXPECT_EQ(readingOrder(page.boxes), oneByOne(expected));
}

TEST(ReadingOrder, ColumnsWhoseLinesDoNotLineUpAreColumns) {
  // Different line pitches; the right column is narrower (a sidebar).
  Page page;
  std::vector<std::size_t> expected;
  for (int row = 0; row < 6; ++row) expected.push_back(page.add(50, 100 + 45.0f * static_cast<float>(row), 500, 30));
  for (int row = 0; row < 3; ++row) {
    expected.push_back(page.add(620, 120 + 70.0f * static_cast<float>(row), 150, 24));
  }
  EXPECT_EQ(readingOrder(page.boxes), oneByOne(expected));
}

TEST(ReadingOrder, ThreeColumnsAreReadLeftToRight) {
  Page page;
  std::vector<std::size_t> columns[3];
  for (int row = 0; row < 4; ++row) {
    for (int column = 0; column < 3; ++column) {
      columns[column].push_back(
          page.add(40 + 360.0f * static_cast<float>(column), 100 + 50.0f * static_cast<float>(row), 320, 36));
    }
  }
  std::vector<std::size_t> expected;
  for (const auto& column : columns) expected.insert(expected.end(), column.begin(), column.end());
  EXPECT_EQ(readingOrder(page.boxes), oneByOne(expected));
}

TEST(ReadingOrder, ReceiptPricesStayOnTheirRows) {
  // Shop name, item names with quantity, unit price and amount in right-aligned
  // columns, the total: the columns line up over many rows, yet each row is one line.
  Page page;
  Lines expected;
  expected.push_back({page.add(220, 20, 200, 40)});
  expected.push_back({page.add(35, 90, 240, 30)});
  const float nameWidths[] = {60, 80, 100, 80, 110};
  const float priceWidths[] = {50, 55, 65, 55, 65};
  for (int row = 0; row < 5; ++row) {
    const float y = 150 + 55.0f * static_cast<float>(row);
    const float w = priceWidths[row];
    expected.push_back(
        {page.add(35, y, nameWidths[row]), page.add(305, y, 25), page.add(470 - w, y, w), page.add(605 - w, y, w)});
  }
  expected.push_back({page.add(35, 430, 60, 42), page.add(530, 432, 72, 38)});
  expected.push_back({page.add(220, 500, 200, 30)});
  EXPECT_EQ(readingOrder(page.boxes), expected);
}

TEST(ReadingOrder, TableOfShortFiguresIsReadRowByRow) {
  Page page;
  Lines expected;
  for (int row = 0; row < 4; ++row) {
    std::vector<std::size_t> line;
    for (int column = 0; column < 4; ++column) {
      line.push_back(page.add(50 + 200.0f * static_cast<float>(column), 100 + 50.0f * static_cast<float>(row), 90, 36));
    }
    expected.push_back(line);
  }
  EXPECT_EQ(readingOrder(page.boxes), expected);
}

TEST(ReadingOrder, ColumnsAfterAParagraphComeAfterIt) {
  // A full-width paragraph, then two columns, then a full-width paragraph again.
  Page page;
  const auto top1 = page.add(50, 50, 1000);
  const auto top2 = page.add(50, 100, 700);
  std::vector<std::size_t> left, right;
  for (int row = 0; row < 3; ++row) {
    const float y = 170 + 50.0f * static_cast<float>(row);
    left.push_back(page.add(50, y, 450));
    right.push_back(page.add(580, y, 470));
  }
  const auto bottom = page.add(50, 340, 1000);
  std::vector<std::size_t> expected = {top1, top2};
  expected.insert(expected.end(), left.begin(), left.end());
  expected.insert(expected.end(), right.begin(), right.end());
  expected.push_back(bottom);
  EXPECT_EQ(readingOrder(page.boxes), oneByOne(expected));
}

}  // namespace
}  // namespace quillfen::ppocr
