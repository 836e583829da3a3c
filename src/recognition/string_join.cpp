#include "recognition/string_join.h"

namespace quillfen {

std::string joined(const std::vector<std::string>& parts, std::string_view separator) {
  std::string out;
  for (const std::string& part : parts) {
    if (!out.empty()) out.append(separator);
    out += part;
  }
  return out;
}

}  // namespace quillfen
