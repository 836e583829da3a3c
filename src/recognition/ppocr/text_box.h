#pragma once

#include <opencv2/core.hpp>

#include <array>

namespace quillfen::ppocr {

// A text region the detector found: four corners in picture pixels, ordered top-left,
// top-right, bottom-right, bottom-left (as seen on the picture).
struct TextBox {
  std::array<cv::Point2f, 4> corners;
  float score = 0;  // the detector's mean probability inside the region

  // The smallest upright rectangle holding the corners.
  cv::Rect2f bounds() const;
  // The shorter of the sides that meet at the first corner: a line's height, whichever way
  // it runs.
  float shorterSide() const;
};

// The part of the box between the upright lines x = left and x = right, cut along its top
// and bottom sides (a side's end stays where it is when the line misses it). For boxes of
// near-level text, whose top and bottom sides run across the cuts.
TextBox pieceBetween(const TextBox& box, float left, float right);

// The corners of a rotated rectangle in TextBox order. Its top and bottom are the sides
// nearer to level: a line 4° off the vertical keeps its short sides as top and bottom, and
// its crop stays tall, although its ends lie further apart across the page than it is thick.
std::array<cv::Point2f, 4> orderedCorners(const cv::RotatedRect& rectangle);

// The rectangle grown on every side by area × ratio / perimeter. This is where DB's
// offset of the shrunk text kernel with round joins lands for a rectangle, once it is
// enclosed by its minimum-area rectangle again.
cv::RotatedRect unclip(const cv::RotatedRect& kernel, float ratio);

}  // namespace quillfen::ppocr
