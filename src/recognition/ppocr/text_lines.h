#pragma once

#include <opencv2/core.hpp>

#include <vector>

#include "recognition/layout/page_layout.h"
#include "recognition/observation.h"
#include "recognition/ppocr/ctc_decoder.h"
#include "recognition/ppocr/text_box.h"

namespace quillfen::ppocr {

// One detected box and what the recogniser read in it.
struct ReadBox {
  TextBox box;
  DecodedText decoded;
};

// One observation per text line in reading order: the order of the page's layout blocks
// when the layout shows columns (layout::hasColumns), otherwise the boxes' own order
// (readingOrder, along each box's own slope). The boxes of a line are joined in that
// order, with a space where they leave a visible gap between them (neighbouring columns
// of figures must not run together) or where a box lies below the one before (the lines
// of a table's cell, read as one row); each line is trimmed, and lines left empty are
// dropped, as are boxes in which nothing was read. A line's confidence is the mean
// probability over all the steps that produced its characters.
Observations lineObservations(const std::vector<ReadBox>& boxes, const layout::PageLayout& layout = {});

}  // namespace quillfen::ppocr
