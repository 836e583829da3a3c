#pragma once

#include <opencv2/core.hpp>

#include <string>
#include <vector>

#include "platform/status.h"

namespace quillfen::ppocr {

// The text read from one recogniser output, and the evidence behind it.
struct DecodedText {
  std::string text;
  double probabilitySum = 0;  // over the steps that produced a character
  int keptSteps = 0;

  // The mean of the kept steps' probabilities; 0 when nothing was read.
  float confidence() const { return keptSteps > 0 ? static_cast<float>(probabilitySum / keptSteps) : 0.0f; }
};

// Greedy CTC decoding of a classes × steps matrix (CV_32F) of probabilities, the
// recogniser's class-major layout. Class 0 is the blank, class i in 1..N is the
// dictionary's entry i-1, class N+1 is a space. Each step takes its most probable class
// (the lowest of equals); a class repeated on consecutive steps counts once, blanks
// count never. Fails when the class count is not N+2: the recogniser and the dictionary
// are not a pair.
Status decodeCtc(const cv::Mat& probabilities, const std::vector<std::string>& dictionary, DecodedText* decoded);

}  // namespace quillfen::ppocr
