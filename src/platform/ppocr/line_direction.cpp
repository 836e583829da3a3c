#include "platform/ppocr/line_direction.h"

#include <opencv2/imgproc.hpp>

#include <algorithm>
#include <cmath>
#include <stdexcept>

namespace quillfen::platform::ppocr {
namespace {

constexpr int kHeight = 48;
constexpr int kWidth = 192;
constexpr float kMinUpsideDown = 0.9f;

// Height 48, width by aspect ratio up to 192, (x/255 - 0.5)/0.5 in BGR order; the rest
// of the input stays 0, as the classifier was trained.
cv::Mat classifierBlob(const cv::Mat& line) {
  const double aspect = static_cast<double>(line.cols) / std::max(line.rows, 1);
  const int width = std::clamp(static_cast<int>(std::ceil(kHeight * aspect)), 1, kWidth);
  cv::Mat resized;
  cv::resize(line, resized, cv::Size(width, kHeight), 0, 0, cv::INTER_LINEAR);
  const int dims[4] = {1, 3, kHeight, kWidth};
  cv::Mat blob(4, dims, CV_32F, cv::Scalar(0));
  for (int c = 0; c < 3; ++c) {
    float* out = blob.ptr<float>(0, c);
    for (int y = 0; y < kHeight; ++y) {
      const cv::Vec3b* row = resized.ptr<cv::Vec3b>(y);
      for (int x = 0; x < width; ++x) out[y * kWidth + x] = (row[x][c] / 255.0f - 0.5f) / 0.5f;
    }
  }
  return blob;
}

}  // namespace

DirectionClassifier::DirectionClassifier(cv::dnn::Net net) : net_(std::move(net)) {}

bool DirectionClassifier::isUpsideDown(const cv::Mat& lineBgr) {
  net_.setInput(classifierBlob(lineBgr));
  const cv::Mat out = net_.forward();
  if (out.total() != 2) throw std::runtime_error("direction classifier output has an unexpected shape");
  return out.ptr<float>()[1] >= kMinUpsideDown;
}

}  // namespace quillfen::platform::ppocr
