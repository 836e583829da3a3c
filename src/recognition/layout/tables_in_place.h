#pragma once

#include <cstddef>
#include <vector>

#include "recognition/layout/line_box.h"
#include "recognition/layout/page_layout.h"

namespace quillfen::layout {

// An engine's own reading order, with the page's tables read row by row in it. An engine
// that reads a page in its layout's order (Tesseract's) reads a table cell by cell or
// column by column; its running text it reads well, and that order is kept.
//
// The boxes are pieces of the engine's lines, in its reading order: lineOf[i] is the line
// that box i is a piece of. Tables are found (table_rows.h) among the boxes that are not
// running text. On a page whose layout shows columns (hasColumns), running text is what
// its columns of text hold (block_order.h's columnOwners), and any line as wide as 90 %
// of the widest column, but not:
//  - the boxes of a column that make a table by themselves (the layout may take a table's
//    half for the top of the column below it);
//  - a column standing beside a table on most of its rows (the layout often finds only a
//    table's first columns as a table); a block the layout calls a table counts only
//    when its boxes make one, as it also calls justified text with wide spaces a table.
// On other pages nothing is running text. Returns lines as box indices: a line with no
// piece in a table as it came; a table as its rows, in the place of the first line with a
// piece in it; what is left of such a line, in that line's place.
std::vector<std::vector<std::size_t>> withTablesInPlace(const std::vector<LineBox>& boxes,
                                                        const std::vector<std::size_t>& lineOf,
                                                        const PageLayout& layout);

}  // namespace quillfen::layout
