#pragma once

#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "recognition/text_engine.h"

namespace quillfen {

struct StageFailure {
  enum class Kind { unreadableImage, recognitionFailed };
  Kind kind;
  std::string description;  // the engine's words, for recognitionFailed
};

// Decodes the picture at imagePath with the engine, makes the request (accurate level,
// language correction on, the languages unchanged, set in that order) and the handler, and
// runs the request once. On success the request holds the result list.
std::optional<StageFailure> recognize(const TextEngine& engine, const std::string& imagePath,
                                      const std::vector<std::string>& languages,
                                      std::unique_ptr<TextRecognitionRequest>& request,
                                      std::unique_ptr<ImageRequestHandler>& handler);

}  // namespace quillfen
