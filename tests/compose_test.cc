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

using Adjust = void (*)(AnalysisSettings&);

TEST(ComposeTest, KeywordsMetaTag) {
  const struct {
    const char* name;
    Adjust adjust;
    std::string tag;
  } kCases[] = {
      // 31 + "seo" 3 + ", design" 8 + ", web" 5 = 47.
      {"seo design web with spaces",
       [](AnalysisSettings& s) { s.SpaceAfterComma = true; },
       kPrefix + std::string("seo, design, web\">") + Status(3, 47)},
      // 31 + 3 + 7 + 4 = 45; the closing " />" is not counted.
      {"forward slash", [](AnalysisSettings& s) { s.ForwardSlash = true; },
       kPrefix + std::string("seo,design,web\" />") + Status(3, 45)},
      // Phrases joined by bare commas: 31 + 18 = 49, then ", seo" = 54;
      // design and web occur inside the phrases and are left out.
      {"phrases web design, hosting",
       [](AnalysisSettings& s) {
         s.SpaceAfterComma = true;
         s.BeginMetaTagWith = "web design, hosting";
       },
       kPrefix + std::string("web design,hosting, seo\">") + Status(3, 54)},
      // 5 phrases fill a maximum of 5: 31 + 24 = 55.
      {"5 phrases, maximum 5",
       [](AnalysisSettings& s) {
         s.BeginMetaTagWith = "red,green,blue,cyan,pink";
         s.MaxNumKeywordsInMetaTag = "5";
       },
       kPrefix + std::string("red,green,blue,cyan,pink\">") + Status(5, 55)},
      {"5 phrases, maximum 6",
       [](AnalysisSettings& s) {
         s.BeginMetaTagWith = "red,green,blue,cyan,pink";
         s.MaxNumKeywordsInMetaTag = "6";
       },
       kPrefix + std::string("red,green,blue,cyan,pink,seo\">") +
           Status(6, 59)},
      // The phrases alone (49 bytes, 2 keywords) exceed both maxima.
      {"bytes already exceeded",
       [](AnalysisSettings& s) {
         s.BeginMetaTagWith = "web design, hosting";
         s.MaxNumBytesInMetaTag = "40";
       },
       kPrefix + std::string("web design,hosting\">") + Status(2, 49)},
      {"keywords already exceeded",
       [](AnalysisSettings& s) {
         s.BeginMetaTagWith = "web design, hosting";
         s.MaxNumKeywordsInMetaTag = "1";
       },
       kPrefix + std::string("web design,hosting\">") + Status(2, 49)},
      // Empty pieces count: 3 + seo = 4 reaches the maximum of 4.
      // 31 + 4 + 4 = 39.
      {"a,,b counts 3",
       [](AnalysisSettings& s) {
         s.BeginMetaTagWith = "a,,b";
         s.MaxNumKeywordsInMetaTag = "4";
       },
       kPrefix + std::string("a,,b,seo\">") + Status(4, 39)},
      // Trimmed, one trailing comma dropped, lower-cased.
      {"phrases trimmed and lower-cased",
       [](AnalysisSettings& s) { s.BeginMetaTagWith = "  SEO Tips, "; },
       kPrefix + std::string("seo tips,design,web\">") + Status(3, 50)},
      // Kept as typed; "web" is then not inside "Web Tips".
      {"phrases with case kept",
       [](AnalysisSettings& s) {
         s.PreserveCase = true;
         s.BeginMetaTagWith = "Web Tips";
       },
       kPrefix + std::string("Web Tips,seo,design,web\">") + Status(4, 54)},
      // 31 + 3 = 34; ",design" would make 34 + 6 + 1 = 41 > 40.
      {"byte limit", [](AnalysisSettings& s) { s.MaxNumBytesInMetaTag = "40"; },
       kPrefix + std::string("seo\">") + Status(1, 34)},
      // 41 <= 41: design fits exactly; web needs 41 + 3 + 1 = 45.
      {"byte limit met exactly",
       [](AnalysisSettings& s) { s.MaxNumBytesInMetaTag = "41"; },
       kPrefix + std::string("seo,design\">") + Status(2, 41)},
      // The blank is not counted in the test but is counted in L:
      // 31 + 3 = 34, then 34 + 6 + 1 = 41 <= 41 gives ", design", L = 42.
      {"blank after comma not tested",
       [](AnalysisSettings& s) {
         s.SpaceAfterComma = true;
         s.MaxNumBytesInMetaTag = "41";
       },
       kPrefix + std::string("seo, design\">") + Status(2, 42)},
      // Fields that are not numbers (or 0) set no limit.
      {"no limits",
       [](AnalysisSettings& s) {
         s.MaxNumKeywordsInMetaTag = "";
         s.MaxNumBytesInMetaTag = "0";
       },
       kPrefix + std::string("seo,design,web\">") + Status(3, 45)},
  };
  for (const auto& c : kCases) {
    const WordTable table = SeoDesignWeb();
    AnalysisSettings s;
    c.adjust(s);
    EXPECT_EQ(GenerateKeywordMetaTag(table, s, true), c.tag) << c.name;
  }
}

