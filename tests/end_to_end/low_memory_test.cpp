// Running out of memory, through the real binary under an address-space limit (ulimit -v
// in the shell that starts it): every allocation failure, ours or a library's, ends with
// the contract's outcome, never with a signal. Without enough memory to finish, that is
// the recognition-failed message saying that memory ran out, or the unreadable-image
// message when decoding itself ran out.
#include <gtest/gtest.h>

#include "cli/messages.h"
#include "recognition/out_of_memory.h"
#include "support/crafted_pictures.h"
#include "support/run_binary.h"
#include "support/temp_dir.h"

namespace quillfen {
namespace {

using test_support::ProcessResult;

ProcessResult runWithin(long kilobytes, const std::vector<std::string>& arguments) {
  std::vector<std::string> all{"/bin/sh", "-c", "ulimit -v \"$0\" && exec \"$@\"", std::to_string(kilobytes),
                               test_support::toolPath()};
  all.insert(all.end(), arguments.begin(), arguments.end());
  return test_support::runProgram(all);
}

// An address-space limit says nothing under AddressSanitizer, which reserves terabytes of
// shadow memory at start and cannot run under such a limit at all.
#ifdef QUILLFEN_SANITIZED
#define SKIP_UNDER_SANITIZERS() GTEST_SKIP() << "address-space limits do not apply under AddressSanitizer"
#else
#define SKIP_UNDER_SANITIZERS() (void)0
#endif

const std::string kOutOfMemory = std::string(messages::recognitionFailed) + outOfMemoryDescription;

// One JSON line and status 0, or one of the messages for memory that ran out.
void expectContractOutcome(const ProcessResult& result, const std::string& what) {
  EXPECT_EQ(result.signal, 0) << what << ": " << result.err;
  if (result.status == 0) {
    EXPECT_EQ(result.err, "") << what;
    EXPECT_EQ(result.out.rfind("{\"text\":", 0), 0u) << what << ": " << result.out;
    EXPECT_EQ(result.out.find('\n'), result.out.size() - 1) << what;
    return;
  }
  EXPECT_EQ(result.status, 1) << what;
  EXPECT_EQ(result.out, "") << what;
  const bool memory =
      result.err.rfind(messages::recognitionFailed, 0) == 0 && result.err.find("内存不足") != std::string::npos;
  EXPECT_TRUE(memory || result.err == messages::unreadableImage) << what << ": " << result.err;
}

// Too little memory to parse the PP-OCR models: an uncaught std::bad_alloc once (status
// 134). (Below about 130 MB the dynamic loader itself cannot map the libraries, before
// any of the tool's code runs.)
TEST(LowMemory, SmallPictureWithTooLittleMemoryForTheEnginesSaysSo) {
  SKIP_UNDER_SANITIZERS();
  const std::string picture = test_support::dataPath("english.png");
  const ProcessResult result = runWithin(140'000, {picture});
  EXPECT_EQ(result.signal, 0);
  EXPECT_EQ(result.status, 1);
  EXPECT_EQ(result.out, "");
  EXPECT_EQ(result.err, kOutOfMemory);
  // From there to enough, whatever gives out must give the contract's outcome. Tesseract
  // needs less: about 135 MB fails as it loads its data, 140 MB reads.
  for (const long kilobytes : {134'000L, 140'000L, 170'000L, 200'000L, 240'000L}) {
    for (const std::string languages : {"", "fr-FR"}) {
      expectContractOutcome(runWithin(kilobytes, {picture, languages}), std::to_string(kilobytes) + " KB " + languages);
    }
  }
}

// A 6000 × 6000 16-bit RGBA PNG (300 KB) with about 450 and 550 MB of address space:
// Leptonica's alpha blending crashed on an allocation it did not check (status 139).
TEST(LowMemory, LargeRgbaPngWithLimitedMemory) {
  SKIP_UNDER_SANITIZERS();
  test_support::TempDir dir;
  const std::string picture = dir.write("rgba16.png", test_support::flatPng(6000, 6000, 16, 6));
  for (const long kilobytes : {450'000L, 550'000L}) {
    expectContractOutcome(runWithin(kilobytes, {picture}), "rgba16 " + std::to_string(kilobytes) + " KB");
  }
}

// A 6000 × 6000 RGB PNG: the conversion to OpenCV's pixels threw a cv::Exception that
// nothing caught (status 134), and a failed allocation in the detector was reported as a
// damaged model file.
TEST(LowMemory, LargeRgbPngWithLimitedMemory) {
  SKIP_UNDER_SANITIZERS();
  test_support::TempDir dir;
  const std::string picture = dir.write("rgb8.png", test_support::flatPng(6000, 6000, 8, 2));
  for (const long kilobytes : {450'000L, 550'000L}) {
    expectContractOutcome(runWithin(kilobytes, {picture}), "rgb8 ppocr " + std::to_string(kilobytes) + " KB");
  }
}

TEST(LowMemory, LargeRgbPngWithLimitedMemoryForTesseract) {
  SKIP_UNDER_SANITIZERS();
  test_support::TempDir dir;
  const std::string picture = dir.write("rgb8.png", test_support::flatPng(6000, 6000, 8, 2));
  expectContractOutcome(runWithin(550'000, {picture, "fr-FR"}), "rgb8 tesseract");
}

}  // namespace
}  // namespace quillfen
