#include "record/json_read.h"

#include <gtest/gtest.h>

#include "record/json_encoding.h"

namespace quillfen {
namespace {

TEST(JsonRead, ReadsBackWhatTheWriterWrites) {
  const OcrOutput records[] = {
      OcrOutput("", 0, 0, "tesseract"),
      OcrOutput("第一行\n2024/06/15 \"x\" \\ \t\x01", static_cast<double>(0.3f), 2, "ppocr-v4"),
      OcrOutput("a", 1, 9223372036854775807, "e"),
  };
  for (const OcrOutput& record : records) {
    std::optional<std::string> json = encodeJson(record);
    ASSERT_TRUE(json);
    EXPECT_EQ(readOcrOutput(*json), record) << *json;
  }
}

TEST(JsonRead, IgnoresExtraMembersAndOrder) {
  EXPECT_EQ(readOcrOutput(R"({"engine":"e","lines":2,"extra":[1],"confidence":1,"text":"t"})"),
            OcrOutput("t", 1, 2, "e"));
}

TEST(JsonRead, FailsOnMissingMembersWrongTypesOrNonObjects) {
  const char* bad[] = {
      R"({"text":"t","confidence":1,"lines":2})",
      R"({"confidence":1,"lines":2,"engine":"e"})",
      R"({"text":"t","confidence":"1","lines":2,"engine":"e"})",
      R"({"text":"t","confidence":1,"lines":2.5,"engine":"e"})",
      R"({"text":"t","confidence":1,"lines":"2","engine":"e"})",
      R"({"text":1,"confidence":1,"lines":2,"engine":"e"})",
      R"({"text":"t","confidence":1,"lines":2,"engine":null})",
      R"({"text":"t","confidence":1,"lines":9223372036854775808,"engine":"e"})",
      R"({"Text":"t","confidence":1,"lines":2,"engine":"e"})",
      R"([1,2])",
      R"("text")",
      R"({"text":"t",)",
      "",
  };
  for (const char* json : bad) EXPECT_FALSE(readOcrOutput(json)) << json;
}

}  // namespace
}  // namespace quillfen
