#include "recognition/ppocr/detector_tiles.h"

#include <algorithm>

namespace quillfen::ppocr {
namespace {

// Where tiles start along one axis, their common length, and where each tile's kept
// part ends (the middle of its overlap with the next).
struct AxisPlan {
  int length = 0;
  std::vector<int> starts;
  std::vector<int> keptEnds;
};

AxisPlan planAxis(int total, int maxSide, int margin) {
  if (total <= maxSide) return {total, {0}, {total}};
  if (maxSide <= 2 * margin) margin = 0;  // too tight for overlap: tiles just abut
  // At least two tiles from here on. Their common length is the shortest that still
  // overlaps neighbours by 2 × margin, rounded up to the network's stride; it never
  // exceeds maxSide when maxSide is itself aligned.
  const int step = maxSide - 2 * margin;
  const int count = (total - 2 * margin + step - 1) / step;
  const int shortest = (total + (count - 1) * 2 * margin + count - 1) / count;
  AxisPlan plan;
  plan.length = std::min({alignedUp(shortest), maxSide, total});
  for (int i = 0; i < count; ++i) {
    plan.starts.push_back(static_cast<int>(static_cast<long long>(total - plan.length) * i / (count - 1)));
  }
  for (std::size_t i = 1; i < plan.starts.size(); ++i) {
    plan.keptEnds.push_back((plan.starts[i - 1] + plan.length + plan.starts[i]) / 2);
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

}  // namespace quillfen::ppocr
