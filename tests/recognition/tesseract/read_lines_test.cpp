// Tesseract's lines and their pieces, from real readings of committed pictures.
#include "recognition/tesseract/read_lines.h"

#include <gtest/gtest.h>
#include <tesseract/baseapi.h>

#include <cmath>
#include <stdexcept>
#include <string>

#include "support/test_picture.h"

namespace quillfen::tess {
namespace {

std::vector<ReadLine> readPicture(const std::string& file, const char* languages) {
  const picture::PixPtr page = test_support::testPicture(file);
  tesseract::TessBaseAPI api;
  api.SetVariable("debug_file", "/dev/null");
  if (api.Init(QUILLFEN_TESSDATA_DIR, languages, tesseract::OEM_LSTM_ONLY) != 0) throw std::runtime_error(languages);
  api.SetPageSegMode(tesseract::PSM_AUTO);
  api.SetImage(page.get());
  if (api.Recognize(nullptr) != 0) throw std::runtime_error("recognition failed");
  return readLines(api);
}

TEST(ReadLines, LinesOfRunningTextAreOnePieceEach) {
  const std::vector<ReadLine> lines = readPicture("english.png", "eng");
  ASSERT_EQ(lines.size(), 3u);
  EXPECT_EQ(lines[0].text, "The quick brown fox jumps over the lazy dog.");
  for (const ReadLine& line : lines) {
    ASSERT_EQ(line.pieces.size(), 1u) << line.text;
    EXPECT_EQ(line.pieces[0].text, line.text);
    EXPECT_GT(line.confidence, 0.5f);
    EXPECT_NEAR(line.pieces[0].confidenceSum / static_cast<float>(line.pieces[0].words), line.confidence, 0.1f);
    EXPECT_NEAR(line.slope, 0, 0.005);  // rendered level
  }
  // A piece keeps Tesseract's own spacing: none between Chinese words, one between
  // Chinese and Latin or figures.
  for (const ReadLine& line : readPicture("mixed.png", "chi_sim+eng")) {
    ASSERT_EQ(line.pieces.size(), 1u) << line.text;
    EXPECT_EQ(line.pieces[0].text, line.text);
  }
}

TEST(ReadLines, LinesReadUpAPageTurnedSidewaysHaveUprightBaselines) {
  // Tesseract reads the page turned right by itself, its lines running down the picture.
  std::size_t upright = 0;
  const std::vector<ReadLine> lines = readPicture("page-rot90.png", "eng");
  for (const ReadLine& line : lines) upright += std::abs(line.slope) > 1 ? 1 : 0;
  EXPECT_GT(2 * upright, lines.size());
}

TEST(ReadLines, AmountsFarToTheRightOfTheirItemsArePiecesOfTheirLines) {
  const std::vector<ReadLine> lines = readPicture("price_list.png", "eng");
  ASSERT_EQ(lines.size(), 4u);
  EXPECT_EQ(lines[0].pieces.size(), 1u);
  const char* amounts[] = {"3.80", "2.50", "6.30"};
  for (std::size_t l = 1; l < lines.size(); ++l) {
    const ReadLine& line = lines[l];
    ASSERT_EQ(line.pieces.size(), 2u) << line.text;
    const LinePiece &item = line.pieces[0], &amount = line.pieces[1];
    EXPECT_EQ(amount.text, amounts[l - 1]);
    EXPECT_EQ(item.text + " " + amount.text, line.text);
    EXPECT_GT(amount.box.x - (item.box.x + item.box.width), kPieceGap * item.box.height);
    EXPECT_EQ(amount.box.y, item.box.y);  // pieces stand as high as their line
    EXPECT_EQ(amount.box.height, item.box.height);
    EXPECT_EQ(item.words + amount.words, l == 1 ? 4 : l == 2 ? 3 : 2);
  }
}

}  // namespace
}  // namespace quillfen::tess
