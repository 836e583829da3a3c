#include "recognition/ppocr/text_lines.h"

#include <algorithm>

#include "recognition/layout/block_order.h"
#include "recognition/ppocr/reading_order.h"
#include "recognition/white_space.h"

namespace quillfen::ppocr {
namespace {

// Box bounds reach past the ink by the detector's unclip margin. Two boxes of one row
// whose bounds overlap by more than this share of the row's height were one run of
// text that the detector cut; anything less is a gap a reader sees.
constexpr float kCutOverlap = 0.3f;

}  // namespace

Observations lineObservations(const std::vector<ReadBox>& boxes, const layout::PageLayout& layout) {
  std::vector<const ReadBox*> kept;
  std::vector<cv::Rect2f> bounds;
  for (const ReadBox& box : boxes) {
    if (trimmedWhiteSpace(box.decoded.text).empty()) continue;
    kept.push_back(&box);
    bounds.push_back(box.bounds);
  }

  std::vector<std::vector<std::size_t>> order;
  if (layout::hasColumns(layout)) {
    std::vector<layout::LineBox> lineBoxes;
    for (const cv::Rect2f& box : bounds) lineBoxes.push_back({box.x, box.y, box.width, box.height});
    order = layout::orderByBlocks(lineBoxes, layout);
  } else {
    order = readingOrder(bounds);
  }

  Observations observations;
  for (const std::vector<std::size_t>& line : order) {
    std::string text;
    double probabilitySum = 0;
    int steps = 0;
    const ReadBox* previous = nullptr;
    for (std::size_t id : line) {
      const ReadBox& box = *kept[id];
      if (previous != nullptr) {
        const float gap = box.bounds.x - (previous->bounds.x + previous->bounds.width);
        const float height = std::min(box.bounds.height, previous->bounds.height);
        if (gap > -kCutOverlap * height) text += ' ';
      }
      text += trimmedWhiteSpace(box.decoded.text);
      probabilitySum += box.decoded.probabilitySum;
      steps += box.decoded.keptSteps;
      previous = &box;
    }
    text = std::string(trimmedWhiteSpace(text));
    if (text.empty() || steps == 0) continue;
    observations.push_back(
        std::make_unique<TextLineObservation>(std::move(text), static_cast<float>(probabilitySum / steps)));
  }
  return observations;
}

}  // namespace quillfen::ppocr
