#include "recognition/choice/engine_choice.h"

#include <algorithm>
#include <optional>

#include "recognition/language_identifier.h"
#include "recognition/ppocr/large_matrices.h"
#include "recognition/ppocr/ppocr_engine.h"
#include "recognition/tesseract/tesseract_engine.h"

namespace quillfen {

void prepareEngines() {
  // AddressSanitizer checks only heap buffers: under it matrices stay there.
#ifndef __SANITIZE_ADDRESS__
  ppocr::useLargeMatrices();
#endif
}

bool ppocrReads(const std::vector<std::string>& languages) {
  return std::all_of(languages.begin(), languages.end(), [](const std::string& identifier) {
    const std::optional<WrittenLanguage> language = readLanguageIdentifier(identifier);
    return language == WrittenLanguage::chineseSimplified || language == WrittenLanguage::english;
  });
}

std::vector<std::string> ppocrModelFolders() { return {QUILLFEN_PPOCR_MODEL_DIR, QUILLFEN_PPOCR_INSTALLED_MODEL_DIR}; }

std::unique_ptr<TextEngine> chooseEngine(const std::vector<std::string>& languages) {
  if (ppocrReads(languages)) return std::make_unique<ppocr::PpocrEngine>(ppocrModelFolders());
  return std::make_unique<tess::TesseractEngine>(QUILLFEN_TESSDATA_DIR);
}

}  // namespace quillfen
