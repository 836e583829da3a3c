#include "recognition/picture/alpha_flattening.h"

#include <leptonica/allheaders.h>

#include <algorithm>
#include <cmath>
#include <cstddef>

namespace quillfen::picture {
namespace {

// True when the visible pixels (alpha at least half) are light on the whole: their mean
// luminance, weighted by alpha, is above the middle. Samples a grid of about a million.
bool visibleContentIsLight(Pix* rgba) {
  const l_int32 width = pixGetWidth(rgba), height = pixGetHeight(rgba);
  const l_int32 step = std::max<l_int32>(1, static_cast<l_int32>(std::sqrt(double(width) * height / 1e6)));
  double weightedLuminance = 0, weight = 0;
  for (l_int32 y = 0; y < height; y += step) {
    const l_uint32* row = pixGetData(rgba) + static_cast<std::ptrdiff_t>(y) * pixGetWpl(rgba);
    for (l_int32 x = 0; x < width; x += step) {
      l_int32 r, g, b, a;
      extractRGBAValues(row[x], &r, &g, &b, &a);
      if (a < 128) continue;
      weightedLuminance += a * (0.299 * r + 0.587 * g + 0.114 * b);
      weight += a;
    }
  }
  return weight > 0 && weightedLuminance / weight > 127.5;
}

}  // namespace

void flattenAlpha(Pix* rgba) {
  // In place, one word at a time: no second picture is allocated, so a picture that fits
  // in memory once is flattened too (Leptonica's blend made a copy and, out of memory,
  // crashed on an allocation it did not check).
  const l_int32 background = visibleContentIsLight(rgba) ? 0 : 255;
  const l_int32 width = pixGetWidth(rgba), height = pixGetHeight(rgba), wpl = pixGetWpl(rgba);
  for (l_int32 y = 0; y < height; ++y) {
    l_uint32* row = pixGetData(rgba) + static_cast<std::ptrdiff_t>(y) * wpl;
    for (l_int32 x = 0; x < width; ++x) {
      l_int32 r, g, b, a;
      extractRGBAValues(row[x], &r, &g, &b, &a);
      if (a == 255) continue;
      const auto over = [&](l_int32 c) { return (c * a + background * (255 - a) + 127) / 255; };
      composeRGBAPixel(over(r), over(g), over(b), 255, row + x);
    }
  }
  pixSetSpp(rgba, 3);
}

}  // namespace quillfen::picture
