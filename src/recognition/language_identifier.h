#pragma once

#include <optional>
#include <string_view>

namespace quillfen {

// A language as the recognizers tell languages apart: Chinese and Cantonese by script.
enum class WrittenLanguage {
  english,
  french,
  italian,
  german,
  spanish,
  portuguese,
  chineseSimplified,
  chineseTraditional,
  cantoneseSimplified,
  cantoneseTraditional,
  korean,
  japanese,
  russian,
  ukrainian,
  thai,
  vietnamese,
  arabic,
};

// The language a language identifier names, read as people write them: "zh-Hans", "en_us",
// "EN", "pt-BR", "zh-TW", "es-419", " fr-FR ". The identifier is a language subtag (two or
// three letters), then optionally a script (four letters) and a region (two letters or three
// digits), separated by "-" or "_", ASCII case ignored, spaces and tabs around it ignored.
// Any region goes with a language; only Chinese and Cantonese take their script from it:
// CN, SG and MY mean Simplified, TW, HK and MO Traditional, and without script or such a
// region Chinese is Simplified and Cantonese Traditional. A script other than the language's
// own ("ru-Latn", "zh-Latn"), more subtags, or a language not listed gives nothing.
std::optional<WrittenLanguage> readLanguageIdentifier(std::string_view identifier);

}  // namespace quillfen
