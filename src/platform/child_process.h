#pragma once

#include <sys/types.h>

#include <chrono>
#include <functional>
#include <optional>
#include <string>

namespace quillfen::platform {

// Work run in a child process, whose bytes the parent collects once, or not at all. Work
// that may run for far too long (a library routine whose cost grows with the cube of what
// it is given) can be cut off there without leaving a thread behind or its memory held,
// and work started on a chance (an answer that may not be needed) can be dropped at no
// cost: the child is killed when its ChildProcess is destroyed uncollected. The child
// gets cpuSeconds of processor time and, as a guard against a child that waits instead
// of computing, four times that in wall time plus a few seconds; then it is killed. The
// child must not write to the standard streams: they go to /dev/null there. Start one
// only while the process has a single thread: a fork copies only the calling thread, and
// a lock another thread held stays held in the child.
class ChildProcess {
 public:
  // How a child hands its parent a first part of its bytes before the rest: once, early.
  using Send = std::function<void(const std::string&)>;

  ChildProcess(const std::function<std::string()>& work, int cpuSeconds);
  // A child whose work sends a first part (exactly once) before it returns the rest; the
  // parent takes it with firstPart() while the child goes on.
  ChildProcess(const std::function<std::string(const Send&)>& work, int cpuSeconds);
  ~ChildProcess();
  ChildProcess(const ChildProcess&) = delete;
  ChildProcess& operator=(const ChildProcess&) = delete;

  // Whether the child is running or done and not yet collected; false when it could not be started.
  bool started() const { return child_ >= 0; }

  // Waits for the first part of a two-part child; nothing when it sends none, or was cut
  // off, failed or could not be started before it did (it is stopped then). Call it once,
  // before result().
  std::optional<std::string> firstPart();

  // Waits for the child's bytes (a two-part child's rest); nothing when it was cut off,
  // failed, could not be started, or was collected before.
  std::optional<std::string> result();

 private:
  void start(const std::function<std::string(const Send&)>& work, int cpuSeconds);
  void stop();

  pid_t child_ = -1;
  int in_ = -1;  // the pipe's reading end
  std::chrono::steady_clock::time_point deadline_;
};

// Runs work in a child process and waits for its bytes (ChildProcess's rules).
std::optional<std::string> runInChildProcess(const std::function<std::string()>& work, int cpuSeconds);

}  // namespace quillfen::platform
