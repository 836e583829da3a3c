#include "recognition/picture/picture_decoder.h"

#include <leptonica/allheaders.h>

#include "recognition/picture/alpha_flattening.h"
#include "recognition/picture/heif_decoder.h"
#include "recognition/picture/jpeg_decoder.h"
#include "recognition/picture/leptonica_messages.h"
#include "recognition/picture/opencv_decoder.h"
#include "recognition/picture/picture_bytes.h"
#include "recognition/picture/picture_header.h"

namespace quillfen::picture {
namespace {

PixPtr decodeFormat(const PictureHeader& header, const std::uint8_t* data, std::size_t size) {
  switch (header.format) {
    case PictureFormat::heif: return header.heif->decode();
    case PictureFormat::jpeg:
      // libjpeg fills a truncated or damaged picture with grey and only warns; a warning
      // means the picture is not what the file was meant to hold.
      return decodeJpeg(data, size, maxPicturePixels);
    case PictureFormat::tiff: return PixPtr(pixReadMemTiff(data, size, 0));
    default: return PixPtr(pixReadMem(data, size));
  }
}

// 8-bit gray or 32-bit RGB without alpha, whatever the file stored.
PixPtr normalized(PixPtr pix) {
  if (pixGetColormap(pix.get()) != nullptr) {
    pix.reset(pixRemoveColormap(pix.get(), REMOVE_CMAP_WITH_ALPHA));
    if (!pix) return nullptr;
  }
  const l_int32 depth = pixGetDepth(pix.get());
  if (depth == 16) {
    pix.reset(pixConvert16To8(pix.get(), L_MS_BYTE));
  } else if (depth < 8) {
    pix.reset(pixConvertTo8(pix.get(), 0));
  } else if (depth == 24) {
    pix.reset(pixConvert24To32(pix.get()));
  }
  if (!pix) return nullptr;
  if (pixGetDepth(pix.get()) == 32 && pixGetSpp(pix.get()) == 4) flattenAlpha(pix.get());
  if (pix && pixGetDepth(pix.get()) == 32) pixSetSpp(pix.get(), 3);
  return pix;
}

}  // namespace

std::unique_ptr<LeptonicaImage> decodePictureBytes(const std::uint8_t* data, std::size_t size,
                                                   const SizeKnown& sizeKnown) {
  silenceLeptonica();
  const std::optional<PictureHeader> header = readPictureHeader(data, size);
  if (!header || header->width == 0 || header->height == 0 || header->pixelsToDecode > maxPicturePixels) {
    return nullptr;
  }
  if (sizeKnown) sizeKnown(header->width, header->height);
  PixPtr pix = decodeFormat(*header, data, size);
  // Leptonica refuses several common BMP and TIFF variants (RLE and OS/2 BMPs, bit-field
  // masks, gray with alpha); OpenCV's codecs read them, within the same limits.
  if (!pix && (header->format == PictureFormat::bmp || header->format == PictureFormat::tiff)) {
    pix = decodeWithOpenCv(data, size);
  }
  if (!pix) return nullptr;
  const auto width = static_cast<std::uint64_t>(pixGetWidth(pix.get()));
  const auto height = static_cast<std::uint64_t>(pixGetHeight(pix.get()));
  if (width == 0 || height == 0 || width * height > maxPicturePixels) return nullptr;
  pix = normalized(std::move(pix));
  if (!pix) return nullptr;
  return std::make_unique<LeptonicaImage>(std::move(pix));
}

std::unique_ptr<LeptonicaImage> decodePicture(const std::string& path, const SizeKnown& sizeKnown) {
  // Endless or foreign streams (/dev/zero, /dev/urandom) are turned down on their first bytes.
  std::optional<PictureBytes> bytes = readPictureBytes(path, {magicBytes, looksLikePicture});
  if (!bytes) return nullptr;
  return decodePictureBytes(bytes->data(), bytes->size(), sizeKnown);
}

}  // namespace quillfen::picture
