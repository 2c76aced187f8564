// Which words count: the nine rejection tests in their order, and the vowel
// test they rely on.
#include "engine/words.h"

#include <gtest/gtest.h>

#include <string>

#include "engine/common_words.h"
#include "engine/settings.h"

namespace vorn {
namespace {

const char* TestName(WordTest t) {
  switch (t) {
    case WordTest::kAccepted:
      return "accepted";
    case WordTest::kShortWord:
      return "short word";
    case WordTest::kTooLong:
      return "too long";
    case WordTest::kRepeatedLetter:
      return "repeated letter";
    case WordTest::kIgnoredWord:
      return "ignored word";
    case WordTest::kRomanNumeral:
      return "Roman numeral";
    case WordTest::kNoVowel:
      return "no vowel";
    case WordTest::kContractionStem:
      return "contraction stem";
    case WordTest::kCommonWord:
      return "common word";
    case WordTest::kEnding:
      return "ending";
  }
  return "?";
}

// The English list of these tests; "isn" and "speed" are on it to show that
// the earlier stem test and the common-word test come first.
const CommonWordsTable& Common() {
  static const CommonWordsTable* const table = [] {
    auto* t = new CommonWordsTable;
    t->LoadFromText(kEnglish, "the\nwith into\nabout, after\nisn\nspeed\n");
    return t;
  }();
  return *table;
}

using Adjust = void (*)(AnalysisSettings&);

struct WordCase {
  std::string word;
  WordTest expected;
  Adjust adjust = nullptr;   // nullptr: the default settings
  const char* ignore = ",";  // the ignore list, normalised plus ","
};

void KeepShort(AnalysisSettings& s) { s.IgnoreShortWords = false; }
void Size3(AnalysisSettings& s) { s.ShortWordSize = 3; }
void Size3KeepShort(AnalysisSettings& s) {
  s.ShortWordSize = 3;
  s.IgnoreShortWords = false;
}
void French(AnalysisSettings& s) { s.TextLanguage = kFrench; }
void KeepCommon(AnalysisSettings& s) { s.IgnoreCommonWords = false; }

void RunCases(const std::vector<WordCase>& cases) {
  for (const WordCase& c : cases) {
    AnalysisSettings s;
    if (c.adjust != nullptr) c.adjust(s);
    const WordTest got = RejectingTest(c.word, s, c.ignore, Common());
    EXPECT_EQ(TestName(got), std::string(TestName(c.expected)))
        << "word \"" << c.word << "\", ignore list \"" << c.ignore << "\"";
  }
}

TEST(WordsTest, ShortAndLongWords) {
  const std::string sixty = [] {
    std::string w;
    for (int i = 0; i < 12; ++i) w += "abcde";
    return w;
  }();
  RunCases({
      {"a", WordTest::kShortWord},  // default size 2
      {"ab", WordTest::kShortWord},
      {"abe", WordTest::kAccepted},
      {"a", WordTest::kAccepted, KeepShort},
      {"the", WordTest::kShortWord, Size3},
      {"the", WordTest::kCommonWord, Size3KeepShort},
      {"word", WordTest::kAccepted, Size3},
      {sixty, WordTest::kAccepted},
      {sixty + "a", WordTest::kTooLong},
      // Too long is tested before the repeated letter.
      {std::string(61, 'a'), WordTest::kTooLong},
  });
}

TEST(WordsTest, RepeatedLetter) {
  RunCases({
      {"aaa", WordTest::kRepeatedLetter},
      {"Mmm", WordTest::kRepeatedLetter},
      {"Zz", WordTest::kRepeatedLetter, KeepShort},
      // Accented letters are lower-cased too: Ñññ.
      {"\xD1\xF1\xF1", WordTest::kRepeatedLetter},
      {"\xC0\xE0", WordTest::kRepeatedLetter, KeepShort},
      // One letter is not "repeated"; www is one letter repeated before it
      // is a word without a vowel.
      {"www", WordTest::kRepeatedLetter},
      {"aab", WordTest::kAccepted},
  });
}

TEST(WordsTest, WordsToIgnoreAreSubstrings) {
  RunCases({
      {"bar", WordTest::kIgnoredWord, nullptr, "foo,bar,baz,"},
      {"Bar", WordTest::kIgnoredWord, nullptr, "foo,bar,baz,"},
      {"ba", WordTest::kShortWord, nullptr, "foo,ba,"},
      // "cat," ends the entry bobcat; "bob," occurs nowhere.
      {"cat", WordTest::kIgnoredWord, nullptr, "bobcat,"},
      {"bob", WordTest::kAccepted, nullptr, "bobcat,"},
      {"cats", WordTest::kAccepted, nullptr, "cat,"},
      // Before the Roman numeral test.
      {"mix", WordTest::kIgnoredWord, nullptr, "mix,"},
      {"foo", WordTest::kAccepted, nullptr, ","},
  });
}

TEST(WordsTest, RomanNumerals) {
  RunCases({
      {"I", WordTest::kRomanNumeral, KeepShort},
      {"V", WordTest::kRomanNumeral, KeepShort},
      {"X", WordTest::kRomanNumeral, KeepShort},
      {"xiv", WordTest::kRomanNumeral},
      {"mix", WordTest::kRomanNumeral},
      {"MIX", WordTest::kRomanNumeral},
      {"civic", WordTest::kRomanNumeral},
      {"mill", WordTest::kRomanNumeral},
      {"vim", WordTest::kRomanNumeral},
      {"mixes", WordTest::kAccepted},
  });
}

TEST(WordsTest, Vowels) {
  RunCases({
      {"html", WordTest::kNoVowel},
      {"pdf", WordTest::kNoVowel},
      {"sky", WordTest::kAccepted},
      {"gym", WordTest::kAccepted},
      {"rhythm", WordTest::kAccepted},
      {"caf\xE9", WordTest::kAccepted},
      // Ç, Ñ and ý are letters but not vowels.
      {"\xC7\xD1\xFD", WordTest::kNoVowel},
  });
}

TEST(WordsTest, ContractionStemsInEnglishOnly) {
  RunCases({
      {"don", WordTest::kAccepted},
      {"isn", WordTest::kContractionStem},
      {"isn", WordTest::kAccepted, French},
      {"couldn", WordTest::kContractionStem},
      {"Wouldn", WordTest::kContractionStem},
      // The tails of stems are rejected too: aren, weren; couldn, wouldn.
      {"ren", WordTest::kContractionStem},
      {"uldn", WordTest::kContractionStem},
      // "ould" is never followed by a blank in the stems.
      {"ould", WordTest::kAccepted},
  });
}

TEST(WordsTest, CommonWords) {
  RunCases({
      {"with", WordTest::kCommonWord},
      {"With", WordTest::kCommonWord},
      {"AFTER", WordTest::kCommonWord},
      {"with", WordTest::kAccepted, KeepCommon},
      {"zoo", WordTest::kAccepted},
      {"able", WordTest::kAccepted},
      // The French list is not loaded: nothing is common in French.
      {"with", WordTest::kAccepted, French},
      // speed is common and has the "ed" ending: the common test is first.
      {"speed", WordTest::kCommonWord},
      {"speed", WordTest::kEnding, KeepCommon},
  });
}

TEST(WordsTest, LyAndEdEndings) {
  RunCases({
      {"fully", WordTest::kEnding},
      {"greed", WordTest::kEnding},
      {"Wasted", WordTest::kEnding},
      {"need", WordTest::kAccepted},  // 4 letters
      {"only", WordTest::kAccepted},
      {"bed", WordTest::kAccepted},
      {"screed", WordTest::kAccepted},
      {"folly", WordTest::kAccepted},
      {"filly", WordTest::kAccepted},
      {"tweed", WordTest::kAccepted},
      {"Alfred", WordTest::kAccepted},
      {"LIMITED", WordTest::kAccepted},
      {"monopoly", WordTest::kAccepted},
      {"poly", WordTest::kAccepted},
      {"unlimited", WordTest::kEnding},
      {"tweeds", WordTest::kAccepted},
  });
}

TEST(WordsTest, HasNoVowel) {
  // Vowels: AEIOU, aeiou and the Latin-1 codes 192-198, 200-207, 210-214,
  // 216-220, 224-230, 232-239, 242-246, 248-252; y only when counted.
  for (const int c : {int{'A'}, int{'u'}, 192, 198, 200, 207, 210, 214, 216,
                      220, 224, 230, 232, 239, 242, 246, 248, 252})
    EXPECT_FALSE(HasNoVowel(std::string(1, static_cast<char>(c)), false)) << c;
  for (const int c : {int{'b'}, int{'y'}, int{'Y'}, 191, 199, 208, 209, 215,
                      221, 222, 223, 231, 240, 241, 247, 253, 254, 255})
    EXPECT_TRUE(HasNoVowel(std::string(1, static_cast<char>(c)), false)) << c;
  EXPECT_FALSE(HasNoVowel("y", true));
  EXPECT_FALSE(HasNoVowel("Y", true));
  EXPECT_TRUE(HasNoVowel("", true));
  EXPECT_TRUE(HasNoVowel("rhythm", false));
  EXPECT_FALSE(HasNoVowel("xyz\xE9", false));
}

}  // namespace
}  // namespace vorn
