#include "recognition/ppocr/pix_to_mat.h"

#include <gtest/gtest.h>
#include <leptonica/allheaders.h>

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
  const picture::PixPtr rgb = rgbPixFromBgr(bgr);
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
