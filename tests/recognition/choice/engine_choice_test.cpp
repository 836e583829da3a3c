#include "recognition/choice/engine_choice.h"

#include <gtest/gtest.h>

namespace quillfen {
namespace {

TEST(EngineChoice, ChineseAndEnglishRunsUsePpocr) {
  for (const std::vector<std::string>& languages : std::vector<std::vector<std::string>>{
           {"zh-Hans", "en-US"}, {}, {"en-GB"}, {"ZH-HANS"}, {"en-us", "EN-gb", "zh-hans"}}) {
    EXPECT_TRUE(ppocrReads(languages)) << ::testing::PrintToString(languages);
    EXPECT_EQ(chooseEngine(languages)->name(), "ppocr-v4");
  }
}

TEST(EngineChoice, AnyOtherLanguageSendsTheWholeRunToTesseract) {
  for (const std::vector<std::string>& languages : std::vector<std::vector<std::string>>{
           {"zh-Hans", "zh-Hant"}, {"ja-JP"}, {"en-US", "fr-FR"}, {"xx-XX"}, {"en"}, {"zh-Hans "}, {""}}) {
    EXPECT_FALSE(ppocrReads(languages)) << ::testing::PrintToString(languages);
    EXPECT_EQ(chooseEngine(languages)->name(), "tesseract");
  }
}

}  // namespace
}  // namespace quillfen
