// The keywords meta tag, the word list and the no-words message, composed
// from real word tables.
#include "engine/compose.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <tuple>
#include <utility>
#include <vector>

#include "engine/settings.h"
#include "engine/word_table.h"

namespace vorn {
namespace {

// A finished table: each word recorded once with its weight, in this order,
// then the end steps with threshold 1.
WordTable Finished(const std::vector<std::pair<std::string, float>>& words) {
  WordTable t;
  for (const auto& [word, weight] : words) t.Record(word, weight, false);
  t.ApplyThreshold(1);
  t.MergeCaseVariants();
  t.NormaliseKeyValues();
  return t;
}

// seo 100, design 66.67, web 33.33.
WordTable SeoDesignWeb() {
  return Finished({{"seo", 30}, {"design", 20}, {"web", 10}});
}

const char kPrefix[] = "<meta name=\"keywords\" content=\"";  // 31 bytes

std::string Status(int keywords, int bytes) {
  return "\r\n\r\nNumber of keywords in meta tag: " + std::to_string(keywords) +
         "\r\nNumber of bytes in meta tag: " + std::to_string(bytes);
}

TEST(ComposeTest, KeywordsMetaTag) {
  // seo 100, design 66.67, web 33.33 unless a row says otherwise.
  const WordTable seo = SeoDesignWeb();
  const WordTable long_word =
      Finished({{"internationalization", 30}, {"seo", 20}, {"web", 10}});
  const WordTable zeros = Finished({{"alpha", 0}, {"beta", 0}});
  const struct {
    const char* name;
    const WordTable& table;
    bool blank;                // SpaceAfterComma
    bool slash;                // ForwardSlash
    bool keep_case;            // PreserveCase
    const char* begin;         // BeginMetaTagWith
    const char* max_keywords;  // MaxNumKeywordsInMetaTag
    const char* max_bytes;     // MaxNumBytesInMetaTag
    std::string tag;           // after the prefix
  } kCases[] = {
      // 31 + "seo" 3 + ", design" 8 + ", web" 5 = 47.
      {"seo design web with blanks", seo, true, false, false, "", "50", "500",
       "seo, design, web\">" + Status(3, 47)},
      // 31 + 3 + 7 + 4 = 45; the closing " />" is not counted.
      {"forward slash", seo, false, true, false, "", "50", "500",
       "seo,design,web\" />" + Status(3, 45)},
      // Phrases joined by bare commas: 31 + 18 = 49, then ", seo" = 54;
      // design and web occur inside the phrases and are left out.
      {"phrases web design, hosting", seo, true, false, false,
       "web design, hosting", "50", "500",
       "web design,hosting, seo\">" + Status(3, 54)},
      // 5 phrases fill a maximum of 5: 31 + 24 = 55.
      {"5 phrases, maximum 5", seo, false, false, false,
       "red,green,blue,cyan,pink", "5", "500",
       "red,green,blue,cyan,pink\">" + Status(5, 55)},
      {"5 phrases, maximum 6", seo, false, false, false,
       "red,green,blue,cyan,pink", "6", "500",
       "red,green,blue,cyan,pink,seo\">" + Status(6, 59)},
      // The phrases alone (49 bytes, 2 keywords) exceed both maxima.
      {"bytes already exceeded", seo, false, false, false,
       "web design, hosting", "50", "40",
       "web design,hosting\">" + Status(2, 49)},
      // Empty pieces count: 3 + seo = 4 reaches the maximum of 4: 39.
      {"a,,b counts 3", seo, false, false, false, "a,,b", "4", "500",
       "a,,b,seo\">" + Status(4, 39)},
      // Trimmed, one trailing comma dropped, lower-cased.
      {"phrases trimmed and lower-cased", seo, false, false, false,
       "  SEO Tips, ", "50", "500", "seo tips,design,web\">" + Status(3, 50)},
      // Kept as typed; "web" is then not inside "Web Tips".
      {"phrases with case kept", seo, false, false, true, "Web Tips", "50",
       "500", "Web Tips,seo,design,web\">" + Status(4, 54)},
      // 41 <= 41: design fits exactly; web needs 41 + 3 + 1 = 45.
      {"byte limit met exactly", seo, false, false, false, "", "50", "41",
       "seo,design\">" + Status(2, 41)},
      {"byte limit one short", seo, false, false, false, "", "50", "40",
       "seo\">" + Status(1, 34)},
      // The blank is not counted in the test but is counted in L:
      // 31 + 3 = 34, then 34 + 6 + 1 = 41 <= 41 gives ", design", L = 42.
      {"blank after comma not tested", seo, true, false, false, "", "50", "41",
       "seo, design\">" + Status(2, 42)},
      // Fields that are not numbers (or 0) set no limit.
      {"no limits", seo, false, false, false, "", "", "0",
       "seo,design,web\">" + Status(3, 45)},
      // The length test comes before the phrase test: the top word, itself
      // in the phrase, would need 51 + 20 + 1 = 72 > 60, which ends the
      // list although seo (51 + 3 + 1) would fit.
      {"a long word inside the phrases ends the list", long_word, false, false,
       false, "internationalization", "50", "60",
       "internationalization\">" + Status(1, 51)},
      {"words of value 0 still enter", zeros, false, false, false, "", "50",
       "500", "alpha,beta\">" + Status(2, 41)},
  };
  for (const auto& c : kCases) {
    AnalysisSettings s;
    s.SpaceAfterComma = c.blank;
    s.ForwardSlash = c.slash;
    s.PreserveCase = c.keep_case;
    s.BeginMetaTagWith = c.begin;
    s.MaxNumKeywordsInMetaTag = c.max_keywords;
    s.MaxNumBytesInMetaTag = c.max_bytes;
    EXPECT_EQ(GenerateKeywordMetaTag(c.table, s, true), kPrefix + c.tag)
        << c.name;
  }
}

TEST(ComposeTest, PhrasesAreWrittenBackTrimmedAndNoStatusInMultipleFiles) {
  AnalysisSettings s;
  s.BeginMetaTagWith = "  web design, hosting  ";
  EXPECT_EQ(GenerateKeywordMetaTag(SeoDesignWeb(), s, false),
            kPrefix + std::string("web design,hosting,seo\">"));
  EXPECT_EQ(s.BeginMetaTagWith, "web design, hosting");
}

TEST(ComposeTest, NoWordsMessage) {
  const struct {
    int size;
    int threshold;
    const char* text;
  } kCases[] = {
      {1, 1, "No words with more than 1 letter occur at least once."},
      {3, 2, "No words with more than 3 letters occur at least twice."},
      {2, 3, "No words with more than 2 letters occur at least 3 times."},
      {1, 4, "No words with more than 1 letter occur at least 4 times."},
      {9, 9, "No words with more than 9 letters occur at least 9 times."},
  };
  const WordTable empty;
  for (const auto& c : kCases) {
    AnalysisSettings s;
    s.ShortWordSize = c.size;
    s.ThresholdFrequency = c.threshold;
    const std::string row =
        std::to_string(c.size) + "/" + std::to_string(c.threshold);
    EXPECT_EQ(ReportNoWords(s), c.text) << row;
    EXPECT_EQ(ListWords(empty, s), c.text) << row;
    EXPECT_EQ(GenerateKeywordMetaTag(empty, s, true), c.text) << row;
  }
  // Named whether or not short words are ignored.
  AnalysisSettings s;
  s.IgnoreShortWords = false;
  EXPECT_EQ(ReportNoWords(s),
            "No words with more than 2 letters occur at least twice.");
}

const char kHeader[] = "Rank Value Frequency\r\n";
const char kZeroNote[] = "\r\nWords with key value 0 not shown.\r\n";

// Finished table from (word, weight, occurrences).
WordTable Counted(
    const std::vector<std::tuple<std::string, float, int>>& words) {
  WordTable t;
  for (const auto& [word, weight, times] : words)
    for (int i = 0; i < times; ++i) t.Record(word, weight, false);
  t.ApplyThreshold(1);
  t.MergeCaseVariants();
  t.NormaliseKeyValues();
  return t;
}

TEST(ComposeTest, WordList) {
  const struct {
    const char* name;
    WordTable table;
    std::string list;
  } kCases[] = {
      // Rank field 4 wide, value 5, frequency 4.
      {"three words", SeoDesignWeb(),
       std::string(kHeader) + "   1   100    1 seo\r\n"
                              "   2    67    1 design\r\n"
                              "   3    33    1 web\r\n"},
      // 7 × 3 = 21 and 2 × 1 = 2: 100 and 200 / 21 = 9.52.
      {"frequencies", Counted({{"alpha", 3, 7}, {"beta", 1, 2}}),
       std::string(kHeader) + "   1   100    7 alpha\r\n"
                              "   2    10    2 beta\r\n"},
      // 1 × 100 / 1000 = 0.1: both round to 0, one note.
      {"value 0 noted once",
       Counted({{"seo", 1000, 1}, {"alpha", 1, 1}, {"beta", 1, 1}}),
       std::string(kHeader) + "   1   100    1 seo\r\n" + kZeroNote},
      // 1 × 100 / 200 = 0.5 rounds to the even 0.
      {"half rounds to even 0", Counted({{"seo", 200, 1}, {"alpha", 1, 1}}),
       std::string(kHeader) + "   1   100    1 seo\r\n" + kZeroNote},
      // 7 × 100 / 200 = 3.5 gives 4; 5 × 100 / 200 = 2.5 gives 2.
      {"halves to even",
       Counted({{"top", 200, 1}, {"seven", 7, 1}, {"five", 5, 1}}),
       std::string(kHeader) + "   1   100    1 top\r\n"
                              "   2     4    1 seven\r\n"
                              "   3     2    1 five\r\n"},
      // All values 0 stay 0: header, empty line, note.
      {"first entry 0", Counted({{"alpha", 0, 1}, {"beta", 0, 1}}),
       std::string(kHeader) + kZeroNote},
      // A fifth digit widens the frequency column rather than being cut.
      {"frequency of 5 digits", Counted({{"alpha", 1, 12345}}),
       std::string(kHeader) + "   1   100 12345 alpha\r\n"},
      // The whole column widens, so rows stay aligned: beta 3 × 5000 =
      // 15000 tops alpha 12345, which gets 12345 × 100 / 15000 = 82.3.
      {"column widened for every row",
       Counted({{"alpha", 1, 12345}, {"beta", 5000, 3}}),
       std::string(kHeader) + "   1   100     3 beta\r\n"
                              "   2    82 12345 alpha\r\n"},
  };
  for (const auto& c : kCases) {
    AnalysisSettings s;
    EXPECT_EQ(ListWords(c.table, s), c.list) << c.name;
  }
}

TEST(ComposeTest, RankFieldWidensForFiveDigitCounts) {
  WordTable t;
  char word[16];
  for (int i = 1; i <= 12345; ++i) {
    std::snprintf(word, sizeof word, "w%05d", i);
    t.Record(word, 1, false);
  }
  t.NormaliseKeyValues();
  AnalysisSettings s;
  const std::string list = ListWords(t, s);
  // Equal values keep their order of arrival. Every row is 5 + 1 + 5 + 1 +
  // 4 + 1 + 6 + 2 = 25 bytes.
  ASSERT_EQ(list.size(), std::string(kHeader).size() + 12345u * 25u);
  EXPECT_EQ(list.substr(0, 47),
            std::string(kHeader) + "    1   100    1 w00001\r\n");
  EXPECT_EQ(list.substr(list.size() - 25), "12345   100    1 w12345\r\n");
}

}  // namespace
}  // namespace vorn
