#include "recognition/picture/picture_header.h"

#include <gtest/gtest.h>
#include <link.h>

#include <cstdlib>
#include <string_view>

#include "recognition/picture/picture_decoder.h"
#include "support/run_binary.h"
#include "support/temp_dir.h"

namespace quillfen::picture {
namespace {

std::optional<PictureHeader> headerOf(const std::string& file) {
  const std::string bytes = test_support::readFile(test_support::dataPath(file));
  return readPictureHeader(reinterpret_cast<const std::uint8_t*>(bytes.data()), bytes.size());
}

TEST(PictureHeader, RecognisesFormatsFromContent) {
  const std::pair<const char*, PictureFormat> cases[] = {
      {"formats/heic.heic", PictureFormat::heif},   {"formats/avif.avif", PictureFormat::heif},
      {"formats/cmyk.jpg", PictureFormat::jpeg},    {"formats/png-named.jpg", PictureFormat::png},
      {"formats/gray16.tiff", PictureFormat::tiff}, {"formats/picture.bmp", PictureFormat::bmp},
      {"formats/picture.pgm", PictureFormat::pnm},  {"formats/animated.gif", PictureFormat::gif},
      {"formats/lossy.webp", PictureFormat::webp},
  };
  for (const auto& [file, format] : cases) {
    const std::optional<PictureHeader> header = headerOf(file);
    ASSERT_TRUE(header) << file;
    EXPECT_EQ(header->format, format) << file;
    EXPECT_EQ(header->width, 709u) << file;
    EXPECT_EQ(header->height, 201u) << file;
  }
  // Both frames of the animation count towards what the decoder allocates (the second
  // holds only the area that changes).
  EXPECT_GT(headerOf("formats/animated.gif")->pixelsToDecode, 709u * 201u);
  EXPECT_LE(headerOf("formats/animated.gif")->pixelsToDecode, 2u * 709u * 201u);
}

TEST(PictureHeader, HugeDeclarationsAreSeenBeforeDecoding) {
  for (const char* file : {"hostile/huge.png", "hostile/huge.jpg", "hostile/huge.tiff", "hostile/huge.gif",
                           "hostile/many-frames.gif", "hostile/huge.bmp", "hostile/huge.pgm", "hostile/huge.webp"}) {
    const std::optional<PictureHeader> header = headerOf(file);
    ASSERT_TRUE(header) << file;
    EXPECT_GT(header->pixelsToDecode, maxPicturePixels) << file;
  }
}

TEST(PictureHeader, MagicAloneTellsAPictureFromOtherBytes) {
  const std::string png = test_support::readFile(test_support::dataPath("english.png"));
  EXPECT_TRUE(looksLikePicture(reinterpret_cast<const std::uint8_t*>(png.data()), 16));
  const std::string heic = test_support::readFile(test_support::dataPath("formats/heic.heic"));
  EXPECT_TRUE(looksLikePicture(reinterpret_cast<const std::uint8_t*>(heic.data()), 16));
  const std::string zeros(16, '\0');
  EXPECT_FALSE(looksLikePicture(reinterpret_cast<const std::uint8_t*>(zeros.data()), zeros.size()));
}

TEST(PictureHeader, NoHeaderInShortOrForeignBytes) {
  const std::string samples[] = {
      "", "\x89PNG", "GIF89a", "BM", "%PDF-1.7\n%\xe2\xe3\xcf\xd3\n1 0 obj", "hello, world!"};
  for (const std::string& bytes : samples) {
    EXPECT_FALSE(readPictureHeader(reinterpret_cast<const std::uint8_t*>(bytes.data()), bytes.size())) << bytes;
  }
}

bool libheifLoaded() {
  return dl_iterate_phdr(
             [](dl_phdr_info* info, std::size_t, void*) {
               return std::string_view(info->dlpi_name).find("libheif") != std::string_view::npos ? 1 : 0;
             },
             nullptr) != 0;
}

// libheif and its codecs cost every run start-up time, so only a picture that may be HEIF
// loads them. Each case runs in a fresh process, which has loaded nothing yet.
TEST(PictureHeader, OnlyHeifFilesLoadLibheif) {
  GTEST_FLAG_SET(death_test_style, "threadsafe");
  EXPECT_EXIT(
      {
        for (const char* file : {"formats/cmyk.jpg", "formats/png-named.jpg", "formats/gray16.tiff",
                                 "formats/picture.bmp", "formats/lossy.webp", "hostile/huge.gif"}) {
          if (!headerOf(file)) std::exit(2);
        }
        std::exit(libheifLoaded() ? 1 : 0);
      },
      testing::ExitedWithCode(0), "");
  EXPECT_EXIT(
      {
        if (!headerOf("formats/avif.avif")) std::exit(2);
        std::exit(libheifLoaded() ? 0 : 1);
      },
      testing::ExitedWithCode(0), "");
}

}  // namespace
}  // namespace quillfen::picture
