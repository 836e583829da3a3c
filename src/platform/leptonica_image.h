#pragma once

#include <memory>
#include <string>

#include "recognition/text_engine.h"

struct Pix;

namespace quillfen::platform {

// A picture decoded by Leptonica; owns its Pix.
class LeptonicaImage final : public DecodedImage {
 public:
  explicit LeptonicaImage(Pix* pix) : pix_(pix) {}
  ~LeptonicaImage() override;
  LeptonicaImage(const LeptonicaImage&) = delete;
  LeptonicaImage& operator=(const LeptonicaImage&) = delete;

  Pix* pix() const { return pix_; }

 private:
  Pix* pix_;
};

// Keeps Leptonica's own diagnostics off standard error; call before any other Leptonica use.
void silenceLeptonica();

// The picture in the file at path, decoded as stored; nothing when the file does not
// decode (a directory, an empty, truncated or foreign file).
std::unique_ptr<LeptonicaImage> readImageWithLeptonica(const std::string& path);

}  // namespace quillfen::platform
