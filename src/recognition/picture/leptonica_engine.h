#pragma once

#include <memory>
#include <string>

#include "recognition/text_engine.h"

namespace quillfen::picture {

// An engine whose pictures Leptonica decodes (see decodePicture), into a LeptonicaImage,
// with standard error kept quiet while the libraries run: the Tesseract engine. (The PP-OCR
// engine decodes with the same decodePicture, beside the loading of its models.)
class LeptonicaEngine : public TextEngine {
 public:
  std::unique_ptr<DecodedImage> decodeImage(const std::string& path) const final;
};

}  // namespace quillfen::picture
