#pragma once

#include <string>

namespace quillfen::ppocr {

// How to get damaged or missing model files back, for error descriptions.
std::string restoreAdvice();

// An OpenCV message on one line (line breaks become spaces, trailing spaces go), since
// error descriptions are one line.
std::string oneLine(std::string text);

}  // namespace quillfen::ppocr
