#pragma once

#include <algorithm>
#include <string_view>

namespace quillfen {

// Language identifiers ("zh-Hans", "EN-us") name the same language regardless of ASCII case.
inline bool sameLanguageIdentifier(std::string_view a, std::string_view b) {
  auto lower = [](char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c; };
  return a.size() == b.size() &&
         std::equal(a.begin(), a.end(), b.begin(), [&](char x, char y) { return lower(x) == lower(y); });
}

}  // namespace quillfen
