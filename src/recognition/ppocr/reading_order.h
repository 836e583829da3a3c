#pragma once

#include <opencv2/core.hpp>

#include <cstddef>
#include <vector>

namespace quillfen::ppocr {

// A text box as the reading order sees it: its upright bounds, and the line its text
// runs along: the box's centre, the direction of its text (a unit vector, (1, 0) for level
// text) and its thickness across that direction.
struct OrderBox {
  cv::Rect2f bounds;
  cv::Point2f centre;
  cv::Point2f direction{1, 0};
  float thickness = 0;
};

// A box of level text filling the rectangle.
OrderBox levelBox(const cv::Rect2f& bounds);

// The text lines of a page in reading order. Each line lists box indices along the text.
//
// Boxes share a row when their text runs along the same line: they are compared across
// the row's own direction, so that the rows of a tilted photo stay apart (their upright
// bounds overlap) and the pieces of one tilted row still join. A box's thickness counts
// only its middle kInkShare: the detector's boxes reach past the ink by a margin, and on
// tightly set text the margins of neighbouring rows overlap. Rows follow the direction of
// long boxes; shorter ones take the page's median direction.
//
// A plain top-to-bottom sort interleaves the columns of a multi-column page, so the
// boxes are cut into blocks first (a recursive X-Y cut): rows that share a vertical white
// gutter form a block, and a block whose gutter separates text columns is read column by
// column, each column again as a page of its own. A gutter that only separates cells of
// the same rows (a receipt's prices, a table's figures) does not split: those rows are
// read whole, left to right. Blocks follow each other top to bottom.
std::vector<std::vector<std::size_t>> readingOrder(const std::vector<OrderBox>& boxes);
std::vector<std::vector<std::size_t>> readingOrder(const std::vector<cv::Rect2f>& boxes);  // level boxes

inline constexpr float kInkShare = 0.6f;

}  // namespace quillfen::ppocr
