// VisionEngine over the fake Core Image and Vision classes in vision_fakes/: which
// messages it sends, in which order, and how it turns the answers into our types.
#include "recognition/vision/vision_engine.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "vision/fakes/fake_control.h"

namespace quillfen::vision {
namespace {

namespace fakes = quillfen::vision_fakes;
using Calls = std::vector<std::string>;

const std::string picture = "/pictures/a folder/图 片 #1%20?&.png";
const std::string decoded = "CIImage initWithContentsOfURL: image 1, file URL yes, path " + picture;

class VisionEngineTest : public ::testing::Test {
 protected:
  void SetUp() override { fakes::reset(); }
  void TearDown() override { EXPECT_EQ(fakes::liveObjects(), 0) << "fake objects leaked or over-released"; }

  // Decodes the picture, runs the request once and returns the outcome.
  Status perform(TextRecognitionRequest& request) {
    std::unique_ptr<DecodedImage> image = engine.decodeImage(picture);
    if (!image) return Status::recognitionFailed("the picture did not decode");
    std::unique_ptr<ImageRequestHandler> handler = engine.makeHandler(std::move(image));
    return handler->perform(request);
  }

  TextRecognitionRequest defaultRequest() {
    TextRecognitionRequest request;
    request.setRecognitionLevel(RecognitionLevel::accurate);
    request.setUsesLanguageCorrection(true);
    request.setRecognitionLanguages({"zh-Hans", "en-US"});
    return request;
  }

