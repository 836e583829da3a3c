// The engine over real and broken model folders.
#include "recognition/ppocr/ppocr_engine.h"

#include <gtest/gtest.h>
#include <leptonica/allheaders.h>

#include <filesystem>

#include "recognition/layout/reading_scale.h"
#include "recognition/picture/pix_ptr.h"
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

std::size_t threadCount() {
  const std::filesystem::directory_iterator tasks("/proc/self/task");
  return static_cast<std::size_t>(std::distance(begin(tasks), end(tasks)));
}

// A picture too large to be measured for small print has its models loaded on a thread of
// their own while it decodes. That thread must be gone when decoding returns, since the
// handler forks for its layout analysis; what it found reaches the handler.
TEST(PpocrEngine, ModelsLoadedBesideDecodingReachTheReadingAndTheirThreadIsGone) {
  test_support::TempDir dir;
  const picture::PixPtr blank(pixCreate(1500, 1400, 8));
  pixSetAll(blank.get());
  const std::string large = dir.path() + "/large.png";
  ASSERT_EQ(pixWrite(large.c_str(), blank.get(), IFF_PNG), 0);
  ASSERT_FALSE(layout::measuredForSmallPrint(1500, 1400));

  for (const std::string& folder : {kBuiltModels, std::string("/nonexistent/quillfen-models")}) {
    SCOPED_TRACE(folder);
    const std::size_t before = threadCount();  // OpenCV's own pool stays once a network has run
    PpocrEngine engine({folder});
    auto image = engine.decodeImage(large);
    ASSERT_NE(image, nullptr);
    EXPECT_EQ(threadCount(), before);
    EngineRun run;
    run.status = engine.makeHandler(std::move(image))->perform(run.request);
    if (folder == kBuiltModels) {
      ASSERT_TRUE(run.status.ok()) << run.status.description();
      EXPECT_TRUE(run.request.results()->empty());
    } else {
      expectFailureNaming(run, folder);
    }
  }
}

// A file that holds no picture is reported as such, before anything about the models.
TEST(PpocrEngine, NoPictureComesBeforeMissingModels) {
  test_support::TempDir dir;
  dir.write("notes.png", "not a picture\n");
  for (const std::string& folder : {kBuiltModels, std::string("/nonexistent/quillfen-models")}) {
    EXPECT_EQ(PpocrEngine({folder}).decodeImage(dir.path() + "/notes.png"), nullptr) << folder;
  }
}

TEST(PpocrEngine, NoFolderAtAllIsReported) {
  const EngineRun run = readPicture({"/nonexistent/a", "/nonexistent/b"});
  expectFailureNaming(run, "/nonexistent/a");
}

}  // namespace
}  // namespace quillfen::ppocr
