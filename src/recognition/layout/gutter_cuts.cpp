#include "recognition/layout/gutter_cuts.h"

#include <algorithm>

namespace quillfen::layout {
namespace {

// A block reaches the box's middle height when the middle lies within its top and bottom,
// give or take a quarter of the box's height (the block's bounds are its ink's).
constexpr float kHeightSlack = 0.25f;

float left(const TextBlock& block) { return static_cast<float>(block.bounds.x); }
float right(const TextBlock& block) { return static_cast<float>(block.bounds.x + block.bounds.width); }

}  // namespace

std::vector<float> gutterCuts(const LineBox& box, const PageLayout& layout) {
  const float boxMiddle = middle(box), slack = kHeightSlack * box.height;
  std::vector<const TextBlock*> beside;  // the blocks at the box's height that hold a part of it
  for (const TextBlock& block : layout.blocks) {
    const auto top = static_cast<float>(block.bounds.y), bottom = top + static_cast<float>(block.bounds.height);
    if (boxMiddle < top - slack || boxMiddle > bottom + slack) continue;
    const float part = std::min(box.x + box.width, right(block)) - std::max(box.x, left(block));
    if (part >= kMinPartHeights * box.height) beside.push_back(&block);
  }
  std::sort(beside.begin(), beside.end(), [](const TextBlock* a, const TextBlock* b) { return left(*a) < left(*b); });
  std::vector<float> cuts;
  for (std::size_t i = 0; i + 1 < beside.size(); ++i) {
    // The nearest block to the right that starts past this one's end.
    const TextBlock& a = *beside[i];
    const TextBlock* b = nullptr;
    for (std::size_t j = i + 1; j < beside.size() && b == nullptr; ++j) {
      if (left(*beside[j]) > right(a)) b = beside[j];
    }
    if (b == nullptr || !(isColumnOfText(a) || isColumnOfText(*b))) continue;
    const bool spanned = std::any_of(beside.begin(), beside.end(), [&](const TextBlock* over) {
      return left(*over) <= right(a) && right(*over) >= left(*b);
    });
    if (!spanned) cuts.push_back((right(a) + left(*b)) / 2);
  }
  // Blocks inside blocks can give one gutter twice.
  std::sort(cuts.begin(), cuts.end());
  cuts.erase(std::unique(cuts.begin(), cuts.end()), cuts.end());
  return cuts;
}

}  // namespace quillfen::layout
