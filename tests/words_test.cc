// Which words count: the rejection tests in their order, one row per rule
// and per boundary, and the vowel set they rely on.
#include "engine/words.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "engine/common_words.h"
#include "engine/settings.h"
#include "support/cp1252.h"

namespace vorn {
namespace {

using S = AnalysisSettings;
using W = WordTest;

// The English list; "isn" and "speed" are on it to show that the stem test
// comes before the common-word test, and that one before the ending rule.
const CommonWordsTable& Common() {
  static const CommonWordsTable* const table = [] {
    auto* t = new CommonWordsTable;
    t->LoadFromText(kEnglish,
                    "the\nwith into\nabout, after\nisn\nspeed\n"
                    "\xD1\x8D\xD1\x82\xD0\xBE\n");  // это
    return t;
  }();
  return *table;
}

// With the default settings: words of up to 2 letters are short, the
// language is English and common words are ignored. In order: short; too
// long (above 60, before the repeated letter); one letter repeated, in any
// case; Roman numerals (only i v x l c m); no vowel, y counting as one (Ç Ñ ý
// are no vowels), in Latin words only; contraction stems and their tails;
// common words in any case; 5+ letters ending in "ly" or "ed", bar the
// exceptions. Sizes are in display columns (a Han character takes two),
// lengths in characters.
TEST(WordsTest, RejectingTestWithDefaults) {
  const std::string sixty(60, 'a');
  const std::string sixty_mixed = std::string(59, 'b') + "a";
  std::string sixty_cyrillic;  // б x 59, а
  for (int i = 0; i < 59; ++i) sixty_cyrillic += "\xD0\xB1";
  sixty_cyrillic += "\xD0\xB0";
  const struct {
    WordTest test;
    std::vector<std::string> words;
  } kCases[] = {
      {W::kShortWord, {"ab", "\xE4\xB8\xAD", "\xD0\xB8\xD0\xB7"}},
      {W::kTooLong,
       {sixty + "a", sixty_mixed + "e", sixty_cyrillic + "\xD0\xB1"}},
      {W::kRepeatedLetter,
       {sixty, "Mmm", "\xC3\x91\xC3\xB1\xC3\xB1", "www",
        "\xD0\x90\xD0\xB0\xD0\xB0"}},
      {W::kRomanNumeral, {"MIX", "civic"}},
      {W::kNoVowel, {"html", "\xC3\x87\xC3\x91\xC3\xBD", "\xC5\x82sk"}},
      {W::kContractionStem, {"isn", "Shouldn", "ren"}},
      {W::kCommonWord, {"AFTER", "speed", "\xD0\xAD\xD0\xA2\xD0\x9E"}},
      {W::kEnding, {"fully", "Wasted", "unlimited"}},
      // mid holds a letter that is no Roman numeral; ą and ı are vowels;
      // Cyrillic and Han words need none.
      {W::kAccepted,
       {"abe", "aab", "mixes", "mid", "gym", "caf\xC3\xA9", "don", "ould"}},
      {W::kAccepted,
       {"need", "only", "screed", "folly", "filly", "tweed", "Alfred"}},
      {W::kAccepted,
       {"LIMITED", "monopoly", "tweeds", "w\xC4\x85s", "\xC4\xB1l\xC4\xB1k"}},
      {W::kAccepted,
       {sixty_mixed, sixty_cyrillic, "\xD0\xB1\xD0\xB2\xD0\xB3",
        "\xE4\xB8\xAD\xE6\x96\x87"}},
  };
  for (const auto& c : kCases)
    for (const std::string& word : c.words)
      EXPECT_EQ(RejectingTest(word, S{}, ",", Common()), c.test) << word;
}

TEST(WordsTest, RejectingTestWithOtherSettings) {
  const struct {
    const char* word;
    WordTest test;
    S settings;
    const char* ignore = ",";  // the ignore list: normalised words + ","
  } kCases[] = {
      {"a", W::kAccepted, {.IgnoreShortWords = false}},
      {"the", W::kShortWord, {.ShortWordSize = 3}},
      {"the", W::kCommonWord, {.ShortWordSize = 3, .IgnoreShortWords = false}},
      {"I", W::kRomanNumeral, {.IgnoreShortWords = false}},
      {"isn", W::kAccepted, {.TextLanguage = kFrench}},
      {"with", W::kAccepted, {.TextLanguage = kFrench}},
      {"speed", W::kEnding, {.IgnoreCommonWords = false}},
      // Words to ignore: the lower-cased word + "," anywhere in the list,
      // before the Roman numeral test.
      {"Bar", W::kIgnoredWord, {}, "foo,bar,baz,"},
      {"cat", W::kIgnoredWord, {}, "bobcat,"},
      {"bob", W::kAccepted, {}, "bobcat,"},
      {"mix", W::kIgnoredWord, {}, "mix,"},
  };
  for (const auto& c : kCases)
    EXPECT_EQ(RejectingTest(c.word, c.settings, c.ignore, Common()), c.test)
        << "word \"" << c.word << "\", ignore list \"" << c.ignore << "\"";
}

TEST(WordsTest, VowelSet) {
  // AEIOU, aeiou and the Latin-1 codes 192-198, 200-207, 210-214, 216-220,
  // 224-230, 232-239, 242-246, 248-252; y only when counted.
  auto letter = [](int c) { return Cp1252ToUtf8(std::string(1, char(c))); };
  for (const int c : {int{'A'}, int{'u'}, 192, 198, 200, 207, 210, 214, 216,
                      220, 224, 230, 232, 239, 242, 246, 248, 252})
    EXPECT_FALSE(HasNoVowel(letter(c), false)) << c;
  for (const int c : {int{'b'}, int{'y'}, 191, 199, 208, 209, 215, 221, 223,
                      231, 240, 241, 247, 253, 255})
    EXPECT_TRUE(HasNoVowel(letter(c), false)) << c;
}

}  // namespace
}  // namespace vorn
