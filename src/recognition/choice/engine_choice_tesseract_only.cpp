#include "recognition/choice/engine_choice.h"

#include "recognition/tesseract/tesseract_engine.h"

namespace quillfen {

// A build without PP-OCR (-DQUILLFEN_PPOCR=OFF) reads every language list with Tesseract:
// the benchmark measures that engine on Chinese and English this way.
std::unique_ptr<TextEngine> chooseEngine(const std::vector<std::string>&) {
  return std::make_unique<tess::TesseractEngine>(QUILLFEN_TESSDATA_DIR);
}

}  // namespace quillfen
