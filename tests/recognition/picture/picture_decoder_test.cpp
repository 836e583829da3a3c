#include "recognition/picture/picture_decoder.h"

#include <gtest/gtest.h>
#include <leptonica/allheaders.h>

#include <cstdint>
#include <utility>
#include <vector>

#include "support/run_binary.h"
#include "support/temp_dir.h"

namespace quillfen::picture {
namespace {

// The size is told once, from the header, before the pixels are decoded; a file that is
// no picture, or a picture over the limits, is refused without telling it.
TEST(PictureDecoder, TellsThePictureSizeBeforeItsPixels) {
  std::vector<std::pair<std::uint64_t, std::uint64_t>> told;
  const SizeKnown tell = [&told](std::uint64_t width, std::uint64_t height) { told.emplace_back(width, height); };

  const std::unique_ptr<LeptonicaImage> page = decodePicture(test_support::dataPath("english.png"), tell);
  ASSERT_NE(page, nullptr);
  ASSERT_EQ(told.size(), 1u);
  EXPECT_EQ(told[0].first, static_cast<std::uint64_t>(pixGetWidth(page->pix())));
  EXPECT_EQ(told[0].second, static_cast<std::uint64_t>(pixGetHeight(page->pix())));

  test_support::TempDir dir;
  told.clear();
  EXPECT_EQ(decodePicture(dir.write("notes.png", "not a picture\n"), tell), nullptr);
  // A PNG header declaring 200000 x 200000 pixels, far over the limit.
  const std::string png = test_support::readFile(test_support::dataPath("english.png"));
  std::string huge = png;
  const char side[4] = {0x00, 0x03, 0x0d, 0x40};
  huge.replace(16, 4, side, 4);
  huge.replace(20, 4, side, 4);
  EXPECT_EQ(decodePicture(dir.write("huge.png", huge), tell), nullptr);
  EXPECT_TRUE(told.empty());
}

}  // namespace
}  // namespace quillfen::picture
