#include "recognition/layout/tables_in_place.h"

#include <algorithm>

#include "recognition/layout/block_order.h"
#include "recognition/layout/table_rows.h"
#include "recognition/median.h"

namespace quillfen::layout {

using Indices = std::vector<std::size_t>;

namespace {

constexpr float kFilledColumn = 0.9f;  // of the widest column of running text

// Marks the boxes among ids that make a table by themselves (table_rows.h); whether any do.
bool markTables(const Indices& ids, const std::vector<LineBox>& boxes, float medianHeight, std::vector<bool>& marks) {
  bool any = false;
  for (const OrderedRow& row : withTableRows(rowsOf(ids, boxes, medianHeight), boxes)) {
    if (!row.tableRow()) continue;
    for (std::size_t id : row.ids) marks[id] = true;
    any = true;
  }
  return any;
}

// Whether one of the tables (indices of blocks) stands beside block b on most of its
// rows. The layout often finds only some of a table's columns as a table, and the others,
// whose cells of a few words fill their width, as columns of text.
bool besideTable(const PageLayout& layout, const Indices& tables, std::size_t b) {
  const PageArea& column = layout.blocks[b].bounds;
  for (std::size_t t : tables) {
    const PageArea& table = layout.blocks[t].bounds;
    const int overlapX = std::min(column.x + column.width, table.x + table.width) - std::max(column.x, table.x);
    const int overlapY = std::min(column.y + column.height, table.y + table.height) - std::max(column.y, table.y);
    if (overlapX <= 0 && 2 * overlapY >= column.height) return true;
  }
  return false;
}

bool centredIn(const LineBox& box, const PageArea& area) {
  const float x = box.x + box.width / 2, y = middle(box);
  return x >= static_cast<float>(area.x) && x <= static_cast<float>(area.x + area.width) &&
         y >= static_cast<float>(area.y) && y <= static_cast<float>(area.y + area.height);
}

}  // namespace

std::vector<Indices> withTablesInPlace(const std::vector<LineBox>& boxes, const std::vector<std::size_t>& lineOf,
                                       const PageLayout& pageLayout) {
  // Without columns side by side, the layout's blocks say nothing about running text: a
  // table's columns, each a block, look like columns of text.
  const PageLayout layout = hasColumns(pageLayout) ? pageLayout : PageLayout{};
  const std::vector<std::size_t> owners = columnOwners(boxes, layout);
  std::vector<float> heights;
  for (const LineBox& box : boxes) heights.push_back(box.height);
  const float medianHeight = median(heights);
  float columnWidth = 0;  // the widest column of running text's
  for (const TextBlock& block : layout.blocks) {
    if (isColumnOfText(block)) columnWidth = std::max(columnWidth, static_cast<float>(block.bounds.width));
  }
  // The columns' own tables, and the blocks called tables that hold one.
  std::vector<bool> tableInColumn(boxes.size(), false), scratch(boxes.size(), false);
  Indices tables;
  for (std::size_t b = 0; b < layout.blocks.size(); ++b) {
    Indices members;
    for (std::size_t id = 0; id < boxes.size(); ++id) {
      if (layout.blocks[b].table ? centredIn(boxes[id], layout.blocks[b].bounds) : owners[id] == b) {
        members.push_back(id);
      }
    }
    if (layout.blocks[b].table) {
      if (markTables(members, boxes, medianHeight, scratch)) tables.push_back(b);
    } else if (!members.empty()) {
      markTables(members, boxes, medianHeight, tableInColumn);
    }
  }
  Indices loose, running;
  for (std::size_t id = 0; id < boxes.size(); ++id) {
    // A line that fills a column's width is running text also where the layout leaves it
    // out of its column (as a block of one line).
    const bool inColumn =
        owners[id] < layout.blocks.size() && !tableInColumn[id] && !besideTable(layout, tables, owners[id]);
    const bool inText = inColumn || (columnWidth > 0 && boxes[id].width >= kFilledColumn * columnWidth);
    (inText ? running : loose).push_back(id);
  }
  // found[t - 1]: the rows of table t; tableOf[id]: the table box id is in, 0 for none.
  std::vector<std::vector<Indices>> found;
  Indices tableOf(boxes.size(), 0);
  for (OrderedRow& row : withTableRows(rowsOf(loose, boxes, medianHeight), boxes, running)) {
    if (!row.tableRow()) continue;
    if (row.table > found.size()) found.resize(row.table);
    for (std::size_t id : row.ids) tableOf[id] = row.table;
    found[row.table - 1].push_back(std::move(row.ids));
  }

  std::vector<Indices> lines;
  std::vector<bool> placed(found.size(), false);
  bool lineOpen = false;  // whether lines.back() is the line of the box before, to go on with
  for (std::size_t id = 0; id < boxes.size(); ++id) {
    if (const std::size_t table = tableOf[id]; table != 0) {
      if (!placed[table - 1]) {
        placed[table - 1] = true;
        for (Indices& row : found[table - 1]) lines.push_back(std::move(row));
        lineOpen = false;
      }
      continue;
    }
    if (lineOpen && lineOf[lines.back().back()] == lineOf[id]) {
      lines.back().push_back(id);
    } else {
      lines.push_back({id});
    }
    lineOpen = true;
  }
  return lines;
}

}  // namespace quillfen::layout
