// The page-orientation levers of the PP-OCR engine: the direction vote, the sideways
// decision, the line shapes, and the direction classifier on real lines.
#include "recognition/ppocr/page_turn.h"

#include <gtest/gtest.h>

#include "recognition/picture/picture_decoder.h"
#include "recognition/ppocr/model_files.h"
#include "recognition/ppocr/pix_to_mat.h"
#include "support/run_binary.h"

namespace quillfen::ppocr {
namespace {

TEST(DirectionVote, OneConfidentUpsideDownLineDoesNotTurnAnUprightPage) {
  // Nine upright lines the classifier is fairly sure of, and one it calls upside down
  // with full confidence and more weight than any other.
  std::vector<DirectionVote> votes(9, DirectionVote{10.0, 0.2f});
  votes.push_back({25.0, 1.0f});
  EXPECT_FALSE(votesUpsideDown(votes));
  // Even when the upright lines are only just upright.
  std::vector<DirectionVote> doubtful(9, DirectionVote{10.0, 0.45f});
  doubtful.push_back({25.0, 1.0f});
  EXPECT_FALSE(votesUpsideDown(doubtful));
}

TEST(DirectionVote, AMostlyUpsideDownPageTurns) {
  std::vector<DirectionVote> votes(8, DirectionVote{10.0, 0.95f});
  votes.push_back({10.0, 0.05f});
  votes.push_back({10.0, 0.1f});
  EXPECT_TRUE(votesUpsideDown(votes));
}

TEST(DirectionVote, UnsureOrTooLittleTextKeepsThePage) {
  // Split evenly: no margin.
  std::vector<DirectionVote> split(5, DirectionVote{10.0, 0.9f});
  split.insert(split.end(), 5, DirectionVote{10.0, 0.1f});
  EXPECT_FALSE(votesUpsideDown(split));
  // Every line leans upside down, but only weakly.
  EXPECT_FALSE(votesUpsideDown(std::vector<DirectionVote>(10, DirectionVote{10.0, 0.6f})));
  // Sure, but two short words are not a page.
  EXPECT_FALSE(votesUpsideDown({{1.0, 1.0f}, {1.0, 1.0f}}));
  EXPECT_FALSE(votesUpsideDown({}));
  // Lines the recogniser read with no confidence carry no weight.
  EXPECT_FALSE(votesUpsideDown(std::vector<DirectionVote>(10, DirectionVote{0.0, 1.0f})));
}

TEST(SidewaysTurn, TheMoreConfidentDirectionWinsByAMargin) {
  EXPECT_EQ(sidewaysTurn({{10, 0.95f, 0.40f}, {8, 0.90f, 0.55f}}), Orientation::turnedRight);
  EXPECT_EQ(sidewaysTurn({{10, 0.30f, 0.97f}, {8, 0.50f, 0.92f}}), Orientation::turnedLeft);
  // Both ways alike (vertical Chinese on an upright page reads poorly either way).
  EXPECT_EQ(sidewaysTurn({{10, 0.60f, 0.58f}, {8, 0.55f, 0.60f}}), std::nullopt);
  // A short line cannot outvote long ones.
  EXPECT_EQ(sidewaysTurn({{30, 0.95f, 0.50f}, {2, 0.10f, 0.99f}}), Orientation::turnedRight);
  EXPECT_EQ(sidewaysTurn({}), std::nullopt);
}

LineEvidence lineOfSize(int width, int height) {
  return {cv::Size(width, height), [] { return cv::Mat(); }, 0.9f};
}

TEST(LineShapes, APageWithAFewVerticalLinesIsNotSideways) {
  std::vector<LineEvidence> page(10, lineOfSize(600, 30));  // ten lines of about 20 characters
  page.push_back(lineOfSize(30, 600));                      // a spine
  page.push_back(lineOfSize(30, 300));                      // a sidebar label
  page.push_back(lineOfSize(30, 30));                       // a square mark counts for neither
  const LineShapes shapes = lineShapes(page);
  EXPECT_DOUBLE_EQ(shapes.wide, 200.0);
  EXPECT_DOUBLE_EQ(shapes.tall, 30.0);
  EXPECT_FALSE(mostlyTall(shapes));
}

TEST(LineShapes, ATurnedPageIsSidewaysUnlessItIsOnlyAFewCharacters) {
  std::vector<LineEvidence> turned(8, lineOfSize(30, 600));
  turned.push_back(lineOfSize(300, 30));  // a page number read across
  EXPECT_TRUE(mostlyTall(lineShapes(turned)));
  // Two tall characters (a narrow sign) decide nothing.
  EXPECT_FALSE(mostlyTall(lineShapes({lineOfSize(30, 50), lineOfSize(30, 50)})));
}

TEST(TurnedUprightMatrix, EachOrientationIsUndone) {
  // An upright 3 × 2 picture (width 3) with a mark in its top-left corner, turned as stored.
  cv::Mat upright(2, 3, CV_8UC1, cv::Scalar(0));
  upright.at<uchar>(0, 0) = 255;
  const std::pair<Orientation, cv::RotateFlags> turns[] = {
      {Orientation::turnedRight, cv::ROTATE_90_CLOCKWISE},
      {Orientation::upsideDown, cv::ROTATE_180},
      {Orientation::turnedLeft, cv::ROTATE_90_COUNTERCLOCKWISE},
  };
  for (const auto& [orientation, stored] : turns) {
    cv::Mat turned;
    cv::rotate(upright, turned, stored);
    const cv::Mat back = turnedUpright(turned, orientation);
    EXPECT_EQ(cv::norm(back, upright, cv::NORM_INF), 0.0) << static_cast<int>(orientation);
  }
  EXPECT_EQ(cv::norm(turnedUpright(upright, Orientation::upright), upright, cv::NORM_INF), 0.0);
}

TEST(ClassifierInput, ShortLinesArePaddedLongLinesGiveThreeWindows) {
  const cv::Mat shortLine(30, 60, CV_8UC3, cv::Scalar::all(255));  // 96 wide at height 48
  const std::vector<cv::Mat> one = classifierBlobs(shortLine);
  ASSERT_EQ(one.size(), 1u);
  ASSERT_EQ(one[0].dims, 4);
  EXPECT_EQ(one[0].size[2], 48);
  EXPECT_EQ(one[0].size[3], kClassifierWidth);
  EXPECT_FLOAT_EQ(one[0].ptr<float>(0, 0, 10)[50], 1.0f);   // white ink area
  EXPECT_FLOAT_EQ(one[0].ptr<float>(0, 0, 10)[150], 0.0f);  // padding
  // A long line is not squeezed: its windows are at the line's own scale.
  cv::Mat longLine(30, 600, CV_8UC3, cv::Scalar::all(255));
  longLine.colRange(590, 600).setTo(cv::Scalar::all(0));  // a dark end
  const std::vector<cv::Mat> three = classifierBlobs(longLine);
  ASSERT_EQ(three.size(), 3u);
  EXPECT_FLOAT_EQ(three[0].ptr<float>(0, 1, 20)[kClassifierWidth - 1], 1.0f);
  EXPECT_FLOAT_EQ(three[2].ptr<float>(0, 1, 20)[kClassifierWidth - 1], -1.0f);
}

TEST(DirectionClassifier, TellsAnUprightLineFromTheSameLineUpsideDown) {
  Models models;
  ASSERT_TRUE(loadModels({QUILLFEN_PPOCR_MODEL_DIR}, &models).ok());
  DirectionClassifier classifier(models.classifier);
  auto page = picture::decodePicture(test_support::dataPath("page.png"));
  ASSERT_TRUE(page);
  const cv::Mat bgr = bgrFromPix(page->pix());
  // The page's third line, long enough to need three windows.
  const cv::Mat upright = bgr(cv::Rect(50, 140, 860, 36)).clone();
  cv::Mat upsideDown;
  cv::rotate(upright, upsideDown, cv::ROTATE_180);
  EXPECT_LT(classifier.upsideDownProbability(upright), 0.2f);
  EXPECT_GT(classifier.upsideDownProbability(upsideDown), 0.8f);
}

}  // namespace
}  // namespace quillfen::ppocr
