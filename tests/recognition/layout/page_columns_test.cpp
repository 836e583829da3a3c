#include "recognition/layout/page_columns.h"

#include <gtest/gtest.h>
#include <leptonica/allheaders.h>

#include "recognition/picture/leptonica_image.h"
#include "support/run_binary.h"
#include "support/test_picture.h"

namespace quillfen::layout {

using picture::PixPtr;
namespace {

using test_support::testPicture;

void expectWhole(const std::vector<PageArea>& areas, Pix* picture) {
  ASSERT_EQ(areas.size(), 1u);
  EXPECT_EQ(areas[0].x, 0);
  EXPECT_EQ(areas[0].y, 0);
  EXPECT_EQ(areas[0].width, static_cast<int>(pixGetWidth(picture)));
  EXPECT_EQ(areas[0].height, static_cast<int>(pixGetHeight(picture)));
}

// The committed two-column page: a title across the page, five lines in each column
// (left 50-408, right 600-945), and a short footer under the right column's start.
void expectTitleThenColumns(const std::vector<PageArea>& areas) {
  ASSERT_EQ(areas.size(), 3u);
  const PageArea& title = areas[0];
  const PageArea& left = areas[1];
  const PageArea& right = areas[2];
  EXPECT_EQ(title.x, 0);
  EXPECT_EQ(title.y, 0);
  EXPECT_EQ(title.width, 1120);
  EXPECT_GT(title.height, 80);   // below the title (at 35-75)...
  EXPECT_LT(title.height, 125);  // ...above the first column line (at 130)
  for (const PageArea* column : {&left, &right}) {
    EXPECT_EQ(column->y, title.height);
    EXPECT_EQ(column->y + column->height, 620);
  }
  EXPECT_EQ(left.x, 0);
  EXPECT_EQ(left.x + left.width, right.x);
  EXPECT_GT(right.x, 410);
  EXPECT_LT(right.x, 530);  // left of the footer, which then comes last
  EXPECT_EQ(right.x + right.width, 1120);
}

TEST(PageColumns, TwoColumnPageIsReadTitleLeftThenRight) {
  const PixPtr page = testPicture("two_columns.png");
  expectTitleThenColumns(pageColumns(page.get()));
}

TEST(PageColumns, LightTextOnDarkIsSplitAlike) {
  const PixPtr page = testPicture("two_columns.png");
  const PixPtr inverted(pixInvert(nullptr, page.get()));
  expectTitleThenColumns(pageColumns(inverted.get()));
}

TEST(PageColumns, SingleColumnsTablesAndBlankPagesStayWhole) {
  // The receipt's price columns have gutters of their own, but its rows are table cells,
  // not running text: splitting would part items from their prices.
  for (const char* name : {"english.png", "chinese.png", "mixed.png", "receipt.png", "blank.png"}) {
    SCOPED_TRACE(name);
    const PixPtr page = testPicture(name);
    expectWhole(pageColumns(page.get()), page.get());
  }
}

TEST(PageColumns, NarrowSidesAreNotColumns) {
  // Asking each side for more than its width in line heights leaves the page whole.
  const PixPtr page = testPicture("two_columns.png");
  expectWhole(pageColumns(page.get(), 40), page.get());
}

}  // namespace
}  // namespace quillfen::layout
