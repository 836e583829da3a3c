// A layout carried out of the child process as bytes: it comes back exactly, and bytes that
// are not a whole layout give nothing, without reserving what a damaged count claims.
#include "recognition/layout/layout_bytes.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>

namespace quillfen::layout {
namespace {

PageLayout twoBlocks() {
  PageLayout layout;
  TextBlock column;
  column.bounds = {10, 20, 300, 900};
  column.outline = {{10, 20}, {310, 20}, {310, 500}, {200.5f, 920}, {10, 920}};
  column.lineCount = 42;
  column.lineHeight = 31.5f;
  column.filledShare = 0.875f;
  column.flowing = true;
  TextBlock caption;
  caption.bounds = {400, 20, 120, 40};
  caption.lineCount = 1;
  caption.lineHeight = 18;
  caption.table = true;
  layout.blocks = {column, caption};
  layout.lineHeight = 30.25f;
  return layout;
}

void expectSame(const PageLayout& a, const PageLayout& b) {
  EXPECT_EQ(a.lineHeight, b.lineHeight);
  ASSERT_EQ(a.blocks.size(), b.blocks.size());
  for (std::size_t i = 0; i < a.blocks.size(); ++i) {
    const TextBlock& x = a.blocks[i];
    const TextBlock& y = b.blocks[i];
    EXPECT_EQ(x.bounds.x, y.bounds.x);
    EXPECT_EQ(x.bounds.y, y.bounds.y);
    EXPECT_EQ(x.bounds.width, y.bounds.width);
    EXPECT_EQ(x.bounds.height, y.bounds.height);
    EXPECT_EQ(x.lineCount, y.lineCount);
    EXPECT_EQ(x.lineHeight, y.lineHeight);
    EXPECT_EQ(x.filledShare, y.filledShare);
    EXPECT_EQ(x.flowing, y.flowing);
    EXPECT_EQ(x.table, y.table);
    ASSERT_EQ(x.outline.size(), y.outline.size());
    for (std::size_t k = 0; k < x.outline.size(); ++k) {
      EXPECT_EQ(x.outline[k].x, y.outline[k].x);
      EXPECT_EQ(x.outline[k].y, y.outline[k].y);
    }
  }
}

TEST(LayoutBytes, ALayoutComesBackExactly) {
  const auto back = layoutFromBytes(layoutBytes(twoBlocks()));
  ASSERT_TRUE(back);
  expectSame(*back, twoBlocks());
  const auto empty = layoutFromBytes(layoutBytes(PageLayout{}));
  ASSERT_TRUE(empty);
  EXPECT_TRUE(empty->blocks.empty());
}

TEST(LayoutBytes, BytesThatAreNotAWholeLayoutGiveNothing) {
  const std::string bytes = layoutBytes(twoBlocks());
  for (std::size_t size = 0; size < bytes.size(); ++size) {
    EXPECT_FALSE(layoutFromBytes(std::string_view(bytes).substr(0, size))) << size << " bytes";
  }
  EXPECT_FALSE(layoutFromBytes(bytes + '\0'));
}

TEST(LayoutBytes, ADamagedPointCountIsRefusedBeforeAnythingIsReserved) {
  PageLayout one;
  one.blocks.push_back(twoBlocks().blocks[1]);
  std::string bytes = layoutBytes(one);
  // The point count is the block's last field: no outline, so the last four bytes.
  const std::uint32_t huge = 0xFFFFFFFF;
  std::memcpy(bytes.data() + bytes.size() - sizeof huge, &huge, sizeof huge);
  EXPECT_FALSE(layoutFromBytes(bytes));
}

}  // namespace
}  // namespace quillfen::layout
