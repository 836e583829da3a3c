#include "recognition/ppocr/detector_tiles.h"

#include <gtest/gtest.h>

namespace quillfen::ppocr {
namespace {

TEST(DetectorTiles, AnInputThatFitsIsOneTile) {
  for (const cv::Size input : {cv::Size(1280, 1280), cv::Size(640, 96), cv::Size(32, 32)}) {
    const auto tiles = detectorTiles(input, 1280, 96);
    ASSERT_EQ(tiles.size(), 1u) << input;
    EXPECT_EQ(tiles[0].input, cv::Rect({0, 0}, input));
    EXPECT_EQ(tiles[0].kept, cv::Rect({0, 0}, input));
  }
}

TEST(DetectorTiles, KeptPartsCoverTheInputOnceAwayFromEverySeam) {
  struct Case {
    cv::Size input;
    int maxSide, margin;
  };
  for (const Case& c : {Case{{1920, 1440}, 1280, 96}, Case{{4000, 3008}, 1280, 96}, Case{{1312, 96}, 1280, 96},
                        Case{{5024, 672}, 1024, 128}, Case{{2000, 1000}, 640, 64}}) {
    SCOPED_TRACE(testing::Message() << c.input << " max " << c.maxSide << " margin " << c.margin);
    const auto tiles = detectorTiles(c.input, c.maxSide, c.margin);
    ASSERT_GT(tiles.size(), 1u);
    cv::Mat covered = cv::Mat::zeros(c.input, CV_32S);
    for (const DetectorTile& tile : tiles) {
      // One size for all, so the network is planned once; aligned to its stride.
      EXPECT_EQ(tile.input.size(), tiles[0].input.size());
      EXPECT_LE(std::max(tile.input.width, tile.input.height), c.maxSide);
      EXPECT_EQ(tile.input.width % 32, 0);
      EXPECT_EQ(tile.input.height % 32, 0);
      EXPECT_EQ(tile.input & cv::Rect({0, 0}, c.input), tile.input);
      EXPECT_EQ(tile.kept & tile.input, tile.kept);
      // A kept edge inside the picture is at least a margin from the tile's edge.
      if (tile.kept.x > 0) {
        EXPECT_GE(tile.kept.x - tile.input.x, c.margin);
      }
      if (tile.kept.y > 0) {
        EXPECT_GE(tile.kept.y - tile.input.y, c.margin);
      }
      if (tile.kept.br().x < c.input.width) {
        EXPECT_GE(tile.input.br().x - tile.kept.br().x, c.margin);
      }
      if (tile.kept.br().y < c.input.height) {
        EXPECT_GE(tile.input.br().y - tile.kept.br().y, c.margin);
      }
      covered(tile.kept) += 1;
    }
    double least = 0, most = 0;
    cv::minMaxLoc(covered, &least, &most);
    EXPECT_EQ(least, 1);
    EXPECT_EQ(most, 1);
  }
}

TEST(DetectorTiles, OverlapIsNotMuchMoreThanTheMarginsNeed) {
  // 1920 × 1440 in 1280-pixel tiles: two by two, not three by two.
  const auto tiles = detectorTiles({1920, 1440}, 1280, 96);
  EXPECT_EQ(tiles.size(), 4u);
  long area = 0;
  for (const DetectorTile& tile : tiles) area += tile.input.area();
  EXPECT_LT(area, 1.35 * 1920 * 1440);
}

}  // namespace
}  // namespace quillfen::ppocr
