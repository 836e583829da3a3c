#pragma once

#include <opencv2/core.hpp>

#include <vector>

#include "recognition/layout/page_layout.h"
#include "recognition/ppocr/text_lines.h"

struct Pix;

namespace quillfen::ppocr {

// The scale at which the page's layout is analysed: Tesseract's layout analysis costs
// time and memory by the pixel (nearly a second on a 12-megapixel photo; it took
// 100-megapixel pictures past 1 GiB) and needs no more than body text's size at 300 dpi
// to find columns. So a page whose lines (the read boxes' median thickness) are larger is
// analysed reduced until they are that size, and any page is reduced to at most
// kMaxLayoutPixels. 1 for a page of small print; never above 1. A picture enlarged for
// its small print (by enlargement; layout/reading_scale.h) goes back to its own size at
// most: on enlarged journal pages the analysis broke columns into dozens of one-line
// blocks, and their order between columns.
float layoutScale(float lineHeight, cv::Size picture, float enlargement = 1);

// What the file said of a picture that its BGR pixels no longer say.
struct StoredForm {
  cv::Point resolution;  // pixels per inch (0: not given)
  bool gray = false;     // decoded as gray levels, not colour
};

// The form of a decoded picture. Gray: anything but 32-bit colour, unless its colour map
// holds colours (a gray palette is gray levels, as Tesseract reads it).
StoredForm storedFormOf(Pix* pix);

// The page's layout, analysed on a copy of the picture reduced by layoutScale for the read
// boxes' line height, in the picture's own pixels. The copy is gray or RGB as the picture
// was stored, and its resolution is reduced alike, since the analysis measures in inches
// where it can. Too few lines read for two columns (layout::mayHaveColumns): no layout,
// since the lines' order uses it only for columns, and the analysis of a photo with a few
// lines of text takes a third of a second. enlargement as for layoutScale. When that scale
// is the stored picture's own and analysedAsStored is given (the layout that measured it
// for small print), that layout is used instead of a second analysis of the same pixels.
layout::PageLayout analyseLayoutAtTextSize(const cv::Mat& bgr, const StoredForm& stored,
                                           const std::vector<ReadBox>& read, float enlargement = 1,
                                           const layout::PageLayout* analysedAsStored = nullptr);

// The median thickness of the read boxes (the shorter side of each); 0 for none.
float medianLineHeight(const std::vector<ReadBox>& read);

}  // namespace quillfen::ppocr
