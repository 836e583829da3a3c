#pragma once

#include <opencv2/core.hpp>
#include <opencv2/dnn.hpp>

#include <string>
#include <vector>

#include "recognition/ppocr/ctc_decoder.h"

namespace quillfen::ppocr {

inline constexpr int kLineHeight = 48;  // the recogniser's input height
inline constexpr int kMaxLineWidth = 2048;

// The recogniser input width for a line of the given natural width (at height 48). OpenCV
// plans the network again for every new input shape, which costs more than a little
// padding: widths are rounded up to multiples of 64 up to 512, then of 128.
int bucketWidth(int naturalWidth);

// The recogniser input for a BGR line crop: resized to height 48 keeping its aspect
// ratio (no wider than kMaxLineWidth), (x/255 - 0.5)/0.5 per channel in BGR order, then
// padded on the right to the bucket width with the line's own background colour.
cv::Mat recognizerBlob(const cv::Mat& lineBgr);

// PP-OCRv4's CTC line recogniser over a prepared network, whose output is class-major
// (1 × classes × steps).
class TextRecognizer {
 public:
  TextRecognizer(cv::dnn::Net net, std::vector<std::string> dictionary);

  DecodedText recognize(const cv::Mat& lineBgr);

 private:
  cv::dnn::Net net_;
  std::vector<std::string> dictionary_;
};

}  // namespace quillfen::ppocr
