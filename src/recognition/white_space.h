#pragma once

#include <string_view>

namespace quillfen {

// The text without the white space (space, tab, line breaks) at either end.
std::string_view trimmedWhiteSpace(std::string_view text);

}  // namespace quillfen
