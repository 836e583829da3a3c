#include "recognition/ppocr/text_lines.h"

#include <algorithm>
#include <cmath>

#include "recognition/layout/block_order.h"
#include "recognition/ppocr/reading_order.h"
#include "recognition/white_space.h"

namespace quillfen::ppocr {
namespace {

// Box bounds reach past the ink by the detector's unclip margin. Two boxes of one row
// whose bounds overlap by more than this share of the row's height were one run of
// text that the detector cut; anything less is a gap a reader sees.
constexpr float kCutOverlap = 0.3f;

float length(cv::Point2f vector) { return std::hypot(vector.x, vector.y); }

// The line a detected box's text runs along, from its corners: the direction of its top
// and bottom sides, its thickness between them.
OrderBox orderBoxOf(const TextBox& box) {
  const auto& [topLeft, topRight, bottomRight, bottomLeft] = box.corners;
  const cv::Point2f along = (topRight - topLeft) + (bottomRight - bottomLeft);
  OrderBox ordered = levelBox(box.bounds());
  if (length(along) > 0) ordered.direction = along / length(along);
  ordered.centre = (topLeft + topRight + bottomRight + bottomLeft) / 4;
  ordered.thickness = (length(bottomLeft - topLeft) + length(bottomRight - topRight)) / 2;
  return ordered;
}

}  // namespace

Observations lineObservations(const std::vector<ReadBox>& boxes, const layout::PageLayout& layout) {
  std::vector<const ReadBox*> kept;
  std::vector<OrderBox> ordered;
  for (const ReadBox& box : boxes) {
    if (trimmedWhiteSpace(box.decoded.text).empty()) continue;
    kept.push_back(&box);
    ordered.push_back(orderBoxOf(box.box));
  }

  std::vector<std::vector<std::size_t>> order;
  if (layout::hasColumns(layout)) {
    std::vector<layout::LineBox> lineBoxes;
    for (const OrderBox& box : ordered) {
      lineBoxes.push_back({box.bounds.x, box.bounds.y, box.bounds.width, box.bounds.height});
    }
    order = layout::orderByBlocks(lineBoxes, layout);
  } else {
    order = readingOrder(ordered);
  }

  Observations observations;
  for (const std::vector<std::size_t>& line : order) {
    std::string text;
    double probabilitySum = 0;
    int steps = 0;
    const cv::Rect2f* before = nullptr;
    for (std::size_t id : line) {
      const ReadBox& box = *kept[id];
      const cv::Rect2f& bounds = ordered[id].bounds;
      if (before != nullptr) {
        const float gap = bounds.x - (before->x + before->width);
        const float height = std::min(bounds.height, before->height);
        // A box below the one before (the next line of a table's cell) starts a new word too.
        const float overlap =
            std::min(bounds.y + bounds.height, before->y + before->height) - std::max(bounds.y, before->y);
        if (gap > -kCutOverlap * height || overlap < height / 2) text += ' ';
      }
      text += trimmedWhiteSpace(box.decoded.text);
      probabilitySum += box.decoded.probabilitySum;
      steps += box.decoded.keptSteps;
      before = &bounds;
    }
    text = std::string(trimmedWhiteSpace(text));
    if (text.empty() || steps == 0) continue;
    observations.push_back(
        std::make_unique<TextLineObservation>(std::move(text), static_cast<float>(probabilitySum / steps)));
  }
  return observations;
}

}  // namespace quillfen::ppocr
