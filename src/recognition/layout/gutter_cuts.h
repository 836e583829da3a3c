#pragma once

#include <vector>

#include "recognition/layout/line_box.h"
#include "recognition/layout/page_layout.h"

namespace quillfen::layout {

// Where a line box runs on across a gutter, so that its parts can be read as the lines
// of their own columns. A line detector sees only ink: where columns are set close
// together, lines of two columns at one height come out as one box, and no reading order
// can put its halves back in their columns. The layout's blocks show the gutter: the box
// is cut between two blocks side by side that both reach its middle height and each hold
// a part of it at least kMinPartHeights of its height long (a word, not the margin that
// the detector leaves around the ink), when one of them is a column of running text
// (isColumnOfText) and no block at that height spans the gap between them (a title set
// over both). Each cut lies midway across the gap; cuts run left to right, none for a box
// inside one block.
std::vector<float> gutterCuts(const LineBox& box, const PageLayout& layout);

inline constexpr float kMinPartHeights = 0.6f;

}  // namespace quillfen::layout
