// Real recognition through the binary on macOS, where Vision is the engine.
#include <gtest/gtest.h>

#include "cli/messages.h"
#include "record/json_read.h"
#include "support/run_binary.h"
#include "support/temp_dir.h"
#include "support/text_distance.h"

namespace quillfen {
namespace {

using test_support::dataPath;
using test_support::ProcessResult;
using test_support::runBinary;

TEST(VisionRecognition, ReadsTheEnglishPicture) {
  const ProcessResult result = runBinary({dataPath("english.png")});
  ASSERT_EQ(result.status, 0) << result.err;
  EXPECT_EQ(result.err, "");
  std::optional<OcrOutput> record = readOcrOutput(result.out);
  ASSERT_TRUE(record) << result.out;
  EXPECT_EQ(record->engine(), "macos-vision");
  EXPECT_LT(test_support::characterErrorRate(test_support::expectedText("english"), record->text()), 0.05)
      << record->text();
  EXPECT_GT(record->lines(), 0);
  EXPECT_GT(record->confidence(), 0.0);
  EXPECT_LE(record->confidence(), 1.0);
}

TEST(VisionRecognition, BlankPictureGivesTheEmptyRecord) {
  const ProcessResult result = runBinary({dataPath("blank.png")});
  EXPECT_EQ(result.status, 0) << result.err;
  EXPECT_EQ(result.out, "{\"text\":\"\",\"confidence\":0,\"lines\":0,\"engine\":\"macos-vision\"}\n");
}

TEST(VisionRecognition, FilesCoreImageCannotOpenGiveTheUnreadableMessage) {
  test_support::TempDir dir;
  for (const std::string& file : {dir.write("empty.png", ""), dir.write("text.png", "Not a picture.\n"), dir.path()}) {
    const ProcessResult result = runBinary({file});
    EXPECT_EQ(result.status, 1) << file;
    EXPECT_EQ(result.out, "") << file;
    EXPECT_EQ(result.err, messages::unreadableImage) << file;
  }
}

}  // namespace
}  // namespace quillfen
