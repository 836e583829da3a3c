#include "recognition/ppocr/text_detector.h"

#include <opencv2/imgproc.hpp>

#include <algorithm>
#include <cmath>

#include "recognition/median.h"
#include "recognition/ppocr/detector_tiles.h"
#include "recognition/ppocr/probe_windows.h"
#include "recognition/ppocr/small_text_regions.h"

namespace quillfen::ppocr {
namespace {

// PP-OCR's own limit on the regions taken from one map fitted to 1920 pixels a side; a
// larger map (a large page read at the scale of its text) holds more lines, and gets as
// many more.
constexpr std::size_t kMaxCandidates = 1000;
constexpr std::size_t kCandidatesMapPixels = 1920 * 1920;

// The mean map value inside the polygon of the four corners.
float meanInside(const cv::Mat& map, const std::array<cv::Point2f, 4>& corners) {
  cv::Rect area = cv::boundingRect(std::vector<cv::Point2f>(corners.begin(), corners.end()));
  area &= cv::Rect(0, 0, map.cols, map.rows);
  if (area.empty()) return 0;
  cv::Mat mask = cv::Mat::zeros(area.size(), CV_8U);
  std::vector<cv::Point> polygon;
  for (const cv::Point2f& corner : corners) {
    polygon.emplace_back(static_cast<int>(std::lround(corner.x)) - area.x,
                         static_cast<int>(std::lround(corner.y)) - area.y);
  }
  cv::fillPoly(mask, std::vector<std::vector<cv::Point>>{polygon}, cv::Scalar(1));
  return static_cast<float>(cv::mean(map(area), mask)[0]);
}

// The part of the picture that lies under `part` of the picture resized to `size`, resized
// alike.
cv::Mat resizedPart(const cv::Mat& bgr, cv::Size size, const cv::Rect& part) {
  const double scaleX = static_cast<double>(bgr.cols) / size.width;
  const double scaleY = static_cast<double>(bgr.rows) / size.height;
  const int left = static_cast<int>(std::floor(part.x * scaleX));
  const int top = static_cast<int>(std::floor(part.y * scaleY));
  const int right = std::min(bgr.cols, static_cast<int>(std::ceil((part.x + part.width) * scaleX)));
  const int bottom = std::min(bgr.rows, static_cast<int>(std::ceil((part.y + part.height) * scaleY)));
  cv::Mat resized;
  cv::resize(bgr(cv::Rect(left, top, right - left, bottom - top)), resized, part.size(), 0, 0, cv::INTER_AREA);
  return resized;
}

}  // namespace

cv::Mat detectorBlob(const cv::Mat& resized) {
  const cv::Size size = resized.size();
  constexpr float mean[3] = {0.485f, 0.456f, 0.406f};
  constexpr float deviation[3] = {0.229f, 0.224f, 0.225f};
  const int dims[4] = {1, 3, size.height, size.width};
  cv::Mat blob(4, dims, CV_32F);
  for (int c = 0; c < 3; ++c) {
    const int source = 2 - c;
    const float scale = 1.0f / (255.0f * deviation[c]);
    const float offset = -mean[c] / deviation[c];
    float* out = blob.ptr<float>(0, c);
    for (int y = 0; y < size.height; ++y) {
      const cv::Vec3b* row = resized.ptr<cv::Vec3b>(y);
      for (int x = 0; x < size.width; ++x) *out++ = row[x][source] * scale + offset;
    }
  }
  return blob;
}

cv::Size detectorInputSize(cv::Size picture, int maxSide) {
  return detectorInputSizeAt(picture,
                             std::min(1.0, static_cast<double>(maxSide) / std::max(picture.width, picture.height)));
}

cv::Size detectorInputSizeAt(cv::Size picture, double scale) {
  auto align = [](double side) {
    return std::max(kDetectorStride, static_cast<int>(std::lround(side / kDetectorStride)) * kDetectorStride);
  };
  return {align(picture.width * scale), align(picture.height * scale)};
}

std::vector<TextBox> boxesFromProbabilityMap(const cv::Mat& map, cv::Size picture, const DetectorSettings& settings) {
  cv::Mat text = map > settings.pixelThreshold;
  std::vector<std::vector<cv::Point>> contours;
  cv::findContours(text, contours, cv::RETR_LIST, cv::CHAIN_APPROX_SIMPLE);

  const float scaleX = static_cast<float>(picture.width) / static_cast<float>(map.cols);
  const float scaleY = static_cast<float>(picture.height) / static_cast<float>(map.rows);
  std::vector<TextBox> boxes;
  const std::size_t candidates = kMaxCandidates * std::max<std::size_t>(1, map.total() / kCandidatesMapPixels);
  for (std::size_t i = 0; i < contours.size() && i < candidates; ++i) {
    const cv::RotatedRect kernel = cv::minAreaRect(contours[i]);
    if (std::min(kernel.size.width, kernel.size.height) < settings.minSide) continue;
    const float score = meanInside(map, orderedCorners(kernel));
    if (score < settings.boxThreshold) continue;
    const cv::RotatedRect grown = unclip(kernel, settings.unclipRatio);
    if (std::min(grown.size.width, grown.size.height) < settings.minSide + 2) continue;

    TextBox box{orderedCorners(grown), score};
    for (cv::Point2f& corner : box.corners) {
      corner.x = std::clamp(corner.x * scaleX, 0.0f, static_cast<float>(picture.width));
      corner.y = std::clamp(corner.y * scaleY, 0.0f, static_cast<float>(picture.height));
    }
    boxes.push_back(box);
  }
  return boxes;
}

TextDetector::TextDetector(cv::dnn::Net net, DetectorSettings settings) : net_(std::move(net)), settings_(settings) {}

cv::Mat TextDetector::probabilityMap(const cv::Mat& bgr, cv::Size size) {
  // A picture read larger than maxSide (a large page at its text's scale) is resized tile
  // by tile and read in smaller tiles, so that neither a whole resized copy nor the
  // network's memory at full tiles comes on top of the large picture: a 92-megapixel page
  // peaked at 1.17 GB that way.
  const bool large = bgr.size() != size && std::max(size.width, size.height) > settings_.maxSide;
  cv::Mat resized;
  if (bgr.size() == size) {
    resized = bgr;
  } else if (!large) {
    cv::resize(bgr, resized, size, 0, 0, cv::INTER_AREA);
  }
  // The network's working memory grows with its input (about 250 MB per million pixels),
  // and OpenCV 4.6 crashes inside a parallel layer once one input reaches 2^22 pixels:
  // big inputs are read tile by tile into one map.
  cv::Mat map(size, CV_32F);
  const int tileSide = large ? settings_.largeTileSide : settings_.tileSide;
  for (const DetectorTile& tile : detectorTiles(size, tileSide, settings_.tileMargin)) {
    net_.setInput(detectorBlob(large ? resizedPart(bgr, size, tile.input) : resized(tile.input)));
    const cv::Mat out = net_.forward();
    // A map of another shape means a model file that is not PP-OCR's detector: OpenCV's
    // assertion reaches the engine's edge, which reports the model as damaged.
    CV_Assert(out.dims == 4 && out.size[0] == 1 && out.size[1] == 1 && out.size[2] == tile.input.height &&
              out.size[3] == tile.input.width);
    const cv::Mat tileMap(tile.input.height, tile.input.width, CV_32F, const_cast<float*>(out.ptr<float>()));
    tileMap(tile.kept - tile.input.tl()).copyTo(map(tile.kept));
  }
  return map;
}

std::vector<TextBox> TextDetector::detect(const cv::Mat& bgr) {
  cv::Size size = detectorInputSize(bgr.size(), settings_.maxSide);
  if (static_cast<double>(size.width) / bgr.cols < settings_.probeBelowScale) size = sizeForItsText(bgr, size);
  const cv::Mat map = probabilityMap(bgr, size);
  std::vector<TextBox> boxes = boxesFromProbabilityMap(map, bgr.size(), settings_);
  if (static_cast<double>(size.width) / bgr.cols > settings_.rereadBelowScale) return boxes;

  // Shrunk to fit the detector, small text leaves kernels a few map pixels high that are
  // boxed in pieces or dropped. Read those parts again at the picture's own size, within
  // a budget, and let their boxes replace the coarse ones lying inside.
  long budget = settings_.rereadBudget;
  for (const cv::Rect& region : smallTextRegions(map, bgr.size(), settings_.pixelThreshold, settings_.smallKernel)) {
    if (region.area() > budget) continue;
    budget -= region.area();
    const cv::Rect2f reach(static_cast<float>(region.x) - 2, static_cast<float>(region.y) - 2,
                           static_cast<float>(region.width) + 4, static_cast<float>(region.height) + 4);
    std::erase_if(boxes, [&](const TextBox& box) { return (box.bounds() & reach) == box.bounds(); });
    for (const TextBox& box : boxesAtFullSize(bgr, region)) {
      const cv::Rect2f bounds = box.bounds();
      const cv::Point2f centre(bounds.x + bounds.width / 2, bounds.y + bounds.height / 2);
      const bool covered =
          std::any_of(boxes.begin(), boxes.end(), [&](const TextBox& kept) { return kept.bounds().contains(centre); });
      if (!covered) boxes.push_back(box);
    }
  }
  return boxes;
}

cv::Size TextDetector::sizeForItsText(const cv::Mat& bgr, cv::Size fitted) {
  std::vector<float> heights;
  for (const cv::Rect& window : probeWindows(bgr, settings_.probeWindows, settings_.probeWindowSide)) {
    for (const TextBox& box : boxesAtFullSize(bgr, window)) heights.push_back(box.shorterSide());
  }
  const float height = median(std::move(heights));
  const double fittedScale = static_cast<double>(fitted.width) / bgr.cols;
  if (height <= 0 || height * fittedScale >= settings_.minTextHeight) return fitted;
  const double scale = std::min({1.0, settings_.textHeight / static_cast<double>(height),
                                 std::sqrt(settings_.maxInputPixels / static_cast<double>(bgr.total()))});
  return scale > fittedScale ? detectorInputSizeAt(bgr.size(), scale) : fitted;
}

std::vector<TextBox> TextDetector::boxesAtFullSize(const cv::Mat& bgr, const cv::Rect& region) {
  // The network wants sides in multiples of 32: pad the region's copy with its edges.
  const cv::Size aligned(alignedUp(region.width), alignedUp(region.height));
  cv::Mat part;
  cv::copyMakeBorder(bgr(region), part, 0, aligned.height - region.height, 0, aligned.width - region.width,
                     cv::BORDER_REPLICATE);
  const cv::Mat map = probabilityMap(part, aligned);
  std::vector<TextBox> boxes = boxesFromProbabilityMap(map(cv::Rect({0, 0}, region.size())), region.size(), settings_);
  const cv::Point2f offset(static_cast<float>(region.x), static_cast<float>(region.y));
  for (TextBox& box : boxes) {
    for (cv::Point2f& corner : box.corners) corner += offset;
  }
  return boxes;
}

}  // namespace quillfen::ppocr
