#pragma once

#include <cstddef>
#include <vector>

#include "recognition/layout/page_layout.h"

namespace quillfen::layout {

// An upright box around a piece of a text line, in picture pixels.
struct LineBox {
  float x = 0, y = 0, width = 0, height = 0;
};

// The share of the box that the block covers (its outline, or its bounds without one).
float coveredShare(const LineBox& box, const TextBlock& block);

// Text lines in the order of the layout's blocks, each line as box indices left to right.
// A box belongs to the text block (running text, heading, pull-out, caption) that covers
// most of it, when that is at least a fifth of it. Inside a block, boxes whose midlines lie within half the median box height of a
// row's first box form that row; rows go top to bottom. Boxes in no block form rows of
// their own, each read before the first block that starts below it.
std::vector<std::vector<std::size_t>> orderByBlocks(const std::vector<LineBox>& boxes, const PageLayout& layout);

}  // namespace quillfen::layout
