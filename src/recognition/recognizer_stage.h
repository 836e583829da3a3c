#pragma once

#include <memory>
#include <string>
#include <vector>

#include "recognition/text_engine.h"

namespace quillfen {

// Decodes the picture at imagePath with the engine, makes the request (accurate level,
// language correction on, the languages unchanged, set in that order) and the handler, and
// runs the request once. On success the request holds the result list. Fails with
// unreadableImage when the picture does not decode, or with the engine's own failure.
Status recognize(const TextEngine& engine, const std::string& imagePath, const std::vector<std::string>& languages,
                 std::unique_ptr<TextRecognitionRequest>& request, std::unique_ptr<ImageRequestHandler>& handler);

}  // namespace quillfen
