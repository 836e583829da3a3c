#pragma once

#include <cstdint>
#include <optional>

#include "recognition/layout/layout_budget.h"
#include "recognition/layout/page_layout.h"
#include "recognition/picture/pix_ptr.h"

struct Pix;

namespace quillfen::layout {

// Small print is read enlarged. Both engines lose much of the text of a page whose lines
// are about ten pixels high (journal pages scanned at 600 × 800: read at that size, 32 %
// of their characters wrong with Tesseract, 10 % with PP-OCR; enlarged, 12 % and 7 %).
// The text's size, not the file's, decides the scale: the median height of the lines
// that Tesseract's layout analysis finds.

constexpr float kSmallPrint = 12;    // lines at least this high are read as they are
constexpr float kEnlargedLine = 20;  // small print is brought to this line height
constexpr float kMaxEnlargement = 4;
constexpr float kMinEnlargement = 1.25f;  // less is not worth the time
constexpr double kMaxEnlargedPixels = 8e6;
constexpr float kMeasuredEnlargement = 2;  // only pictures that could be enlarged this much are measured

// The factor by which to enlarge a page of width × height pixels whose text lines have
// the median height lineHeight: 1 when they are kSmallPrint pixels or more (or there are
// none), otherwise what brings them to kEnlargedLine, at most kMaxEnlargement, and at most
// what keeps the page within kMaxEnlargedPixels. A factor that would enlarge by less than
// kMinEnlargement is 1.
float readingScale(float lineHeight, int width, int height);

// The layout of a page small enough to be enlarged by kMeasuredEnlargement, whose lines'
// height says whether to enlarge it; nothing for a larger page, which is not analysed for
// it (the analysis took 0.02-0.2 s on pictures under 1 megapixel, 0.13 s on a
// 2-megapixel page, and small print comes in small pictures).
std::optional<PageLayout> smallPrintLayout(Pix* page);

// Whether smallPrintLayout analyses a page of this size.
bool measuredForSmallPrint(std::uint64_t width, std::uint64_t height);

// The page enlarged by readingScale for lines of the median height lineHeight; nothing
// when it is read as it is, or when there is no memory to enlarge it. Any depth; the copy
// is 8-bit gray or 32-bit colour, its resolution enlarged alike.
picture::PixPtr enlargedForSmallPrint(Pix* page, float lineHeight);

// A page measured for small print (smallPrintLayout) and enlarged as its lines ask
// (enlargedForSmallPrint): what both engines do before they read.
struct SmallPrint {
  std::optional<PageLayout> layout;  // the stored page's, when it was measured
  picture::PixPtr enlarged;          // none: read the page as it is
  float enlargement = 1;             // enlarged's width over the page's
};
SmallPrint smallPrintOf(Pix* page);

// The same for a page already measured: layout is smallPrintLayout's answer for it.
SmallPrint smallPrintFrom(Pix* page, PageLayout layout);

// smallPrintOf in two steps, so that an engine loads its data while the page is measured
// in a child process (0.03-0.13 s on a photo under 2 megapixels): the measurement starts
// here, and finish() waits for it and enlarges the page. Start it while the process has
// a single thread; the page must outlive it.
class SmallPrintMeasurement {
 public:
  explicit SmallPrintMeasurement(Pix* page);
  SmallPrint finish();  // call once

 private:
  Pix* page_;
  std::optional<BudgetedAnalysis> analysis_;  // none: the page is not measured
};

}  // namespace quillfen::layout
