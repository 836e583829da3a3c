#pragma once

#include <string>
#include <utility>

namespace quillfen {

// The outcome of an operation: success, or a failure whose code says what kind of failure
// it is (and so which message the caller of the tool gets) with a description in words
// fit for that caller. Every layer returns and checks failures this way.
class Status {
 public:
  enum class Code {
    ok,
    unreadableImage,    // the input does not decode as a picture
    recognitionFailed,  // the recognizer could not run; the description says why
    notSerialisable,    // the record cannot be written as JSON
    outputFailed,       // the JSON line could not be written; the description says why
  };

  // Success.
  Status() = default;

  static Status unreadableImage() { return Status(Code::unreadableImage, {}); }
  static Status recognitionFailed(std::string description) {
    return Status(Code::recognitionFailed, std::move(description));
  }
  static Status notSerialisable() { return Status(Code::notSerialisable, {}); }
  static Status outputFailed(std::string description) { return Status(Code::outputFailed, std::move(description)); }

  bool ok() const { return code_ == Code::ok; }
  Code code() const { return code_; }
  const std::string& description() const { return description_; }

 private:
  Status(Code code, std::string description) : code_(code), description_(std::move(description)) {}

  Code code_ = Code::ok;
  std::string description_;
};

}  // namespace quillfen
