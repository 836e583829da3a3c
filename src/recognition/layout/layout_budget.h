#pragma once

#include <functional>

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

}  // namespace quillfen::layout
