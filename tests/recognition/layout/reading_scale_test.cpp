// Small print read enlarged: the scale from the lines' height and the page's size, the
// lines measured on small pages only, and the enlarged copy of a page of small print, of
// any depth, with nothing done to pages whose text is large enough.
#include "recognition/layout/reading_scale.h"

#include <gtest/gtest.h>
#include <leptonica/allheaders.h>

#include <cmath>
#include <optional>
#include <string>

#include "support/run_binary.h"
#include "support/test_picture.h"

namespace quillfen::layout {
namespace {

using picture::PixPtr;

TEST(ReadingScale, OnlySmallPrintIsEnlarged) {
  EXPECT_EQ(readingScale(12, 600, 800), 1.0f);  // large enough as it is
  EXPECT_EQ(readingScale(40, 600, 800), 1.0f);
  EXPECT_EQ(readingScale(0, 600, 800), 1.0f);         // no lines found
  EXPECT_FLOAT_EQ(readingScale(10, 600, 800), 2.0f);  // a journal page's lines brought to 20 pixels
  EXPECT_FLOAT_EQ(readingScale(8, 600, 800), 2.5f);
  EXPECT_FLOAT_EQ(readingScale(3, 600, 800), 4.0f);  // specks are not enlarged without bound
}

TEST(ReadingScale, AnEnlargedPageStaysUnderThePixelLimit) {
  const float scale = readingScale(8, 2000, 1500);
  EXPECT_LT(scale, 2.5f);
  EXPECT_NEAR(2000.0 * 1500 * scale * scale, kMaxEnlargedPixels, 1e3);
  // Too large to gain much: read as it is.
  EXPECT_EQ(readingScale(11, 2500, 2500), 1.0f);
}

using test_support::testPicture;

// The page enlarged as its measured lines ask; nothing when it is not measured.
PixPtr enlarged(Pix* page) { return smallPrintOf(page).enlarged; }

TEST(EnlargedForSmallPrint, APageOfSmallPrintIsEnlargedWithItsResolution) {
  const PixPtr page = testPicture("small_print.png");
  pixSetResolution(page.get(), 75, 75);
  const std::optional<PageLayout> measured = smallPrintLayout(page.get());
  ASSERT_TRUE(measured);
  EXPECT_GE(measured->lineHeight, 6);
  EXPECT_LT(measured->lineHeight, kSmallPrint);
  const PixPtr copy = enlargedForSmallPrint(page.get(), measured->lineHeight);
  ASSERT_TRUE(copy);
  const float scale = static_cast<float>(pixGetWidth(copy.get())) / static_cast<float>(pixGetWidth(page.get()));
  EXPECT_NEAR(scale, readingScale(measured->lineHeight, pixGetWidth(page.get()), pixGetHeight(page.get())), 0.01f);
  EXPECT_NEAR(pixGetHeight(copy.get()), scale * static_cast<float>(pixGetHeight(page.get())), 2);
  EXPECT_NEAR(pixGetXRes(copy.get()), 75 * scale, 1);
  EXPECT_EQ(pixGetDepth(copy.get()), 8);
}

TEST(EnlargedForSmallPrint, OneBitAndColourPagesAreEnlargedFromTheirLevels) {
  const PixPtr gray = testPicture("small_print.png");
  const PixPtr bits(pixConvertTo1(gray.get(), 128));
  const PixPtr colour(pixConvertTo32(gray.get()));
  ASSERT_TRUE(bits && colour);
  const PixPtr fromBits = enlargedForSmallPrint(bits.get(), 10);
  const PixPtr fromColour = enlargedForSmallPrint(colour.get(), 10);
  ASSERT_TRUE(fromBits && fromColour);
  EXPECT_EQ(pixGetDepth(fromBits.get()), 8);  // interpolated, not repeated pixels
  EXPECT_EQ(pixGetDepth(fromColour.get()), 32);
}

TEST(EnlargedForSmallPrint, PagesWithLargeEnoughTextOrTooManyPixelsAreLeftAlone) {
  EXPECT_FALSE(enlarged(testPicture("page.png").get()));   // 40-pixel glyphs
  EXPECT_FALSE(enlarged(testPicture("blank.png").get()));  // no lines at all
  // Small print on a page too large to be enlarged twice over is not even analysed,
  // though enlarging it 1.9 times would fit.
  const PixPtr small(pixRemoveColormap(testPicture("small_print.png").get(), REMOVE_CMAP_TO_GRAYSCALE));
  const PixPtr large(pixCreate(1500, 1500, 8));
  ASSERT_TRUE(small && large);
  pixSetAll(large.get());
  for (int y = 0; y + pixGetHeight(small.get()) <= 1500; y += 300) {
    for (int x = 0; x + pixGetWidth(small.get()) <= 1500; x += 400) {
      pixRasterop(large.get(), x, y, pixGetWidth(small.get()), pixGetHeight(small.get()), PIX_SRC, small.get(), 0, 0);
    }
  }
  EXPECT_GT(readingScale(10, 1500, 1500), 1.8f);
  EXPECT_FALSE(smallPrintLayout(large.get()));
  EXPECT_FALSE(smallPrintLayout(nullptr));
  EXPECT_FALSE(enlargedForSmallPrint(nullptr, 10));
}

}  // namespace
}  // namespace quillfen::layout
