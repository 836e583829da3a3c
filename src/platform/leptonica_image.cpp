#include "platform/leptonica_image.h"

#include <leptonica/allheaders.h>

namespace quillfen::platform {

void PixDeleter::operator()(Pix* pix) const { pixDestroy(&pix); }

void silenceLeptonica() {
  setMsgSeverity(L_SEVERITY_NONE);
  leptSetStderrHandler([](const char*) {});
}

}  // namespace quillfen::platform
