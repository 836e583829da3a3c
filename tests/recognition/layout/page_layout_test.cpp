// The layout analysis run on an engine's own API: the same blocks as on an API of its own,
// and a reading that follows it reads exactly as a reading that analyses the page itself.
#include "recognition/layout/page_layout.h"

#include <gtest/gtest.h>
#include <leptonica/allheaders.h>
#include <tesseract/baseapi.h>

#include <memory>
#include <string>

#include "recognition/picture/pix_ptr.h"
#include "support/run_binary.h"
#include "support/test_picture.h"

namespace quillfen::layout {
namespace {

using picture::PixPtr;

using test_support::testPicture;

void initEnglish(tesseract::TessBaseAPI& api) {
  api.SetVariable("debug_file", "/dev/null");
  if (api.Init(QUILLFEN_TESSDATA_DIR, "eng", tesseract::OEM_LSTM_ONLY) != 0) throw std::runtime_error("no eng");
  api.SetPageSegMode(tesseract::PSM_AUTO);
}

std::string recognized(tesseract::TessBaseAPI& api) {
  if (api.Recognize(nullptr) != 0) throw std::runtime_error("recognition failed");
  std::unique_ptr<char[]> text(api.GetUTF8Text());
  return text ? text.get() : "";
}

TEST(EngineLayout, FindsTheBlocksOfTheLayoutsOwnAnalysis) {
  for (const char* file : {"magazine_top.png", "page.png", "two_columns.png"}) {
    const PixPtr page = testPicture(file);
    const PageLayout own = analysePageLayout(page.get());
    TesseractApi api;
    initEnglish(api);
    api.SetImage(page.get());
    const PageLayout engine = analyseLayout(api);
    ASSERT_EQ(engine.blocks.size(), own.blocks.size()) << file;
    for (std::size_t i = 0; i < own.blocks.size(); ++i) {
      EXPECT_EQ(engine.blocks[i].bounds.x, own.blocks[i].bounds.x) << file << " block " << i;
      EXPECT_EQ(engine.blocks[i].bounds.y, own.blocks[i].bounds.y) << file << " block " << i;
      EXPECT_EQ(engine.blocks[i].bounds.width, own.blocks[i].bounds.width) << file << " block " << i;
      EXPECT_EQ(engine.blocks[i].lineCount, own.blocks[i].lineCount) << file << " block " << i;
      EXPECT_EQ(engine.blocks[i].flowing, own.blocks[i].flowing) << file << " block " << i;
    }
    EXPECT_EQ(hasColumns(engine), hasColumns(own)) << file;
  }
  EXPECT_TRUE(hasColumns(analysePageLayout(testPicture("magazine_top.png").get())));
}

TEST(EngineLayout, AReadingAfterItReadsAsOneThatAnalysesThePageItself) {
  const PixPtr page = testPicture("page.png");
  tesseract::TessBaseAPI fresh;
  initEnglish(fresh);
  fresh.SetImage(page.get());
  const std::string expected = recognized(fresh);
  ASSERT_FALSE(expected.empty());

  TesseractApi api;
  initEnglish(api);
  api.SetImage(page.get());
  EXPECT_FALSE(analyseLayout(api).blocks.empty());
  EXPECT_EQ(recognized(api), expected);
}

}  // namespace
}  // namespace quillfen::layout
