#include "recognition/ppocr/ctc_decoder.h"

#include <algorithm>

namespace quillfen::ppocr {

Status decodeCtc(const cv::Mat& probabilities, const std::vector<std::string>& dictionary, DecodedText* decoded) {
  const int classes = probabilities.rows;
  if (probabilities.type() != CV_32F || probabilities.dims != 2 ||
      static_cast<std::size_t>(classes) != dictionary.size() + 2) {
    return Status::recognitionFailed("识别模型输出 " + std::to_string(classes) + " 类，字典有 " +
                                     std::to_string(dictionary.size()) + " 项");
  }
  *decoded = DecodedText();
  const auto steps = static_cast<std::size_t>(probabilities.cols);
  if (steps == 0) return Status();
  // Every step's most probable class, a class row at a time (each row is contiguous).
  std::vector<int> best(steps, 0);
  std::vector<float> bestProbability(steps);
  const float* blank = probabilities.ptr<float>(0);
  std::copy(blank, blank + steps, bestProbability.begin());
  for (int c = 1; c < classes; ++c) {
    const float* row = probabilities.ptr<float>(c);
    for (std::size_t t = 0; t < steps; ++t) {
      if (row[t] > bestProbability[t]) {
        bestProbability[t] = row[t];
        best[t] = c;
      }
    }
  }

  const int space = classes - 1;
  int previous = 0;
  for (std::size_t t = 0; t < steps; ++t) {
    if (best[t] != 0 && best[t] != previous) {
      decoded->text += best[t] == space ? std::string(" ") : dictionary[static_cast<std::size_t>(best[t] - 1)];
      decoded->probabilitySum += bestProbability[t];
      ++decoded->keptSteps;
    }
    previous = best[t];
  }
  return Status();
}

}  // namespace quillfen::ppocr
