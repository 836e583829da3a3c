#include "recognition/ppocr/reading_order.h"

#include <algorithm>
#include <cmath>
#include <optional>

#include "recognition/median.h"

namespace quillfen::ppocr {
namespace {

using Indices = std::vector<std::size_t>;

struct Gutter {
  float start, end;
  float width() const { return end - start; }
};

// Two boxes are on the same row when they overlap vertically by half the smaller height.
constexpr float kSameRowOverlap = 0.5f;
// Column split rules, see Layout::isColumnLayout.
constexpr float kMinPartneredShare = 0.5f;
constexpr float kMinColumnLineAspect = 6.0f;
constexpr float kMinColumnFill = 0.6f;
constexpr float kMinColumnWidthShare = 0.5f;
constexpr float kMinSideBySide = 0.5f;
// Boxes shorter than this many thicknesses take the page's direction when rows are grouped.
constexpr float kMinRowDirectionLength = 6.0f;

float verticalOverlap(float topA, float bottomA, float topB, float bottomB) {
  return std::min(bottomA, bottomB) - std::max(topA, topB);
}

float dot(cv::Point2f a, cv::Point2f b) { return a.x * b.x + a.y * b.y; }

// The boxes with a direction each: those shorter than minLength thicknesses take the
// median direction of those at least two thicknesses long (level when there are none).
std::vector<OrderBox> directed(std::vector<OrderBox> boxes, float minLength) {
  auto length = [](const OrderBox& box) {
    return box.thickness > 0 ? std::max(box.bounds.width, box.bounds.height) / box.thickness : 0.0f;
  };
  std::vector<float> angles;
  for (const OrderBox& box : boxes) {
    if (length(box) >= 2) angles.push_back(std::atan2(box.direction.y, box.direction.x));
  }
  const float angle = median(angles);
  for (OrderBox& box : boxes) {
    if (length(box) < minLength) box.direction = {std::cos(angle), std::sin(angle)};
  }
  return boxes;
}

// Whether the ink of b lies on a's row, as rows are grouped (see Layout::rows).
bool onOneRow(const OrderBox& a, const OrderBox& b) {
  const cv::Point2f across(-a.direction.y, a.direction.x);
  const float offset = dot(b.centre - a.centre, across);
  const float halfA = kInkShare * a.thickness / 2, halfB = kInkShare * b.thickness / 2;
  return verticalOverlap(-halfA, halfA, offset - halfB, offset + halfB) >= kSameRowOverlap * 2 * std::min(halfA, halfB);
}

class Layout {
 public:
  // Rows are grouped along directions taken from long boxes only: a short box's own slope
  // is too rough to follow across a page (a receipt's price 400 px from its item). Whether
  // a box has a partner across a gutter is judged along its own slope, which stays close
  // to the box (the faces of a display stand are tilted differently).
  explicit Layout(const std::vector<OrderBox>& boxes)
      : rowBoxes_(directed(boxes, kMinRowDirectionLength)), ownBoxes_(directed(boxes, 2)) {
    for (const OrderBox& box : boxes) boxes_.push_back(box.bounds);
  }

  // Appends the lines of the boxes ids to lines, in reading order.
  void read(const Indices& ids, std::vector<Indices>& lines) const {
    if (ids.empty()) return;
    std::vector<Indices> rowList = rows(ids);
    // Consecutive rows stay in one block while their boxes leave a vertical gutter
    // open, or while none of them has one.
    Indices block = rowList.front();
    for (std::size_t r = 1; r < rowList.size(); ++r) {
      Indices merged = block;
      merged.insert(merged.end(), rowList[r].begin(), rowList[r].end());
      const bool bothPlain = gutters(block).empty() && gutters(rowList[r]).empty();
      if (bothPlain || !gutters(merged).empty()) {
        block = std::move(merged);
      } else {
        readBlock(block, lines);
        block = rowList[r];
      }
    }
    readBlock(block, lines);
  }

 private:
  const cv::Rect2f& box(std::size_t id) const { return boxes_[id]; }

