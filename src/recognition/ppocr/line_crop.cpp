#include "recognition/ppocr/line_crop.h"

#include <opencv2/imgproc.hpp>

#include <algorithm>
#include <cmath>

namespace quillfen::ppocr {

cv::Size cropSize(const TextBox& box) {
  const auto& c = box.corners;
  const double width = std::max(cv::norm(c[0] - c[1]), cv::norm(c[2] - c[3]));
  const double height = std::max(cv::norm(c[0] - c[3]), cv::norm(c[1] - c[2]));
  return {std::max(1, static_cast<int>(std::lround(width))), std::max(1, static_cast<int>(std::lround(height)))};
}

cv::Mat cropTextBox(const cv::Mat& picture, const TextBox& box) {
  const auto& c = box.corners;
  const cv::Size size = cropSize(box);
  const int w = size.width;
  const int h = size.height;
  const cv::Point2f target[4] = {
      {0, 0}, {static_cast<float>(w), 0}, {static_cast<float>(w), static_cast<float>(h)}, {0, static_cast<float>(h)}};
  const cv::Mat transform = cv::getPerspectiveTransform(c.data(), target);
  cv::Mat crop;
  cv::warpPerspective(picture, crop, transform, cv::Size(w, h), cv::INTER_CUBIC, cv::BORDER_REPLICATE);
  return crop;
}

bool mayRunVertically(cv::Size crop) { return crop.height >= 1.5 * crop.width; }

}  // namespace quillfen::ppocr
