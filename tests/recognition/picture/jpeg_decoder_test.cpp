#include "recognition/picture/jpeg_decoder.h"

#include <gtest/gtest.h>
#include <leptonica/allheaders.h>

#include <string>

#include "support/run_binary.h"
#include "support/temp_dir.h"

namespace quillfen::picture {
namespace {

// A colour JPEG, from a picture whose red, green and blue run differently, so that
// channels in the wrong place show.
std::string colourJpeg() {
  const PixPtr colours(pixCreate(96, 64, 32));
  for (l_uint32 y = 0; y < 64; ++y) {
    for (l_uint32 x = 0; x < 96; ++x) pixSetRGBPixel(colours.get(), x, y, x * 2, y * 3, 255 - x);
  }
  l_uint8* data = nullptr;
  size_t size = 0;
  if (pixWriteMemJpeg(&data, &size, colours.get(), 90, 0) != 0) return {};
  std::string bytes(reinterpret_cast<const char*>(data), size);
  lept_free(data);
  return bytes;
}

// Colour and gray JPEGs come out pixel for pixel as Leptonica's own JPEG reader gives them
// (both decode with libjpeg's defaults), colour as 32-bit RGB at Leptonica's shifts.
TEST(JpegDecoder, PixelsAreLeptonicasOwn) {
  const std::pair<const char*, std::string> pictures[] = {
      {"colour", colourJpeg()},
      {"gray", test_support::readFile(test_support::dataPath("formats/gray.jpg"))},
      {"progressive", test_support::readFile(test_support::dataPath("formats/progressive.jpg"))},
  };
  for (const auto& [name, bytes] : pictures) {
    SCOPED_TRACE(name);
    ASSERT_FALSE(bytes.empty());
    const auto* data = reinterpret_cast<const std::uint8_t*>(bytes.data());
    const PixPtr ours = decodeJpeg(data, bytes.size(), 1u << 30);
    const PixPtr leptonicas(pixReadMemJpeg(data, bytes.size(), 0, 1, nullptr, 0));
    ASSERT_NE(ours, nullptr);
    ASSERT_NE(leptonicas, nullptr);
    ASSERT_EQ(pixGetDepth(ours.get()), pixGetDepth(leptonicas.get()));
    l_int32 same = 0;
    ASSERT_EQ(pixEqual(ours.get(), leptonicas.get(), &same), 0);
    EXPECT_EQ(same, 1);
  }
}

}  // namespace
}  // namespace quillfen::picture
