#include "support/crafted_pictures.h"

#include <jpeglib.h>
#include <zlib.h>

#include <cstdio>
#include <cstdlib>
#include <stdexcept>
#include <vector>

namespace quillfen::test_support {
namespace {

void bigEndian32(std::string& out, std::uint32_t value) {
  for (int shift = 24; shift >= 0; shift -= 8) out.push_back(static_cast<char>((value >> shift) & 0xff));
}

void chunk(std::string& out, const char* type, const std::string& data) {
  bigEndian32(out, static_cast<std::uint32_t>(data.size()));
  const std::string typed = std::string(type, 4) + data;
  out += typed;
  bigEndian32(out, static_cast<std::uint32_t>(
                       crc32(0, reinterpret_cast<const Bytef*>(typed.data()), static_cast<uInt>(typed.size()))));
}

}  // namespace

std::string flatPng(std::uint32_t width, std::uint32_t height, int bitDepth, int colourType, std::uint8_t sample) {
  const int channels = colourType == 0 ? 1 : colourType == 2 ? 3 : colourType == 4 ? 2 : 4;
  const std::size_t rowBytes = 1 + (std::size_t{width} * static_cast<std::size_t>(channels * bitDepth) + 7) / 8;
  std::vector<unsigned char> row(rowBytes, sample);
  row[0] = 0;  // filter: none

  z_stream stream{};
  if (deflateInit(&stream, 6) != Z_OK) throw std::runtime_error("deflateInit");
  std::string compressed;
  std::vector<unsigned char> buffer(1 << 16);
  auto drain = [&](int flush) {
    do {
      stream.next_out = buffer.data();
      stream.avail_out = static_cast<uInt>(buffer.size());
      deflate(&stream, flush);
      compressed.append(reinterpret_cast<const char*>(buffer.data()), buffer.size() - stream.avail_out);
    } while (stream.avail_out == 0);
  };
  for (std::uint32_t y = 0; y < height; ++y) {
    stream.next_in = row.data();
    stream.avail_in = static_cast<uInt>(row.size());
    drain(Z_NO_FLUSH);
  }
  drain(Z_FINISH);
  deflateEnd(&stream);

  std::string png = "\x89PNG\r\n\x1a\n";
  std::string header;
  bigEndian32(header, width);
  bigEndian32(header, height);
  header += {static_cast<char>(bitDepth), static_cast<char>(colourType), 0, 0, 0};
  chunk(png, "IHDR", header);
  chunk(png, "IDAT", compressed);
  chunk(png, "IEND", "");
  return png;
}

std::string progressiveJpeg(int refinements) {
  jpeg_compress_struct info{};
  jpeg_error_mgr errors{};
  info.err = jpeg_std_error(&errors);
  jpeg_create_compress(&info);
  unsigned char* out = nullptr;
  unsigned long outSize = 0;
  jpeg_mem_dest(&info, &out, &outSize);
  info.image_width = 64;
  info.image_height = 64;
  info.input_components = 1;
  info.in_color_space = JCS_GRAYSCALE;
  jpeg_set_defaults(&info);

  std::vector<jpeg_scan_info> scans;
  scans.push_back({1, {0}, 0, 0, 0, 0});
  for (int k = 1; k < 64; ++k) {
    scans.push_back({1, {0}, k, k, 0, refinements});
    for (int bit = refinements; bit > 0; --bit) scans.push_back({1, {0}, k, k, bit, bit - 1});
  }
  info.scan_info = scans.data();
  info.num_scans = static_cast<int>(scans.size());

  jpeg_start_compress(&info, TRUE);
  std::vector<JSAMPLE> row(64);
  for (JDIMENSION y = 0; y < 64; ++y) {
    for (JDIMENSION x = 0; x < 64; ++x) row[x] = static_cast<JSAMPLE>((x * 4 + y * 3) & 0xff);
    JSAMPROW rows[1] = {row.data()};
    jpeg_write_scanlines(&info, rows, 1);
  }
  jpeg_finish_compress(&info);
  jpeg_destroy_compress(&info);
  std::string jpeg(reinterpret_cast<const char*>(out), outSize);
  std::free(out);
  return jpeg;
}

int jpegScans(const std::string& jpeg) {
  int scans = 0;
  for (std::size_t i = 0; i + 1 < jpeg.size(); ++i) {
    if (static_cast<unsigned char>(jpeg[i]) == 0xff && static_cast<unsigned char>(jpeg[i + 1]) == 0xda) ++scans;
  }
  return scans;
}

namespace {

void little16(std::string& out, std::uint32_t value) {
  out.push_back(static_cast<char>(value & 0xff));
  out.push_back(static_cast<char>((value >> 8) & 0xff));
}
void little32(std::string& out, std::uint32_t value) {
  little16(out, value & 0xffff);
  little16(out, value >> 16);
}

std::uint8_t at(const Raster& r, std::uint32_t x, std::uint32_t y, int channel) {
  return static_cast<std::uint8_t>(r.rgb[(std::size_t{y} * r.width + x) * 3 + static_cast<std::size_t>(channel)]);
}
std::uint8_t grayAt(const Raster& r, std::uint32_t x, std::uint32_t y) {
  return static_cast<std::uint8_t>((at(r, x, y, 0) * 299 + at(r, x, y, 1) * 587 + at(r, x, y, 2) * 114) / 1000);
}

// File header and a BITMAPINFOHEADER-style header of the given size; the caller adds
// whatever the larger headers hold after the first 40 bytes.
std::string bmpStart(const Raster& r, std::uint32_t headerSize, std::uint16_t bits, std::uint32_t compression,
                     std::uint32_t paletteBytes, std::uint32_t pixelBytes) {
  std::string out = "BM";
  const std::uint32_t offset = 14 + headerSize + paletteBytes;
  little32(out, offset + pixelBytes);
  little32(out, 0);
  little32(out, offset);
  little32(out, headerSize);
  little32(out, r.width);
  little32(out, r.height);
  little16(out, 1);
  little16(out, bits);
  little32(out, compression);
  little32(out, pixelBytes);
  little32(out, 2835);
  little32(out, 2835);
  little32(out, paletteBytes / 4);
  little32(out, 0);
  return out;
}

}  // namespace

std::string bmpRle8Gray(const Raster& r) {
  std::string pixels;
  for (std::uint32_t row = r.height; row-- > 0;) {  // bottom-up
    for (std::uint32_t x = 0; x < r.width;) {
      const std::uint8_t value = grayAt(r, x, row);
      std::uint32_t run = 1;
      while (x + run < r.width && run < 255 && grayAt(r, x + run, row) == value) ++run;
      pixels.push_back(static_cast<char>(run));
      pixels.push_back(static_cast<char>(value));
      x += run;
    }
    pixels += std::string("\0\0", 2);  // end of line
  }
  pixels += std::string("\0\1", 2);  // end of bitmap
  std::string out = bmpStart(r, 40, 8, 1, 1024, static_cast<std::uint32_t>(pixels.size()));
  for (std::uint32_t i = 0; i < 256; ++i) little32(out, i * 0x010101u);
  return out + pixels;
}

std::string bmpOs2(const Raster& r) {
  const std::uint32_t stride = (r.width * 3 + 3) & ~3u;
  std::string out = "BM";
  little32(out, 26 + stride * r.height);
  little32(out, 0);
  little32(out, 26);
  little32(out, 12);
  little16(out, r.width);
  little16(out, r.height);
  little16(out, 1);
  little16(out, 24);
  for (std::uint32_t row = r.height; row-- > 0;) {
    std::string line;
    for (std::uint32_t x = 0; x < r.width; ++x) {
      line += {static_cast<char>(at(r, x, row, 2)), static_cast<char>(at(r, x, row, 1)),
               static_cast<char>(at(r, x, row, 0))};
    }
    line.resize(stride, '\0');
    out += line;
  }
  return out;
}

std::string bmpArgbBitFields(const Raster& r) {
  std::string out = bmpStart(r, 108, 32, 3, 0, r.width * r.height * 4);
  little32(out, 0x00ff0000);  // red
  little32(out, 0x0000ff00);  // green
  little32(out, 0x000000ff);  // blue
  little32(out, 0xff000000);  // alpha
  little32(out, 0x73524742);  // "sRGB"
  out.append(48, '\0');       // end points and gammas
  for (std::uint32_t row = r.height; row-- > 0;) {
    for (std::uint32_t x = 0; x < r.width; ++x) {
      out += {static_cast<char>(at(r, x, row, 2)), static_cast<char>(at(r, x, row, 1)),
              static_cast<char>(at(r, x, row, 0)), static_cast<char>(0xff)};
    }
  }
  return out;
}

std::string bmpRgb565(const Raster& r) {
  const std::uint32_t stride = (r.width * 2 + 3) & ~3u;
  std::string out = bmpStart(r, 40, 16, 3, 12, stride * r.height);
  little32(out, 0xf800);
  little32(out, 0x07e0);
  little32(out, 0x001f);
  for (std::uint32_t row = r.height; row-- > 0;) {
    std::string line;
    for (std::uint32_t x = 0; x < r.width; ++x) {
      little16(line, static_cast<std::uint32_t>((at(r, x, row, 0) >> 3) << 11 | (at(r, x, row, 1) >> 2) << 5 |
                                                (at(r, x, row, 2) >> 3)));
    }
    line.resize(stride, '\0');
    out += line;
  }
  return out;
}

std::string tiffGray16Alpha(const Raster& r) {
  std::string pixels;
  for (std::uint32_t y = 0; y < r.height; ++y) {
    for (std::uint32_t x = 0; x < r.width; ++x) {
      little16(pixels, grayAt(r, x, y) * 257u);
      little16(pixels, 0xffff);
    }
  }
  struct Entry {
    std::uint16_t tag, type;
    std::uint32_t count, value;
  };
  const std::uint32_t entries = 11;
  const std::uint32_t ifd = 8, afterIfd = ifd + 2 + entries * 12 + 4;
  const std::uint32_t pixelOffset = afterIfd;
  const Entry table[entries] = {
      {256, 4, 1, r.width},
      {257, 4, 1, r.height},
      {258, 3, 2, 16 | 16 << 16},
      {259, 3, 1, 1},  // 16 bits twice (fits in place); no compression
      {262, 3, 1, 1},  // black is zero
      {273, 4, 1, pixelOffset},
      {277, 3, 1, 2},  // two samples per pixel
      {278, 4, 1, r.height},
      {279, 4, 1, static_cast<std::uint32_t>(pixels.size())},
      {284, 3, 1, 1},  // chunky
      {338, 3, 1, 2},  // the extra sample is unassociated alpha
  };
  std::string out = "II";
  little16(out, 42);
  little32(out, ifd);
  little16(out, entries);
  for (const Entry& e : table) {
    little16(out, e.tag);
    little16(out, e.type);
    little32(out, e.count);
    if (e.type == 3 && e.count == 1) {
      little16(out, e.value);
      little16(out, 0);
    } else {
      little32(out, e.value);
    }
  }
  little32(out, 0);
  return out + pixels;
}

}  // namespace quillfen::test_support
