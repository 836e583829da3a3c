#include "record/json_read.h"

#include <nlohmann/json.hpp>

#include <cstdint>
#include <limits>

namespace quillfen {

std::optional<OcrOutput> readOcrOutput(std::string_view json) {
  const nlohmann::json value = nlohmann::json::parse(json, nullptr, /*allow_exceptions=*/false);
  if (!value.is_object()) return std::nullopt;

  auto member = [&](CodingKeys key) -> const nlohmann::json* {
    auto found = value.find(std::string(stringValue(key)));
    return found == value.end() ? nullptr : &*found;
  };
  const nlohmann::json* text = member(CodingKeys::text);
  const nlohmann::json* confidence = member(CodingKeys::confidence);
  const nlohmann::json* lines = member(CodingKeys::lines);
  const nlohmann::json* engine = member(CodingKeys::engine);
  if (!text || !text->is_string()) return std::nullopt;
  if (!confidence || !confidence->is_number()) return std::nullopt;
  if (!lines || !lines->is_number_integer()) return std::nullopt;
  if (!engine || !engine->is_string()) return std::nullopt;

  if (lines->is_number_unsigned() &&
      lines->get<std::uint64_t>() > static_cast<std::uint64_t>(std::numeric_limits<std::int64_t>::max())) {
    return std::nullopt;
  }
  return OcrOutput(text->get<std::string>(), confidence->get<double>(), lines->get<std::int64_t>(),
                   engine->get<std::string>());
}

}  // namespace quillfen
