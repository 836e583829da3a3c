#pragma once

#include <memory>
#include <string>

#include "recognition/picture/leptonica_engine.h"

namespace quillfen::tess {

// Leptonica decodes; Tesseract's LSTM engine reads, with automatic page segmentation.
// Observations are Tesseract's text lines in its reading order.
class TesseractEngine final : public picture::LeptonicaEngine {
 public:
  // dataDirectory holds the *.traineddata files.
  explicit TesseractEngine(std::string dataDirectory);

  std::string_view name() const override { return "tesseract"; }
  std::unique_ptr<ImageRequestHandler> makeHandler(std::unique_ptr<DecodedImage> image) const override;

 private:
  std::string dataDirectory_;
};

}  // namespace quillfen::tess
