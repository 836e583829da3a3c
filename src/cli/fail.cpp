#include "cli/fail.h"

#include <string>

#include "platform/process.h"
#include "platform/standard_streams.h"

namespace quillfen {

void fail(std::string_view message) {
  platform::writeStandardError(message);
  platform::exitProcess(1);
}

void fail(std::string_view message, std::string_view detail) {
  std::string whole;
  whole.reserve(message.size() + detail.size());
  whole.append(message);
  whole.append(detail);
  fail(whole);
}

}  // namespace quillfen
