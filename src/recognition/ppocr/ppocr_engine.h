#pragma once

#include <memory>
#include <string>
#include <vector>

#include "recognition/text_engine.h"

namespace quillfen::ppocr {

// Leptonica decodes (as for Tesseract: picture/picture_decoder.h), a large picture while
// the models load; PaddleOCR's PP-OCRv4 detector and recogniser read, on OpenCV's DNN module. Reads
// Simplified Chinese and English. Observations are text lines in reading order (see
// reading_order.h).
class PpocrEngine final : public TextEngine {
 public:
  // The prepared models are loaded from the first folder that holds all of them.
  explicit PpocrEngine(std::vector<std::string> modelFolders);

  std::string_view name() const override { return "ppocr-v4"; }
  // Standard error is quiet meanwhile, and a loading thread has ended on return.
  std::unique_ptr<DecodedImage> decodeImage(const std::string& path) const override;
  std::unique_ptr<ImageRequestHandler> makeHandler(std::unique_ptr<DecodedImage> image) const override;

 private:
  std::vector<std::string> modelFolders_;
};

}  // namespace quillfen::ppocr
