#include "recognition/layout/block_order.h"

#include <algorithm>
#include <cmath>
#include <limits>

#include "recognition/layout/table_rows.h"
#include "recognition/median.h"

namespace quillfen::layout {
namespace {

constexpr float kMinCoveredShare = 0.2f;
constexpr float kSameRowDistance = 0.5f;  // of the median box height
constexpr float kJustAbove = 1.25f;       // of the median box height, from a column's top to a row's middle
constexpr float kSetOn = 0.5f;            // of the median box height, from a column's lowest box to the next

using Polygon = std::vector<Point>;
using Indices = std::vector<std::size_t>;

// One step of Sutherland-Hodgman: the polygon cut to the side of an edge of the box
// where `inside` holds, `cut` giving the crossing of a segment with that edge.
template <typename Inside, typename Cut>
Polygon clipped(const Polygon& polygon, Inside inside, Cut cut) {
  Polygon out;
  for (std::size_t i = 0; i < polygon.size(); ++i) {
    const Point& from = polygon[i];
    const Point& to = polygon[(i + 1) % polygon.size()];
    if (inside(to)) {
      if (!inside(from)) out.push_back(cut(from, to));
      out.push_back(to);
    } else if (inside(from)) {
      out.push_back(cut(from, to));
    }
  }
  return out;
}

float area(const Polygon& polygon) {
  double twice = 0;
  for (std::size_t i = 0; i < polygon.size(); ++i) {
    const Point& a = polygon[i];
    const Point& b = polygon[(i + 1) % polygon.size()];
    twice += static_cast<double>(a.x) * b.y - static_cast<double>(b.x) * a.y;
  }
  return static_cast<float>(std::abs(twice) / 2);
}

Polygon outlineOrBounds(const TextBlock& block) {
  if (block.outline.size() >= 3) return block.outline;
  const auto left = static_cast<float>(block.bounds.x), top = static_cast<float>(block.bounds.y);
  const auto right = left + static_cast<float>(block.bounds.width);
  const auto bottom = top + static_cast<float>(block.bounds.height);
  return {{left, top}, {right, top}, {right, bottom}, {left, bottom}};
}

// Whether the span from left to right lies within the area's width, give or take slack.
bool withinWidth(const PageArea& area, float left, float right, float slack) {
  return left >= static_cast<float>(area.x) - slack && right <= static_cast<float>(area.x + area.width) + slack;
}

// Lines set on below a column's block continue the column (the analysis leaves a column's
// last lines out when a caption beside them joins them into a block of their own): the
// loose boxes of the next row below the block, within its width (give or take a box
// height), whose tops lie within kSetOn box heights of the column's lowest box, move from
// loose to the column's members, and so on down.
void joinLinesSetOn(const PageLayout& layout, const std::vector<LineBox>& boxes, float medianHeight,
                    std::vector<Indices>& members, Indices& loose) {
  for (std::size_t b = 0; b < layout.blocks.size(); ++b) {
    if (members[b].empty()) continue;
    const PageArea& area = layout.blocks[b].bounds;
    const auto blockBottom = static_cast<float>(area.y + area.height);
    float bottom = 0;
    for (std::size_t id : members[b]) bottom = std::max(bottom, boxes[id].y + boxes[id].height);
    while (true) {
      auto setOn = [&](std::size_t id) {
        const LineBox& box = boxes[id];
        return withinWidth(area, box.x, box.x + box.width, medianHeight) &&
               middle(box) > std::max(bottom, blockBottom) && box.y <= bottom + kSetOn * medianHeight;
      };
      float rowMiddle = std::numeric_limits<float>::infinity();
      for (std::size_t id : loose) {
        if (setOn(id)) rowMiddle = std::min(rowMiddle, middle(boxes[id]));
      }
      if (rowMiddle == std::numeric_limits<float>::infinity()) break;
      Indices rest;
      float rowBottom = bottom;
      for (std::size_t id : loose) {
        if (setOn(id) && middle(boxes[id]) - rowMiddle <= kSameRowDistance * medianHeight) {
          members[b].push_back(id);
          rowBottom = std::max(rowBottom, boxes[id].y + boxes[id].height);
        } else {
          rest.push_back(id);
        }
      }
      loose = std::move(rest);
      bottom = rowBottom;
    }
  }
}

}  // namespace

float coveredShare(const LineBox& box, const TextBlock& block) {
  const float boxArea = box.width * box.height;
  if (boxArea <= 0) return 0;
  const float left = box.x, top = box.y, right = box.x + box.width, bottom = box.y + box.height;
  auto atX = [](float x) {
    return [x](const Point& a, const Point& b) { return Point{x, a.y + (b.y - a.y) * (x - a.x) / (b.x - a.x)}; };
  };
  auto atY = [](float y) {
    return [y](const Point& a, const Point& b) { return Point{a.x + (b.x - a.x) * (y - a.y) / (b.y - a.y), y}; };
  };
  Polygon part = outlineOrBounds(block);
  part = clipped(
      part, [&](const Point& p) { return p.x >= left; }, atX(left));
  part = clipped(
      part, [&](const Point& p) { return p.x <= right; }, atX(right));
  part = clipped(
      part, [&](const Point& p) { return p.y >= top; }, atY(top));
  part = clipped(
      part, [&](const Point& p) { return p.y <= bottom; }, atY(bottom));
  return part.size() < 3 ? 0 : area(part) / boxArea;
}

std::vector<std::size_t> columnOwners(const std::vector<LineBox>& boxes, const PageLayout& layout) {
  std::vector<std::size_t> owners;
  for (const LineBox& box : boxes) {
    float best = kMinCoveredShare;
    std::size_t owner = layout.blocks.size();
    for (std::size_t b = 0; b < layout.blocks.size(); ++b) {
      if (!isColumnOfText(layout.blocks[b])) continue;
      const float share = coveredShare(box, layout.blocks[b]);
      if (share >= best) {
        best = share;
        owner = b;
      }
    }
    owners.push_back(owner);
  }
  return owners;
}

std::vector<Indices> rowsOf(Indices ids, const std::vector<LineBox>& boxes, float medianHeight) {
  std::sort(ids.begin(), ids.end(), [&](std::size_t a, std::size_t b) { return middle(boxes[a]) < middle(boxes[b]); });
  std::vector<Indices> out;
  for (std::size_t id : ids) {
    if (!out.empty()) {
      const LineBox& first = boxes[out.back().front()];
      const float height = std::min({medianHeight, first.height, boxes[id].height});
      if (middle(boxes[id]) - middle(first) <= kSameRowDistance * height) {
        out.back().push_back(id);
        continue;
      }
    }
    out.emplace_back(Indices{id});
  }
  for (Indices& row : out) {
    std::sort(row.begin(), row.end(), [&](std::size_t a, std::size_t b) { return boxes[a].x < boxes[b].x; });
  }
  return out;
}

std::vector<Indices> orderByBlocks(const std::vector<LineBox>& boxes, const PageLayout& layout) {
  std::vector<Indices> members(layout.blocks.size());
  Indices loose;
  std::vector<float> heights;
  const std::vector<std::size_t> owners = columnOwners(boxes, layout);
  for (std::size_t id = 0; id < boxes.size(); ++id) {
    heights.push_back(boxes[id].height);
    (owners[id] < layout.blocks.size() ? members[owners[id]] : loose).push_back(id);
  }
  const float medianHeight = median(heights);

  joinLinesSetOn(layout, boxes, medianHeight, members, loose);

  // A loose row below a column's top, within its width and above the bottom of the
  // lowest column (its block's or its lowest line's) (a caption, a footnote) is read after
  // that column, the lowest such column first; the others (page furniture above or below
  // all columns) where they stand.
  float columnsBottom = 0, columnsTop = std::numeric_limits<float>::infinity();
  for (std::size_t b = 0; b < layout.blocks.size(); ++b) {
    if (!members[b].empty()) {
      columnsBottom =
          std::max(columnsBottom, static_cast<float>(layout.blocks[b].bounds.y + layout.blocks[b].bounds.height));
      columnsTop = std::min(columnsTop, static_cast<float>(layout.blocks[b].bounds.y));
    }
    for (std::size_t id : members[b]) columnsBottom = std::max(columnsBottom, boxes[id].y + boxes[id].height);
  }
  // Whether the span from left to right lies within column b's width (give or take a line
  // height).
  auto underColumn = [&](std::size_t b, float left, float right) {
    return !members[b].empty() && withinWidth(layout.blocks[b].bounds, left, right, medianHeight);
  };
  // Whether column b and the span from left to right overlap across the page.
  auto sharesWidth = [&](std::size_t b, float left, float right) {
    const PageArea& area = layout.blocks[b].bounds;
    return !members[b].empty() && left < static_cast<float>(area.x + area.width) && right > static_cast<float>(area.x);
  };
  // Loose boxes under two different columns are never one row (the first lines of two
  // columns, both left out of their blocks): rows are cut between them.
  auto bandOf = [&](std::size_t id) {
    const float centre = boxes[id].x + boxes[id].width / 2;
    for (std::size_t b = 0; b < layout.blocks.size(); ++b) {
      const PageArea& area = layout.blocks[b].bounds;
      if (underColumn(b, boxes[id].x, boxes[id].x + boxes[id].width) && centre >= static_cast<float>(area.x) &&
          centre <= static_cast<float>(area.x + area.width)) {
        return b;
      }
    }
    return layout.blocks.size();
  };
  // A table's rows are read whole (table_rows.h), across the columns below it too.
  Indices running;
  for (const Indices& column : members) running.insert(running.end(), column.begin(), column.end());
  std::vector<Indices> looseRows;
  for (OrderedRow& ordered : withTableRows(rowsOf(loose, boxes, medianHeight), boxes, running)) {
    if (ordered.tableRow()) {
      looseRows.push_back(std::move(ordered.ids));
      continue;
    }
    const Indices& row = ordered.ids;
    Indices piece;
    std::size_t pieceBand = layout.blocks.size();
    for (std::size_t id : row) {
      const std::size_t band = bandOf(id);
      if (band != layout.blocks.size() && pieceBand != layout.blocks.size() && band != pieceBand) {
        looseRows.push_back(std::move(piece));
        piece.clear();
      }
      if (band != layout.blocks.size()) pieceBand = band;
      piece.push_back(id);
    }
    looseRows.push_back(std::move(piece));
  }

  // A loose row just above a column (its middle within kJustAbove line heights of the top)
  // and within its width is that column's first line. Rows read just before a column's own
  // (its first lines, a caption over it) and just after them, top to bottom each.
  std::vector<std::vector<Indices>> before(layout.blocks.size());
  std::vector<std::vector<Indices>> after(layout.blocks.size());
  std::vector<Indices> standing;
  for (Indices& row : looseRows) {
    float left = std::numeric_limits<float>::infinity(), right = -left;
    for (std::size_t id : row) {
      left = std::min(left, boxes[id].x);
      right = std::max(right, boxes[id].x + boxes[id].width);
    }
    const float rowMiddle = middle(boxes[row.front()]);
    std::size_t column = layout.blocks.size();
    for (std::size_t b = 0; b < layout.blocks.size(); ++b) {
      const PageArea& area = layout.blocks[b].bounds;
      const bool inside =
          underColumn(b, left, right) && rowMiddle > static_cast<float>(area.y) && rowMiddle < columnsBottom;
      if (inside && (column == layout.blocks.size() || area.y > layout.blocks[column].bounds.y)) column = b;
    }
    if (column < layout.blocks.size()) {
      after[column].push_back(std::move(row));
      continue;
    }
    std::size_t below = layout.blocks.size();
    for (std::size_t b = 0; b < layout.blocks.size() && below == layout.blocks.size(); ++b) {
      const PageArea& area = layout.blocks[b].bounds;
      if (underColumn(b, left, right) && rowMiddle <= static_cast<float>(area.y) &&
          rowMiddle >= static_cast<float>(area.y) - kJustAbove * medianHeight) {
        below = b;
      }
    }
    if (below < layout.blocks.size()) {
      before[below].push_back(std::move(row));
      continue;
    }
    // A row below the columns' top that no column holds (a caption under a picture beside
    // a column) is read before the first column below it that shares some of its width,
    // or, with none below it (a caption at the columns' foot), after the last one that
    // does: not between the blocks of the column beside it.
    std::size_t next = layout.blocks.size(), last = layout.blocks.size();
    if (rowMiddle > columnsTop) {
      for (std::size_t b = 0; b < layout.blocks.size(); ++b) {
        if (!sharesWidth(b, left, right)) continue;
        if (next == layout.blocks.size() && static_cast<float>(layout.blocks[b].bounds.y) >= rowMiddle) next = b;
        last = b;
      }
    }
    if (next < layout.blocks.size()) {
      before[next].push_back(std::move(row));
      continue;
    }
    if (rowMiddle >= columnsBottom) last = layout.blocks.size();
    (last < layout.blocks.size() ? after[last] : standing).push_back(std::move(row));
  }

  std::size_t nextStanding = 0;
  std::vector<Indices> lines;
  auto standingAbove = [&](float top) {
    for (; nextStanding < standing.size(); ++nextStanding) {
      if (middle(boxes[standing[nextStanding].front()]) >= top) break;
      lines.push_back(standing[nextStanding]);
    }
  };
  for (std::size_t b = 0; b < layout.blocks.size(); ++b) {
    if (members[b].empty()) continue;
    standingAbove(static_cast<float>(layout.blocks[b].bounds.y));
    for (Indices& row : before[b]) lines.push_back(std::move(row));
    for (Indices& row : rowsOf(members[b], boxes, medianHeight)) lines.push_back(std::move(row));
    for (Indices& row : after[b]) lines.push_back(std::move(row));
  }
  standingAbove(std::numeric_limits<float>::infinity());
  return lines;
}

}  // namespace quillfen::layout
