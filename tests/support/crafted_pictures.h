#pragma once

#include <cstdint>
#include <string>

namespace quillfen::testing {

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

}  // namespace quillfen::testing