TEST(ComposeTest, LongWordInsidePhrasesEndsTheListByLength) {
  // The length test comes before the phrase test: 31 + 20 = 51 bytes of
  // phrase, and the top word (20 letters, itself in the phrase) would need
  // 51 + 20 + 1 = 72 > 60, which ends the list although seo (51 + 3 + 1)
  // would fit.
  const WordTable table =
      Finished({{"internationalization", 30}, {"seo", 20}, {"web", 10}});
  AnalysisSettings s;
  s.BeginMetaTagWith = "internationalization";
  s.MaxNumBytesInMetaTag = "60";
  EXPECT_EQ(GenerateKeywordMetaTag(table, s, true),
            kPrefix + std::string("internationalization\">") + Status(1, 51));
}

TEST(ComposeTest, PhrasesAreWrittenBackTrimmed) {
  const WordTable table = SeoDesignWeb();
  AnalysisSettings s;
  s.BeginMetaTagWith = "  web design, hosting  ";
  (void)GenerateKeywordMetaTag(table, s, true);
  EXPECT_EQ(s.BeginMetaTagWith, "web design, hosting");
}

TEST(ComposeTest, NoStatusLinesInMultipleFileMode) {
  const WordTable table = SeoDesignWeb();
  AnalysisSettings s;
  EXPECT_EQ(GenerateKeywordMetaTag(table, s, false),
            kPrefix + std::string("seo,design,web\">"));
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

TEST(ComposeTest, RoundHalfEven) {
  const struct {
    double value;
    long long rounded;
  } kCases[] = {{0.5, 0},    {1.5, 2},      {2.5, 2},   {3.5, 4}, {2.4999, 2},
                {2.5001, 3}, {66.6667, 67}, {100, 100}, {0.1, 0}};
  for (const auto& c : kCases)
    EXPECT_EQ(RoundHalfEven(c.value), c.rounded) << c.value;
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
  t.ApplyThreshold(1);
  t.MergeCaseVariants();
  t.NormaliseKeyValues();
  AnalysisSettings s;
  const std::string list = ListWords(t, s);
  // Equal values keep their order of arrival.
  const std::string first = "    1   100    1 w00001\r\n";
  const std::string last = "12345   100    1 w12345\r\n";
  ASSERT_GE(list.size(), first.size() + last.size());
  EXPECT_EQ(list.substr(0, std::string(kHeader).size() + first.size()),
            kHeader + first);
  EXPECT_EQ(list.substr(list.size() - last.size()), last);
  std::size_t rows = 0;
  for (std::size_t p = 0; (p = list.find("\r\n", p)) != std::string::npos;
       p += 2)
    ++rows;
  EXPECT_EQ(rows, 1u + 12345u);
  // Every row is 5 + 1 + 5 + 1 + 4 + 1 + 6 + 2 = 25 bytes.
  EXPECT_EQ(list.size(), std::string(kHeader).size() + 12345u * 25u);
}

}  // namespace
}  // namespace vorn
