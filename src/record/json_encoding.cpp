#include "record/json_encoding.h"

#include <array>
#include <charconv>
#include <cmath>

#include "record/utf8.h"

// Written by hand because the line's bytes are part of the contract and no JSON library
// at hand writes exactly them: the solidus escaped as "\/", the short escapes for control
// characters, and the shortest round-trip form of the confidence with integral values
// written without a fraction ("0", "1").

namespace quillfen {
namespace {

void appendString(std::string& out, std::string_view text) {
  static constexpr char hex[] = "0123456789abcdef";
  out.push_back('"');
  for (char c : text) {
    switch (c) {
      case '"': out += "\\\""; break;
      case '\\': out += "\\\\"; break;
      case '/': out += "\\/"; break;
      case '\b': out += "\\b"; break;
      case '\f': out += "\\f"; break;
      case '\n': out += "\\n"; break;
      case '\r': out += "\\r"; break;
      case '\t': out += "\\t"; break;
      default: {
        const auto byte = static_cast<unsigned char>(c);
        if (byte < 0x20) {
          out += "\\u00";
          out.push_back(hex[byte >> 4]);
          out.push_back(hex[byte & 0xF]);
        } else {
          out.push_back(c);
        }
      }
    }
  }
  out.push_back('"');
}

void appendKey(std::string& out, CodingKeys key) {
  appendString(out, stringValue(key));
  out.push_back(':');
}

template <typename Number>
void appendNumber(std::string& out, Number value) {
  std::array<char, 32> buffer{};
  auto [end, error] = std::to_chars(buffer.data(), buffer.data() + buffer.size(), value);
  (void)error;  // 32 characters hold every double and 64-bit integer
  out.append(buffer.data(), end);
}

}  // namespace

std::optional<std::string> encodeJson(const OcrOutput& record) {
  if (!std::isfinite(record.confidence())) return std::nullopt;
  if (!isValidUtf8(record.text()) || !isValidUtf8(record.engine())) return std::nullopt;

  std::string out;
  out.reserve(record.text().size() + record.engine().size() + 64);
  out.push_back('{');
  appendKey(out, CodingKeys::text);
  appendString(out, record.text());
  out.push_back(',');
  appendKey(out, CodingKeys::confidence);
  appendNumber(out, record.confidence());
  out.push_back(',');
  appendKey(out, CodingKeys::lines);
  appendNumber(out, record.lines());
  out.push_back(',');
  appendKey(out, CodingKeys::engine);
  appendString(out, record.engine());
  out.push_back('}');
  return out;
}

}  // namespace quillfen
