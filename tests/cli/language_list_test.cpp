#include "cli/language_list.h"

#include <gtest/gtest.h>

namespace quillfen {
namespace {

using List = std::vector<std::string>;

TEST(LanguageList, DefaultWhenMissingOrEmpty) {
  const List defaults{"zh-Hans", "en-US"};
  EXPECT_EQ(languageList({"tool", "a.png"}), defaults);
  EXPECT_EQ(languageList({"tool", "a.png", ""}), defaults);
  EXPECT_EQ(languageList({"tool", "a.png", "", "fr-FR"}), defaults);
}

TEST(LanguageList, SplitsAtEveryCommaAndDropsEmptyPieces) {
  EXPECT_EQ(languageList({"tool", "a.png", "en-US"}), (List{"en-US"}));
  EXPECT_EQ(languageList({"tool", "a.png", ",fr-FR,,de-DE,"}), (List{"fr-FR", "de-DE"}));
  EXPECT_EQ(languageList({"tool", "a.png", "de-DE,en-US,de-DE"}), (List{"de-DE", "en-US", "de-DE"}));
}

TEST(LanguageList, CommasOnlyGiveAnEmptyList) {
  EXPECT_EQ(languageList({"tool", "a.png", ","}), List{});
  EXPECT_EQ(languageList({"tool", "a.png", ",,,"}), List{});
}

TEST(LanguageList, PiecesAreKeptExactlyAsWritten) {
  EXPECT_EQ(languageList({"tool", "a.png", " en-US, ZH-hans "}), (List{" en-US", " ZH-hans "}));
  EXPECT_EQ(languageList({"tool", "a.png", " "}), (List{" "}));
}

TEST(LanguageList, LaterArgumentsHaveNoEffect) {
  EXPECT_EQ(languageList({"tool", "a.png", "fr-FR", "de-DE", "x"}), (List{"fr-FR"}));
}

}  // namespace
}  // namespace quillfen
