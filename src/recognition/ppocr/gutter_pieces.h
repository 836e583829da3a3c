#pragma once

#include <opencv2/core.hpp>

#include <vector>

#include "platform/status.h"
#include "recognition/layout/page_layout.h"
#include "recognition/ppocr/text_lines.h"
#include "recognition/ppocr/text_recognizer.h"

namespace quillfen::ppocr {

// On a page whose layout shows columns (layout::hasColumns), every box of near-level text
// that runs across a gutter (layout::gutterCuts) is cut there, and its pieces are read
// again from the picture: each replaces the box in read, in its place, when it is read
// with at least minConfidence. Other boxes, and other pages, are left as they are.
Status readAcrossGutters(const cv::Mat& picture, const layout::PageLayout& pageLayout, TextRecognizer& recognizer,
                         float minConfidence, std::vector<ReadBox>* read);

}  // namespace quillfen::ppocr
