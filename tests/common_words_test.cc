#include "engine/common_words.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "support/cp1252.h"
#include "tests/support/page_folder.h"

namespace vorn {
namespace {

using Words = std::vector<std::string>;

constexpr int kItalian = 3;
constexpr int kPortuguese = 4;
constexpr int kSpanish = 5;

// ---------------------------------------------------------------------------
// Splitting the text of a list

TEST(CommonWordsSplitTest, LinesGiveSortedLowerCaseWords) {
  const std::string long_run = std::string(65000, 'a') + "bc";
  const struct {
    const char* name;
    int language;
    std::string text;
    Words words;
  } kCases[] = {
      {"punctuation separates", kEnglish, "The, and; or", {"and", "or", "the"}},
      {"french keeps digits", kFrench, "mp3", {"mp3"}},
      {"english drops digits", kEnglish, "mp3", {"mp"}},
      {"french word after digit", kFrench, "1er", {"er"}},
      {"french digits inside", kFrench, "a1b2 x", {"a1b2", "x"}},
      {"english digits inside", kEnglish, "a1b2 x", {"a", "b", "x"}},
      {"apostrophe splits", kFrench, "aujourd'hui", {"aujourd", "hui"}},
      {"hyphen splits in french", kFrench, "peut-\xEAtre", {"peut", "\xEAtre"}},
      {"blank lines skipped", kEnglish, "\n   \n  x  \n\n", {"x"}},
      {"tab and no-break space", kEnglish, "z\ty\xA0x", {"x", "y", "z"}},
      {"duplicates kept", kEnglish, "b a\nb", {"a", "b", "b"}},
      {"latin-1 capitals lowered", kGerman, "\xC4RGER", {"\xE4rger"}},
      {"times and divide split", kEnglish, "x\xD7y\xF7z", {"x", "y", "z"}},
      {"byte order, not alphabet",
       kSpanish,
       "\xE9l zoo Abc",
       {"abc", "zoo", "\xE9l"}},
      {"only non-letters", kEnglish, "123 ,;: 45", {}},
      {"empty text", kEnglish, "", {}},
      {"run capped, next letter skipped",
       kEnglish,
       long_run,
       {std::string(65000, 'a'), "c"}},
  };
  for (const auto& k : kCases) {
    CommonWordsTable table;
    table.LoadFromText(k.language, k.text);
    EXPECT_EQ(table.Words(k.language), k.words) << k.name;
    EXPECT_EQ(table.Count(k.language), static_cast<int>(k.words.size()))
        << k.name;
  }
}

TEST(CommonWordsSplitTest, LoadingOneLanguageReplacesOnlyItsList) {
  CommonWordsTable table;
  table.LoadFromText(kEnglish, "old words");
  table.LoadFromText(kFrench, "le");
  table.LoadFromText(kEnglish, "new");
  EXPECT_EQ(table.Words(kEnglish), Words{"new"});
  EXPECT_FALSE(table.IsCommonWord("old", kEnglish));
  EXPECT_EQ(table.Words(kFrench), Words{"le"});
  EXPECT_FALSE(table.Available(kGerman));
}

// The i-th of a family of distinct all-letter words.
std::string NthWord(int i) {
  std::string w = "w";
  w += static_cast<char>('a' + i / 26 / 26);
  w += static_cast<char>('a' + i / 26 % 26);
  w += static_cast<char>('a' + i % 26);
  return w;
}

TEST(CommonWordsSplitTest, OnlyTheFirst500WordsReadAreStored) {
  // Written in descending order, seven to a line, so that the words read
  // first are not the smallest ones.
  std::string text;
  for (int i = 599; i >= 0; --i) text += NthWord(i) + (i % 7 ? " " : "\n");
  CommonWordsTable table;
  table.LoadFromText(kEnglish, text);

  ASSERT_EQ(table.Count(kEnglish), kMaxCommonWords);
  Words expected;
  for (int i = 100; i < 600; ++i) expected.push_back(NthWord(i));
  EXPECT_EQ(table.Words(kEnglish), expected);
  for (int i = 0; i < 600; ++i)
    EXPECT_EQ(table.IsCommonWord(NthWord(i), kEnglish), i >= 100) << i;
}

// ---------------------------------------------------------------------------
// Looking words up

TEST(CommonWordsLookupTest, LowerCasedWordIsLookedUp) {
  CommonWordsTable table;
  table.LoadFromText(kEnglish, "about\nafter\nwith\n");
  table.LoadFromText(kGerman, "\xE4rger");
  const struct {
    const char* word;
    int language;
    bool common;
  } kCases[] = {
      {"After", kEnglish, true},   {"after", kEnglish, true},
      {"AFTER", kEnglish, true},   {"aFtEr", kEnglish, true},
      {"about", kEnglish, true},   {"with", kEnglish, true},
      {"zoo", kEnglish, false},    {"able", kEnglish, false},
      {"afte", kEnglish, false},   {"afters", kEnglish, false},
      {"", kEnglish, false},       {"after", kFrench, false},
      {"\xC4RGER", kGerman, true}, {"arger", kGerman, false},
  };
  for (const auto& k : kCases)
    EXPECT_EQ(table.IsCommonWord(k.word, k.language), k.common)
        << k.word << " in " << kLanguages[k.language].item;
}

// ---------------------------------------------------------------------------
// The message for an unavailable list

TEST(CommonWordsMessageTest, NamesTheLanguageAndThePath) {
  const std::string folder = "/opt/vorn";
  const struct {
    int language;
    const char* text;
  } kCases[] = {
      {kAnotherLanguage,
       "Common words in another language could not be read from file\r\n"
       "/opt/vorn/cmwds_xx.txt"},
      {kSpanish,
       "Common words in Spanish could not be read from file\r\n"
       "/opt/vorn/cmwds_es.txt"},
  };
  for (const auto& k : kCases) {
    const MessageBox box = CommonWordsUnavailableMessage(
        k.language, CommonWordsTable::FilePath(folder, k.language));
    EXPECT_EQ(box.caption, "Common words not available") << k.language;
    EXPECT_EQ(box.text, k.text) << k.language;
    EXPECT_EQ(box.icon, Icon::kExclamation) << k.language;
    EXPECT_EQ(box.buttons, Buttons::kOk) << k.language;
  }
}

// ---------------------------------------------------------------------------
// Loading list files

// The words that `bytes` give when loaded from a file as English.
Words LoadedWords(const std::string& bytes) {
  PageFolder dir;
  EXPECT_TRUE(dir.Write("cmwds_en.txt", bytes));
  CommonWordsTable table;
  table.LoadCommonWords(dir.path(), kEnglish);
  return table.Words(kEnglish);
}

TEST(CommonWordsFileTest, InitLoadsEachLanguageFromItsOwnFile) {
  PageFolder dir;
  EXPECT_EQ(CommonWordsTable::FilePath(dir.path(), kFrench),
            dir.Path("cmwds_fr.txt"));
  CommonWordsTable table;
  table.InitCommonWords(dir.path());
  for (int language = 0; language < kNumLanguages; ++language)
    EXPECT_FALSE(table.Available(language)) << kLanguages[language].item;
  ASSERT_TRUE(dir.Write("cmwds_en.txt", "the\n"));
  ASSERT_TRUE(dir.Write("cmwds_it.txt", "il\n"));
  ASSERT_TRUE(dir.Write("cmwds_xx.txt", "xyz\n"));
  table.InitCommonWords(dir.path());
  EXPECT_EQ(table.Words(kEnglish), Words{"the"});
  EXPECT_EQ(table.Words(kItalian), Words{"il"});
  EXPECT_EQ(table.Words(kAnotherLanguage), Words{"xyz"});
  EXPECT_FALSE(table.Available(kPortuguese));
  // A file that has gone makes its list unavailable on the next load, as
  // does a folder in its place.
  ASSERT_TRUE(std::filesystem::remove(dir.Path("cmwds_en.txt")));
  ASSERT_TRUE(dir.MakeFolder("cmwds_en.txt"));
  table.LoadCommonWords(dir.path(), kEnglish);
  EXPECT_FALSE(table.Available(kEnglish));
  EXPECT_FALSE(table.IsCommonWord("the", kEnglish));
}

TEST(CommonWordsFileTest, ReadsTheBytesOfAFile) {
  // A control byte in the first 16384 bytes makes the file unusable; a
  // later one is a separator.
  std::string control_at_16384(16383, ' ');
  control_at_16384 += "\x01the\n";
  const std::string far_control =
      "alpha beta\n" + std::string(20000, ' ') + "\ngamma\x0Czeta\n";
  const struct {
    const char* name;
    std::string bytes;
    Words words;
  } kCases[] = {
      {"empty", "", {}},
      {"control byte near the start", "the\n\x01\nand\n", {}},
      {"NUL byte", std::string("the\n\0and\n", 9), {}},
      {"control byte at byte 16384", control_at_16384, {}},
      {"control byte at byte 16385", " " + control_at_16384, {"the"}},
      {"control byte far on", far_control, {"alpha", "beta", "gamma", "zeta"}},
      // Every line end ends a line.
      {"LF", "The\n of \n\nand\nto", {"and", "of", "the", "to"}},
      {"CR LF", "The\r\n of \r\n\r\nand\r\nto", {"and", "of", "the", "to"}},
      {"CR", "The\r of \r\rand\rto", {"and", "of", "the", "to"}},
      {"mixed", "The\r\n of \r\rand\nto\n", {"and", "of", "the", "to"}},
      // UTF-8 and Windows-1252 lists give the same words.
      {"UTF-8", "caf\xC3\xA9\nD\xC3\xA9j\xC3\xA0\n", {"caf\xE9", "d\xE9j\xE0"}},
      {"UTF-8 with byte-order mark",
       "\xEF\xBB\xBF"
       "caf\xC3\xA9\nd\xC3\xA9j\xC3\xA0\n",
       {"caf\xE9", "d\xE9j\xE0"}},
      {"Windows-1252", "caf\xE9\nD\xE9j\xE0\n", {"caf\xE9", "d\xE9j\xE0"}},
  };
  for (const auto& k : kCases)
    EXPECT_EQ(LoadedWords(k.bytes), k.words) << k.name;
}

// ---------------------------------------------------------------------------
// The lists shipped with the program

TEST(ShippedCommonWordsTest, EachLineIsOneStoredWord) {
  const int kShipped[] = {kEnglish, kFrench,     kGerman,
                          kItalian, kPortuguese, kSpanish};
  CommonWordsTable table;
  for (int language : kShipped) {
    const char* item = kLanguages[language].item;
    table.LoadCommonWords(VORN_DATA_DIR, language);
    EXPECT_GE(table.Count(language), 100) << item;
    EXPECT_LE(table.Count(language), kMaxCommonWords) << item;

    std::ifstream in(CommonWordsTable::FilePath(VORN_DATA_DIR, language),
                     std::ios::binary);
    ASSERT_TRUE(in) << item;
    Words lines;
    for (std::string line; std::getline(in, line);) {
      EXPECT_FALSE(line.empty()) << item << " line " << lines.size() + 1;
      EXPECT_EQ(line.find('\r'), std::string::npos)
          << item << " line " << lines.size() + 1;
      lines.push_back(Utf8ToCp1252(line));
    }
    std::sort(lines.begin(), lines.end());
    EXPECT_EQ(table.Words(language), lines) << item;
  }
}

}  // namespace
}  // namespace vorn
