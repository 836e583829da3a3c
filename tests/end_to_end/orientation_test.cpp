// Pages stored turned read as upright, through the binary, with each engine.
#include <gtest/gtest.h>

#include <sstream>

#include "record/json_read.h"
#include "support/run_binary.h"
#include "support/text_distance.h"

namespace quillfen {
namespace {

using test_support::dataPath;
using test_support::runBinary;

struct Engine {
  const char* name;
  std::vector<std::string> languages;  // after the picture
};

const Engine kEngines[] = {{"ppocr-v4", {}}, {"tesseract", {"en-US,fr-FR"}}};

OcrOutput read(const std::string& picture, const Engine& engine) {
  std::vector<std::string> arguments = {dataPath(picture)};
  arguments.insert(arguments.end(), engine.languages.begin(), engine.languages.end());
  const test_support::ProcessResult result = runBinary(arguments);
  EXPECT_EQ(result.status, 0) << result.err;
  std::optional<OcrOutput> record = readOcrOutput(result.out);
  EXPECT_TRUE(record) << result.out;
  return record.value_or(OcrOutput("", -1, -1, ""));
}

class TurnedPage : public ::testing::TestWithParam<const char*> {};

TEST_P(TurnedPage, ReadsAsUprightWithEachEngine) {
  const std::string expected = test_support::expectedText("page");
  for (const Engine& engine : kEngines) {
    SCOPED_TRACE(engine.name);
    const OcrOutput record = read(std::string(GetParam()) + ".png", engine);
    EXPECT_EQ(record.engine(), engine.name);
    // In order: a sideways page read line by line but in the wrong order fails this.
    EXPECT_LT(test_support::characterErrorRate(expected, record.text()), 0.02) << record.text();
    EXPECT_EQ(record.lines(), 8) << record.text();
  }
}

INSTANTIATE_TEST_SUITE_P(Orientations, TurnedPage,
                         ::testing::Values("page", "page-rot90", "page-rot180", "page-rot270"));

// A skewed scan turned sideways: each line lies a little off the vertical, so its box's
// ends are further apart across the page than the line is thick. Each engine reads the
// turned copies as it reads the upright scan (Tesseract misreads a few characters of it
// either way).
TEST(TurnedScan, LinesOffTheVerticalReadAsUprightWithEachEngine) {
  const Engine engines[] = {{"ppocr-v4", {}}, {"tesseract", {"zh-Hans,fr-FR"}}};
  for (const Engine& engine : engines) {
    SCOPED_TRACE(engine.name);
    const OcrOutput upright = read("scan.png", engine);
    EXPECT_EQ(upright.lines(), 7) << upright.text();
    EXPECT_LT(test_support::characterErrorRate(test_support::expectedText("scan"), upright.text()), 0.08)
        << upright.text();
    for (const char* picture : {"scan-rot90.png", "scan-rot270.png"}) {
      SCOPED_TRACE(picture);
      const OcrOutput turned = read(picture, engine);
      EXPECT_EQ(turned.engine(), engine.name);
      EXPECT_LT(test_support::characterErrorRate(upright.text(), turned.text()), 0.02) << turned.text();
      EXPECT_EQ(turned.lines(), 7) << turned.text();
    }
  }
}

// A page with a title over two columns, stored turned right: read upright, its columns
// are read one after the other, as on the page as printed. (The PP-OCR engine orders its
// lines by the page's layout, which must be found on the page turned upright.)
TEST(TurnedColumns, ReadInTheUprightPagesOrder) {
  const Engine ppocr{"ppocr-v4", {}};
  const OcrOutput upright = read("magazine_top.png", ppocr);
  const OcrOutput turned = read("magazine_top-rot90.png", ppocr);
  EXPECT_EQ(turned.lines(), upright.lines());
  EXPECT_LT(test_support::characterErrorRate(upright.text(), turned.text()), 0.01) << turned.text();
}

// A small receipt stored upside down, on which Tesseract's orientation detection is unsure.
TEST(TurnedReceipt, ReadsAsUprightWithEachEngine) {
  const Engine engines[] = {{"ppocr-v4", {}}, {"tesseract", {"zh-Hans,fr-FR"}}};
  for (const Engine& engine : engines) {
    SCOPED_TRACE(engine.name);
    const OcrOutput record = read("till_receipt-rot180.png", engine);
    EXPECT_LT(test_support::characterErrorRate(test_support::expectedText("till_receipt"), record.text()), 0.1)
        << record.text();
  }
}

TEST(UprightPage, ALabelSetSidewaysDoesNotTurnIt) {
  const std::string expected = test_support::expectedText("page");
  for (const Engine& engine : kEngines) {
    SCOPED_TRACE(engine.name);
    const OcrOutput record = read("page_with_label.png", engine);
    // The page's eight lines come first and whole, whatever is made of the label.
    std::istringstream in(record.text());
    std::string firstEight;
    std::string line;
    for (int i = 0; i < 8 && std::getline(in, line); ++i) firstEight += (i ? "\n" : "") + line;
    EXPECT_LT(test_support::characterErrorRate(expected, firstEight), 0.02) << record.text();
  }
}

}  // namespace
}  // namespace quillfen
