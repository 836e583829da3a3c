// Decoding any bytes, and recognising whatever decodes: no crash, no leak, and a decoded
// picture is always one the engines take (8-bit gray or 32-bit RGB within the size limit).
#include <leptonica/allheaders.h>

#include <cstddef>
#include <cstdint>
#include <cstdlib>

#include "recognition/picture/picture_decoder.h"
#include "recognition/tesseract/tesseract_engine.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  std::unique_ptr<quillfen::picture::LeptonicaImage> image = quillfen::picture::decodePictureBytes(data, size);
  if (!image) return 0;
  Pix* pix = image->pix();
  const l_int32 depth = pixGetDepth(pix);
  if ((depth != 8 && depth != 32) || pixGetColormap(pix) != nullptr) std::abort();
  if (static_cast<std::uint64_t>(pixGetWidth(pix)) * pixGetHeight(pix) > quillfen::picture::maxPicturePixels) {
    std::abort();
  }

  static const quillfen::tess::TesseractEngine engine(QUILLFEN_TESSDATA_DIR);
  quillfen::TextRecognitionRequest request;
  request.setRecognitionLanguages({"en-US"});
  std::unique_ptr<quillfen::ImageRequestHandler> handler = engine.makeHandler(std::move(image));
  if (!handler->perform(request).ok()) std::abort();
  return 0;
}
