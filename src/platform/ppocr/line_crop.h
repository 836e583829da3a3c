#pragma once

#include <opencv2/core.hpp>

#include "platform/ppocr/text_box.h"

namespace quillfen::platform::ppocr {

// The picture inside a text box, warped to an upright rectangle as long as the box's
// longer sides. A crop at least 1.5 times taller than wide is a line set on its side
// (or a vertical column): it is turned a quarter anticlockwise to lie flat.
cv::Mat cropTextBox(const cv::Mat& picture, const TextBox& box);

}  // namespace quillfen::platform::ppocr
