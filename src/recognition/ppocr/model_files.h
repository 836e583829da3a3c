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

// Another copy of one of the networks in models.folder (kDetectorFile, kRecognizerFile):
// the recogniser for a further reading thread (an OpenCV network serves one thread at a
// time), the detector for a second page once models.detector has been let go. Empty when
// the file reads as no network; cv::Exception when it does not parse.
cv::dnn::Net loadNetworkCopy(const Models& models, const char* file);

// Loads the models from the first of the folders that holds every file. When none does,
// the error names the first missing file in the first folder that exists; a file that
// does not load names itself. Never throws.
Status loadModels(const std::vector<std::string>& folders, Models* models);

}  // namespace quillfen::ppocr
