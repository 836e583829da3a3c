#pragma once

#include <opencv2/core.hpp>

#include <stdexcept>
#include <string>
#include <vector>

namespace quillfen::ppocr {

// The text read from one recogniser output, and the evidence behind it.
struct DecodedText {
  std::string text;
  double probabilitySum = 0;  // over the steps that produced a character
  int keptSteps = 0;

  // The mean of the kept steps' probabilities; 0 when nothing was read.
  float confidence() const { return keptSteps > 0 ? static_cast<float>(probabilitySum / keptSteps) : 0.0f; }
};

// The recogniser's class count does not fit the dictionary: the files are not a pair.
class DictionaryMismatch : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

// Greedy CTC decoding of a classes × steps matrix (CV_32F) of probabilities, the
// recogniser's class-major layout. Class 0 is the blank, class i in 1..N is the
// dictionary's entry i-1, class N+1 is a space. Each step takes its most probable class
// (the lowest of equals); a class repeated on consecutive steps counts once, blanks
// count never. Throws DictionaryMismatch when the class count is not N+2.
DecodedText decodeCtc(const cv::Mat& probabilities, const std::vector<std::string>& dictionary);

}  // namespace quillfen::ppocr
