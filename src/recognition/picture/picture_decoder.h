#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>

#include "recognition/picture/leptonica_image.h"

namespace quillfen::picture {

// The largest picture decoded, in pixels: bigger ones are refused from their header,
// before any pixel is allocated.
inline constexpr std::uint64_t maxPicturePixels = 100'000'000;

// Told the picture's width and height once its header has passed the limits, before its
// pixels are decoded: work that depends on the size can start meanwhile.
using SizeKnown = std::function<void(std::uint64_t width, std::uint64_t height)>;

// The picture in the file, device or stream at path, ready for recognition (8-bit gray or
// 32-bit RGB; transparency composed onto a plain background; 16-bit samples cut to 8;
// the first frame or page of a multi-picture file; orientation as stored). The format is
// recognised from the content: PNG, JPEG, TIFF, BMP, PNM, GIF, WebP, JPEG 2000, HEIF and
// AVIF. Nothing for anything that is not such a picture, is damaged or truncated, or is
// larger than the limits.
std::unique_ptr<LeptonicaImage> decodePicture(const std::string& path, const SizeKnown& sizeKnown = {});

// The same for bytes already in memory.
std::unique_ptr<LeptonicaImage> decodePictureBytes(const std::uint8_t* data, std::size_t size,
                                                   const SizeKnown& sizeKnown = {});

}  // namespace quillfen::picture
