#include "recognition/ppocr/text_box.h"

#include <algorithm>

namespace quillfen::ppocr {

cv::Rect2f TextBox::bounds() const {
  float left = corners[0].x, right = corners[0].x, top = corners[0].y, bottom = corners[0].y;
  for (const cv::Point2f& corner : corners) {
    left = std::min(left, corner.x);
    right = std::max(right, corner.x);
    top = std::min(top, corner.y);
    bottom = std::max(bottom, corner.y);
  }
  return {left, top, right - left, bottom - top};
}

std::array<cv::Point2f, 4> orderedCorners(const cv::RotatedRect& rectangle) {
  std::array<cv::Point2f, 4> points;
  rectangle.points(points.data());
  std::sort(points.begin(), points.end(), [](const cv::Point2f& a, const cv::Point2f& b) { return a.x < b.x; });
  const auto [topLeft, bottomLeft] =
      points[0].y <= points[1].y ? std::pair(points[0], points[1]) : std::pair(points[1], points[0]);
  const auto [topRight, bottomRight] =
      points[2].y <= points[3].y ? std::pair(points[2], points[3]) : std::pair(points[3], points[2]);
  return {topLeft, topRight, bottomRight, bottomLeft};
}

cv::RotatedRect unclip(const cv::RotatedRect& kernel, float ratio) {
  const float width = kernel.size.width, height = kernel.size.height;
  const float perimeter = 2 * (width + height);
  if (perimeter <= 0) return kernel;
  const float distance = width * height * ratio / perimeter;
  return {kernel.center, cv::Size2f(width + 2 * distance, height + 2 * distance), kernel.angle};
}

}  // namespace quillfen::ppocr
