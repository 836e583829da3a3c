#include "platform/child_process.h"

#include <fcntl.h>
#include <poll.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>
#ifdef __linux__
#include <sys/prctl.h>
#endif

#include <cerrno>
#include <chrono>
#include <csignal>

namespace quillfen::platform {
namespace {

constexpr int kWallFactor = 4;
constexpr int kWallSlackSeconds = 5;

// In the child: limits, quiet streams, the work, its bytes down the pipe. Never returns.
[[noreturn]] void runChild(const std::function<std::string()>& work, int cpuSeconds, int out) {
#ifdef __linux__
  // A child whose parent was killed has nobody to report to.
  prctl(PR_SET_PDEATHSIG, SIGKILL);
#endif
  const rlimit noCore{0, 0};
  setrlimit(RLIMIT_CORE, &noCore);  // a child cut off leaves no core file behind
  const auto seconds = static_cast<rlim_t>(cpuSeconds);
  const rlimit cpu{seconds, seconds + 1};
  setrlimit(RLIMIT_CPU, &cpu);
  std::signal(SIGXCPU, SIG_DFL);
  if (const int null = open("/dev/null", O_WRONLY | O_CLOEXEC); null >= 0) {
    dup2(null, STDOUT_FILENO);
    dup2(null, STDERR_FILENO);
  }
  std::string bytes;
  try {
    bytes = work();
  } catch (...) {
    _exit(1);
  }
  for (std::size_t done = 0; done < bytes.size();) {
    const ssize_t n = write(out, bytes.data() + done, bytes.size() - done);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) _exit(1);
    done += static_cast<std::size_t>(n);
  }
  _exit(0);
}

// Reads the pipe to its end, or until the deadline; false when the deadline came first or
// the read failed.
bool readAll(int in, std::chrono::steady_clock::time_point deadline, std::string& bytes) {
  char buffer[1 << 14];
  for (;;) {
    const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - std::chrono::steady_clock::now());
    if (left.count() <= 0) return false;
    pollfd ready{in, POLLIN, 0};
    const int polled = poll(&ready, 1, static_cast<int>(left.count()));
    if (polled < 0 && errno == EINTR) continue;
    if (polled <= 0) return false;
    const ssize_t n = read(in, buffer, sizeof buffer);
    if (n < 0 && errno == EINTR) continue;
    if (n < 0) return false;
    if (n == 0) return true;
    bytes.append(buffer, static_cast<std::size_t>(n));
  }
}

int reaped(pid_t child) {
  int status = 0;
  while (waitpid(child, &status, 0) < 0) {
    if (errno != EINTR) return -1;
  }
  return status;
}

}  // namespace

ChildProcess::ChildProcess(const std::function<std::string()>& work, int cpuSeconds)
    : deadline_(std::chrono::steady_clock::now() + std::chrono::seconds(kWallFactor * cpuSeconds + kWallSlackSeconds)) {
  int ends[2];
  if (pipe(ends) != 0) return;
  fcntl(ends[0], F_SETFD, FD_CLOEXEC);
  fcntl(ends[1], F_SETFD, FD_CLOEXEC);
  const pid_t child = fork();
  if (child < 0) {
    close(ends[0]);
    close(ends[1]);
    return;
  }
  if (child == 0) {
    close(ends[0]);
    runChild(work, cpuSeconds, ends[1]);
  }
  close(ends[1]);
  child_ = child;
  in_ = ends[0];
}

ChildProcess::~ChildProcess() {
  if (child_ < 0) return;
  close(in_);
  kill(child_, SIGKILL);
  reaped(child_);
}

std::optional<std::string> ChildProcess::result() {
  if (child_ < 0) return std::nullopt;
  std::string bytes;
  const bool complete = readAll(in_, deadline_, bytes);
  close(in_);
  if (!complete) kill(child_, SIGKILL);
  const int status = reaped(child_);
  child_ = -1;
  if (!complete || status < 0 || !WIFEXITED(status) || WEXITSTATUS(status) != 0) return std::nullopt;
  return bytes;
}

std::optional<std::string> runInChildProcess(const std::function<std::string()>& work, int cpuSeconds) {
  return ChildProcess(work, cpuSeconds).result();
}

}  // namespace quillfen::platform
