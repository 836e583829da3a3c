#pragma once

#include <opencv2/core.hpp>

#include <vector>

namespace quillfen::ppocr {

// The detector network's stride: the sides of its input are multiples of this.
inline constexpr int kDetectorStride = 32;

// The side rounded up to a multiple of the stride.
inline int alignedUp(int side) { return (side + kDetectorStride - 1) / kDetectorStride * kDetectorStride; }

// One pass of the detector over part of its input: the network reads `input`, and only
// `kept` (inside `input`, at least `margin` away from every edge that borders another
// tile) goes into the stitched probability map, so text near a seam is judged with
// context on both sides.
struct DetectorTile {
  cv::Rect input;
  cv::Rect kept;
};

// Tiles covering an input of the given size. All tiles have one size (so the network
// is planned once), no side longer than maxSide, sides multiples of 32 whenever the
// input's are; their kept parts cover the input exactly once. An input that fits in
// maxSide × maxSide is one tile.
std::vector<DetectorTile> detectorTiles(cv::Size input, int maxSide, int margin);

}  // namespace quillfen::ppocr
