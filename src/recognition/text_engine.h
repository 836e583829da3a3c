#pragma once

#include <memory>
#include <string>
#include <string_view>

#include "platform/status.h"
#include "recognition/text_recognition_request.h"

namespace quillfen {

// A picture as an engine's decoder left it; only the engine that made it looks inside.
class DecodedImage {
 public:
  virtual ~DecodedImage() = default;
};

// Runs requests over one decoded picture.
class ImageRequestHandler {
 public:
  virtual ~ImageRequestHandler() = default;

  // Synchronous. On success the request holds its results; otherwise the error describes
  // what went wrong in words fit for the caller.
  virtual Status perform(TextRecognitionRequest& request) = 0;
};

// A recognizer behind one seam: decode, then run a request through a handler over the
// decoded picture, then read observations with a best candidate.
class TextEngine {
 public:
  virtual ~TextEngine() = default;

  // The name the record carries, e.g. "tesseract".
  virtual std::string_view name() const = 0;

  // The decoded picture, or nothing when the path holds no picture this engine reads.
  virtual std::unique_ptr<DecodedImage> decodeImage(const std::string& path) const = 0;

  // A handler over a picture this engine decoded.
  virtual std::unique_ptr<ImageRequestHandler> makeHandler(std::unique_ptr<DecodedImage> image) const = 0;
};

}  // namespace quillfen
