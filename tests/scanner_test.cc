// The markup scanner, driven through ScanDocumentBytes. Every case states the
// raw weight of each word (the sum of its occurrences' context weights) and
// its frequency; the finished table holds raw × 100 / largest raw, so the
// comparison checks both the ratios and the order of the words.
#include "engine/scanner.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <cstdio>
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
  std::int64_t frequency = 0;
};

// Defaults, but every word counts at its first occurrence and no common
// word list is consulted, so that each case isolates the markup.
AnalysisSettings ScanSettings() {
  AnalysisSettings s;
  s.ThresholdFrequency = 1;
  s.IgnoreCommonWords = false;
  return s;
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
// becomes 100, in the 32-bit arithmetic the table uses.
std::string NormalisedText(const std::vector<Expected>& rows) {
  float top = 0;
  for (const Expected& r : rows) top = std::max(top, static_cast<float>(r.raw));
  std::string text;
  for (const Expected& r : rows)
    text += Line(r.word, r.frequency,
                 top > 0 ? static_cast<float>(r.raw) * 100.0f / top : 0.0f);
  return text;
}

// The table exactly as recorded, without the end steps.
std::string RawText(const std::vector<Expected>& rows) {
  std::string text;
  for (const Expected& r : rows) text += Line(r.word, r.frequency, r.raw);
  return text;
}

struct ScanResult {
  DocumentStatus status = DocumentStatus::kScanned;
  std::int64_t position = 0;
  WordTable table;
  FakeView view;
};

const CommonWordsTable& NoCommonWords() {
  static const CommonWordsTable* const table = new CommonWordsTable;
  return *table;
}

// Scans `doc` into a fresh table; `view` may be pre-scripted.
void Scan(std::string_view doc, const AnalysisSettings& settings, ScanResult& r,
          ScanOptions options = {}) {
  r.status = ScanDocumentBytes(doc, settings, NoCommonWords(), options, r.view,
                               r.table, &r.position);
}

using Adjust = void (*)(AnalysisSettings&);

struct ScanCase {
  const char* name;
  std::string doc;
  Adjust adjust;                   // nullptr: ScanSettings() as is
  std::vector<Expected> expected;  // in table order, raw weights
};

void RunCases(const std::vector<ScanCase>& cases) {
  for (const ScanCase& c : cases) {
    AnalysisSettings s = ScanSettings();
    if (c.adjust != nullptr) c.adjust(s);
    ScanResult r;
    Scan(c.doc, s, r);
    EXPECT_EQ(r.status, DocumentStatus::kScanned) << c.name;
    EXPECT_EQ(TableText(r.table), NormalisedText(c.expected)) << c.name;
    EXPECT_EQ(r.view.BoxesText(), "") << c.name;
  }
}

// Defaults: font size 3, bold and italic +4, h1 +30 ... h6 +5, table, div
// +2, span +4, title 90, description 50.
TEST(ScannerTest, SimpleContextTags) {
  RunCases({
      {"bold", "<b>Big</b> deal", nullptr, {{"big", 7, 1}, {"deal", 3, 1}}},
      {"strong",
       "<strong>Big</strong> deal",
       nullptr,
       {{"big", 7, 1}, {"deal", 3, 1}}},
      // The opening tag with an attribute sets nothing; </b> only clears.
      {"bold with class",
       "<b>bold</b> <b class=x>Big</b> deal",
       nullptr,
       {{"bold", 7, 1}, {"big", 3, 1}, {"deal", 3, 1}}},
      {"italic and em",
       "<i>Big</i> <em>deal</em> plain",
       nullptr,
       {{"big", 7, 1}, {"deal", 7, 1}, {"plain", 3, 1}}},
      // 3 + 4 + 4
      {"bold italic",
       "<b><i>both</i></b> plain",
       nullptr,
       {{"both", 11, 1}, {"plain", 3, 1}}},
      // 3 + 25; "!" ends the word.
      {"h2",
       "<h2>Hello world!</h2> more",
       nullptr,
       {{"hello", 28, 1}, {"world", 28, 1}, {"more", 3, 1}}},
      // 3 + 5
      {"h6", "<h6>tiny</h6> more", nullptr, {{"tiny", 8, 1}, {"more", 3, 1}}},
      {"h1",
       "<h1>Intro</h1> plain",
       nullptr,
       {{"intro", 33, 1}, {"plain", 3, 1}}},
      {"H1",
       "<H1>Intro</H1> plain",
       nullptr,
       {{"intro", 33, 1}, {"plain", 3, 1}}},
      {"h1 preserving case",
       "<h1>Intro</h1> plain",
       [](AnalysisSettings& s) { s.PreserveCase = true; },
       {{"Intro", 33, 1}, {"plain", 3, 1}}},
      {"H1 preserving case",
       "<H1>Intro</H1> plain",
       [](AnalysisSettings& s) { s.PreserveCase = true; },
       {{"Intro", 33, 1}, {"plain", 3, 1}}},
      {"B and EM preserving case",
       "<B>Big</B> <EM>deal</EM> plain",
       [](AnalysisSettings& s) { s.PreserveCase = true; },
       {{"Big", 7, 1}, {"deal", 7, 1}, {"plain", 3, 1}}},
      // The title weight replaces every other weight, table and bold
      // included; cell is 3 + 2. shed reaches 90 after garden and tools, so
      // it stands behind them and before the lower cell.
      {"title in table and bold",
       "<table><tr><td><title>Garden Tools</title> cell</td></tr></table> "
       "<b><title>Shed</title></b> plain",
       nullptr,
       {{"garden", 90, 1},
        {"tools", 90, 1},
        {"shed", 90, 1},
        {"cell", 5, 1},
        {"plain", 3, 1}}},
  });
}

TEST(ScannerTest, Blocks) {
  const std::string table =
      "before <table><tr><td>alpha\nbeta\ngamma</td></tr></table> after";
  const std::string div = "before <div class=x>alpha\nbeta\ngamma</div> after";
  const std::string span =
      "before <span class=x>alpha\nbeta\ngamma</span> after";
  const std::vector<Expected> skipped = {{"before", 3, 1}, {"after", 3, 1}};
  // Inside the block 3 + 2 (table, div) or 3 + 4 (span); the inner words
  // pass the earlier "before" and keep their order.
  const std::vector<Expected> plus2 = {{"alpha", 5, 1},
                                       {"beta", 5, 1},
                                       {"gamma", 5, 1},
                                       {"before", 3, 1},
                                       {"after", 3, 1}};
  const std::vector<Expected> plus4 = {{"alpha", 7, 1},
                                       {"beta", 7, 1},
                                       {"gamma", 7, 1},
                                       {"before", 3, 1},
                                       {"after", 3, 1}};
  RunCases({
      {"table weight 0 over three lines", table,
       [](AnalysisSettings& s) { s.TableWeight = 0; }, skipped},
      {"table weight 2", table, nullptr, plus2},
      {"div weight 0 over three lines", div,
       [](AnalysisSettings& s) { s.DivWeight = 0; }, skipped},
      {"div weight 2", div, nullptr, plus2},
      {"span weight 0 over three lines", span,
       [](AnalysisSettings& s) { s.SpanWeight = 0; }, skipped},
      {"span weight 4", span, nullptr, plus4},
      // Only whether a table is open counts: 3 + 2 at every depth.
      {"nested tables",
       "<table><tr><td>outer <table><tr><td>inner</td></tr></table> "
       "middle</td></tr></table> plain",
       nullptr,
       {{"outer", 5, 1}, {"inner", 5, 1}, {"middle", 5, 1}, {"plain", 3, 1}}},
  });
}

TEST(ScannerTest, CommentsScriptsStyles) {
  const Adjust preserve = [](AnalysisSettings& s) { s.PreserveCase = true; };
  RunCases({
      {"comment on one line",
       "<b>bold</b> <!-- note -->text",
       nullptr,
       {{"bold", 7, 1}, {"text", 3, 1}}},
      {"comment over three lines",
       "first <!-- hidden\nsecret\nwords --> visible",
       nullptr,
       {{"first", 3, 1}, {"visible", 3, 1}}},
      {"script",
       "<script>var secret;</script> after",
       nullptr,
       {{"after", 3, 1}}},
      {"SCRIPT LANGUAGE over lines",
       "<SCRIPT LANGUAGE=x>\nvar secret;\n</Script> after",
       nullptr,
       {{"after", 3, 1}}},
      {"SCRIPT LANGUAGE preserving case",
       "<SCRIPT LANGUAGE=x>\nvar secret;\n</Script> after",
       preserve,
       {{"after", 3, 1}}},
      {"style",
       "<style>p { color: red }</style> after",
       nullptr,
       {{"after", 3, 1}}},
      {"STYLE over lines preserving case",
       "<STYLE>\nbody { color: red }\n</Style> after",
       preserve,
       {{"after", 3, 1}}},
  });
}

TEST(ScannerTest, MetaTags) {
  RunCases({
      {"description with blanks around =",
       "<meta name = \"description\" content=\"Red shoes\">\n<p>shop</p>",
       nullptr,
       {{"red", 50, 1}, {"shoes", 50, 1}, {"shop", 3, 1}}},
      {"description in single quotes",
       "<meta name='description' content='Red shoes'>\n<p>shop</p>",
       nullptr,
       {{"shop", 3, 1}}},
      // The content goes on over the line end.
      {"description content over two lines",
       "<meta name=\"description\" content=\"Red\nshoes\">\n<p>shop</p>",
       nullptr,
       {{"red", 50, 1}, {"shoes", 50, 1}, {"shop", 3, 1}}},
      // "content" is looked for on the tag's own line only: without it the
      // tag is passed over, and the next line is ordinary text.
      {"description content on the next line",
       "<meta name=\"description\"\ncontent=\"Red shoes\">",
       nullptr,
       {{"content", 3, 1}, {"red", 3, 1}, {"shoes", 3, 1}}},
      {"other meta tag continued on the next line",
       "<meta name=\"author\"\ncontent=\"Bob Smith\">",
       nullptr,
       {{"content", 3, 1}, {"bob", 3, 1}, {"smith", 3, 1}}},
      {"keywords CONTENT, weight 10, case kept",
       "<meta name=\"keywords\" CONTENT=\"red, shoes\">\n<p>shop</p>",
       [](AnalysisSettings& s) {
         s.ExistingKeywordsWeight = 10;
         s.PreserveCase = true;
       },
       {{"red", 10, 1}, {"shoes", 10, 1}, {"shop", 3, 1}}},
      {"keywords with weight 0 passed over",
       "<meta name=\"keywords\" content=\"red, shoes\">\n<p>shop</p>",
       nullptr,
       {{"shop", 3, 1}}},
  });
}

// The tag's name is found by two separate searches of the rest of the
// line, without its blanks: "name=" and the quoted name ("description" or
// "keywords" between double quotes). The two need not be joined, but the
// quoted name must stand whole: twitter:description is not the description.
TEST(ScannerTest, MetaNameIsFoundBySeparateSearches) {
  RunCases({
      {"twitter:description is another name",
       "<meta name=\"twitter:description\" content=\"Red shoes\">\n"
       "<p>shop</p>",
       nullptr,
       {{"shop", 3, 1}}},
      {"news_keywords is another name",
       "<meta name=\"news_keywords\" content=\"red, shoes\">\n<p>shop</p>",
       [](AnalysisSettings& s) { s.ExistingKeywordsWeight = 10; },
       {{"shop", 3, 1}}},
      {"name= and the quoted name apart",
       "<meta name=\"x\" data-kind=\"description\" content=\"Red shoes\">\n"
       "<p>shop</p>",
       nullptr,
       {{"red", 50, 1}, {"shoes", 50, 1}, {"shop", 3, 1}}},
      {"quoted name without name=",
       "<meta property=\"description\" content=\"Red shoes\">\n<p>shop</p>",
       nullptr,
       {{"shop", 3, 1}}},
  });
}

TEST(ScannerTest, FontSizes) {
  RunCases({
      {"+2",
       "<font size=+2>big</font> after",
       nullptr,
       {{"big", 5, 1}, {"after", 3, 1}}},
      {"5",
       "<font size=5>big</font> after",
       nullptr,
       {{"big", 5, 1}, {"after", 3, 1}}},
      {"9 limited to 7",
       "<font size=9>big</font> after",
       nullptr,
       {{"big", 7, 1}, {"after", 3, 1}}},
      // 3 - 4 = -1, limited to 1; the later word weighs more.
      {"-4 limited to 1",
       "<font size=-4>tiny</font> after",
       nullptr,
       {{"after", 3, 1}, {"tiny", 1, 1}}},
      {"0 limited to 1",
       "<font size=0>tiny</font> after",
       nullptr,
       {{"after", 3, 1}, {"tiny", 1, 1}}},
      {"double quotes",
       "<font size=\"5\">big</font> after",
       nullptr,
       {{"big", 5, 1}, {"after", 3, 1}}},
      {"single quotes",
       "<font size='+2'>big</font> after",
       nullptr,
       {{"big", 5, 1}, {"after", 3, 1}}},
      // Blanks after the sign are skipped; fractions round half to even.
      {"+ 2",
       "<font size=+ 2>big</font> after",
       nullptr,
       {{"big", 5, 1}, {"after", 3, 1}}},
      {"4.5 rounds to 4",
       "<font size=4.5>big</font> after",
       nullptr,
       {{"big", 4, 1}, {"after", 3, 1}}},
      {"5.5 rounds to 6",
       "<font size=5.5>big</font> after",
       nullptr,
       {{"big", 6, 1}, {"after", 3, 1}}},
      // 5, then 5 + 2, then back to 5, then 3.
      {"nested, each </font> restores",
       "<font size=5>big <font size=+2>bigger</font> back</font> after",
       nullptr,
       {{"bigger", 7, 1}, {"big", 5, 1}, {"back", 5, 1}, {"after", 3, 1}}},
      // No "font" after "size" on the tag's line: the size is not read.
      {"</font> on a later line",
       "<b>bold</b>\n<font size=5>big\nmore</font> after",
       nullptr,
       {{"bold", 7, 1}, {"big", 3, 1}, {"more", 3, 1}, {"after", 3, 1}}},
      // "size" only once the blanks are gone: the tag has no size.
      {"si ze",
       "<b>bold</b> <font si ze=5>word</font> tail",
       nullptr,
       {{"bold", 7, 1}, {"word", 3, 1}, {"tail", 3, 1}}},
      // No number inside the tag: the size stays and </font> is seen.
      {"size=\"big\"",
       "<b>bold</b> <font size=\"big\">text</font> tail",
       nullptr,
       {{"bold", 7, 1}, {"text", 3, 1}, {"tail", 3, 1}}},
  });
}

TEST(ScannerTest, EntitiesAndWordBoundaries) {
  const Adjust keep_short = [](AnalysisSettings& s) {
    s.IgnoreShortWords = false;
  };
  RunCases({
      // &eacute; becomes é (233); the unknown &amp; is skipped whole.
      {"caf&eacute; &amp; bar",
       "caf&eacute; &amp; bar",
       nullptr,
       {{"caf\xE9", 3, 1}, {"bar", 3, 1}}},
      {"numeric reference skipped",
       "caf&#233; bar",
       nullptr,
       {{"caf", 3, 1}, {"bar", 3, 1}}},
      // A blank comes before the ";", so the "&" is just punctuation.
      {"Tom & Jerry; fine",
       "Tom & Jerry; fine",
       nullptr,
       {{"tom", 3, 1}, {"jerry", 3, 1}, {"fine", 3, 1}}},
      {"don't stop", "don't stop", keep_short, {{"stop", 3, 1}}},
      // The single s is handed on but has no vowel.
      {"John's hat", "John's hat", keep_short, {{"john", 3, 1}, {"hat", 3, 1}}},
      // mp has no vowel.
      {"mp3player well-known",
       "mp3player well-known",
       keep_short,
       {{"player", 3, 1}, {"well", 3, 1}, {"known", 3, 1}}},
      {"digits split words",
       "alpha7beta",
       nullptr,
       {{"alpha", 3, 1}, {"beta", 3, 1}}},
  });
}

TEST(ScannerTest, FirstOccurrenceDecidesThresholdExemption) {
  // Threshold 3. garden (title) and intro (h3, 3 + 20) are exempt at
  // frequency 1; late is first seen in the body, so its title occurrence
  // (3 + 90 = 93) does not save it at frequency 2; tools (2 × 3) drops;
  // shed reaches 3 × 3 = 9.
  AnalysisSettings s = ScanSettings();
  s.ThresholdFrequency = 3;
  ScanResult r;
  Scan(
      "<title>Garden</title>\n<h3>Intro</h3>\n<p>late tools tools</p>\n"
      "<title>late</title>\n<p>shed shed shed</p>",
      s, r);
  EXPECT_EQ(r.status, DocumentStatus::kScanned);
  EXPECT_EQ(
      TableText(r.table),
      NormalisedText({{"garden", 90, 1}, {"intro", 23, 1}, {"shed", 9, 3}}));
  EXPECT_EQ(r.view.word_count_label(),
            "Number of words found satisfying above conditions: 3");
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
    std::vector<Expected> raw;  // the table as it stood: no end steps
  } kCases[] = {
      {"after 1 word",
       "alpha beta gamma",
       1,
       {},
       "alpha \r\n\r\nStopped with 1 word identified.",
       {{"alpha", 3, 1}}},
      {"after 2 words",
       "alpha <b>beta</b> gamma",
       2,
       {},
       "alpha beta \r\n\r\nStopped with 2 words identified.",
       {{"beta", 7, 1}, {"alpha", 3, 1}}},
      // The possessive's s is a word of its own (rejected, no vowel): the
      // second word read is s, so hat is never reached.
      {"possessive s is a word",
       "John's hat",
       2,
       {},
       "john \r\n\r\nStopped with 1 word identified.",
       {{"john", 3, 1}}},
      // A multiple-file run empties the box instead of adding blank lines.
      {"multiple files",
       "alpha beta gamma",
       1,
       {false, true},
       "Stopped with 1 word identified.",
       {{"alpha", 3, 1}}},
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
    EXPECT_EQ(TableText(r.table), RawText(c.raw)) << c.name;
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
    EXPECT_EQ(TableText(r.table), RawText({{"kept", 5, 1}})) << c.name;
    EXPECT_EQ(r.view.output(), "previous") << c.name;
    EXPECT_EQ(r.view.scans_started(), 0) << c.name;
    EXPECT_EQ(r.view.BoxesText(), "") << c.name;
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
  const std::vector<Expected> expected = {{"tools", 97, 2},
                                          {"garden", 90, 1},
                                          {"price", 3, 1},
                                          {"cost", 3, 1},
                                          {"shed", 3, 1}};
  auto join = [&](std::vector<std::string> ends) {
    std::string doc;
    for (std::size_t i = 0; i < lines.size(); ++i) doc += lines[i] + ends[i];
    return doc;
  };
  const struct {
    const char* name;
    std::string doc;
  } kCases[] = {
      {"LF", join({"\n", "\n", "\n", "\n", "\n"})},
      {"LF, none at the end", join({"\n", "\n", "\n", "\n", ""})},
      {"CR LF", join({"\r\n", "\r\n", "\r\n", "\r\n", "\r\n"})},
      {"CR", join({"\r", "\r", "\r", "\r", "\r"})},
      {"mixed", join({"\r\n", "\n", "\r", "\n", ""})},
  };
  for (const auto& c : kCases) {
    ScanResult r;  // an unscripted question would fail the test
    Scan(c.doc, ScanSettings(), r);
    EXPECT_EQ(r.status, DocumentStatus::kScanned) << c.name;
    EXPECT_EQ(TableText(r.table), NormalisedText(expected)) << c.name;
    EXPECT_EQ(r.view.BoxesText(), "") << c.name;
  }
}

TEST(ScannerTest, Utf8PagesAreDecoded) {
  const Adjust keep_short = [](AnalysisSettings& s) {
    s.IgnoreShortWords = false;
  };
  const std::vector<Expected> cafe = {{"caf\xE9", 3, 1}, {"bar", 3, 1}};
  RunCases({
      {"Windows-1252", "<p>caf\xE9 bar</p>", nullptr, cafe},
      {"UTF-8", "<p>caf\xC3\xA9 bar</p>", nullptr, cafe},
      {"UTF-8 with byte-order mark", "\xEF\xBB\xBF<p>caf\xC3\xA9 bar</p>",
       nullptr, cafe},
      // The stray \xFF makes the bytes invalid UTF-8, so only the
      // declaration makes them UTF-8; \xFF then becomes a "?".
      {"charset meta",
       "<head><meta charset=\"utf-8\"></head>\n<p>caf\xC3\xA9 bar \xFF</p>",
       nullptr, cafe},
      {"http-equiv charset meta",
       "<head><meta http-equiv=\"Content-Type\" content=\"text/html; "
       "charset=UTF-8\"></head>\n<p>caf\xC3\xA9 bar \xFF</p>",
       nullptr, cafe},
      // Read as Windows-1252 the kanji would give the vowel letter æ (E6).
      {"characters outside Windows-1252",
       "\xE6\x97\xA5\xE6\x9C\xAC word",
       keep_short,
       {{"word", 3, 1}}},
  });
}

TEST(ScannerTest, WordOccurringFortyThousandTimes) {
  std::string doc;
  for (int line = 0; line < 4000; ++line) {
    for (int k = 0; k < 10; ++k) doc += "word ";
    doc += "\n";
  }
  ScanResult r;
  Scan(doc, ScanSettings(), r);
  EXPECT_EQ(r.status, DocumentStatus::kScanned);
  EXPECT_EQ(TableText(r.table), NormalisedText({{"word", 120000, 40000}}));
}

TEST(ScannerTest, FortyThousandDistinctWords) {
  // "ba" and four letters out of sixteen consonants: each word has a vowel,
  // is no Roman numeral, no repeated letter, ends in neither "ly" nor "ed",
  // and has no plural form among the others (no "s").
  const std::string consonants = "bcdfghjknpqrtvwz";
  std::vector<std::string> words;
  std::string doc;
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
