#include "recognition/picture/leptonica_engine.h"

#include "platform/quiet_standard_error.h"
#include "recognition/picture/picture_decoder.h"

namespace quillfen::picture {

std::unique_ptr<DecodedImage> LeptonicaEngine::decodeImage(const std::string& path) const {
  platform::QuietStandardError quiet;
  return decodePicture(path);
}

}  // namespace quillfen::picture
