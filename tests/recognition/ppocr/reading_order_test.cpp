#include "recognition/ppocr/reading_order.h"

#include <gtest/gtest.h>

#include <cmath>

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

TEST(ReadingOrder, NoBoxesNoLines) { EXPECT_TRUE(readingOrder(std::vector<cv::Rect2f>{}).empty()); }

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

// A box of text running at the given slope (dy per dx) from its left end, thickness 40.
OrderBox tilted(float left, float y, float length, float slope) {
  const cv::Point2f direction = cv::Point2f(1, slope) / std::hypot(1.0f, slope);
  const cv::Point2f centre = cv::Point2f(left, y) + direction * (length / 2);
  const float halfWidth = length * direction.x / 2 + 20 * direction.y, halfHeight = length * direction.y / 2 + 20;
  return {{centre.x - halfWidth, centre.y - halfHeight, 2 * halfWidth, 2 * halfHeight}, centre, direction, 40};
}

TEST(ReadingOrder, RowsOfATiltedPhotoStayApartAndTheirPiecesJoin) {
  // Two rows 50 px apart, falling by 0.15 per pixel (about 8.5 degrees), each cut in two
  // pieces: the upright bounds of the upper row's right piece and the lower row's left piece
  // overlap by more than half their height.
  const std::vector<OrderBox> boxes = {tilted(400, 210, 300, 0.15f), tilted(100, 165, 280, 0.15f),
                                       tilted(100, 115, 280, 0.15f), tilted(400, 160, 300, 0.15f)};
  const cv::Rect2f& upperRight = boxes[3].bounds;
  const cv::Rect2f& lowerLeft = boxes[1].bounds;
  EXPECT_GT(std::min(upperRight.br().y, lowerLeft.br().y) - std::max(upperRight.y, lowerLeft.y),
            0.5f * std::min(upperRight.height, lowerLeft.height));
  EXPECT_EQ(readingOrder(boxes), (Lines{{2, 3}, {1, 0}}));
  // Upright bounds alone would run the rows together.
  std::vector<cv::Rect2f> bounds;
  for (const OrderBox& box : boxes) bounds.push_back(box.bounds);
  EXPECT_NE(readingOrder(bounds), (Lines{{2, 3}, {1, 0}}));
}

TEST(ReadingOrder, AShortBoxsRoughSlopeDoesNotCarryAcrossTheRow) {
  // A receipt row: an item at the left, its price 400 px to the right, whose short box
  // came out 4 degrees off level and a little higher; the rows above and below are level.
  std::vector<OrderBox> boxes = {tilted(50, 100, 400, 0), tilted(50, 150, 120, 0), tilted(500, 144, 100, 0.07f),
                                 tilted(50, 200, 400, 0)};
  EXPECT_EQ(readingOrder(boxes), (Lines{{0}, {1, 2}, {3}}));
}

TEST(ReadingOrder, TightlySetRowsStayApartThoughTheirBoxMarginsOverlap) {
  // A sign's three short lines 18 px apart, in boxes 30-39 px high: the boxes of
  // neighbouring lines overlap by more than half their height, their ink does not.
  Page page;
  const auto first = page.add(401, 49, 93, 35);
  const auto second = page.add(390, 65, 117, 39);
  const auto third = page.add(412, 88, 75, 30);
  EXPECT_EQ(readingOrder(page.boxes), oneByOne({first, second, third}));
}

TEST(ReadingOrder, ABadgeAboveABlockOfTextIsNotAColumnBesideIt) {
  // A price badge of two lines in the top right corner of a product photo, the product's
  // lines well below it on the left: read top to bottom.
  Page page;
  const auto price = page.add(606, 39, 157, 132);
  const auto label = page.add(635, 155, 100, 59);
  std::vector<std::size_t> expected = {price, label};
  for (int row = 0; row < 5; ++row) expected.push_back(page.add(330, 400 + 35.0f * static_cast<float>(row), 130, 28));
  EXPECT_EQ(readingOrder(page.boxes), oneByOne(expected));
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
