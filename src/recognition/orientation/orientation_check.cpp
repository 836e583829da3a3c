#include "recognition/orientation/orientation_check.h"

#include <cstring>
#include <type_traits>
#include <utility>

#include "platform/process.h"
#include "recognition/layout/layout_bytes.h"

namespace quillfen::orientation {
namespace {

// The child hands its answer over as the guess's own bytes (the same program on both
// ends of the pipe), or as nothing when there is no answer.
static_assert(std::is_trivially_copyable_v<OrientationGuess>);

std::string guessBytes(const std::optional<OrientationGuess>& guess) {
  if (!guess) return {};
  return std::string(reinterpret_cast<const char*>(&*guess), sizeof *guess);
}

std::optional<OrientationGuess> guessFromBytes(const std::optional<std::string>& bytes) {
  if (!bytes || bytes->size() != sizeof(OrientationGuess)) return std::nullopt;
  OrientationGuess guess;
  std::memcpy(&guess, bytes->data(), sizeof guess);
  return guess;
}

}  // namespace

OrientationCheck::OrientationCheck(Pix* picture, std::string dataDirectory)
    : picture_(picture), dataDirectory_(std::move(dataDirectory)) {
  if (platform::usableProcessors() < 2) return;
  beside_.emplace([this] { return guessBytes(detectOrientation(picture_, dataDirectory_)); }, kCheckSeconds);
  if (!beside_->started()) beside_.reset();  // no child: the check runs in line when asked
}

OrientationCheck::OrientationCheck(Pix* picture, std::string dataDirectory, MeasuredFirst)
    : picture_(picture), dataDirectory_(std::move(dataDirectory)) {
  if (platform::usableProcessors() < 2) return;
  beside_.emplace(
      [this](const platform::ChildProcess::Send& send) {
        // The measurement keeps its own budget, in a child process of this one.
        layout::PageLayout measured = layout::smallPrintLayout(picture_).value_or(layout::PageLayout{});
        send(layout::layoutBytes(measured));
        const layout::SmallPrint page = layout::smallPrintFrom(picture_, std::move(measured));
        return guessBytes(detectOrientation(page.enlarged ? page.enlarged.get() : picture_, dataDirectory_));
      },
      kCheckSeconds);
  if (!beside_->started()) beside_.reset();
}

layout::SmallPrint OrientationCheck::smallPrint() {
  // A child cut off before it measured leaves the page as a failed measurement does:
  // with an empty layout, read as it is (and with no orientation answer).
  layout::SmallPrint found = beside_ ? layout::smallPrintFrom(picture_, layout::layoutSentBy(beside_->firstPart()))
                                     : layout::smallPrintOf(picture_);
  if (found.enlarged) picture_ = found.enlarged.get();
  return found;
}

std::optional<OrientationGuess> OrientationCheck::guess() {
  if (asked_) return std::nullopt;
  asked_ = true;
  if (beside_) return guessFromBytes(beside_->result());
  return detectOrientation(picture_, dataDirectory_);
}

}  // namespace quillfen::orientation
