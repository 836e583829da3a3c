#pragma once

#include <string_view>

namespace quillfen {

// Writes the message to standard error, nothing added, and ends the process with status 1.
// The only writer to standard error.
[[noreturn]] void fail(std::string_view message);

// The same for a fixed message followed directly by a detail, whose ill-formed UTF-8 (a
// path or language name passed as raw bytes) is written as U+FFFD.
[[noreturn]] void fail(std::string_view message, std::string_view detail);

}  // namespace quillfen
