#pragma once

#include <string>
#include <string_view>

namespace quillfen::tess {

// A recognised line as a reader would write it: surrounding white space removed, and no
// spaces between two CJK characters (Han, CJK punctuation, full-width forms), where
// Tesseract's Chinese models put one between every pair, and none next to full-width
// punctuation, which carries its own spacing. Other spaces between CJK and Latin text
// are kept.
std::string readerLineText(std::string_view engineLine);

}  // namespace quillfen::tess
