// Where the detector looks for the size of a large picture's text: squares with detail,
// the busiest first, never blank paper.
#include "recognition/ppocr/probe_windows.h"

#include <gtest/gtest.h>
#include <opencv2/imgproc.hpp>

namespace quillfen::ppocr {
namespace {

// Lines of dark strokes, like print, filling the rectangle.
void drawPrint(cv::Mat& picture, const cv::Rect& area, int lineHeight) {
  for (int y = area.y; y + lineHeight <= area.y + area.height; y += 2 * lineHeight) {
    for (int x = area.x; x + lineHeight <= area.x + area.width; x += lineHeight) {
      cv::rectangle(picture, cv::Rect(x, y, lineHeight / 2, lineHeight), cv::Scalar(20, 20, 20), cv::FILLED);
    }
  }
}

TEST(ProbeWindows, BlankPaperHasNone) {
  const cv::Mat blank(3000, 4000, CV_8UC3, cv::Scalar(250, 250, 250));
  EXPECT_TRUE(probeWindows(blank, 5, 640).empty());
}

TEST(ProbeWindows, TheBusiestSquaresComeFirst) {
  cv::Mat page(3000, 4000, CV_8UC3, cv::Scalar(250, 250, 250));
  drawPrint(page, cv::Rect(2600, 1300, 600, 600), 16);  // dense print, inside one square of the grid
  drawPrint(page, cv::Rect(0, 0, 640, 640), 40);        // larger, sparser print in another
  const std::vector<cv::Rect> windows = probeWindows(page, 5, 640);
  // The grid's squares that hold print, the dense print's first; no blank square.
  ASSERT_EQ(windows.size(), 2u);
  EXPECT_EQ(windows[0], cv::Rect(2560, 1280, 640, 640));
  EXPECT_EQ(windows[1], cv::Rect(0, 0, 640, 640));
}

TEST(ProbeWindows, SquaresStayInsideThePictureAndAreCounted) {
  cv::Mat page(1000, 1500, CV_8UC3, cv::Scalar(250, 250, 250));
  drawPrint(page, cv::Rect(0, 0, 1500, 1000), 20);
  const std::vector<cv::Rect> windows = probeWindows(page, 3, 640);
  ASSERT_EQ(windows.size(), 3u);
  for (const cv::Rect& window : windows) EXPECT_EQ(window & cv::Rect(0, 0, 1500, 1000), window);
  EXPECT_EQ(probeWindows(page, 100, 640).size(), 6u) << "a 3 × 2 grid";
}

}  // namespace
}  // namespace quillfen::ppocr
