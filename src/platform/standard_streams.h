#pragma once

#include <string_view>

#include "platform/status.h"

namespace quillfen::platform {

// Writes the bytes to standard error with nothing added. Best effort: there is nowhere
// left to report a failure of this write.
void writeStandardError(std::string_view bytes);

// Writes the text and one line feed to standard output and makes sure they left the
// process. The error names the system's description of what went wrong (a full disk,
// a closed pipe, a closed descriptor).
Status writeStandardOutputLine(std::string_view text);

}  // namespace quillfen::platform
