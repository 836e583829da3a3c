#include "cli/fail.h"

#include <string>

#include "platform/process.h"
#include "platform/standard_streams.h"
#include "record/utf8.h"

namespace quillfen {

void fail(std::string_view message) {
  platform::writeStandardError(message);
  platform::exitProcess(1);
}

void fail(std::string_view message, std::string_view detail) {
  // The detail may echo the caller's bytes (a path, a language name) or a library's text;
  // standard error holds UTF-8 only, so what is not UTF-8 shows as U+FFFD.
  std::string whole(message);
  whole += withReplacementCharacters(detail);
  fail(whole);
}

}  // namespace quillfen
