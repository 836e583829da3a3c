// The JSON line: any record the writer accepts reads back as the same record, the line is
// one physical line, and the reader survives any bytes.
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>

#include "record/json_encoding.h"
#include "record/json_read.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string bytes(reinterpret_cast<const char*>(data), size);

  // Any bytes as JSON: whatever reads must write and read back the same.
  if (std::optional<quillfen::OcrOutput> read = quillfen::readOcrOutput(bytes)) {
    if (std::optional<std::string> again = quillfen::encodeJson(*read)) {
      if (quillfen::readOcrOutput(*again) != read) std::abort();
    }
  }

  // Any bytes as a record: 8 bytes of confidence, 8 of line count, then text and engine.
  if (size < 16) return 0;
  double confidence;
  std::int64_t lines;
  std::memcpy(&confidence, data, sizeof confidence);
  std::memcpy(&lines, data + 8, sizeof lines);
  const std::string rest = bytes.substr(16);
  const std::size_t split = rest.find('\x01');
  const quillfen::OcrOutput record(rest.substr(0, split), confidence, lines,
                                   split == std::string::npos ? "" : rest.substr(split + 1));
  const std::optional<std::string> json = quillfen::encodeJson(record);
  if (!std::isfinite(confidence)) {
    if (json) std::abort();
    return 0;
  }
  if (!json) return 0;  // text or engine not UTF-8
  if (json->find('\n') != std::string::npos) std::abort();
  std::optional<quillfen::OcrOutput> back = quillfen::readOcrOutput(*json);
  if (!back || *back != record) std::abort();
  return 0;
}
