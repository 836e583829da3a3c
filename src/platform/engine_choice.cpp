#include "platform/engine_choice.h"

#include "platform/tesseract_engine.h"

namespace quillfen::platform {

std::unique_ptr<TextEngine> chooseEngine(const std::vector<std::string>&) {
  return std::make_unique<TesseractEngine>(QUILLFEN_TESSDATA_DIR);
}

}  // namespace quillfen::platform
