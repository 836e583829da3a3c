#pragma once

#include <memory>
#include <string>

#include "recognition/text_engine.h"

namespace quillfen::picture {

// An engine whose pictures Leptonica decodes (see decodePicture), into a LeptonicaImage,
// with standard error kept quiet while the libraries run. The engines on Linux share this
// decoding and differ only in how they read.
class LeptonicaEngine : public TextEngine {
 public:
  std::unique_ptr<DecodedImage> decodeImage(const std::string& path) const final;
};

}  // namespace quillfen::picture
