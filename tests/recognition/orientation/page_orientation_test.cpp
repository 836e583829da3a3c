// Turning pictures, Tesseract's orientation detection on real pages, and the rule that
// decides between a page's reading as stored and turned.
#include "recognition/orientation/page_orientation.h"

#include <gtest/gtest.h>
#include <leptonica/allheaders.h>
#include <tesseract/baseapi.h>

#include <cmath>

#include "recognition/picture/picture_decoder.h"
#include "support/run_binary.h"

namespace quillfen::orientation {
namespace {

using picture::PixPtr;

TEST(TurnedUpright, EachOrientationIsUndone) {
  // An upright 3 × 2 picture with one black pixel at its top left, stored turned clockwise.
  PixPtr upright(pixCreate(3, 2, 8));
  pixSetAll(upright.get());
  pixSetPixel(upright.get(), 0, 0, 0);
  for (int quarters = 0; quarters < 4; ++quarters) {
    PixPtr stored(quarters == 0 ? pixCopy(nullptr, upright.get()) : pixRotateOrth(upright.get(), quarters));
    const auto orientation = static_cast<Orientation>(quarters * 90);
    PixPtr back = turnedUpright(stored.get(), orientation);
    ASSERT_TRUE(back);
    l_int32 same = 0;
    pixEqual(back.get(), upright.get(), &same);
    EXPECT_TRUE(same) << quarters;
  }
}

TEST(ReadingConfidence, LongLinesWeighMore) {
  Observations lines;
  lines.push_back(std::make_unique<TextLineObservation>("a long line of text", 0.9f));  // 19 bytes
  lines.push_back(std::make_unique<TextLineObservation>("x", 0.1f));
  EXPECT_NEAR(readingConfidence(lines), (19 * 0.9 + 0.1) / 20, 1e-6);
  EXPECT_EQ(readingConfidence(Observations()), 0.0);
}

TEST(TurnedReadingWins, UpsideDownNeedsAClearlyBetterReading) {
  EXPECT_TRUE(turnedReadingWins(0.58, 0.98, Orientation::upsideDown));
  EXPECT_FALSE(turnedReadingWins(0.95, 0.97, Orientation::upsideDown));
  EXPECT_FALSE(turnedReadingWins(0.95, 0.60, Orientation::upsideDown));
}

TEST(TurnedReadingWins, AQuarterTurnNeedsOnlyAnEqualReading) {
  // Lines turned back one by one can read confidently, in the wrong order.
  EXPECT_TRUE(turnedReadingWins(0.985, 0.988, Orientation::turnedRight));
  EXPECT_TRUE(turnedReadingWins(0.985, 0.975, Orientation::turnedLeft));
  EXPECT_FALSE(turnedReadingWins(0.95, 0.70, Orientation::turnedLeft));
  EXPECT_FALSE(turnedReadingWins(0.5, 0.9, Orientation::upright));
}

std::optional<OrientationGuess> detect(const std::string& picture) {
  auto image = picture::decodePicture(test_support::dataPath(picture));
  if (!image) throw std::runtime_error("test picture does not decode");
  return detectOrientation(image->pix(), QUILLFEN_TESSDATA_DIR);
}

TEST(DetectOrientation, NamesEachTurnOfAPrintedPage) {
  const std::pair<const char*, Orientation> pages[] = {
      {"page.png", Orientation::upright},
      {"page-rot90.png", Orientation::turnedRight},
      {"page-rot180.png", Orientation::upsideDown},
      {"page-rot270.png", Orientation::turnedLeft},
  };
  for (const auto& [file, orientation] : pages) {
    const auto guess = detect(file);
    ASSERT_TRUE(guess) << file;
    EXPECT_EQ(guess->orientation, orientation) << file;
    EXPECT_GE(guess->confidence, kMinGuessConfidence) << file;
  }
  EXPECT_EQ(confidentTurn(detect("page.png")), std::nullopt);
  EXPECT_EQ(confidentTurn(detect("page-rot180.png")), Orientation::upsideDown);
}

TEST(DetectOrientation, AnUnsureAnswerOnASmallReceiptStillCounts) {
  const auto guess = detect("till_receipt-rot180.png");
  ASSERT_TRUE(guess);
  EXPECT_EQ(guess->orientation, Orientation::upsideDown);
  EXPECT_LT(guess->confidence, 3.0f);
  EXPECT_EQ(confidentTurn(guess), Orientation::upsideDown);
}

TEST(DetectOrientation, TallPagesOfSmallPrintKeepTheirResolution) {
  // A scanned page of small print, 2480 x 4666, is looked at as it is; only pictures past
  // twelve megapixels are shrunk, by area.
  EXPECT_EQ(detectionScale(2480, 4666), 1.0);
  EXPECT_EQ(detectionScale(4000, 3000), 1.0);
  EXPECT_NEAR(detectionScale(10000, 10000), std::sqrt(0.12), 1e-9);
  EXPECT_NEAR(detectionScale(40000, 1000), std::sqrt(0.3), 1e-9);
}

PixPtr grayPicture(const std::string& picture) {
  auto image = picture::decodePicture(test_support::dataPath(picture));
  if (!image) throw std::runtime_error("test picture does not decode");
  return PixPtr(pixConvertTo8(image->pix(), 0));
}

// Tesseract's own detection on a gray picture, without the count in front of it.
bool tesseractAnswers(Pix* gray) {
  tesseract::TessBaseAPI api;
  api.SetVariable("debug_file", "/dev/null");
  if (api.Init(QUILLFEN_TESSDATA_DIR, "osd", tesseract::OEM_TESSERACT_ONLY) != 0) throw std::runtime_error("no osd");
  api.SetPageSegMode(tesseract::PSM_OSD_ONLY);
  api.SetImage(gray);
  int degrees = 0;
  float confidence = 0, scriptConfidence = 0;
  const char* script = nullptr;
  return api.DetectOrientationScript(&degrees, &confidence, &script, &scriptConfidence);
}

TEST(DetectionCanAnswer, CountsEnoughShapesOnEveryTurnedPageDarkOrLight) {
  for (const char* file : {"page-rot90.png", "page-rot180.png", "page-rot270.png", "scan-rot90.png",
                           "till_receipt-rot180.png", "magazine_top-rot90.png"}) {
    EXPECT_TRUE(detectionCanAnswer(grayPicture(file).get())) << file;
  }
  // Light print on a dark ground counts by its light shapes.
  PixPtr inverse(pixInvert(nullptr, grayPicture("page-rot270.png").get()));
  EXPECT_TRUE(detectionCanAnswer(inverse.get()));
  EXPECT_FALSE(detectionCanAnswer(grayPicture("blank.png").get()));
}

TEST(DetectionCanAnswer, SmallPrintThatTesseractCannotAnswerIsSkipped) {
  // The page at a quarter of its size: 12-point print about 6 pixels high, as on a page
  // scanned at low resolution. Tesseract's detection answers nothing there either.
  PixPtr page = grayPicture("page-rot180.png");
  PixPtr small(pixScaleGrayLI(page.get(), 0.25f, 0.25f));
  ASSERT_TRUE(small);
  EXPECT_FALSE(detectionCanAnswer(small.get()));
  EXPECT_FALSE(tesseractAnswers(small.get()));
  EXPECT_TRUE(tesseractAnswers(page.get()));
}

TEST(DetectOrientation, NoAnswerWithoutTextOrWithoutData) {
  EXPECT_EQ(detect("blank.png"), std::nullopt);
  auto image = picture::decodePicture(test_support::dataPath("page.png"));
  ASSERT_TRUE(image);
  EXPECT_EQ(detectOrientation(image->pix(), "/nonexistent/tessdata"), std::nullopt);
  EXPECT_EQ(confidentTurn(OrientationGuess{Orientation::upsideDown, 1.0f}), std::nullopt);
}

}  // namespace
}  // namespace quillfen::orientation
