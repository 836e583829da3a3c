#include "recognition/ppocr/ctc_decoder.h"

#include <gtest/gtest.h>

namespace quillfen::ppocr {
namespace {

const std::vector<std::string> kDictionary = {"a", "b", "中"};  // classes 1..3; 4 is the space
constexpr int kBlank = 0, kA = 1, kB = 2, kZhong = 3, kSpace = 4;

// Class-major, as the recogniser gives them: one row per class, one column per step. At
// each step the winning class gets the given probability, the rest share what is left.
cv::Mat steps(const std::vector<std::pair<int, float>>& winners, int classes = 5) {
  cv::Mat probabilities(classes, static_cast<int>(winners.size()), CV_32F);
  for (int t = 0; t < probabilities.cols; ++t) {
    const auto [best, p] = winners[static_cast<std::size_t>(t)];
    for (int c = 0; c < classes; ++c) {
      probabilities.at<float>(c, t) = c == best ? p : (1 - p) / static_cast<float>(classes - 1);
    }
  }
  return probabilities;
}

DecodedText decode(const cv::Mat& probabilities) {
  DecodedText decoded;
  const Status status = decodeCtc(probabilities, kDictionary, &decoded);
  EXPECT_TRUE(status.ok()) << status.description();
  return decoded;
}

TEST(CtcDecoding, RepeatsMergeAndBlanksSeparate) {
  // a a - a b b - - 中 → "aab中": a blank between two a's keeps both.
  const DecodedText decoded = decode(steps({{kA, .9f},
                                            {kA, .8f},
                                            {kBlank, .9f},
                                            {kA, .7f},
                                            {kB, .6f},
                                            {kB, .9f},
                                            {kBlank, .9f},
                                            {kBlank, .9f},
                                            {kZhong, .5f}}));
  EXPECT_EQ(decoded.text, "aab中");
  // The kept steps are the first of each run: .9, .7, .6, .5.
  EXPECT_EQ(decoded.keptSteps, 4);
  EXPECT_NEAR(decoded.confidence(), (.9 + .7 + .6 + .5) / 4, 1e-6);
}

TEST(CtcDecoding, LastClassIsASpace) {
  const DecodedText decoded = decode(steps({{kA, .9f}, {kSpace, .9f}, {kSpace, .9f}, {kB, .9f}}));
  EXPECT_EQ(decoded.text, "a b");
}

TEST(CtcDecoding, NothingButBlanksReadsNothing) {
  const DecodedText decoded = decode(steps({{kBlank, .99f}, {kBlank, .99f}}));
  EXPECT_EQ(decoded.text, "");
  EXPECT_EQ(decoded.keptSteps, 0);
  EXPECT_EQ(decoded.confidence(), 0.0f);
  EXPECT_EQ(decode(cv::Mat(5, 0, CV_32F)).text, "");
}

TEST(CtcDecoding, EachStepIsReadDownItsColumnAndTheLowestOfEqualsWins) {
  // Step 0: b and 中 tie at .4 (b wins); step 1: the space alone at .9. Rows are classes.
  cv::Mat probabilities = (cv::Mat_<float>(5, 2) << .1f, .025f,  //
                           .1f, .025f,                           //
                           .4f, .025f,                           //
                           .4f, .025f,                           //
                           .0f, .9f);
  const DecodedText decoded = decode(probabilities);
  EXPECT_EQ(decoded.text, "b ");
  EXPECT_NEAR(decoded.confidence(), (.4 + .9) / 2, 1e-6);
}

TEST(CtcDecoding, ClassCountMustFitTheDictionary) {
  DecodedText decoded;
  EXPECT_EQ(decodeCtc(steps({{kA, .9f}}, 4), kDictionary, &decoded).code(), Status::Code::recognitionFailed);
  EXPECT_EQ(decodeCtc(steps({{kA, .9f}}, 6), kDictionary, &decoded).code(), Status::Code::recognitionFailed);
  EXPECT_TRUE(decodeCtc(steps({{kA, .9f}}, 5), kDictionary, &decoded).ok());
  EXPECT_EQ(decoded.text, "a");
}

}  // namespace
}  // namespace quillfen::ppocr
