// The orientation check started before a page is read gives the detection's own answer,
// whether it ran beside the reading or in line, and gives it once; one that measures the
// page for small print first gives that measurement's answer and checks the page as read.
#include "recognition/orientation/orientation_check.h"

#include <sched.h>
#include <sys/wait.h>

#include <gtest/gtest.h>
#include <leptonica/allheaders.h>

#include <cerrno>
#include <string>

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

// Runs the body with this thread on one processor, where the check runs in line, and as it was.
template <typename Body>
void onOneProcessorAndAsItIs(const Body& body) {
#ifdef __linux__
  cpu_set_t before;
  ASSERT_EQ(sched_getaffinity(0, sizeof before, &before), 0);
  cpu_set_t one;
  CPU_ZERO(&one);
  for (int cpu = 0; cpu < CPU_SETSIZE; ++cpu) {
    if (CPU_ISSET(cpu, &before)) {
      CPU_SET(cpu, &one);
      break;
    }
  }
  ASSERT_EQ(sched_setaffinity(0, sizeof one, &one), 0);
  body("in line");
  ASSERT_EQ(sched_setaffinity(0, sizeof before, &before), 0);
#endif
  body("beside");
}

TEST(OrientationCheck, AMeasuredPageIsMeasuredAndCheckedAsItWillBeRead) {
  onOneProcessorAndAsItIs([](const char* how) {
    SCOPED_TRACE(how);
    // Small print (enlarged), a turned page (measured, read as it is), and no text at all.
    for (const char* file : {"small_print.png", "page-rot90.png", "blank.png"}) {
      const auto image = decoded(file);
      const layout::SmallPrint inLine = layout::smallPrintOf(image->pix());
      ASSERT_TRUE(inLine.layout) << file;
      EXPECT_EQ(inLine.enlarged != nullptr, std::string(file) == "small_print.png") << file;
      Pix* const asRead = inLine.enlarged ? inLine.enlarged.get() : image->pix();
      const auto expected = detectOrientation(asRead, QUILLFEN_TESSDATA_DIR);

      OrientationCheck check(image->pix(), QUILLFEN_TESSDATA_DIR, OrientationCheck::MeasuredFirst{});
      const layout::SmallPrint measured = check.smallPrint();
      ASSERT_TRUE(measured.layout) << file;
      EXPECT_EQ(measured.layout->lineHeight, inLine.layout->lineHeight) << file;
      EXPECT_EQ(measured.layout->blocks.size(), inLine.layout->blocks.size()) << file;
      EXPECT_EQ(measured.enlargement, inLine.enlargement) << file;
      ASSERT_EQ(measured.enlarged != nullptr, inLine.enlarged != nullptr) << file;
      if (measured.enlarged) {
        EXPECT_EQ(pixGetWidth(measured.enlarged.get()), pixGetWidth(inLine.enlarged.get()));
      }

      const auto guess = check.guess();
      ASSERT_EQ(guess.has_value(), expected.has_value()) << file;
      if (guess) {
        EXPECT_EQ(guess->orientation, expected->orientation) << file;
        EXPECT_EQ(guess->confidence, expected->confidence) << file;
      }
    }
  });
}

TEST(OrientationCheck, ACheckNotAskedLeavesNothingBehind) {
  const auto image = decoded("page-rot180.png");
  for (int i = 0; i < 20; ++i) OrientationCheck unasked(image->pix(), QUILLFEN_TESSDATA_DIR);
  for (int i = 0; i < 5; ++i) {
    OrientationCheck measuredOnly(image->pix(), QUILLFEN_TESSDATA_DIR, OrientationCheck::MeasuredFirst{});
    measuredOnly.smallPrint();
  }
  // Every child was stopped and collected: none is left for this process to wait for.
  EXPECT_EQ(waitpid(-1, nullptr, WNOHANG), -1);
  EXPECT_EQ(errno, ECHILD);
}

}  // namespace
}  // namespace quillfen::orientation
