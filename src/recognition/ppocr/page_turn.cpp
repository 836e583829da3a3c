#include "recognition/ppocr/page_turn.h"

#include <opencv2/core.hpp>

#include <algorithm>
#include <numeric>

namespace quillfen::ppocr {
namespace {

// A line's length in its own heights (its character count, roughly), capped so that one
// long line does not outweigh a page.
double lengthOf(cv::Size crop, bool tall) {
  const double along = tall ? crop.height : crop.width;
  const double across = std::max(tall ? crop.width : crop.height, 1);
  return std::min(along / across, 40.0);
}

bool isTall(cv::Size crop) { return crop.height >= 1.5 * crop.width; }
bool isWide(cv::Size crop) { return crop.width >= 1.5 * crop.height; }

// The indices of the lines that pass the filter, longest first, at most kSampleLines.
template <typename Filter>
std::vector<std::size_t> longestLines(const std::vector<LineEvidence>& lines, bool tall, Filter keep) {
  std::vector<std::size_t> indices;
  for (std::size_t i = 0; i < lines.size(); ++i) {
    if (keep(lines[i])) indices.push_back(i);
  }
  std::stable_sort(indices.begin(), indices.end(), [&](std::size_t a, std::size_t b) {
    return lengthOf(lines[a].size, tall) > lengthOf(lines[b].size, tall);
  });
  if (indices.size() > kSampleLines) indices.resize(kSampleLines);
  return indices;
}

}  // namespace

bool votesUpsideDown(const std::vector<DirectionVote>& votes) {
  double weights = 0;
  double sum = 0;
  for (const DirectionVote& vote : votes) {
    weights += vote.weight;
    sum += vote.weight * (2.0 * vote.upsideDown - 1.0);
  }
  return weights >= kMinVoteWeight && sum / weights >= kUpsideDownMargin;
}

std::optional<Orientation> sidewaysTurn(const std::vector<SidewaysReading>& readings) {
  double weights = 0;
  double difference = 0;
  for (const SidewaysReading& reading : readings) {
    weights += reading.weight;
    difference += reading.weight * (reading.counterClockwise - reading.clockwise);
  }
  if (weights <= 0) return std::nullopt;
  const double mean = difference / weights;
  if (mean >= kSidewaysMargin) return Orientation::turnedRight;
  if (mean <= -kSidewaysMargin) return Orientation::turnedLeft;
  return std::nullopt;
}

LineShapes lineShapes(const std::vector<LineEvidence>& lines) {
  LineShapes shapes;
  for (const LineEvidence& line : lines) {
    if (isTall(line.size)) shapes.tall += lengthOf(line.size, true);
    if (isWide(line.size)) shapes.wide += lengthOf(line.size, false);
  }
  return shapes;
}

bool mostlyTall(const LineShapes& shapes) {
  return shapes.tall >= kMinTallLength && shapes.tall >= kMostlyTall * shapes.wide;
}

Status pageTurn(const std::vector<LineEvidence>& lines, TextRecognizer& recognizer, DirectionClassifier& classifier,
                std::optional<Orientation>* turn) {
  turn->reset();
  if (mostlyTall(lineShapes(lines))) {
    std::vector<SidewaysReading> readings;
    for (std::size_t i : longestLines(lines, true, [](const LineEvidence& line) {
           return isTall(line.size) && line.counterClockwiseConfidence >= 0;
         })) {
      cv::Mat turned;
      cv::rotate(lines[i].crop(), turned, cv::ROTATE_90_CLOCKWISE);
      DecodedText clockwise;
      if (Status status = recognizer.recognize(turned, &clockwise); !status.ok()) return status;
      readings.push_back({lengthOf(lines[i].size, true), lines[i].counterClockwiseConfidence, clockwise.confidence()});
    }
    *turn = sidewaysTurn(readings);
    return Status();
  }
  std::vector<DirectionVote> votes;
  for (std::size_t i : longestLines(lines, false, [](const LineEvidence& line) { return isWide(line.size); })) {
    // An upside-down line often reads as nothing at all: it still counts half.
    votes.push_back({lengthOf(lines[i].size, false) * (0.5 + 0.5 * lines[i].confidence),
                     classifier.upsideDownProbability(lines[i].crop())});
  }
  if (votesUpsideDown(votes)) *turn = Orientation::upsideDown;
  return Status();
}

cv::Mat turnedUpright(const cv::Mat& picture, Orientation orientation) {
  cv::Mat upright;
  switch (orientation) {
    case Orientation::turnedRight: cv::rotate(picture, upright, cv::ROTATE_90_COUNTERCLOCKWISE); break;
    case Orientation::upsideDown: cv::rotate(picture, upright, cv::ROTATE_180); break;
    case Orientation::turnedLeft: cv::rotate(picture, upright, cv::ROTATE_90_CLOCKWISE); break;
    case Orientation::upright: upright = picture.clone(); break;
  }
  return upright;
}

}  // namespace quillfen::ppocr
