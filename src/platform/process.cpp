#include "platform/process.h"

#include <fcntl.h>
#include <unistd.h>

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

void exitProcess(int status) { std::exit(status); }

}  // namespace quillfen::platform
