#include "recognition/ppocr/small_text_regions.h"

#include <opencv2/imgproc.hpp>

#include <algorithm>
#include <cmath>

namespace quillfen::ppocr {
namespace {

// Map pixels a region reaches beyond its text: enough to join the words of one line and
// the lines of one paragraph, and to give the second pass context around them.
constexpr int kJoinAcross = 12;
constexpr int kJoinDown = 4;
// Picture pixels of context added around each region, so text near its edge is seen whole.
constexpr int kContext = 32;

}  // namespace

std::vector<cv::Rect> smallTextRegions(const cv::Mat& map, cv::Size picture, float threshold, int maxHeight) {
  const cv::Mat text = map > threshold;
  cv::Mat labels, stats, centroids;
  const int count = cv::connectedComponentsWithStats(text, labels, stats, centroids, 8, CV_32S);
  std::vector<uchar> isSmall(static_cast<std::size_t>(count), 0);
  bool any = false;
  for (int i = 1; i < count; ++i) {
    if (stats.at<int>(i, cv::CC_STAT_HEIGHT) > maxHeight) continue;
    isSmall[static_cast<std::size_t>(i)] = 255;
    any = true;
  }
  if (!any) return {};
  cv::Mat small(map.size(), CV_8U);
  for (int y = 0; y < map.rows; ++y) {
    const int* label = labels.ptr<int>(y);
    uchar* out = small.ptr<uchar>(y);
    for (int x = 0; x < map.cols; ++x) out[x] = isSmall[static_cast<std::size_t>(label[x])];
  }

  const cv::Mat join = cv::getStructuringElement(cv::MORPH_RECT, {2 * kJoinAcross + 1, 2 * kJoinDown + 1});
  cv::dilate(small, small, join);
  std::vector<std::vector<cv::Point>> outlines;
  cv::findContours(small, outlines, cv::RETR_EXTERNAL, cv::CHAIN_APPROX_SIMPLE);

  const double scaleX = static_cast<double>(picture.width) / map.cols;
  const double scaleY = static_cast<double>(picture.height) / map.rows;
  const cv::Rect whole(0, 0, picture.width, picture.height);
  std::vector<cv::Rect> regions;
  for (const auto& outline : outlines) {
    const cv::Rect inMap = cv::boundingRect(outline);
    const int left = static_cast<int>(std::floor(inMap.x * scaleX)) - kContext;
    const int top = static_cast<int>(std::floor(inMap.y * scaleY)) - kContext;
    const int right = static_cast<int>(std::ceil((inMap.x + inMap.width) * scaleX)) + kContext;
    const int bottom = static_cast<int>(std::ceil((inMap.y + inMap.height) * scaleY)) + kContext;
    regions.push_back(cv::Rect(left, top, right - left, bottom - top) & whole);
  }
  // Dilated outlines can still have overlapping bounding rectangles: merge until none do.
  for (bool merged = true; merged;) {
    merged = false;
    for (std::size_t i = 0; i < regions.size() && !merged; ++i) {
      for (std::size_t j = i + 1; j < regions.size() && !merged; ++j) {
        if ((regions[i] & regions[j]).empty()) continue;
        regions[i] |= regions[j];
        regions.erase(regions.begin() + static_cast<std::ptrdiff_t>(j));
        merged = true;
      }
    }
  }
  std::sort(regions.begin(), regions.end(), [](const cv::Rect& a, const cv::Rect& b) { return a.area() > b.area(); });
  return regions;
}

}  // namespace quillfen::ppocr
