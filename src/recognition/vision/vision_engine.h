#pragma once

#include <memory>
#include <string>

#include "recognition/text_engine.h"

namespace quillfen::vision {

// Apple's recognizer: Core Image decodes the picture, Vision's text request reads it.
// Observations are Vision's text observations in the order Vision returns them.
class VisionEngine final : public TextEngine {
 public:
  std::string_view name() const override { return "macos-vision"; }
  std::unique_ptr<DecodedImage> decodeImage(const std::string& path) const override;
  std::unique_ptr<ImageRequestHandler> makeHandler(std::unique_ptr<DecodedImage> image) const override;
};

}  // namespace quillfen::vision
