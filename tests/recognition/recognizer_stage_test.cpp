#include "recognition/recognizer_stage.h"

#include <gtest/gtest.h>

#include "recognition/fake_engine.h"

namespace quillfen {
namespace {

using testing::FakeEngine;

struct Stage {
  std::unique_ptr<TextRecognitionRequest> request;
  std::unique_ptr<ImageRequestHandler> handler;
  std::optional<StageFailure> run(const FakeEngine& engine, const std::string& path,
                                  const std::vector<std::string>& languages) {
    return recognize(engine, path, languages, request, handler);
  }
};

TEST(RecognizerStage, RunsOnceWithFixedSettingsAndTheLanguagesUnchanged) {
  FakeEngine engine({Status::ok(), [] { return ResultList(testing::makeObservations({{"hi", 1.0f}})); }});
  Stage stage;
  EXPECT_FALSE(stage.run(engine, "page.png", {}));
  EXPECT_EQ(engine.runs, 1);
  EXPECT_EQ(engine.seenLevel, RecognitionLevel::accurate);
  EXPECT_TRUE(engine.seenCorrection);
  EXPECT_TRUE(engine.seenLanguages.empty());
  ASSERT_TRUE(stage.request && stage.request->results());
  EXPECT_EQ(stage.request->results()->size(), 1u);

  EXPECT_FALSE(stage.run(engine, "page.png", {" fr-FR", "xx"}));
  EXPECT_EQ(engine.seenLanguages, (std::vector<std::string>{" fr-FR", "xx"}));
}

TEST(RecognizerStage, UndecodablePictureFailsBeforeAnyRun) {
  FakeEngine engine({});
  Stage stage;
  std::optional<StageFailure> failure = stage.run(engine, "page.bad", {"xx"});
  ASSERT_TRUE(failure);
  EXPECT_EQ(failure->kind, StageFailure::Kind::unreadableImage);
  EXPECT_EQ(engine.runs, 0);
}

TEST(RecognizerStage, EngineErrorIsPassedOnVerbatim) {
  FakeEngine engine({Status::error("no data for “xx”"), {}});
  Stage stage;
  std::optional<StageFailure> failure = stage.run(engine, "page.png", {"xx"});
  ASSERT_TRUE(failure);
  EXPECT_EQ(failure->kind, StageFailure::Kind::recognitionFailed);
  EXPECT_EQ(failure->description, "no data for “xx”");
}

TEST(RecognizerStage, AbsentResultsAreNoFailure) {
  FakeEngine engine({});
  Stage stage;
  EXPECT_FALSE(stage.run(engine, "page.png", {}));
  EXPECT_FALSE(stage.request->results());
}

}  // namespace
}  // namespace quillfen
