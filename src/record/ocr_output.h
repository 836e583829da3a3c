#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <utility>

namespace quillfen {

// The one record a run produces: the recognised lines joined by line feeds, their mean
// confidence (0 when there are none), how many lines were joined, and the engine that
// read them. Immutable; made only through the constructor.
class OcrOutput {
 public:
  OcrOutput(std::string text, double confidence, std::int64_t lines, std::string engine)
      : text_(std::move(text)), confidence_(confidence), lines_(lines), engine_(std::move(engine)) {}

  const std::string& text() const { return text_; }
  double confidence() const { return confidence_; }
  std::int64_t lines() const { return lines_; }
  const std::string& engine() const { return engine_; }

  bool operator==(const OcrOutput&) const = default;

 private:
  std::string text_;
  double confidence_;
  std::int64_t lines_;
  std::string engine_;
};

// The record's key set, in field order; each key is serialised as its field's name.
enum class CodingKeys { text, confidence, lines, engine };

std::string_view stringValue(CodingKeys key);

}  // namespace quillfen
