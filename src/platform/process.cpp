#include "platform/process.h"

#include <fcntl.h>
#include <unistd.h>
#ifdef __linux__
#include <sched.h>
#endif

#include <algorithm>
#include <csignal>
#include <cstdlib>

namespace quillfen::platform {

std::vector<std::string> argumentList(int argc, char** argv) {
  std::vector<std::string> arguments;
  arguments.reserve(argc > 0 ? static_cast<std::size_t>(argc) : 0);
  for (int i = 0; i < argc; ++i) arguments.emplace_back(argv[i]);
  return arguments;
}

void prepareStandardDescriptors() {
  for (int fd = 0; fd <= 2; ++fd) {
    if (fcntl(fd, F_GETFD) != -1) continue;
    int placeholder = open("/dev/null", O_RDONLY | O_CLOEXEC);
    if (placeholder >= 0 && placeholder != fd) {
      dup2(placeholder, fd);
      close(placeholder);
    }
  }
  std::signal(SIGPIPE, SIG_IGN);
}

int usableProcessors() {
#ifdef __linux__
  cpu_set_t allowed;
  CPU_ZERO(&allowed);
  if (sched_getaffinity(0, sizeof allowed, &allowed) == 0) return std::max(CPU_COUNT(&allowed), 1);
#endif
  return std::max(static_cast<int>(sysconf(_SC_NPROCESSORS_ONLN)), 1);
}

void exitProcess(int status) { std::exit(status); }

}  // namespace quillfen::platform
