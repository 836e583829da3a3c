#pragma once

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "recognition/text_engine.h"

namespace quillfen::test_support {

// An observation that answers with no candidate.
class ObservationWithoutCandidate final : public RecognizedTextObservation {
 public:
  std::vector<RecognizedText> topCandidates(std::size_t) const override { return {}; }
};

// Observations from (text, confidence) pairs; a null text gives an observation without candidate.
Observations makeObservations(const std::vector<std::pair<const char*, float>>& lines);

// An engine whose decoder accepts only paths that do not end in ".bad", and whose handler
// records the request it was given and answers with a scripted outcome.
class FakeEngine final : public TextEngine {
 public:
  struct Script {
    Status outcome = Status();
    std::function<ResultList()> results = [] { return ResultList{}; };
  };

  explicit FakeEngine(Script script) : script_(std::move(script)) {}

  std::string_view name() const override { return "fake"; }
  std::unique_ptr<DecodedImage> decodeImage(const std::string& path) const override;
  std::unique_ptr<ImageRequestHandler> makeHandler(std::unique_ptr<DecodedImage> image) const override;

  // What the handler saw when it ran.
  mutable std::vector<std::string> seenLanguages;
  mutable RecognitionLevel seenLevel = RecognitionLevel::fast;
  mutable bool seenCorrection = false;
  mutable int runs = 0;

 private:
  Script script_;
};

}  // namespace quillfen::test_support
