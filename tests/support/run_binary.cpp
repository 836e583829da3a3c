#include "support/run_binary.h"

#include <fcntl.h>
#include <poll.h>
#include <spawn.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <stdexcept>

extern char** environ;

namespace quillfen::test_support {

std::string toolPath() { return QUILLFEN_TOOL_PATH; }
std::string dataPath(const std::string& name) { return std::string(QUILLFEN_TEST_DATA_DIR) + "/" + name; }

namespace {

// pipe2 is Linux-only; macOS has just pipe, so close-on-exec is set afterwards.
bool closeOnExecPipe(int fds[2]) {
  if (pipe(fds) != 0) return false;
  return fcntl(fds[0], F_SETFD, FD_CLOEXEC) == 0 && fcntl(fds[1], F_SETFD, FD_CLOEXEC) == 0;
}

}  // namespace

ProcessResult runProgram(const std::vector<std::string>& arguments, const StandardOutput& output) {
  int outPipe[2], errPipe[2];
  if (!closeOnExecPipe(outPipe) || !closeOnExecPipe(errPipe)) throw std::runtime_error("pipe");

  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  if (output.closed) {
    posix_spawn_file_actions_addclose(&actions, STDOUT_FILENO);
  } else if (output.fd >= 0) {
    posix_spawn_file_actions_adddup2(&actions, output.fd, STDOUT_FILENO);
  } else if (!output.path.empty()) {
    posix_spawn_file_actions_addopen(&actions, STDOUT_FILENO, output.path.c_str(), O_WRONLY, 0);
  } else {
    posix_spawn_file_actions_adddup2(&actions, outPipe[1], STDOUT_FILENO);
  }
  posix_spawn_file_actions_adddup2(&actions, errPipe[1], STDERR_FILENO);
  posix_spawn_file_actions_addopen(&actions, STDIN_FILENO, "/dev/null", O_RDONLY, 0);

  std::vector<char*> argv;
  for (const std::string& argument : arguments) argv.push_back(const_cast<char*>(argument.c_str()));
  argv.push_back(nullptr);

  const auto start = std::chrono::steady_clock::now();
  pid_t pid;
  const int spawned = posix_spawn(&pid, arguments[0].c_str(), &actions, nullptr, argv.data(), environ);
  posix_spawn_file_actions_destroy(&actions);
  close(outPipe[1]);
  close(errPipe[1]);
  if (spawned != 0) throw std::runtime_error("spawn " + arguments[0]);

  ProcessResult result;
  pollfd fds[2] = {{outPipe[0], POLLIN, 0}, {errPipe[0], POLLIN, 0}};
  std::string* sinks[2] = {&result.out, &result.err};
  int open = 2;
  while (open > 0) {
    if (poll(fds, 2, -1) < 0) continue;
    for (int i = 0; i < 2; ++i) {
      if (fds[i].fd < 0 || fds[i].revents == 0) continue;
      char buffer[65536];
      ssize_t got = read(fds[i].fd, buffer, sizeof buffer);
      if (got > 0) {
        sinks[i]->append(buffer, static_cast<std::size_t>(got));
      } else {
        close(fds[i].fd);
        fds[i].fd = -1;
        --open;
      }
    }
  }
  int wstatus = 0;
  rusage usage{};
  wait4(pid, &wstatus, 0, &usage);
  result.seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
  result.peakKilobytes = usage.ru_maxrss;
  if (WIFEXITED(wstatus)) result.status = WEXITSTATUS(wstatus);
  if (WIFSIGNALED(wstatus)) result.signal = WTERMSIG(wstatus);
  return result;
}

ProcessResult runBinary(const std::vector<std::string>& arguments, const StandardOutput& output) {
  std::vector<std::string> all{toolPath()};
  all.insert(all.end(), arguments.begin(), arguments.end());
  return runProgram(all, output);
}

}  // namespace quillfen::test_support
