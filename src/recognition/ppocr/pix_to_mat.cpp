#include "recognition/ppocr/pix_to_mat.h"

#include <leptonica/allheaders.h>

#include "recognition/picture/pix_ptr.h"

namespace quillfen::ppocr {

using picture::PixPtr;

cv::Mat bgrFromPix(Pix* pix) {
  if (pix == nullptr) return {};
  // The decoder's 8-bit gray and 32-bit RGB are read as they are; anything else goes
  // through a 32-bit copy first. Copying a 100-megapixel picture would cost another 400 MB.
  const bool direct = pixGetColormap(pix) == nullptr && (pixGetDepth(pix) == 8 || pixGetDepth(pix) == 32);
  PixPtr converted;
  if (!direct) {
    converted.reset(pixConvertTo32(pix));
    if (!converted) return {};
  }
  Pix* source = direct ? pix : converted.get();
  const int width = static_cast<int>(pixGetWidth(source));
  const int height = static_cast<int>(pixGetHeight(source));
  const l_uint32* data = pixGetData(source);
  const std::size_t wordsPerLine = static_cast<std::size_t>(pixGetWpl(source));
  cv::Mat bgr(height, width, CV_8UC3);
  const bool gray = pixGetDepth(source) == 8;
  for (int y = 0; y < height; ++y) {
    const l_uint32* line = data + static_cast<std::size_t>(y) * wordsPerLine;
    auto* out = bgr.ptr<cv::Vec3b>(y);
    if (gray) {
      for (int x = 0; x < width; ++x) {
        const auto value = static_cast<uchar>(GET_DATA_BYTE(line, x));
        out[x] = cv::Vec3b(value, value, value);
      }
      continue;
    }
    // 32 bpp is one uint32 per pixel holding R, G, B and A at Leptonica's shifts; reading
    // whole words keeps this independent of the machine's byte order.
    for (int x = 0; x < width; ++x) {
      const l_uint32 word = line[x];
      out[x] = cv::Vec3b(static_cast<uchar>(word >> L_BLUE_SHIFT), static_cast<uchar>(word >> L_GREEN_SHIFT),
                         static_cast<uchar>(word >> L_RED_SHIFT));
    }
  }
  return bgr;
}

PixPtr pixFromMat(const cv::Mat& picture) {
  CV_Assert(picture.type() == CV_8UC1 || picture.type() == CV_8UC3);
  const bool gray = picture.channels() == 1;
  PixPtr pix(pixCreate(picture.cols, picture.rows, gray ? 8 : 32));
  if (!pix) return nullptr;
  l_uint32* data = pixGetData(pix.get());
  const std::size_t wordsPerLine = static_cast<std::size_t>(pixGetWpl(pix.get()));
  for (int y = 0; y < picture.rows; ++y) {
    l_uint32* line = data + static_cast<std::size_t>(y) * wordsPerLine;
    if (gray) {
      const uchar* in = picture.ptr<uchar>(y);
      for (int x = 0; x < picture.cols; ++x) SET_DATA_BYTE(line, x, in[x]);
      continue;
    }
    const auto* in = picture.ptr<cv::Vec3b>(y);
    for (int x = 0; x < picture.cols; ++x) {
      line[x] = (static_cast<l_uint32>(in[x][2]) << L_RED_SHIFT) | (static_cast<l_uint32>(in[x][1]) << L_GREEN_SHIFT) |
                (static_cast<l_uint32>(in[x][0]) << L_BLUE_SHIFT);
    }
  }
  return pix;
}

}  // namespace quillfen::ppocr
