#pragma once

#include <memory>

#include "recognition/text_engine.h"

struct Pix;

namespace quillfen::platform {

struct PixDeleter {
  void operator()(Pix* pix) const;
};
// An owned Leptonica picture.
using PixPtr = std::unique_ptr<Pix, PixDeleter>;

// A decoded picture held as a Leptonica Pix: 8-bit gray or 32-bit RGB, no colormap, no alpha.
class LeptonicaImage final : public DecodedImage {
 public:
  explicit LeptonicaImage(PixPtr pix) : pix_(std::move(pix)) {}
  Pix* pix() const { return pix_.get(); }

 private:
  PixPtr pix_;
};

// Keeps Leptonica's own diagnostics off standard error.
void silenceLeptonica();

}  // namespace quillfen::platform
