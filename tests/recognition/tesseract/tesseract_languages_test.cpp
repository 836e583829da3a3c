#include "recognition/tesseract/tesseract_languages.h"

#include <gtest/gtest.h>

#include "support/temp_dir.h"

namespace quillfen::tess {
namespace {

using Names = std::vector<std::string>;

// A data folder holding only the named data files.
struct DataFolder {
  test_support::TempDir dir;
  explicit DataFolder(const Names& names) {
    for (const std::string& name : names) dir.write(name + ".traineddata", "x");
  }
};

TEST(TesseractLanguages, MapsInPriorityOrderWithoutDuplicates) {
  DataFolder data({"chi_sim", "eng", "fra", "jpn"});
  auto mapped = tesseractLanguages({"en-US", "ZH-hans", "en-gb", "fr-FR", "ja-JP"}, data.dir.path());
  ASSERT_TRUE(std::holds_alternative<Names>(mapped));
  EXPECT_EQ(std::get<Names>(mapped), (Names{"eng", "chi_sim", "fra", "jpn"}));
}

TEST(TesseractLanguages, EmptyListReadsEnglish) {
  DataFolder data({"eng"});
  auto mapped = tesseractLanguages({}, data.dir.path());
  ASSERT_TRUE(std::holds_alternative<Names>(mapped));
  EXPECT_EQ(std::get<Names>(mapped), Names{"eng"});
}

TEST(TesseractLanguages, UnknownIdentifierIsNamed) {
  DataFolder data({"eng"});
  for (const std::string identifier : {"xx-XX", " en-US", "en", ""}) {
    auto mapped = tesseractLanguages({"en-US", identifier}, data.dir.path());
    ASSERT_TRUE(std::holds_alternative<Status>(mapped)) << identifier;
    EXPECT_NE(std::get<Status>(mapped).description().find("“" + identifier + "”"), std::string::npos);
  }
}

TEST(TesseractLanguages, MissingDataFileNamesIdentifierAndPackage) {
  DataFolder data({"eng"});
  auto mapped = tesseractLanguages({"en-US", "zh-Hant"}, data.dir.path());
  ASSERT_TRUE(std::holds_alternative<Status>(mapped));
  const std::string& description = std::get<Status>(mapped).description();
  EXPECT_NE(description.find("zh-Hant"), std::string::npos) << description;
  EXPECT_NE(description.find("tesseract-ocr-chi-tra"), std::string::npos) << description;
}

}  // namespace
}  // namespace quillfen::tess
