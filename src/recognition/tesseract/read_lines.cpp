#include "recognition/tesseract/read_lines.h"

#include <tesseract/baseapi.h>
#include <tesseract/resultiterator.h>

#include <algorithm>
#include <limits>
#include <memory>
#include <string_view>

#include "recognition/tesseract/line_text.h"

namespace quillfen::tess {
namespace {

constexpr auto kLine = tesseract::RIL_TEXTLINE;
constexpr auto kWord = tesseract::RIL_WORD;

float confidenceOf(const tesseract::LTRResultIterator& at, tesseract::PageIteratorLevel level) {
  return std::clamp(at.Confidence(level) / 100.0f, 0.0f, 1.0f);
}

// The words of the line that the iterator is at, whose box is line and whose text
// Tesseract gives as lineText, as pieces, left to right. A piece's text is its part of the
// line's text, which holds Tesseract's own spacing (none between Chinese words); a line
// whose words are not found in it in that order (right-to-left script) is one piece.
std::vector<LinePiece> piecesOfLine(const tesseract::ResultIterator& at, const layout::LineBox& line,
                                    std::string_view lineText) {
  // Words left to right, one step each: the result iterator's own word order (the
  // script's) costs a pass over the line per step.
  tesseract::LTRResultIterator word(at);
  word.RestartRow();
  // Pieces stand as high as their line: a word's own box is lower without ascenders and
  // descenders, which would move its midline off its row's.
  const float lineTop = line.y, lineHeight = line.height;
  std::vector<LinePiece> pieces;
  std::size_t read = 0, start = 0;  // how much of lineText the words so far took; the last piece's start
  do {
    if (word.Empty(kWord)) continue;
    std::unique_ptr<char[]> raw(word.GetUTF8Text(kWord));
    int left = 0, top = 0, right = 0, bottom = 0;
    if (!raw || !word.BoundingBox(kWord, &left, &top, &right, &bottom)) continue;
    const std::size_t found = lineText.find(raw.get(), read);
    if (found == std::string_view::npos) return {};
    const layout::LineBox box{static_cast<float>(left), lineTop, static_cast<float>(right - left), lineHeight};
    if (pieces.empty() || box.x - (pieces.back().box.x + pieces.back().box.width) > kPieceGap * lineHeight) {
      if (!pieces.empty()) pieces.back().text = readerLineText(lineText.substr(start, read - start));
      pieces.push_back({box, "", 0, 0});
      start = found;
    } else {
      pieces.back().box.width = std::max(pieces.back().box.width, box.x + box.width - pieces.back().box.x);
    }
    read = found + std::string_view(raw.get()).size();
    pieces.back().confidenceSum += confidenceOf(word, kWord);
    ++pieces.back().words;
  } while (word.Next(kWord) && !word.IsAtBeginningOf(kLine));
  if (!pieces.empty()) pieces.back().text = readerLineText(lineText.substr(start, read - start));
  std::erase_if(pieces, [](const LinePiece& piece) { return piece.text.empty(); });
  return pieces;
}

}  // namespace

std::vector<ReadLine> readLines(tesseract::TessBaseAPI& api, bool withPieces) {
  std::vector<ReadLine> lines;
  std::unique_ptr<tesseract::ResultIterator> at(api.GetIterator());
  if (!at) return lines;
  do {
    if (at->Empty(kLine)) continue;
    std::unique_ptr<char[]> raw(at->GetUTF8Text(kLine));
    if (!raw) continue;
    std::string text = readerLineText(raw.get());
    if (text.empty()) continue;
    const float confidence = confidenceOf(*at, kLine);
    int left = 0, top = 0, right = 0, bottom = 0;
    at->BoundingBox(kLine, &left, &top, &right, &bottom);
    const layout::LineBox box{static_cast<float>(left), static_cast<float>(top), static_cast<float>(right - left),
                              static_cast<float>(bottom - top)};
    std::vector<LinePiece> pieces;
    if (withPieces) {
      pieces = piecesOfLine(*at, box, raw.get());
      // A line whose words give no pieces is one piece, the line itself.
      if (pieces.empty()) pieces.push_back({box, text, confidence, 1});
    }
    float slope = 0;
    int x1 = 0, y1 = 0, x2 = 0, y2 = 0;
    if (at->Baseline(kLine, &x1, &y1, &x2, &y2)) {
      // A line Tesseract read up or down the picture (a page turned sideways, which it
      // turns itself) has an upright baseline.
      if (x2 != x1) {
        slope = static_cast<float>(y2 - y1) / static_cast<float>(x2 - x1);
      } else if (y2 != y1) {
        slope = std::numeric_limits<float>::infinity();
      }
    }
    lines.push_back({std::move(text), confidence, std::move(pieces), slope});
  } while (at->Next(kLine));
  return lines;
}

}  // namespace quillfen::tess
