#include "record/utf8.h"

namespace quillfen {
namespace {

// At bytes[i]: the length of the well-formed sequence starting there, or 0 when there is
// none; then `prefix` is the length of its maximal well-formed start (at least 1), which
// one U+FFFD replaces.
std::size_t sequenceLength(std::string_view bytes, std::size_t i, std::size_t& prefix) {
  const auto lead = static_cast<unsigned char>(bytes[i]);
  prefix = 1;
  if (lead < 0x80) return 1;
  std::size_t length;
  unsigned char low = 0x80, high = 0xBF;  // allowed range of the second byte
  if (lead >= 0xC2 && lead <= 0xDF) {
    length = 2;
  } else if (lead >= 0xE0 && lead <= 0xEF) {
    length = 3;
    if (lead == 0xE0) low = 0xA0;   // no overlong forms
    if (lead == 0xED) high = 0x9F;  // no surrogates
  } else if (lead >= 0xF0 && lead <= 0xF4) {
    length = 4;
    if (lead == 0xF0) low = 0x90;   // no overlong forms
    if (lead == 0xF4) high = 0x8F;  // nothing above U+10FFFF
  } else {
    return 0;
  }
  for (std::size_t k = 1; k < length; ++k) {
    if (i + k >= bytes.size()) return 0;
    const auto next = static_cast<unsigned char>(bytes[i + k]);
    if (next < (k == 1 ? low : 0x80) || next > (k == 1 ? high : 0xBF)) return 0;
    prefix = k + 1;
  }
  return length;
}

}  // namespace

bool isValidUtf8(std::string_view bytes) {
  std::size_t i = 0, prefix = 0;
  while (i < bytes.size()) {
    const std::size_t length = sequenceLength(bytes, i, prefix);
    if (length == 0) return false;
    i += length;
  }
  return true;
}

std::string withReplacementCharacters(std::string_view bytes) {
  std::string out;
  out.reserve(bytes.size());
  std::size_t i = 0, prefix = 0;
  while (i < bytes.size()) {
    const std::size_t length = sequenceLength(bytes, i, prefix);
    if (length == 0) {
      out += "\xEF\xBF\xBD";
      i += prefix;
    } else {
      out.append(bytes.substr(i, length));
      i += length;
    }
  }
  return out;
}

}  // namespace quillfen
