#include "record/json_encoding.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

namespace quillfen {
namespace {

std::string encoded(const std::string& text, double confidence, std::int64_t lines, const std::string& engine) {
  std::optional<std::string> json = encodeJson(OcrOutput(text, confidence, lines, engine));
  EXPECT_TRUE(json.has_value());
  return json.value_or("");
}

TEST(JsonLine, EmptyRecordIsCompact) {
  EXPECT_EQ(encoded("", 0, 0, "tesseract"), R"({"text":"","confidence":0,"lines":0,"engine":"tesseract"})");
}

TEST(JsonLine, StringsEscapeOnlyWhatJsonNeedsPlusTheSolidus) {
  EXPECT_EQ(encoded("第一行\n第二行", 1, 2, "e"),
            "{\"text\":\"第一行\\n第二行\",\"confidence\":1,\"lines\":2,\"engine\":\"e\"}");
  EXPECT_EQ(encoded("2024/06/15", 1, 1, "e"), R"({"text":"2024\/06\/15","confidence":1,"lines":1,"engine":"e"})");
  EXPECT_EQ(encoded("say \"hi\" \\ bye", 1, 1, "e"),
            R"({"text":"say \"hi\" \\ bye","confidence":1,"lines":1,"engine":"e"})");
  EXPECT_EQ(encoded(std::string("\b\f\r\t\x01\x1f\x7f", 7), 1, 1, "e"),
            "{\"text\":\"\\b\\f\\r\\t\\u0001\\u001f\x7f\",\"confidence\":1,\"lines\":1,\"engine\":\"e\"}");
  EXPECT_EQ(encoded(std::string("a\0b", 3), 1, 1, "e"), R"({"text":"a\u0000b","confidence":1,"lines":1,"engine":"e"})");
}

TEST(JsonLine, ConfidenceInShortestExactForm) {
  EXPECT_EQ(encoded("", 0.75, 3, "e"), R"({"text":"","confidence":0.75,"lines":3,"engine":"e"})");
  // The float nearest 0.3, widened, keeps all the digits that tell it from 0.3.
  const double widened = static_cast<double>(0.3f);
  EXPECT_EQ(encoded("", widened, 1, "e"), R"({"text":"","confidence":0.30000001192092896,"lines":1,"engine":"e"})");
  EXPECT_EQ(encoded("", 1.0 / 3.0, 1, "e"), R"({"text":"","confidence":0.3333333333333333,"lines":1,"engine":"e"})");
  EXPECT_EQ(encoded("", 0, -5, "e"), R"({"text":"","confidence":0,"lines":-5,"engine":"e"})");
}

TEST(JsonLine, NonFiniteConfidenceOrInvalidUtf8CannotBeSerialised) {
  EXPECT_FALSE(encodeJson(OcrOutput("", std::nan(""), 0, "e")));
  EXPECT_FALSE(encodeJson(OcrOutput("", std::numeric_limits<double>::infinity(), 0, "e")));
  EXPECT_FALSE(encodeJson(OcrOutput("", -std::numeric_limits<double>::infinity(), 0, "e")));
  EXPECT_FALSE(encodeJson(OcrOutput("\xff", 0, 1, "e")));
  EXPECT_FALSE(encodeJson(OcrOutput("\xe4\xb8", 0, 1, "e")));          // truncated sequence
  EXPECT_FALSE(encodeJson(OcrOutput("\xc0\xaf", 0, 1, "e")));          // overlong solidus
  EXPECT_FALSE(encodeJson(OcrOutput("\xed\xa0\x80", 0, 1, "e")));      // surrogate
  EXPECT_FALSE(encodeJson(OcrOutput("\xf4\x90\x80\x80", 0, 1, "e")));  // above U+10FFFF
  EXPECT_FALSE(encodeJson(OcrOutput("", 0, 0, "\x80")));
  EXPECT_TRUE(encodeJson(OcrOutput("\xf0\x9f\x98\x80 \xe4\xb8\xad", 0, 1, "e")));
}

TEST(CodingKeys, EachKeyIsItsFieldsName) {
  EXPECT_EQ(stringValue(CodingKeys::text), "text");
  EXPECT_EQ(stringValue(CodingKeys::confidence), "confidence");
  EXPECT_EQ(stringValue(CodingKeys::lines), "lines");
  EXPECT_EQ(stringValue(CodingKeys::engine), "engine");
}

}  // namespace
}  // namespace quillfen
