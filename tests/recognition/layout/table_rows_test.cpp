#include "recognition/layout/table_rows.h"

#include <gtest/gtest.h>

namespace quillfen::layout {
namespace {

using Rows = std::vector<std::vector<std::size_t>>;

// Boxes 20 pixels high, rows of them as the row grouping gives them (top to bottom, each
// left to right), and what the table stage makes of them.
struct Page {
  std::vector<LineBox> boxes;
  Rows rows;

  std::size_t at(float x, float y, float width) {
    boxes.push_back({x, y, width, 20});
    return boxes.size() - 1;
  }
  Rows read(std::vector<bool>* tableRows = nullptr) const {
    Rows out;
    for (const OrderedRow& row : withTableRows(rows, boxes)) {
      out.push_back(row.ids);
      if (tableRows) tableRows->push_back(row.tableRow());
    }
    return out;
  }
};

TEST(TableRows, CellsSetFromTheTopRunOnIntoTheirRow) {
  // Three columns; lines 18 pixels apart, rows as far apart as lines: only which cells
  // go on tells the rows apart.
  Page page;
  const std::size_t id1 = page.at(0, 0, 80), status1 = page.at(120, 0, 70), outcome1 = page.at(240, 0, 90);
  const std::size_t date1 = page.at(0, 18, 90), outcome1b = page.at(240, 18, 60);
  const std::size_t id2 = page.at(0, 36, 80), status2 = page.at(120, 36, 70), outcome2 = page.at(240, 36, 90);
  const std::size_t date2 = page.at(0, 54, 90);
  const std::size_t id3 = page.at(0, 72, 80), status3 = page.at(120, 72, 70), outcome3 = page.at(240, 72, 90);
  page.rows = {
      {id1, status1, outcome1}, {date1, outcome1b}, {id2, status2, outcome2}, {date2}, {id3, status3, outcome3}};
  std::vector<bool> tableRows;
  EXPECT_EQ(
      page.read(&tableRows),
      (Rows{{id1, date1, status1, outcome1, outcome1b}, {id2, date2, status2, outcome2}, {id3, status3, outcome3}}));
  EXPECT_EQ(tableRows, (std::vector<bool>{true, true, true}));
}

TEST(TableRows, CellsSetCentredBesideATallerCellAreItsRow) {
  // The middle column's cell has three lines, 19 pixels apart; the name and the last
  // column are one line each, set between its first two. Above and below: rows of one
  // line each, 30 pixels apart.
  Page page;
  const std::size_t nameA = page.at(0, 0, 80), textA = page.at(120, 0, 100), endA = page.at(260, 0, 60);
  const std::size_t text1 = page.at(120, 30, 100);
  const std::size_t name = page.at(0, 40, 80), text2 = page.at(120, 49, 100), end = page.at(260, 40, 60);
  const std::size_t text3 = page.at(120, 68, 100);
  const std::size_t nameB = page.at(0, 100, 80), textB = page.at(120, 100, 100), endB = page.at(260, 100, 60);
  page.rows = {{nameA, textA, endA}, {text1}, {name, end}, {text2}, {text3}, {nameB, textB, endB}};
  EXPECT_EQ(page.read(), (Rows{{nameA, textA, endA}, {name, text1, text2, text3, end}, {nameB, textB, endB}}));
}

TEST(TableRows, RowsOfOneLineStayApart) {
  // A receipt-like table whose rows stand more than a line apart: a row without its last
  // cell does not run on into the row above (nor heads the one below).
  Page page;
  Rows rows;
  for (int r = 0; r < 4; ++r) {
    const float y = 26.0f * static_cast<float>(r);
    rows.push_back({page.at(0, y, 100)});
    if (r != 2) rows.back().push_back(page.at(200, y, 40));
  }
  page.rows = rows;
  EXPECT_EQ(page.read(), rows);
}

TEST(TableRows, WhatStandsAroundATableIsNotPartOfIt) {
  Page page;
  const std::size_t title = page.at(0, 0, 260);                                // over the columns
  const std::size_t label = page.at(0, 30, 60), unit = page.at(240, 30, 290);  // "Table 1" ... "(in mm)"
  Rows rows = {{title}, {label, unit}};
  for (int r = 0; r < 3; ++r) {
    const float y = 70.0f + 30.0f * static_cast<float>(r);
    rows.push_back({page.at(0, y, 80), page.at(120, y, 60), page.at(220, y, 60)});
  }
  // A heading in the next column, on the last row's line.
  const std::size_t heading = page.at(520, 130, 100);
  rows.back().push_back(heading);
  // Far below, a second table.
  for (int r = 0; r < 3; ++r) {
    const float y = 300.0f + 30.0f * static_cast<float>(r);
    rows.push_back({page.at(0, y, 80), page.at(120, y, 60)});
  }
  page.rows = rows;

  std::vector<bool> tableRows;
  const Rows read = page.read(&tableRows);
  std::vector<std::size_t> lastRowWithoutHeading = rows[4];
  lastRowWithoutHeading.pop_back();
  const std::vector<std::size_t> headingAlone = {heading};
  EXPECT_EQ(read,
            (Rows{rows[0], rows[1], rows[2], rows[3], lastRowWithoutHeading, headingAlone, rows[5], rows[6], rows[7]}));
  EXPECT_EQ(tableRows, (std::vector<bool>{false, false, true, true, true, false, true, true, true}));
  // Each table's rows say which table they are of.
  std::vector<std::size_t> tables;
  for (const OrderedRow& row : withTableRows(page.rows, page.boxes)) tables.push_back(row.table);
  EXPECT_EQ(tables, (std::vector<std::size_t>{0, 0, 1, 1, 1, 0, 2, 2, 2}));
}

TEST(TableRows, PiecesOfLinesOnEitherSideOfRunningTextAreNoTable) {
  // Loose pieces of justified lines in a left and a right column line up like cells, but
  // the column between them is running text.
  Page page;
  std::vector<std::size_t> running;
  for (int r = 0; r < 4; ++r) {
    const float y = 22.0f * static_cast<float>(r);
    page.rows.push_back({page.at(0, y, 60), page.at(400, y, 40), page.at(460, y, 60)});
    running.push_back(page.at(100, y, 280));
  }
  const std::vector<OrderedRow> read = withTableRows(page.rows, page.boxes, running);
  ASSERT_EQ(read.size(), page.rows.size());
  for (std::size_t r = 0; r < read.size(); ++r) {
    EXPECT_EQ(read[r].ids, page.rows[r]);
    EXPECT_FALSE(read[r].tableRow());
  }
  // Without the running text between them, they would be taken for a table.
  EXPECT_TRUE(withTableRows(page.rows, page.boxes).front().tableRow());
}

TEST(TableRows, TooFewRowsOrOneColumnAreNoTable) {
  Page page;
  page.rows = {{page.at(0, 0, 80), page.at(120, 0, 60)}, {page.at(0, 18, 90)}};
  std::vector<bool> tableRows;
  EXPECT_EQ(page.read(&tableRows), page.rows);
  EXPECT_EQ(tableRows, (std::vector<bool>{false, false}));

  Page column;
  column.rows = {{column.at(0, 0, 300)}, {column.at(0, 18, 280)}, {column.at(0, 36, 300)}};
  EXPECT_EQ(column.read(), column.rows);
  EXPECT_TRUE(withTableRows({}, {}).empty());
}

}  // namespace
}  // namespace quillfen::layout
