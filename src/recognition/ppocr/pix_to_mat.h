#pragma once

#include <opencv2/core.hpp>

struct Pix;

namespace quillfen::ppocr {

// The picture as an 8-bit BGR matrix, whatever depth and colour map Leptonica decoded it
// with; an empty matrix when Leptonica cannot convert it. Alpha is ignored. Throws
// cv::Exception when the matrix cannot be allocated.
cv::Mat bgrFromPix(Pix* pix);

}  // namespace quillfen::ppocr
