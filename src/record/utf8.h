#pragma once

#include <string>
#include <string_view>

namespace quillfen {

// True when the bytes are well-formed UTF-8: shortest forms only, no surrogates,
// nothing above U+10FFFF.
bool isValidUtf8(std::string_view bytes);

// The bytes with every ill-formed part replaced by U+FFFD, one per maximal well-formed
// start of a sequence (Unicode's recommended practice); well-formed text comes back as is.
std::string withReplacementCharacters(std::string_view bytes);

}  // namespace quillfen
