#pragma once

#include <string>
#include <vector>

#include "recognition/layout/line_box.h"

namespace tesseract {
class TessBaseAPI;
}

namespace quillfen::tess {

// A run of a line's words with no gap wider than kPieceGap line heights between them: a
// table's cell within a line that Tesseract runs across its cells; a line of running
// text is one piece.
struct LinePiece {
  layout::LineBox box;
  std::string text;         // its words as a reader writes them (line_text.h)
  float confidenceSum = 0;  // over its words, each 0..1
  int words = 0;
};

// A text line that Tesseract read, as a reader writes it, its confidence (0..1), its
// pieces, and its baseline's slope (rise over run in pixels; infinite for an upright
// baseline, 0 when it has none).
struct ReadLine {
  std::string text;
  float confidence = 0;
  std::vector<LinePiece> pieces;
  float slope = 0;
};

inline constexpr float kPieceGap = 1.5f;

// The non-blank lines of the API's last recognition, in its reading order. Their pieces
// (a walk over every word) only when asked for; otherwise each line has none.
std::vector<ReadLine> readLines(tesseract::TessBaseAPI& api, bool withPieces = true);

}  // namespace quillfen::tess
