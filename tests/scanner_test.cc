// The markup scanner, driven through ScanDocumentBytes. Every case states the
// raw weight of each word (the sum of its occurrences' context weights) and
// its frequency; the finished table holds raw × 100 / largest raw, so the
// comparison checks both the ratios and the order of the words.
#include "engine/scanner.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <sstream>
#include <string>
#include <string_view>
#include <vector>

#include "engine/common_words.h"
#include "engine/settings.h"
#include "engine/word_table.h"
#include "tests/support/fake_view.h"

namespace vorn {
namespace {

// A word as the scan should leave it, before normalising.
struct Expected {
  std::string word;
  double raw = 0;  // sum of the context weights of its occurrences
  std::int64_t frequency = 1;
};

// "big 7, deal 3, shed 9x3": each word with its raw weight and, after
// "x", its frequency (1 when not given), in table order.
std::vector<Expected> Parse(std::string_view text) {
  std::vector<Expected> rows;
  std::istringstream in{std::string(text)};
  for (std::string item; std::getline(in, item, ',');) {
    Expected e;
    std::string weight;
    std::istringstream(item) >> e.word >> weight;
    const std::size_t x = weight.find('x');
    e.raw = std::stod(weight.substr(0, x));
    if (x != std::string::npos) e.frequency = std::stoll(weight.substr(x + 1));
    rows.push_back(e);
  }
  return rows;
}

std::string Line(const std::string& word, std::int64_t frequency,
                 double value) {
  char buf[64];
  std::snprintf(buf, sizeof buf, " %lld %.2f\n",
                static_cast<long long>(frequency), value);
  return word + buf;
}

// The table as "word frequency value" lines, in table order.
std::string TableText(const WordTable& table) {
  std::string text;
  for (std::size_t i = 0; i < table.WordCount(); ++i) {
    const WordEntry& e = table.Entry(i);
    text += Line(e.word, e.Frequency, e.KeyValue);
  }
  return text;
}

// The expected finished table: every raw weight scaled so that the largest
// becomes 100, in the 32-bit arithmetic the table uses; or, when
// `finished` is false, the raw weights as recorded.
std::string ExpectedText(std::string_view rows_text, bool finished = true) {
  const std::vector<Expected> rows = Parse(rows_text);
  float top = 0;
  for (const Expected& r : rows) top = std::max(top, static_cast<float>(r.raw));
  std::string text;
  for (const Expected& r : rows) {
    const float raw = static_cast<float>(r.raw);
    text += Line(r.word, r.frequency,
                 !finished ? raw
                 : top > 0 ? raw * 100.0f / top
                           : 0.0f);
  }
  return text;
}

// Defaults, but every word counts at its first occurrence and no common
// word list is consulted, so that each case isolates the markup.
AnalysisSettings ScanSettings() {
  AnalysisSettings s;
  s.ThresholdFrequency = 1;
  s.IgnoreCommonWords = false;
  return s;
}

struct ScanResult {
  DocumentStatus status = DocumentStatus::kScanned;
  std::int64_t position = 0;
  WordTable table;
  FakeView view;
};

// Scans `doc` into a fresh table; `view` may be pre-scripted.
void Scan(std::string_view doc, const AnalysisSettings& settings, ScanResult& r,
          ScanOptions options = {}) {
  static const CommonWordsTable* const kNoCommonWords = new CommonWordsTable;
  r.status = ScanDocumentBytes(doc, settings, *kNoCommonWords, options, r.view,
                               r.table, &r.position);
}

using Adjust = void (*)(AnalysisSettings&);
void PreserveCase(AnalysisSettings& s) { s.PreserveCase = true; }
void KeepShort(AnalysisSettings& s) { s.IgnoreShortWords = false; }

struct ScanCase {
  std::string doc;
  Adjust adjust;         // nullptr: ScanSettings() as is
  const char* expected;  // as Parse reads it, raw weights
};

// Each failure names the row by its number and its document.
void RunCases(const std::vector<ScanCase>& cases) {
  for (std::size_t i = 0; i < cases.size(); ++i) {
    const ScanCase& c = cases[i];
    const std::string row = "row " + std::to_string(i) + ": " + c.doc;
    AnalysisSettings s = ScanSettings();
    if (c.adjust != nullptr) c.adjust(s);
    ScanResult r;
    Scan(c.doc, s, r);
    EXPECT_EQ(r.status, DocumentStatus::kScanned) << row;
    EXPECT_EQ(TableText(r.table), ExpectedText(c.expected)) << row;
    EXPECT_EQ(r.view.BoxesText(), "") << row;
  }
}

// Defaults: font size 3, bold and italic +4, h1 +30 ... h6 +5, table, div
// +2, span +4, title 90, description 50.
TEST(ScannerTest, SimpleContextTags) {
  RunCases({
      {"<b>Big</b> deal", nullptr, "big 7, deal 3"},
      // The opening tag with an attribute sets nothing; </b> only clears.
      {"<strong>bold</strong> <b class=x>Big</b> deal", nullptr,
       "bold 7, big 3, deal 3"},
      {"<i>Big</i> <em>deal</em> plain", nullptr, "big 7, deal 7, plain 3"},
      {"<b><i>both</i></b> plain", nullptr, "both 11, plain 3"},
      // 3 + 25; "!" ends the word.
      {"<h2>Hello world!</h2> more", nullptr, "hello 28, world 28, more 3"},
      {"<h6>tiny</h6> more", nullptr, "tiny 8, more 3"},
      {"<h1>Intro</h1> plain", nullptr, "intro 33, plain 3"},
      {"<H1>Intro</H1> plain", nullptr, "intro 33, plain 3"},
      {"<h1>Intro</h1> plain", PreserveCase, "Intro 33, plain 3"},
      {"<H1>Intro</H1> <EM>deal</EM> plain", PreserveCase,
       "Intro 33, deal 7, plain 3"},
      // The title weight replaces every other weight, table and bold
      // included; cell is 3 + 2. shed reaches 90 after garden and tools, so
      // it stands behind them and before the lower cell.
      {"<table><tr><td><title>Garden Tools</title> cell</td></tr></table> "
       "<b><title>Shed</title></b> plain",
       nullptr, "garden 90, tools 90, shed 90, cell 5, plain 3"},
  });
}

TEST(ScannerTest, Blocks) {
  // Inside the block 3 + 2 (table, div) or 3 + 4 (span); the inner words
  // pass the earlier "before" and keep their order.
  const char* const kSkipped = "before 3, after 3";
  const char* const kPlus2 = "alpha 5, beta 5, gamma 5, before 3, after 3";
  RunCases({
      {"before <table><tr><td>alpha\nbeta\ngamma</td></tr></table> after",
       [](AnalysisSettings& s) { s.TableWeight = 0; }, kSkipped},
      {"before <table><tr><td>alpha\nbeta\ngamma</td></tr></table> after",
       nullptr, kPlus2},
      {"before <div class=x>alpha\nbeta\ngamma</div> after",
       [](AnalysisSettings& s) { s.DivWeight = 0; }, kSkipped},
      {"before <div class=x>alpha\nbeta\ngamma</div> after", nullptr, kPlus2},
      {"before <span class=x>alpha\nbeta\ngamma</span> after",
       [](AnalysisSettings& s) { s.SpanWeight = 0; }, kSkipped},
      {"before <span class=x>alpha\nbeta\ngamma</span> after", nullptr,
       "alpha 7, beta 7, gamma 7, before 3, after 3"},
      // Only whether a table is open counts: 3 + 2 at every depth.
      {"<table><tr><td>outer <table><tr><td>inner</td></tr></table> "
       "middle</td></tr></table> plain",
       nullptr, "outer 5, inner 5, middle 5, plain 3"},
      // A "<" or ">" in a quoted attribute value is text: the tag ends at
      // its own ">" and the page goes on.
      {"<div class=\"up\"><a href=\"x\"><img title=\"<-\" alt='<-' "
       "src=\"l.gif\"></a></div>\n<p>after words</p> <b>bold</b>",
       nullptr, "bold 7, after 3, words 3"},
      {"<a title=\"arrow > here\">link</a> plain", nullptr, "link 3, plain 3"},
      // An unclosed quote is no value: the tag ends at its ">".
      {"<img alt=\"open>shown <b>bold</b>", nullptr, "bold 7, shown 3"},
  });
}

TEST(ScannerTest, CommentsScriptsStyles) {
  RunCases({
      {"<b>bold</b> <!-- note -->text", nullptr, "bold 7, text 3"},
      {"first <!-- hidden\nsecret\nwords --> visible", nullptr,
       "first 3, visible 3"},
      {"<script>var secret;</script> after", nullptr, "after 3"},
      {"<SCRIPT LANGUAGE=x>\nvar secret;\n</Script> after", nullptr, "after 3"},
      {"<SCRIPT LANGUAGE=x>\nvar secret;\n</Script> after", PreserveCase,
       "after 3"},
      {"<STYLE>\nbody { color: red }\n</Style> after", PreserveCase, "after 3"},
      // A block marker opening a line inside a comment opens no block:
      // the words after the comment weigh 3, and none is skipped.
      {"<!--\n<table><tr><td>old\n-->\nafter", nullptr, "after 3"},
      {"<!--\n<div>old\n-->\nafter",
       [](AnalysisSettings& s) { s.DivWeight = 0; }, "after 3"},
  });
}

TEST(ScannerTest, MetaTags) {
  RunCases({
      {"<meta name = \"description\" content=\"Red shoes\">\n<p>shop</p>",
       nullptr, "red 50, shoes 50, shop 3"},
      {"<meta name='description' content='Red shoes'>\n<p>shop</p>", nullptr,
       "shop 3"},
      // The content goes on over the line end.
      {"<meta name=\"description\" content=\"Red\nshoes\">\n<p>shop</p>",
       nullptr, "red 50, shoes 50, shop 3"},
      // "content" is looked for on the tag's own line only: without it the
      // tag is passed over, and the next line is ordinary text.
      {"<meta name=\"description\"\ncontent=\"Red shoes\">", nullptr,
       "content 3, red 3, shoes 3"},
      {"<meta name=\"keywords\" CONTENT=\"red, shoes\">\n<p>shop</p>",
       [](AnalysisSettings& s) {
         s.ExistingKeywordsWeight = 10;
         s.PreserveCase = true;
       },
       "red 10, shoes 10, shop 3"},
      {"<meta name=\"keywords\" content=\"red, shoes\">\n<p>shop</p>", nullptr,
       "shop 3"},
      // The name is found by two separate searches of the rest of the line
      // without its blanks: "name=" and the quoted name. The two need not
      // be joined, but the quoted name must stand whole.
      {"<meta name=\"twitter:description\" content=\"Red\">\n<p>shop</p>",
       nullptr, "shop 3"},
      {"<meta name=\"news_keywords\" content=\"red, shoes\">\n<p>shop</p>",
       [](AnalysisSettings& s) { s.ExistingKeywordsWeight = 10; }, "shop 3"},
      {"<meta name=\"x\" data-kind=\"description\" content=\"Red shoes\">",
       nullptr, "red 50, shoes 50"},
      {"<meta property=\"description\" content=\"Red shoes\">\n<p>shop</p>",
       nullptr, "shop 3"},
  });
}

TEST(ScannerTest, FontSizes) {
  RunCases({
      {"<font size=+2>big</font> after", nullptr, "big 5, after 3"},
      {"<font size=5>big</font> after", nullptr, "big 5, after 3"},
      {"<font size=9>big</font> after", nullptr, "big 7, after 3"},
      // 3 - 4 = -1, limited to 1; the later word weighs more.
      {"<font size=-4>tiny</font> after", nullptr, "after 3, tiny 1"},
      {"<font size=0>tiny</font> after", nullptr, "after 3, tiny 1"},
      {"<font size=\"5\">big</font> after", nullptr, "big 5, after 3"},
      {"<font size='+2'>big</font> after", nullptr, "big 5, after 3"},
      // Blanks after the sign are skipped; fractions round half to even.
      {"<font size=+ 2>big</font> after", nullptr, "big 5, after 3"},
      {"<font size=4.5>big</font> after", nullptr, "big 4, after 3"},
      {"<font size=5.5>big</font> after", nullptr, "big 6, after 3"},
      // 5, then 5 + 2, then back to 5, then 3.
      {"<font size=5>big <font size=+2>bigger</font> back</font> after",
       nullptr, "bigger 7, big 5, back 5, after 3"},
      // No "font" after "size" on the tag's line: the size is not read.
      {"<b>bold</b>\n<font size=5>big\nmore</font> after", nullptr,
       "bold 7, big 3, more 3, after 3"},
      // "size" only once the blanks are gone: the tag has no size.
      {"<b>bold</b> <font si ze=5>word</font> tail", nullptr,
       "bold 7, word 3, tail 3"},
      // No number inside the tag: the size stays and </font> is seen.
      {"<b>bold</b> <font size=\"big\">text</font> tail", nullptr,
       "bold 7, text 3, tail 3"},
  });
}

TEST(ScannerTest, EntitiesAndWordBoundaries) {
  RunCases({
      // &eacute; becomes é (233); the unknown &amp; is skipped whole.
      {"caf&eacute; &amp; bar", nullptr, "caf\xE9 3, bar 3"},
      {"caf&#233; bar", nullptr, "caf 3, bar 3"},
      // A blank comes before the ";", so the "&" is just punctuation.
      {"Tom & Jerry; fine", nullptr, "tom 3, jerry 3, fine 3"},
      {"don't stop", KeepShort, "stop 3"},
      // The single s is handed on but has no vowel.
      {"John's hat", KeepShort, "john 3, hat 3"},
      // mp has no vowel.
      {"mp3player well-known", KeepShort, "player 3, well 3, known 3"},
      // TAB, DEL and the bytes from 128 up are text, not markup; \x80 and
      // \xFF (a letter) in Windows-1252.
      {"alpha\tbeta \x7F gamma\x80 zeta\xFF", nullptr,
       "alpha 3, beta 3, gamma 3, zeta\xFF 3"},
  });
}

TEST(ScannerTest, FirstOccurrenceDecidesThresholdExemption) {
  // Threshold 3. A word first seen in the title, a meta tag or a heading,
  // down to h6, is exempt at frequency 1: garden, red (description 50),
  // intro (h3: 3 + 20), tiny (h6: 3 + 5). late is first seen in the body,
  // so its title occurrence (3 + 90 = 93) does not save it at frequency 2;
  // tools (2 × 3) drops; shed reaches 3 × 3 = 9.
  AnalysisSettings s = ScanSettings();
  s.ThresholdFrequency = 3;
  ScanResult r;
  Scan(
      "<title>Garden</title>\n<meta name=\"description\" content=\"Red\">\n"
      "<h3>Intro</h3>\n<h6>tiny</h6>\n<p>late tools tools</p>\n"
      "<title>late</title>\n<p>shed shed shed</p>",
      s, r);
  EXPECT_EQ(r.status, DocumentStatus::kScanned);
  EXPECT_EQ(TableText(r.table),
            ExpectedText("garden 90, red 50, intro 23, shed 9x3, tiny 8"));
  EXPECT_EQ(r.view.word_count_label(),
            "Number of words found satisfying above conditions: 5");
}

TEST(ScannerTest, NewWordsAreEchoedAndCounted) {
  const struct {
    const char* name;
    ScanOptions options;
    std::string output;
  } kCases[] = {
      // Single-file mode empties the box first, then echoes new words.
      {"single file", {true, true}, "big deal "},
      {"multiple files, words shown", {false, true}, "old text big deal "},
      {"multiple files, words not shown", {false, false}, "old text "},
  };
  for (const auto& c : kCases) {
    ScanResult r;
    r.view.PresetOutput("old text ");
    Scan("<b>Big</b> deal big", ScanSettings(), r, c.options);
    EXPECT_EQ(r.status, DocumentStatus::kScanned) << c.name;
    EXPECT_EQ(r.view.output(), c.output) << c.name;
    EXPECT_EQ(r.view.word_count_label(),
              "Number of words found satisfying above conditions: 2")
        << c.name;
    EXPECT_EQ(r.view.scans_started(), 1) << c.name;
    EXPECT_EQ(r.view.scans_ended(), 1) << c.name;
  }
}

TEST(ScannerTest, MarkupOnlyDocumentFindsNoWords) {
  ScanResult r;
  Scan(
      "<html><head></head>\n<body><p></p><!-- -->\n<table><tr><td></td></tr>"
      "</table></body></html>",
      ScanSettings(), r);
  EXPECT_EQ(r.status, DocumentStatus::kScanned);
  EXPECT_EQ(r.table.WordCount(), 0u);
  EXPECT_EQ(r.view.word_count_label(),
            "Number of words found satisfying above conditions: 0");
  EXPECT_EQ(r.view.output(), "");
}

TEST(ScannerTest, StopEndsTheScanAndReportsTheWordCount) {
  const struct {
    const char* name;
    std::string doc;
    int stop_after;
    ScanOptions options;
    std::string output;
    const char* raw;  // the table as it stood: no end steps
  } kCases[] = {
      {"after 1 word",
       "alpha beta gamma",
       1,
       {},
       "alpha \r\n\r\nStopped with 1 word identified.",
       "alpha 3"},
      {"after 2 words",
       "alpha <b>beta</b> gamma",
       2,
       {},
       "alpha beta \r\n\r\nStopped with 2 words identified.",
       "beta 7, alpha 3"},
      // The possessive's s is a word of its own (rejected, no vowel): the
      // second word read is s, so hat is never reached.
      {"possessive s is a word",
       "John's hat",
       2,
       {},
       "john \r\n\r\nStopped with 1 word identified.",
       "john 3"},
      // A multiple-file run empties the box instead of adding blank lines.
      {"multiple files",
       "alpha beta gamma",
       1,
       {false, true},
       "Stopped with 1 word identified.",
       "alpha 3"},
  };
  for (const auto& c : kCases) {
    AnalysisSettings s = ScanSettings();
    s.IgnoreShortWords = false;
    ScanResult r;
    r.view.StopAfterWords(c.stop_after);
    Scan(c.doc, s, r, c.options);
    EXPECT_EQ(r.status, DocumentStatus::kStopped) << c.name;
    EXPECT_EQ(r.view.output(), c.output) << c.name;
    EXPECT_EQ(r.view.word_count_label(), "") << c.name;
    EXPECT_EQ(TableText(r.table), ExpectedText(c.raw, false)) << c.name;
    EXPECT_EQ(r.view.scans_started(), 1) << c.name;
    EXPECT_EQ(r.view.scans_ended(), 1) << c.name;
  }
}

TEST(ScannerTest, NonTextByteStopsBeforeAnythingChanges) {
  const struct {
    const char* name;
    std::string doc;
    std::int64_t position;
  } kCases[] = {
      {"first byte", "\x01text", -1},
      // The 16384-byte read blocks do not disturb the count.
      {"form feed at 20000", std::string(19999, 'a') + "\x0C more", -20000},
      // Positions count bytes of the file, not decoded characters:
      // 3 (mark) + 5 (c a f and two bytes of é) + 1.
      {"after UTF-8",
       "\xEF\xBB\xBF"
       "caf\xC3\xA9\x01",
       -9},
  };
  for (const auto& c : kCases) {
    ScanResult r;
    ASSERT_TRUE(r.table.Record("kept", 5, false));
    r.view.PresetOutput("previous");
    Scan(c.doc, ScanSettings(), r);
    EXPECT_EQ(r.status, DocumentStatus::kNotText) << c.name;
    EXPECT_EQ(r.position, c.position) << c.name;
    EXPECT_EQ(TableText(r.table), ExpectedText("kept 5", false)) << c.name;
    EXPECT_EQ(r.view.output(), "previous") << c.name;
    EXPECT_EQ(r.view.scans_started(), 0) << c.name;
  }
}

// One page, written with each line-end convention. The comment spans two
// lines. The stray ">" on the price line takes TagDepth below 0, so the
// </p> after it never ends its tag: unseen, and lost at the start of the
// next line, are tag content until that line's first tag ends. shed and the
// bold tools (3 + 4, giving tools 90 + 7 = 97) are still counted; read as
// one line, the page would lose them too.
TEST(ScannerTest, EveryLineEndConventionRanksTheSame) {
  const std::vector<std::string> lines = {
      "<title>Garden Tools</title>", "<!-- hidden", "note -->",
      "<p>price > cost</p> unseen", "lost <p>shed <b>tools</b></p>"};
  auto join = [&](std::vector<std::string> ends) {
    std::string doc;
    for (std::size_t i = 0; i < lines.size(); ++i) doc += lines[i] + ends[i];
    return doc;
  };
  const struct {
    const char* name;
    std::string doc;
  } kCases[] = {
      {"LF, none at the end", join({"\n", "\n", "\n", "\n", ""})},
      {"CR LF", join({"\r\n", "\r\n", "\r\n", "\r\n", "\r\n"})},
      {"CR", join({"\r", "\r", "\r", "\r", "\r"})},
      {"mixed", join({"\r\n", "\n", "\r", "\n", ""})},
  };
  for (const auto& c : kCases) {
    ScanResult r;
    Scan(c.doc, ScanSettings(), r);
    EXPECT_EQ(r.status, DocumentStatus::kScanned) << c.name;
    EXPECT_EQ(TableText(r.table),
              ExpectedText("tools 97x2, garden 90, price 3, cost 3, shed 3"))
        << c.name;
  }
}

TEST(ScannerTest, Utf8PagesAreDecoded) {
  RunCases({
      {"<p>caf\xE9 bar</p>", nullptr, "caf\xE9 3, bar 3"},
      {"<p>caf\xC3\xA9 bar</p>", nullptr, "caf\xE9 3, bar 3"},
      {"\xEF\xBB\xBF<p>caf\xC3\xA9 bar</p>", nullptr, "caf\xE9 3, bar 3"},
      // The stray \xFF makes the bytes invalid UTF-8, so only the
      // declaration makes them UTF-8; \xFF then becomes a "?".
      {"<head><meta charset=\"utf-8\"></head>\n<p>caf\xC3\xA9 bar \xFF</p>",
       nullptr, "caf\xE9 3, bar 3"},
      {"<head><meta http-equiv=\"Content-Type\" content=\"text/html; "
       "charset=UTF-8\"></head>\n<p>caf\xC3\xA9 bar \xFF</p>",
       nullptr, "caf\xE9 3, bar 3"},
      // Read as Windows-1252 the kanji would give the vowel letter æ (E6).
      {"\xE6\x97\xA5\xE6\x9C\xAC word", KeepShort, "word 3"},
  });
}

TEST(ScannerTest, FortyThousandOccurrencesAndWords) {
  // One word 40000 times; then 40000 words of "ba" and four letters out of
  // sixteen consonants: each has a vowel, is no Roman numeral, has no
  // repeated letter, ends in neither "ly" nor "ed", and has no plural form
  // among the others (no "s").
  std::string doc;
  for (int n = 0; n < 40000; ++n) doc += n % 10 == 9 ? "word\n" : "word ";
  ScanResult once;
  Scan(doc, ScanSettings(), once);
  EXPECT_EQ(TableText(once.table), ExpectedText("word 120000x40000"));

  const std::string consonants = "bcdfghjknpqrtvwz";
  std::vector<std::string> words;
  doc.clear();
  for (int n = 0; n < 40000; ++n) {
    std::string w = "ba";
    for (int k = 0, v = n; k < 4; ++k, v /= 16) w += consonants[v % 16];
    words.push_back(w);
    doc += w + (n % 10 == 9 ? "\n" : " ");
  }
  ScanResult r;
  Scan(doc, ScanSettings(), r);
  EXPECT_EQ(r.status, DocumentStatus::kScanned);
  ASSERT_EQ(r.table.WordCount(), 40000u);
  // Equal weights keep the order in which the words arrived.
  for (std::size_t i = 0; i < words.size(); ++i) {
    ASSERT_EQ(r.table.Entry(i).word, words[i]) << i;
    ASSERT_EQ(r.table.Entry(i).Frequency, 1) << i;
    ASSERT_FLOAT_EQ(r.table.Entry(i).KeyValue, 100.0f) << i;
  }
  EXPECT_EQ(r.view.word_count_label(),
            "Number of words found satisfying above conditions: 40000");
}

}  // namespace
}  // namespace vorn