  VisionEngine engine;
};

TEST_F(VisionEngineTest, IsNamedMacosVision) { EXPECT_EQ(engine.name(), "macos-vision"); }

TEST_F(VisionEngineTest, DecodesFromAFileUrlOfThePathAsGiven) {
  std::unique_ptr<DecodedImage> image = engine.decodeImage(picture);
  EXPECT_NE(image, nullptr);
  EXPECT_EQ(fakes::calls(), Calls{decoded});
  EXPECT_EQ(fakes::liveObjects(), 1);
}

TEST_F(VisionEngineTest, PictureCoreImageCannotReadDecodesToNothing) {
  fakes::refuseImages();
  EXPECT_EQ(engine.decodeImage(picture), nullptr);
  EXPECT_EQ(fakes::calls(), Calls{"CIImage initWithContentsOfURL: image 1 refused, file URL yes, path " + picture});
}

TEST_F(VisionEngineTest, AppliesTheSettingsInOrderAndPerformsOnlyThatRequest) {
  TextRecognitionRequest request = defaultRequest();
  ASSERT_TRUE(perform(request).ok());
  EXPECT_EQ(fakes::calls(), (Calls{
                                decoded,
                                "VNRecognizeTextRequest init",
                                "setRecognitionLevel: 0",
                                "setUsesLanguageCorrection: YES",
                                "setRecognitionLanguages: (zh-Hans, en-US)",
                                "VNImageRequestHandler initWithCIImage:options: image 1, options 0 entries",
                                "performRequests:error: 1 request(s), the text request, error pointer",
                            }));
}

TEST_F(VisionEngineTest, FastLevelCorrectionOffAndAnEmptyLanguageList) {
  TextRecognitionRequest request;
  request.setRecognitionLevel(RecognitionLevel::fast);
  request.setUsesLanguageCorrection(false);
  request.setRecognitionLanguages({});
  ASSERT_TRUE(perform(request).ok());
  const Calls& calls = fakes::calls();
  ASSERT_EQ(calls.size(), 7u);
  EXPECT_EQ(calls[2], "setRecognitionLevel: 1");
  EXPECT_EQ(calls[3], "setUsesLanguageCorrection: NO");
  EXPECT_EQ(calls[4], "setRecognitionLanguages: ()");
}

TEST_F(VisionEngineTest, PassesTheLanguagesUnchanged) {
  TextRecognitionRequest request = defaultRequest();
  request.setRecognitionLanguages({"ZH-hans", "xx-XX", "日本語", " en-US "});
  ASSERT_TRUE(perform(request).ok());
  ASSERT_GE(fakes::calls().size(), 5u);
  EXPECT_EQ(fakes::calls()[4], "setRecognitionLanguages: (ZH-hans, xx-XX, 日本語,  en-US )");
}

TEST_F(VisionEngineTest, FailureCarriesTheLocalizedDescription) {
  fakes::failRequestsWith("无法完成请求 – the “request” failed");
  TextRecognitionRequest request = defaultRequest();
  const Status status = perform(request);
  EXPECT_FALSE(status.ok());
  EXPECT_EQ(status.description(), "无法完成请求 – the “request” failed");
}

TEST_F(VisionEngineTest, NilResultsLeaveTheResultsAbsent) {
  fakes::answerResults(std::nullopt);
  TextRecognitionRequest request = defaultRequest();
  request.setResults(Observations{});  // present before, so the test sees it change
  ASSERT_TRUE(perform(request).ok());
  EXPECT_FALSE(request.results().has_value());
}

TEST_F(VisionEngineTest, EmptyResultsArePresentAndEmpty) {
  fakes::answerResults(std::vector<std::vector<fakes::FakeCandidate>>{});
  TextRecognitionRequest request = defaultRequest();
  ASSERT_TRUE(perform(request).ok());
  ASSERT_TRUE(request.results().has_value());
  EXPECT_TRUE(request.results()->empty());
}

TEST_F(VisionEngineTest, ObservationsKeepTheirOrderAndAnswerTopCandidates) {
  fakes::answerResults(std::vector<std::vector<fakes::FakeCandidate>>{
      {{"第一行 first", 0.5f}, {"第一行 frist", 0.25f}},
      {{"second 🙂", 1.0f}},
  });
  TextRecognitionRequest request = defaultRequest();
  ASSERT_TRUE(perform(request).ok());
  ASSERT_TRUE(request.results().has_value());
  const Observations& observations = *request.results();
  ASSERT_EQ(observations.size(), 2u);

  std::vector<RecognizedText> best = observations[0]->topCandidates(1);
  ASSERT_EQ(best.size(), 1u);
  EXPECT_EQ(best[0].string, "第一行 first");
  EXPECT_EQ(best[0].confidence, 0.5f);

  std::vector<RecognizedText> both = observations[0]->topCandidates(2);
  ASSERT_EQ(both.size(), 2u);
  EXPECT_EQ(both[1].string, "第一行 frist");
  EXPECT_EQ(both[1].confidence, 0.25f);

  std::vector<RecognizedText> second = observations[1]->topCandidates(5);
  ASSERT_EQ(second.size(), 1u);
  EXPECT_EQ(second[0].string, "second 🙂");
  EXPECT_EQ(second[0].confidence, 1.0f);

  const Calls& calls = fakes::calls();
  ASSERT_EQ(calls.size(), 10u);
  EXPECT_EQ(calls[7], "topCandidates: 1");
  EXPECT_EQ(calls[8], "topCandidates: 2");
  EXPECT_EQ(calls[9], "topCandidates: 5");
}

TEST_F(VisionEngineTest, ObservationWithoutCandidatesAnswersNone) {
  fakes::answerResults(std::vector<std::vector<fakes::FakeCandidate>>{{}});
  TextRecognitionRequest request = defaultRequest();
  ASSERT_TRUE(perform(request).ok());
  ASSERT_TRUE(request.results().has_value());
  ASSERT_EQ(request.results()->size(), 1u);
  EXPECT_TRUE(request.results()->front()->topCandidates(1).empty());
}

TEST_F(VisionEngineTest, ConfidenceKeepsTheFloatValueExactly) {
  fakes::answerResults(std::vector<std::vector<fakes::FakeCandidate>>{{{"x", 0.3f}}, {{"y", 0.1f}}});
  TextRecognitionRequest request = defaultRequest();
  ASSERT_TRUE(perform(request).ok());
  const float first = (*request.results())[0]->topCandidates(1).at(0).confidence;
  const float second = (*request.results())[1]->topCandidates(1).at(0).confidence;
  EXPECT_EQ(first, 0.3f);
  EXPECT_EQ(static_cast<double>(first), 0.30000001192092896);
  EXPECT_EQ(second, 0.1f);
  EXPECT_EQ(static_cast<double>(second), 0.10000000149011612);
}

TEST_F(VisionEngineTest, ObservationsOutliveTheHandlerAndTheRequest) {
  fakes::answerResults(std::vector<std::vector<fakes::FakeCandidate>>{{{"kept", 0.75f}}, {{"also kept", 0.5f}}});
  TextRecognitionRequest request = defaultRequest();
  ASSERT_TRUE(perform(request).ok());  // the picture, handler and Vision request are gone
  EXPECT_EQ(fakes::liveObjects(), 2) << "only the two observations should still be alive";
  EXPECT_EQ((*request.results())[1]->topCandidates(1).at(0).string, "also kept");
  EXPECT_EQ(fakes::liveObjects(), 2) << "the candidates are released once read";
  request.setResults(std::nullopt);
  EXPECT_EQ(fakes::liveObjects(), 0);
}

TEST_F(VisionEngineTest, LanguageThatIsNotUtf8FailsWithoutARequest) {
  TextRecognitionRequest request = defaultRequest();
  request.setRecognitionLanguages({"en-US", "\xff\xfe"});
  const Status status = perform(request);
  EXPECT_FALSE(status.ok());
  EXPECT_EQ(fakes::calls(), Calls{decoded});
}

}  // namespace
}  // namespace quillfen::vision
