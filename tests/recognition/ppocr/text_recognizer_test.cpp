#include "recognition/ppocr/text_recognizer.h"

#include <gtest/gtest.h>

namespace quillfen::ppocr {
namespace {

TEST(RecognizerWidth, BucketsHoldTheLineAndAreFew) {
  int previous = 0;
  std::vector<int> buckets;
  for (int width = 1; width <= 3000; ++width) {
    const int bucket = bucketWidth(width);
    EXPECT_GE(bucket, std::min(width, kMaxLineWidth)) << width;
    EXPECT_GE(bucket, previous) << width;
    EXPECT_EQ(bucket % 64, 0) << width;
    if (bucket != previous) buckets.push_back(bucket);
    previous = bucket;
  }
  EXPECT_EQ(buckets.front(), 64);
  EXPECT_EQ(buckets.back(), kMaxLineWidth);
  EXPECT_LE(buckets.size(), 21u);
  // Padding stays a modest share of a long line.
  EXPECT_EQ(bucketWidth(513), 640);
  EXPECT_EQ(bucketWidth(1500), 1536);
}

// A line crop: a background colour with a dark block of "ink" in its left half.
cv::Mat line(int width, int height, cv::Vec3b background) {
  cv::Mat crop(height, width, CV_8UC3, cv::Scalar(background[0], background[1], background[2]));
  crop(cv::Rect(width / 8, height / 4, width / 3, height / 2)).setTo(cv::Scalar(10, 20, 30));
  return crop;
}

float at(const cv::Mat& blob, int channel, int y, int x) { return blob.ptr<float>(0, channel)[y * blob.size[3] + x]; }

float normalised(int value) { return (static_cast<float>(value) / 255.0f - 0.5f) / 0.5f; }

TEST(RecognizerInput, HeightIs48WidthFollowsTheAspectAndPaddingIsTheBackground) {
  const cv::Vec3b background(200, 100, 50);  // BGR
  const cv::Mat blob = recognizerBlob(line(300, 60, background));
  ASSERT_EQ(blob.dims, 4);
  EXPECT_EQ(blob.size[0], 1);
  EXPECT_EQ(blob.size[1], 3);
  EXPECT_EQ(blob.size[2], 48);
  EXPECT_EQ(blob.size[3], bucketWidth(240));  // 300 × 48 / 60
  for (int c = 0; c < 3; ++c) {
    // Channels stay in BGR order; the padding past column 240 is the background.
    EXPECT_NEAR(at(blob, c, 5, 2), normalised(background[c]), 1e-5) << c;
    EXPECT_NEAR(at(blob, c, 20, 260), normalised(background[c]), 1e-5) << c;
    EXPECT_NEAR(at(blob, c, 24, 60), normalised(10 + 10 * c), 1e-5) << c;
  }
}

TEST(RecognizerInput, VeryLongLinesAreSqueezedToTheWidestInput) {
  const cv::Mat blob = recognizerBlob(line(4000, 40, {255, 255, 255}));
  EXPECT_EQ(blob.size[3], kMaxLineWidth);
  const cv::Mat tiny = recognizerBlob(line(3, 60, {255, 255, 255}));
  EXPECT_EQ(tiny.size[3], 64);
}

}  // namespace
}  // namespace quillfen::ppocr
