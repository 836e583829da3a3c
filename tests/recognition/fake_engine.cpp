#include "recognition/fake_engine.h"

namespace quillfen::test_support {
namespace {

class FakeImage final : public DecodedImage {};

class FakeHandler final : public ImageRequestHandler {
 public:
  FakeHandler(const FakeEngine& engine, const FakeEngine::Script& script) : engine_(engine), script_(script) {}

  Status perform(TextRecognitionRequest& request) override {
    ++engine_.runs;
    engine_.seenLanguages = request.recognitionLanguages();
    engine_.seenLevel = request.recognitionLevel();
    engine_.seenCorrection = request.usesLanguageCorrection();
    if (script_.outcome.ok()) request.setResults(script_.results());
    return script_.outcome;
  }

 private:
  const FakeEngine& engine_;
  const FakeEngine::Script& script_;
};

}  // namespace

Observations makeObservations(const std::vector<std::pair<const char*, float>>& lines) {
  Observations observations;
  for (const auto& [text, confidence] : lines) {
    if (text == nullptr) {
      observations.push_back(std::make_unique<ObservationWithoutCandidate>());
    } else {
      observations.push_back(std::make_unique<TextLineObservation>(text, confidence));
    }
  }
  return observations;
}

std::unique_ptr<DecodedImage> FakeEngine::decodeImage(const std::string& path) const {
  if (path.size() >= 4 && path.compare(path.size() - 4, 4, ".bad") == 0) return nullptr;
  return std::make_unique<FakeImage>();
}

std::unique_ptr<ImageRequestHandler> FakeEngine::makeHandler(std::unique_ptr<DecodedImage>) const {
  return std::make_unique<FakeHandler>(*this, script_);
}

}  // namespace quillfen::test_support
