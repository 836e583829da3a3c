#include "platform/engine_choice.h"

#include "platform/tesseract_engine.h"

namespace quillfen::platform {

// A build without PP-OCR (-DQUILLFEN_PPOCR=OFF) reads every language list with Tesseract:
// the benchmark measures that engine on Chinese and English this way.
std::unique_ptr<TextEngine> chooseEngine(const std::vector<std::string>&) {
  return std::make_unique<TesseractEngine>(QUILLFEN_TESSDATA_DIR);
}

}  // namespace quillfen::platform
