#pragma once

#include <cstddef>
#include <cstdint>

#include "recognition/picture/pix_ptr.h"

namespace quillfen::picture {

// The picture decoded by OpenCV's image codecs, for the BMP and TIFF variants Leptonica
// refuses: RLE-compressed and OS/2 BMPs, BMPs with bit-field masks (RGB565, 32-bit with
// alpha), TIFFs with gray and alpha. 8-bit gray, or 32-bit RGB with alpha (4 samples per
// pixel) when the file has it; 16-bit samples are cut to 8. Nothing when it does not
// decode, or when the build has no OpenCV codecs.
PixPtr decodeWithOpenCv(const std::uint8_t* data, std::size_t size);

}  // namespace quillfen::picture
