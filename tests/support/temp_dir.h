#pragma once

#include <string>

namespace quillfen::test_support {

// A fresh directory under the system's temporary folder, removed with everything in it.
class TempDir {
 public:
  TempDir();
  ~TempDir();
  TempDir(const TempDir&) = delete;
  TempDir& operator=(const TempDir&) = delete;

  const std::string& path() const { return path_; }
  // Writes bytes to a file in the directory and returns the file's path.
  std::string write(const std::string& name, const std::string& bytes) const;

 private:
  std::string path_;
};

// The whole contents of a file.
std::string readFile(const std::string& path);

}  // namespace quillfen::test_support
