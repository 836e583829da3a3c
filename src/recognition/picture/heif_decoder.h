#pragma once

#include <cstddef>
#include <cstdint>

#include "recognition/picture/pix_ptr.h"

namespace quillfen::picture {

// The primary picture of a HEIF or AVIF file, as stored: its rotation and mirroring are
// not applied. 32-bit RGB, with alpha when the file has it; nothing when it does not decode.
PixPtr decodeHeif(const std::uint8_t* data, std::size_t size);

}  // namespace quillfen::picture
