#pragma once

#include <memory>
#include <string>
#include <vector>

#include "recognition/text_engine.h"

namespace quillfen {

// Whether PP-OCR reads a run with these languages: when every identifier names Simplified
// Chinese or English in any form readLanguageIdentifier takes ("zh-Hans", "zh-CN", "zh",
// "en-US", "en", "EN_au"), the empty list included. Cantonese goes to Tesseract.
bool ppocrReads(const std::vector<std::string>& languages);

// The engine built into this binary that reads the given languages: PP-OCR for Chinese
// and English, Tesseract (with all the languages) as soon as any other one is asked for.
std::unique_ptr<TextEngine> chooseEngine(const std::vector<std::string>& languages);

// What the engines built into this binary set up for the whole process, once, before the
// first picture is decoded: with PP-OCR, its large matrices in huge pages (ppocr/large_matrices.h).
void prepareEngines();

// The folders tried for the prepared PP-OCR models: the build's, then the installed one.
std::vector<std::string> ppocrModelFolders();

}  // namespace quillfen
