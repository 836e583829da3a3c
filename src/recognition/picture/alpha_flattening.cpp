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

PixPtr flattenAlpha(Pix* rgba) {
  const l_uint32 background = visibleContentIsLight(rgba) ? 0x00000000 : 0xffffff00;
  return PixPtr(pixAlphaBlendUniform(rgba, background));
}

}  // namespace quillfen::picture
