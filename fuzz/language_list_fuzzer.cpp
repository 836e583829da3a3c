// The language argument: any bytes split into pieces that are never empty, contain no
// comma, and put back together with commas give the argument without its empty pieces.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "cli/language_list.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string argument(reinterpret_cast<const char*>(data), size);
  const std::vector<std::string> languages = quillfen::languageList({"QuillfenOCR", "picture.png", argument});
  if (argument.empty()) {
    if (languages.size() != 2) std::abort();
    return 0;
  }
  std::string joined, expected;
  for (const std::string& language : languages) {
    if (language.empty() || language.find(',') != std::string::npos) std::abort();
    if (!joined.empty()) joined.push_back(',');
    joined += language;
  }
  // The argument with every run of commas made one, and none at either end.
  for (char c : argument) {
    if (c == ',' && (expected.empty() || expected.back() == ',')) continue;
    expected.push_back(c);
  }
  if (!expected.empty() && expected.back() == ',') expected.pop_back();
  if (joined != expected) std::abort();
  return 0;
}
