#pragma once

#include <opencv2/core.hpp>

#include <functional>
#include <optional>
#include <vector>

#include "recognition/orientation/page_orientation.h"
#include "recognition/ppocr/direction_classifier.h"
#include "recognition/ppocr/text_recognizer.h"

namespace quillfen::ppocr {

using orientation::Orientation;

// One line's say on whether the page is upside down: the classifier's probability that
// it is, weighted by the line's length (in line heights) and by the recogniser's confidence
// in its reading as stored (a line read with none counts half).
struct DirectionVote {
  double weight = 0;
  float upsideDown = 0;  // 0..1
};

// The page is upside down when the weighted mean of (2p - 1) over the votes reaches
// kUpsideDownMargin and the votes carry at least kMinVoteWeight: one confident upside-down
// line among upright ones does not turn a page, and a few characters decide nothing.
bool votesUpsideDown(const std::vector<DirectionVote>& votes);

inline constexpr double kUpsideDownMargin = 0.3;
inline constexpr double kMinVoteWeight = 3.0;

// One tall line read both ways: its crop turned a quarter counter-clockwise (as a line on
// a page turned right reads) and clockwise (a page turned left), with the recogniser's
// confidence in each, weighted by the line's length in line widths.
struct SidewaysReading {
  double weight = 0;
  float counterClockwise = 0;
  float clockwise = 0;
};

// Which way a page of sideways lines is turned: the direction whose readings are more
// confident by kSidewaysMargin on the weighted mean; nothing when neither is.
std::optional<Orientation> sidewaysTurn(const std::vector<SidewaysReading>& readings);

inline constexpr double kSidewaysMargin = 0.1;

// A line as the first reading of a page saw it. Only the few lines sampled are cut
// again, so the crop is made on demand.
struct LineEvidence {
  cv::Size size;
  std::function<cv::Mat()> crop;
  float confidence = 0;                   // the reading as cropped
  float counterClockwiseConfidence = -1;  // a tall crop's quarter-turned reading; -1 when not tried
};

// The lengths, in line heights, of the tall and the wide lines of a page.
struct LineShapes {
  double tall = 0;
  double wide = 0;
};
LineShapes lineShapes(const std::vector<LineEvidence>& lines);

// A page is read as sideways when its tall lines outweigh its wide ones kMostlyTall
// times over and are long enough to say something; a page with a few vertical lines (a
// spine, a sidebar, a column of vertical Chinese) stays as it is.
bool mostlyTall(const LineShapes& shapes);

inline constexpr double kMostlyTall = 2.0;
inline constexpr double kMinTallLength = 6.0;

// How the page is turned, judged from its first reading: a mostly tall page by reading
// a sample of its longest lines both ways, any other by the direction classifier's vote
// over a sample of its longest wide lines. Nothing when the page looks upright or it is
// unsure. At most kSampleLines lines are read again or classified.
Status pageTurn(const std::vector<LineEvidence>& lines, TextRecognizer& recognizer, DirectionClassifier& classifier,
                std::optional<Orientation>* turn);

inline constexpr std::size_t kSampleLines = 12;

// The picture turned upright from the given orientation.
cv::Mat turnedUpright(const cv::Mat& picture, Orientation orientation);

}  // namespace quillfen::ppocr
