#include "platform/early_start.h"

#include <fcntl.h>
#include <unistd.h>

#include <cstring>

namespace quillfen::platform {
namespace {

int savedStandardError = -1;

bool isOpenMpVariable(const char* entry) {
  return std::strncmp(entry, "OMP_", 4) == 0 || std::strncmp(entry, "GOMP_", 5) == 0;
}

}  // namespace

void beginEarlyStart(char** environment) {
  // The environment array is the process's own (on its initial stack): entries are
  // removed by moving the later ones down, the terminating null pointer included.
  if (environment != nullptr) {
    char** kept = environment;
    for (char** entry = environment; *entry != nullptr; ++entry) {
      if (!isOpenMpVariable(*entry)) *kept++ = *entry;
    }
    *kept = nullptr;
  }

  // A closed standard error stays closed: prepareStandardDescriptors() deals with it.
  if (fcntl(STDERR_FILENO, F_GETFD) == -1) return;
  const int saved = fcntl(STDERR_FILENO, F_DUPFD_CLOEXEC, 3);
  if (saved < 0) return;
  const int null = open("/dev/null", O_WRONLY | O_CLOEXEC);
  if (null >= 0 && dup2(null, STDERR_FILENO) >= 0) {
    savedStandardError = saved;
  } else {
    close(saved);
  }
  if (null >= 0) close(null);
}

void finishEarlyStart() {
  if (savedStandardError < 0) return;
  dup2(savedStandardError, STDERR_FILENO);
  close(savedStandardError);
  savedStandardError = -1;
}

}  // namespace quillfen::platform
