#include "recognition/layout/page_columns.h"

#include <leptonica/allheaders.h>

#include <algorithm>
#include <optional>

#include "recognition/picture/pix_clip.h"

namespace quillfen::layout {
using picture::clipped;
using picture::PixPtr;

namespace {

// At most this share of the text lines may cross a gutter (titles, footers).
constexpr double kCrossingShare = 0.3;
// Each side of a gutter holds at least this share of the inked width.
constexpr double kSideShare = 0.3;
// Most lines of running text fill at least this share of their column.
constexpr double kFilledShare = 0.6;

struct InkRun {
  int start = 0, end = 0;  // [start, end)
  int length() const { return end - start; }
};

// The values of a Leptonica count array, which is freed.
std::vector<int> counts(Numa* numa) {
  std::vector<int> out;
  if (numa == nullptr) return out;
  for (l_int32 i = 0; i < numaGetCount(numa); ++i) {
    l_int32 value = 0;
    numaGetIValue(numa, i, &value);
    out.push_back(value);
  }
  numaDestroy(&numa);
  return out;
}

// The runs of entries above zero.
std::vector<InkRun> inkedRuns(const std::vector<int>& values) {
  std::vector<InkRun> out;
  const int size = static_cast<int>(values.size());
  for (int i = 0; i < size;) {
    if (values[static_cast<std::size_t>(i)] <= 0) {
      ++i;
      continue;
    }
    InkRun run{i, i};
    while (run.end < size && values[static_cast<std::size_t>(run.end)] > 0) ++run.end;
    out.push_back(run);
    i = run.end;
  }
  return out;
}

// Ink as 1 bits: Otsu's threshold over the whole picture, inverted when most of it
// comes out as ink (light text on a dark ground).
PixPtr inkOf(Pix* picture) {
  const PixPtr gray(pixConvertTo8(picture, 0));
  if (!gray) return nullptr;
  Pix* binary = nullptr;
  if (pixOtsuAdaptiveThreshold(gray.get(), static_cast<l_int32>(pixGetWidth(gray.get())),
                               static_cast<l_int32>(pixGetHeight(gray.get())), 0, 0, 0.0f, nullptr, &binary) != 0) {
    return nullptr;
  }
  PixPtr ink(binary);
  l_float32 fraction = 0;
  pixForegroundFraction(ink.get(), &fraction);
  if (fraction > 0.5f) pixInvert(ink.get(), ink.get());
  return ink;
}

// A text line of the page: its rows, and the columns its ink covers, counting gaps no
// wider than its height (spaces between letters and words) as covered.
struct Line {
  InkRun rows;
  std::vector<char> covered;

