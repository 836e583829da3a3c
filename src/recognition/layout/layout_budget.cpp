#include "recognition/layout/layout_budget.h"

#include "platform/child_process.h"
#include "recognition/layout/layout_bytes.h"

namespace quillfen::layout {

PageLayout analysedWithinBudget(const std::function<PageLayout()>& analysis) {
  const auto bytes = platform::runInChildProcess([&] { return layoutBytes(analysis()); }, kLayoutSeconds);
  if (!bytes) return {};
  return layoutFromBytes(*bytes).value_or(PageLayout{});
}

}  // namespace quillfen::layout
