#include "recognition/layout/table_rows.h"

#include <algorithm>
#include <iterator>
#include <limits>
#include <optional>

#include "recognition/median.h"

namespace quillfen::layout {
namespace {

using Indices = std::vector<std::size_t>;

// The boxes of the rows, in one list.
Indices boxesOf(const std::vector<Indices>& rows) {
  Indices ids;
  for (const Indices& row : rows) ids.insert(ids.end(), row.begin(), row.end());
  return ids;
}

// Rows of boxes taken together: the columns they fill and the reach of their midlines.
struct Band {
  Indices ids;
  std::vector<bool> columns;
  float highestMiddle = std::numeric_limits<float>::infinity();
  float lowestMiddle = -std::numeric_limits<float>::infinity();

  void add(const Band& band) {
    ids.insert(ids.end(), band.ids.begin(), band.ids.end());
    for (std::size_t c = 0; c < columns.size(); ++c) columns[c] = columns[c] || band.columns[c];
    highestMiddle = std::min(highestMiddle, band.highestMiddle);
    lowestMiddle = std::max(lowestMiddle, band.lowestMiddle);
  }
};

// Whether some's columns are some of other's, not all.
bool fewerColumns(const Band& some, const Band& other) {
  for (std::size_t c = 0; c < some.columns.size(); ++c) {
    if (some.columns[c] && !other.columns[c]) return false;
  }
  return some.columns != other.columns;
}

class Table {
 public:
  Table(const std::vector<LineBox>& boxes, float boxHeight, const Indices& runningText)
      : boxes_(boxes), boxHeight_(boxHeight), runningText_(runningText) {}

  // The left edges of the gutters between the boxes, left to right: vertical strips that
  // none of them covers.
  std::vector<float> gutters(Indices ids) const {
    if (ids.empty()) return {};
    std::sort(ids.begin(), ids.end(), [&](std::size_t a, std::size_t b) { return boxes_[a].x < boxes_[b].x; });
    std::vector<float> found;
    float reach = boxes_[ids.front()].x + boxes_[ids.front()].width;
    for (std::size_t id : ids) {
      if (boxes_[id].x > reach) found.push_back(reach);
      reach = std::max(reach, boxes_[id].x + boxes_[id].width);
    }
    return found;
  }

  // Whether row b follows row a closely enough to be in one table with it: at most
  // kMaxRowGap box heights below it, midline to midline (a table above a figure is not
  // one with the table below it).
  bool follows(const Indices& a, const Indices& b) const {
    float lowest = -std::numeric_limits<float>::infinity();
    for (std::size_t id : a) lowest = std::max(lowest, middle(boxes_[id]));
    return highestMiddle(b) - lowest <= kMaxRowGap * boxHeight_;
  }

  // Whether a box of running text has its centre within the bounds of the rows' boxes:
  // pieces of justified lines in two columns, with the columns between them, are no table.
  bool aroundRunningText(const Indices& a, const Indices& b) const {
    float left = std::numeric_limits<float>::infinity(), top = left, right = -left, bottom = -left;
    for (const Indices* row : {&a, &b}) {
      for (std::size_t id : *row) {
        left = std::min(left, boxes_[id].x);
        top = std::min(top, boxes_[id].y);
        right = std::max(right, boxes_[id].x + boxes_[id].width);
        bottom = std::max(bottom, boxes_[id].y + boxes_[id].height);
      }
    }
    return std::any_of(runningText_.begin(), runningText_.end(), [&](std::size_t id) {
      const float x = boxes_[id].x + boxes_[id].width / 2, y = middle(boxes_[id]);
      return x > left && x < right && y > top && y < bottom;
    });
  }

  // The column of a box: how many gutters (by their left edges) lie left of its centre.
  static std::size_t columnOf(const LineBox& box, const std::vector<float>& gutterEdges) {
    const float centre = box.x + box.width / 2;
    return static_cast<std::size_t>(
        std::count_if(gutterEdges.begin(), gutterEdges.end(), [centre](float edge) { return edge < centre; }));
  }

