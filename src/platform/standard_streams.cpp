#include "platform/standard_streams.h"

#include <unistd.h>

#include <cerrno>
#include <string>
#include <system_error>

namespace quillfen::platform {
namespace {

// Writes all bytes, resuming after interruptions and short writes. Returns 0 or errno.
int writeAll(int fd, std::string_view bytes) {
  while (!bytes.empty()) {
    ssize_t written = ::write(fd, bytes.data(), bytes.size());
    if (written < 0) {
      if (errno == EINTR) continue;
      return errno;
    }
    bytes.remove_prefix(static_cast<std::size_t>(written));
  }
  return 0;
}

}  // namespace

void writeStandardError(std::string_view bytes) { writeAll(STDERR_FILENO, bytes); }

Status writeStandardOutputLine(std::string_view text) {
  // One unbuffered write of the whole line, so that a failure is seen here and not lost
  // in a buffer flushed at exit.
  std::string line;
  line.reserve(text.size() + 1);
  line.append(text);
  line.push_back('\n');
  if (int error = writeAll(STDOUT_FILENO, line); error != 0) {
    return Status::outputFailed(std::generic_category().message(error));
  }
  return Status();
}

}  // namespace quillfen::platform
