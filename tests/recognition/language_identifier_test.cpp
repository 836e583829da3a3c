#include "recognition/language_identifier.h"

#include <gtest/gtest.h>

#include <string>

namespace quillfen {
namespace {

using enum WrittenLanguage;

struct Reading {
  const char* identifier;
  WrittenLanguage language;
};

// Every identifier Vision takes on macOS, the bare language, the region forms people use,
// other cases and separators.
constexpr Reading readings[] = {
    // The identifiers Vision knows, as Vision writes them.
    {"en-US", english},
    {"fr-FR", french},
    {"it-IT", italian},
    {"de-DE", german},
    {"es-ES", spanish},
    {"pt-BR", portuguese},
    {"zh-Hans", chineseSimplified},
    {"zh-Hant", chineseTraditional},
    {"yue-Hans", cantoneseSimplified},
    {"yue-Hant", cantoneseTraditional},
    {"ko-KR", korean},
    {"ja-JP", japanese},
    {"ru-RU", russian},
    {"uk-UA", ukrainian},
    {"th-TH", thai},
    {"vi-VT", vietnamese},
    {"ar-SA", arabic},
    {"ars-SA", arabic},
    // Bare languages.
    {"en", english},
    {"fr", french},
    {"it", italian},
    {"de", german},
    {"es", spanish},
    {"pt", portuguese},
    {"zh", chineseSimplified},
    {"yue", cantoneseTraditional},
    {"ko", korean},
    {"ja", japanese},
    {"ru", russian},
    {"uk", ukrainian},
    {"th", thai},
    {"vi", vietnamese},
    {"ar", arabic},
    {"ars", arabic},
    // Any region goes with its language.
    {"en-GB", english},
    {"en-AU", english},
    {"en-IN", english},
    {"en-001", english},
    {"fr-CA", french},
    {"fr-BE", french},
    {"pt-PT", portuguese},
    {"es-MX", spanish},
    {"es-419", spanish},
    {"de-AT", german},
    {"de-CH", german},
    {"it-CH", italian},
    {"vi-VN", vietnamese},
    {"ar-EG", arabic},
    {"ko-KP", korean},
    // Chinese regions choose the script, and a script beats the region.
    {"zh-CN", chineseSimplified},
    {"zh-SG", chineseSimplified},
    {"zh-MY", chineseSimplified},
    {"zh-TW", chineseTraditional},
    {"zh-HK", chineseTraditional},
    {"zh-MO", chineseTraditional},
    {"zh-US", chineseSimplified},
    {"zh-Hans-CN", chineseSimplified},
    {"zh-Hant-TW", chineseTraditional},
    {"zh-Hant-HK", chineseTraditional},
    {"zh-Hans-HK", chineseSimplified},
    {"zh-Hant-CN", chineseTraditional},
    {"yue-HK", cantoneseTraditional},
    {"yue-CN", cantoneseSimplified},
    {"yue-Hans-CN", cantoneseSimplified},
    // The language's own script may be written out.
    {"en-Latn", english},
    {"en-Latn-US", english},
    {"ru-Cyrl-RU", russian},
    {"ja-Jpan", japanese},
    {"ko-Kore-KR", korean},
    {"th-Thai", thai},
    {"ar-Arab-SA", arabic},
    // Case, separators, surrounding spaces.
    {"EN-us", english},
    {"ZH-HANS", chineseSimplified},
    {"zh-hant", chineseTraditional},
    {"En", english},
    {"en_US", english},
    {"zh_Hans", chineseSimplified},
    {"zh_TW", chineseTraditional},
    {"zh_Hant-HK", chineseTraditional},
    {"pt_br", portuguese},
    {" en-US", english},
    {"zh-Hans ", chineseSimplified},
    {"\tja-JP\t", japanese},
    {"  fr  ", french},
};

TEST(LanguageIdentifier, ReadsTheFormsPeopleWrite) {
  for (const Reading& reading : readings) {
    EXPECT_EQ(readLanguageIdentifier(reading.identifier), reading.language) << "“" << reading.identifier << "”";
  }
}

TEST(LanguageIdentifier, NamesNoLanguageForAnythingElse) {
  for (const std::string identifier : {
           "",
           " ",
           "\t",
           "-",
           "_",
           "xx",
           "xx-XX",
           "english",
           "eng",
           "chi_sim",
           "jpn",
           "zho",  // not listed
           "nl-NL",
           "pl",
           "he-IL",
           "hi-IN",
           "fa",
           "cmn",  // no data here
           "en-",
           "ar-",
           "-en",
           "en--US",
           "en-US-",
           "en-_US",
           "zh-Hans_",  // empty subtags
           "en US",
           "zh Hans",
           "e n",
           "en -US",
           "en\n",
           "\nen",
           "en\r",  // inner or other spaces
           "en-USA",
           "en-U",
           "en-1",
           "en-12",
           "en-1234",
           "en-US-GB",
           "en-US-Latn",  // malformed subtags
           "zh-Latn",
           "zh-Hans-Hant",
           "zh-Jpan",
           "yue-Latn",
           "ru-Latn",
           "ja-Latn",
           "en-Cyrl",  // wrong script
           "de-DE-1996",
           "en-US-u-nu-latn",
           "zh-Hans-CN-x",
           "en-US-POSIX",  // more subtags
           "en.UTF-8",
           "en_US.UTF-8",
           "fr@euro",
           "zh-Hänt",
           "e\xffn",
           "C",
           "*",  // other characters
       }) {
    EXPECT_EQ(readLanguageIdentifier(identifier), std::nullopt) << "“" << identifier << "”";
  }
}

TEST(LanguageIdentifier, AStringWithANulByteIsNotAnIdentifier) {
  EXPECT_EQ(readLanguageIdentifier(std::string_view("en\0US", 5)), std::nullopt);
  EXPECT_EQ(readLanguageIdentifier(std::string_view("en\0", 3)), std::nullopt);
}

}  // namespace
}  // namespace quillfen
