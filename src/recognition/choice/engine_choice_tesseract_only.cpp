#include "recognition/choice/engine_choice.h"

#include "recognition/tesseract/tesseract_engine.h"

namespace quillfen {

// Leptonica's pictures stay on the heap: in huge pages they raised the Tesseract engine's
// peak on a 100-megapixel picture from 800 to 927 MB. Nothing to set up.
void prepareEngines() {}

// A build without PP-OCR (-DQUILLFEN_PPOCR=OFF) reads every language list with Tesseract:
// the benchmark measures that engine on Chinese and English this way.
std::unique_ptr<TextEngine> chooseEngine(const std::vector<std::string>&) {
  return std::make_unique<tess::TesseractEngine>(QUILLFEN_TESSDATA_DIR);
}

}  // namespace quillfen
