// The engine over real and broken model folders.
#include "recognition/ppocr/ppocr_engine.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "recognition/ppocr/model_files.h"
#include "support/run_binary.h"
#include "support/temp_dir.h"

namespace quillfen::ppocr {
namespace {

const std::string kBuiltModels = QUILLFEN_PPOCR_MODEL_DIR;
const char* const kAllFiles[] = {kDetectorFile, kRecognizerFile, kDictionaryFile, kClassifierFile};

// A model folder linking to the built files, except those the test replaces or leaves out.
struct ModelFolder {
  test_support::TempDir dir;
  explicit ModelFolder(const std::vector<std::string>& without = {}) {
    for (const char* file : kAllFiles) {
      if (std::find(without.begin(), without.end(), file) != without.end()) continue;
      std::filesystem::create_symlink(kBuiltModels + "/" + file, dir.path() + "/" + file);
    }
  }
  std::string path(const std::string& file) const { return dir.path() + "/" + file; }
};

struct EngineRun {
  Status status = Status();
  TextRecognitionRequest request;
};

EngineRun readPicture(const std::vector<std::string>& folders, const std::string& picture = "english.png") {
  PpocrEngine engine(folders);
  auto image = engine.decodeImage(test_support::dataPath(picture));
  if (!image) throw std::runtime_error("test picture does not decode");
  EngineRun run;
  run.status = engine.makeHandler(std::move(image))->perform(run.request);
  return run;
}

void expectFailureNaming(const EngineRun& run, const std::string& what) {
  ASSERT_FALSE(run.status.ok());
  const std::string& description = run.status.description();
  EXPECT_NE(description.find(what), std::string::npos) << description;
  EXPECT_NE(description.find("models/fetch.sh"), std::string::npos) << description;
  EXPECT_EQ(description.find('\n'), std::string::npos) << description;
  EXPECT_FALSE(run.request.results().has_value());
}

TEST(PpocrEngine, ReadsWithTheBuiltModels) {
  const EngineRun run = readPicture({kBuiltModels});
  ASSERT_TRUE(run.status.ok()) << run.status.description();
  ASSERT_TRUE(run.request.results().has_value());
  EXPECT_EQ(run.request.results()->size(), 3u);
}

TEST(PpocrEngine, EachMissingFileIsNamed) {
  for (const char* file : kAllFiles) {
    ModelFolder folder({file});
    expectFailureNaming(readPicture({folder.dir.path()}), folder.path(file));
  }
}

TEST(PpocrEngine, DamagedFilesAreNamed) {
  const std::string real = test_support::readFile(kBuiltModels + "/" + kRecognizerFile);
  const std::pair<const char*, std::string> damages[] = {
      {kDetectorFile, "this is not a model\n"},
      {kRecognizerFile, real.substr(0, real.size() / 2)},  // cut short
      {kDictionaryFile, "a\nb\nc\n"},                      // a dictionary for another recogniser
      {kDictionaryFile, ""},
      {kClassifierFile, "this is not a model either\n"},
  };
  for (const auto& [file, bytes] : damages) {
    ModelFolder folder({file});
    folder.dir.write(file, bytes);
    SCOPED_TRACE(file);
    expectFailureNaming(readPicture({folder.dir.path()}), folder.path(file));
  }
}

TEST(PpocrEngine, FirstCompleteFolderIsUsed) {
  ModelFolder incomplete({kDetectorFile});
  const EngineRun run = readPicture({"/nonexistent/quillfen-models", incomplete.dir.path(), kBuiltModels});
  EXPECT_TRUE(run.status.ok()) << run.status.description();
}

TEST(PpocrEngine, NoFolderAtAllIsReported) {
  const EngineRun run = readPicture({"/nonexistent/a", "/nonexistent/b"});
  expectFailureNaming(run, "/nonexistent/a");
}

}  // namespace
}  // namespace quillfen::ppocr
