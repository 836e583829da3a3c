#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace quillfen {

// The recognition languages when the caller names none, highest priority first.
inline constexpr std::string_view defaultLanguages[] = {"zh-Hans", "en-US"};

// The language list from the argument list: entry 2 split at every ",", empty pieces
// dropped, the rest kept in order exactly as written (a commas-only entry gives an empty
// list). The default list when entry 2 is missing or empty.
std::vector<std::string> languageList(const std::vector<std::string>& arguments);

}  // namespace quillfen
