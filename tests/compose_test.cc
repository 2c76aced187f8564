// The keywords meta tag, the word list and the no-words message, composed
// from real word tables.
#include "engine/compose.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "engine/settings.h"
#include "engine/word_table.h"
#include "support/encoding.h"
#include "support/strings.h"

namespace vorn {
namespace {

using S = AnalysisSettings;

struct Recorded {
  std::string word;
  float weight;
  int times = 1;
};

// A finished table: each word recorded `times` times with its weight, in
// this order, then scaled so that the top value is 100.
WordTable Finished(const std::vector<Recorded>& words) {
  WordTable t;
  for (const Recorded& r : words)
    for (int i = 0; i < r.times; ++i) t.Record(r.word, r.weight, false);
  t.NormaliseKeyValues();
  return t;
}

const char kPrefix[] = "<meta name=\"keywords\" content=\"";  // 31 bytes

std::string Status(int keywords, int bytes) {
  return "\r\n\r\nNumber of keywords in meta tag: " + std::to_string(keywords) +
         "\r\nNumber of bytes in meta tag: " + std::to_string(bytes);
}

TEST(ComposeTest, KeywordsMetaTag) {
  // seo 100, design 66.7, web 33.3
  const WordTable seo = Finished({{"seo", 30}, {"design", 20}, {"web", 10}});
  const WordTable long_word =
      Finished({{"internationalization", 30}, {"seo", 20}, {"web", 10}});
  // привет 12 bytes in UTF-8, 6 in windows-1251; мир 6 and 3.
  const WordTable russian =
      Finished({{"\xD0\xBF\xD1\x80\xD0\xB8\xD0\xB2\xD0\xB5\xD1\x82", 30},
                {"\xD0\xBC\xD0\xB8\xD1\x80", 20}});
  const struct {
    const WordTable& table;
    S settings;
    std::string tag;                        // after the prefix
    const char* encoding = "windows-1252";  // the page's
  } kCases[] = {
      // Phrases joined by bare commas: 31 + 18 = 49, then ", seo" = 54;
      // design and web occur inside the phrases and are left out.
      {seo,
       {.SpaceAfterComma = true, .BeginMetaTagWith = "web design, hosting"},
       "web design,hosting, seo\">" + Status(3, 54)},
      // 5 phrases fill a maximum of 5: 31 + 9 = 40.
      {seo,
       {.MaxNumKeywordsInMetaTag = "5", .BeginMetaTagWith = "r,g,b,c,m"},
       "r,g,b,c,m\">" + Status(5, 40)},
      // The phrases alone (49 bytes, 2 keywords) exceed both maxima.
      {seo,
       {.MaxNumKeywordsInMetaTag = "1",
        .MaxNumBytesInMetaTag = "40",
        .BeginMetaTagWith = "web design, hosting"},
       "web design,hosting\">" + Status(2, 49)},
      // Trimmed, ", " closed up, one trailing comma dropped, lower-cased.
      {seo,
       {.BeginMetaTagWith = "  SEO, Tips, "},
       "seo,tips,design,web\">" + Status(4, 50)},
      // A quote or angle bracket in a phrase goes in as a reference (the
      // tag would end there) and counts as written; "web" is in a phrase.
      {seo,
       {.PreserveCase = true, .BeginMetaTagWith = "\"Fast\" <web>"},
       "&quot;Fast&quot; &lt;web&gt;,seo,design\">" + Status(3, 70)},
      // 41 <= 41: design fits exactly; web would need 41 + 3 + 1 = 45.
      {seo, {.MaxNumBytesInMetaTag = "41"}, "seo,design\">" + Status(2, 41)},
      {seo, {.MaxNumBytesInMetaTag = "40"}, "seo\">" + Status(1, 34)},
      // The blank is not counted in the test but is counted in L:
      // 31 + 3 = 34, then 34 + 6 + 1 = 41 <= 41 gives ", design", L = 42.
      {seo,
       {.SpaceAfterComma = true, .MaxNumBytesInMetaTag = "41"},
       "seo, design\">" + Status(2, 42)},
      // The length test comes before the phrase test: the top word, itself
      // in the phrase, would need 51 + 20 + 1 = 72 > 60, which ends the
      // list although seo (51 + 3 + 1) would fit.
      {long_word,
       {.MaxNumBytesInMetaTag = "60",
        .BeginMetaTagWith = "internationalization"},
       "internationalization\">" + Status(1, 51)},
      // The limit counts bytes in the page's encoding: привет ends the tag
      // at 31 + 12 = 43 in UTF-8, at 31 + 6 = 37 in windows-1251.
      {russian,
       {.MaxNumBytesInMetaTag = "44"},
       "\xD0\xBF\xD1\x80\xD0\xB8\xD0\xB2\xD0\xB5\xD1\x82\">" + Status(1, 43),
       "utf-8"},
      {russian,
       {.MaxNumBytesInMetaTag = "38"},
       "\xD0\xBF\xD1\x80\xD0\xB8\xD0\xB2\xD0\xB5\xD1\x82\">" + Status(1, 37),
       "windows-1251"},
  };
  for (const auto& c : kCases) {
    S s = c.settings;
    EXPECT_EQ(
        GenerateKeywordMetaTag(c.table, s, true, *EncodingForLabel(c.encoding)),
        kPrefix + c.tag)
        << c.tag;
    // The phrases go back into the box trimmed, as typed otherwise.
    EXPECT_EQ(s.BeginMetaTagWith, TrimBlanks(c.settings.BeginMetaTagWith))
        << c.tag;
  }
  // A multiple-file run takes the tag alone.
  S s;
  EXPECT_EQ(GenerateKeywordMetaTag(seo, s, false),
            kPrefix + std::string("seo,design,web\">"));
}

TEST(ComposeTest, NoWordsMessage) {
  // (The golden no-words page shows "twice".)
  const WordTable empty;
  for (const auto& [size, times] : {std::pair{1, 1}, {2, 3}}) {
    AnalysisSettings s;
    s.ShortWordSize = size;
    s.ThresholdFrequency = times;
    const std::string text =
        size == 1 ? "No words with more than 1 letter occur at least once."
                  : "No words with more than 2 letters occur at least 3 times.";
    EXPECT_EQ(ReportNoWords(s), text);
    EXPECT_EQ(ListWords(empty, s), text);
    EXPECT_EQ(GenerateKeywordMetaTag(empty, s, true), text);
  }
}

const char kHeader[] = "Rank Value Frequency\r\n";
const char kZeroNote[] = "\r\nWords with key value 0 not shown.\r\n";

TEST(ComposeTest, WordList) {
  const struct {
    WordTable table;
    std::string rows;  // after the header
  } kCases[] = {
      // Rank field 4 wide, value 5, frequency 4; 7 × 3 = 21 and 2 × 1 = 2: 100
      // and 200 / 21 = 9.52.
      {Finished({{"alpha", 3, 7}, {"beta", 1, 2}}),
       "   1   100    7 alpha\r\n   2    10    2 beta\r\n"},
      // 3.5 gives 4, 2.5 gives 2; two values of 0.5 give 0 and one note.
      {Finished(
           {{"top", 200}, {"seven", 7}, {"five", 5}, {"half", 1}, {"tiny", 1}}),
       "   1   100    1 top\r\n   2     4    1 seven\r\n   3     2    1 "
       "five\r\n" +
           std::string(kZeroNote)},
      // All values 0: the header, an empty line and the note.
      {Finished({{"alpha", 0}, {"beta", 0}}), kZeroNote},
      // A fifth digit widens the frequency column for every row: beta
      // 3 × 5000 = 15000 tops alpha 12345, which gets 82.3.
      {Finished({{"alpha", 1, 12345}, {"beta", 5000, 3}}),
       "   1   100     3 beta\r\n   2    82 12345 alpha\r\n"},
  };
  for (const auto& c : kCases)
    EXPECT_EQ(ListWords(c.table, S{}), kHeader + c.rows) << c.rows;
}

TEST(ComposeTest, RankFieldWidensForFiveDigitCounts) {
  WordTable t;
  for (int i = 1; i <= 10000; ++i)
    t.Record("w" + std::to_string(100000 + i).substr(1), 1, false);
  t.NormaliseKeyValues();
  // Equal values keep their order of arrival; every row is 25 bytes.
  const std::string list = ListWords(t, AnalysisSettings{});
  ASSERT_EQ(list.size(), std::string(kHeader).size() + 10000u * 25u);
  EXPECT_EQ(list.substr(22, 25), "    1   100    1 w00001\r\n");
  EXPECT_EQ(list.substr(list.size() - 25), "10000   100    1 w10000\r\n");
}

}  // namespace
}  // namespace vorn
