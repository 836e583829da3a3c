#pragma once

#include <optional>
#include <string>

#include "recognition/observation.h"
#include "recognition/picture/pix_ptr.h"

namespace quillfen::orientation {

// How far a page is turned clockwise from upright, as stored.
enum class Orientation { upright = 0, turnedRight = 90, upsideDown = 180, turnedLeft = 270 };

// What Tesseract's orientation and script detection says about a picture.
struct OrientationGuess {
  Orientation orientation = Orientation::upright;
  float confidence = 0;  // Tesseract's own scale: about 0-30, above 2 is an answer
};

// Tesseract's orientation detection (osd.traineddata in dataDirectory) over a gray copy of
// the picture, shrunk by detectionScale. Nothing when there is no answer: too little text
// (detectionCanAnswer is false), no osd data, or the detection failed. Runs on the
// calling thread; the caller keeps OpenMP to one thread.
std::optional<OrientationGuess> detectOrientation(Pix* picture, const std::string& dataDirectory);

// Whether Tesseract's detection could answer on this gray picture at all. It classifies
// connected components at least kMinShapeHeight pixels high and at most kMaxShapeRatio
// times as long as wide, and gives no answer with fewer than kMinShapes of them. Counting
// them first with Leptonica (milliseconds) spares loading its data (about a quarter of a
// second) where it could not answer: small print on a low-resolution scan, a sign of a
// few words. Shapes are counted dark on light and light on dark, and the larger count
// decides, so a page is never left unchecked for the lack of a count.
bool detectionCanAnswer(Pix* gray);

inline constexpr int kMinShapeHeight = 10;
inline constexpr double kMaxShapeRatio = 3.5;
inline constexpr int kMinShapes = 25;

// The scale of the detection's copy: 1 up to kMaxDetectionPixels, less above. The limit is
// on the area, not the longest side: a tall page of small print shrunk to 2400 pixels high
// (half its size) left the detection unsure (confidence 1.6 against 28 at full size).
double detectionScale(int width, int height);

inline constexpr double kMaxDetectionPixels = 12'000'000;

// Tesseract's answer counts only from this confidence on. Over the benchmark's 96 turned
// pictures it named every turn rightly, the least sure at 2.2 (a small receipt upside
// down); its wrong answers on 88 upright ones stayed below 1.4 but one (5.1), which the
// reading's own confidence then keeps upright.
inline constexpr float kMinGuessConfidence = 2.0f;

// The guess when it names a turned page confidently enough to try reading it turned.
std::optional<Orientation> confidentTurn(const std::optional<OrientationGuess>& guess);

// A copy of the picture turned upright from the given orientation; nothing when memory runs out.
picture::PixPtr turnedUpright(Pix* picture, Orientation orientation);

// The engine's confidence in a reading as a whole: the mean of the lines' confidences, each
// weighted by its length in bytes (a long line says more than a stray mark); 0 for none.
double readingConfidence(const Observations& lines);

// A reading is checked for orientation when it is less confident than this: upright pages
// read with more (a clean page 0.95 or so, upside down 0.4-0.6), and the check then costs nothing.
inline constexpr double kConfidentReading = 0.80;

// Whether the reading of the page turned upright from the given orientation replaces the
// reading as stored. From upside down, only when it is clearly more confident: an upright
// page turned over reads worse, so it stays as it is. From a quarter turn, also when it is
// about as confident: a sideways page can read its lines confidently one by one (each
// crop turned back) and still in the wrong order, which the confidence does not show.
bool turnedReadingWins(double storedConfidence, double turnedConfidence, Orientation from);

inline constexpr double kTurnedReadingMargin = 0.05;
inline constexpr double kSidewaysReadingTolerance = 0.02;

}  // namespace quillfen::orientation
