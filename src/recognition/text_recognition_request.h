#pragma once

#include <string>
#include <utility>
#include <vector>

#include "recognition/observation.h"

namespace quillfen {

enum class RecognitionLevel { accurate = 0, fast = 1 };

// One text-recognition request: its settings, and the results a handler leaves in it.
class TextRecognitionRequest {
 public:
  void setRecognitionLevel(RecognitionLevel level) { recognitionLevel_ = level; }
  void setUsesLanguageCorrection(bool uses) { usesLanguageCorrection_ = uses; }
  // Identifiers such as "zh-Hans", highest priority first; an empty list is kept empty.
  void setRecognitionLanguages(std::vector<std::string> languages) { recognitionLanguages_ = std::move(languages); }

  RecognitionLevel recognitionLevel() const { return recognitionLevel_; }
  bool usesLanguageCorrection() const { return usesLanguageCorrection_; }
  const std::vector<std::string>& recognitionLanguages() const { return recognitionLanguages_; }

  const ResultList& results() const { return results_; }
  void setResults(ResultList results) { results_ = std::move(results); }

 private:
  RecognitionLevel recognitionLevel_ = RecognitionLevel::accurate;
  bool usesLanguageCorrection_ = true;
  std::vector<std::string> recognitionLanguages_;
  ResultList results_;
};

}  // namespace quillfen
