#include "recognition/ppocr/text_box.h"

#include <algorithm>
#include <cmath>

namespace quillfen::ppocr {

float TextBox::shorterSide() const {
  return static_cast<float>(std::min(cv::norm(corners[1] - corners[0]), cv::norm(corners[3] - corners[0])));
}

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

namespace {

// The point of the side from a to b at x, or the nearer end when x lies past one.
cv::Point2f atX(cv::Point2f a, cv::Point2f b, float x) {
  if (b.x == a.x) return a;
  const float t = std::clamp((x - a.x) / (b.x - a.x), 0.0f, 1.0f);
  return a + (b - a) * t;
}

}  // namespace

TextBox pieceBetween(const TextBox& box, float left, float right) {
  const auto& [topLeft, topRight, bottomRight, bottomLeft] = box.corners;
  TextBox piece = box;
  piece.corners = {atX(topLeft, topRight, left), atX(topLeft, topRight, right), atX(bottomLeft, bottomRight, right),
                   atX(bottomLeft, bottomRight, left)};
  return piece;
}

std::array<cv::Point2f, 4> orderedCorners(const cv::RotatedRect& rectangle) {
  // points() goes round the rectangle, so sides run 0-1, 1-2, 2-3, 3-0. The top and bottom
  // are the pair of opposite sides nearer to level, whichever is longer.
  std::array<cv::Point2f, 4> p;
  rectangle.points(p.data());
  const cv::Point2f side = p[1] - p[0];
  const int first = std::abs(side.x) >= std::abs(side.y) ? 0 : 1;
  cv::Point2f a = p[first], b = p[first + 1], c = p[(first + 2) % 4], d = p[(first + 3) % 4];
  // a-b and c-d are the level sides; a-b is the top one when it lies higher.
  if (a.y + b.y > c.y + d.y) {
    std::swap(a, c);
    std::swap(b, d);
  }
  // Now b joins c and d joins a: the top's left end starts the clockwise order.
  if (a.x <= b.x) return {a, b, c, d};
  return {b, a, d, c};
}

cv::RotatedRect unclip(const cv::RotatedRect& kernel, float ratio) {
  const float width = kernel.size.width, height = kernel.size.height;
  const float perimeter = 2 * (width + height);
  if (perimeter <= 0) return kernel;
  const float distance = width * height * ratio / perimeter;
  return {kernel.center, cv::Size2f(width + 2 * distance, height + 2 * distance), kernel.angle};
}

}  // namespace quillfen::ppocr