  Line(InkRun lineRows, const std::vector<int>& columnInk) : rows(lineRows), covered(columnInk.size(), 0) {
    int lastInk = -1;
    for (int x = 0; x < static_cast<int>(columnInk.size()); ++x) {
      if (columnInk[static_cast<std::size_t>(x)] == 0) continue;
      const int from = lastInk >= 0 && x - lastInk <= rows.length() ? lastInk + 1 : x;
      std::fill(covered.begin() + from, covered.begin() + x + 1, 1);
      lastInk = x;
    }
  }
  bool covers(int x) const { return covered[static_cast<std::size_t>(x)] != 0; }
  bool inks(const InkRun& columns) const {
    return std::any_of(covered.begin() + columns.start, covered.begin() + columns.end, [](char c) { return c != 0; });
  }
  // The share of the columns the line covers: near 1 for a line of running text, low for
  // a row of table cells.
  double filled(const InkRun& columns) const {
    return static_cast<double>(std::count(covered.begin() + columns.start, covered.begin() + columns.end, 1)) /
           std::max(1, columns.length());
  }
};

std::vector<Line> linesOf(Pix* ink) {
  const int width = static_cast<int>(pixGetWidth(ink));
  std::vector<Line> lines;
  for (const InkRun& rows : inkedRuns(counts(pixCountPixelsByRow(ink, nullptr)))) {
    const PixPtr band = clipped(ink, 0, rows.start, width, rows.length());
    if (band) lines.emplace_back(rows, counts(pixCountPixelsByColumn(band.get())));
  }
  return lines;
}

// The median height of the lines with ink within the columns, when they hold running
// text: at least three lines there, most of them filling the width, which is at least
// minLineLengths line heights. 0 otherwise.
int runningTextHeight(const std::vector<Line>& lines, const InkRun& columns, double minLineLengths) {
  std::vector<double> fills;
  std::vector<int> heights;
  for (const Line& line : lines) {
    if (!line.inks(columns)) continue;
    fills.push_back(line.filled(columns));
    heights.push_back(line.rows.length());
  }
  if (fills.size() < 3) return 0;
  const auto middle = static_cast<std::ptrdiff_t>(fills.size() / 2);
  std::nth_element(fills.begin(), fills.begin() + middle, fills.end());
  std::nth_element(heights.begin(), heights.begin() + middle, heights.end());
  const int height = heights[static_cast<std::size_t>(middle)];
  const bool running =
      fills[static_cast<std::size_t>(middle)] >= kFilledShare && columns.length() >= minLineLengths * height;
  return running ? height : 0;
}

// The core of the widest gutter between [first, last) with running text on both sides,
// if there is one.
std::optional<InkRun> gutter(const std::vector<Line>& lines, int first, int last, double minLineLengths) {
  // How many lines have ink in each column; a gutter is where few do.
  std::vector<int> crossing(static_cast<std::size_t>(last), 0);
  for (const Line& line : lines) {
    for (int x = first; x < last; ++x) crossing[static_cast<std::size_t>(x)] += line.covers(x);
  }
  const int allowed = static_cast<int>(kCrossingShare * static_cast<double>(lines.size()));
  std::vector<int> quiet(crossing.size());
  std::transform(crossing.begin(), crossing.end(), quiet.begin(), [&](int n) { return n > allowed ? 0 : 1; });
  std::optional<InkRun> best;
  for (const InkRun& gap : inkedRuns(quiet)) {
    if (gap.start <= first || gap.end >= last) continue;  // margins, not gutters
    const InkRun left{first, gap.start};
    const InkRun right{gap.end, last};
    if (std::min(left.length(), right.length()) < kSideShare * (last - first)) continue;
    const int leftHeight = runningTextHeight(lines, left, minLineLengths);
    const int rightHeight = runningTextHeight(lines, right, minLineLengths);
    if (leftHeight == 0 || rightHeight == 0) continue;
    if (gap.length() < std::max(leftHeight, rightHeight)) continue;  // a word space, not a gutter
    if (!best || gap.length() > best->length()) best = gap;
  }
  if (!best) return std::nullopt;
  // Its core: the widest stretch crossed by the fewest lines, clear of column lines that
  // reach into the gutter.
  const auto fewest = *std::min_element(crossing.begin() + best->start, crossing.begin() + best->end);
  std::vector<int> clear(crossing.size(), 0);
  for (int x = best->start; x < best->end; ++x)
    clear[static_cast<std::size_t>(x)] = crossing[static_cast<std::size_t>(x)] == fewest;
  const std::vector<InkRun> cores = inkedRuns(clear);
  return *std::max_element(cores.begin(), cores.end(),
                           [](const InkRun& a, const InkRun& b) { return a.length() < b.length(); });
}

}  // namespace

std::vector<PageArea> pageColumns(Pix* picture, double minLineLengths) {
  const int width = static_cast<int>(pixGetWidth(picture));
  const int height = static_cast<int>(pixGetHeight(picture));
  const std::vector<PageArea> whole = {{0, 0, width, height}};
  const PixPtr ink = inkOf(picture);
  if (!ink) return whole;
  const std::vector<InkRun> inked = inkedRuns(counts(pixCountPixelsByColumn(ink.get())));
  if (inked.empty()) return whole;
  const std::vector<Line> lines = linesOf(ink.get());
  const auto split = gutter(lines, inked.front().start, inked.back().end, minLineLengths);
  if (!split) return whole;

  // Bands of consecutive lines that all cross the gutter or all keep to their column,
  // cut midway between lines; crossing bands are read across, the others column by column.
  const int middle = (split->start + split->end) / 2;
  std::vector<PageArea> areas;
  int top = 0;
  for (std::size_t i = 0; i < lines.size(); ++i) {
    const bool crosses = lines[i].inks(*split);
    if (i + 1 < lines.size() && lines[i + 1].inks(*split) == crosses) continue;
    const int bottom = i + 1 < lines.size() ? (lines[i].rows.end + lines[i + 1].rows.start) / 2 : height;
    if (crosses) {
      areas.push_back({0, top, width, bottom - top});
    } else {
      areas.push_back({0, top, middle, bottom - top});
      areas.push_back({middle, top, width - middle, bottom - top});
    }
    top = bottom;
  }
  return areas;
}

}  // namespace quillfen::layout
