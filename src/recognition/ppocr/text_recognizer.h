#pragma once

#include <opencv2/core.hpp>
#include <opencv2/dnn.hpp>

#include <cstddef>
#include <functional>
#include <string>
#include <vector>

#include "recognition/ppocr/ctc_decoder.h"

namespace quillfen::ppocr {

inline constexpr int kLineHeight = 48;  // the recogniser's input height
inline constexpr int kMaxLineWidth = 2048;

// The recogniser input width for a line of the given natural width (at height 48). OpenCV
// plans the network again for every new input shape, which costs more than a little
// padding: widths are rounded up to multiples of 64 up to 512, then of 128.
int bucketWidth(int naturalWidth);

// The recogniser input width for a line crop of this size: its width at height 48,
// bucketed.
int recognizerInputWidth(cv::Size lineSize);

// The recogniser input for a BGR line crop: resized to height 48 keeping its aspect
// ratio (no wider than kMaxLineWidth), (x/255 - 0.5)/0.5 per channel in BGR order, then
// padded on the right to the bucket width with the line's own background colour.
cv::Mat recognizerBlob(const cv::Mat& lineBgr);

// How many lines are read side by side: one per processor this process may run on, at most
// kMaxRecognizerWorkers (each holds its own copy of the network).
inline constexpr int kMaxRecognizerWorkers = 4;
int recognizerWorkerCount();

// Lines read side by side, and where the further workers get their network: an OpenCV
// network serves one thread at a time, so each worker after the first loads a copy.
struct RecognizerWorkers {
  int count = 1;
  std::function<cv::dnn::Net()> loadNetwork;  // called once per worker after the first; empty on failure
};

// One line to read: the size of its crop, which decides the network's input shape, and
// how to cut it, done on the worker that reads it so that crops do not pile up.
struct LineSource {
  cv::Size size;
  std::function<cv::Mat()> crop;
};

// PP-OCRv4's CTC line recogniser over a prepared network, whose output is class-major
// (1 × classes × steps).
class TextRecognizer {
 public:
  TextRecognizer(cv::dnn::Net net, std::vector<std::string> dictionary, RecognizerWorkers workers = {});

  // One line, on the calling thread.
  Status recognize(const cv::Mat& lineBgr, DecodedText* text);

  // Every line; (*texts)[i] is line i's. The lines are read widest first, so that each
  // worker's network changes shape only when the width bucket does (a new shape costs a
  // re-plan), and the long lines do not all end up at the end of one worker's queue.
  // While two or more workers run, OpenCV's own threads are turned off: on few cores,
  // lines side by side on one thread each beat one line at a time on every core. The
  // first failure a worker meets is returned once all have stopped; an exception thrown
  // on a worker (OpenCV's, running out of memory) is thrown here likewise.
  Status recognizeAll(const std::vector<LineSource>& lines, std::vector<DecodedText>* texts);

 private:
  Status read(cv::dnn::Net& net, const cv::Mat& lineBgr, DecodedText* text) const;

  cv::dnn::Net net_;
  std::vector<std::string> dictionary_;
  RecognizerWorkers workers_;
};

}  // namespace quillfen::ppocr
