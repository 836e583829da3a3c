#pragma once

#include <optional>
#include <string>

#include "record/ocr_output.h"

namespace quillfen {

// The record as one compact JSON object: members in field order, UTF-8 as is, solidus
// escaped, the confidence in its shortest exact form. Nothing when the record cannot be
// serialised: a confidence that is not finite, or a string that is not valid UTF-8.
std::optional<std::string> encodeJson(const OcrOutput& record);

}  // namespace quillfen
