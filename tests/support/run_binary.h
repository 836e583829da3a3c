#pragma once

#include <string>
#include <vector>

namespace quillfen::test_support {

struct ProcessResult {
  int status = -1;         // exit status, or -1 when the process did not exit normally
  int signal = 0;          // the signal that ended it, if any
  std::string out;         // everything it wrote to standard output
  std::string err;         // everything it wrote to standard error
  double seconds = 0;      // wall time from start to exit
  long peakKilobytes = 0;  // the process's peak resident memory
};

// Where the tool under test and the committed test pictures are.
std::string toolPath();
std::string dataPath(const std::string& name);

// Where the program's standard output goes; by default a pipe the caller reads.
struct StandardOutput {
  std::string path;     // a file opened for writing, when not empty
  int fd = -1;          // this descriptor of the caller's, when not negative
  bool closed = false;  // no standard output at all

  static StandardOutput file(std::string path) { return {std::move(path), -1, false}; }
  static StandardOutput descriptor(int fd) { return {"", fd, false}; }
  static StandardOutput none() { return {"", -1, true}; }
};

// Runs the program with exactly these arguments (entry 0 included) and collects its output.
ProcessResult runProgram(const std::vector<std::string>& arguments, const StandardOutput& output = {});

// Runs the tool with the given arguments after the program name.
ProcessResult runBinary(const std::vector<std::string>& arguments, const StandardOutput& output = {});

}  // namespace quillfen::test_support
