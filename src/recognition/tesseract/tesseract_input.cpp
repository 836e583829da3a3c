#include "recognition/tesseract/tesseract_input.h"

#include <leptonica/allheaders.h>

#include <algorithm>
#include <cstddef>

namespace quillfen::tess {

using picture::PixPtr;
namespace {

constexpr double kColourful = 10;

}  // namespace

double colourfulness(Pix* picture) {
  if (picture == nullptr || pixGetDepth(picture) != 32) return 0;
  const PixPtr blocks(pixScaleAreaMap(picture, 0.125f, 0.125f));
  if (!blocks) return 0;
  const l_int32 width = static_cast<l_int32>(pixGetWidth(blocks.get()));
  const l_int32 height = static_cast<l_int32>(pixGetHeight(blocks.get()));
  double sum = 0;
  for (l_int32 y = 0; y < height; ++y) {
    for (l_int32 x = 0; x < width; ++x) {
      l_int32 red = 0, green = 0, blue = 0;
      pixGetRGBPixel(blocks.get(), x, y, &red, &green, &blue);
      sum += std::max({red, green, blue}) - std::min({red, green, blue});
    }
  }
  return sum / std::max(1, width * height);
}

bool isColourful(Pix* picture) { return colourfulness(picture) >= kColourful; }

PixPtr tesseractInput(Pix* picture, bool colourful) {
  if (!colourful) return sameAsGray(picture);
  return PixPtr(pixConvertRGBToLuminance(picture));
}

PixPtr sameAsGray(Pix* picture) {
  if (picture == nullptr || pixGetDepth(picture) != 32) return nullptr;
  const l_int32 width = pixGetWidth(picture), height = pixGetHeight(picture), wpl = pixGetWpl(picture);
  for (l_int32 y = 0; y < height; ++y) {
    const l_uint32* row = pixGetData(picture) + static_cast<std::ptrdiff_t>(y) * wpl;
    for (l_int32 x = 0; x < width; ++x) {
      l_int32 red = 0, green = 0, blue = 0;
      extractRGBValues(row[x], &red, &green, &blue);
      if (red != green || green != blue) return nullptr;
    }
  }
  PixPtr gray(pixCreateNoInit(width, height, 8));
  if (!gray) return nullptr;
  const l_int32 grayWpl = pixGetWpl(gray.get());
  for (l_int32 y = 0; y < height; ++y) {
    const l_uint32* row = pixGetData(picture) + static_cast<std::ptrdiff_t>(y) * wpl;
    l_uint32* out = pixGetData(gray.get()) + static_cast<std::ptrdiff_t>(y) * grayWpl;
    for (l_int32 x = 0; x < width; ++x) SET_DATA_BYTE(out, x, static_cast<l_uint8>(GET_DATA_BYTE(row + x, COLOR_RED)));
  }
  return gray;
}

}  // namespace quillfen::tess
