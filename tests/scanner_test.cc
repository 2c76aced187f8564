// The markup scanner and the document checks. The weight rows feed the lines
// of a document to a DocumentScanner and read the table before the end
// steps, so each word shows the sum of its context weights as worked out by
// hand. The rows through ScanDocumentBytes add decoding, line ends, the
// text test, the progress shown and Stop.
#include "engine/scanner.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <string>
#include <string_view>
#include <thread>
#include <vector>

#include "engine/common_words.h"
#include "engine/document_checks.h"
#include "engine/settings.h"
#include "engine/word_table.h"
#include "tests/support/fake_view.h"

namespace vorn {
namespace {

using S = AnalysisSettings;

const CommonWordsTable& NoCommonWords() {
  static const CommonWordsTable* const table = new CommonWordsTable;
  return *table;
}

// "word weight" per entry in table order; "xN" for a frequency above 1, "!"
// for an entry exempt from the frequency threshold.
std::string Dump(const WordTable& table) {
  std::string out;
  for (std::size_t i = 0; i < table.WordCount(); ++i) {
    const WordEntry& e = table.Entry(i);
    char value[32];
    std::snprintf(value, sizeof value, " %g", e.KeyValue);
    out += (i ? ", " : "") + e.word + value;
    if (e.Frequency > 1) out += "x" + std::to_string(e.Frequency);
    if (e.ThresholdExempt) out += "!";
  }
  return out;
}

// Defaults: font size 3; bold, italic +4; h1 +30 ... h6 +5; table, div +2;
// span +4; title 90, description 50; existing keywords 0 (not scanned).
TEST(ScannerTest, ContextWeights) {
  const struct {
    std::string doc;  // lines end at "\n"
    S settings;
    const char* raw;  // Dump of the table before the end steps
  } kCases[] = {
      // A tag with an attribute sets nothing, and its end tag only clears.
      {"<b>big</b> <i>deal</i> <strong>firm</strong> <em>soft</em> "
       "<b class=x>plain</b> <b><i>both</i></b>",
       {.BoldWeight = 1, .ItalicWeight = 6},
       "both 10, deal 9, soft 9, big 4, firm 4, plain 3"},
      // The title weight replaces table, bold and description weights.
      {"<table><td><b><title>Garden</title></b> cell</td></table> <title>Shop "
       "<meta name=\"description\" content=\"red\"></title>",
       {},
       "garden 90!, shop 90!, red 90!, cell 5"},
      // Blocks add their weight once, however deeply nested, over line ends
      // too; a stray end tag does not take the depth below 0.
      {"<table><td>cell</td></table> <div>block</div> <span>inline</span> "
       "plain <table><div><span><table>deep</table></span></div></table>",
       {.TableWeight = 1, .DivWeight = 5, .SpanWeight = 9},
       "deep 18, inline 12, block 8, cell 4, plain 3"},
      {"</table> before <table><td>alpha\nbeta <table><td>inner</td></table> "
       "middle</td></table> after",
       {},
       "alpha 5, beta 5, inner 5, middle 5, before 3, after 3"},
      // Weight 0 skips a block up to the end tag of its own level.
      {"before <table><td>outer <table><td>inner</td></table> middle\nnext "
       "<table>deep</table> line\nend</td></table> after",
       {.TableWeight = 0},
       "before 3, after 3"},
      // Block markers in a script or comment over line ends open nothing.
      {"<script>\n<div>\n</script>\nafter <!--\n<table><td>old\n-->\nend",
       {},
       "after 3, end 3"},
      // "<" and ">" in a quoted value are text; an unclosed quote is none.
      {"<a title=\"arrow > here\">link</a> <img alt=\"open>shown <b>bold</b>",
       {},
       "bold 7, link 3, shown 3"},
      // The stray ">" takes TagDepth below 0: </p> does not end its tag, so
      // unseen and (after the depth is reset at the line end) lost are tag
      // content.
      {"price > cost</p> unseen\nlost <p>shed", {}, "price 3, cost 3, shed 3"},
      // The description and keywords meta tags; the content may go on over a
      // line end, but "content" must be on the tag's line.
      {"<meta name = \"description\" content=\"Red\nshoes\">\n<p>shop</p> "
       "<meta name='description' content='Blue'>",
       {},
       "red 50!, shoes 50!, shop 3"},
      {"<meta name=\"keywords\" content=\"red\">\n<meta name=\"description\"\n"
       "content=\"Red shoes\">",
       {},
       "content 3, red 3, shoes 3"},
      {"<meta name=\"keywords\" CONTENT=\"red, shoes\">\nshop\n<meta "
       "name=\"twitter:description\" content=\"Blue\">\n<meta "
       "property=\"description\" content=\"Green\">",
       {.ExistingKeywordsWeight = 10, .PreserveCase = true},
       "red 10!, shoes 10!, shop 3"},
      // Font sizes: set, raised, lowered, limited to 1..7, rounded half to
      // even, restored by </font>; not read without "size" or a number.
      {"<font size=+2>plus</font> <font size=-1>minus</font> <font "
       "size=\"6\">six</font> <font size=9>nine</font> <font "
       "size=-4>tiny</font> <font size=4.5>even</font> <font "
       "size=5.5>odd</font> <font si ze=5>gap</font> <font "
       "size=\"x\">word</font> <font size=5>big <font size=+1>bigger</font> "
       "back</font> after",
       {},
       "nine 7, six 6, odd 6, bigger 6, plus 5, big 5, back 5, even 4, gap 3, "
       "word 3, after 3, minus 2, tiny 1"},
      // No "font" after "size" on the tag's line: the size is not read.
      {"<font size=5>big\nmore</font> after", {}, "big 3, more 3, after 3"},
      // Entities, and the characters that end words.
      {"caf&eacute; &amp; bar Tom & Jerry; fine\tbeta \x7F gamma\xC2\x80 "
       "zeta\xC3\xBF",
       {},
       "caf\xC3\xA9 3, bar 3, tom 3, jerry 3, fine 3, beta 3, gamma 3, "
       "zeta\xC3\xBF 3"},
      // A Greek capital sigma ends a word as ς; a combining mark stays
      // inside its word, which is put in NFC; digits of other scripts end
      // words like ASCII ones.
      {"\xCE\x9F\xCE\x94\xCE\x9F\xCE\xA3 Cafe\xCC\x81 abc\xD9\xA3"
       "def",
       {},
       "\xCE\xBF\xCE\xB4\xCE\xBF\xCF\x82 3, caf\xC3\xA9 3, abc 3, def 3"},
      // Contractions and plurals belong to the Latin script: é' ends a
      // contraction, a Cyrillic word before an apostrophe stays, and a
      // Cyrillic word plus "s" is no plural.
      {"jean'\xC3\xA9 stop \xD0\xBA\xD0\xBE\xD1\x82'd \xD0\xBA\xD0\xBE\xD1"
       "\x82s cats cat",
       {},
       "cat 6x2, stop 3, \xD0\xBA\xD0\xBE\xD1\x82 3, \xD0\xBA\xD0\xBE\xD1\x82s "
       "3"},
      // don't is dropped; the s of John's is a word without a vowel.
      {"don't stop John's hat mp3player well-known",
       {.IgnoreShortWords = false},
       "stop 3, john 3, hat 3, player 3, well 3, known 3"},
  };
  for (const auto& c : kCases) {
    WordTable table;
    DocumentScanner scanner(c.settings, NoCommonWords(), table, nullptr, {});
    ForEachLine(c.doc, [&](std::string_view line) {
      return scanner.ScanDocumentLine(line);
    });
    EXPECT_EQ(Dump(table), c.raw) << c.doc;
  }
}

struct Scanned {
  DocumentStatus status;
  std::int64_t position = 0;
  WordTable table;
  FakeView view;
};

// Threshold 1 and only words of one letter short: every word stays, scaled
// so that the top one is 100.
void Scan(std::string_view doc, Scanned& r, ScanOptions options = {}) {
  const S s{.ShortWordSize = 1, .ThresholdFrequency = 1};
  r.status = ScanDocumentBytes(doc, s, NoCommonWords(), options, r.view,
                               r.table, &r.position);
}

TEST(ScannerTest, EveryCapitalIsLoweredAndNothingElse) {
  // Eight bytes at a time and one by one: every capital letter, and the
  // neighbours of "A" and "Z", which are no letters and part no word.
  const std::string upper = "ABCDEFGHIJKLMNOPQRSTUVWXYZ";
  const std::string lower = "abcdefghijklmnopqrstuvwxyz";
  Scanned r;
  Scan(upper + " " + lower + " " + "xy@Za[Ay`Zo{Be " + upper.substr(20), r);
  EXPECT_EQ(Dump(r.table),
            "abcdefghijklmnopqrstuvwxyz 100x2, xy 50, za 50, ay 50, zo 50, "
            "be 50, uvwxyz 50");
}

TEST(ScannerTest, ProgressShownAndStop) {
  const ScanOptions kModes[] = {{true, true}, {false, true}, {false, false}};
  const char* const kEcho = "<b>betas</b> gamma beta";
  const char* const kStop = "alpha <b>beta</b> gamma";
  const struct {
    const char* doc;
    int mode;        // single file; multiple files, words shown; not shown
    int stop_after;  // 0: not stopped
    const char* output;
    const char* table;
  } kCases[] = {
      // New words are echoed (not betas renamed to beta), in a single-file
      // run into an emptied box.
      {kEcho, 0, 0, "betas gamma ", "beta 100x2, gamma 30"},
      {kEcho, 2, 0, "old ", "beta 100x2, gamma 30"},
      // Stop keeps the table as it stood, without the end steps.
      {kStop, 0, 2, "alpha beta \r\n\r\nStopped with 2 words identified.",
       "beta 7, alpha 3"},
      {kStop, 1, 1, "Stopped with 1 word identified.", "alpha 3"},
  };
  for (const auto& c : kCases) {
    Scanned r;
    r.view.PresetOutput("old ");
    r.view.StopAfterWords(c.stop_after);
    Scan(c.doc, r, kModes[c.mode]);
    EXPECT_EQ(r.status, c.stop_after ? DocumentStatus::kStopped
                                     : DocumentStatus::kScanned)
        << c.output;
    EXPECT_EQ(r.view.output(), c.output);
    EXPECT_EQ(r.view.word_count_label(),
              c.stop_after
                  ? ""
                  : "Number of words found satisfying above conditions: 2")
        << c.output;
    EXPECT_EQ(Dump(r.table), c.table) << c.output;
    EXPECT_EQ(r.view.scans_ended(), 1) << c.output;
  }
}

// A page of over a megabyte: every context, words of several scripts
// (Greek with a final sigma to lower, Japanese split into words, a letter
// and combining mark to compose), plurals to fold, and a vocabulary large
// enough for batches of new words. With `latin_only`, plain words alone, one
// per run of letters, so that Stop falls on the same word however the page
// is read.
std::string LargePage(bool latin_only, std::string_view charset,
                      bool one_line = false) {
  std::string page = "<html><head><meta charset=\"" + std::string(charset) +
                     "\"><title>Large page</title>\n"
                     "<meta name=\"description\" content=\"lead words\">\n"
                     "</head><body>\r\n";
  auto word = [](int n) {
    std::string w;
    for (int k = 0; k < 3; ++k, n /= 26)
      w.push_back(static_cast<char>('a' + n % 26));
    return w;
  };
  for (int i = 0; page.size() < (3 << 19); ++i) {
    const std::string a = word(i % 9000), b = word(i * 7 % 12000);
    if (latin_only) {
      page +=
          "<p>" + a + " <b>" + b + "</b> " + a + "s<h2>" + b + "</h2></p>\n";
      continue;
    }
    page += "<h" + std::to_string(1 + i % 6) + ">" + a + "</h" +
            std::to_string(1 + i % 6) + "><table><tr><td><i>" + b + "s " + a +
            "</i></td></tr></table> <font size=+2>" + b +
            "</font> &eacute;t&eacute; <!-- hidden " + a + " -->\r\n";
    if (charset == "utf-8")
      page +=
          "<div>ΣΟΦΟΣ " + a + " 日本語の文章です e\xCC\x81t\xC3\xA9</div>\n";
  }
  page += "</body></html>\n";
  if (one_line)
    std::replace_if(
        page.begin(), page.end(), [](char c) { return c == '\r' || c == '\n'; },
        ' ');
  return page;
}

// Where two long texts first differ, and how each goes on there; "" when
// they are the same.
std::string Difference(std::string_view a, std::string_view b) {
  std::size_t i = 0;
  while (i < a.size() && i < b.size() && a[i] == b[i]) ++i;
  if (i == a.size() && i == b.size()) return "";
  return "at " + std::to_string(i) + ": \"" + std::string(a.substr(i, 40)) +
         "\" / \"" + std::string(b.substr(i, 40)) + "\"";
}

TEST(ScannerTest, ALargePageReadsTheSameOnTwoThreads) {
  // A scan of a large page takes it apart on a second thread (on a machine
  // of one core it does not, and this compares a scan with itself). It
  // must give the same table, echo and label as a scan on one thread,
  // stopped or not, and Stop at a batch's edge or inside one.
  const ScanOptions kTwo{true, true, true};
  const ScanOptions kOne{true, true, false};
  const struct {
    bool latin_only;
    const char* charset;
    int stop_after;
    bool one_line = false;  // whose halves are prepared apart
  } kCases[] = {{false, "utf-8", 0, true}, {false, "windows-1252", 0, true},
                {false, "utf-8", 0},       {false, "windows-1252", 0},
                {true, "utf-8", 1},        {true, "utf-8", 4096},
                {true, "utf-8", 4097},     {true, "utf-8", 150001}};
  for (const auto& c : kCases) {
    const std::string page = LargePage(c.latin_only, c.charset, c.one_line);
    const std::string row = std::string(c.charset) + " / " +
                            std::to_string(c.stop_after) +
                            (c.one_line ? " / one line" : "");
    ASSERT_GT(page.size(), 1u << 20);
    Scanned one, two;
    for (Scanned* r : {&one, &two}) {
      r->view.StopAfterWords(c.stop_after);
      Scan(page, *r, r == &two ? kTwo : kOne);
    }
    EXPECT_EQ(two.status, c.stop_after ? DocumentStatus::kStopped
                                       : DocumentStatus::kScanned)
        << row;
    EXPECT_EQ(two.status, one.status) << row;
    EXPECT_GT(two.table.WordCount(), c.stop_after ? 0u : 5000u) << row;
    EXPECT_EQ(Difference(Dump(two.table), Dump(one.table)), "") << row;
    EXPECT_EQ(Difference(two.view.output(), one.view.output()), "") << row;
    EXPECT_EQ(two.view.word_count_label(), one.view.word_count_label()) << row;
  }
}

TEST(ScannerTest, StopIsSeenWhileNoWordComes) {
  // A page of markup alone, taken apart on a second thread: no word ever
  // reaches this one, which still asks after Stop while it waits (here
  // pressed from the start), and stops.
  if (std::thread::hardware_concurrency() < 2) GTEST_SKIP() << "one core";
  class StopPressed : public FakeView {
   public:
    bool StopRequestedWhileWaiting() override { return true; }
  };
  std::string page;
  while (page.size() < (24u << 20)) page += "<p class=\"x\"></p><br>\n";
  WordTable table;
  StopPressed view;
  std::int64_t position = 0;
  const S s{.ShortWordSize = 1, .ThresholdFrequency = 1};
  EXPECT_EQ(ScanDocumentBytes(page + "late words", s, NoCommonWords(),
                              ScanOptions{}, view, table, &position),
            DocumentStatus::kStopped);
  EXPECT_EQ(view.output(), "\r\n\r\nStopped with 0 words identified.");
}

TEST(ScannerTest, BadBytesStopBeforeAnythingChanges) {
  constexpr auto kNotText = DocumentStatus::kNotText;
  constexpr auto kUndecodable = DocumentStatus::kUndecodable;
  const struct {
    std::string doc;
    DocumentStatus status;
    std::int64_t position;
  } kCases[] = {
      {"\x01text", kNotText, -1},
      // Bytes of the file count, not decoded characters.
      {"\xEF\xBB\xBF<caf\xC3\xA9\x01", kNotText, -10},
      {"<meta charset=shift_jis>\x1B$BF|", kNotText, -25},
      // A declared encoding that the bytes break: the first bad byte.
      {"<meta charset=\"utf8\">\n<p>caf\xC3\xA9 \xFF</p>", kUndecodable, 32},
      {"<meta charset=shift_jis><p>\x93\xFA\x82</p>", kUndecodable, 30},
  };
  for (const auto& c : kCases) {
    Scanned r;
    r.table.Record("kept", 5, false);
    r.view.PresetOutput("previous");
    Scan(c.doc, r);
    EXPECT_EQ(r.status, c.status) << c.position;
    EXPECT_EQ(r.position, c.position);
    EXPECT_EQ(Dump(r.table), "kept 5") << c.position;
    EXPECT_EQ(r.view.output(), "previous") << c.position;
    EXPECT_EQ(r.view.scans_started(), 0) << c.position;
  }
}

TEST(ScannerTest, LineEndsAndEncodings) {
  // tools: 90 + 7 + 3, so the scaling to 100 changes no value. Read as one
  // line, the stray ">" would hide shed and both later tools.
  const std::string page =
      "<title>Garden Tools</title>\n<!-- hidden\nnote -->\n<p>price > "
      "cost</p> unseen\nlost <p>shed <b>tools</b> tools</p>";
  const char* const kTools =
      "tools 100x3!, garden 90!, price 3, cost 3, shed 3";
  auto with = [&](std::string_view eol) {
    std::string doc;
    for (char c : page) doc += c == '\n' ? std::string(eol) : std::string(1, c);
    return doc;
  };
  const struct {
    std::string doc;
    const char* table;
  } kCases[] = {
      {page, kTools},
      {with("\r\n") + "\r\n", kTools},
      {with("\r"), kTools},
      {"<p>caf\xE9 bar</p>", "caf\xC3\xA9 100, bar 100"},
      // ISO-2022-JP switches with ESC, which is text there.
      {"<meta charset=iso-2022-jp><p>\x1B$BF|K\\\x1B(B word</p>",
       "\xE6\x97\xA5\xE6\x9C\xAC 100, word 100"},
  };
  for (const auto& c : kCases) {
    Scanned r;
    Scan(c.doc, r);
    EXPECT_EQ(Dump(r.table), c.table) << testing::PrintToString(c.doc);
  }
}

TEST(DocumentChecksTest, DetectEncoding) {
  const struct {
    std::string bytes;
    const char* encoding;      // the name of the encoding the page is read in
    const char* unknown = "";  // a charset named that is not known
  } kCases[] = {
      {"<head><meta charset=\"utf-8\"></head>caf\xE9", "utf-8"},
      {"<META CONTENT=\"text/html; Charset = 'UTF-8'\">caf\xE9", "utf-8"},
      {"<meta charset=utf8>caf\xE9", "utf-8"},
      {"<head></head><meta charset=\"utf-8\">caf\xE9", "windows-1252"},
      {"<head><p>charset=utf-8</p></head>caf\xE9", "windows-1252"},
      // Legacy charsets; the first declaration counts, unless a later one
      // says UTF-8; valid UTF-8 is UTF-8 whatever the head says.
      {"<meta charset=\"windows-1251\">\xCF\xF0", "windows-1251"},
      {"<meta charset=koi8-r><meta charset=utf-8>\xE9", "utf-8"},
      {"<meta charset=koi8-r><meta charset=iso-8859-2>\xE9", "koi8-r"},
      {"<meta charset=windows-1251>caf\xC3\xA9", "utf-8"},
      {"<meta charset=\"x-klingon\">caf\xE9", "windows-1252", "x-klingon"},
  };
  for (const auto& c : kCases) {
    const PageEncoding e = DetectEncoding(c.bytes);
    EXPECT_EQ(e.encoding.name, c.encoding) << testing::PrintToString(c.bytes);
    EXPECT_EQ(e.unknown_label, c.unknown) << testing::PrintToString(c.bytes);
  }
}

TEST(DocumentChecksTest, PagesCheckedWithoutTheirText) {
  // The check without a copy finds what decoding finds, byte-order mark
  // and all.
  for (const std::string& bytes :
       {std::string("caf\xC3\xA9"),
        std::string("\xEF\xBB\xBF"
                    "caf\xC3"),
        std::string("\xEF\xBB\xBF"
                    "a\x80"),
        std::string("ab\xFF"),
        std::string("<meta charset=windows-1252>\x81\x8D\xFF"),
        std::string("<meta charset=shift_jis>\x82\xA0\x82"),
        std::string("<meta charset=iso-2022-jp>\x1B$B$\"")}) {
    const PageEncoding page = DetectEncoding(bytes);
    std::string text;
    EXPECT_EQ(FirstUndecodableByte(bytes, page), DecodePage(bytes, page, &text))
        << testing::PrintToString(bytes);
  }
}

TEST(DocumentChecksTest, NextLineCutsAsForEachLine) {
  // Lines that end just before, at and after the edges of the windows a
  // line end is looked for in (256 bytes, then 512 more), with a CR LF
  // split across an edge, in each kind of line end, with and without one
  // after the last line.
  for (const std::size_t length : {0, 1, 255, 256, 257, 767, 768, 5000})
    for (const std::string eol : {"\n", "\r", "\r\n", "\r\r\n", "\n\r"})
      for (const bool last_eol : {false, true}) {
        const std::string text = std::string(length, 'a') + eol + "bc" + eol +
                                 std::string(length, 'd') +
                                 (last_eol ? eol : "");
        std::vector<std::string_view> want;
        ForEachLine(text, [&](std::string_view line) {
          want.push_back(line);
          return true;
        });
        std::vector<std::string_view> got;
        std::size_t next = 0;
        for (std::string_view line; NextLine(text, &next, &line);)
          got.push_back(line);
        EXPECT_EQ(got, want)
            << length << " " << testing::PrintToString(eol) << " " << last_eol;
        EXPECT_EQ(next, text.size());
      }
}

TEST(DocumentChecksTest, ClassifyTextBytes) {
  const struct {
    std::string bytes;
    LineEndingKind kind;
  } kCases[] = {
      {"a\r\nb\nc", kMixedOrNoLineEnds},
      {"a\nb\n", kUnixLineEnds},
      {"a\rb\r", kMacLineEnds},
      {std::string(16, 'a') + "\n" + std::string(8, 'a'), kUnixLineEnds},
      {std::string(16, 'a') + "\x1F", -17},
      // Line ends and bad bytes amid bytes beyond ASCII, eight at a time:
      // beside a tab, 0x8A (0x80 + LF) is no line end and 0x81 and 0x9F are
      // text; the first bad byte counts.
      {"caf\xC3\xA9\n\xC3\xA9" + std::string(8, 'a'), kUnixLineEnds},
      {"a\t\x8A\x81\x9F" + std::string(11, 'b'), kMixedOrNoLineEnds},
      {"ab\ncd\x01\x02" + std::string(8, 'a'), -6},
      {"\xFF\xFF\xFF\x1B\xFF\xFF\r\xFF", -4},
  };
  for (const auto& c : kCases)
    EXPECT_EQ(ClassifyTextBytes(c.bytes), c.kind)
        << testing::PrintToString(c.bytes);
  EXPECT_EQ(ClassifyTextBytes("\xFF\xFF\xFF\x1B\xFF\xFF\r\xFF", true),
            kMacLineEnds);
  // Every byte below 32 but TAB, LF and CR is no text, in the eight-byte
  // strides as well as in the tail; from 32 on every byte is text.
  for (int b = 0; b < 256; ++b) {
    const bool text = b == 9 || b == 10 || b == 13 || b >= 32;
    const std::string one(1, static_cast<char>(b));
    EXPECT_EQ(ClassifyTextBytes("ab" + one) < 0, !text) << b;
    EXPECT_EQ(ClassifyTextBytes("abcdefgh" + one + "abcdefgh") < 0, !text) << b;
  }
}

}  // namespace
}  // namespace vorn
