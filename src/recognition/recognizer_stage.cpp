#include "recognition/recognizer_stage.h"

namespace quillfen {

std::optional<StageFailure> recognize(const TextEngine& engine, const std::string& imagePath,
                                      const std::vector<std::string>& languages,
                                      std::unique_ptr<TextRecognitionRequest>& request,
                                      std::unique_ptr<ImageRequestHandler>& handler) {
  std::unique_ptr<DecodedImage> image = engine.decodeImage(imagePath);
  if (!image) return StageFailure{StageFailure::Kind::unreadableImage, {}};

  request = std::make_unique<TextRecognitionRequest>();
  request->setRecognitionLevel(RecognitionLevel::accurate);
  request->setUsesLanguageCorrection(true);
  request->setRecognitionLanguages(languages);

  handler = engine.makeHandler(std::move(image));
  Status run = handler->perform(*request);
  if (!run.isOk()) return StageFailure{StageFailure::Kind::recognitionFailed, run.description()};
  return std::nullopt;
}

}  // namespace quillfen
