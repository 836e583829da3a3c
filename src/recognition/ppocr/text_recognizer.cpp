#include "recognition/ppocr/text_recognizer.h"

#include <opencv2/imgproc.hpp>

#include <algorithm>
#include <array>
#include <cmath>
#include <stdexcept>

namespace quillfen::ppocr {
namespace {

// The median colour of the line's outer pixels (top and bottom rows, last column): the
// background the text sits on, in most crops.
cv::Vec3b borderColour(const cv::Mat& line) {
  std::array<std::vector<uchar>, 3> channels;
  auto add = [&](const cv::Vec3b& pixel) {
    for (int c = 0; c < 3; ++c) channels[static_cast<std::size_t>(c)].push_back(pixel[c]);
  };
  for (int x = 0; x < line.cols; ++x) {
    add(line.at<cv::Vec3b>(0, x));
    add(line.at<cv::Vec3b>(line.rows - 1, x));
  }
  for (int y = 0; y < line.rows; ++y) add(line.at<cv::Vec3b>(y, line.cols - 1));
  cv::Vec3b colour;
  for (int c = 0; c < 3; ++c) {
    auto& values = channels[static_cast<std::size_t>(c)];
    std::nth_element(values.begin(), values.begin() + static_cast<std::ptrdiff_t>(values.size() / 2), values.end());
    colour[c] = values[values.size() / 2];
  }
  return colour;
}

float normalised(uchar value) { return (value / 255.0f - 0.5f) / 0.5f; }

}  // namespace

int bucketWidth(int naturalWidth) {
  const int step = naturalWidth <= 512 ? 64 : 128;
  const int rounded = (std::max(naturalWidth, 1) + step - 1) / step * step;
  return std::min(rounded, kMaxLineWidth);
}

cv::Mat recognizerBlob(const cv::Mat& lineBgr) {
  const double aspect = static_cast<double>(lineBgr.cols) / std::max(lineBgr.rows, 1);
  const int width = std::clamp(static_cast<int>(std::ceil(kLineHeight * aspect)), 1, kMaxLineWidth);
  cv::Mat resized;
  cv::resize(lineBgr, resized, cv::Size(width, kLineHeight), 0, 0, cv::INTER_LINEAR);
  const cv::Vec3b background = borderColour(resized);

  const int blobWidth = bucketWidth(width);
  const int dims[4] = {1, 3, kLineHeight, blobWidth};
  cv::Mat blob(4, dims, CV_32F);
  for (int c = 0; c < 3; ++c) {
    const float padding = normalised(background[c]);
    float* out = blob.ptr<float>(0, c);
    for (int y = 0; y < kLineHeight; ++y) {
      const cv::Vec3b* row = resized.ptr<cv::Vec3b>(y);
      for (int x = 0; x < width; ++x) *out++ = normalised(row[x][c]);
      for (int x = width; x < blobWidth; ++x) *out++ = padding;
    }
  }
  return blob;
}

TextRecognizer::TextRecognizer(cv::dnn::Net net, std::vector<std::string> dictionary)
    : net_(std::move(net)), dictionary_(std::move(dictionary)) {}

DecodedText TextRecognizer::recognize(const cv::Mat& lineBgr) {
  net_.setInput(recognizerBlob(lineBgr));
  const cv::Mat out = net_.forward();
  if (out.dims != 3 || out.size[0] != 1) throw std::runtime_error("recogniser output has an unexpected shape");
  const cv::Mat classesBySteps(out.size[1], out.size[2], CV_32F, const_cast<float*>(out.ptr<float>()));
  return decodeCtc(classesBySteps, dictionary_);
}

}  // namespace quillfen::ppocr
