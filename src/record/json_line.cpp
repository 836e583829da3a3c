#include "record/json_line.h"

#include "platform/standard_streams.h"
#include "record/json_encoding.h"

namespace quillfen {

Status writeLine(const OcrOutput& record) {
  std::optional<std::string> json = encodeJson(record);
  if (!json) return Status::notSerialisable();
  return platform::writeStandardOutputLine(*json);
}

}  // namespace quillfen
