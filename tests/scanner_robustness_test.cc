// Random and malformed documents through the whole document scan: whatever
// the bytes and the settings, the scan ends with a well-formed word table,
// and a control byte is reported at its exact position. The inputs come
// from fixed seeds, so every failure can be replayed; each names its seed.

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <random>
#include <string>
#include <string_view>
#include <vector>

#include "engine/common_words.h"
#include "engine/scanner.h"
#include "engine/settings.h"
#include "engine/ui.h"
#include "engine/word_table.h"
#include "support/cp1252.h"
#include "tests/support/fake_view.h"

namespace vorn {
namespace {

// Raw 64-bit draws only: the standard distributions differ between
// libraries, and the inputs must not.
class Draw {
 public:
  explicit Draw(std::uint64_t seed) : gen_(seed) {}
  std::uint64_t Below(std::uint64_t n) { return n == 0 ? 0 : gen_() % n; }
  int Between(int lo, int hi) {
    return lo +
           static_cast<int>(Below(static_cast<std::uint64_t>(hi - lo) + 1));
  }
  bool Chance(int percent) {
    return Below(100) < static_cast<std::uint64_t>(percent);
  }

 private:
  std::mt19937_64 gen_;
};

const CommonWordsTable& Common() {
  static const CommonWordsTable* table = [] {
    auto* t = new CommonWordsTable;
    t->LoadFromText(kEnglish, "the\r\nand\r\nof\r\nwith\r\ninto\r\nabout\r\n");
    t->LoadFromText(kFrench, "le la les et dans avec\r\n");
    return t;
  }();
  return *table;
}

bool IsTextByte(unsigned char b) {
  return b == 9 || b == 10 || b == 13 || b >= 32;
}

// The properties every finished table has. Returns "" or the first broken
// one.
std::string TableProblem(const WordTable& table, const AnalysisSettings& s) {
  const std::size_t n = table.WordCount();
  bool any_value = false;
  for (std::size_t i = 0; i < n; ++i) {
    const WordEntry& e = table.Entry(i);
    const std::string where = "entry " + std::to_string(i) + " '" +
                              Cp1252ToUtf8(e.word.substr(0, 80)) + "': ";
    if (e.word.empty()) return where + "empty word";
    if (e.word.size() > static_cast<std::size_t>(kMaxWordLength)) {
      return where + "longer than " + std::to_string(kMaxWordLength);
    }
    for (char c : e.word) {
      if (!IsWordChar(c)) {
        return where + "holds the non-word byte " +
               std::to_string(static_cast<unsigned char>(c));
      }
    }
    // Scaling to 100 in 32-bit floats may overshoot by one unit in the last
    // place.
    if (!(e.KeyValue >= 0.0f && e.KeyValue <= 100.0f + 1e-4f)) {
      return where + "KeyValue " + std::to_string(e.KeyValue);
    }
    if (i > 0 && e.KeyValue > table.Entry(i - 1).KeyValue) {
      return where + "KeyValue above the previous entry's";
    }
    if (e.Frequency < 1) return where + "Frequency below 1";
    if (e.Frequency < s.ThresholdFrequency && !e.ThresholdExempt) {
      return where + "below the frequency threshold and not exempt";
    }
    if (!s.PreserveCase && LowerCp1252(e.word) != e.word) {
      return where + "not lower case although case is not preserved";
    }
    if (s.IgnoreShortWords &&
        e.word.size() <= static_cast<std::size_t>(s.ShortWordSize)) {
      return where + "a short word";
    }
    any_value = any_value || e.KeyValue > 0;
  }
  if (any_value && std::abs(table.Entry(0).KeyValue - 100.0f) > 1e-3f) {
    return "top KeyValue " + std::to_string(table.Entry(0).KeyValue) +
           " instead of 100";
  }
  // Distinct words; with case preserved, no two that differ only in the
  // case of the first letter of a longer, otherwise lower-case word.
  std::vector<std::string> words;
  for (std::size_t i = 0; i < n; ++i) words.push_back(table.Entry(i).word);
  std::sort(words.begin(), words.end());
  for (std::size_t i = 1; i < words.size(); ++i) {
    if (words[i] == words[i - 1]) return "'" + words[i] + "' twice";
  }
  if (s.PreserveCase) {
    std::vector<std::string> folded;
    for (const std::string& w : words) {
      if (w.size() > 2 && LowerCp1252(w.substr(1)) == w.substr(1)) {
        folded.push_back(LowerCp1252(w));
      }
    }
    std::sort(folded.begin(), folded.end());
    for (std::size_t i = 1; i < folded.size(); ++i) {
      if (folded[i] == folded[i - 1]) {
        return "case variants of '" + folded[i] + "' not merged";
      }
    }
  }
  return "";
}

struct ScanResult {
  DocumentStatus status;
  std::int64_t position;
};

ScanResult Scan(std::string_view bytes, const AnalysisSettings& s,
                WordTable& table, FakeView& view) {
  std::int64_t position = 0;
  const DocumentStatus status = ScanDocumentBytes(
      bytes, s, Common(), ScanOptions{}, view, table, &position);
  return {status, position};
}

std::string StatusName(DocumentStatus s) {
  return std::to_string(static_cast<int>(s));
}

AnalysisSettings RandomSettings(Draw& d) {
  AnalysisSettings s;
  auto weight_or_zero = [&](int zero_percent) {
    return d.Chance(zero_percent) ? 0 : d.Between(1, 9);
  };
  s.TitleWeight = 10 * d.Between(0, 9);
  s.DescriptionWeight = 10 * d.Between(0, 9);
  s.ExistingKeywordsWeight = d.Chance(50) ? 0 : 10 * d.Between(1, 9);
  s.BoldWeight = weight_or_zero(20);
  s.ItalicWeight = weight_or_zero(20);
  s.TableWeight = weight_or_zero(30);
  s.DivWeight = weight_or_zero(30);
  s.SpanWeight = weight_or_zero(30);
  s.ShortWordSize = d.Between(1, 9);
  s.ThresholdFrequency = d.Chance(60) ? d.Between(1, 3) : d.Between(1, 9);
  s.IgnoreShortWords = d.Chance(50);
  s.IgnoreCommonWords = d.Chance(70);
  s.PreserveCase = d.Chance(50);
  s.TextLanguage = d.Chance(60) ? kEnglish : d.Between(0, kNumLanguages - 1);
  if (d.Chance(20)) s.WordsToIgnore = "abc,ka,zu";
  return s;
}

std::string RandomLetters(Draw& d, int n) {
  static constexpr std::string_view kLetters =
      "abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ"
      "aeiouaeiouAEIOU\xE9\xE8\xE0\xFC\xF6\xC9\xC7\xDF\xFF";
  std::string s;
  for (int i = 0; i < n; ++i) s += kLetters[d.Below(kLetters.size())];
  return s;
}

// Markup fragments, entities, quotes, odd bytes and line breaks, separated
// by "|".
const std::vector<std::string>& Fragments() {
  static const auto* fragments = [] {
    auto* list = new std::vector<std::string>;
    std::string_view all =
        "<|>|<!--|-->|<!---->|--|<script|</script>|<SCRIPT "
        "LANGUAGE=x>|</Script>|<style|</style>|<table|</table>|<TABLE "
        "border=1>|<div|</div>|<span|</span>|<font size=|<font si ze=3>|<font "
        "size=\"big\">|<font size=+2>|<font size=-9>|<font "
        "size=5>|</font>|<FONT SIZE=7>|<font size=2.5>|<meta "
        "name=\"description\" content=|<meta name=\"keywords\" "
        "content=\"|<meta name = \"description\" |<meta "
        "|content=\"|name=|<b>|</b>|<B>|<strong>|</STRONG>|<i>|</i>|<em>|</"
        "em>|<title>|</title>|<TITLE>|<h1>|</h1>|<h3>|</h6>|<H2>|<h7>|<b "
        "class=x>|&|;|&eacute;|&Eacute;|&amp;|&nbsp;|&#160;|&quot;|&laquo;|&#"
        "8217;|&copy|&;|\"|'|''|don't|John's|I'd |isn't.|\t| |  |   "
        "|\r\n|\n|\r|\r\r|123|mp3|e-mail|-|_|=|/|\xA0|\xD7|\xF7|\x80|\x9F|\x8A";
    for (std::size_t bar; (bar = all.find('|')) != all.npos;
         all.remove_prefix(bar + 1))
      list->emplace_back(all.substr(0, bar));
    list->emplace_back(all);
    return list;
  }();
  return *fragments;
}

// Bytes that are not valid UTF-8 (a lone lead byte, a lone continuation
// byte, a surrogate, an overlong form, a five-byte form).
constexpr std::string_view kBadUtf8[] = {"\xC3",     "\xA9",
                                         "\xE2\x82", "\xED\xA0\x80",
                                         "\xC0\xAF", "\xF8\x88\x80\x80\x80",
                                         "\xFF\xFE"};

constexpr std::string_view kGoodUtf8[] = {
    "\xC3\xA9", "caf\xC3\xA9", "\xE2\x80\x99", "\xEF\xBB\xBF", "\xC5\x92uvre"};

std::string MarkupSoup(Draw& d, bool allow_bad_utf8) {
  std::string doc;
  if (d.Chance(20)) doc += "\xEF\xBB\xBF";  // UTF-8 byte order mark
  const int pieces = d.Between(1, 2000);
  for (int i = 0; i < pieces; ++i) {
    const int r = d.Between(0, 99);
    if (r < 45) {
      doc += Fragments()[d.Below(Fragments().size())];
    } else if (r < 85) {
      doc += RandomLetters(d, d.Between(1, 12));
      doc += ' ';
    } else if (r < 92) {
      doc += kGoodUtf8[d.Below(std::size(kGoodUtf8))];
    } else if (r < 97 && allow_bad_utf8) {
      doc += kBadUtf8[d.Below(std::size(kBadUtf8))];
    } else {
      doc += RandomLetters(d, d.Between(40, 80));  // around the limit of 60
    }
  }
  if (d.Chance(15)) {
    // A run of 70,000 letters, longer than the longest run counted.
    const std::string piece = RandomLetters(d, 70);
    std::string run;
    for (int i = 0; i < 1000; ++i) run += piece;
    doc.insert(d.Below(doc.size() + 1), run);
  }
  return doc;
}

// Up to 6000 bytes of any values but the control codes.
std::string RandomTextBytes(Draw& d) {
  std::string doc;
  for (std::uint64_t n = d.Below(6000); doc.size() < n;) {
    const auto c = static_cast<unsigned char>(d.Below(256));
    if (IsTextByte(c)) doc += static_cast<char>(c);
  }
  return doc;
}

// Scans `doc` whose first non-text byte is at 0-based `index`; the table is
// filled beforehand and must come back untouched.
void ExpectNotTextAt(const std::string& doc, std::size_t index,
                     const std::string& label) {
  WordTable table;
  table.Record("sentinel", 3, false);
  FakeView view;
  view.PresetOutput("before");
  const ScanResult r = Scan(doc, AnalysisSettings{}, table, view);
  EXPECT_EQ(r.status, DocumentStatus::kNotText) << label;
  EXPECT_EQ(r.position, -static_cast<std::int64_t>(index + 1)) << label;
  // Refused before anything changes.
  EXPECT_EQ(view.scans_started(), 0) << label;
  EXPECT_EQ(view.output(), "before") << label;
  ASSERT_EQ(table.WordCount(), 1u) << label;
  EXPECT_EQ(table.Entry(0).word, "sentinel") << label;
  EXPECT_EQ(table.Entry(0).Frequency, 1) << label;
}

TEST(ScannerRobustnessTest, ControlByteIsReportedAtItsPosition) {
  constexpr std::string_view kControls =
      "\x01\x02\x03\x04\x05\x06\x07\x08\x0B\x0C\x0E\x0F\x10\x11\x12\x13\x14"
      "\x15\x16\x17\x18\x19\x1A\x1B\x1C\x1D\x1E\x1F";
  // The NUL byte too, which a C string would lose.
  const std::string controls = std::string(1, '\0') + std::string(kControls);
  for (std::uint64_t seed = 1; seed <= 150; ++seed) {
    Draw d(seed);
    std::string doc = d.Chance(20) ? "\xEF\xBB\xBF" : "";
    const std::size_t before = d.Below(5000);
    while (doc.size() < before) {
      const auto c = static_cast<unsigned char>(d.Below(256));
      if (IsTextByte(c)) doc += static_cast<char>(c);
    }
    const std::size_t index = doc.size();
    doc += controls[d.Below(controls.size())];
    const std::size_t after = d.Below(3000);
    for (std::size_t i = 0; i < after; ++i) {
      doc += static_cast<char>(d.Below(256));  // anything, controls too
    }
    ExpectNotTextAt(doc, index, "seed " + std::to_string(seed));
  }
  // At the start, at the end, and around a 16384-byte block boundary.
  const std::size_t kIndexes[] = {0, 16382, 16383, 16384, 19999};
  for (std::size_t index : kIndexes) {
    std::string doc(index, 'a');
    for (std::size_t i = 70; i < doc.size(); i += 71) doc[i] = '\n';
    doc += '\x0C';
    ExpectNotTextAt(doc, index, "form feed at index " + std::to_string(index));
    doc += "more text\r\n";
    ExpectNotTextAt(
        doc, index,
        "form feed at index " + std::to_string(index) + ", text after it");
  }
}

TEST(ScannerRobustnessTest, RandomDocumentsScanToAWellFormedTable) {
  // Markup soup, and from seed 801 on random text bytes.
  for (std::uint64_t seed = 1; seed <= 950; ++seed) {
    Draw d(seed * 1000003);
    const std::string doc =
        seed <= 800 ? MarkupSoup(d, d.Chance(50)) : RandomTextBytes(d);
    const AnalysisSettings s = RandomSettings(d);
    WordTable table;
    FakeView view;
    const ScanResult r = Scan(doc, s, table, view);
    ASSERT_EQ(r.status, DocumentStatus::kScanned)
        << "seed " << seed << ", " << doc.size() << " bytes";
    EXPECT_EQ(TableProblem(table, s), "") << "seed " << seed;
    EXPECT_EQ(view.scans_started(), view.scans_ended()) << "seed " << seed;
    if (seed % 5 == 0) {
      // The same bytes and settings give the same table.
      WordTable again;
      FakeView view2;
      ASSERT_EQ(Scan(doc, s, again, view2).status, DocumentStatus::kScanned);
      ASSERT_EQ(again.WordCount(), table.WordCount()) << "seed " << seed;
      for (std::size_t i = 0; i < table.WordCount(); ++i) {
        EXPECT_EQ(again.Entry(i).word, table.Entry(i).word) << "seed " << seed;
        EXPECT_EQ(again.Entry(i).Frequency, table.Entry(i).Frequency);
        EXPECT_EQ(again.Entry(i).KeyValue, table.Entry(i).KeyValue);
      }
    }
  }
}

TEST(ScannerRobustnessTest, StopEndsTheScanAtOnce) {
  for (std::uint64_t seed = 1; seed <= 150; ++seed) {
    Draw d(seed * 7919);
    const std::string doc = MarkupSoup(d, true);
    const AnalysisSettings s = RandomSettings(d);
    const std::int64_t stop_at = d.Between(1, 400);
    WordTable table;
    FakeView view;
    view.StopAfterWords(static_cast<int>(stop_at));
    const ScanResult r = Scan(doc, s, table, view);
    // Stop is asked after every word; once it says yes, no further word.
    if (view.stop_polls() >= stop_at) {
      EXPECT_EQ(r.status, DocumentStatus::kStopped) << "seed " << seed;
      EXPECT_EQ(view.stop_polls(), stop_at) << "seed " << seed;
    } else {
      EXPECT_EQ(r.status, DocumentStatus::kScanned) << "seed " << seed;
    }
    EXPECT_EQ(view.scans_started(), view.scans_ended()) << "seed " << seed;
  }
}

std::string Repeat(std::string_view s, std::size_t n) {
  std::string out;
  out.reserve(s.size() * n);
  for (std::size_t i = 0; i < n; ++i) out += s;
  return out;
}

TEST(ScannerRobustnessTest, NastyDocumentsScanToAWellFormedTable) {
  AnalysisSettings skip_blocks;
  skip_blocks.TableWeight = 0;
  skip_blocks.DivWeight = 0;
  skip_blocks.SpanWeight = 0;
  AnalysisSettings keep_all;
  keep_all.ThresholdFrequency = 1;
  keep_all.IgnoreShortWords = false;
  keep_all.ExistingKeywordsWeight = 30;
  AnalysisSettings preserve;
  preserve.PreserveCase = true;
  preserve.ThresholdFrequency = 1;
  const std::string mixed70k = Repeat("Lorem", 14000);
  // Where the outcome is plain, `must_hold` lists words (comma-separated)
  // that the table must hold: the scan recovers after the nasty part.
  const struct {
    const char* name;
    std::string doc;
    const AnalysisSettings& settings;
    const char* must_hold = "";
  } kCases[] = {
      {"only CR", Repeat("\r", 5000), keep_all},
      {"70000 letters of a word", mixed70k + " lorem ipsum", keep_all,
       "lorem,ipsum"},
      {"70000 letters in the title", "<title>" + mixed70k + "</title>",
       keep_all},
      {"many >", Repeat(">", 50000) + " word", keep_all, "word"},
      {"many <font size=5>", Repeat("<font size=5>word ", 20000), keep_all,
       "word"},
      {"many </font>", Repeat("</font>word ", 20000), keep_all, "word"},
      {"font tags on separate lines",
       Repeat("<font size=+1\r\n>big</font>\r\n", 3000), keep_all},
      {"odd font sizes",
       "<font si ze=3>a1</font><font size=\"big\">b2</font><font size=+>c"
       "</font><font size=-->d<font size=99999999999999999999>e</font>",
       keep_all},
      {"many </table> skipped", Repeat("</table> word ", 20000), skip_blocks,
       "word"},
      {"unclosed blocks skipped",
       "<table><div><span>hidden words\r\nmore hidden\r\n", skip_blocks},
      {"unclosed comment", "<!-- " + Repeat("hidden ", 5000), keep_all},
      {"description content without end",
       "<meta name=\"description\" content=\"" + Repeat("words ", 5000),
       keep_all},
      {"many meta tags",
       Repeat("<meta name=\"description\" content=\"red shoes\">", 5000),
       keep_all, "red,shoes"},
      {"entities", Repeat("caf&eacute; &amp;&nbsp;&#8217;&;&", 5000), keep_all,
       "caf\xE9"},
      {"contractions", Repeat("don't isn't John's I'd '", 3000), keep_all,
       "john"},
      {"case variants",
       Repeat("Apple apple APPLE \xC9"
              "clair \xE9"
              "clair ",
              100),
       preserve,
       "apple,APPLE,\xE9"
       "clair"},
      {"invalid UTF-8", Repeat("\xC3\xED\xA0\x80\xFF caf\xC3\xA9 ", 3000),
       keep_all},
      {"valid UTF-8", Repeat("caf\xC3\xA9 \xC5\x92uvre na\xC3\xAFve ", 3000),
       preserve, "caf\xE9,na\xEFve,uvre"},
  };
  for (const auto& k : kCases) {
    WordTable table;
    FakeView view;
    const ScanResult r = Scan(k.doc, k.settings, table, view);
    ASSERT_EQ(r.status, DocumentStatus::kScanned)
        << k.name << ": status " << StatusName(r.status);
    EXPECT_EQ(TableProblem(table, k.settings), "") << k.name;
    EXPECT_EQ(view.scans_started(), view.scans_ended()) << k.name;
    std::string_view expected = k.must_hold;
    while (!expected.empty()) {
      const std::size_t comma = expected.find(',');
      const std::string_view word = expected.substr(0, comma);
      bool found = false;
      for (std::size_t i = 0; i < table.WordCount() && !found; ++i) {
        found = table.Entry(i).word == word;
      }
      EXPECT_TRUE(found) << k.name << ": no '" << Cp1252ToUtf8(word) << "'";
      expected.remove_prefix(comma == std::string_view::npos ? expected.size()
                                                             : comma + 1);
    }
  }
}

}  // namespace
}  // namespace vorn
