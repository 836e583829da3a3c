#pragma once

#include <opencv2/dnn.hpp>

#include <string>
#include <vector>

#include "platform/status.h"

namespace quillfen::ppocr {

// The prepared model files a folder must hold (models/prepare.py writes them).
inline constexpr const char* kDetectorFile = "ppocr_det.onnx";
inline constexpr const char* kRecognizerFile = "ppocr_rec.onnx";
inline constexpr const char* kDictionaryFile = "ppocr_keys.txt";
inline constexpr const char* kClassifierFile = "ppocr_cls.onnx";  // the line direction classifier

struct Models {
  std::string folder;  // where they were loaded from
  cv::dnn::Net detector;
  cv::dnn::Net recognizer;
  std::vector<std::string> dictionary;  // one entry per recogniser class after the blank
  cv::dnn::Net classifier;
};

// Another copy of the recogniser in models.folder, for a further reading thread (an
// OpenCV network serves one thread at a time). Empty when the file reads as no network;
// cv::Exception when it does not parse.
cv::dnn::Net loadRecognizerCopy(const Models& models);

// The detector again from models.folder, for a second page once models.detector has been
// let go; same contract as loadRecognizerCopy.
cv::dnn::Net loadDetectorCopy(const Models& models);

// Loads the models from the first of the folders that holds every file. When none does,
// the error names the first missing file in the first folder that exists; a file that
// does not load names itself. Never throws.
Status loadModels(const std::vector<std::string>& folders, Models* models);

}  // namespace quillfen::ppocr
