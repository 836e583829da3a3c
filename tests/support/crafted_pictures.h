#pragma once

#include <cstdint>
#include <string>

namespace quillfen::test_support {

// A PNG of one flat colour: every sample byte is `sample` (0xff: white and opaque).
// Compresses to well under 1 MB even at 100 megapixels, so large pictures are made when a
// test runs instead of being kept in git. colourType: 0 gray, 2 RGB, 4 gray+alpha, 6 RGBA.
std::string flatPng(std::uint32_t width, std::uint32_t height, int bitDepth, int colourType,
                    std::uint8_t sample = 0xff);

// A progressive gray JPEG, 64 × 64, written by libjpeg with a scan script of its own:
// the DC scan, then each of the 63 AC coefficients in a scan of its own, first at
// precision `refinements` and then refined bit by bit: 1 + 63 × (1 + refinements) scans.
std::string progressiveJpeg(int refinements);

// The number of scans (start-of-scan markers) in a JPEG.
int jpegScans(const std::string& jpeg);

// Pixels as R, G, B bytes, row by row from the top.
struct Raster {
  std::uint32_t width = 0;
  std::uint32_t height = 0;
  std::string rgb;
};

// BMP and TIFF variants that other programs write by default and Leptonica does not read.
std::string bmpRle8Gray(const Raster& raster);       // 8-bit gray palette, RLE8 (ImageMagick's grey BMP)
std::string bmpOs2(const Raster& raster);            // OS/2 1.x header, 24-bit
std::string bmpArgbBitFields(const Raster& raster);  // 32-bit, BITMAPV4 header, alpha mask, opaque
std::string bmpRgb565(const Raster& raster);         // 16-bit, bit fields 5-6-5
std::string tiffGray16Alpha(const Raster& raster);   // 16-bit gray and alpha, uncompressed, opaque

}  // namespace quillfen::test_support
