#pragma once

#include <functional>

#include "platform/child_process.h"
#include "recognition/layout/page_layout.h"

namespace quillfen::layout {

// Tesseract's layout analysis takes time by the cube of what it finds: its paragraph pass
// walks the page from its start for every line it meets. Rule lines count, and it takes
// the strokes of Chinese characters for hundreds of them, so a magazine page takes 0.4 s,
// a dense page of Chinese 1.2 s, two of them side by side 8 s, and 100 megapixels of them
// over half an hour. So the analysis runs in a child process with this much processor
// time; a page it cannot analyse in that time is read without its layout.
constexpr int kLayoutSeconds = 5;

// What the analysis gives, when it ends within kLayoutSeconds of processor time; an empty
// layout when it does not.
PageLayout analysedWithinBudget(const std::function<PageLayout()>& analysis);

// The same in two steps: the child process starts here, and result() waits for its
// layout, so that the caller can load its own data meanwhile. Start it while the process
// has a single thread (platform/child_process.h).
class BudgetedAnalysis {
 public:
  explicit BudgetedAnalysis(const std::function<PageLayout()>& analysis);
  PageLayout result();

 private:
  platform::ChildProcess child_;
};

}  // namespace quillfen::layout
