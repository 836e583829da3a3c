#include "recognition/tesseract/tesseract_languages.h"

#include <gtest/gtest.h>

#include "support/temp_dir.h"

namespace quillfen::tess {
namespace {

using Names = std::vector<std::string>;

struct Mapped {
  Status status;
  Names names;
};

Mapped mapLanguages(const std::vector<std::string>& identifiers, const std::string& dataDirectory) {
  Mapped mapped;
  mapped.status = tesseractLanguages(identifiers, dataDirectory, &mapped.names);
  return mapped;
}

// A data folder holding only the named data files.
struct DataFolder {
  test_support::TempDir dir;
  explicit DataFolder(const Names& names) {
    for (const std::string& name : names) dir.write(name + ".traineddata", "x");
  }
};

TEST(TesseractLanguages, MapsInPriorityOrderWithoutDuplicates) {
  DataFolder data({"chi_sim", "eng", "fra", "jpn"});
  const Mapped mapped = mapLanguages({"en-US", "ZH-hans", "en-gb", "fr-FR", "ja-JP"}, data.dir.path());
  ASSERT_TRUE(mapped.status.ok());
  EXPECT_EQ(mapped.names, (Names{"eng", "chi_sim", "fra", "jpn"}));
}

TEST(TesseractLanguages, EveryFormOfALanguageGetsItsData) {
  DataFolder data({"eng", "chi_sim", "chi_tra", "jpn", "kor", "ara", "tha", "vie", "deu", "spa", "por"});
  const std::pair<Names, Names> cases[] = {
      {{"en", "EN-au", "en_GB", "en-Latn-US"}, {"eng"}},
      {{"zh", "zh-CN", "zh_SG", "zh-Hans", "yue-Hans", "yue-CN"}, {"chi_sim"}},
      {{"zh-TW", "zh-HK", "zh-Hant", "yue-Hant", "yue", "zh-Hant-CN"}, {"chi_tra"}},
      {{"ar-SA", "ars-SA", "ar", "ars", "AR_eg"}, {"ara"}},
      {{"th-TH", "th"}, {"tha"}},
      {{"vi-VT", "vi-VN", "vi"}, {"vie"}},
      {{"de-DE", "de", "de-AT"}, {"deu"}},
      {{"es-ES", "es-419", "es"}, {"spa"}},
      {{"pt-BR", "pt-PT", "pt"}, {"por"}},
  };
  for (const auto& [identifiers, expected] : cases) {
    const Mapped mapped = mapLanguages(identifiers, data.dir.path());
    ASSERT_TRUE(mapped.status.ok()) << ::testing::PrintToString(identifiers);
    EXPECT_EQ(mapped.names, expected) << ::testing::PrintToString(identifiers);
  }
}

TEST(TesseractLanguages, ScriptsMixInOnePassInTheListsOrder) {
  DataFolder data({"eng", "chi_sim", "chi_tra", "jpn", "kor", "ara"});
  const std::pair<Names, Names> cases[] = {
      {{"ja-JP", "en-US"}, {"jpn", "eng"}},
      {{"en-US", "ja-JP"}, {"eng", "jpn"}},
      {{"ko-KR", "zh-Hans"}, {"kor", "chi_sim"}},
      {{"zh-Hant", "ko", "ar", "en"}, {"chi_tra", "kor", "ara", "eng"}},
      {{"yue-Hant", "zh-TW", "zh-Hans", "yue-Hans"}, {"chi_tra", "chi_sim"}},
  };
  for (const auto& [identifiers, expected] : cases) {
    const Mapped mapped = mapLanguages(identifiers, data.dir.path());
    ASSERT_TRUE(mapped.status.ok()) << ::testing::PrintToString(identifiers);
    EXPECT_EQ(mapped.names, expected) << ::testing::PrintToString(identifiers);
  }
}

TEST(TesseractLanguages, EmptyListReadsEnglish) {
  DataFolder data({"eng"});
  const Mapped mapped = mapLanguages({}, data.dir.path());
  ASSERT_TRUE(mapped.status.ok());
  EXPECT_EQ(mapped.names, Names{"eng"});
}

TEST(TesseractLanguages, UnknownIdentifierIsNamed) {
  DataFolder data({"eng"});
  for (const std::string identifier : {"xx-XX", "en US", "english", "zh-Latn", "nl-NL", " ", ""}) {
    const Mapped mapped = mapLanguages({"en-US", identifier}, data.dir.path());
    ASSERT_TRUE(!mapped.status.ok()) << identifier;
    EXPECT_NE(mapped.status.description().find("“" + identifier + "”"), std::string::npos);
  }
}

TEST(TesseractLanguages, MissingDataOfACantoneseOrRegionFormNamesTheChinesePackage) {
  DataFolder data({"eng"});
  const std::pair<std::string, std::string> cases[] = {
      {"yue-Hans", "tesseract-ocr-chi-sim"}, {"zh-HK", "tesseract-ocr-chi-tra"}, {"ars-SA", "tesseract-ocr-ara"},
      {"th", "tesseract-ocr-tha"},           {"vi-VT", "tesseract-ocr-vie"},
  };
  for (const auto& [identifier, package] : cases) {
    const Mapped mapped = mapLanguages({"en", identifier}, data.dir.path());
    ASSERT_TRUE(!mapped.status.ok()) << identifier;
    const std::string& description = mapped.status.description();
    EXPECT_NE(description.find("“" + identifier + "”"), std::string::npos) << description;
    EXPECT_NE(description.find(package), std::string::npos) << description;
  }
}

TEST(TesseractLanguages, MissingDataFileNamesIdentifierAndPackage) {
  DataFolder data({"eng"});
  const Mapped mapped = mapLanguages({"en-US", "zh-Hant"}, data.dir.path());
  ASSERT_TRUE(!mapped.status.ok());
  const std::string& description = mapped.status.description();
  EXPECT_NE(description.find("zh-Hant"), std::string::npos) << description;
  EXPECT_NE(description.find("tesseract-ocr-chi-tra"), std::string::npos) << description;
}

}  // namespace
}  // namespace quillfen::tess
