#include "recognition/recognizer_stage.h"

#include <gtest/gtest.h>

#include "recognition/fake_engine.h"

namespace quillfen {
namespace {

using test_support::FakeEngine;

struct Stage {
  std::unique_ptr<TextRecognitionRequest> request;
  std::unique_ptr<ImageRequestHandler> handler;
  Status run(const FakeEngine& engine, const std::string& path, const std::vector<std::string>& languages) {
    return recognize(engine, path, languages, request, handler);
  }
};

TEST(RecognizerStage, RunsOnceWithFixedSettingsAndTheLanguagesUnchanged) {
  FakeEngine engine({Status(), [] { return ResultList(test_support::makeObservations({{"hi", 1.0f}})); }});
  Stage stage;
  EXPECT_TRUE(stage.run(engine, "page.png", {}).ok());
  EXPECT_EQ(engine.runs, 1);
  EXPECT_EQ(engine.seenLevel, RecognitionLevel::accurate);
  EXPECT_TRUE(engine.seenCorrection);
  EXPECT_TRUE(engine.seenLanguages.empty());
  ASSERT_TRUE(stage.request && stage.request->results());
  EXPECT_EQ(stage.request->results()->size(), 1u);

  EXPECT_TRUE(stage.run(engine, "page.png", {" fr-FR", "xx"}).ok());
  EXPECT_EQ(engine.seenLanguages, (std::vector<std::string>{" fr-FR", "xx"}));
}

TEST(RecognizerStage, UndecodablePictureFailsBeforeAnyRun) {
  FakeEngine engine({});
  Stage stage;
  EXPECT_EQ(stage.run(engine, "page.bad", {"xx"}).code(), Status::Code::unreadableImage);
  EXPECT_EQ(engine.runs, 0);
}

TEST(RecognizerStage, EngineErrorIsPassedOnVerbatim) {
  FakeEngine engine({Status::recognitionFailed("no data for “xx”"), {}});
  Stage stage;
  const Status status = stage.run(engine, "page.png", {"xx"});
  EXPECT_EQ(status.code(), Status::Code::recognitionFailed);
  EXPECT_EQ(status.description(), "no data for “xx”");
}

TEST(RecognizerStage, AbsentResultsAreNoFailure) {
  FakeEngine engine({});
  Stage stage;
  EXPECT_TRUE(stage.run(engine, "page.png", {}).ok());
  EXPECT_FALSE(stage.request->results());
}

}  // namespace
}  // namespace quillfen
