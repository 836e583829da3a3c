#include "support/text_distance.h"

#include <algorithm>
#include <fstream>
#include <sstream>
#include <vector>

#include "support/run_binary.h"

namespace quillfen::test_support {
namespace {

std::u32string codePointsWithoutSpace(const std::string& text, bool foldWidth = false) {
  std::u32string out;
  for (std::size_t i = 0; i < text.size();) {
    const auto lead = static_cast<unsigned char>(text[i]);
    const std::size_t length = lead < 0x80 ? 1 : lead >= 0xF0 ? 4 : lead >= 0xE0 ? 3 : 2;
    char32_t code = length == 1 ? lead : lead & (0x7F >> length);
    for (std::size_t k = 1; k < length && i + k < text.size(); ++k) {
      code = (code << 6) | (static_cast<unsigned char>(text[i + k]) & 0x3F);
    }
    i += length;
    if (code == ' ' || code == '\n' || code == '\t' || code == '\r' || code == 0x3000) continue;
    if (foldWidth && code >= 0xFF01 && code <= 0xFF5E) code -= 0xFEE0;
    out.push_back(code);
  }
  return out;
}

double errorRate(const std::u32string& a, const std::u32string& b) {
  std::vector<std::size_t> row(b.size() + 1);
  for (std::size_t j = 0; j <= b.size(); ++j) row[j] = j;
  for (std::size_t i = 1; i <= a.size(); ++i) {
    std::size_t diagonal = row[0];
    row[0] = i;
    for (std::size_t j = 1; j <= b.size(); ++j) {
      const std::size_t above = row[j];
      row[j] = std::min({row[j] + 1, row[j - 1] + 1, diagonal + (a[i - 1] == b[j - 1] ? 0 : 1)});
      diagonal = above;
    }
  }
  return a.empty() ? static_cast<double>(b.size()) : static_cast<double>(row[b.size()]) / static_cast<double>(a.size());
}

}  // namespace

double characterErrorRate(const std::string& expected, const std::string& actual) {
  return errorRate(codePointsWithoutSpace(expected), codePointsWithoutSpace(actual));
}

double widthFoldedCharacterErrorRate(const std::string& expected, const std::string& actual) {
  return errorRate(codePointsWithoutSpace(expected, true), codePointsWithoutSpace(actual, true));
}

std::string expectedText(const std::string& name) {
  std::ifstream file(dataPath(name + ".txt"), std::ios::binary);
  std::stringstream contents;
  contents << file.rdbuf();
  std::string text = contents.str();
  if (!text.empty() && text.back() == '\n') text.pop_back();
  return text;
}

}  // namespace quillfen::test_support
