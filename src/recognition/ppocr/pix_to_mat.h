#pragma once

#include <opencv2/core.hpp>

#include "recognition/picture/pix_ptr.h"

struct Pix;

namespace quillfen::ppocr {

// The picture as an 8-bit BGR matrix, whatever depth and colour map Leptonica decoded it
// with; an empty matrix when Leptonica cannot convert it. Alpha is ignored. Throws
// cv::Exception when the matrix cannot be allocated.
cv::Mat bgrFromPix(Pix* pix);

// A 32-bit RGB Leptonica copy of a BGR matrix, for Tesseract's layout analysis of a page
// turned upright; null when Leptonica cannot allocate it. RGB, as colour pictures come from
// the decoder: the analysis thresholds a picture by its own rule, and a page turned upright
// is to be analysed as the same page stored upright.
picture::PixPtr rgbPixFromBgr(const cv::Mat& bgr);

}  // namespace quillfen::ppocr
