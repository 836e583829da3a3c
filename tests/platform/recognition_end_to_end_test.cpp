// Real recognition of committed pictures through the binary.
#include <gtest/gtest.h>

#include <filesystem>

#include "cli/messages.h"
#include "record/json_read.h"
#include "support/run_binary.h"
#include "support/temp_dir.h"
#include "support/text_distance.h"

namespace quillfen {
namespace {

using testing::dataPath;
using testing::ProcessResult;
using testing::runTool;

OcrOutput successfulRecord(const ProcessResult& result) {
  EXPECT_EQ(result.status, 0) << result.err;
  EXPECT_EQ(result.err, "");
  EXPECT_TRUE(!result.out.empty() && result.out.back() == '\n');
  EXPECT_EQ(result.out.find('\n'), result.out.size() - 1) << "one line only";
  std::optional<OcrOutput> record = readOcrOutput(result.out);
  EXPECT_TRUE(record) << result.out;
  return record.value_or(OcrOutput("", -1, -1, ""));
}

class CleanPicture : public ::testing::TestWithParam<const char*> {};

TEST_P(CleanPicture, ReadsTheTextWithTheDefaultLanguages) {
  const std::string name = GetParam();
  const OcrOutput record = successfulRecord(runTool({dataPath(name + ".png")}));
  EXPECT_LT(testing::characterErrorRate(testing::expectedText(name), record.text()), 0.05) << record.text();
  EXPECT_EQ(record.lines(), 3);
  EXPECT_EQ(record.engine(), "tesseract");
  EXPECT_GT(record.confidence(), 0.5);
  EXPECT_LE(record.confidence(), 1.0);
}

INSTANTIATE_TEST_SUITE_P(Pictures, CleanPicture, ::testing::Values("english", "chinese", "mixed"));

TEST(Recognition, BlankPictureGivesTheEmptyRecord) {
  const ProcessResult result = runTool({dataPath("blank.png")});
  EXPECT_EQ(result.status, 0);
  EXPECT_EQ(result.err, "");
  EXPECT_EQ(result.out, "{\"text\":\"\",\"confidence\":0,\"lines\":0,\"engine\":\"tesseract\"}\n");
}

TEST(Recognition, FilesThatDoNotDecodeGiveTheUnreadableMessage) {
  testing::TempDir dir;
  const std::string png = testing::readFile(dataPath("english.png"));
  const std::string files[] = {
      dir.write("empty.png", ""),
      dir.write("truncated.png", png.substr(0, png.size() / 3)),
      dir.write("header-only.png", png.substr(0, 40)),
      dir.write("text.png", "This is a plain text file, not a picture.\n"),
      dir.path(),
  };
  for (const std::string& file : files) {
    const ProcessResult result = runTool({file});
    EXPECT_EQ(result.status, 1) << file;
    EXPECT_EQ(result.out, "") << file;
    EXPECT_EQ(result.err, messages::unreadableImage) << file;
  }
}

TEST(Recognition, UnknownLanguageIsARecognitionFailureNamingIt) {
  const ProcessResult result = runTool({dataPath("english.png"), "en-US,xx-XX"});
  EXPECT_EQ(result.status, 1);
  EXPECT_EQ(result.out, "");
  const std::string prefix(messages::recognitionFailed);
  ASSERT_EQ(result.err.substr(0, prefix.size()), prefix);
  EXPECT_NE(result.err.find("xx-XX"), std::string::npos) << result.err;
  EXPECT_NE(result.err.back(), '\n');
}

TEST(Recognition, UndecodablePictureIsReportedBeforeTheLanguages) {
  testing::TempDir dir;
  const ProcessResult result = runTool({dir.write("empty.png", ""), "xx-XX"});
  EXPECT_EQ(result.err, messages::unreadableImage);
}

TEST(Recognition, EmptyLanguageListReadsEnglish) {
  const OcrOutput record = successfulRecord(runTool({dataPath("english.png"), ",,"}));
  EXPECT_LT(testing::characterErrorRate(testing::expectedText("english"), record.text()), 0.05) << record.text();
}

TEST(Recognition, LanguageListReachesTheEngine) {
  const std::string expected = testing::expectedText("chinese");
  const OcrOutput chinese = successfulRecord(runTool({dataPath("chinese.png")}));
  const OcrOutput englishOnly = successfulRecord(runTool({dataPath("chinese.png"), "en-US"}));
  EXPECT_LT(testing::characterErrorRate(expected, chinese.text()), 0.05);
  EXPECT_GT(testing::characterErrorRate(expected, englishOnly.text()), 0.5) << englishOnly.text();
}

TEST(Recognition, RelativePathCountsFromTheWorkingDirectory) {
  // The binary resolves the path itself; run it from the data folder with a bare name.
  const auto here = std::filesystem::current_path();
  std::filesystem::current_path(testing::dataPath(""));
  const ProcessResult result = runTool({"blank.png"});
  std::filesystem::current_path(here);
  EXPECT_EQ(result.status, 0) << result.err;
}

}  // namespace
}  // namespace quillfen
