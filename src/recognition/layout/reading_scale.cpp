#include "recognition/layout/reading_scale.h"

#include <leptonica/allheaders.h>

#include <algorithm>
#include <cmath>
#include <utility>

namespace quillfen::layout {
namespace {

float largestScale(double width, double height) {
  const double pixels = width * height;
  if (pixels <= 0) return 1;
  return static_cast<float>(std::min<double>(kMaxEnlargement, std::sqrt(kMaxEnlargedPixels / pixels)));
}

// Whether the page is one that smallPrintOf measures.
bool measured(Pix* page) { return page != nullptr && measuredForSmallPrint(pixGetWidth(page), pixGetHeight(page)); }

}  // namespace

float readingScale(float lineHeight, int width, int height) {
  if (lineHeight <= 0 || lineHeight >= kSmallPrint) return 1;
  const float scale = std::min(kEnlargedLine / lineHeight, largestScale(width, height));
  return scale < kMinEnlargement ? 1 : scale;
}

bool measuredForSmallPrint(std::uint64_t width, std::uint64_t height) {
  return largestScale(static_cast<double>(width), static_cast<double>(height)) >= kMeasuredEnlargement;
}

std::optional<PageLayout> smallPrintLayout(Pix* page) {
  if (!measured(page)) return std::nullopt;
  return analysePageLayout(page);
}

picture::PixPtr enlargedForSmallPrint(Pix* page, float lineHeight) {
  if (page == nullptr) return nullptr;
  const float scale = readingScale(lineHeight, pixGetWidth(page), pixGetHeight(page));
  if (scale == 1) return nullptr;
  // Leptonica enlarges 1-bit pictures by repeating pixels, which keeps the jagged edges
  // that made the print hard to read; gray levels it interpolates. Other depths and
  // colour maps it converts itself.
  picture::PixPtr gray;
  if (pixGetDepth(page) == 1) {
    gray.reset(pixConvertTo8(page, 0));
    if (!gray) return nullptr;
    page = gray.get();
  }
  return picture::PixPtr(pixScale(page, scale, scale));
}

SmallPrint smallPrintOf(Pix* page) { return SmallPrintMeasurement(page).finish(); }

SmallPrintMeasurement::SmallPrintMeasurement(Pix* page) : page_(page) {
  if (!measured(page)) return;
  analysis_.emplace([page] { return unbudgetedPageLayout(page); });
}

SmallPrint SmallPrintMeasurement::finish() {
  if (!analysis_) return {};
  PageLayout layout = analysis_->result();
  analysis_.reset();
  return smallPrintFrom(page_, std::move(layout));
}

SmallPrint smallPrintFrom(Pix* page, PageLayout layout) {
  SmallPrint found;
  found.enlarged = enlargedForSmallPrint(page, layout.lineHeight);
  if (found.enlarged) {
    found.enlargement = static_cast<float>(pixGetWidth(found.enlarged.get())) / static_cast<float>(pixGetWidth(page));
  }
  found.layout = std::move(layout);
  return found;
}

}  // namespace quillfen::layout
