#include "recognition/ppocr/probe_windows.h"

#include <opencv2/imgproc.hpp>

#include <algorithm>

namespace quillfen::ppocr {
namespace {

// The copy the detail is measured on is reduced this many times: print at 300 dpi still
// shows as edges, and a 100-megapixel picture takes a few milliseconds.
constexpr int kReduction = 8;
// A square with less mean edge strength than this (gray levels per pixel) has no detail.
constexpr double kMinDetail = 1.0;

}  // namespace

std::vector<cv::Rect> probeWindows(const cv::Mat& bgr, int count, int side) {
  if (bgr.empty() || count <= 0 || side <= 0) return {};
  cv::Mat gray;
  cv::resize(bgr, gray, cv::Size(std::max(1, bgr.cols / kReduction), std::max(1, bgr.rows / kReduction)), 0, 0,
             cv::INTER_AREA);
  cv::cvtColor(gray, gray, cv::COLOR_BGR2GRAY);
  cv::Mat edges;
  cv::Laplacian(gray, edges, CV_16S);
  edges = cv::abs(edges);

  struct Scored {
    cv::Rect window;
    double detail;
  };
  std::vector<Scored> cells;
  const cv::Rect picture(0, 0, bgr.cols, bgr.rows);
  for (int y = 0; y < bgr.rows; y += side) {
    for (int x = 0; x < bgr.cols; x += side) {
      const cv::Rect window = cv::Rect(x, y, side, side) & picture;
      cv::Rect reduced(window.x / kReduction, window.y / kReduction, std::max(1, window.width / kReduction),
                       std::max(1, window.height / kReduction));
      reduced &= cv::Rect(0, 0, edges.cols, edges.rows);
      if (reduced.empty()) continue;
      const double detail = cv::mean(edges(reduced))[0];
      if (detail >= kMinDetail) cells.push_back({window, detail});
    }
  }
  const auto kept = std::min(cells.size(), static_cast<std::size_t>(count));
  std::partial_sort(cells.begin(), cells.begin() + static_cast<std::ptrdiff_t>(kept), cells.end(),
                    [](const Scored& a, const Scored& b) { return a.detail > b.detail; });
  std::vector<cv::Rect> windows;
  for (std::size_t i = 0; i < kept; ++i) windows.push_back(cells[i].window);
  return windows;
}

}  // namespace quillfen::ppocr
