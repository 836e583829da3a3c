#include "recognition/ppocr/direction_classifier.h"

#include <opencv2/imgproc.hpp>

#include <algorithm>
#include <cmath>

#include "recognition/ppocr/text_recognizer.h"

namespace quillfen::ppocr {
namespace {

cv::Mat blobOf(const cv::Mat& resized, int fromX) {
  const int dims[4] = {1, 3, kLineHeight, kClassifierWidth};
  cv::Mat blob(4, dims, CV_32F, cv::Scalar(0));
  const int width = std::min(kClassifierWidth, resized.cols - fromX);
  for (int c = 0; c < 3; ++c) {
    for (int y = 0; y < kLineHeight; ++y) {
      const cv::Vec3b* row = resized.ptr<cv::Vec3b>(y) + fromX;
      float* out = blob.ptr<float>(0, c, y);
      for (int x = 0; x < width; ++x) out[x] = (row[x][c] / 255.0f - 0.5f) / 0.5f;
    }
  }
  return blob;
}

}  // namespace

std::vector<cv::Mat> classifierBlobs(const cv::Mat& lineBgr) {
  const double aspect = static_cast<double>(lineBgr.cols) / std::max(lineBgr.rows, 1);
  const int width = std::clamp(static_cast<int>(std::ceil(kLineHeight * aspect)), 1, kMaxLineWidth);
  cv::Mat resized;
  cv::resize(lineBgr, resized, cv::Size(width, kLineHeight), 0, 0, cv::INTER_LINEAR);
  if (width <= kClassifierWidth) return {blobOf(resized, 0)};
  const int last = width - kClassifierWidth;
  return {blobOf(resized, 0), blobOf(resized, last / 2), blobOf(resized, last)};
}

float DirectionClassifier::upsideDownProbability(const cv::Mat& lineBgr) {
  const std::vector<cv::Mat> blobs = classifierBlobs(lineBgr);
  float sum = 0;
  for (const cv::Mat& blob : blobs) {
    net_.setInput(blob);
    const cv::Mat out = net_.forward();
    CV_Assert(out.total() == 2);  // as the detector's map (text_detector.cpp)
    // Classes: 0 degrees, 180 degrees; the network ends in a softmax.
    sum += out.ptr<float>()[1];
  }
  return sum / static_cast<float>(blobs.size());
}

}  // namespace quillfen::ppocr
