#include "engine/common_words.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "support/cp1252.h"

namespace vorn {
namespace {

namespace fs = std::filesystem;
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
      {"german drops digits", kGerman, "mp3", {"mp"}},
      {"another drops digits", kAnotherLanguage, "mp3", {"mp"}},
      {"french word after digit", kFrench, "1er", {"er"}},
      {"english word after digit", kEnglish, "1er", {"er"}},
      {"french digits inside", kFrench, "a1b2 x", {"a1b2", "x"}},
      {"english digits inside", kEnglish, "a1b2 x", {"a", "b", "x"}},
      {"apostrophe splits", kFrench, "aujourd'hui", {"aujourd", "hui"}},
      {"hyphen splits in french", kFrench, "peut-\xEAtre", {"peut", "\xEAtre"}},
      {"one letter", kEnglish, "x", {"x"}},
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

TEST(CommonWordsSplitTest, LoadingOneLanguageLeavesTheOthers) {
  CommonWordsTable table;
  table.LoadFromText(kEnglish, "the");
  table.LoadFromText(kFrench, "le");
  EXPECT_EQ(table.Words(kEnglish), Words{"the"});
  EXPECT_EQ(table.Words(kFrench), Words{"le"});
  EXPECT_FALSE(table.Available(kGerman));
}

TEST(CommonWordsSplitTest, ReloadReplacesTheList) {
  CommonWordsTable table;
  table.LoadFromText(kEnglish, "old words");
  table.LoadFromText(kEnglish, "new");
  EXPECT_EQ(table.Words(kEnglish), Words{"new"});
  EXPECT_FALSE(table.IsCommonWord("old", kEnglish));
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

TEST(CommonWordsLookupTest, UnavailableListHoldsNoWord) {
  CommonWordsTable table;
  for (int language = 0; language < kNumLanguages; ++language) {
    EXPECT_FALSE(table.Available(language)) << language;
    EXPECT_FALSE(table.IsCommonWord("the", language)) << language;
  }
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
      {kEnglish,
       "Common words in English could not be read from file\r\n"
       "/opt/vorn/cmwds_en.txt"},
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

class CommonWordsFileTest : public ::testing::Test {
 protected:
  void SetUp() override {
    const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
    folder_ = fs::temp_directory_path() /
              (std::string("vorn_common_words_") + info->name());
    fs::remove_all(folder_);
    fs::create_directories(folder_);
  }
  void TearDown() override { fs::remove_all(folder_); }

  std::string Folder() const { return folder_.string(); }

  void WriteList(int language, const std::string& bytes) const {
    std::ofstream out(CommonWordsTable::FilePath(Folder(), language),
                      std::ios::binary | std::ios::trunc);
    out << bytes;
    ASSERT_TRUE(out.good());
  }

  // The words that `bytes` give when loaded from a file as English.
  Words LoadedWords(const std::string& bytes) const {
    WriteList(kEnglish, bytes);
    CommonWordsTable table;
    table.LoadCommonWords(Folder(), kEnglish);
    return table.Words(kEnglish);
  }

 private:
  fs::path folder_;
};

TEST_F(CommonWordsFileTest, FilePathIsInTheFolder) {
  EXPECT_EQ(CommonWordsTable::FilePath(Folder(), kFrench),
            Folder() + "/cmwds_fr.txt");
  EXPECT_EQ(CommonWordsTable::FilePath(Folder(), kAnotherLanguage),
            Folder() + "/cmwds_xx.txt");
}

TEST_F(CommonWordsFileTest, MissingFilesLeaveEveryListUnavailable) {
  CommonWordsTable table;
  table.InitCommonWords(Folder());
  for (int language = 0; language < kNumLanguages; ++language)
    EXPECT_EQ(table.Count(language), 0) << kLanguages[language].item;
}

TEST_F(CommonWordsFileTest, InitLoadsEachLanguageFromItsOwnFile) {
  WriteList(kEnglish, "the\n");
  WriteList(kItalian, "il\n");
  WriteList(kAnotherLanguage, "xyz\n");
  CommonWordsTable table;
  table.InitCommonWords(Folder());
  EXPECT_EQ(table.Words(kEnglish), Words{"the"});
  EXPECT_EQ(table.Words(kItalian), Words{"il"});
  EXPECT_EQ(table.Words(kAnotherLanguage), Words{"xyz"});
  EXPECT_FALSE(table.Available(kPortuguese));
}

TEST_F(CommonWordsFileTest, UnusableFilesGiveNoList) {
  std::string control_at_16384(16383, ' ');
  control_at_16384 += "\x01the\n";
  const struct {
    const char* name;
    std::string bytes;
  } kCases[] = {
      {"empty", ""},
      {"control byte near the start", "the\n\x01\nand\n"},
      {"NUL byte", std::string("the\n\0and\n", 9)},
      {"control byte at byte 16384", control_at_16384},
  };
  for (const auto& k : kCases)
    EXPECT_EQ(LoadedWords(k.bytes), Words{}) << k.name;
}

TEST_F(CommonWordsFileTest, ControlByteAfterThePrefixIsASeparator) {
  std::string control_at_16385(16384, ' ');
  control_at_16385 += "\x01the\n";
  EXPECT_EQ(LoadedWords(control_at_16385), Words{"the"});

  std::string far_control = "alpha beta\n";
  far_control += std::string(20000, ' ') + "\n";
  far_control += "gamma\x0Czeta\n";
  EXPECT_EQ(LoadedWords(far_control),
            (Words{"alpha", "beta", "gamma", "zeta"}));
}

TEST_F(CommonWordsFileTest, AFolderInPlaceOfTheFileGivesNoList) {
  fs::create_directory(CommonWordsTable::FilePath(Folder(), kEnglish));
  CommonWordsTable table;
  table.LoadCommonWords(Folder(), kEnglish);
  EXPECT_FALSE(table.Available(kEnglish));
}

TEST_F(CommonWordsFileTest, ReloadOfAVanishedFileMakesTheListUnavailable) {
  WriteList(kEnglish, "the\n");
  CommonWordsTable table;
  table.LoadCommonWords(Folder(), kEnglish);
  ASSERT_TRUE(table.Available(kEnglish));
  fs::remove(CommonWordsTable::FilePath(Folder(), kEnglish));
  table.LoadCommonWords(Folder(), kEnglish);
  EXPECT_FALSE(table.Available(kEnglish));
  EXPECT_FALSE(table.IsCommonWord("the", kEnglish));
}

TEST_F(CommonWordsFileTest, EveryLineEndEndsALine) {
  const Words expected = {"and", "of", "the", "to"};
  const struct {
    const char* name;
    std::string bytes;
  } kCases[] = {
      {"LF", "The\n of \n\nand\nto"},
      {"CR LF", "The\r\n of \r\n\r\nand\r\nto"},
      {"CR", "The\r of \r\rand\rto"},
      {"mixed", "The\r\n of \r\rand\nto\n"},
  };
  for (const auto& k : kCases)
    EXPECT_EQ(LoadedWords(k.bytes), expected) << k.name;
}

TEST_F(CommonWordsFileTest, Utf8AndWindows1252ListsGiveTheSameWords) {
  const Words expected = {"caf\xE9", "d\xE9j\xE0"};
  const std::string bom = "\xEF\xBB\xBF";
  const struct {
    const char* name;
    std::string bytes;
  } kCases[] = {
      {"UTF-8", "caf\xC3\xA9\nD\xC3\xA9j\xC3\xA0\n"},
      {"UTF-8 with byte-order mark", bom + "caf\xC3\xA9\nd\xC3\xA9j\xC3\xA0\n"},
      {"Windows-1252", "caf\xE9\nD\xE9j\xE0\n"},
  };
  for (const auto& k : kCases)
    EXPECT_EQ(LoadedWords(k.bytes), expected) << k.name;
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
