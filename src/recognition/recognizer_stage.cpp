#include "recognition/recognizer_stage.h"

namespace quillfen {

Status recognize(const TextEngine& engine, const std::string& imagePath, const std::vector<std::string>& languages,
                 std::unique_ptr<TextRecognitionRequest>& request, std::unique_ptr<ImageRequestHandler>& handler) {
  std::unique_ptr<DecodedImage> image = engine.decodeImage(imagePath);
  if (!image) return Status::unreadableImage();

  request = std::make_unique<TextRecognitionRequest>();
  request->setRecognitionLevel(RecognitionLevel::accurate);
  request->setUsesLanguageCorrection(true);
  request->setRecognitionLanguages(languages);

  handler = engine.makeHandler(std::move(image));
  return handler->perform(*request);
}

}  // namespace quillfen
