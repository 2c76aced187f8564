// The keywords meta tag, the word list and the no-words message, composed
// from real word tables.
#include "engine/compose.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <vector>

#include "engine/settings.h"
#include "engine/word_table.h"
#include "support/encoding.h"
#include "support/strings.h"
#include "tests/support/fake_view.h"

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
  const WordTable seo = SeoDesignWeb();  // seo 100, design 66.7, web 33.3
  const WordTable long_word =
      Finished({{"internationalization", 30}, {"seo", 20}, {"web", 10}});
  const WordTable zeros = Finished({{"alpha", 0}, {"beta", 0}});
  // привет 12 bytes in UTF-8, 6 in windows-1251; мир 6 and 3.
  const std::string privet = "\xD0\xBF\xD1\x80\xD0\xB8\xD0\xB2\xD0\xB5\xD1\x82";
  const std::string mir = "\xD0\xBC\xD0\xB8\xD1\x80";
  const WordTable russian = Finished({{privet, 30}, {mir, 20}});
  const WordTable cafe = Finished({{"caf\xC3\xA9", 30}, {mir, 20}});
  const WordTable japanese = Finished({{"\xE6\x97\xA5\xE6\x9C\xAC", 30}});
  const struct {
    const WordTable& table;
    S settings;
    std::string tag;                        // after the prefix
    const char* encoding = "windows-1252";  // the page's
  } kCases[] = {
      // 31 + "seo" 3 + ", design" 8 + ", web" 5 = 47.
      {seo, {.SpaceAfterComma = true}, "seo, design, web\">" + Status(3, 47)},
      // 31 + 3 + 7 + 4 = 45; the closing " />" is not counted.
      {seo, {.ForwardSlash = true}, "seo,design,web\" />" + Status(3, 45)},
      // Phrases joined by bare commas: 31 + 18 = 49, then ", seo" = 54;
      // design and web occur inside the phrases and are left out.
      {seo,
       {.SpaceAfterComma = true, .BeginMetaTagWith = "web design, hosting"},
       "web design,hosting, seo\">" + Status(3, 54)},
      // 5 phrases fill a maximum of 5: 31 + 9 = 40.
      {seo,
       {.MaxNumKeywordsInMetaTag = "5", .BeginMetaTagWith = "r,g,b,c,m"},
       "r,g,b,c,m\">" + Status(5, 40)},
      {seo,
       {.MaxNumKeywordsInMetaTag = "6", .BeginMetaTagWith = "r,g,b,c,m"},
       "r,g,b,c,m,seo\">" + Status(6, 44)},
      // The phrases alone (49 bytes, 2 keywords) exceed both maxima.
      {seo,
       {.MaxNumKeywordsInMetaTag = "1",
        .MaxNumBytesInMetaTag = "40",
        .BeginMetaTagWith = "web design, hosting"},
       "web design,hosting\">" + Status(2, 49)},
      // Empty pieces count: 3 + seo = 4 reaches the maximum of 4: 39.
      {seo,
       {.MaxNumKeywordsInMetaTag = "4", .BeginMetaTagWith = "a,,b"},
       "a,,b,seo\">" + Status(4, 39)},
      // Trimmed, ", " closed up, one trailing comma dropped, lower-cased
      // unless case is kept ("web" is then not inside "Web Tips").
      {seo,
       {.BeginMetaTagWith = "  SEO, Tips, "},
       "seo,tips,design,web\">" + Status(4, 50)},
      {seo,
       {.PreserveCase = true, .BeginMetaTagWith = "Web Tips"},
       "Web Tips,seo,design,web\">" + Status(4, 54)},
      // 41 <= 41: design fits exactly; web would need 41 + 3 + 1 = 45.
      // A quote or angle bracket in a phrase goes in as a reference (the
      // tag would end there) and counts as written; "web" is in a phrase.
      {seo,
       {.PreserveCase = true, .BeginMetaTagWith = "\"Fast\" <web>"},
       "&quot;Fast&quot; &lt;web&gt;,seo,design\">" + Status(3, 70)},
      {seo, {.MaxNumBytesInMetaTag = "41"}, "seo,design\">" + Status(2, 41)},
      {seo, {.MaxNumBytesInMetaTag = "40"}, "seo\">" + Status(1, 34)},
      // The blank is not counted in the test but is counted in L:
      // 31 + 3 = 34, then 34 + 6 + 1 = 41 <= 41 gives ", design", L = 42.
      {seo,
       {.SpaceAfterComma = true, .MaxNumBytesInMetaTag = "41"},
       "seo, design\">" + Status(2, 42)},
      // Fields that are not numbers (or 0) set no limit.
      {seo,
       {.MaxNumKeywordsInMetaTag = "", .MaxNumBytesInMetaTag = "0"},
       "seo,design,web\">" + Status(3, 45)},
      // The length test comes before the phrase test: the top word, itself
      // in the phrase, would need 51 + 20 + 1 = 72 > 60, which ends the
      // list although seo (51 + 3 + 1) would fit.
      {long_word,
       {.MaxNumBytesInMetaTag = "60",
        .BeginMetaTagWith = "internationalization"},
       "internationalization\">" + Status(1, 51)},
      {zeros, {}, "alpha,beta\">" + Status(2, 41)},
      // Bytes in the page's encoding: 31 + 12 + 1 + 6 in UTF-8, 31 + 6 + 1
      // + 3 in windows-1251; the limit counts them too.
      {russian, {}, privet + "," + mir + "\">" + Status(2, 50), "utf-8"},
      {russian, {}, privet + "," + mir + "\">" + Status(2, 41), "windows-1251"},
      {russian,
       {.MaxNumBytesInMetaTag = "44"},
       privet + "\">" + Status(1, 43),
       "utf-8"},
      {russian,
       {.MaxNumBytesInMetaTag = "38"},
       privet + "\">" + Status(1, 37),
       "windows-1251"},
      // A keyword the page cannot hold is written and counted as references.
      {cafe, {}, "caf&#233;," + mir + "\">" + Status(2, 44), "windows-1251"},
      {japanese,
       {},
       "\xE6\x97\xA5\xE6\x9C\xAC\">" + Status(1, 35),
       "shift_jis"},
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

TEST(ComposeTest, PhrasesThePageCannotHoldAreRefused) {
  const struct {
    const char* phrases;
    const char* encoding;
    const char* refusal;  // "" when none
  } kCases[] = {
      {"\xD0\x9F\xD1\x80\xD0\xB8\xD0\xB2\xD0\xB5\xD1\x82", "utf-8", ""},
      {"\xD0\x9F\xD1\x80\xD0\xB8\xD0\xB2\xD0\xB5\xD1\x82", "windows-1251", ""},
      // Lower-cased first: the character named is п.
      {"ok, \xD0\x9F\xD1\x80\xD0\xB8", "windows-1252",
       "Not encodable | Begin meta tag with: the character \"\xD0\xBF\" "
       "(U+043F)"
       "\r\ncannot be written in this page's encoding (windows-1252). | "
       "exclamation | ok"},
      {"caf\xC3\xA9", "windows-1251",
       "Not encodable | Begin meta tag with: the character \"\xC3\xA9\" "
       "(U+00E9)"
       "\r\ncannot be written in this page's encoding (windows-1251). | "
       "exclamation | ok"},
  };
  for (const auto& c : kCases) {
    const std::optional<MessageBox> box = CheckPhrasesEncodable(
        {.BeginMetaTagWith = c.phrases}, *EncodingForLabel(c.encoding));
    EXPECT_EQ(box ? DescribeBox(*box) : "", c.refusal) << c.phrases;
  }
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
}

const char kHeader[] = "Rank Value Frequency\r\n";
const char kZeroNote[] = "\r\nWords with key value 0 not shown.\r\n";

TEST(ComposeTest, WordList) {
  const struct {
    WordTable table;
    std::string rows;  // after the header
  } kCases[] = {
      // Rank field 4 wide, value 5, frequency 4.
      {SeoDesignWeb(),
       "   1   100    1 seo\r\n   2    67    1 design\r\n   3    33    1 "
       "web\r\n"},
      // 7 × 3 = 21 and 2 × 1 = 2: 100 and 200 / 21 = 9.52.
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
  char word[16];
  for (int i = 1; i <= 10000; ++i) {
    std::snprintf(word, sizeof word, "w%05d", i);
    t.Record(word, 1, false);
  }
  t.NormaliseKeyValues();
  // Equal values keep their order of arrival; every row is 25 bytes.
  const std::string list = ListWords(t, AnalysisSettings{});
  ASSERT_EQ(list.size(), std::string(kHeader).size() + 10000u * 25u);
  EXPECT_EQ(list.substr(22, 25), "    1   100    1 w00001\r\n");
  EXPECT_EQ(list.substr(list.size() - 25), "10000   100    1 w10000\r\n");
}

}  // namespace
}  // namespace vorn
