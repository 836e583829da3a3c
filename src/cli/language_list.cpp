#include "cli/language_list.h"

namespace quillfen {

std::vector<std::string> languageList(const std::vector<std::string>& arguments) {
  if (arguments.size() < 3 || arguments[2].empty()) {
    return {std::begin(defaultLanguages), std::end(defaultLanguages)};
  }
  std::vector<std::string> languages;
  std::string_view rest = arguments[2];
  while (true) {
    const std::size_t comma = rest.find(',');
    std::string_view piece = rest.substr(0, comma);
    if (!piece.empty()) languages.emplace_back(piece);
    if (comma == std::string_view::npos) break;
    rest.remove_prefix(comma + 1);
  }
  return languages;
}

}  // namespace quillfen
