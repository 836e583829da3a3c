#pragma once

#include <vector>

struct Pix;

namespace quillfen::layout {

// An upright part of a picture, in pixels.
struct PageArea {
  int x = 0, y = 0, width = 0, height = 0;
};

// The parts of a page in reading order, when it is set in two columns: a gutter (a band
// that most text lines leave blank, with a side of running text left and right of it,
// each at least minLineLengths of its line heights and 30 % of the inked width) splits
// it. Lines that cross the gutter (a title, a footer) are read across the page; the
// lines between them are read left column, then right column. A page without such a
// gutter (one column, a receipt whose prices sit beside their items, a table) is one
// area, the whole picture.
std::vector<PageArea> pageColumns(Pix* picture, double minLineLengths = 8);

}  // namespace quillfen::layout
