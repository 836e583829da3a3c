// The orientation check started before a page is read gives the detection's own answer,
// whether it ran beside the reading or in line, and gives it once.
#include "recognition/orientation/orientation_check.h"

#include <gtest/gtest.h>
#include <sys/wait.h>

#include <cerrno>

#include "recognition/picture/picture_decoder.h"
#include "support/run_binary.h"

namespace quillfen::orientation {
namespace {

std::unique_ptr<picture::LeptonicaImage> decoded(const std::string& picture) {
  auto image = picture::decodePicture(test_support::dataPath(picture));
  if (!image) throw std::runtime_error("test picture does not decode");
  return image;
}

TEST(OrientationCheck, AnswersAsTheDetectionDoesAndOnce) {
  for (const char* file : {"page-rot90.png", "till_receipt-rot180.png", "blank.png"}) {
    const auto image = decoded(file);
    const auto inLine = detectOrientation(image->pix(), QUILLFEN_TESSDATA_DIR);
    OrientationCheck check(image->pix(), QUILLFEN_TESSDATA_DIR);
    const auto guess = check.guess();
    ASSERT_EQ(guess.has_value(), inLine.has_value()) << file;
    if (guess) {
      EXPECT_EQ(guess->orientation, inLine->orientation) << file;
      EXPECT_EQ(guess->confidence, inLine->confidence) << file;
    }
    EXPECT_EQ(check.guess(), std::nullopt) << file;
  }
}

TEST(OrientationCheck, ACheckNotAskedLeavesNothingBehind) {
  const auto image = decoded("page-rot180.png");
  for (int i = 0; i < 20; ++i) OrientationCheck unasked(image->pix(), QUILLFEN_TESSDATA_DIR);
  // Every child was stopped and collected: none is left for this process to wait for.
  EXPECT_EQ(waitpid(-1, nullptr, WNOHANG), -1);
  EXPECT_EQ(errno, ECHILD);
}

}  // namespace
}  // namespace quillfen::orientation
