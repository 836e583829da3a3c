#pragma once

#include <cstddef>
#include <vector>

#include "recognition/layout/line_box.h"
#include "recognition/layout/page_layout.h"

namespace quillfen::layout {

// The share of the box that the block covers (its outline, or its bounds without one).
float coveredShare(const LineBox& box, const TextBlock& block);

// For each box, the column of running text (isColumnOfText) that covers most of it, when
// that is at least a fifth of it, as an index into layout.blocks; layout.blocks.size()
// for a box in no column.
std::vector<std::size_t> columnOwners(const std::vector<LineBox>& boxes, const PageLayout& layout);

// The boxes (indices) as rows, top to bottom, each row left to right. A box joins a row
// when its midline is within half a line height of the row's first box, the smaller box's
// height counting when it is below medianHeight: lines of small print set close together
// stay apart.
std::vector<std::vector<std::size_t>> rowsOf(std::vector<std::size_t> ids, const std::vector<LineBox>& boxes,
                                             float medianHeight);

// Text lines in the order of the layout's columns of running text, each line as box
// indices left to right. A box belongs to the column (isColumnOfText) that covers most of
// it, when that is at least a fifth of it; so do the lines set on below a column's block,
// within its width and at most half a box height below its lowest line (the analysis
// joins a column's last lines to a caption beside them). Inside a column, boxes whose
// midlines lie within half the median box height of a row's first box form that row; rows
// go top to bottom. The other boxes (titles, captions, tables, page furniture) form rows
// of their own: a row within a column's width, below its top and above the lowest
// column's bottom is read after that column (a caption, a footnote); a row below the
// columns' top that no column holds (a caption under a picture) before the first column
// below it that shares some of its width, or after the last that does when none is below
// it, so that the column beside it is read to its end first; any other before the first
// column that starts below it, so a table's cells stay on their rows and what stands
// above or below the columns is read there.
std::vector<std::vector<std::size_t>> orderByBlocks(const std::vector<LineBox>& boxes, const PageLayout& layout);

}  // namespace quillfen::layout
