#pragma once

#include <string>
#include <vector>

namespace quillfen::platform {

// The process argument list, entries exactly as passed; entry 0 is the program's name.
std::vector<std::string> argumentList(int argc, char** argv);

// Makes the standard descriptors safe to rely on before anything else opens a file:
// a closed 0, 1 or 2 is occupied by a read-only /dev/null, so that no file opened later
// lands on it and a write to it fails instead of going somewhere unexpected. A broken
// pipe is reported as an error by the write, not by a signal that kills the process.
void prepareStandardDescriptors();

// How many processors this process may run on (its affinity where the system has one), at least 1.
int usableProcessors();

// Ends the process with the given status.
[[noreturn]] void exitProcess(int status);

}  // namespace quillfen::platform
