#pragma once

#include <tesseract/baseapi.h>

#include <cstddef>
#include <vector>

#include "recognition/layout/page_columns.h"

struct Pix;

namespace quillfen::layout {

struct Point {
  float x = 0, y = 0;
};

// A block of text lines that Tesseract's page layout analysis found: running text in a
// column, a heading, a pull-out, a caption, or a table, an equation or vertical text.
struct TextBlock {
  PageArea bounds;
  std::vector<Point> outline;  // the block's polygon in picture pixels; empty: its bounds
  int lineCount = 0;
  float lineHeight = 0;   // the median height of its text lines
  float filledShare = 0;  // the share of its lines that span at least 60 % of its width
  bool flowing = false;   // running text inside a column
  bool table = false;     // a table, or part of one
};

// The blocks of a page that hold text lines, in the reading order the layout analysis
// gives them.
struct PageLayout {
  std::vector<TextBlock> blocks;
  float lineHeight = 0;  // the median height of all the page's text lines; 0 for none
};

// The page's layout from Tesseract's layout analysis (tab stops, columns, images and rules
// over Leptonica; no recognition, no language data). Empty when the analysis fails or
// does not end within its processor-time budget (layout_budget.h).
PageLayout analysePageLayout(Pix* page);

// The same analysis in this process, with no budget: for work that is in a child process
// of its own already.
PageLayout unbudgetedPageLayout(Pix* page);

// Tesseract's API with the step that finds a page's blocks and lines open to its user.
class TesseractApi : public tesseract::TessBaseAPI {
 public:
  // Finds the blocks and lines of the page set on the API, once: a layout analysis or a
  // reading that follows uses them. False when that fails.
  bool findLines() { return FindLines() == 0; }
};

// The same analysis, within the same budget, on an engine's own API, whose picture and
// page segmentation mode are already set, so that it sees the page as the engine's
// reading will. The blocks and lines are found here, on the API, so that a reading that
// follows on the same picture uses them; the rest of the analysis runs on a copy of the
// API in a child process and leaves the API as it was.
PageLayout analyseLayout(TesseractApi& api);

// The layout of the page that the API has recognised, as its reading found it: no
// analysis of its own, no budget.
PageLayout recognisedLayout(tesseract::TessBaseAPI& api);

// The same layout on the page drawn factor times as large: bounds, outlines and line
// heights scaled (the page's too), for a layout analysed on a reduced copy of the page.
PageLayout scaledLayout(PageLayout layout, float factor);

// Whether the block is a column of running text: at least 3 lines, at least 8 line
// heights wide, and most of its lines filling it. A table's cells, which the analysis
// also returns as small blocks, are not.
bool isColumnOfText(const TextBlock& block);

// Whether the layout is to be trusted for reading order: it holds at least two blocks of
// running text side by side (overlapping vertically by at least half the shorter one, not
// horizontally), each with at least 3 lines, at least 8 line heights wide, and most of its
// lines filling it. Tables, worksheets and photos, whose blocks the analysis also finds,
// mostly fail this, and their order is better left to the rows.
bool hasColumns(const PageLayout& layout);

// Whether a page on which this many lines were read can hold two such columns: at least
// twice the lines of one. A page that cannot has no use for its layout.
bool mayHaveColumns(std::size_t linesRead);

}  // namespace quillfen::layout
