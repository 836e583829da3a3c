#pragma once

#include <opencv2/core.hpp>
#include <opencv2/dnn.hpp>

namespace quillfen::platform::ppocr {

// PaddleOCR's text direction classifier (0° or 180°) over a prepared network. Its input
// is fixed at 48×192, so it never makes OpenCV plan the network again.
class DirectionClassifier {
 public:
  explicit DirectionClassifier(cv::dnn::Net net);

  // Whether a BGR line crop is upside down. Like PaddleOCR, only a confident verdict
  // (probability 0.9 or more) turns a line.
  bool isUpsideDown(const cv::Mat& lineBgr);

 private:
  cv::dnn::Net net_;
};

}  // namespace quillfen::platform::ppocr
