#pragma once

#include <string>

namespace quillfen::test_support {

// Levenshtein distance between the code points of two UTF-8 texts with all white space
// removed, divided by the length of the expected text.
double characterErrorRate(const std::string& expected, const std::string& actual);

// The same after folding full-width forms to ASCII ("，" to ",", "？" to "?", "Ａ" to "A"),
// as NFKC does: Tesseract's Traditional Chinese data writes ASCII commas where the page has
// full-width ones, which is no misreading of the text.
double widthFoldedCharacterErrorRate(const std::string& expected, const std::string& actual);

// The expected text of a committed test picture: its .txt file without the final line feed.
std::string expectedText(const std::string& name);

}  // namespace quillfen::test_support
