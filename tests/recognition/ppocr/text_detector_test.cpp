#include "recognition/ppocr/text_detector.h"

#include <gtest/gtest.h>
#include <leptonica/allheaders.h>
#include <opencv2/imgproc.hpp>

#include <algorithm>
#include <variant>

#include "recognition/picture/leptonica_image.h"
#include "recognition/ppocr/line_crop.h"
#include "recognition/ppocr/model_files.h"
#include "recognition/ppocr/pix_to_mat.h"
#include "recognition/ppocr/text_box.h"
#include "recognition/ppocr/text_recognizer.h"
#include "support/run_binary.h"
#include "support/text_distance.h"

namespace quillfen::ppocr {

using picture::PixPtr;
namespace {

TEST(BoxGeometry, CornersStartTopLeftAndGoClockwise) {
  const auto upright = orderedCorners(cv::RotatedRect({50, 20}, {80, 10}, 0));
  EXPECT_EQ(upright[0], cv::Point2f(10, 15));
  EXPECT_EQ(upright[1], cv::Point2f(90, 15));
  EXPECT_EQ(upright[2], cv::Point2f(90, 25));
  EXPECT_EQ(upright[3], cv::Point2f(10, 25));

  // Tilted a little either way, the corners stay where a reader sees them.
  for (float angle : {-10.0f, 10.0f, 80.0f, -80.0f}) {
    const auto corners = orderedCorners(cv::RotatedRect({50, 50}, {80, 10}, angle));
    EXPECT_LT(corners[0].x, corners[1].x) << angle;
    EXPECT_LT(corners[3].x, corners[2].x) << angle;
    EXPECT_LT(corners[0].y, corners[3].y) << angle;
    EXPECT_LT(corners[1].y, corners[2].y) << angle;
  }
}

TEST(BoxGeometry, ALineOffTheVerticalStaysTall) {
  // A sideways line 600 long and 40 thick, 4° off the vertical either way: its ends lie
  // further apart across the page than its thickness, yet its top and bottom are still the
  // short sides, so its crop is tall (read a quarter turn) and not a wide crop across it.
  for (float angle : {86.0f, 94.0f, -86.0f}) {
    const auto corners = orderedCorners(cv::RotatedRect({300, 400}, {600, 40}, angle));
    const cv::Size crop = cropSize(TextBox{corners, 1});
    EXPECT_NEAR(crop.width, 40, 1) << angle;
    EXPECT_NEAR(crop.height, 600, 1) << angle;
    EXPECT_LT(corners[0].y, corners[3].y) << angle;
    EXPECT_LT(corners[0].x, corners[1].x) << angle;
  }
  // The same line 4° off level is wide.
  const cv::Size level = cropSize(TextBox{orderedCorners(cv::RotatedRect({300, 400}, {600, 40}, 4)), 1});
  EXPECT_NEAR(level.width, 600, 1);
  EXPECT_NEAR(level.height, 40, 1);
}

TEST(BoxGeometry, UnclipGrowsEverySideByAreaTimesRatioOverPerimeter) {
  // 100 × 20: area 2000, perimeter 240, ratio 2 → 16.67 on each side.
  const cv::RotatedRect grown = unclip(cv::RotatedRect({60, 30}, {100, 20}, 7), 2.0f);
  EXPECT_NEAR(grown.size.width, 100 + 2 * 2000 * 2.0 / 240, 1e-3);
  EXPECT_NEAR(grown.size.height, 20 + 2 * 2000 * 2.0 / 240, 1e-3);
  EXPECT_EQ(grown.center, cv::Point2f(60, 30));
  EXPECT_EQ(grown.angle, 7);
  // A long thin kernel grows by about its own height: the margin follows the text size.
  EXPECT_NEAR(unclip(cv::RotatedRect({0, 0}, {1000, 10}, 0), 2.0f).size.height, 10 + 2 * 10000.0 * 2 / 2020, 1e-3);
}

TEST(BoxGeometry, APieceIsCutAlongTheTopAndBottomSides) {
  // A slightly sloping box from x 0 to 200: its top falls from 10 to 20, its bottom from 40
  // to 50.
  const TextBox box{{cv::Point2f(0, 10), cv::Point2f(200, 20), cv::Point2f(200, 50), cv::Point2f(0, 40)}, 0.8f};
  const TextBox middle = pieceBetween(box, 50, 150);
  EXPECT_EQ(middle.corners[0], cv::Point2f(50, 12.5f));
  EXPECT_EQ(middle.corners[1], cv::Point2f(150, 17.5f));
  EXPECT_EQ(middle.corners[2], cv::Point2f(150, 47.5f));
  EXPECT_EQ(middle.corners[3], cv::Point2f(50, 42.5f));
  EXPECT_EQ(middle.score, box.score);
  // Past an end, the end stays: the first and last pieces keep the box's own ends.
  const TextBox first = pieceBetween(box, -1e9f, 100);
  EXPECT_EQ(first.corners[0], box.corners[0]);
  EXPECT_EQ(first.corners[3], box.corners[3]);
  EXPECT_EQ(first.corners[1], cv::Point2f(100, 15));
  const TextBox last = pieceBetween(box, 100, 1e9f);
  EXPECT_EQ(last.corners[1], box.corners[1]);
  EXPECT_EQ(last.corners[2], box.corners[2]);
}

TEST(DetectorInput, SidesAreMultiplesOf32AndTheLongestIsCapped) {
  EXPECT_EQ(detectorInputSize({640, 480}, 1920), cv::Size(640, 480));
  EXPECT_EQ(detectorInputSize({650, 470}, 1920), cv::Size(640, 480));
  EXPECT_EQ(detectorInputSize({10, 5}, 1920), cv::Size(32, 32));
  EXPECT_EQ(detectorInputSize({4000, 3000}, 1920), cv::Size(1920, 1440));
  EXPECT_EQ(detectorInputSize({3000, 4000}, 1920), cv::Size(1440, 1920));
  // Small pictures are never enlarged beyond rounding.
  EXPECT_EQ(detectorInputSize({300, 100}, 1920), cv::Size(288, 96));
  // At a chosen scale, rounded alike.
  EXPECT_EQ(detectorInputSizeAt({6000, 4000}, 0.5), cv::Size(3008, 2016));
}

TEST(ProbabilityMap, EachConfidentRegionBecomesOneGrownBox) {
  cv::Mat map(100, 200, CV_32F, cv::Scalar(0.05));
  map(cv::Rect(20, 10, 100, 10)).setTo(0.9);   // a line
  map(cv::Rect(140, 10, 40, 10)).setTo(0.9);   // a second piece on the same row
  map(cv::Rect(20, 60, 160, 12)).setTo(0.45);  // above the pixel threshold, below the box threshold
  map(cv::Rect(20, 85, 2, 2)).setTo(0.95);     // a speck

  std::vector<TextBox> boxes = boxesFromProbabilityMap(map, map.size(), DetectorSettings{});
  ASSERT_EQ(boxes.size(), 2u);
  std::sort(boxes.begin(), boxes.end(),
            [](const TextBox& a, const TextBox& b) { return a.corners[0].x < b.corners[0].x; });
  for (const TextBox& box : boxes) EXPECT_NEAR(box.score, 0.9, 1e-3);

  // The 100 × 10 kernel spans pixels 20..119 (minAreaRect of pixel centres: 99 × 9), grown
  // by 99·9·2/216 = 8.25 on each side.
  const cv::Rect2f line = boxes[0].bounds();
  EXPECT_NEAR(line.x, 20 - 8.25, 0.6);
  EXPECT_NEAR(line.width, 99 + 16.5, 0.6);
  EXPECT_NEAR(line.y, 10 - 8.25, 0.6);
  EXPECT_NEAR(line.height, 9 + 16.5, 0.6);
  // Grown, the two pieces still leave a gap between them.
  EXPECT_LT(line.x + line.width, boxes[1].bounds().x);
}

TEST(ProbabilityMap, BoxesComeBackInPictureCoordinatesAndStayInside) {
  // The picture was 400 × 300 and the map 200 × 100: x doubles, y triples.
  cv::Mat map(100, 200, CV_32F, cv::Scalar(0));
  map(cv::Rect(50, 40, 100, 10)).setTo(1.0);
  map(cv::Rect(0, 90, 60, 10)).setTo(1.0);  // touching the map's corner
  std::vector<TextBox> boxes = boxesFromProbabilityMap(map, {400, 300}, DetectorSettings{});
  ASSERT_EQ(boxes.size(), 2u);
  std::sort(boxes.begin(), boxes.end(),
            [](const TextBox& a, const TextBox& b) { return a.corners[0].y < b.corners[0].y; });
  const cv::Rect2f line = boxes[0].bounds();
  EXPECT_NEAR(line.x + line.width / 2, 2 * 99.5, 1.0);
  EXPECT_NEAR(line.y + line.height / 2, 3 * 44.5, 1.5);
  EXPECT_GT(line.width / line.height, 2.0f);
  for (const TextBox& box : boxes) {
    for (const cv::Point2f& corner : box.corners) {
      EXPECT_GE(corner.x, 0);
      EXPECT_LE(corner.x, 400);
      EXPECT_GE(corner.y, 0);
      EXPECT_LE(corner.y, 300);
    }
  }
}

TEST(ProbabilityMap, TiltedRegionKeepsItsTilt) {
  cv::Mat map(200, 200, CV_32F, cv::Scalar(0));
  const cv::RotatedRect tilted({100, 100}, {120, 14}, 20);
  cv::Point2f points[4];
  tilted.points(points);
  std::vector<cv::Point> polygon(points, points + 4);
  cv::fillConvexPoly(map, polygon, cv::Scalar(0.9));
  const std::vector<TextBox> boxes = boxesFromProbabilityMap(map, map.size(), DetectorSettings{});
  ASSERT_EQ(boxes.size(), 1u);
  const auto& c = boxes[0].corners;
  // The top edge runs down to the right (y grows) by tan 20° per pixel.
  EXPECT_NEAR((c[1].y - c[0].y) / (c[1].x - c[0].x), std::tan(20 * CV_PI / 180), 0.05);
}

// The detector and recogniser over the built models.
struct RealModels {
  Models models;
  RealModels() {
    if (Status status = loadModels({QUILLFEN_PPOCR_MODEL_DIR}, &models); !status.ok()) {
      throw std::runtime_error(status.description());
    }
  }
};

cv::Mat testPicture(const std::string& name) {
  const PixPtr pix(pixRead(test_support::dataPath(name).c_str()));
  if (!pix) throw std::runtime_error("cannot read " + name);
  return bgrFromPix(pix.get());
}

std::vector<cv::Rect2f> boundsOf(const std::vector<TextBox>& boxes) {
  std::vector<cv::Rect2f> bounds;
  for (const TextBox& box : boxes) bounds.push_back(box.bounds());
  return bounds;
}

TEST(TextDetectorOnPictures, SmallTilesFindTheBoxesOnePassFinds) {
  RealModels real;
  const cv::Mat picture = testPicture("two_columns.png");
  const auto whole = boundsOf(TextDetector(real.models.detector).detect(picture));
  DetectorSettings tiled;
  tiled.tileSide = 384;  // 1120 × 608 in 5 × 3 tiles, seams crossing every line
  const auto pieces = boundsOf(TextDetector(real.models.detector, tiled).detect(picture));
  ASSERT_GE(whole.size(), 6u);
  ASSERT_EQ(pieces.size(), whole.size());
  // The network pools over its whole input, so a tile's map is a little thicker or thinner
  // than the whole picture's; what must hold is that no line is cut at a seam: each line
  // is one box, as long as in one pass.
  for (const cv::Rect2f& box : whole) {
    const cv::Point2f centre(box.x + box.width / 2, box.y + box.height / 2);
    const auto match =
        std::find_if(pieces.begin(), pieces.end(), [&](const cv::Rect2f& piece) { return piece.contains(centre); });
    ASSERT_NE(match, pieces.end()) << box;
    EXPECT_NEAR(match->width, box.width, 0.05 * box.width) << box;
    EXPECT_NEAR(match->x, box.x, 10) << box;
  }
}

TEST(TextDetectorOnPictures, SmallTextOnABigPhotoIsReadWhole) {
  // The English test picture's lines at about 12-pixel glyphs on a 4000 × 3000 canvas,
  // which the detector first sees at half size.
  RealModels real;
  cv::Mat canvas(3000, 4000, CV_8UC3, cv::Scalar(215, 225, 230));
  cv::Mat small;
  cv::resize(testPicture("english.png"), small, {}, 0.3, 0.3, cv::INTER_AREA);
  small.copyTo(canvas(cv::Rect({700, 500}, small.size())));
  cv::Mat noise(canvas.size(), CV_8UC3);
  cv::randn(noise, 0, 16);  // a camera's grain, as on a photo
  canvas += noise;

  TextRecognizer recognizer(real.models.recognizer, real.models.dictionary);
  std::vector<TextBox> boxes = TextDetector(real.models.detector).detect(canvas);
  std::sort(boxes.begin(), boxes.end(), [](const TextBox& a, const TextBox& b) { return a.bounds().y < b.bounds().y; });
  std::string text;
  for (const TextBox& box : boxes) {
    DecodedText line;
    ASSERT_TRUE(recognizer.recognize(cropTextBox(canvas, box), &line).ok());
    text += line.text + "\n";
  }
  EXPECT_EQ(boxes.size(), 3u) << text;
  EXPECT_LT(test_support::characterErrorRate(test_support::expectedText("english"), text), 0.03) << text;
}

TEST(TextDetectorOnPictures, SmallPrintOnALargePageIsFoundAtTheScaleOfItsText) {
  // The English test picture's lines at about 10-pixel capitals, over and over a 6000 ×
  // 4000 page: fitted to the detector's 1920 pixels they would be 3 pixels high, and most
  // would not be found at all.
  RealModels real;
  cv::Mat page(4000, 6000, CV_8UC3, cv::Scalar(255, 255, 255));
  cv::Mat small;
  cv::resize(testPicture("english.png"), small, {}, 0.35, 0.35, cv::INTER_AREA);
  int pasted = 0;
  for (int y = 100; y + small.rows <= page.rows; y += small.rows + 20) {
    for (int x = 100; x + small.cols <= page.cols; x += small.cols + 200) {
      small.copyTo(page(cv::Rect({x, y}, small.size())));
      ++pasted;
    }
  }
  const std::size_t lines = 3 * static_cast<std::size_t>(pasted);
  const std::vector<TextBox> found = TextDetector(real.models.detector).detect(page);
  DetectorSettings fittedOnly;
  fittedOnly.probeBelowScale = 0;
  const std::vector<TextBox> fitted = TextDetector(real.models.detector, fittedOnly).detect(page);
  EXPECT_GE(found.size(), lines) << pasted << " pasted";
  EXPECT_LE(found.size(), lines + lines / 10);
  EXPECT_LT(fitted.size(), lines / 2);
}

}  // namespace
}  // namespace quillfen::ppocr
