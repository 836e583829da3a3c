#pragma once

#include <string>

namespace quillfen::test_support {

// Levenshtein distance between the code points of two UTF-8 texts with all white space
// removed, divided by the length of the expected text.
double characterErrorRate(const std::string& expected, const std::string& actual);

// The expected text of a committed test picture: its .txt file without the final line feed.
std::string expectedText(const std::string& name);

}  // namespace quillfen::test_support