  void readBlock(const Indices& block, std::vector<Indices>& lines) const {
    if (std::optional<std::vector<Indices>> columnList = columns(block)) {
      for (const Indices& column : *columnList) read(column, lines);
      return;
    }
    for (Indices& row : rows(block)) lines.push_back(std::move(row));
  }

  // The boxes grouped into rows, top to bottom, each row along its text. A row runs in
  // the direction of the box that started it (the topmost); a box joins the row whose
  // extent across that direction its ink overlaps most, by at least kSameRowOverlap of the
  // thinner of the two.
  std::vector<Indices> rows(Indices ids) const {
    std::sort(ids.begin(), ids.end(), [&](std::size_t a, std::size_t b) {
      const cv::Point2f ca = rowBoxes_[a].centre, cb = rowBoxes_[b].centre;
      return ca.y != cb.y ? ca.y < cb.y : ca.x < cb.x;
    });
    struct Row {
      Indices ids;
      cv::Point2f origin, direction, across;
      float top, bottom;  // across the direction, from the origin
    };
    std::vector<Row> found;
    for (std::size_t id : ids) {
      const OrderBox& b = rowBoxes_[id];
      const float half = kInkShare * b.thickness / 2;
      Row* best = nullptr;
      float bestShare = kSameRowOverlap;
      float bestOffset = 0;
      for (Row& row : found) {
        const float offset = dot(b.centre - row.origin, row.across);
        const float height = std::min(2 * half, row.bottom - row.top);
        if (height <= 0) continue;
        const float share = verticalOverlap(offset - half, offset + half, row.top, row.bottom) / height;
        if (share >= bestShare) {
          best = &row;
          bestShare = share;
          bestOffset = offset;
        }
      }
      if (best == nullptr) {
        const cv::Point2f across(-b.direction.y, b.direction.x);
        found.push_back({{id}, b.centre, b.direction, across, -half, half});
      } else {
        best->ids.push_back(id);
        best->top = std::min(best->top, bestOffset - half);
        best->bottom = std::max(best->bottom, bestOffset + half);
      }
    }
    auto middle = [](const Row& row) { return row.origin.y + row.across.y * (row.top + row.bottom) / 2; };
    std::sort(found.begin(), found.end(), [&](const Row& a, const Row& b) { return middle(a) < middle(b); });
    std::vector<Indices> result;
    for (Row& row : found) {
      std::sort(row.ids.begin(), row.ids.end(), [&](std::size_t a, std::size_t b) {
        return dot(rowBoxes_[a].centre, row.direction) < dot(rowBoxes_[b].centre, row.direction);
      });
      result.push_back(std::move(row.ids));
    }
    return result;
  }

  // The vertical strips between the boxes' leftmost and rightmost edges that no box
  // covers, widest first.
  std::vector<Gutter> gutters(Indices ids) const {
    std::sort(ids.begin(), ids.end(), [&](std::size_t a, std::size_t b) { return box(a).x < box(b).x; });
    std::vector<Gutter> found;
    float reach = box(ids.front()).x + box(ids.front()).width;
    for (std::size_t id : ids) {
      if (box(id).x > reach) found.push_back({reach, box(id).x});
      reach = std::max(reach, box(id).x + box(id).width);
    }
    std::stable_sort(found.begin(), found.end(),
                     [](const Gutter& a, const Gutter& b) { return a.width() > b.width(); });
    return found;
  }

  // The block split at the given gutters, left to right.
  std::vector<Indices> split(const Indices& block, std::vector<Gutter> cuts) const {
    std::sort(cuts.begin(), cuts.end(), [](const Gutter& a, const Gutter& b) { return a.start < b.start; });
    std::vector<Indices> parts(cuts.size() + 1);
    for (std::size_t id : block) {
      std::size_t part = 0;
      while (part < cuts.size() && box(id).x >= cuts[part].end) ++part;
      parts[part].push_back(id);
    }
    return parts;
  }