  // The columns of the rows, or none when they are not a table: fewer than kMinTableRows
  // rows, or fewer than two of them with boxes in two columns or more. A column that only
  // one row fills (a heading beside the table) is not the table's: its boxes are moved to
  // strays, and the columns found again without them.
  std::optional<std::vector<float>> columns(std::vector<Indices>& run, std::vector<Indices>& strays) const {
    if (run.size() < kMinTableRows) return std::nullopt;
    std::vector<float> edges = gutters(boxesOf(run));
    std::vector<std::size_t> rowsFilling(edges.size() + 1, 0);
    for (const Indices& row : run) {
      std::vector<bool> filled(edges.size() + 1, false);
      for (std::size_t id : row) filled[columnOf(boxes_[id], edges)] = true;
      for (std::size_t c = 0; c < filled.size(); ++c) rowsFilling[c] += filled[c] ? 1 : 0;
    }
    strays.assign(run.size(), {});
    for (std::size_t r = 0; r < run.size(); ++r) {
      auto lone = [&](std::size_t id) { return rowsFilling[columnOf(boxes_[id], edges)] == 1; };
      std::copy_if(run[r].begin(), run[r].end(), std::back_inserter(strays[r]), lone);
      run[r].erase(std::remove_if(run[r].begin(), run[r].end(), lone), run[r].end());
    }
    run.erase(std::remove_if(run.begin(), run.end(), [](const Indices& row) { return row.empty(); }), run.end());
    if (run.size() < kMinTableRows) return std::nullopt;
    edges = gutters(boxesOf(run));
    std::size_t spread = 0;
    for (const Indices& row : run) {
      const std::size_t first = columnOf(boxes_[row.front()], edges);
      if (std::any_of(row.begin(), row.end(), [&](std::size_t id) { return columnOf(boxes_[id], edges) != first; })) {
        ++spread;
      }
    }
    if (spread < 2) return std::nullopt;
    return edges;
  }

  // The table's rows, from its rows of boxes and its columns (by their gutters' left edges).
  std::vector<Indices> rowsOf(const std::vector<Indices>& run, const std::vector<float>& edges) const {
    auto column = [&](std::size_t id) { return columnOf(boxes_[id], edges); };
    // Rows close together are one band.
    std::vector<Band> bands;
    std::vector<std::size_t> lineOf(boxes_.size(), 0);  // each box's row of boxes, for the order in a cell
    for (std::size_t r = 0; r < run.size(); ++r) {
      Band band{run[r], std::vector<bool>(edges.size() + 1, false)};
      for (std::size_t id : run[r]) {
        lineOf[id] = r;
        band.columns[column(id)] = true;
        band.highestMiddle = std::min(band.highestMiddle, middle(boxes_[id]));
        band.lowestMiddle = std::max(band.lowestMiddle, middle(boxes_[id]));
      }
      if (!bands.empty() && band.highestMiddle - bands.back().lowestMiddle < kCloseRows * boxHeight_) {
        bands.back().add(band);
      } else {
        bands.push_back(std::move(band));
      }
    }
    // Whether each box of `of` has a box of `other` in its column, on its next line down
    // (below) or up.
    auto nextInColumn = [&](const Band& of, const Band& other, bool below) {
      return std::all_of(of.ids.begin(), of.ids.end(), [&](std::size_t id) {
        return std::any_of(other.ids.begin(), other.ids.end(), [&](std::size_t near) {
          const float drop = (middle(boxes_[near]) - middle(boxes_[id])) * (below ? 1.0f : -1.0f);
          return column(near) == column(id) && drop > 0 && drop <= kCellLinePitch * boxHeight_;
        });
      });
    };
    // A band that fills only some of the columns of the row above, each of its boxes on
    // the next line of that row's cell, continues that row; a band alone that fills only
    // some of the columns of the band below, each of its boxes on the line over one of
    // that band's, heads it (the first line of a cell taller than the cells set centred
    // beside it).
    std::vector<Band> rows;
    bool lastIsOneBand = false;
    for (Band& band : bands) {
      if (!rows.empty()) {
        Band& last = rows.back();
        const bool continues = fewerColumns(band, last) && nextInColumn(band, last, false);
        const bool headed = lastIsOneBand && fewerColumns(last, band) && nextInColumn(last, band, true);
        if (continues || headed) {
          last.add(band);
          lastIsOneBand = false;
          continue;
        }
      }
      rows.push_back(std::move(band));
      lastIsOneBand = true;
    }
    std::vector<Indices> out;
    for (Band& row : rows) {
      std::stable_sort(row.ids.begin(), row.ids.end(), [&](std::size_t a, std::size_t b) {
        if (column(a) != column(b)) return column(a) < column(b);
        if (lineOf[a] != lineOf[b]) return lineOf[a] < lineOf[b];
        return boxes_[a].x < boxes_[b].x;
      });
      out.push_back(std::move(row.ids));
    }
    return out;
  }

