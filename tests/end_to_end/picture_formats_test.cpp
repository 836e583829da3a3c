// Every picture format the tool reads, through the binary: the same two lines each time.
#include <gtest/gtest.h>

#include "record/json_read.h"
#include "support/run_binary.h"
#include "support/temp_dir.h"
#include "support/text_distance.h"

namespace quillfen {
namespace {

class PictureFormat : public ::testing::TestWithParam<const char*> {};

TEST_P(PictureFormat, ReadsTheFirstPictureAsStored) {
  const test_support::ProcessResult result =
      test_support::runBinary({test_support::dataPath(std::string("formats/") + GetParam())});
  ASSERT_EQ(result.status, 0) << result.err;
  EXPECT_EQ(result.err, "");
  const std::optional<OcrOutput> record = readOcrOutput(result.out);
  ASSERT_TRUE(record) << result.out;
  const std::string expected = test_support::readFile(test_support::dataPath("formats/expected.txt"));
  EXPECT_LT(test_support::characterErrorRate(expected, record->text()), 0.05) << record->text();
  EXPECT_EQ(record->lines(), 2);
}

INSTANTIATE_TEST_SUITE_P(Formats, PictureFormat,
                         ::testing::Values("heic.heic", "avif.avif", "alpha-dark-text.png", "alpha-light-text.png",
                                           "alpha.webp", "gray16.png", "gray16.tiff", "palette.png", "1bit.png",
                                           "1bit-g4.tiff", "cmyk.jpg", "gray.jpg", "progressive.jpg", "lossy.webp",
                                           "lossless.webp", "animated.gif", "multipage.tiff", "picture.bmp",
                                           "picture.pgm", "picture.ppm", "png-named.jpg"),
                         [](const ::testing::TestParamInfo<const char*>& param) {
                           std::string name = param.param;
                           for (char& c : name) {
                             if (!std::isalnum(static_cast<unsigned char>(c))) c = '_';
                           }
                           return name;
                         });

TEST(PictureInput, StandardInputIsReadAsAStream) {
  const std::string picture = test_support::dataPath("formats/palette.png");
  const test_support::ProcessResult result = test_support::runProgram(
      {"/bin/sh", "-c", "cat \"$1\" | \"$2\" /dev/stdin", "sh", picture, test_support::toolPath()});
  ASSERT_EQ(result.status, 0) << result.err;
  const std::optional<OcrOutput> record = readOcrOutput(result.out);
  ASSERT_TRUE(record);
  EXPECT_EQ(record->lines(), 2);
}

TEST(PictureInput, OddPathsAreUsedExactlyAsPassed) {
  test_support::TempDir dir;
  const std::string bytes = test_support::readFile(test_support::dataPath("blank.png"));
  for (const std::string name : {"-dash.png", "空 格.png", "new\nline.png", "bad\xff\xfe.png", " .png"}) {
    const test_support::ProcessResult result = test_support::runBinary({dir.write(name, bytes)});
    EXPECT_EQ(result.status, 0) << name << result.err;
    const std::optional<OcrOutput> record = readOcrOutput(result.out);
    ASSERT_TRUE(record) << name;
    EXPECT_EQ(record->lines(), 0) << name;
  }
}

}  // namespace
}  // namespace quillfen
