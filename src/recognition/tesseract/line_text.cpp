#include "recognition/tesseract/line_text.h"

#include <cstdint>

#include "recognition/white_space.h"

namespace quillfen::tess {
namespace {

// The code point starting at bytes[i] and its length; a malformed byte counts as itself.
std::pair<std::uint32_t, std::size_t> decodeAt(std::string_view bytes, std::size_t i) {
  const auto lead = static_cast<unsigned char>(bytes[i]);
  std::size_t length = lead < 0x80 ? 1 : lead >= 0xF0 ? 4 : lead >= 0xE0 ? 3 : lead >= 0xC0 ? 2 : 1;
  if (i + length > bytes.size()) return {lead, 1};
  std::uint32_t code = length == 1 ? lead : lead & (0x7F >> length);
  for (std::size_t k = 1; k < length; ++k) code = (code << 6) | (static_cast<unsigned char>(bytes[i + k]) & 0x3F);
  return {code, length};
}

bool isCjk(std::uint32_t c) {
  return (c >= 0x3000 && c <= 0x303F) ||  // CJK symbols and punctuation
         (c >= 0x3400 && c <= 0x4DBF) ||  // extension A
         (c >= 0x4E00 && c <= 0x9FFF) ||  // unified ideographs
         (c >= 0xF900 && c <= 0xFAFF) ||  // compatibility ideographs
         (c >= 0xFF00 && c <= 0xFFEF) ||  // full-width forms
         (c >= 0x20000 && c <= 0x3134F);  // extensions B to G
}

bool isWidePunctuation(std::uint32_t c) {
  return (c >= 0x3000 && c <= 0x303F) || (c >= 0xFF01 && c <= 0xFF0F) || (c >= 0xFF1A && c <= 0xFF20) ||
         (c >= 0xFF3B && c <= 0xFF40) || (c >= 0xFF5B && c <= 0xFF65);
}

}  // namespace

std::string readerLineText(std::string_view engineLine) {
  engineLine = trimmedWhiteSpace(engineLine);

  std::string out;
  out.reserve(engineLine.size());
  std::uint32_t last = 0;
  std::size_t i = 0;
  while (i < engineLine.size()) {
    if (engineLine[i] == ' ') {
      std::size_t end = i;
      while (end < engineLine.size() && engineLine[end] == ' ') ++end;
      const std::uint32_t next = end < engineLine.size() ? decodeAt(engineLine, end).first : 0;
      const bool dropped = (isCjk(last) && isCjk(next)) || isWidePunctuation(last) || isWidePunctuation(next);
      if (!dropped) {
        out.append(engineLine.substr(i, end - i));
      }
      i = end;
      continue;
    }
    auto [code, length] = decodeAt(engineLine, i);
    out.append(engineLine.substr(i, length));
    last = code;
    i += length;
  }
  return out;
}

}  // namespace quillfen::tess
