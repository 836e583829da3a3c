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
#include <cstdint>
#include <cstring>

namespace quillfen::platform {
namespace {

constexpr int kWallFactor = 4;
constexpr int kWallSlackSeconds = 5;

// Writes all the bytes; false when the pipe fails.
bool writeAll(int out, const char* data, std::size_t size) {
  for (std::size_t done = 0; done < size;) {
    const ssize_t n = write(out, data + done, size - done);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) return false;
    done += static_cast<std::size_t>(n);
  }
  return true;
}

// A first part goes down the pipe as its length, then its bytes.
using PartLength = std::uint64_t;

// In the child: limits, quiet streams, the work, its bytes down the pipe. Never returns.
[[noreturn]] void runChild(const std::function<std::string(const ChildProcess::Send&)>& work, int cpuSeconds, int out) {
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
    bytes = work([out](const std::string& part) {
      const PartLength length = part.size();
      if (!writeAll(out, reinterpret_cast<const char*>(&length), sizeof length) ||
          !writeAll(out, part.data(), part.size())) {
        _exit(1);
      }
    });
  } catch (...) {
    _exit(1);
  }
  _exit(writeAll(out, bytes.data(), bytes.size()) ? 0 : 1);
}

// Reads what the pipe holds, up to size bytes, waiting until the deadline: the count read,
// 0 at the pipe's end, -1 when the deadline came first or the read failed.
ssize_t readSome(int in, char* into, std::size_t size, std::chrono::steady_clock::time_point deadline) {
  for (;;) {
    const auto left =
        std::chrono::duration_cast<std::chrono::milliseconds>(deadline - std::chrono::steady_clock::now());
    if (left.count() <= 0) return -1;
    pollfd ready{in, POLLIN, 0};
    const int polled = poll(&ready, 1, static_cast<int>(left.count()));
    if (polled < 0 && errno == EINTR) continue;
    if (polled <= 0) return -1;
    const ssize_t n = read(in, into, size);
    if (n < 0 && errno == EINTR) continue;
    return n < 0 ? -1 : n;
  }
}

// Reads exactly size bytes from the pipe; false at its end, the deadline or a failed read.
bool readExactly(int in, std::size_t size, std::chrono::steady_clock::time_point deadline, std::string& bytes) {
  bytes.resize(size);
  for (std::size_t done = 0; done < size;) {
    const ssize_t n = readSome(in, bytes.data() + done, size - done, deadline);
    if (n <= 0) return false;
    done += static_cast<std::size_t>(n);
  }
  return true;
}

// Reads the pipe to its end, or until the deadline; false when the deadline came first or
// the read failed.
bool readAll(int in, std::chrono::steady_clock::time_point deadline, std::string& bytes) {
  char buffer[1 << 14];
  for (;;) {
    const ssize_t n = readSome(in, buffer, sizeof buffer, deadline);
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

ChildProcess::ChildProcess(const std::function<std::string()>& work, int cpuSeconds) {
  start([&work](const Send&) { return work(); }, cpuSeconds);
}

ChildProcess::ChildProcess(const std::function<std::string(const Send&)>& work, int cpuSeconds) {
  start(work, cpuSeconds);
}

void ChildProcess::start(const std::function<std::string(const Send&)>& work, int cpuSeconds) {
  deadline_ = std::chrono::steady_clock::now() + std::chrono::seconds(kWallFactor * cpuSeconds + kWallSlackSeconds);
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

ChildProcess::~ChildProcess() { stop(); }

void ChildProcess::stop() {
  if (child_ < 0) return;
  close(in_);
  kill(child_, SIGKILL);
  reaped(child_);
  child_ = -1;
}

std::optional<std::string> ChildProcess::firstPart() {
  if (child_ < 0) return std::nullopt;
  // A first part longer than this is not one the child sent: the bytes are not a length.
  constexpr PartLength kLongestPart = PartLength{1} << 26;
  std::string length, part;
  PartLength size = 0;
  bool read = readExactly(in_, sizeof size, deadline_, length);
  if (read) {
    std::memcpy(&size, length.data(), sizeof size);
    read = size <= kLongestPart && readExactly(in_, size, deadline_, part);
  }
  if (!read) {
    stop();
    return std::nullopt;
  }
  return part;
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
