// The layout analysis within its processor-time budget: an analysis that ends gives its
// layout, one that does not end gives none, and the tool goes on either way.
#include "recognition/layout/layout_budget.h"

#include <gtest/gtest.h>

#include <chrono>

namespace quillfen::layout {
namespace {

TEST(LayoutBudget, AnAnalysisThatEndsGivesItsLayout) {
  const PageLayout layout = analysedWithinBudget([] {
    PageLayout page;
    page.blocks.resize(3);
    page.blocks[1].lineCount = 12;
    page.blocks[2].outline = {{1, 2}, {3, 4}};
    return page;
  });
  ASSERT_EQ(layout.blocks.size(), 3u);
  EXPECT_EQ(layout.blocks[1].lineCount, 12);
  EXPECT_EQ(layout.blocks[2].outline.size(), 2u);
}

TEST(LayoutBudget, AnAnalysisThatDoesNotEndGivesNoLayout) {
  volatile bool forever = true;
  const auto start = std::chrono::steady_clock::now();
  const PageLayout layout = analysedWithinBudget([&] {
    while (forever) {}
    return PageLayout{{TextBlock{}}};
  });
  EXPECT_TRUE(layout.blocks.empty());
  EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(kLayoutSeconds * 6));
}

}  // namespace
}  // namespace quillfen::layout
