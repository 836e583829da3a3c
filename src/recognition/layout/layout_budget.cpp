#include "recognition/layout/layout_budget.h"

#include "recognition/layout/layout_bytes.h"

namespace quillfen::layout {

BudgetedAnalysis::BudgetedAnalysis(const std::function<PageLayout()>& analysis)
    : child_([&] { return layoutBytes(analysis()); }, kLayoutSeconds) {}

PageLayout BudgetedAnalysis::result() {
  const auto bytes = child_.result();
  if (!bytes) return {};
  return layoutFromBytes(*bytes).value_or(PageLayout{});
}

PageLayout analysedWithinBudget(const std::function<PageLayout()>& analysis) {
  return BudgetedAnalysis(analysis).result();
}

}  // namespace quillfen::layout
