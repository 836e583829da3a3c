#pragma once

#include <opencv2/core.hpp>

#include "recognition/ppocr/text_box.h"

namespace quillfen::ppocr {

// The picture inside a text box, warped to an upright rectangle as long as the box's
// longer sides.
cv::Mat cropTextBox(const cv::Mat& picture, const TextBox& box);

// Whether a crop is at least 1.5 times taller than wide: a line set on its side, a
// vertical column, or just one narrow character; the caller tries it both ways.
bool mayRunVertically(const cv::Mat& crop);

}  // namespace quillfen::ppocr
