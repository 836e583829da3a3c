#include "platform/leptonica_image.h"

#include <leptonica/allheaders.h>

namespace quillfen::platform {

LeptonicaImage::~LeptonicaImage() { pixDestroy(&pix_); }

void silenceLeptonica() {
  setMsgSeverity(L_SEVERITY_NONE);
  leptSetStderrHandler([](const char*) {});
}

std::unique_ptr<LeptonicaImage> readImageWithLeptonica(const std::string& path) {
  silenceLeptonica();
  Pix* pix = pixRead(path.c_str());
  if (pix == nullptr) return nullptr;
  return std::make_unique<LeptonicaImage>(pix);
}

}  // namespace quillfen::platform
