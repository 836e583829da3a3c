#include "recognition/ppocr/gutter_pieces.h"

#include <cmath>
#include <limits>

#include "recognition/layout/gutter_cuts.h"
#include "recognition/ppocr/line_crop.h"

namespace quillfen::ppocr {
namespace {

// Boxes whose top side climbs or falls more than this per pixel across are not cut: an
// upright cut would slice a tilted line's characters.
constexpr float kMaxCutSlope = 0.1f;

bool runsLevel(const TextBox& box) {
  const cv::Point2f top = box.corners[1] - box.corners[0];
  return top.x > 0 && std::abs(top.y) <= kMaxCutSlope * top.x;
}

}  // namespace

Status readAcrossGutters(const cv::Mat& picture, const layout::PageLayout& pageLayout, TextRecognizer& recognizer,
                         float minConfidence, std::vector<ReadBox>* read) {
  if (!layout::hasColumns(pageLayout)) return Status();
  struct Cut {
    std::size_t box;  // in read
    std::vector<TextBox> pieces;
  };
  std::vector<Cut> cutBoxes;
  for (std::size_t b = 0; b < read->size(); ++b) {
    const TextBox& box = (*read)[b].box;
    if (!runsLevel(box)) continue;
    const cv::Rect2f bounds = box.bounds();
    const std::vector<float> cuts = layout::gutterCuts({bounds.x, bounds.y, bounds.width, bounds.height}, pageLayout);
    if (cuts.empty()) continue;
    Cut cut{b, {}};
    float from = -std::numeric_limits<float>::infinity();
    for (float at : cuts) {
      cut.pieces.push_back(pieceBetween(box, from, at));
      from = at;
    }
    cut.pieces.push_back(pieceBetween(box, from, std::numeric_limits<float>::infinity()));
    cutBoxes.push_back(std::move(cut));
  }
  if (cutBoxes.empty()) return Status();

  std::vector<LineSource> lines;
  for (const Cut& cut : cutBoxes) {
    for (const TextBox& piece : cut.pieces) {
      lines.push_back({cropSize(piece), [&picture, &piece] { return cropTextBox(picture, piece); }});
    }
  }
  std::vector<DecodedText> readings;
  if (Status status = recognizer.recognizeAll(lines, &readings); !status.ok()) return status;

  std::vector<ReadBox> result;
  std::size_t nextCut = 0, nextReading = 0;
  for (std::size_t b = 0; b < read->size(); ++b) {
    if (nextCut == cutBoxes.size() || cutBoxes[nextCut].box != b) {
      result.push_back(std::move((*read)[b]));
      continue;
    }
    for (TextBox& piece : cutBoxes[nextCut].pieces) {
      DecodedText& reading = readings[nextReading++];
      if (reading.confidence() >= minConfidence) result.push_back({std::move(piece), std::move(reading)});
    }
    ++nextCut;
  }
  *read = std::move(result);
  return Status();
}

}  // namespace quillfen::ppocr
