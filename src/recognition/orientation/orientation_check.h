#pragma once

#include <optional>
#include <string>

#include "platform/child_process.h"
#include "recognition/layout/reading_scale.h"
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

  // The check of a page that smallPrintOf measures (layout/reading_scale.h), started
  // before either answer is known: the one child process measures the picture,
  // hands the measurement over at once, and checks the page as the measurement enlarges
  // it. So both run beside the engine's start, which needs neither. smallPrint() gives
  // the measurement; call it before guess().
  struct MeasuredFirst {};
  OrientationCheck(Pix* picture, std::string dataDirectory, MeasuredFirst);

  // layout::smallPrintOf's answer for the picture; the check's page from then on is the
  // enlarged one, which the caller keeps for as long as this lives. For a check that
  // measures first only; call once.
  layout::SmallPrint smallPrint();

  // detectOrientation's answer for the page; nothing after the first call.
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
