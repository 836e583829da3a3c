#include "recognition/picture/leptonica_messages.h"

#include <leptonica/allheaders.h>

namespace quillfen::picture {

void silenceLeptonica() {
  setMsgSeverity(L_SEVERITY_NONE);
  leptSetStderrHandler([](const char*) {});
}

}  // namespace quillfen::picture
