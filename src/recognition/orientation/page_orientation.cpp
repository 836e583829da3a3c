#include "recognition/orientation/page_orientation.h"

#include <leptonica/allheaders.h>
#include <tesseract/baseapi.h>

#include <algorithm>
#include <cmath>

namespace quillfen::orientation {

using picture::PixPtr;

namespace {

// A gray copy at detectionScale.
PixPtr detectionInput(Pix* picture) {
  PixPtr gray(pixConvertTo8(picture, 0));
  if (!gray) return nullptr;
  const double scale = detectionScale(pixGetWidth(gray.get()), pixGetHeight(gray.get()));
  if (scale >= 1) return gray;
  const auto factor = static_cast<l_float32>(scale);
  return PixPtr(pixScaleGrayLI(gray.get(), factor, factor));
}

// The connected components of a binary picture that Tesseract's detection would classify.
int characterShapes(Pix* binary) {
  BOXA* boxes = pixConnCompBB(binary, 8);
  if (boxes == nullptr) return 0;
  int shapes = 0;
  const int count = boxaGetCount(boxes);
  for (int i = 0; i < count; ++i) {
    l_int32 x, y, w, h;
    if (boxaGetBoxGeometry(boxes, i, &x, &y, &w, &h) != 0 || w == 0 || h < kMinShapeHeight) continue;
    const double ratio = static_cast<double>(std::max(w, h)) / std::min(w, h);
    if (ratio <= kMaxShapeRatio) ++shapes;
  }
  boxaDestroy(&boxes);
  return shapes;
}

}  // namespace

bool detectionCanAnswer(Pix* gray) {
  // One Otsu threshold over the whole picture, as Tesseract binarises it.
  Pix* raw = nullptr;
  const l_int32 width = pixGetWidth(gray), height = pixGetHeight(gray);
  if (pixOtsuAdaptiveThreshold(gray, std::max(width, 16), std::max(height, 16), 0, 0, 0.0f, nullptr, &raw) != 0) {
    return true;  // no count: let the detection decide
  }
  PixPtr binary(raw);
  if (characterShapes(binary.get()) >= kMinShapes) return true;
  PixPtr inverse(pixInvert(nullptr, binary.get()));
  return !inverse || characterShapes(inverse.get()) >= kMinShapes;
}

double detectionScale(int width, int height) {
  const double pixels = static_cast<double>(width) * static_cast<double>(height);
  return pixels <= kMaxDetectionPixels ? 1.0 : std::sqrt(kMaxDetectionPixels / pixels);
}

std::optional<OrientationGuess> detectOrientation(Pix* picture, const std::string& dataDirectory) {
  if (picture == nullptr) return std::nullopt;
  PixPtr input = detectionInput(picture);
  if (!input || !detectionCanAnswer(input.get())) return std::nullopt;
  tesseract::TessBaseAPI api;
  api.SetVariable("debug_file", "/dev/null");
  // Orientation detection is the legacy engine's classifier; osd.traineddata holds nothing else.
  if (api.Init(dataDirectory.c_str(), "osd", tesseract::OEM_TESSERACT_ONLY) != 0) return std::nullopt;
  api.SetPageSegMode(tesseract::PSM_OSD_ONLY);
  api.SetImage(input.get());
  int degrees = 0;
  float confidence = 0;
  const char* script = nullptr;
  float scriptConfidence = 0;
  if (!api.DetectOrientationScript(&degrees, &confidence, &script, &scriptConfidence)) return std::nullopt;
  OrientationGuess guess;
  switch (degrees) {
    case 90: guess.orientation = Orientation::turnedRight; break;
    case 180: guess.orientation = Orientation::upsideDown; break;
    case 270: guess.orientation = Orientation::turnedLeft; break;
    default: guess.orientation = Orientation::upright; break;
  }
  guess.confidence = confidence;
  return guess;
}

std::optional<Orientation> confidentTurn(const std::optional<OrientationGuess>& guess) {
  if (!guess || guess->orientation == Orientation::upright || guess->confidence < kMinGuessConfidence) {
    return std::nullopt;
  }
  return guess->orientation;
}

PixPtr turnedUpright(Pix* picture, Orientation orientation) {
  // pixRotateOrth turns clockwise by quarter turns; a page turned by d degrees needs 360 - d.
  const int quarters = (4 - static_cast<int>(orientation) / 90) % 4;
  if (quarters == 0) return PixPtr(pixCopy(nullptr, picture));
  return PixPtr(pixRotateOrth(picture, quarters));
}

double readingConfidence(const Observations& lines) {
  double weighted = 0;
  double weights = 0;
  for (const auto& line : lines) {
    for (const RecognizedText& best : line->topCandidates(1)) {
      const auto weight = static_cast<double>(best.string.size());
      weighted += weight * best.confidence;
      weights += weight;
    }
  }
  return weights > 0 ? weighted / weights : 0.0;
}

bool turnedReadingWins(double storedConfidence, double turnedConfidence, Orientation from) {
  switch (from) {
    case Orientation::upright: return false;
    case Orientation::upsideDown: return turnedConfidence >= storedConfidence + kTurnedReadingMargin;
    case Orientation::turnedRight:
    case Orientation::turnedLeft: return turnedConfidence >= storedConfidence - kSidewaysReadingTolerance;
  }
  return false;
}

}  // namespace quillfen::orientation
