#pragma once

#include <optional>
#include <string_view>

#include "record/ocr_output.h"

namespace quillfen {

// Builds a record from a JSON object that has all four members with the right JSON types
// ("text" and "engine" strings, "confidence" a number, "lines" an integer that fits in 64
// signed bits). Other members are ignored. Nothing for anything else.
std::optional<OcrOutput> readOcrOutput(std::string_view json);

}  // namespace quillfen
