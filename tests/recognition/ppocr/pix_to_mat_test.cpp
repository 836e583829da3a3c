#include "recognition/ppocr/pix_to_mat.h"

#include <gtest/gtest.h>
#include <leptonica/allheaders.h>
#include <opencv2/imgproc.hpp>

namespace quillfen::ppocr {
namespace {

struct PixHolder {
  Pix* pix;
  explicit PixHolder(Pix* p) : pix(p) {}
  ~PixHolder() { pixDestroy(&pix); }
};

TEST(PixToMat, ColourPixelsLandInBgrOrder) {
  PixHolder rgb(pixCreate(3, 2, 32));
  pixSetRGBPixel(rgb.pix, 0, 0, 255, 0, 0);
  pixSetRGBPixel(rgb.pix, 1, 0, 0, 255, 0);
  pixSetRGBPixel(rgb.pix, 2, 0, 0, 0, 255);
  pixSetRGBPixel(rgb.pix, 2, 1, 10, 20, 30);
  const cv::Mat bgr = bgrFromPix(rgb.pix);
  ASSERT_EQ(bgr.type(), CV_8UC3);
  ASSERT_EQ(bgr.size(), cv::Size(3, 2));
  EXPECT_EQ(bgr.at<cv::Vec3b>(0, 0), cv::Vec3b(0, 0, 255));
  EXPECT_EQ(bgr.at<cv::Vec3b>(0, 1), cv::Vec3b(0, 255, 0));
  EXPECT_EQ(bgr.at<cv::Vec3b>(0, 2), cv::Vec3b(255, 0, 0));
  EXPECT_EQ(bgr.at<cv::Vec3b>(1, 2), cv::Vec3b(30, 20, 10));
  EXPECT_EQ(bgr.at<cv::Vec3b>(1, 0), cv::Vec3b(0, 0, 0));
}

TEST(PixToMat, BgrGoesBackToTheSameRgbPixels) {
  cv::Mat bgr(2, 3, CV_8UC3, cv::Scalar(0, 0, 0));
  bgr.at<cv::Vec3b>(0, 0) = cv::Vec3b(10, 20, 30);
  bgr.at<cv::Vec3b>(1, 2) = cv::Vec3b(255, 128, 1);
  const picture::PixPtr rgb = pixFromMat(bgr);
  ASSERT_TRUE(rgb);
  ASSERT_EQ(pixGetDepth(rgb.get()), 32);
  l_int32 red = 0, green = 0, blue = 0;
  pixGetRGBPixel(rgb.get(), 0, 0, &red, &green, &blue);
  EXPECT_EQ(red, 30);
  EXPECT_EQ(green, 20);
  EXPECT_EQ(blue, 10);
  const cv::Mat back = bgrFromPix(rgb.get());
  EXPECT_EQ(cv::norm(back, bgr, cv::NORM_INF), 0);
}

TEST(PixToMat, GrayGoesBackToTheSameGrayPixels) {
  // Odd widths: Leptonica packs four gray pixels to a word, with padding at each line's end.
  cv::Mat gray(3, 5, CV_8UC1, cv::Scalar(0));
  gray.at<uchar>(0, 0) = 7;
  gray.at<uchar>(2, 4) = 250;
  gray.at<uchar>(1, 3) = 128;
  const picture::PixPtr pix = pixFromMat(gray);
  ASSERT_TRUE(pix);
  ASSERT_EQ(pixGetDepth(pix.get()), 8);
  l_uint32 value = 0;
  pixGetPixel(pix.get(), 4, 2, &value);
  EXPECT_EQ(value, 250u);
  cv::Mat back;
  cv::cvtColor(bgrFromPix(pix.get()), back, cv::COLOR_BGR2GRAY);
  EXPECT_EQ(cv::norm(back, gray, cv::NORM_INF), 0);
}

TEST(PixToMat, GreyColourMappedAndBinaryPicturesBecomeBgr) {
  PixHolder grey(pixCreate(2, 1, 8));
  pixSetPixel(grey.pix, 1, 0, 77);
  EXPECT_EQ(bgrFromPix(grey.pix).at<cv::Vec3b>(0, 1), cv::Vec3b(77, 77, 77));

  PixHolder mapped(pixCreate(2, 1, 8));
  PixColormap* colours = pixcmapCreate(8);
  pixcmapAddColor(colours, 255, 255, 255);
  pixcmapAddColor(colours, 200, 30, 40);
  pixSetColormap(mapped.pix, colours);
  pixSetPixel(mapped.pix, 1, 0, 1);
  const cv::Mat fromMap = bgrFromPix(mapped.pix);
  EXPECT_EQ(fromMap.at<cv::Vec3b>(0, 0), cv::Vec3b(255, 255, 255));
  EXPECT_EQ(fromMap.at<cv::Vec3b>(0, 1), cv::Vec3b(40, 30, 200));

  // In a 1 bpp picture a set bit is ink: black.
  PixHolder binary(pixCreate(40, 1, 1));
  pixSetPixel(binary.pix, 35, 0, 1);
  const cv::Mat fromBits = bgrFromPix(binary.pix);
  EXPECT_EQ(fromBits.at<cv::Vec3b>(0, 35), cv::Vec3b(0, 0, 0));
  EXPECT_EQ(fromBits.at<cv::Vec3b>(0, 34), cv::Vec3b(255, 255, 255));
}

TEST(PixToMat, NoPixNoPicture) { EXPECT_TRUE(bgrFromPix(nullptr).empty()); }

}  // namespace
}  // namespace quillfen::ppocr
