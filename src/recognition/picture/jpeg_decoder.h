#pragma once

#include <cstddef>
#include <cstdint>

#include "recognition/picture/pix_ptr.h"

namespace quillfen::picture {

// The most scans a progressive JPEG may have, as TurboJPEG's own scan limit: real encoders
// write about ten, while thousands of crafted scans make decoding many times slower.
inline constexpr int maxJpegScans = 500;

// A JPEG decoded with libjpeg straight to what the engines take: 8-bit gray for gray
// pictures, 32-bit RGB for colour ones (CMYK and YCCK included). Nothing when libjpeg
// reports an error or any warning (a truncated or damaged stream, stray bytes before the
// end marker, a missing end marker), when it has more than maxJpegScans scans, or when it
// declares more than maxPixels pixels.
PixPtr decodeJpeg(const std::uint8_t* data, std::size_t size, std::uint64_t maxPixels);

}  // namespace quillfen::picture
