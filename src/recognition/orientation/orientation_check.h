#pragma once

#include <optional>
#include <string>

#include "platform/child_process.h"
#include "recognition/orientation/page_orientation.h"

namespace quillfen::orientation {

// Tesseract's orientation detection for a page, started before the page is read, since
// only the reading tells whether it is wanted. With a second processor it runs beside
// the reading in a child process: a page read with little confidence then has its answer
// without waiting for it (the data's loading alone takes a quarter of a second), and a
// confident page's check is stopped unread when this is destroyed. With one processor it
// runs when guess() is first called, as it would in line. Start it while the process has
// a single thread; the picture must outlive it.
class OrientationCheck {
 public:
  OrientationCheck(Pix* picture, std::string dataDirectory);

  // detectOrientation's answer for the picture; nothing after the first call.
  std::optional<OrientationGuess> guess();

 private:
  Pix* picture_;
  std::string dataDirectory_;
  std::optional<platform::ChildProcess> beside_;
  bool asked_ = false;
};

// Processor time the check may take beside the reading (about a second on a 12-megapixel
// page); cut off there, it gives no answer and the page is read as stored.
inline constexpr int kCheckSeconds = 10;

}  // namespace quillfen::orientation
