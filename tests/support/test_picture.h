#pragma once

#include <leptonica/allheaders.h>

#include <stdexcept>
#include <string>

#include "recognition/picture/pix_ptr.h"
#include "support/run_binary.h"

namespace quillfen::test_support {

// A committed test picture as Leptonica decodes it; throws when it does not decode.
inline picture::PixPtr testPicture(const std::string& name) {
  picture::PixPtr pix(pixRead(dataPath(name).c_str()));
  if (!pix) throw std::runtime_error("cannot read " + name);
  return pix;
}

}  // namespace quillfen::test_support
