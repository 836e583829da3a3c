#pragma once

#include <opencv2/core.hpp>
#include <opencv2/dnn.hpp>

#include <vector>

#include "recognition/ppocr/text_box.h"

namespace quillfen::ppocr {

// DB post-processing settings. An unclip ratio of 1.5 split one receipt line in two on
// our pictures; 2.0 keeps lines whole.
struct DetectorSettings {
  float pixelThreshold = 0.3f;  // a map pixel above this is text
  float boxThreshold = 0.6f;    // a region is kept when its mean probability reaches this
  float unclipRatio = 2.0f;
  float minSide = 3;    // regions thinner than this (map pixels) are noise
  int maxSide = 1920;   // the detector input's longest side
  int tileSide = 1280;  // the network reads at most this many pixels a side at once
  int largeTileSide = 896;  // the same, for a picture read larger than maxSide
  int tileMargin = 96;  // context kept on each side of a seam between tiles
  // Pictures shrunk to this scale or below get a second look at their small text: map
  // kernels at most smallKernel pixels high are read again at full size, over at most
  // rereadBudget picture pixels.
  double rereadBelowScale = 0.75;
  int smallKernel = 8;
  long rereadBudget = 2'000'000;
  // Pictures shrunk below this scale to fit maxSide (over 4800 pixels a side) are probed
  // for their text's size first: the detector reads probeWindows squares of
  // probeWindowSide pixels at full size where the picture shows most detail, and when the
  // text found there would come out thinner than minTextHeight pixels at the shrunk scale
  // (small print on a large page, which the map then misses altogether), the picture is
  // read at the scale that makes it textHeight (a page at 300 dpi fitted to maxSide), at
  // full size at most, and at maxInputPixels at most: the map and its contours take about
  // 24 bytes per input pixel, on top of the large picture itself.
  double probeBelowScale = 0.4;
  int probeWindows = 5;
  int probeWindowSide = 640;
  float minTextHeight = 12;
  float textHeight = 22;
  double maxInputPixels = 16e6;
};

// The detector's input for a BGR picture already resized to its input size: RGB, x/255
// normalised with ImageNet's mean and deviation, as the detector was trained.
cv::Mat detectorBlob(const cv::Mat& resized);

// The detector input size for a picture: scaled down to fit maxSide (never up), each side
// rounded to a multiple of 32 (at least 32).
cv::Size detectorInputSize(cv::Size picture, int maxSide);

// The detector input size for a picture at the given scale, each side rounded likewise.
cv::Size detectorInputSizeAt(cv::Size picture, double scale);

// The text boxes in a probability map (CV_32F), in the coordinates of a picture of the
// given size that was resized to the map's size. Unordered.
std::vector<TextBox> boxesFromProbabilityMap(const cv::Mat& map, cv::Size picture, const DetectorSettings& settings);

// PP-OCR's DB text detector over a prepared network.
class TextDetector {
 public:
  TextDetector(cv::dnn::Net net, DetectorSettings settings = {});

  // The text boxes on a BGR picture.
  std::vector<TextBox> detect(const cv::Mat& bgr);

 private:
  // The network's probability map for the picture resized to `size`.
  cv::Mat probabilityMap(const cv::Mat& bgr, cv::Size size);
  // The boxes found in one region of the picture at its own size, in picture coordinates.
  std::vector<TextBox> boxesAtFullSize(const cv::Mat& bgr, const cv::Rect& region);
  // The input size for a picture that fitting to maxSide shrank to `fitted`: that, or
  // larger when its text, probed at full size, would be too thin there.
  cv::Size sizeForItsText(const cv::Mat& bgr, cv::Size fitted);

  cv::dnn::Net net_;
  DetectorSettings settings_;
};

}  // namespace quillfen::ppocr
