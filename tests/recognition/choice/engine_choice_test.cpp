#include "recognition/choice/engine_choice.h"

#include <gtest/gtest.h>

namespace quillfen {
namespace {

TEST(EngineChoice, ChineseAndEnglishRunsUsePpocr) {
  for (const std::vector<std::string>& languages :
       std::vector<std::vector<std::string>>{{"zh-Hans", "en-US"},
                                             {},
                                             {"en-GB"},
                                             {"ZH-HANS"},
                                             {"en-us", "EN-gb", "zh-hans"},
                                             // Every form of English and Simplified Chinese, spaces around it included.
                                             {"en"},
                                             {"en-AU"},
                                             {"en_IN"},
                                             {"EN-Latn-US"},
                                             {"zh"},
                                             {"zh-CN", "en"},
                                             {"zh_SG"},
                                             {"zh-Hans-HK"},
                                             {"zh-Hans "},
                                             {" en-US", " zh-Hans"}}) {
    EXPECT_TRUE(ppocrReads(languages)) << ::testing::PrintToString(languages);
    EXPECT_EQ(chooseEngine(languages)->name(), "ppocr-v4");
  }
}

TEST(EngineChoice, AnyOtherLanguageSendsTheWholeRunToTesseract) {
  for (const std::vector<std::string>& languages : std::vector<std::vector<std::string>>{{"zh-Hans", "zh-Hant"},
                                                                                         {"ja-JP"},
                                                                                         {"en-US", "fr-FR"},
                                                                                         {"xx-XX"},
                                                                                         {"en", "xx"},
                                                                                         {"zh-TW"},
                                                                                         {"zh-HK", "en"},
                                                                                         {"yue-Hans"},
                                                                                         {"yue"},
                                                                                         {"en-US", "ko-KR"},
                                                                                         {"zh-Hans", "ja"},
                                                                                         {"en US"},
                                                                                         {" "},
                                                                                         {""}}) {
    EXPECT_FALSE(ppocrReads(languages)) << ::testing::PrintToString(languages);
    EXPECT_EQ(chooseEngine(languages)->name(), "tesseract");
  }
}

}  // namespace
}  // namespace quillfen
