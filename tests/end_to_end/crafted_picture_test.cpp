// Crafted pictures through the real binary, made when the test runs: headers with numbers
// that do not fit, JPEG streams whose end is damaged or that have too many scans, and
// pictures wider than Tesseract takes.
#include <gtest/gtest.h>
#include <leptonica/allheaders.h>

#include "cli/messages.h"
#include "support/crafted_pictures.h"
#include "support/run_binary.h"
#include "support/temp_dir.h"

namespace quillfen {
namespace {

using test_support::dataPath;
using test_support::ProcessResult;
using test_support::readFile;
using test_support::TempDir;

void expectUnreadable(const ProcessResult& result, const std::string& what) {
  EXPECT_EQ(result.signal, 0) << what;
  EXPECT_EQ(result.status, 1) << what;
  EXPECT_EQ(result.out, "") << what;
  EXPECT_EQ(result.err, messages::unreadableImage) << what;
}

std::string emptyRecord(const std::string& engine) {
  return "{\"text\":\"\",\"confidence\":0,\"lines\":0,\"engine\":\"" + engine + "\"}\n";
}

// Leptonica keeps only the low 32 bits of a PNM header's numbers: a width of 2^32 + 100
// decoded as 100 and read with status 0.
TEST(CraftedPicture, PnmHeaderNumbersThatDoNotFitAreRefused) {
  TempDir dir;
  const std::string rows(10000, '\xff');
  const std::pair<std::string, std::string> cases[] = {
      {"wrapping width", "P5\n4294967396 100\n255\n" + rows},
      {"wrapping height", "P5\n100 4294967396\n255\n" + rows},
      {"width past 31 bits", "P5\n2147483648 1\n255\n" + rows},
      {"twenty digits", "P5\n99999999999999999999 1\n255\n" + rows},
      {"maxval past 16 bits", "P5\n100 100\n65536\n" + rows},
      {"wrapping bitmap width", "P4\n4294967304 8\n" + rows},
  };
  int n = 0;
  for (const auto& [what, bytes] : cases) {
    expectUnreadable(test_support::runBinary({dir.write("case" + std::to_string(n++) + ".pgm", bytes)}), what);
  }
  // The same picture with honest numbers reads.
  const ProcessResult honest = test_support::runBinary({dir.write("honest.pgm", "P5\n100 100\n255\n" + rows)});
  EXPECT_EQ(honest.status, 0);
  EXPECT_EQ(honest.out, emptyRecord("ppocr-v4"));
}

// libjpeg reports these only as warnings, some of them only once the end marker is looked
// for, after the last row; the README promises that a JPEG that decodes only with
// warnings is refused.
TEST(CraftedPicture, JpegWithADamagedEndIsRefused) {
  TempDir dir;
  for (const std::string source : {"formats/gray.jpg", "formats/progressive.jpg", "formats/cmyk.jpg"}) {
    const std::string bytes = readFile(dataPath(source));
    ASSERT_EQ(bytes.substr(bytes.size() - 2), "\xff\xd9");
    const std::string body = bytes.substr(0, bytes.size() - 2);
    expectUnreadable(test_support::runBinary({dir.write("no-end.jpg", body)}), source + " without its end marker");
    std::string stray;
    for (int i = 0; i < 16; ++i) stray.push_back(static_cast<char>(i * 7 + 1));
    expectUnreadable(test_support::runBinary({dir.write("stray.jpg", body + stray + "\xff\xd9")}),
                     source + " with stray bytes before its end marker");
  }
  // Bytes after the end marker are not part of the picture: it reads as it is.
  const std::string bytes = readFile(dataPath("formats/gray.jpg"));
  const ProcessResult trailing = test_support::runBinary({dir.write("trailing.jpg", bytes + "trailing bytes")});
  const ProcessResult plain = test_support::runBinary({dataPath("formats/gray.jpg")});
  EXPECT_EQ(trailing.status, 0);
  EXPECT_EQ(trailing.out, plain.out);
}

// A valid progressive JPEG with 631 scans: each scan is another pass over the whole
// picture, so crafted ones decode many times slower. More than 500 are refused, as
// TurboJPEG's scan limit does.
TEST(CraftedPicture, JpegWithTooManyScansIsRefused) {
  TempDir dir;
  const std::string many = test_support::progressiveJpeg(9);
  ASSERT_EQ(test_support::jpegScans(many), 631);
  expectUnreadable(test_support::runBinary({dir.write("many-scans.jpg", many)}), "631 scans");

  const std::string fewer = test_support::progressiveJpeg(5);
  ASSERT_EQ(test_support::jpegScans(fewer), 379);
  const ProcessResult read = test_support::runBinary({dir.write("fewer-scans.jpg", fewer)});
  EXPECT_EQ(read.status, 0) << read.err;
  EXPECT_EQ(read.err, "");
}

// Tesseract refuses pictures 32768 pixels or more on a side; the tool reads them scaled to
// fit. Blank ones give the empty record.
TEST(CraftedPicture, PicturesWiderThanTesseractTakesAreRead) {
  TempDir dir;
  const std::pair<std::uint32_t, std::uint32_t> sizes[] = {{32767, 20}, {32768, 20}, {20, 40000}, {50000, 2000}};
  for (const auto& [width, height] : sizes) {
    const std::string path = dir.write("blank.png", test_support::flatPng(width, height, 8, 0));
    const ProcessResult result = test_support::runBinary({path, "fr-FR"});
    const std::string what = std::to_string(width) + " x " + std::to_string(height);
    EXPECT_EQ(result.status, 0) << what << ": " << result.err;
    EXPECT_EQ(result.err, "") << what;
    EXPECT_EQ(result.out, emptyRecord("tesseract")) << what;
  }
}

TEST(CraftedPicture, TextOnAStripWiderThanTesseractTakesIsRead) {
  TempDir dir;
  // The English test picture at the left end of a 40000-pixel strip still reads.
  Pix* english = pixRead(dataPath("english.png").c_str());
  ASSERT_NE(english, nullptr);
  Pix* gray = pixConvertTo8(english, 0);
  Pix* strip = pixCreate(40000, pixGetHeight(gray), 8);
  pixSetAll(strip);
  pixRasterop(strip, 0, 0, pixGetWidth(gray), pixGetHeight(gray), PIX_SRC, gray, 0, 0);
  const std::string stripPath = dir.path() + "/strip.png";
  ASSERT_EQ(pixWrite(stripPath.c_str(), strip, IFF_PNG), 0);
  pixDestroy(&strip);
  pixDestroy(&gray);
  pixDestroy(&english);
  const ProcessResult result = test_support::runBinary({stripPath, "en-US,fr-FR"});
  EXPECT_EQ(result.status, 0) << result.err;
  EXPECT_NE(result.out.find("quick brown fox"), std::string::npos) << result.out;
}

test_support::Raster englishRaster() {
  Pix* english = pixRead(dataPath("english.png").c_str());
  Pix* rgb = english ? pixConvertTo32(english) : nullptr;
  test_support::Raster raster;
  if (rgb != nullptr) {
    raster.width = static_cast<std::uint32_t>(pixGetWidth(rgb));
    raster.height = static_cast<std::uint32_t>(pixGetHeight(rgb));
    for (std::uint32_t y = 0; y < raster.height; ++y) {
      for (std::uint32_t x = 0; x < raster.width; ++x) {
        l_int32 r = 0, g = 0, b = 0;
        pixGetRGBPixel(rgb, static_cast<l_int32>(x), static_cast<l_int32>(y), &r, &g, &b);
        raster.rgb += {static_cast<char>(r), static_cast<char>(g), static_cast<char>(b)};
      }
    }
  }
  pixDestroy(&rgb);
  pixDestroy(&english);
  return raster;
}

// Leptonica refused these; OpenCV's codecs read them behind the same limits.
TEST(CraftedPicture, BmpAndTiffVariantsOtherProgramsWriteAreRead) {
  TempDir dir;
  const test_support::Raster english = englishRaster();
  ASSERT_GT(english.width, 0u);
  const std::pair<std::string, std::string> cases[] = {
      {"rle8.bmp", test_support::bmpRle8Gray(english)},
      {"os2.bmp", test_support::bmpOs2(english)},
      {"argb.bmp", test_support::bmpArgbBitFields(english)},
      {"rgb565.bmp", test_support::bmpRgb565(english)},
      {"gray16-alpha.tiff", test_support::tiffGray16Alpha(english)},
  };
  for (const auto& [name, bytes] : cases) {
    const ProcessResult result = test_support::runBinary({dir.write(name, bytes), "en-US,fr-FR"});
    EXPECT_EQ(result.status, 0) << name << ": " << result.err;
    EXPECT_NE(result.out.find("quick brown fox"), std::string::npos) << name << ": " << result.out;
  }
  // Damaged, they end as any damaged picture does.
  for (const auto& [name, bytes] : cases) {
    expectUnreadable(test_support::runBinary({dir.write("cut-" + name, bytes.substr(0, bytes.size() / 2))}),
                     "half of " + name);
  }
}

}  // namespace
}  // namespace quillfen
