#include "recognition/picture/picture_header.h"

#include <leptonica/allheaders.h>

#include <memory>

#include "recognition/picture/pnm_header.h"

namespace quillfen::picture {
namespace {

std::uint32_t littleEndian16(const std::uint8_t* p) { return p[0] | (p[1] << 8); }
std::uint32_t littleEndian32(const std::uint8_t* p) {
  return static_cast<std::uint32_t>(p[0]) | (static_cast<std::uint32_t>(p[1]) << 8) |
         (static_cast<std::uint32_t>(p[2]) << 16) | (static_cast<std::uint32_t>(p[3]) << 24);
}

// Leptonica's header reader decodes whole BMP files to learn their size; this reads the
// size from the header itself.
std::optional<PictureHeader> bmpHeader(const std::uint8_t* data, std::size_t size) {
  if (size < 26) return std::nullopt;
  const std::uint32_t infoSize = littleEndian32(data + 14);
  std::uint64_t width, height;
  if (infoSize == 12) {  // OS/2 core header: 16-bit sizes
    width = littleEndian16(data + 18);
    height = littleEndian16(data + 20);
  } else {
    const auto signedWidth = static_cast<std::int32_t>(littleEndian32(data + 18));
    const auto signedHeight = static_cast<std::int32_t>(littleEndian32(data + 22));
    if (signedWidth <= 0 || signedHeight == 0 || signedHeight == INT32_MIN) return std::nullopt;
    width = static_cast<std::uint64_t>(signedWidth);
    height = static_cast<std::uint64_t>(signedHeight < 0 ? -signedHeight : signedHeight);
  }
  return PictureHeader{PictureFormat::bmp, width, height, width * height, nullptr};
}

// Leptonica decodes every frame of a GIF (and to learn its size, decodes it all). This walks
// the blocks without decoding and adds up the frames' areas, so that many frames or one
// huge frame are refused before any allocation.
std::optional<PictureHeader> gifHeader(const std::uint8_t* data, std::size_t size) {
  if (size < 13) return std::nullopt;
  PictureHeader header{PictureFormat::gif, littleEndian16(data + 6), littleEndian16(data + 8), 0, nullptr};
  std::size_t at = 13;
  auto skipColorTable = [&](std::uint8_t flags) {
    if (flags & 0x80) at += 3u * (2u << (flags & 0x07));
  };
  auto skipSubBlocks = [&] {
    while (at < size && data[at] != 0) at += 1u + data[at];
    ++at;  // the terminator
  };
  skipColorTable(data[10]);
  while (at < size) {
    const std::uint8_t introducer = data[at++];
    if (introducer == 0x3B) break;  // trailer
    if (introducer == 0x21) {       // extension: label, then sub-blocks
      ++at;
      skipSubBlocks();
    } else if (introducer == 0x2C) {  // image descriptor
      if (at + 9 > size) break;
      header.pixelsToDecode += std::uint64_t{littleEndian16(data + at + 4)} * littleEndian16(data + at + 6);
      const std::uint8_t flags = data[at + 8];
      at += 9;
      skipColorTable(flags);
      ++at;  // LZW minimum code size
      skipSubBlocks();
    } else {
      break;  // not a block; the decoder will judge the rest
    }
  }
  header.pixelsToDecode = std::max(header.pixelsToDecode, header.width * header.height);
  return header;
}

std::optional<PictureHeader> heifHeader(const std::uint8_t* data, std::size_t size) {
  std::shared_ptr<const HeifFile> file = HeifFile::open(data, size);
  if (!file || file->width() <= 0 || file->height() <= 0) return std::nullopt;
  const auto width = static_cast<std::uint64_t>(file->width());
  const auto height = static_cast<std::uint64_t>(file->height());
  return PictureHeader{PictureFormat::heif, width, height, width * height, std::move(file)};
}

PictureFormat fromLeptonica(l_int32 format) {
  switch (format) {
    case IFF_PNG: return PictureFormat::png;
    case IFF_JFIF_JPEG: return PictureFormat::jpeg;
    case IFF_TIFF:
    case IFF_TIFF_PACKBITS:
    case IFF_TIFF_RLE:
    case IFF_TIFF_G3:
    case IFF_TIFF_G4:
    case IFF_TIFF_LZW:
    case IFF_TIFF_ZIP:
    case IFF_TIFF_JPEG: return PictureFormat::tiff;
    case IFF_BMP: return PictureFormat::bmp;
    case IFF_PNM: return PictureFormat::pnm;
    case IFF_GIF: return PictureFormat::gif;
    case IFF_WEBP: return PictureFormat::webp;
    case IFF_JP2: return PictureFormat::jp2;
    default: return PictureFormat::other;
  }
}

// The format the first bytes announce, judged from at most magicBytes of them.
PictureFormat sniffedFormat(const std::uint8_t* data, std::size_t size) {
  if (HeifFile::isHeif(data, std::min(size, magicBytes))) return PictureFormat::heif;
  l_int32 leptonicaFormat = IFF_UNKNOWN;
  findFileFormatBuffer(data, &leptonicaFormat);
  return fromLeptonica(leptonicaFormat);
}

}  // namespace

bool looksLikePicture(const std::uint8_t* data, std::size_t size) {
  if (data == nullptr || size < 12) return false;
  return sniffedFormat(data, size) != PictureFormat::other;
}

std::optional<PictureHeader> readPictureHeader(const std::uint8_t* data, std::size_t size) {
  if (data == nullptr || size < 12) return std::nullopt;
  const PictureFormat format = sniffedFormat(data, size);
  if (format == PictureFormat::other) return std::nullopt;
  if (format == PictureFormat::heif) return heifHeader(data, size);
  if (format == PictureFormat::bmp) return bmpHeader(data, size);
  if (format == PictureFormat::gif) return gifHeader(data, size);
  if (format == PictureFormat::pnm) {
    const std::optional<PnmSize> pnm = readPnmSize(data, size);
    if (!pnm) return std::nullopt;
    return PictureHeader{format, pnm->width, pnm->height, pnm->width * pnm->height, nullptr};
  }

  l_int32 kind = 0, width = 0, height = 0, bps = 0, spp = 0, colormapped = 0;
  if (pixReadHeaderMem(data, size, &kind, &width, &height, &bps, &spp, &colormapped) != 0) return std::nullopt;
  if (width <= 0 || height <= 0) return std::nullopt;
  const auto w = static_cast<std::uint64_t>(width), h = static_cast<std::uint64_t>(height);
  return PictureHeader{format, w, h, w * h, nullptr};
}

}  // namespace quillfen::picture
