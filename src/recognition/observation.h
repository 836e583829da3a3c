#pragma once

#include <cstddef>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace quillfen {

// One reading of an observed piece of text, with the engine's confidence in it (0..1).
struct RecognizedText {
  std::string string;
  float confidence;
};

// A piece of text the recognizer found on the picture, asked for its best readings.
class RecognizedTextObservation {
 public:
  virtual ~RecognizedTextObservation() = default;

  // At most maxCandidateCount readings, best first; possibly none.
  virtual std::vector<RecognizedText> topCandidates(std::size_t maxCandidateCount) const = 0;
};

using Observations = std::vector<std::unique_ptr<RecognizedTextObservation>>;

// What a successful recognizer run returns: absent, or observations in reading order.
using ResultList = std::optional<Observations>;

// An observation with exactly one reading: what the line-based engines produce.
class TextLineObservation final : public RecognizedTextObservation {
 public:
  TextLineObservation(std::string text, float confidence) : best_{std::move(text), confidence} {}

  std::vector<RecognizedText> topCandidates(std::size_t maxCandidateCount) const override {
    if (maxCandidateCount == 0) return {};
    return {best_};
  }

 private:
  RecognizedText best_;
};

}  // namespace quillfen
