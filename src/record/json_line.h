#pragma once

#include "platform/status.h"
#include "record/ocr_output.h"

namespace quillfen {

// Encodes the record and writes it as one line to standard output. Fails with
// notSerialisable (nothing written) when the record cannot be encoded, and with
// outputFailed and the system's words when the line could not be written. Never writes
// to standard error and never ends the process.
Status writeLine(const OcrOutput& record);

}  // namespace quillfen
