#include "recognition/picture/jpeg_decoder.h"

#include <leptonica/allheaders.h>

#include <csetjmp>
#include <cstdio>
#include <memory>
#include <new>
#include <vector>

// jpeglib.h needs size_t and FILE declared first.
#include <jpeglib.h>

namespace quillfen::picture {
namespace {

struct ErrorManager {
  jpeg_error_mgr base;
  std::jmp_buf escape;
  int warnings = 0;
};

[[noreturn]] void leave(j_common_ptr info) { std::longjmp(reinterpret_cast<ErrorManager*>(info->err)->escape, 1); }

void countWarning(j_common_ptr info, int level) {
  if (level < 0) ++reinterpret_cast<ErrorManager*>(info->err)->warnings;
}

void limitScans(j_common_ptr info) {
  auto* decompress = reinterpret_cast<j_decompress_ptr>(info);
  if (decompress->input_scan_number > maxJpegScans) leave(info);
}

// Leptonica's 32-bit RGB pixel, as composeRGBPixel makes it. Written out here because a call
// per pixel into the library cost 10-15 ms of a 12-megapixel photo's 170-185 ms decoding.
inline l_uint32 rgbPixel(unsigned red, unsigned green, unsigned blue) {
  return red << L_RED_SHIFT | green << L_GREEN_SHIFT | blue << L_BLUE_SHIFT;
}

// One row of decoded samples into Leptonica's layout.
void storeRow(const JSAMPLE* in, J_COLOR_SPACE space, bool adobeInverted, l_int32 width, l_uint32* out) {
  switch (space) {
    case JCS_GRAYSCALE:
      for (l_int32 x = 0; x < width; ++x) SET_DATA_BYTE(out, x, in[x]);
      return;
    case JCS_CMYK:
      // Adobe's CMYK JPEGs store the inks inverted (0 is full ink), others as they are.
      for (l_int32 x = 0; x < width; ++x, in += 4) {
        const int c = adobeInverted ? in[0] : 255 - in[0], m = adobeInverted ? in[1] : 255 - in[1];
        const int y = adobeInverted ? in[2] : 255 - in[2], k = adobeInverted ? in[3] : 255 - in[3];
        out[x] = rgbPixel(c * k / 255, m * k / 255, y * k / 255);
      }
      return;
    default:
      for (l_int32 x = 0; x < width; ++x, in += 3) out[x] = rgbPixel(in[0], in[1], in[2]);
      return;
  }
}

// Everything that must survive a longjmp out of libjpeg lives here, outside the frame that
// calls setjmp.
struct Decoding {
  jpeg_decompress_struct info{};
  ErrorManager errors;
  jpeg_progress_mgr progress{};
  PixPtr pix;
  std::vector<JSAMPLE> row;
};

bool decodeInto(Decoding& d, const std::uint8_t* data, std::size_t size, std::uint64_t maxPixels) {
  if (setjmp(d.errors.escape) != 0) return false;
  jpeg_create_decompress(&d.info);
  d.info.progress = &d.progress;
  jpeg_mem_src(&d.info, data, static_cast<unsigned long>(size));
  if (jpeg_read_header(&d.info, TRUE) != JPEG_HEADER_OK) return false;
  const std::uint64_t pixels = std::uint64_t{d.info.image_width} * d.info.image_height;
  if (pixels == 0 || pixels > maxPixels) return false;

  const bool cmyk = d.info.jpeg_color_space == JCS_CMYK || d.info.jpeg_color_space == JCS_YCCK;
  const bool gray = d.info.num_components == 1;
  d.info.out_color_space = cmyk ? JCS_CMYK : gray ? JCS_GRAYSCALE : JCS_RGB;
  if (!jpeg_start_decompress(&d.info)) return false;

  const auto width = static_cast<l_int32>(d.info.output_width);
  const auto height = static_cast<l_int32>(d.info.output_height);
  d.pix.reset(pixCreateNoInit(width, height, gray ? 8 : 32));
  if (!d.pix) return false;
  d.row.resize(static_cast<std::size_t>(width) * static_cast<std::size_t>(d.info.output_components));
  l_uint32* const pixels32 = pixGetData(d.pix.get());
  const l_int32 wordsPerLine = pixGetWpl(d.pix.get());
  while (d.info.output_scanline < d.info.output_height) {
    const auto y = static_cast<std::ptrdiff_t>(d.info.output_scanline);
    JSAMPROW rows[1] = {d.row.data()};
    if (jpeg_read_scanlines(&d.info, rows, 1) != 1) return false;
    storeRow(d.row.data(), d.info.out_color_space, d.info.saw_Adobe_marker != 0, width, pixels32 + y * wordsPerLine);
  }
  // Reading on to the end marker is what reports a truncated end or stray bytes.
  if (!jpeg_finish_decompress(&d.info)) return false;
  return d.errors.warnings == 0;
}

}  // namespace

PixPtr decodeJpeg(const std::uint8_t* data, std::size_t size, std::uint64_t maxPixels) {
  auto d = std::make_unique<Decoding>();
  d->info.err = jpeg_std_error(&d->errors.base);
  d->errors.base.error_exit = leave;
  d->errors.base.emit_message = countWarning;
  d->progress.progress_monitor = limitScans;
  bool decoded = false;
  try {
    decoded = decodeInto(*d, data, size, maxPixels);
  } catch (const std::bad_alloc&) {
    decoded = false;  // the row buffer; libjpeg's own allocations fail through leave()
  }
  jpeg_destroy_decompress(&d->info);  // also after a failed create: it checks for that
  if (!decoded) return nullptr;
  return std::move(d->pix);
}

}  // namespace quillfen::picture
