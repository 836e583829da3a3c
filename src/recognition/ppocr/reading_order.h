#pragma once

#include <opencv2/core.hpp>

#include <cstddef>
#include <vector>

namespace quillfen::ppocr {

// The text lines of a page in reading order, from the upright bounds of its text boxes.
// Each line lists box indices left to right.
//
// A plain top-to-bottom sort interleaves the columns of a multi-column page, so the
// boxes are cut into blocks first (a recursive X-Y cut): rows that share a vertical white
// gutter form a block, and a block whose gutter separates text columns is read column by
// column, each column again as a page of its own. A gutter that only separates cells of
// the same rows (a receipt's prices, a table's figures) does not split: those rows are
// read whole, left to right. Blocks follow each other top to bottom.
std::vector<std::vector<std::size_t>> readingOrder(const std::vector<cv::Rect2f>& boxes);

}  // namespace quillfen::ppocr
