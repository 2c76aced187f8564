// Which words count: the rejection tests in their order, one row per rule
// and per boundary, and the vowel set they rely on.
#include "engine/words.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "engine/common_words.h"
#include "engine/settings.h"

namespace vorn {
namespace {

using S = AnalysisSettings;
using W = WordTest;

// The English list; "isn" and "speed" are on it to show that the stem test
// comes before the common-word test, and that one before the ending rule.
const CommonWordsTable& Common() {
  static const CommonWordsTable* const table = [] {
    auto* t = new CommonWordsTable;
    t->LoadFromText(kEnglish, "the\nwith into\nabout, after\nisn\nspeed\n");
    return t;
  }();
  return *table;
}

// With the default settings: words of up to 2 letters are short, the
// language is English and common words are ignored. In order: short; too
// long (above 60, before the repeated letter); one letter repeated, in any
// case; Roman numerals (only i v x l c m); no vowel, y counting as one (Ç Ñ ý
// are no vowels); contraction stems and their tails; common words in any
// case; 5+ letters ending in "ly" or "ed", bar the exceptions.
TEST(WordsTest, RejectingTestWithDefaults) {
  const std::string sixty(60, 'a');
  const std::string sixty_mixed = std::string(59, 'b') + "a";
  const struct {
    WordTest test;
    std::vector<std::string> words;
  } kCases[] = {
      {W::kShortWord, {"ab"}},
      {W::kTooLong, {sixty + "a", sixty_mixed + "e"}},
      {W::kRepeatedLetter, {sixty, "Mmm", "\xD1\xF1\xF1", "www"}},
      {W::kRomanNumeral, {"MIX", "civic"}},
      {W::kNoVowel, {"html", "\xC7\xD1\xFD"}},
      {W::kContractionStem, {"isn", "Shouldn", "ren"}},
      {W::kCommonWord, {"AFTER", "speed"}},
      {W::kEnding, {"fully", "Wasted", "unlimited"}},
      {W::kAccepted,
       {"abe", sixty_mixed, "aab", "mixes", "gym", "caf\xE9", "don", "ould",
        "need", "only", "screed", "folly", "filly", "tweed", "Alfred",
        "LIMITED", "monopoly", "tweeds"}},
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
      {"word", W::kAccepted, {.ShortWordSize = 3}},
      {"Zz", W::kRepeatedLetter, {.IgnoreShortWords = false}},
      {"I", W::kRomanNumeral, {.IgnoreShortWords = false}},
      {"isn", W::kAccepted, {.TextLanguage = kFrench}},
      {"with", W::kAccepted, {.TextLanguage = kFrench}},
      {"with", W::kAccepted, {.IgnoreCommonWords = false}},
      {"speed", W::kEnding, {.IgnoreCommonWords = false}},
      // Words to ignore: the lower-cased word + "," anywhere in the list,
      // before the Roman numeral test.
      {"Bar", W::kIgnoredWord, {}, "foo,bar,baz,"},
      {"cat", W::kIgnoredWord, {}, "bobcat,"},
      {"bob", W::kAccepted, {}, "bobcat,"},
      {"cats", W::kAccepted, {}, "cat,"},
      {"mix", W::kIgnoredWord, {}, "mix,"},
  };
  for (const auto& c : kCases)
    EXPECT_EQ(RejectingTest(c.word, c.settings, c.ignore, Common()), c.test)
        << "word \"" << c.word << "\", ignore list \"" << c.ignore << "\"";
}

TEST(WordsTest, VowelSet) {
  // AEIOU, aeiou and the Latin-1 codes 192-198, 200-207, 210-214, 216-220,
  // 224-230, 232-239, 242-246, 248-252; y only when counted.
  for (const int c : {int{'A'}, int{'u'}, 192, 198, 200, 207, 210, 214, 216,
                      220, 224, 230, 232, 239, 242, 246, 248, 252})
    EXPECT_FALSE(HasNoVowel(std::string(1, static_cast<char>(c)), false)) << c;
  for (const int c : {int{'b'}, int{'y'}, 191, 199, 208, 209, 215, 221, 223,
                      231, 240, 241, 247, 253, 255})
    EXPECT_TRUE(HasNoVowel(std::string(1, static_cast<char>(c)), false)) << c;
  EXPECT_FALSE(HasNoVowel("rhYthm", true));
  EXPECT_TRUE(HasNoVowel("", true));
}

}  // namespace
}  // namespace vorn
