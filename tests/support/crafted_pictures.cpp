#include "support/crafted_pictures.h"

#include <zlib.h>

#include <cstdio>
#include <cstdlib>
#include <stdexcept>
#include <vector>

#include <jpeglib.h>

namespace quillfen::testing {
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

}  // namespace quillfen::testing
