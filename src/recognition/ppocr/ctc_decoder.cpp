#include "recognition/ppocr/ctc_decoder.h"

namespace quillfen::ppocr {

DecodedText decodeCtc(const cv::Mat& probabilities, const std::vector<std::string>& dictionary) {
  const int classes = probabilities.cols;
  if (probabilities.type() != CV_32F || probabilities.dims != 2 ||
      static_cast<std::size_t>(classes) != dictionary.size() + 2) {
    throw DictionaryMismatch("recogniser output does not match the dictionary");
  }
  const int space = classes - 1;
  DecodedText decoded;
  int previous = 0;
  for (int step = 0; step < probabilities.rows; ++step) {
    const float* row = probabilities.ptr<float>(step);
    int best = 0;
    for (int c = 1; c < classes; ++c) {
      if (row[c] > row[best]) best = c;
    }
    if (best != 0 && best != previous) {
      decoded.text += best == space ? std::string(" ") : dictionary[static_cast<std::size_t>(best - 1)];
      decoded.probabilitySum += row[best];
      ++decoded.keptSteps;
    }
    previous = best;
  }
  return decoded;
}

}  // namespace quillfen::ppocr
