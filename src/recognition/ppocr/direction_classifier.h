#pragma once

#include <opencv2/core.hpp>
#include <opencv2/dnn.hpp>

namespace quillfen::ppocr {

inline constexpr int kClassifierWidth = 192;  // the classifier's input is 48 × 192

// The classifier inputs for a BGR line crop: resized to height 48 keeping its aspect
// ratio; a short line is padded on the right to 192 with zeros (as PaddleOCR does), a long
// one gives three windows of 192 (start, middle, end) at that scale rather than being
// squeezed to 192, which made long upright lines look upside down. Each blob is
// 1 × 3 × 48 × 192, (x/255 - 0.5)/0.5 per channel in BGR order.
std::vector<cv::Mat> classifierBlobs(const cv::Mat& lineBgr);

// PaddleOCR's text direction classifier (upright or upside down) over a prepared network.
class DirectionClassifier {
 public:
  explicit DirectionClassifier(cv::dnn::Net net) : net_(std::move(net)) {}

  // The probability (0..1) that the line is upside down, averaged over its windows.
  float upsideDownProbability(const cv::Mat& lineBgr);

 private:
  cv::dnn::Net net_;
};

}  // namespace quillfen::ppocr