  float highestMiddle(const Indices& row) const {
    float highest = std::numeric_limits<float>::infinity();
    for (std::size_t id : row) highest = std::min(highest, middle(boxes_[id]));
    return highest;
  }

 private:
  const std::vector<LineBox>& boxes_;
  float boxHeight_;
  const Indices& runningText_;
};

}  // namespace

std::vector<OrderedRow> withTableRows(const std::vector<Indices>& rows, const std::vector<LineBox>& boxes,
                                      const Indices& runningText) {
  std::vector<float> heights;
  for (const Indices& row : rows) {
    for (std::size_t id : row) heights.push_back(boxes[id].height);
  }
  const Table table(boxes, median(heights), runningText);
  auto between = [&](std::size_t first, std::size_t last) {
    return std::vector<Indices>(rows.begin() + static_cast<std::ptrdiff_t>(first),
                                rows.begin() + static_cast<std::ptrdiff_t>(last));
  };
  auto gutterCount = [&](std::size_t first, std::size_t last) {
    return table.gutters(boxesOf(between(first, last))).size();
  };
  std::vector<OrderedRow> out;
  std::size_t tables = 0;
  for (std::size_t start = 0; start < rows.size();) {
    // The longest run of rows from here, each close below the one before with no running
    // text between them, whose boxes leave a gutter open, from a row that has a gutter of
    // its own (a title above a table would close its gutters).
    if (table.gutters(rows[start]).empty() || table.aroundRunningText(rows[start], rows[start])) {
      out.push_back({rows[start++], 0});
      continue;
    }
    std::size_t end = start + 1;
    while (end < rows.size() && table.follows(rows[end - 1], rows[end]) &&
           !table.aroundRunningText(rows[end - 1], rows[end]) && gutterCount(start, end + 1) > 0) {
      ++end;
    }
    // Up to kMaxAround rows at either end that close gutters the others leave open (a
    // running head, a title, a note) are not the table's: the run keeps the most gutters
    // that leaving them out gives.
    std::size_t first = start, most = gutterCount(start, end);
    for (std::size_t s = start + 1; s <= start + kMaxAround && s + kMinTableRows <= end; ++s) {
      if (const std::size_t count = gutterCount(s, end); count > most) {
        first = s;
        most = count;
      }
    }
    while (start < first) out.push_back({rows[start++], 0});
    std::size_t last = end;
    for (std::size_t e = end - 1; e + kMaxAround >= end && e >= start + kMinTableRows; --e) {
      if (const std::size_t count = gutterCount(start, e); count > most) {
        last = e;
        most = count;
      }
    }
    end = last;

    std::vector<Indices> run = between(start, end), strays;
    if (const std::optional<std::vector<float>> edges = table.columns(run, strays)) {
      // The table's rows, and what stood beside it where it stood.
      ++tables;
      std::vector<OrderedRow> part;
      for (Indices& row : table.rowsOf(run, *edges)) part.push_back({std::move(row), tables});
      for (Indices& row : strays) {
        if (!row.empty()) part.push_back({std::move(row), 0});
      }
      std::stable_sort(part.begin(), part.end(), [&](const OrderedRow& a, const OrderedRow& b) {
        return table.highestMiddle(a.ids) < table.highestMiddle(b.ids);
      });
      for (OrderedRow& row : part) out.push_back(std::move(row));
    } else {
      for (Indices& row : between(start, end)) out.push_back({std::move(row), 0});
    }
    start = end;
  }
  return out;
}

}  // namespace quillfen::layout
