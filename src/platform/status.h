#pragma once

#include <string>
#include <utility>

namespace quillfen {

// The outcome of an operation at a library boundary: ok, or an error with a
// human-readable description that may be shown to the caller verbatim.
class Status {
 public:
  static Status ok() { return Status(true, {}); }
  static Status error(std::string description) { return Status(false, std::move(description)); }

  bool isOk() const { return ok_; }
  const std::string& description() const { return description_; }

 private:
  Status(bool ok, std::string description) : ok_(ok), description_(std::move(description)) {}

  bool ok_;
  std::string description_;
};

}  // namespace quillfen
