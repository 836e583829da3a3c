#pragma once

#include "recognition/picture/pix_ptr.h"
#include "recognition/text_engine.h"

namespace quillfen::picture {

// A decoded picture as the engines over Leptonica get it: 8-bit gray or 32-bit RGB, no
// colormap, no alpha.
class LeptonicaImage final : public DecodedImage {
 public:
  explicit LeptonicaImage(PixPtr pix) : pix_(std::move(pix)) {}
  Pix* pix() const { return pix_.get(); }

 private:
  PixPtr pix_;
};

}  // namespace quillfen::picture
