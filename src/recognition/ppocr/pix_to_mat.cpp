#include "recognition/ppocr/pix_to_mat.h"

#include <leptonica/allheaders.h>

#include "recognition/picture/pix_ptr.h"

namespace quillfen::ppocr {

using picture::PixPtr;

cv::Mat bgrFromPix(Pix* pix) {
  if (pix == nullptr) return {};
  // 32 bpp is one uint32 per pixel holding R, G, B and A at Leptonica's shifts; reading
  // whole words keeps this independent of the machine's byte order.
  const PixPtr rgba(pixConvertTo32(pix));
  if (!rgba) return {};
  const int width = static_cast<int>(pixGetWidth(rgba.get()));
  const int height = static_cast<int>(pixGetHeight(rgba.get()));
  const l_uint32* data = pixGetData(rgba.get());
  const std::size_t wordsPerLine = static_cast<std::size_t>(pixGetWpl(rgba.get()));
  cv::Mat bgr(height, width, CV_8UC3);
  for (int y = 0; y < height; ++y) {
    const l_uint32* line = data + static_cast<std::size_t>(y) * wordsPerLine;
    auto* out = bgr.ptr<cv::Vec3b>(y);
    for (int x = 0; x < width; ++x) {
      const l_uint32 word = line[x];
      out[x] = cv::Vec3b(static_cast<uchar>(word >> L_BLUE_SHIFT), static_cast<uchar>(word >> L_GREEN_SHIFT),
                         static_cast<uchar>(word >> L_RED_SHIFT));
    }
  }
  return bgr;
}

}  // namespace quillfen::ppocr
