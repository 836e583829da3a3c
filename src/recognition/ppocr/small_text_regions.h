#pragma once

#include <opencv2/core.hpp>

#include <vector>

namespace quillfen::ppocr {

// Where a detector map made from a shrunken picture shows text too thin to box well:
// runs of map pixels above `threshold` whose height is at most `maxHeight`, joined with
// their neighbours into upright rectangles. The rectangles are in the coordinates of
// the picture (of size `picture`) that was shrunk to the map's size, padded, kept
// inside the picture and disjoint; the largest come first.
std::vector<cv::Rect> smallTextRegions(const cv::Mat& map, cv::Size picture, float threshold, int maxHeight);

}  // namespace quillfen::ppocr
