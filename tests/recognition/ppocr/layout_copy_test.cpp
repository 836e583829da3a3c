// The page layout analysed at the size of its text: large text brought down to body text's
// size, every page under a pixel limit, and a reduced analysis finding the columns and
// blocks of the full-size one, in the page's own pixels.
#include "recognition/ppocr/layout_copy.h"

#include <gtest/gtest.h>
#include <leptonica/allheaders.h>
#include <opencv2/imgproc.hpp>

#include <cmath>

#include "recognition/picture/pix_ptr.h"
#include "recognition/ppocr/pix_to_mat.h"
#include "support/run_binary.h"

namespace quillfen::ppocr {
namespace {

ReadBox boxOfSize(float width, float height) {
  return {TextBox{{cv::Point2f(10, 10), {10 + width, 10}, {10 + width, 10 + height}, {10, 10 + height}}}, {}};
}

// As many lines read as two columns need at the least, all of one size.
std::vector<ReadBox> linesOfSize(float width, float height) {
  return std::vector<ReadBox>(6, boxOfSize(width, height));
}

TEST(LayoutScale, SmallPrintIsAnalysedAtFullSize) {
  EXPECT_EQ(layoutScale(45, {2550, 3300}), 1.0f);  // a magazine page at 300 dpi
  EXPECT_EQ(layoutScale(0, {2550, 3300}), 1.0f);   // nothing read
  EXPECT_EQ(layoutScale(20, {300, 200}), 1.0f);
}

TEST(LayoutScale, LargerTextIsBroughtDownToOneSize) {
  const float photo = layoutScale(100, {4000, 3000});
  const float poster = layoutScale(200, {4000, 3000});
  EXPECT_LT(photo, 1.0f);
  EXPECT_NEAR(100 * photo, 200 * poster, 0.01f);
  EXPECT_GT(100 * photo, 45.0f);  // never below the size the analysis reads columns at
}

TEST(LayoutScale, EveryPageIsBroughtUnderThePixelLimit) {
  const float huge = layoutScale(20, {10000, 10000});
  const float larger = layoutScale(20, {20000, 10000});
  EXPECT_LT(huge, 1.0f);
  // The same number of pixels analysed, whatever the page's size.
  EXPECT_NEAR(10000.0 * 10000 * huge * huge, 20000.0 * 10000 * larger * larger, 1e4);
  // Large text on a huge page: the smaller of the two scales.
  EXPECT_EQ(layoutScale(1000, {10000, 10000}), layoutScale(1000, {1000, 1000}));
  EXPECT_EQ(layoutScale(60, {10000, 10000}), huge);
}

TEST(LayoutScale, APictureEnlargedForSmallPrintIsAnalysedAtItsOwnSize) {
  EXPECT_FLOAT_EQ(layoutScale(20, {1200, 1600}, 2), 0.5f);
  EXPECT_FLOAT_EQ(layoutScale(24, {1500, 2000}, 2.5f), 0.4f);
  // Large text is brought down to the one size, enlarged or not.
  EXPECT_FLOAT_EQ(layoutScale(200, {1200, 1600}, 2), layoutScale(200, {1200, 1600}));
}

TEST(LayoutScale, ALinesHeightIsItsBoxsShorterSide) {
  // Two lines across the page and a line set vertically, all of characters 30 pixels high.
  EXPECT_FLOAT_EQ(medianLineHeight({boxOfSize(600, 30), boxOfSize(30, 400), boxOfSize(800, 30)}), 30.0f);
  EXPECT_EQ(medianLineHeight({}), 0.0f);
}

TEST(LayoutAtTextSize, AReducedAnalysisFindsTheColumnsOfTheFullSizeOne) {
  // The top of a magazine page (two columns), drawn twice as large: its text is analysed at
  // half that size, which is the page as stored.
  const picture::PixPtr stored(pixRead(test_support::dataPath("magazine_top.png").c_str()));
  ASSERT_TRUE(stored);
  const layout::PageLayout full = layout::analysePageLayout(stored.get());
  ASSERT_TRUE(layout::hasColumns(full));

  cv::Mat large;
  cv::resize(bgrFromPix(stored.get()), large, cv::Size(), 2, 2, cv::INTER_CUBIC);
  const float lineHeight = 100;
  ASSERT_LT(layoutScale(lineHeight, large.size()), 0.6f);
  StoredForm form = storedFormOf(stored.get());
  form.resolution *= 2;
  const layout::PageLayout reduced = analyseLayoutAtTextSize(large, form, linesOfSize(900, lineHeight));

  EXPECT_TRUE(layout::hasColumns(reduced));
  ASSERT_EQ(reduced.blocks.size(), full.blocks.size());
  // Where the full-size analysis puts a block, the reduced one puts it too, in the large
  // page's pixels.
  const float tolerance = 0.02f * static_cast<float>(large.cols);
  for (std::size_t i = 0; i < full.blocks.size(); ++i) {
    const layout::PageArea& a = full.blocks[i].bounds;
    const layout::PageArea& b = reduced.blocks[i].bounds;
    EXPECT_NEAR(b.x, 2 * a.x, tolerance) << "block " << i;
    EXPECT_NEAR(b.y, 2 * a.y, tolerance) << "block " << i;
    EXPECT_NEAR(b.x + b.width, 2 * (a.x + a.width), tolerance) << "block " << i;
    EXPECT_NEAR(b.y + b.height, 2 * (a.y + a.height), tolerance) << "block " << i;
    EXPECT_EQ(reduced.blocks[i].lineCount, full.blocks[i].lineCount) << "block " << i;
    EXPECT_NEAR(reduced.blocks[i].lineHeight, 2 * full.blocks[i].lineHeight, 0.2f * full.blocks[i].lineHeight);
    for (const layout::Point& p : reduced.blocks[i].outline) {
      EXPECT_GE(p.x, static_cast<float>(b.x) - tolerance);
      EXPECT_LE(p.x, static_cast<float>(b.x + b.width) + tolerance);
    }
  }
}

TEST(LayoutAtTextSize, ThePictureMeasuredForSmallPrintIsNotAnalysedTwice) {
  // Enlarged twice for its small print, the page is analysed at its stored size, which is
  // where the layout that measured it came from: that layout is used, in the enlarged
  // page's pixels. (A made-up layout, which no analysis of this page would give.)
  const picture::PixPtr stored(pixRead(test_support::dataPath("two_columns.png").c_str()));
  ASSERT_TRUE(stored);
  cv::Mat enlarged;
  cv::resize(bgrFromPix(stored.get()), enlarged, cv::Size(), 2, 2, cv::INTER_LINEAR);
  StoredForm form = storedFormOf(stored.get());
  form.resolution *= 2;
  layout::PageLayout measured;
  measured.blocks.resize(1);
  measured.blocks[0].bounds = {10, 20, 30, 40};
  measured.blocks[0].lineHeight = 9;
  measured.lineHeight = 9;
  const layout::PageLayout used = analyseLayoutAtTextSize(enlarged, form, linesOfSize(600, 24), 2, &measured);
  ASSERT_EQ(used.blocks.size(), 1u);
  EXPECT_EQ(used.blocks[0].bounds.x, 20);
  EXPECT_EQ(used.blocks[0].bounds.width, 60);
  EXPECT_EQ(used.blocks[0].bounds.height, 80);
  EXPECT_EQ(used.lineHeight, 18);
  // Lines so large that the analysis runs reduced below the stored size: analysed anew.
  const layout::PageLayout analysed = analyseLayoutAtTextSize(enlarged, form, linesOfSize(600, 240), 2, &measured);
  EXPECT_TRUE(analysed.blocks.empty() || analysed.blocks[0].bounds.x != 20);
}

TEST(LayoutAtTextSize, StoredFormTellsGrayFromColour) {
  const picture::PixPtr colour(pixCreate(4, 4, 32));
  const picture::PixPtr gray(pixCreate(4, 4, 8));
  const picture::PixPtr binary(pixCreate(4, 4, 1));
  const picture::PixPtr painted(pixCreate(4, 4, 8));
  PixColormap* colours = pixcmapCreate(8);
  pixcmapAddColor(colours, 255, 255, 255);
  pixcmapAddColor(colours, 200, 30, 40);
  pixSetColormap(painted.get(), colours);
  pixSetResolution(colour.get(), 300, 150);
  EXPECT_FALSE(storedFormOf(colour.get()).gray);
  EXPECT_EQ(storedFormOf(colour.get()).resolution, cv::Point(300, 150));
  EXPECT_TRUE(storedFormOf(gray.get()).gray);
  EXPECT_TRUE(storedFormOf(binary.get()).gray);
  EXPECT_FALSE(storedFormOf(painted.get()).gray);
}

TEST(LayoutAtTextSize, SmallPrintIsAnalysedAsDecoded) {
  // A gray page of small print (stored with a palette of grays): the analysis of its BGR
  // pixels finds exactly the blocks that the analysis of the decoded picture finds.
  const picture::PixPtr stored(pixRead(test_support::dataPath("two_columns.png").c_str()));
  ASSERT_TRUE(stored);
  const StoredForm form = storedFormOf(stored.get());
  EXPECT_TRUE(form.gray);  // gray levels in a colour map
  const layout::PageLayout direct = layout::analysePageLayout(stored.get());
  ASSERT_FALSE(direct.blocks.empty());
  const cv::Mat bgr = bgrFromPix(stored.get());
  const layout::PageLayout copied = analyseLayoutAtTextSize(bgr, form, linesOfSize(500, 30));
  // Too few lines read for two columns: nothing to order by columns, no analysis.
  EXPECT_TRUE(analyseLayoutAtTextSize(bgr, form, {}).blocks.empty());
  std::vector<ReadBox> fewLines = linesOfSize(500, 30);
  fewLines.pop_back();
  EXPECT_TRUE(analyseLayoutAtTextSize(bgr, form, fewLines).blocks.empty());
  ASSERT_EQ(copied.blocks.size(), direct.blocks.size());
  for (std::size_t i = 0; i < direct.blocks.size(); ++i) {
    EXPECT_EQ(copied.blocks[i].bounds.x, direct.blocks[i].bounds.x) << "block " << i;
    EXPECT_EQ(copied.blocks[i].bounds.y, direct.blocks[i].bounds.y) << "block " << i;
    EXPECT_EQ(copied.blocks[i].bounds.width, direct.blocks[i].bounds.width) << "block " << i;
    EXPECT_EQ(copied.blocks[i].bounds.height, direct.blocks[i].bounds.height) << "block " << i;
    EXPECT_EQ(copied.blocks[i].lineCount, direct.blocks[i].lineCount) << "block " << i;
  }
}

}  // namespace
}  // namespace quillfen::ppocr
