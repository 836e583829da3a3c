#include "recognition/layout/layout_budget.h"

#include "recognition/layout/layout_bytes.h"

namespace quillfen::layout {

BudgetedAnalysis::BudgetedAnalysis(const std::function<PageLayout()>& analysis)
    : child_([&] { return layoutBytes(analysis()); }, kLayoutSeconds) {}

PageLayout BudgetedAnalysis::result() { return layoutSentBy(child_.result()); }

PageLayout analysedWithinBudget(const std::function<PageLayout()>& analysis) {
  return BudgetedAnalysis(analysis).result();
}

}  // namespace quillfen::layout
