#pragma once

#include <cstddef>
#include <vector>

#include "recognition/layout/line_box.h"

namespace quillfen::layout {

// A row of line boxes (indices), and the table it is a row of: 1 for the first table
// found, 2 for the next, ...; 0 for none.
struct OrderedRow {
  std::vector<std::size_t> ids;
  std::size_t table = 0;

  bool tableRow() const { return table != 0; }
};

// Rows of boxes (top to bottom, each left to right) with the rows of any table among them
// put back together. A table's cells often hold two or more lines, and rows of boxes cut
// each cell into lines that interleave with the cells beside it; a reader takes the row
// whole ("Serratus anterior" | "Thoracolumbar fascia, spines of" / "vertebrae T11-T12").
//
// A table is a run of at least kMinTableRows rows, each at most kMaxRowGap box heights
// (the median's) below the one before, with no box of runningText (the page's columns of
// text, as indices of boxes) centred among its rows' boxes, whose boxes leave vertical gutters between them
// (its columns: a box is in the column that holds its centre), two of its rows at least
// with boxes in two columns. It starts at a row with a gutter of its own (not a title);
// up to kMaxAround rows at either end that close gutters the others leave open (a
// running head, a note) are left out, and so are the boxes of a column that only one row
// fills (a heading beside the table), which come back as rows of their own. Its rows:
//  - rows closer than kCloseRows box heights, midline to midline, are one row: the lines
//    of a paragraph stand about a box height apart, and a line set centred beside a cell
//    of two lines stands half that from each;
//  - a row that fills only some of the columns the row above fills, each of its boxes on
//    the next line of a box of that row in its column (at most kCellLinePitch box heights
//    below it, as a paragraph's lines stand), continues it: cells set from the top, whose
//    lines run on;
//  - a row alone that fills only some of the columns of the row below, each of its boxes
//    on the line over one of that row's, heads it: the first line of a cell taller than
//    the cells set centred beside it.
// A table row holds its cells left to right, each cell's boxes top to bottom. The other
// rows are returned as they came, in their place.
std::vector<OrderedRow> withTableRows(const std::vector<std::vector<std::size_t>>& rows,
                                      const std::vector<LineBox>& boxes,
                                      const std::vector<std::size_t>& runningText = {});

inline constexpr std::size_t kMinTableRows = 3;
inline constexpr float kCloseRows = 0.7f;
inline constexpr float kCellLinePitch = 1.0f;
inline constexpr float kMaxRowGap = 2.5f;
inline constexpr std::size_t kMaxAround = 2;

}  // namespace quillfen::layout
