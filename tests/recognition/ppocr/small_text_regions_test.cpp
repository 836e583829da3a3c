#include "recognition/ppocr/small_text_regions.h"

#include <gtest/gtest.h>

namespace quillfen::ppocr {
namespace {

// A 300 × 150 map of a 600 × 300 picture: map pixels are 2 × 2 picture pixels.
cv::Mat emptyMap() { return cv::Mat(150, 300, CV_32F, cv::Scalar(0.02)); }

bool holds(const cv::Rect& region, const cv::Rect& inPicture) { return (region & inPicture) == inPicture; }

TEST(SmallTextRegions, OnlyThinTextGetsARegionInPictureCoordinates) {
  cv::Mat map = emptyMap();
  map(cv::Rect(40, 20, 60, 4)).setTo(0.9);    // thin: small text
  map(cv::Rect(40, 90, 200, 20)).setTo(0.9);  // thick: text the map holds well
  const auto regions = smallTextRegions(map, {600, 300}, 0.3f, 6);
  ASSERT_EQ(regions.size(), 1u);
  EXPECT_TRUE(holds(regions[0], cv::Rect(80, 40, 120, 8))) << regions[0];
  EXPECT_FALSE(regions[0].contains({280, 200})) << regions[0];
  // Kept inside the picture.
  EXPECT_EQ(regions[0] & cv::Rect(0, 0, 600, 300), regions[0]);
}

TEST(SmallTextRegions, NoThinTextNoRegions) {
  cv::Mat map = emptyMap();
  EXPECT_TRUE(smallTextRegions(map, {600, 300}, 0.3f, 6).empty());
  map(cv::Rect(10, 10, 100, 12)).setTo(0.9);
  map(cv::Rect(10, 60, 100, 3)).setTo(0.2);  // thin, but below the threshold
  EXPECT_TRUE(smallTextRegions(map, {600, 300}, 0.3f, 6).empty());
}

TEST(SmallTextRegions, WordsOfALineJoinAndDistantTextStaysApart) {
  cv::Mat map = emptyMap();
  map(cv::Rect(10, 20, 30, 3)).setTo(0.9);  // three words of one line
  map(cv::Rect(46, 20, 20, 3)).setTo(0.9);
  map(cv::Rect(72, 21, 40, 3)).setTo(0.9);
  map(cv::Rect(200, 120, 50, 3)).setTo(0.9);  // far away in the corner
  auto regions = smallTextRegions(map, {600, 300}, 0.3f, 6);
  ASSERT_EQ(regions.size(), 2u);
  // The largest first.
  EXPECT_GE(regions[0].area(), regions[1].area());
  EXPECT_TRUE(holds(regions[0], cv::Rect(20, 40, 204, 8))) << regions[0];
  EXPECT_TRUE(holds(regions[1], cv::Rect(400, 240, 100, 6))) << regions[1];
  EXPECT_TRUE((regions[0] & regions[1]).empty());
}

}  // namespace
}  // namespace quillfen::ppocr
