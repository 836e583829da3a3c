#include "recognition/layout/tables_in_place.h"

#include <gtest/gtest.h>

namespace quillfen::layout {
namespace {

using Lines = std::vector<std::vector<std::size_t>>;

// A page as an engine read it: its lines in the engine's order, each as pieces 20 pixels
// high, and the blocks of its layout.
struct Reading {
  std::vector<LineBox> boxes;
  std::vector<std::size_t> lineOf;
  PageLayout layout;
  std::size_t lines = 0;

  // A line of pieces (left edge, width) at height y; the ids of its pieces.
  std::vector<std::size_t> line(float y, std::vector<std::pair<float, float>> pieces) {
    std::vector<std::size_t> ids;
    for (auto [x, width] : pieces) {
      boxes.push_back({x, y, width, 20});
      lineOf.push_back(lines);
      ids.push_back(boxes.size() - 1);
    }
    ++lines;
    return ids;
  }
  void block(int x, int y, int width, int height, bool column, bool table = false) {
    TextBlock b;
    b.bounds = {x, y, width, height};
    b.lineCount = column ? 10 : 1;
    b.lineHeight = 20;
    b.filledShare = 0.9f;
    b.flowing = !table;
    b.table = table;
    layout.blocks.push_back(b);
  }
  Lines read() const { return withTablesInPlace(boxes, lineOf, layout); }
};

TEST(TablesInPlace, ATableReadColumnByColumnIsReadRowByRowWhereItStarts) {
  // No columns of text: a title, a table of three rows that the engine read column by
  // column, a note far below.
  Reading page;
  const auto title = page.line(0, {{0, 300}});
  std::vector<std::vector<std::size_t>> names, values;
  for (int r = 0; r < 3; ++r) names.push_back(page.line(50.0f + 30.0f * static_cast<float>(r), {{0, 80}}));
  for (int r = 0; r < 3; ++r) values.push_back(page.line(50.0f + 30.0f * static_cast<float>(r), {{150, 80}}));
  const auto note = page.line(300, {{0, 200}});
  EXPECT_EQ(
      page.read(),
      (Lines{title, {names[0][0], values[0][0]}, {names[1][0], values[1][0]}, {names[2][0], values[2][0]}, note}));
}

TEST(TablesInPlace, RunningTextKeepsTheEnginesOrderAndLines) {
  // Two columns of text, each line whole: the engine's order stands, even where a table
  // stage would see rows; a line in pieces stays one line.
  Reading page;
  page.block(0, 0, 300, 200, true);
  page.block(340, 0, 300, 200, true);
  Lines expected;
  for (int r = 0; r < 4; ++r) expected.push_back(page.line(22.0f * static_cast<float>(r), {{0, 290}}));
  for (int r = 0; r < 4; ++r) expected.push_back(page.line(22.0f * static_cast<float>(r), {{340, 290}}));
  expected.push_back(page.line(250, {{0, 100}, {500, 100}}));  // a footer: one line in two pieces
  EXPECT_EQ(page.read(), expected);
}

TEST(TablesInPlace, ATableTheLayoutTakesForTheTopOfTwoColumnsIsReadAcrossThem) {
  // The layout found two columns from the top of the page, each holding half of a table
  // (its lines in pieces) above the column's running text; the engine read the left
  // column, then the right.
  Reading page;
  page.block(0, 0, 300, 400, true);
  page.block(340, 0, 300, 400, true);
  std::vector<std::vector<std::size_t>> left, right, text;
  for (int r = 0; r < 3; ++r) left.push_back(page.line(24.0f * static_cast<float>(r), {{0, 80}, {150, 100}}));
  text.push_back(page.line(150, {{0, 295}}));
  text.push_back(page.line(172, {{0, 295}}));
  for (int r = 0; r < 3; ++r) right.push_back(page.line(24.0f * static_cast<float>(r), {{340, 80}, {500, 120}}));
  text.push_back(page.line(150, {{340, 295}}));
  text.push_back(page.line(172, {{340, 295}}));
  Lines expected;
  for (int r = 0; r < 3; ++r) expected.push_back({left[r][0], left[r][1], right[r][0], right[r][1]});
  for (const auto& line : text) expected.push_back(line);
  EXPECT_EQ(page.read(), expected);
}

TEST(TablesInPlace, AColumnBesideATableIsPartOfIt) {
  // The layout found the table's first columns as a table and its last, whose cells fill
  // their width, as a column of text; the engine read the table block first. Two columns
  // of running text follow below.
  Reading page;
  page.block(0, 0, 250, 100, false, true);
  page.block(300, 0, 200, 100, true);
  page.block(0, 150, 300, 200, true);
  page.block(340, 150, 300, 200, true);
  std::vector<std::vector<std::size_t>> cells, last, text;
  for (int r = 0; r < 4; ++r) cells.push_back(page.line(24.0f * static_cast<float>(r), {{0, 80}, {120, 100}}));
  for (int r = 0; r < 4; ++r) last.push_back(page.line(24.0f * static_cast<float>(r), {{300, 150}}));
  for (int r = 0; r < 3; ++r) text.push_back(page.line(160.0f + 22.0f * static_cast<float>(r), {{0, 290}}));
  for (int r = 0; r < 3; ++r) text.push_back(page.line(160.0f + 22.0f * static_cast<float>(r), {{340, 290}}));
  Lines expected;
  for (int r = 0; r < 4; ++r) expected.push_back({cells[r][0], cells[r][1], last[r][0]});
  for (const auto& line : text) expected.push_back(line);
  EXPECT_EQ(page.read(), expected);

  // Without the table block, the last column is running text beside pieces of lines.
  page.layout.blocks.erase(page.layout.blocks.begin());
  Lines asRead;
  for (const auto* part : {&cells, &last, &text}) {
    for (const auto& line : *part) asRead.push_back(line);
  }
  EXPECT_EQ(page.read(), asRead);
}

TEST(TablesInPlace, ABlockCalledATableThatHoldsNoneLeavesTheColumnBesideIt) {
  // The layout calls a justified column a table: wide word spaces cut some of its lines
  // into pieces, whose gaps do not line up. The column beside it stays running text. (Two
  // wide columns below.)
  Reading page;
  page.block(0, 0, 300, 100, false, true);
  page.block(340, 0, 300, 100, true);
  page.block(0, 150, 700, 200, true);
  page.block(740, 150, 700, 200, true);
  Lines expected;
  expected.push_back(page.line(0, {{0, 120}, {150, 150}}));
  expected.push_back(page.line(24, {{0, 300}}));
  expected.push_back(page.line(48, {{0, 60}, {90, 210}}));
  expected.push_back(page.line(72, {{0, 300}}));
  for (int r = 0; r < 4; ++r) expected.push_back(page.line(24.0f * static_cast<float>(r), {{340, 250}}));
  EXPECT_EQ(page.read(), expected);
}

TEST(TablesInPlace, LinesThatFillAColumnAreNoCellsOutsideIt) {
  // Below both columns' blocks: short pieces on the left beside lines on the right that
  // the layout left out of their column. The right lines fill a column's width, so they
  // are running text, and the rows are no table.
  Reading page;
  page.block(0, 0, 300, 200, true);
  page.block(340, 0, 300, 200, true);
  Lines expected;
  for (int r = 0; r < 3; ++r) expected.push_back(page.line(300.0f + 24.0f * static_cast<float>(r), {{20, 100}}));
  for (int r = 0; r < 3; ++r) expected.push_back(page.line(300.0f + 24.0f * static_cast<float>(r), {{340, 290}}));
  EXPECT_EQ(page.read(), expected);

  // Lines half as wide there would be a table's cells.
  Reading narrow = page;
  for (std::size_t id = 3; id < 6; ++id) narrow.boxes[id].width = 150;
  EXPECT_EQ(narrow.read(), (Lines{{0, 3}, {1, 4}, {2, 5}}));
}

}  // namespace
}  // namespace quillfen::layout
