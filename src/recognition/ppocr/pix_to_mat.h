#pragma once

#include <opencv2/core.hpp>

#include "recognition/picture/pix_ptr.h"

struct Pix;

namespace quillfen::ppocr {

// The picture as an 8-bit BGR matrix, whatever depth and colour map Leptonica decoded it
// with; an empty matrix when Leptonica cannot convert it. Alpha is ignored. Throws
// cv::Exception when the matrix cannot be allocated.
cv::Mat bgrFromPix(Pix* pix);

// A Leptonica copy of an 8-bit matrix, for Tesseract's layout analysis: 8-bit gray from
// one channel, 32-bit RGB from BGR; null when Leptonica cannot allocate it. The copy takes
// the form the decoder gave the picture: the analysis thresholds gray and colour pictures
// by different rules, and a page turned upright is to be analysed as the same page stored
// upright.
picture::PixPtr pixFromMat(const cv::Mat& picture);

}  // namespace quillfen::ppocr
