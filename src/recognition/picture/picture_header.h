#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <optional>

#include "recognition/picture/heif_decoder.h"

namespace quillfen::picture {

enum class PictureFormat { png, jpeg, tiff, bmp, pnm, gif, webp, jp2, heif, other };

// What a picture's header declares, read before any pixel is decoded.
struct PictureHeader {
  PictureFormat format;
  std::uint64_t width;
  std::uint64_t height;
  // Pixels the decoder will allocate: width x height, or for a GIF all its frames together.
  std::uint64_t pixelsToDecode;
  // For HEIF and AVIF, the file as parsed to learn its size; it is decoded from there.
  std::shared_ptr<const HeifFile> heif;
};

// The header of the picture in the bytes, recognised from the content alone (never a file
// name). Nothing when the bytes are no picture format the tool decodes, or the header
// cannot be read.
std::optional<PictureHeader> readPictureHeader(const std::uint8_t* data, std::size_t size);

// Whether the first bytes (at least magicBytes of them, or the whole input if shorter)
// start a picture format the tool decodes; the rest of the header is not looked at.
inline constexpr std::size_t magicBytes = 64;
bool looksLikePicture(const std::uint8_t* data, std::size_t size);

}  // namespace quillfen::picture
