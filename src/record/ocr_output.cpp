#include "record/ocr_output.h"

namespace quillfen {

std::string_view stringValue(CodingKeys key) {
  switch (key) {
    case CodingKeys::text: return "text";
    case CodingKeys::confidence: return "confidence";
    case CodingKeys::lines: return "lines";
    case CodingKeys::engine: return "engine";
  }
  return {};
}

}  // namespace quillfen