  // Text columns to read one after the other, when the block has them: split at all its
  // gutters at once (pages with three or more columns), else at one gutter, widest first.
  std::optional<std::vector<Indices>> columns(const Indices& block) const {
    const std::vector<Gutter> all = gutters(block);
    if (all.empty()) return std::nullopt;
    std::vector<std::vector<Gutter>> candidates;
    if (all.size() > 1) candidates.push_back(all);
    for (const Gutter& gutter : all) candidates.push_back({gutter});
    for (const std::vector<Gutter>& cuts : candidates) {
      std::vector<Indices> parts = split(block, cuts);
      if (isColumnLayout(parts)) return parts;
    }
    return std::nullopt;
  }

  // Parts side by side (neighbours overlap vertically by kMinSideBySide of the shorter:
  // a badge above a block of text is not a column beside it) are columns when each spans
  // at least two rows and either
  //  - their rows do not line up (most boxes of the smaller part of each neighbouring pair
  //    have no box beside them in the other), or
  //  - every part is a column of running text: long lines (median width at least 6
  //    heights) that mostly fill the part's width, and parts of comparable widths.
  // Receipts and tables fail both: their cells line up, and prices and figures are short.
  bool isColumnLayout(const std::vector<Indices>& parts) const {
    for (const Indices& part : parts) {
      if (rows(part).size() < 2) return false;
    }
    for (std::size_t p = 0; p + 1 < parts.size(); ++p) {
      const cv::Rect2f a = extent(parts[p]), b = extent(parts[p + 1]);
      if (verticalOverlap(a.y, a.y + a.height, b.y, b.y + b.height) < kMinSideBySide * std::min(a.height, b.height)) {
        return false;
      }
    }
    bool unaligned = true;
    for (std::size_t p = 0; p + 1 < parts.size(); ++p) {
      unaligned = unaligned && partneredShare(parts[p], parts[p + 1]) < kMinPartneredShare;
    }
    if (unaligned) return true;

    float widest = 0;
    for (const Indices& part : parts) widest = std::max(widest, extent(part).width);
    for (const Indices& part : parts) {
      std::vector<float> aspects, widths;
      for (std::size_t id : part) {
        aspects.push_back(box(id).width / std::max(box(id).height, 1.0f));
        widths.push_back(box(id).width);
      }
      const float width = extent(part).width;
      if (median(aspects) < kMinColumnLineAspect || median(widths) < kMinColumnFill * width ||
          width < kMinColumnWidthShare * widest) {
        return false;
      }
    }
    return true;
  }

  // The share of the smaller part's boxes that have a box of the other part on their row.
  float partneredShare(const Indices& a, const Indices& b) const {
    const Indices& fewer = a.size() <= b.size() ? a : b;
    const Indices& other = a.size() <= b.size() ? b : a;
    std::size_t partnered = 0;
    for (std::size_t s : fewer) {
      for (std::size_t o : other) {
        if (onOneRow(ownBoxes_[s], ownBoxes_[o])) {
          ++partnered;
          break;
        }
      }
    }
    return static_cast<float>(partnered) / static_cast<float>(fewer.size());
  }

  cv::Rect2f extent(const Indices& ids) const {
    cv::Rect2f all = box(ids.front());
    for (std::size_t id : ids) all |= box(id);
    return all;
  }

  std::vector<OrderBox> rowBoxes_;
  std::vector<OrderBox> ownBoxes_;
  std::vector<cv::Rect2f> boxes_;
};

}  // namespace

OrderBox levelBox(const cv::Rect2f& bounds) {
  return {bounds, {bounds.x + bounds.width / 2, bounds.y + bounds.height / 2}, {1, 0}, bounds.height};
}

std::vector<std::vector<std::size_t>> readingOrder(const std::vector<OrderBox>& boxes) {
  Indices all(boxes.size());
  for (std::size_t i = 0; i < boxes.size(); ++i) all[i] = i;
  std::vector<Indices> lines;
  Layout(boxes).read(all, lines);
  return lines;
}

std::vector<std::vector<std::size_t>> readingOrder(const std::vector<cv::Rect2f>& boxes) {
  std::vector<OrderBox> level;
  for (const cv::Rect2f& box : boxes) level.push_back(levelBox(box));
  return readingOrder(level);
}

}  // namespace quillfen::ppocr
