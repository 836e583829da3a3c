#include "platform/ppocr/detector_tiles.h"

#include <algorithm>

namespace quillfen::platform::ppocr {
namespace {

constexpr int kAlign = 32;

// Where tiles start along one axis, their common length, and where each tile's kept
// part ends (the middle of its overlap with the next).
struct AxisPlan {
  int length = 0;
  std::vector<int> starts;
  std::vector<int> keptEnds;
};

AxisPlan planAxis(int total, int maxSide, int margin) {
  AxisPlan plan;
  if (total <= maxSide || maxSide <= 2 * margin) {
    plan.length = std::min(total, std::max(maxSide, 1));
    if (total <= maxSide) {
      plan.starts = {0};
      plan.keptEnds = {total};
      return plan;
    }
    margin = 0;  // settings too tight for overlap: fall back to plain abutting tiles
  }
  const int step = maxSide - 2 * margin;
  const int count = (total - 2 * margin + step - 1) / step;
  // The shortest common length that still overlaps neighbours by 2 × margin, rounded up to
  // the network's stride; it never exceeds maxSide when maxSide is itself aligned.
  int length = (total + (count - 1) * 2 * margin + count - 1) / count;
  length = std::min({(length + kAlign - 1) / kAlign * kAlign, maxSide, total});
  plan.length = length;
  for (int i = 0; i < count; ++i) {
    plan.starts.push_back(count == 1 ? 0
                                     : static_cast<int>(static_cast<long long>(total - length) * i / (count - 1)));
  }
  for (int i = 0; i + 1 < count; ++i) {
    plan.keptEnds.push_back((plan.starts[static_cast<std::size_t>(i) + 1] + plan.starts[static_cast<std::size_t>(i)] +
                             length) / 2);
  }
  plan.keptEnds.push_back(total);
  return plan;
}

}  // namespace

std::vector<DetectorTile> detectorTiles(cv::Size input, int maxSide, int margin) {
  const AxisPlan across = planAxis(input.width, maxSide, margin);
  const AxisPlan down = planAxis(input.height, maxSide, margin);
  std::vector<DetectorTile> tiles;
  int keptTop = 0;
  for (std::size_t row = 0; row < down.starts.size(); ++row) {
    int keptLeft = 0;
    for (std::size_t column = 0; column < across.starts.size(); ++column) {
      DetectorTile tile;
      tile.input = cv::Rect(across.starts[column], down.starts[row], across.length, down.length);
      tile.kept = cv::Rect(keptLeft, keptTop, across.keptEnds[column] - keptLeft, down.keptEnds[row] - keptTop);
      tiles.push_back(tile);
      keptLeft = across.keptEnds[column];
    }
    keptTop = down.keptEnds[row];
  }
  return tiles;
}

}  // namespace quillfen::platform::ppocr
