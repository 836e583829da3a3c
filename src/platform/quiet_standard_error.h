#pragma once

namespace quillfen::platform {

// While alive, whatever the process writes to standard error goes to /dev/null. Image and
// OCR libraries print their own diagnostics there (libpng's "Read Error", libjpeg's
// warnings, Tesseract's notes); the tool's callers must see only its own message.
class QuietStandardError {
 public:
  QuietStandardError();
  ~QuietStandardError();
  QuietStandardError(const QuietStandardError&) = delete;
  QuietStandardError& operator=(const QuietStandardError&) = delete;

 private:
  int saved_;  // the real standard error, or -1 when it could not be set aside
};

}  // namespace quillfen::platform
