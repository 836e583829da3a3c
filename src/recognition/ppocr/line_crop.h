#pragma once

#include <opencv2/core.hpp>

#include "recognition/ppocr/text_box.h"

namespace quillfen::ppocr {

// The size of a text box's crop: its longer top or bottom side by its longer left or
// right side, rounded, at least 1 × 1.
cv::Size cropSize(const TextBox& box);

// The picture inside a text box, warped to an upright rectangle of cropSize(box).
cv::Mat cropTextBox(const cv::Mat& picture, const TextBox& box);

// Whether a crop of this size is at least 1.5 times taller than wide: a line set on its
// side, a vertical column, or just one narrow character; the caller tries it both ways.
bool mayRunVertically(cv::Size crop);

}  // namespace quillfen::ppocr
