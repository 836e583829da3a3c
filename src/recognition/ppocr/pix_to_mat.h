#pragma once

#include <opencv2/core.hpp>

#include "recognition/picture/pix_ptr.h"

struct Pix;

namespace quillfen::ppocr {

// The picture as an 8-bit BGR matrix, whatever depth and colour map Leptonica decoded it
// with; an empty matrix when Leptonica cannot convert it. Alpha is ignored. Throws
// cv::Exception when the matrix cannot be allocated.
cv::Mat bgrFromPix(Pix* pix);

// An 8-bit gray Leptonica copy of a BGR matrix, for Tesseract's layout analysis of a page
// turned upright; null when Leptonica cannot allocate it.
picture::PixPtr grayPixFromBgr(const cv::Mat& bgr);

}  // namespace quillfen::ppocr
