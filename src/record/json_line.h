#pragma once

#include <optional>
#include <string>

#include "platform/status.h"
#include "record/ocr_output.h"

namespace quillfen {

// The record as one compact JSON object: members in field order, UTF-8 as is, solidus
// escaped, the confidence in its shortest exact form. Nothing when the record cannot be
// serialised: a confidence that is not finite, or a string that is not valid UTF-8.
std::optional<std::string> encodeJson(const OcrOutput& record);

// What writing the record's line came to.
enum class WriteLineOutcome { written, notSerialisable, outputFailed };

struct WriteLineResult {
  WriteLineOutcome outcome;
  std::string errorDescription;  // the system's words, for outputFailed
};

// Encodes the record and writes it as one line to standard output. On notSerialisable
// nothing was written. Never writes to standard error and never ends the process.
WriteLineResult writeLine(const OcrOutput& record);

}  // namespace quillfen
