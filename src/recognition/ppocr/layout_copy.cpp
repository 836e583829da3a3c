#include "recognition/ppocr/layout_copy.h"

#include <leptonica/allheaders.h>
#include <opencv2/imgproc.hpp>

#include <algorithm>
#include <cmath>
#include <new>

#include "recognition/median.h"
#include "recognition/ppocr/pix_to_mat.h"

namespace quillfen::ppocr {
namespace {

// A little above body text at 300 dpi as the detector's boxes measure it (a box holds a
// line with some margin: 40-51 pixels on magazine pages), so that such pages are analysed
// at full size, and larger text is brought down to it.
constexpr float kLayoutLineHeight = 56;
constexpr double kMaxLayoutPixels = 16e6;

}  // namespace

float medianLineHeight(const std::vector<ReadBox>& read) {
  std::vector<float> heights;
  heights.reserve(read.size());
  for (const ReadBox& line : read) heights.push_back(line.box.shorterSide());
  return median(std::move(heights));
}

float layoutScale(float lineHeight, cv::Size picture, float enlargement) {
  float scale = 1 / enlargement;
  if (lineHeight * scale > kLayoutLineHeight) scale = kLayoutLineHeight / lineHeight;
  const double pixels = static_cast<double>(picture.width) * picture.height;
  if (pixels * scale * scale > kMaxLayoutPixels) scale = static_cast<float>(std::sqrt(kMaxLayoutPixels / pixels));
  return scale;
}

StoredForm storedFormOf(Pix* pix) {
  StoredForm form{{pixGetXRes(pix), pixGetYRes(pix)}, pixGetDepth(pix) != 32};
  if (PixColormap* colours = pixGetColormap(pix)) {
    l_int32 hasColour = 1;
    pixcmapHasColor(colours, &hasColour);
    form.gray = hasColour == 0;
  }
  return form;
}

layout::PageLayout analyseLayoutAtTextSize(const cv::Mat& bgr, const StoredForm& stored,
                                           const std::vector<ReadBox>& read, float enlargement,
                                           const layout::PageLayout* analysedAsStored) {
  if (!layout::mayHaveColumns(read.size())) return {};
  const float scale = layoutScale(medianLineHeight(read), bgr.size(), enlargement);
  if (analysedAsStored != nullptr && scale == 1 / enlargement)
    return layout::scaledLayout(*analysedAsStored, enlargement);
  cv::Mat copy = bgr;
  if (scale < 1) cv::resize(bgr, copy, cv::Size(), scale, scale, cv::INTER_AREA);
  // Equal channels give back the stored gray levels exactly.
  if (stored.gray) cv::cvtColor(copy, copy, cv::COLOR_BGR2GRAY);
  const picture::PixPtr pix = pixFromMat(copy);
  copy.release();
  if (!pix) throw std::bad_alloc();
  auto reduced = [scale](int ppi) { return static_cast<l_int32>(std::lround(ppi * static_cast<double>(scale))); };
  pixSetResolution(pix.get(), reduced(stored.resolution.x), reduced(stored.resolution.y));
  return layout::scaledLayout(layout::analysePageLayout(pix.get()), 1 / scale);
}

}  // namespace quillfen::ppocr
