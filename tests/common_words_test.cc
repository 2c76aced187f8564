// The common-word lists: splitting a list into words, the limit of 500, the
// look-up, the files and the message for a list that cannot be read.
#include "engine/common_words.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>
#include <string>
#include <tuple>
#include <vector>

#include "tests/support/fake_view.h"
#include "tests/support/page_folder.h"

namespace vorn {
namespace {

using Words = std::vector<std::string>;
constexpr int kSpanish = 5;

TEST(CommonWordsTest, LinesGiveSortedLowerCaseWords) {
  const struct {
    int language;
    std::string text;
    Words words;
  } kCases[] = {
      {kEnglish, "The, and; or", {"and", "or", "the"}},
      // Digits join a word in the French list only; a word starts with a
      // letter, and the character after a word goes with it.
      {kFrench, "mp3 1er a1b2", {"a1b2", "er", "mp3"}},
      {kFrench,
       "aujourd'hui peut-\xC3\xAAtre",
       {"aujourd", "hui", "peut", "\xC3\xAAtre"}},
      {kEnglish, "z\ty\xA0x\xD7w\xF7v", {"v", "w", "x", "y", "z"}},
      {kSpanish, "\xC3\xA9l zoo Abc", {"abc", "zoo", "\xC3\xA9l"}},  // bytes
      {kEnglish,
       std::string(65000, 'a') + "bc",
       {std::string(65000, 'a'), "c"}},
      // UTF-8 and old Windows-1252
      // lists give the same words; UTF-8 with a broken sequence gives none.
      {kEnglish, "caf\xE9\nD\xE9j\xE0", {"caf\xC3\xA9", "d\xC3\xA9j\xC3\xA0"}},
      {kEnglish, "caf\xC3\xA9\nd\xE9j\xE0", {}},
      // Any script, its marks inside words, in lower case and NFC: ZWNJ
      // joins, a Greek capital sigma at the end is final.
      {kAnotherLanguage,
       "\xD0\x98 \xD0\x92, \xCE\x9F\xCE\x94\xCE\x9F\xCE\xA3 "
       "\xE0\xA4\x95\xE0\xA4\xBF",
       {"\xCE\xBF\xCE\xB4\xCE\xBF\xCF\x82", "\xD0\xB2", "\xD0\xB8",
        "\xE0\xA4\x95\xE0\xA4\xBF"}},
      {kAnotherLanguage,
       "me\xE2\x80\x8Cy Cafe\xCC\x81",
       {"caf\xC3\xA9", "me\xE2\x80\x8Cy"}},
  };
  for (const auto& k : kCases) {
    CommonWordsTable table;
    table.LoadFromText(k.language, k.text);
    EXPECT_EQ(table.Words(k.language), k.words) << k.text.substr(0, 40);
    EXPECT_EQ(table.Count(k.language), static_cast<int>(k.words.size()));
  }
}

// Distinct all-letter words.
std::string NthWord(int i) {
  return std::string("w") + static_cast<char>('a' + i / 26 / 26) +
         static_cast<char>('a' + i / 26 % 26) + static_cast<char>('a' + i % 26);
}

TEST(CommonWordsTest, OnlyTheFirst500WordsReadAreStored) {
  // In descending order, seven to a line, so that the words read first are
  // not the smallest.
  std::string text;
  for (int i = 599; i >= 0; --i) text += NthWord(i) + (i % 7 ? " " : "\n");
  CommonWordsTable table;
  table.LoadFromText(kEnglish, text);
  ASSERT_EQ(table.Count(kEnglish), kMaxCommonWords);
  for (int i = 0; i < 600; ++i)
    EXPECT_EQ(table.IsCommonWord(NthWord(i), kEnglish), i >= 100) << i;
}

TEST(CommonWordsTest, LowerCasedWordIsLookedUp) {
  CommonWordsTable table;
  table.LoadFromText(kEnglish, "about\nafter\nwith\n");
  table.LoadFromText(kGerman, "\xC3\xA4rger");
  const std::tuple<const char*, int, bool> kCases[] = {
      {"aFtEr", kEnglish, true}, {"with", kEnglish, true},
      {"afte", kEnglish, false}, {"afters", kEnglish, false},
      {"after", kFrench, false}, {"\xC3\x84RGER", kGerman, true}};
  for (const auto& [word, language, common] : kCases)
    EXPECT_EQ(table.IsCommonWord(word, language), common) << word;
}

TEST(CommonWordsTest, FilesOfEachLanguage) {
  PageFolder dir;
  // A control byte in the first 16384 bytes makes a file unusable; a later
  // one is a separator.
  const std::string control_at_16384 = std::string(16383, ' ') + "\x01the\n";
  const struct {
    const char* code;
    std::string file;
    Words words;
  } kCases[] = {
      {"en", control_at_16384, {}},
      {"fr", " " + control_at_16384, {"the"}},
      {"it", "Il\rla", {"il", "la"}},
      {"xx", "xyz\n", {"xyz"}},
  };
  for (const auto& k : kCases) {
    const std::string name = "cmwds_" + std::string(k.code) + ".txt";
    ASSERT_TRUE(dir.Write(name, k.file));
  }
  CommonWordsTable table;
  table.InitCommonWords(dir.path());
  for (const auto& k : kCases) {
    const int language = LanguageOfCode(k.code);
    EXPECT_EQ(table.Words(language), k.words) << k.code;
    EXPECT_EQ(table.Available(language), !k.words.empty()) << k.code;
  }
  // Loading one list again replaces only that list.
  ASSERT_TRUE(dir.Write("cmwds_it.txt", "ed"));
  table.LoadCommonWords(dir.path(), 3);
  EXPECT_EQ(table.Words(3), Words{"ed"});
  EXPECT_EQ(table.Words(kAnotherLanguage), Words{"xyz"});
}

// A list that is broken UTF-8 says where.
TEST(CommonWordsTest, UnavailableListMessageNamesTheLine) {
  PageFolder dir;
  ASSERT_TRUE(dir.Write("cmwds_xx.txt", "caf\xC3\xA9\nun\nd\xE9j\xE0\n"));
  EXPECT_EQ(DescribeBox(CommonWordsUnavailableMessage(
                kAnotherLanguage,
                CommonWordsTable::FilePath(dir.path(), kAnotherLanguage))),
            "Common words not available | Common words in another language "
            "could not be read from file\r\n" +
                dir.Path("cmwds_xx.txt") +
                "\r\nLine 3 is not valid UTF-8. | exclamation | ok");
}

// Every shipped list loads whole: one word a line, nothing split or lost
// (the Hungarian list writes one abbreviation, "ill.", with its period).
TEST(CommonWordsTest, ShippedListsHoldOneWordPerLine) {
  for (int language = 0; language < kNumLanguages; ++language) {
    if (!HasWordList(language) || language == kAnotherLanguage) continue;
    const char* const code = kLanguages[language].code;
    CommonWordsTable table;
    table.LoadCommonWords(VORN_DATA_DIR, language);
    std::ifstream in(CommonWordsTable::FilePath(VORN_DATA_DIR, language));
    Words lines;
    for (std::string line; std::getline(in, line);)
      lines.push_back(line.ends_with('.') ? line.substr(0, line.size() - 1)
                                          : line);
    std::sort(lines.begin(), lines.end());
    EXPECT_GE(lines.size(), 30u) << code;
    EXPECT_EQ(table.Words(language), lines) << code;
  }
}

}  // namespace
}  // namespace vorn
