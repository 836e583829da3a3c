#pragma once

#include <opencv2/core.hpp>

#include <vector>

namespace quillfen::ppocr {

// Where to look for the size of a picture's text: up to `count` squares of `side` pixels
// (smaller at the picture's edges), from a grid over the picture, those with the most
// detail first (the mean edge strength of a reduced gray copy). Squares without detail
// (blank paper, a flat sky) are left out, so a blank picture gives none.
std::vector<cv::Rect> probeWindows(const cv::Mat& bgr, int count, int side);

}  // namespace quillfen::ppocr
