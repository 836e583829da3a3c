#include "recognition/ppocr/text_recognizer.h"

#include <opencv2/imgproc.hpp>

#include <algorithm>
#include <array>
#include <atomic>
#include <cmath>
#include <exception>
#include <mutex>
#include <numeric>
#include <thread>

#include "platform/process.h"

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

// The line's width at height 48, within what the recogniser takes.
int scaledWidth(cv::Size lineSize) {
  const double aspect = static_cast<double>(lineSize.width) / std::max(lineSize.height, 1);
  return std::clamp(static_cast<int>(std::ceil(kLineHeight * aspect)), 1, kMaxLineWidth);
}

// Sets OpenCV's thread count for a scope (it is process-wide) and puts it back after.
class OpenCvThreads {
 public:
  explicit OpenCvThreads(int count) : saved_(cv::getNumThreads()) { cv::setNumThreads(count); }
  ~OpenCvThreads() { cv::setNumThreads(saved_); }
  OpenCvThreads(const OpenCvThreads&) = delete;
  OpenCvThreads& operator=(const OpenCvThreads&) = delete;

 private:
  int saved_;
};

}  // namespace

int bucketWidth(int naturalWidth) {
  const int step = naturalWidth <= 512 ? 64 : 128;
  const int rounded = (std::max(naturalWidth, 1) + step - 1) / step * step;
  return std::min(rounded, kMaxLineWidth);
}

int recognizerInputWidth(cv::Size lineSize) { return bucketWidth(scaledWidth(lineSize)); }

cv::Mat recognizerBlob(const cv::Mat& lineBgr) {
  const int width = scaledWidth(lineBgr.size());
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

int recognizerWorkerCount() { return std::clamp(platform::usableProcessors(), 1, kMaxRecognizerWorkers); }

TextRecognizer::TextRecognizer(cv::dnn::Net net, std::vector<std::string> dictionary, RecognizerWorkers workers)
    : net_(std::move(net)), dictionary_(std::move(dictionary)), workers_(std::move(workers)) {}

Status TextRecognizer::recognize(const cv::Mat& lineBgr, DecodedText* text) { return read(net_, lineBgr, text); }

Status TextRecognizer::recognizeAll(const std::vector<LineSource>& lines, std::vector<DecodedText>* texts) {
  std::vector<std::size_t> order(lines.size());
  std::iota(order.begin(), order.end(), std::size_t{0});
  std::stable_sort(order.begin(), order.end(), [&](std::size_t a, std::size_t b) {
    return recognizerInputWidth(lines[a].size) > recognizerInputWidth(lines[b].size);
  });
  texts->assign(lines.size(), DecodedText());

  const std::size_t workers =
      workers_.loadNetwork ? std::min(static_cast<std::size_t>(std::max(workers_.count, 1)), lines.size()) : 1;
  if (workers <= 1) {
    for (std::size_t i : order) {
      if (Status status = read(net_, lines[i].crop(), &(*texts)[i]); !status.ok()) return status;
    }
    return Status();
  }

  OpenCvThreads oneEach(1);
  std::atomic<std::size_t> next{0};
  std::atomic<bool> failed{false};
  std::mutex errorMutex;
  Status failure;
  std::exception_ptr error;
  auto fail = [&](Status status, std::exception_ptr exception) {
    failed = true;
    const std::lock_guard<std::mutex> lock(errorMutex);
    if (failure.ok() && !error) {
      failure = std::move(status);
      error = std::move(exception);
    }
  };
  // Each worker takes the next line in width order until none is left. The first one
  // runs on the calling thread with the network already loaded; the others load theirs
  // while it reads.
  auto work = [&](cv::dnn::Net* net) {
    try {
      cv::dnn::Net own;
      if (net == nullptr) {
        own = workers_.loadNetwork();
        if (own.empty()) return fail(Status::recognitionFailed("识别模型再次载入后是空的"), nullptr);
        net = &own;
      }
      for (std::size_t k = next++; k < order.size() && !failed; k = next++) {
        if (Status status = read(*net, lines[order[k]].crop(), &(*texts)[order[k]]); !status.ok()) {
          return fail(std::move(status), nullptr);
        }
      }
    } catch (...) {
      fail(Status(), std::current_exception());
    }
  };
  std::vector<std::thread> threads;
  for (std::size_t w = 1; w < workers; ++w) {
    try {
      threads.emplace_back(work, nullptr);
    } catch (...) {
      break;  // no more threads to be had: fewer workers read the lines
    }
  }
  work(&net_);
  for (std::thread& thread : threads) thread.join();
  if (error) std::rethrow_exception(error);
  return failure;
}

Status TextRecognizer::read(cv::dnn::Net& net, const cv::Mat& lineBgr, DecodedText* text) const {
  net.setInput(recognizerBlob(lineBgr));
  const cv::Mat out = net.forward();
  if (out.dims != 3 || out.size[0] != 1) return Status::recognitionFailed("识别模型的输出不是 1 × 类 × 步");
  const cv::Mat classesBySteps(out.size[1], out.size[2], CV_32F, const_cast<float*>(out.ptr<float>()));
  return decodeCtc(classesBySteps, dictionary_, text);
}

}  // namespace quillfen::ppocr
