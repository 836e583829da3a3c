#include "recognition/language_identifier.h"

#include <algorithm>
#include <string>
#include <vector>

namespace quillfen {
namespace {

using enum WrittenLanguage;

// A language subtag, the script its text is written in (lower case), and the language.
// Chinese and Cantonese are in neither list: their script chooses the language.
struct LanguageSubtag {
  std::string_view subtag;
  std::string_view script;
  WrittenLanguage language;
};

constexpr LanguageSubtag languageSubtags[] = {
    {"en", "latn", english}, {"fr", "latn", french},     {"it", "latn", italian}, {"de", "latn", german},
    {"es", "latn", spanish}, {"pt", "latn", portuguese}, {"ko", "kore", korean},  {"ja", "jpan", japanese},
    {"ru", "cyrl", russian}, {"uk", "cyrl", ukrainian},  {"th", "thai", thai},    {"vi", "latn", vietnamese},
    {"ar", "arab", arabic},  {"ars", "arab", arabic},
};

constexpr std::string_view simplifiedRegions[] = {"cn", "sg", "my"};
constexpr std::string_view traditionalRegions[] = {"tw", "hk", "mo"};

char lower(char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c; }
bool isLetter(char c) { return c >= 'a' && c <= 'z'; }
bool isDigit(char c) { return c >= '0' && c <= '9'; }

bool allOf(std::string_view s, bool (*test)(char)) { return !s.empty() && std::all_of(s.begin(), s.end(), test); }

bool contains(const auto& list, std::string_view value) {
  return std::find(std::begin(list), std::end(list), value) != std::end(list);
}

// The identifier lower-cased and cut at "-" and "_"; nothing when a piece is empty.
std::optional<std::vector<std::string>> subtags(std::string_view identifier) {
  std::vector<std::string> pieces(1);
  for (char c : identifier) {
    if (c == '-' || c == '_') {
      pieces.emplace_back();
    } else {
      pieces.back().push_back(lower(c));
    }
  }
  if (std::any_of(pieces.begin(), pieces.end(), [](const std::string& piece) { return piece.empty(); })) {
    return std::nullopt;
  }
  return pieces;
}

std::string_view trimmed(std::string_view s) {
  const std::size_t first = s.find_first_not_of(" \t");
  if (first == std::string_view::npos) return {};
  return s.substr(first, s.find_last_not_of(" \t") - first + 1);
}

}  // namespace

std::optional<WrittenLanguage> readLanguageIdentifier(std::string_view identifier) {
  const std::optional<std::vector<std::string>> pieces = subtags(trimmed(identifier));
  if (!pieces || pieces->size() > 3) return std::nullopt;

  const std::string& language = pieces->front();
  if (!allOf(language, isLetter) || language.size() > 3) return std::nullopt;
  std::string_view script, region;
  for (std::size_t i = 1; i < pieces->size(); ++i) {
    const std::string& piece = (*pieces)[i];
    if (i == 1 && piece.size() == 4 && allOf(piece, isLetter)) {
      script = piece;
    } else if (region.empty() &&
               ((piece.size() == 2 && allOf(piece, isLetter)) || (piece.size() == 3 && allOf(piece, isDigit)))) {
      region = piece;
    } else {
      return std::nullopt;
    }
  }

  if (language == "zh" || language == "yue") {
    const bool cantonese = language == "yue";
    bool traditional = cantonese;
    if (script == "hans") {
      traditional = false;
    } else if (script == "hant") {
      traditional = true;
    } else if (!script.empty()) {
      return std::nullopt;
    } else if (contains(simplifiedRegions, region)) {
      traditional = false;
    } else if (contains(traditionalRegions, region)) {
      traditional = true;
    }
    if (cantonese) return traditional ? cantoneseTraditional : cantoneseSimplified;
    return traditional ? chineseTraditional : chineseSimplified;
  }

  for (const LanguageSubtag& known : languageSubtags) {
    if (known.subtag != language) continue;
    if (!script.empty() && script != known.script) return std::nullopt;
    return known.language;
  }
  return std::nullopt;
}

}  // namespace quillfen
