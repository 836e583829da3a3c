#include "recognition/layout/page_layout.h"

#include <leptonica/allheaders.h>
#include <tesseract/baseapi.h>
#include <tesseract/pageiterator.h>

#include <algorithm>
#include <cmath>
#include <cstddef>
#include <memory>

#include "platform/quiet_standard_error.h"
#include "recognition/layout/layout_budget.h"
#include "recognition/median.h"

namespace quillfen::layout {
namespace {

constexpr int kMinColumnLines = 3;
constexpr float kMinColumnLineHeights = 8;
constexpr float kMinSideBySideOverlap = 0.5f;
// Running text fills its column: most lines reach across most of it. A table's cells,
// read as blocks, hold short lines of every length.
constexpr float kFilledLine = 0.6f;
constexpr float kMinFilledShare = 0.6f;

std::vector<Point> outlineOf(const tesseract::PageIterator& block) {
  std::vector<Point> outline;
  Pta* polygon = block.BlockPolygon();
  if (polygon == nullptr) return outline;
  for (l_int32 i = 0; i < ptaGetCount(polygon); ++i) {
    l_float32 x = 0, y = 0;
    ptaGetPt(polygon, i, &x, &y);
    outline.push_back({x, y});
  }
  ptaDestroy(&polygon);
  return outline;
}

}  // namespace

bool isColumnOfText(const TextBlock& block) {
  return block.flowing && block.lineCount >= kMinColumnLines &&
         static_cast<float>(block.bounds.width) >= kMinColumnLineHeights * block.lineHeight &&
         block.filledShare >= kMinFilledShare;
}

namespace {

bool sideBySide(const PageArea& a, const PageArea& b) {
  const int overlapY = std::min(a.y + a.height, b.y + b.height) - std::max(a.y, b.y);
  const int overlapX = std::min(a.x + a.width, b.x + b.width) - std::max(a.x, b.x);
  return overlapX <= 0 &&
         static_cast<float>(overlapY) >= kMinSideBySideOverlap * static_cast<float>(std::min(a.height, b.height));
}

// The layout of a page from an iterator over its blocks and lines.
PageLayout layoutOf(std::unique_ptr<tesseract::PageIterator> line) {
  PageLayout layout;
  if (!line) return layout;
  std::vector<float> heights;  // every text line's, block after block
  std::size_t blockStart = 0;  // where the current block's lines begin in heights
  int filled = 0;
  bool inText = false;
  auto closeBlock = [&] {
    if (inText) {
      TextBlock& block = layout.blocks.back();
      block.lineHeight =
          median(std::vector<float>(heights.begin() + static_cast<std::ptrdiff_t>(blockStart), heights.end()));
      block.filledShare = block.lineCount > 0 ? static_cast<float>(filled) / static_cast<float>(block.lineCount) : 0;
    }
    blockStart = heights.size();
    filled = 0;
  };
  do {
    if (line->IsAtBeginningOf(tesseract::RIL_BLOCK)) {
      closeBlock();
      inText = !PTIsImageType(line->BlockType()) && !PTIsLineType(line->BlockType());
      if (inText) {
        TextBlock block;
        int left = 0, top = 0, right = 0, bottom = 0;
        line->BoundingBox(tesseract::RIL_BLOCK, &left, &top, &right, &bottom);
        block.bounds = {left, top, right - left, bottom - top};
        block.outline = outlineOf(*line);
        block.flowing = line->BlockType() == tesseract::PT_FLOWING_TEXT;
        block.table = line->BlockType() == tesseract::PT_TABLE;
        layout.blocks.push_back(std::move(block));
      }
    }
    if (!inText) continue;
    int left = 0, top = 0, right = 0, bottom = 0;
    if (line->BoundingBox(tesseract::RIL_TEXTLINE, &left, &top, &right, &bottom)) {
      TextBlock& block = layout.blocks.back();
      ++block.lineCount;
      heights.push_back(static_cast<float>(bottom - top));
      if (static_cast<float>(right - left) >= kFilledLine * static_cast<float>(block.bounds.width)) ++filled;
    }
  } while (line->Next(tesseract::RIL_TEXTLINE));
  closeBlock();
  layout.lineHeight = median(std::move(heights));
  return layout;
}

}  // namespace

PageLayout analysePageLayout(Pix* page) {
  if (page == nullptr) return {};
  return analysedWithinBudget([page] { return unbudgetedPageLayout(page); });
}

PageLayout unbudgetedPageLayout(Pix* page) {
  if (page == nullptr) return {};
  platform::QuietStandardError quiet;
  tesseract::TessBaseAPI api;
  api.InitForAnalysePage();
  api.SetVariable("debug_file", "/dev/null");
  api.SetPageSegMode(tesseract::PSM_AUTO_ONLY);
  api.SetImage(page);
  return layoutOf(std::unique_ptr<tesseract::PageIterator>(api.AnalyseLayout()));
}

PageLayout analyseLayout(TesseractApi& api) {
  if (!api.findLines()) return {};
  return analysedWithinBudget(
      [&api] { return layoutOf(std::unique_ptr<tesseract::PageIterator>(api.AnalyseLayout())); });
}

PageLayout recognisedLayout(tesseract::TessBaseAPI& api) {
  return layoutOf(std::unique_ptr<tesseract::PageIterator>(api.GetIterator()));
}

PageLayout scaledLayout(PageLayout layout, float factor) {
  // Bounds grow from their corners, so that a block's right and bottom edges land where
  // the page's own pixels put them.
  auto scaled = [factor](int v) { return static_cast<int>(std::lround(static_cast<float>(v) * factor)); };
  for (TextBlock& block : layout.blocks) {
    const int right = scaled(block.bounds.x + block.bounds.width);
    const int bottom = scaled(block.bounds.y + block.bounds.height);
    block.bounds.x = scaled(block.bounds.x);
    block.bounds.y = scaled(block.bounds.y);
    block.bounds.width = right - block.bounds.x;
    block.bounds.height = bottom - block.bounds.y;
    for (Point& point : block.outline) point = {point.x * factor, point.y * factor};
    block.lineHeight *= factor;
  }
  layout.lineHeight *= factor;
  return layout;
}

bool hasColumns(const PageLayout& layout) {
  for (std::size_t i = 0; i < layout.blocks.size(); ++i) {
    if (!isColumnOfText(layout.blocks[i])) continue;
    for (std::size_t j = i + 1; j < layout.blocks.size(); ++j) {
      if (isColumnOfText(layout.blocks[j]) && sideBySide(layout.blocks[i].bounds, layout.blocks[j].bounds)) return true;
    }
  }
  return false;
}

bool mayHaveColumns(std::size_t linesRead) { return linesRead >= static_cast<std::size_t>(2 * kMinColumnLines); }

}  // namespace quillfen::layout
