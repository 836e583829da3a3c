#pragma once

#include <functional>
#include <optional>
#include <string>

namespace quillfen::platform {

// Runs work in a child process and returns the bytes it produced. Work that may run for
// far too long (a library routine whose cost grows with the cube of what it is given)
// can be cut off there without leaving a thread behind or its memory held: the child
// gets cpuSeconds of processor time and, as a guard against a child that waits instead
// of computing, four times that in wall time plus a few seconds; then it is killed.
// Nothing when the child was cut off, failed, or could not be started. The child must
// not write to the standard streams: they go to /dev/null there.
std::optional<std::string> runInChildProcess(const std::function<std::string()>& work, int cpuSeconds);

}  // namespace quillfen::platform
