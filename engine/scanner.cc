#include "engine/scanner.h"

#include <algorithm>
#include <array>
#include <atomic>
#include <bit>
#include <charconv>
#include <chrono>
#include <cmath>
#include <condition_variable>
#include <cstring>
#include <deque>
#include <exception>
#include <mutex>
#include <optional>
#include <system_error>
#include <thread>
#include <unordered_map>

#include "engine/document_checks.h"
#include "engine/words.h"
#include "support/cp1252.h"
#include "support/eight_bytes.h"
#include "support/strings.h"
#include "support/unicode.h"

namespace vorn {
namespace {

// Longest run of word characters (code points) taken as one word.
constexpr std::size_t kMaxWordRun = 65000;

// One-character codes that stand for the simple context tags in a
// prepared line. Documents never hold these bytes: the text test refuses
// any file with bytes 1-8, 11, 12 or 14-31.
constexpr char kBoldOn = 11;
constexpr char kBoldOff = 12;
constexpr char kTitleOn = 14;
constexpr char kTitleOff = 15;
constexpr char kItalicOn = 16;
constexpr char kItalicOff = 17;
constexpr char kHeadingOff = 7;  // 1-6 open h6..h1: weight = code x 5

struct ContextTag {
  std::string_view tag;
  char code;
};
constexpr ContextTag kContextTags[] = {
    {"<b>", kBoldOn},      {"</b>", kBoldOff},
    {"<strong>", kBoldOn}, {"</strong>", kBoldOff},
    {"<i>", kItalicOn},    {"</i>", kItalicOff},
    {"<em>", kItalicOn},   {"</em>", kItalicOff},
    {"<title>", kTitleOn}, {"</title>", kTitleOff},
    {"<h1>", 6},           {"</h1>", kHeadingOff},
    {"<h2>", 5},           {"</h2>", kHeadingOff},
    {"<h3>", 4},           {"</h3>", kHeadingOff},
    {"<h4>", 3},           {"</h4>", kHeadingOff},
    {"<h5>", 2},           {"</h5>", kHeadingOff},
    {"<h6>", 1},           {"</h6>", kHeadingOff}};

// ContextTagAt picks a pair of this table by the tag's letter (and digit).
static_assert(kContextTags[0].tag == "<b>" &&
              kContextTags[2].tag == "<strong>" &&
              kContextTags[4].tag == "<i>" && kContextTags[6].tag == "<em>" &&
              kContextTags[8].tag == "<title>" &&
              kContextTags[10].tag == "<h1>" &&
              kContextTags[20].tag == "<h6>" && std::size(kContextTags) == 22);

struct MarkedEntity {
  std::string_view ref;
  char replacement;
};
constexpr MarkedEntity kMarkedEntities[] = {{"&nbsp;", ' '},
                                            {"&#160;", ' '},
                                            {"&quot;", '"'},
                                            {"&laquo;", '"'},
                                            {"&raquo;", '"'}};

// The named references decoded into Latin-1 letters (case-sensitive).
const std::unordered_map<std::string_view, char>& EntityTable() {
  static const auto* table = new std::unordered_map<std::string_view, char>{
      {"&AElig;", '\xC6'},  {"&Aacute;", '\xC1'}, {"&Acirc;", '\xC2'},
      {"&Agrave;", '\xC0'}, {"&Aring;", '\xC5'},  {"&Atilde;", '\xC3'},
      {"&Auml;", '\xC4'},   {"&Ccedil;", '\xC7'}, {"&ETH;", '\xD0'},
      {"&Eacute;", '\xC9'}, {"&Ecirc;", '\xCA'},  {"&Egrave;", '\xC8'},
      {"&Euml;", '\xCB'},   {"&Iacute;", '\xCD'}, {"&Icirc;", '\xCE'},
      {"&Igrave;", '\xCC'}, {"&Iuml;", '\xCF'},   {"&Ntilde;", '\xD1'},
      {"&Oacute;", '\xD3'}, {"&Ocirc;", '\xD4'},  {"&Ograve;", '\xD2'},
      {"&Oslash;", '\xD8'}, {"&Otilde;", '\xD5'}, {"&Ouml;", '\xD6'},
      {"&THORN;", '\xDE'},  {"&Uacute;", '\xDA'}, {"&Ucirc;", '\xDB'},
      {"&Ugrave;", '\xD9'}, {"&Uuml;", '\xDC'},   {"&Yacute;", '\xDD'},
      {"&aacute;", '\xE1'}, {"&acirc;", '\xE2'},  {"&aelig;", '\xE6'},
      {"&agrave;", '\xE0'}, {"&aring;", '\xE5'},  {"&atilde;", '\xE3'},
      {"&auml;", '\xE4'},   {"&ccedil;", '\xE7'}, {"&eacute;", '\xE9'},
      {"&ecirc;", '\xEA'},  {"&egrave;", '\xE8'}, {"&eth;", '\xF0'},
      {"&euml;", '\xEB'},   {"&iacute;", '\xED'}, {"&icirc;", '\xEE'},
      {"&igrave;", '\xEC'}, {"&iuml;", '\xEF'},   {"&ntilde;", '\xF1'},
      {"&oacute;", '\xF3'}, {"&ocirc;", '\xF4'},  {"&ograve;", '\xF2'},
      {"&oslash;", '\xF8'}, {"&otilde;", '\xF5'}, {"&ouml;", '\xF6'},
      {"&szlig;", '\xDF'},  {"&thorn;", '\xFE'},  {"&uacute;", '\xFA'},
      {"&ucirc;", '\xFB'},  {"&ugrave;", '\xF9'}, {"&uuml;", '\xFC'},
      {"&yacute;", '\xFD'}, {"&yuml;", '\xFF'}};
  return *table;
}
constexpr std::size_t kLongestEntity = 8;  // "&Aacute;"

// How the scanner treats a byte of plain text. Lines are UTF-8: a byte that
// starts a multi-byte sequence is decoded to tell a letter from the rest,
// and the bytes that continue a sequence are plain.
enum class CharClass : unsigned char { kPlain, kWord, kMarkup, kMultiByte };

constexpr std::array<CharClass, 256> MakeCharClasses() {
  std::array<CharClass, 256> t{};
  for (int c = 0; c < 256; ++c) {
    const bool letter = (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
    const bool markup = c == '<' || c == '>' || c == '&' ||
                        (c >= 1 && c <= 7) || c == kBoldOn || c == kBoldOff ||
                        (c >= kTitleOn && c <= kItalicOff) || c == 0;
    t[c] = letter                   ? CharClass::kWord
           : markup                 ? CharClass::kMarkup
           : c >= 0xC2 && c <= 0xF4 ? CharClass::kMultiByte
                                    : CharClass::kPlain;
  }
  return t;
}
constexpr std::array<CharClass, 256> kCharClasses = MakeCharClasses();

inline CharClass ClassOf(char c) {
  return kCharClasses[static_cast<unsigned char>(c)];
}

// Number of ASCII letters (CharClass::kWord) at the start of the eight
// bytes at `p`, 0 to 8. A byte with its 0x20 bit set is a letter when it
// lies in "a".."z"; sums of bytes below 128 carry into no other byte.
inline std::size_t LeadingAsciiLetters(const char* p) {
  std::uint64_t x;
  std::memcpy(&x, p, 8);
  const std::uint64_t folded = (x | 0x20 * kOnes) & ~kHighBits;
  const std::uint64_t letters = (folded + (0x80 - 'a') * kOnes) &
                                ~(folded + (0x80 - 'z' - 1) * kOnes) & ~x &
                                kHighBits;
  const std::uint64_t others = ~letters & kHighBits;
  return others == 0 ? 8
                     : static_cast<std::size_t>(std::countr_zero(others)) / 8;
}

// The whole number written at `p` (leading blanks skipped, 0 when there is
// no digit), a fraction rounded half to even; saturates far above any
// font size.
int NumberAt(std::string_view s, std::size_t p) {
  while (p < s.size() && s[p] == ' ') ++p;
  double value = 0;
  for (; p < s.size() && s[p] >= '0' && s[p] <= '9'; ++p)
    value = std::min(value * 10 + (s[p] - '0'), 1e6);
  if (p < s.size() && s[p] == '.') {
    double scale = 0.1;
    for (++p; p < s.size() && s[p] >= '0' && s[p] <= '9'; ++p, scale /= 10)
      value += (s[p] - '0') * scale;
  }
  return static_cast<int>(std::nearbyint(value));  // ties to even
}

}  // namespace

float ContextWeight(const ScanContext& ctx, const AnalysisSettings& s) {
  if (ctx.Title) return static_cast<float>(s.TitleWeight);
  if (ctx.Description) return static_cast<float>(s.DescriptionWeight);
  if (ctx.ExistingKeywords) return static_cast<float>(s.ExistingKeywordsWeight);
  float w = static_cast<float>(ctx.FontSize + ctx.HeadingWeight);
  if (ctx.Bold) w += static_cast<float>(s.BoldWeight);
  if (ctx.Italic) w += static_cast<float>(s.ItalicWeight);
  if (ctx.TableDepth > 0) w += static_cast<float>(s.TableWeight);
  if (ctx.DivDepth > 0) w += static_cast<float>(s.DivWeight);
  if (ctx.SpanDepth > 0) w += static_cast<float>(s.SpanWeight);
  return w;
}

// The walk through one prepared line. Positions are 0-based; the line ends
// with its sentinel blank at len_ - 1. Every step moves forward or ends
// the line, and each forward search remembers its last answer, so a line
// is scanned in time proportional to its length whatever it holds.
class DocumentScanner::LineScan {
 public:
  explicit LineScan(DocumentScanner& d)
      : d_(d),
        ctx_(d.ctx_),
        s_(d.settings_),
        line_(d.line_),
        lower_(d.settings_.PreserveCase ? std::string_view(d.lower_)
                                        : std::string_view(d.line_)),
        len_(line_.size()) {}

  void Run();

 private:
  // A cached forward search: the first position >= from where `what` (a
  // character, or a word searched in the lower-case line) stands, or the
  // line's length. Positions only move forward, so an answer still ahead
  // is still right.
  template <typename Needle>
  struct NextOf {
    Needle what;
    std::size_t at = 0;
    bool valid = false;
    std::size_t Find(std::string_view s, std::size_t from) {
      if (!valid || at < from) {
        const std::size_t p = from < s.size() ? s.find(what, from) : s.npos;
        at = p == s.npos ? s.size() : p;
        valid = true;
      }
      return at;
    }
  };

  // Whether a marker stands at or after a position of the lower-case line,
  // with blanks anywhere inside it (as in the line without its blanks).
  // Positions only move forward: an occurrence found still ahead answers
  // yes, and none found means none. A marker that starts at or after a
  // position in the line does so in the line without its blanks too, as
  // it starts with no blank.
  struct MarkerAhead {
    std::string_view marker;
    std::size_t at = 0;  // the first start found, or npos
    bool valid = false;
    bool Ahead(std::string_view s, std::size_t from) {
      constexpr std::size_t kNone = std::string_view::npos;
      if (valid && (at == kNone || at >= from)) return at != kNone;
      valid = true;
      at = kNone;
      // A marker ends in its last character, with its one but last (or a
      // blank) just before.
      const char last = marker.back();
      const char before = marker[marker.size() - 2];
      for (std::size_t end = NextPairEnd(s, from, last, before); end != kNone;
           end = NextPairEnd(s, end + 1, last, before)) {
        const std::size_t start = StartEndingAt(s, end);
        if (start != kNone && start >= from) {
          at = start;
          break;
        }
      }
      return at != kNone;
    }
    // The start of the marker that ends at `end`, blanks skipped, or npos.
    std::size_t StartEndingAt(std::string_view s, std::size_t end) const {
      std::size_t p = end + 1;
      for (std::size_t k = marker.size(); k-- > 0;) {
        do {
          if (p == 0) return std::string_view::npos;
          --p;
        } while (s[p] == ' ');
        if (s[p] != marker[k]) return std::string_view::npos;
      }
      return p;
    }
  };

  char At(std::size_t p) const { return p < len_ ? line_[p] : '\0'; }
  bool LowerStarts(std::string_view pattern) const {
    if (pos_ >= len_ || len_ - pos_ < pattern.size()) return false;
    for (std::size_t i = 0; i < pattern.size(); ++i)
      if (lower_[pos_ + i] != pattern[i]) return false;
    return true;
  }
  std::size_t FindFirstOf(std::size_t from, char c) const {
    if (from >= len_) return len_;
    const void* p = std::memchr(line_.data() + from, c, len_ - from);
    return p ? static_cast<const char*>(p) - line_.data() : len_;
  }

  bool InZeroWeightBlock() const {
    return (ctx_.TableDepth >= 1 && s_.TableWeight == 0) ||
           (ctx_.DivDepth >= 1 && s_.DivWeight == 0) ||
           (ctx_.SpanDepth >= 1 && s_.SpanWeight == 0);
  }
  // The letter that starts at pos_, or 0 when no letter does.
  char32_t LetterAt(std::size_t p) const {
    const char c = line_[p];
    if (ClassOf(c) == CharClass::kWord) return static_cast<unsigned char>(c);
    if (ClassOf(c) != CharClass::kMultiByte) return 0;
    const char32_t cp = DecodeUtf8(line_.data() + p, line_.data() + len_).cp;
    return IsLetter(cp) ? cp : 0;
  }
  // Takes the word at pos_ (a letter) and lets pending input through;
  // false when the user pressed Stop.
  bool TakeWordAtPos() {
    // The run of letters, marks and joiners; the sentinel blank ends every
    // run before the end of the line. ASCII letters are taken in a tight
    // loop; anything else (or a run too long) goes on in RunRest.
    const char* const begin = line_.data() + pos_;
    const char* const end = line_.data() + len_;
    const char* p = begin;
    for (std::size_t n = 8; n == 8 && end - p >= 8; p += n)
      n = LeadingAsciiLetters(p);
    while (ClassOf(*p) == CharClass::kWord) ++p;
    // The facts of a plain run are a constant: a RunFacts built on the
    // stack in parts and read whole would cost a stalled load per word.
    static constexpr RunFacts kAsciiRun;
    if (ClassOf(*p) != CharClass::kMultiByte &&
        static_cast<std::size_t>(p - begin) <= kMaxWordRun) {
      d_.TakeWord(pos_, static_cast<std::size_t>(p - begin), kAsciiRun);
    } else {
      const RunEnd rest = RunRest(begin, p);
      d_.TakeWord(pos_, static_cast<std::size_t>(rest.end - begin), rest.facts);
    }
    pos_ = d_.word_end_;
    if (d_.StopAsked()) {
      d_.stop_ = true;
      return false;
    }
    return true;
  }
  // The end of the run that starts at `begin`, whose ASCII letters up to
  // `p` have been passed, and what the run holds.
  struct RunEnd {
    const char* end;
    RunFacts facts;
  };
  RunEnd RunRest(const char* begin, const char* p) const;
  bool SkipBlock(std::string_view open, std::string_view close,
                 std::int64_t& depth);
  bool SkipPastMarker(std::string_view marker);
  void ScanTag();
  void SkipTagText();
  void ScanMetaTag();
  void OpenFontTag();
  void CloseFontTag();

  DocumentScanner& d_;
  ScanContext& ctx_;
  const AnalysisSettings& s_;
  std::string_view line_;
  std::string_view lower_;
  std::size_t len_;
  std::size_t pos_ = 0;

  NextOf<char> next_semicolon_{';'};
  NextOf<char> next_blank_{' '};
  NextOf<std::string_view> next_content_{"content"};

  MarkerAhead name_{"name="};
  MarkerAhead description_{"\"description\""};
  MarkerAhead keywords_{"\"keywords\""};
  std::size_t last_font_ = 0;  // last "font" in the lower-case line, or npos
  bool last_font_found_ = false;
};

void DocumentScanner::LineScan::Run() {
  while (pos_ + 1 < len_) {
    // Plain text outside any tag, comment, script, style or skipped block:
    // every character but the few that start markup takes the last two
    // steps below (a word, or a step forward), so take them directly.
    // Nothing there changes the context, so it is tested once for a whole
    // stretch of plain text and words.
    if (!ctx_.InComment && !ctx_.InStyle && !ctx_.InScript && !ctx_.InTag &&
        !ctx_.AwaitTagEnd && !InZeroWeightBlock()) {
      const char* const p = line_.data();
      const std::size_t last = len_ - 1;
      for (;;) {
        if (pos_ >= last) return;  // only the sentinel is left
        const CharClass k = ClassOf(p[pos_]);
        if (k == CharClass::kPlain) {
          // The sentinel blank is plain too: stop before it.
          ++pos_;
          while (pos_ < last && ClassOf(p[pos_]) == CharClass::kPlain) ++pos_;
        } else if (k == CharClass::kWord) {
          if (!TakeWordAtPos()) return;
        } else if (k == CharClass::kMultiByte) {
          const Utf8Char c = DecodeUtf8(p + pos_, p + len_);
          if (IsLetter(c.cp)) {
            if (!TakeWordAtPos()) return;
          } else {
            pos_ += static_cast<std::size_t>(c.length);
          }
        } else {
          break;  // markup: the steps below
        }
      }
    }
    // Blocks of weight 0 begun on an earlier line.
    if (ctx_.TableDepth >= 1 && s_.TableWeight == 0 &&
        !SkipBlock("<table", "</table>", ctx_.TableDepth))
      return;
    if (ctx_.DivDepth >= 1 && s_.DivWeight == 0 &&
        !SkipBlock("<div", "</div>", ctx_.DivDepth))
      return;
    if (ctx_.SpanDepth >= 1 && s_.SpanWeight == 0 &&
        !SkipBlock("<span", "</span>", ctx_.SpanDepth))
      return;

    if (ctx_.AwaitTagEnd) {
      pos_ = FindFirstOf(pos_, '>');
      if (pos_ + 1 < len_) {
        --ctx_.TagDepth;
        ++pos_;
      }
      ctx_.AwaitTagEnd = false;
      ctx_.InTag = false;
    }

    // Block markers are counted here and walked as ordinary tags below.
    struct Block {
      std::string_view open, close;
      int weight;
      std::int64_t& depth;
    };
    Block blocks[] = {{"<table", "</table>", s_.TableWeight, ctx_.TableDepth},
                      {"<div", "</div>", s_.DivWeight, ctx_.DivDepth},
                      {"<span", "</span>", s_.SpanWeight, ctx_.SpanDepth}};
    bool line_ended = false;
    // Inside a comment, script or style carried over from an earlier line
    // a marker is not markup: counting it would weigh (or, at weight 0,
    // skip) the rest of the page as if a block had opened.
    const bool hidden = ctx_.InComment || ctx_.InStyle || ctx_.InScript;
    for (Block& b : blocks) {
      if (hidden || At(pos_) != '<') break;
      if (LowerStarts(b.open)) {
        if (b.weight >= 1) {
          ++b.depth;
        } else if (!SkipBlock(b.open, b.close, b.depth)) {
          line_ended = true;
          break;
        }
      } else if (LowerStarts(b.close)) {
        if (b.weight >= 1 && b.depth > 0) --b.depth;
      }
    }
    if (line_ended) return;

    const char c = At(pos_);
    if (ctx_.InComment || LowerStarts("<!--")) {
      ctx_.InComment = !SkipPastMarker("-->");
      if (ctx_.InComment) return;
    } else if (ctx_.InStyle || LowerStarts("<style")) {
      ctx_.InStyle = !SkipPastMarker("</style>");
      if (ctx_.InStyle) return;
    } else if (ctx_.InScript || LowerStarts("<script")) {
      ctx_.InScript = !SkipPastMarker("</script>");
      if (ctx_.InScript) return;
    } else if (ctx_.InTag || c == '<') {
      ctx_.InTag = true;
      ScanTag();
    } else if (c == '>') {
      ctx_.AwaitTagEnd = false;
      ctx_.Description = false;
      ctx_.ExistingKeywords = false;
      --ctx_.TagDepth;
      ++pos_;
    } else if (c == kBoldOn || c == kBoldOff) {
      ctx_.Bold = c == kBoldOn;
      ++pos_;
    } else if (c == kItalicOn || c == kItalicOff) {
      ctx_.Italic = c == kItalicOn;
      ++pos_;
    } else if (c == kTitleOn || c == kTitleOff) {
      ctx_.Title = c == kTitleOn;
      ++pos_;
    } else if (c >= 1 && c <= 6) {
      ctx_.HeadingWeight = c * 5;
      ++pos_;
    } else if (c == kHeadingOff) {
      ctx_.HeadingWeight = 0;
      ++pos_;
    } else if (c == '&' && next_semicolon_.Find(line_, pos_) <
                               next_blank_.Find(line_, pos_)) {
      // An unknown character reference is skipped whole.
      pos_ = next_semicolon_.Find(line_, pos_) + 1;
    } else if (LetterAt(pos_) != 0) {
      if (!TakeWordAtPos()) return;
    } else {
      ++pos_;
    }
  }
}

DocumentScanner::LineScan::RunEnd DocumentScanner::LineScan::RunRest(
    const char* begin, const char* p) const {
  RunFacts facts;
  RunFacts* const run = &facts;
  const char* const end = line_.data() + len_;
  std::size_t chars = static_cast<std::size_t>(p - begin);
  while (chars < kMaxWordRun) {
    if (ClassOf(*p) == CharClass::kWord) {
      ++p;
      ++chars;
      continue;
    }
    if (ClassOf(*p) != CharClass::kMultiByte) break;
    const Utf8Char c = DecodeUtf8(p, end);
    const std::uint16_t f = CharFlags(c.cp);
    if ((f & (kLetterChar | kJoinerChar)) == 0) break;
    if ((f & kLetterChar) && !(f & kLatinChar)) run->latin = false;
    run->unspaced = run->unspaced || (f & kUnspacedChar) != 0;
    run->check_nfc = run->check_nfc || (f & kMayChangeInNfc) != 0;
    p += c.length;
    ++chars;
  }
  // A run of ASCII letters alone may have gone past the limit.
  return {chars > kMaxWordRun ? begin + kMaxWordRun : p, facts};
}

bool DocumentScanner::LineScan::SkipBlock(std::string_view open,
                                          std::string_view close,
                                          std::int64_t& depth) {
  for (;;) {
    if (LowerStarts(open)) {
      ++depth;
      pos_ += open.size();
    } else if (LowerStarts(close)) {
      --depth;
      pos_ += close.size();
      if (depth == 0) return true;
    }
    ++pos_;
    // Markers begin with "<": jump to the next one.
    pos_ = FindFirstOf(pos_, '<');
    if (pos_ >= len_) {
      pos_ = len_;
      return false;
    }
  }
}

bool DocumentScanner::LineScan::SkipPastMarker(std::string_view marker) {
  const std::size_t k = pos_ < len_ ? lower_.find(marker, pos_) : lower_.npos;
  if (k == lower_.npos) {
    pos_ = len_;
    return false;
  }
  pos_ = k + marker.size();
  return true;
}

void DocumentScanner::LineScan::ScanTag() {
  for (;;) {
    if (pos_ >= len_) return;  // the tag goes on in the next line
    const char c = line_[pos_];
    if (c == '>') {
      const std::int64_t old = ctx_.TagDepth--;
      ++pos_;
      if (old == 1) {
        ctx_.InTag = false;
        return;
      }
    } else if (c == '<') {
      ++ctx_.TagDepth;
      ++pos_;
      while (pos_ < len_ && line_[pos_] == ' ') ++pos_;
      if (pos_ >= len_) return;
      if (LowerStarts("meta ")) {
        ScanMetaTag();
        ctx_.InTag = false;
        return;
      }
      if (LowerStarts("font")) {
        OpenFontTag();
        if (!ctx_.InTag) return;
      } else if (LowerStarts("/font")) {
        CloseFontTag();
        --ctx_.TagDepth;
        ctx_.InTag = false;
        return;
      } else {
        ++pos_;
      }
    } else {
      SkipTagText();
    }
  }
}

void DocumentScanner::LineScan::SkipTagText() {
  // Up to the next "<" or ">" of the tag. An attribute value in quotes
  // that closes on this line is passed over whole: a "<" or ">" inside one
  // (title="<-", alt="a > b") is text, not markup. Counted as markup it
  // would leave the tag open, and every later word of the page unread.
  while (pos_ < len_ && line_[pos_] != '<' && line_[pos_] != '>') {
    if (line_[pos_] == '=') {
      std::size_t q = pos_ + 1;
      while (q < len_ && line_[q] == ' ') ++q;
      if (q < len_ && (line_[q] == '"' || line_[q] == '\'')) {
        const std::size_t close = line_.find(line_[q], q + 1);
        if (close != std::string_view::npos) {
          pos_ = close + 1;
          continue;
        }
      }
    }
    ++pos_;
  }
}

void DocumentScanner::LineScan::ScanMetaTag() {
  ctx_.Description = false;
  ctx_.ExistingKeywords = false;
  pos_ += 5;
  // The tests look at the rest of the line without its blanks: a later tag
  // on the same line counts too.
  const bool named = name_.Ahead(lower_, pos_);
  if (named && description_.Ahead(lower_, pos_)) {
    const std::size_t k = next_content_.Find(lower_, pos_);
    if (k < len_) {
      ctx_.Description = true;
      pos_ = k + 7;
    }
  } else if (named && keywords_.Ahead(lower_, pos_) &&
             s_.ExistingKeywordsWeight != 0) {
    const std::size_t k = next_content_.Find(lower_, pos_);
    if (k < len_) {
      ctx_.ExistingKeywords = true;
      pos_ = k + 7;
    }
  }
  if (!ctx_.Description && !ctx_.ExistingKeywords) {
    pos_ = FindFirstOf(pos_, '>');
    if (pos_ + 1 < len_) {
      ++pos_;
      --ctx_.TagDepth;
    }
  }
}

void DocumentScanner::LineScan::OpenFontTag() {
  pos_ += 4;
  ctx_.AwaitTagEnd = true;
  ctx_.FontStack.push_back(ctx_.FontSize);
  // The size is read only inside this tag, and only when "size" comes
  // before any later "font" and a "font" (normally the end tag) follows
  // on the same line.
  const std::size_t tag_end = FindFirstOf(pos_, '>');
  const std::string_view inside = lower_.substr(pos_, tag_end - pos_);
  const std::size_t size_at = inside.find("size");
  if (size_at != inside.npos &&
      inside.substr(0, size_at).find("font") == inside.npos) {
    if (!last_font_found_) {
      last_font_found_ = true;
      last_font_ = lower_.rfind("font");
    }
    const std::size_t after_size = pos_ + size_at + 4;
    if (last_font_ != lower_.npos && last_font_ >= after_size) {
      std::size_t p = after_size;
      auto is_sign_or_digit = [](char ch) {
        return ch == '-' || ch == '+' || (ch >= '0' && ch <= '9');
      };
      while (p < tag_end && !is_sign_or_digit(line_[p])) ++p;
      if (p < tag_end) {
        int size = ctx_.FontSize;
        if (line_[p] == '+')
          size += NumberAt(line_, p + 1);
        else if (line_[p] == '-')
          size -= NumberAt(line_, p + 1);
        else
          size = NumberAt(line_, p);
        ctx_.FontSize = std::clamp(size, 1, 7);
        pos_ = p;
      }
    }
  }
  pos_ = FindFirstOf(pos_, '>');
  if (pos_ + 1 < len_) {
    ctx_.AwaitTagEnd = false;
    ctx_.InTag = false;
    --ctx_.TagDepth;
    ++pos_;
  }
}

void DocumentScanner::LineScan::CloseFontTag() {
  if (!ctx_.FontStack.empty()) {
    ctx_.FontSize = ctx_.FontStack.back();
    ctx_.FontStack.pop_back();
  }
  pos_ = FindFirstOf(pos_, '>') + 1;
}

DocumentScanner::DocumentScanner(const AnalysisSettings& settings,
                                 const CommonWordsTable& common,
                                 WordTable& table, MainView* view,
                                 ScanOptions options)
    : settings_(settings),
      common_(common),
      table_(table),
      view_(view),
      options_(options),
      ignore_list_(settings.IgnoreList()) {
  ctx_.FontStack.reserve(17);
}

namespace {

// How PrepareLine treats a byte of a raw line.
enum class PrepareClass : unsigned char { kCopy, kMarkup, kOther };
constexpr std::array<PrepareClass, 256> MakePrepareClasses() {
  std::array<PrepareClass, 256> t{};
  for (int c = 0; c < 256; ++c)
    t[c] = c >= 0x80              ? PrepareClass::kOther
           : c == '<' || c == '&' ? PrepareClass::kMarkup
                                  : PrepareClass::kCopy;
  return t;
}
constexpr std::array<PrepareClass, 256> kPrepareClasses = MakePrepareClasses();

constexpr std::array<unsigned char, 256> MakeByteTable(bool lower) {
  std::array<unsigned char, 256> t{};
  for (int c = 0; c < 256; ++c)
    t[c] =
        static_cast<unsigned char>(lower && c >= 'A' && c <= 'Z' ? c + 32 : c);
  return t;
}
constexpr std::array<unsigned char, 256> kLowerAscii = MakeByteTable(true);
constexpr std::array<unsigned char, 256> kSameByte = MakeByteTable(false);

// Marks (by its high bit) each byte of the eight in `x` that needs more
// than a copy (a lower-cased copy with `lower`): a byte beyond ASCII, "<"
// or "&". Only the lowest mark is sure to be right (a borrow may mark a
// byte above it), and only it is used: it is the first such byte.
inline std::uint64_t SpecialBytes(std::uint64_t x) {
  return (x & kHighBits) | AnyZeroByte(x ^ ('<' * kOnes)) |
         AnyZeroByte(x ^ ('&' * kOnes));
}

// `x` with its capital letters in lower case, exact for every byte below
// the lowest byte beyond ASCII: below 128 a byte plus 0x3F reaches 128
// from "A" on, plus 0x25 from the byte after "Z" on, and only a byte beyond
// ASCII carries into the next one. A capital gains 0x20.
inline std::uint64_t LowerAsciiBytes(std::uint64_t x) {
  const std::uint64_t capitals =
      (x + 0x3F * kOnes) & ~(x + 0x25 * kOnes) & kHighBits;
  return x | (capitals >> 2);
}

// Number of bytes above 127 in `text`, eight at a time.
std::size_t CountNonAscii(std::string_view text) {
  std::size_t count = 0;
  std::size_t i = 0;
  for (; i + 8 <= text.size(); i += 8) {
    std::uint64_t x;
    std::memcpy(&x, text.data() + i, 8);
    // The high bits moved to the low ones and summed in the top byte: no
    // popcount instruction is assumed of the target.
    const std::uint64_t high = (x >> 7) & kOnes;
    count += static_cast<std::size_t>((high * kOnes) >> 56);
  }
  for (; i < text.size(); ++i)
    count += static_cast<unsigned char>(text[i]) >> 7;
  return count;
}

// True when the last character of UTF-8 `text` is a letter.
bool EndsWithLetter(std::string_view text) {
  std::size_t start = text.size();
  while (start > 0 &&
         (static_cast<unsigned char>(text[start - 1]) & 0xC0) == 0x80)
    --start;
  if (start == 0) return false;
  --start;
  return IsLetter(
      DecodeUtf8(text.data() + start, text.data() + text.size()).cp);
}

// The context tag at `i` of `text` (any letter case), or null.
const ContextTag* ContextTagAt(std::string_view text, std::size_t i) {
  // Every tag starts "<" + one of b s i e t h, or "</" + one of them; only
  // the tags of that letter are tried.
  const std::size_t k = i + 1 < text.size() && text[i + 1] == '/' ? 2 : 1;
  if (i + k >= text.size()) return nullptr;
  std::size_t first = 0;
  std::size_t count = 0;
  switch (LowerAsciiChar(text[i + k])) {
    case 'b':
      first = 0, count = 2;
      break;
    case 's':
      first = 2, count = 2;
      break;
    case 'i':
      first = 4, count = 2;
      break;
    case 'e':
      first = 6, count = 2;
      break;
    case 't':
      first = 8, count = 2;
      break;
    case 'h': {
      // "<h1>" to "</h6>": the digit picks the pair.
      if (i + k + 1 >= text.size()) return nullptr;
      const char digit = text[i + k + 1];
      if (digit < '1' || digit > '6') return nullptr;
      first = 10 + 2 * static_cast<std::size_t>(digit - '1'), count = 2;
      break;
    }
    default:
      return nullptr;
  }
  for (std::size_t t = first; t < first + count; ++t)
    if (StartsWithNoCase(text, i, kContextTags[t].tag)) return &kContextTags[t];
  return nullptr;
}

}  // namespace

DocumentScanner::Prepared DocumentScanner::PrepareRange(std::string_view raw,
                                                        std::size_t begin,
                                                        std::size_t end,
                                                        char* out) const {
  const bool lower = !settings_.PreserveCase;
  std::size_t k = 0;
  bool has_amp = false;
  // Plain ASCII is copied (lowered) through a table; "<", "&" and bytes
  // beyond ASCII take the slower paths.
  const unsigned char* const copy =
      lower ? kLowerAscii.data() : kSameByte.data();
  for (std::size_t i = begin; i < end; ++i) {
    // Plain bytes eight at a time, up to the first that is not. The copy
    // never writes beyond what is reserved: it is of input bytes, which
    // stay one byte each.
    while (i + 8 <= end) {
      std::uint64_t x;
      std::memcpy(&x, raw.data() + i, 8);
      const std::uint64_t special = SpecialBytes(x);
      if (lower) x = LowerAsciiBytes(x);
      std::memcpy(out + k, &x, 8);
      const auto plain = static_cast<std::size_t>(
          special == 0 ? 8 : std::countr_zero(special) / 8);
      i += plain;
      k += plain;
      if (plain < 8) break;
    }
    if (i >= end) break;
    const char c = raw[i];
    const auto u = static_cast<unsigned char>(c);
    const PrepareClass kind = kPrepareClasses[u];
    if (kind == PrepareClass::kCopy) {
      out[k++] = static_cast<char>(copy[u]);
      continue;
    }
    if (kind == PrepareClass::kOther) {
      i += AppendOtherChar(raw, i, out, &k) - 1;
      continue;
    }
    out[k++] = c;  // "<" or "&"
    std::size_t length = 0;
    char code = 0;
    if (c == '<') {
      if (const ContextTag* t = ContextTagAt(raw, i)) {
        length = t->tag.size();
        code = t->code;
      }
    } else {
      for (const MarkedEntity& e : kMarkedEntities) {
        const bool match = lower ? StartsWithNoCase(raw, i, e.ref)
                                 : raw.substr(i, e.ref.size()) == e.ref;
        if (match) {
          length = e.ref.size();
          code = e.replacement;
          break;
        }
      }
      has_amp = has_amp || length == 0;
    }
    if (length == 0) continue;
    out[k - 1] = code;
    i += length - 1;
  }
  return {k, has_amp};
}

void DocumentScanner::PrepareLine(std::string_view raw) {
  // Decoding (of a Windows-1252 line), lower case, then the context tags
  // and a few entities marked by plain replacement, in one pass over the
  // raw line: no marked text overlaps another, and markup is ASCII. Tags
  // are matched in any letter case, the entities as they read after
  // lower-casing.
  const std::size_t n = raw.size();
  // A page in one line, taken apart while the recorder of its words waits
  // for the first: its second half is prepared on a third thread, started
  // first. Cut at a blank, no marked text, character or word spans the
  // halves.
  constexpr std::size_t kSplitBytes = 1 << 20;
  std::size_t split = n;
  if (handoff_ != nullptr && n >= kSplitBytes) {
    const void* blank = std::memchr(raw.data() + n / 2, ' ', n - n / 2);
    if (blank != nullptr) split = static_cast<const char*>(blank) - raw.data();
  }
  Prepared first;
  Prepared second;
  std::string rest;
  auto prepare_second = [&] {
    rest.resize(n - split + 2 * CountNonAscii(raw.substr(split)) + 1);
    second = PrepareRange(raw, split, n, rest.data());
  };
  std::jthread other;
  if (split < n) {
    try {
      other = std::jthread(prepare_second);
    } catch (const std::system_error&) {  // no thread to be had: in turn
    }
  }
  // Markup and ASCII never grow; a byte beyond ASCII may grow to three (a
  // Windows-1252 byte in UTF-8; a lower case takes at most one and a half
  // times the bytes of its capital).
  line_.resize(n + 2 * CountNonAscii(raw) + 1);
  first = PrepareRange(raw, 0, split, line_.data());
  if (split < n) {
    if (other.joinable())
      other.join();
    else
      prepare_second();
    std::memcpy(line_.data() + first.length, rest.data(), second.length);
  }
  const bool has_amp = first.has_amp || second.has_amp;
  const std::size_t k = first.length + second.length;
  line_.resize(k);

  // Named references into their Latin-1 letters; the search goes on after
  // the next ";" when a reference is unknown.
  if (has_amp) {
    // In place: a decoded reference is shorter than the reference, so what
    // is written never overtakes what is still to be read.
    char* const d = line_.data();
    const std::string_view src = line_;
    std::size_t w = 0;
    std::size_t i = 0;
    auto keep = [&](std::size_t from, std::size_t count) {
      std::memmove(d + w, d + from, count);
      w += count;
    };
    for (;;) {
      const std::size_t p = src.find('&', i);
      const std::size_t q = p == src.npos ? src.npos : src.find(';', p);
      if (q == src.npos) {
        keep(i, src.size() - i);
        break;
      }
      keep(i, p - i);
      const std::string_view ref = src.substr(p, q - p + 1);
      const auto& table = EntityTable();
      const auto it =
          ref.size() <= kLongestEntity ? table.find(ref) : table.end();
      if (it != table.end())
        w += static_cast<std::size_t>(
            EncodeUtf8(static_cast<unsigned char>(it->second), d + w));
      else
        keep(p, ref.size());
      i = q + 1;
    }
    line_.resize(w);
  }
  line_.push_back(' ');  // the sentinel: the line ends when only it is left
  if (settings_.PreserveCase) lower_ = LowerAscii(line_);
}

std::size_t DocumentScanner::AppendOtherChar(std::string_view raw,
                                             std::size_t i, char* out,
                                             std::size_t* k) const {
  const std::size_t n = raw.size();
  char32_t cp;
  int length = 1;
  if (cp1252_) {
    cp = Cp1252ToUnicode(static_cast<unsigned char>(raw[i]));
  } else {
    const Utf8Char u = DecodeUtf8(raw.data() + i, raw.data() + n);
    cp = u.cp;
    length = u.length;
  }
  const std::uint16_t flags = CharFlags(cp);
  if (!settings_.PreserveCase && (flags & kHasLowerCase)) {
    char32_t l = LowerChar(cp);
    if (cp == 0x03A3 && EndsWithLetter(std::string_view(out, *k)) &&
        (i + static_cast<std::size_t>(length) >= n ||
         !IsWordPart(DecodeUtf8(raw.data() + i + length, raw.data() + n).cp)))
      l = 0x03C2;  // a capital sigma that ends a word: final sigma
    *k += static_cast<std::size_t>(EncodeUtf8(l, out + *k));
  } else if (cp1252_) {
    *k += static_cast<std::size_t>(EncodeUtf8(cp, out + *k));
  } else {
    for (int b = 0; b < length; ++b) out[(*k)++] = raw[i + b];
  }
  return static_cast<std::size_t>(length);
}

bool DocumentScanner::ScanDocumentLine(std::string_view raw_line) {
  const std::string_view trimmed = TrimBlanks(raw_line);
  if (trimmed.empty()) return !stop_;
  PrepareLine(trimmed);
  LineScan(*this).Run();
  RecordPending();  // before the line they point into is replaced
  if (ctx_.TagDepth < 0) ctx_.TagDepth = 0;
  return !stop_;
}

void DocumentScanner::TakeWord(std::size_t pos, std::size_t n,
                               const RunFacts& run) {
  const std::string_view line = line_;
  auto at = [&](std::size_t p) { return p < line.size() ? line[p] : '\0'; };
  word_end_ = pos + n;
  // A contraction such as don't, can't or I'd counts for nothing.
  if (run.latin && at(pos + n) == '\'' && pos + n + 1 < line.size()) {
    const Utf8Char after =
        DecodeUtf8(line.data() + pos + n + 1, line.data() + line.size());
    const std::size_t blank =
        pos + n + 1 + static_cast<std::size_t>(after.length);
    if (IsLetter(after.cp) && after.cp != 's' && after.cp != 'S' &&
        at(blank) == ' ') {
      word_end_ = blank + 1;
      return;
    }
  }
  std::string_view word = line.substr(pos, n);
  // ZWNJ and ZWJ (E2 80 8C, E2 80 8D) join letters; a word does not end in
  // one.
  while (word.size() > 3 && (word.back() == '\x8C' || word.back() == '\x8D') &&
         word[word.size() - 2] == '\x80' && word[word.size() - 3] == '\xE2')
    word.remove_suffix(3);
  if (!run.unspaced) {
    Emit(word, run.check_nfc);
    return;
  }
  if (!splitter_) splitter_ = std::make_unique<WordSplitter>();
  splitter_->Split(word, [&](std::size_t offset, std::size_t length) {
    Emit(word.substr(offset, length), run.check_nfc);
  });
}

DocumentScanner::Weighed DocumentScanner::WeighHere() const {
  return {ContextWeight(ctx_, settings_), ctx_.Title || ctx_.Description ||
                                              ctx_.ExistingKeywords ||
                                              ctx_.HeadingWeight > 0};
}

void DocumentScanner::ProcessWord(std::string_view word, bool check_nfc,
                                  const Weighed* weighed) {
  if (check_nfc) {
    nfc_ = ToNfc(word);
    word = nfc_;
  }
  WordShape shape;
  if (RejectingTest(word, settings_, ignore_list_, common_, &shape) !=
      WordTest::kAccepted)
    return;
  // Built in place: a copy would read back, whole, fields just written one
  // by one, and wait for them.
  PendingWord& w = pending_[pending_count_];
  w.word = word;
  WordTable::HashWord(word, &w.hashes);
  const Weighed here = weighed != nullptr ? *weighed : WeighHere();
  w.weight = here.weight;
  w.exempt = here.exempt;
  w.fold_plurals = shape.latin;  // plurals fold in the Latin script only
  table_.Prefetch(w.hashes);
  if (check_nfc) {    // nfc_ is the next such word's scratch
    RecordPending();  // the words before it; `w` stays where it is
    RecordWord(w);
    return;
  }
  if (++pending_count_ == pending_.size()) RecordPending();
}

void DocumentScanner::RecordPending() {
  // The index was fetched as each word was put aside; now the entries
  // the words will most likely update, before the first is touched.
  for (std::size_t i = 0; i < pending_count_; ++i)
    table_.PrefetchEntry(pending_[i].hashes);
  for (std::size_t i = 0; i < pending_count_; ++i) RecordWord(pending_[i]);
  pending_count_ = 0;
}

void DocumentScanner::RecordWord(const PendingWord& w) {
  if (!table_.Record(w.word, w.hashes, w.weight, w.exempt, w.fold_plurals))
    return;
  if (view_ == nullptr) return;
  // Built in a buffer kept from word to word: a new text for each new word
  // costs an allocation.
  constexpr std::string_view kFound = "Number of words found: ";
  char digits[24];
  const char* const end =
      std::to_chars(digits, digits + sizeof digits, table_.WordCount()).ptr;
  label_.assign(kFound);
  label_.append(digits, static_cast<std::size_t>(end - digits));
  view_->SetWordCountLabel(label_);
  if (options_.single_file_mode || options_.display_words) {
    word_.assign(w.word);
    word_.push_back(' ');
    view_->AppendOutputText(word_);
  }
}

// Words handed over: their bytes one after another, and where each lies.
struct DocumentScanner::WordBatch {
  struct Word {
    std::size_t offset;
    std::size_t length;
    Weighed weighed;
    bool check_nfc;
  };
  std::string bytes;
  std::vector<Word> words;
};

// A few batches go round between the two threads: the taker fills one
// while the recorder records another, and waits when the recorder is
// behind, so that memory stays bounded whatever the text.
class DocumentScanner::Handoff {
 public:
  static constexpr std::size_t kBatches = 16;
  static constexpr std::size_t kWords = 4096;
  static constexpr std::size_t kBytes = 256 << 10;
  // A thread that had to wait is woken only when this many batches are
  // ready for it: woken for each, the two would hand the work to and fro
  // and end up sharing one core.
  static constexpr std::size_t kWake = 4;

  Handoff() : filling_(std::make_unique<WordBatch>()) {
    for (std::size_t i = 1; i < kBatches; ++i)
      empty_.push_back(std::make_unique<WordBatch>());
  }

  // The taker's side.
  void Add(std::string_view word, bool check_nfc, Weighed weighed) {
    WordBatch& b = *filling_;
    b.words.push_back({b.bytes.size(), word.size(), weighed, check_nfc});
    b.bytes.append(word);
    if (b.words.size() >= kWords || b.bytes.size() >= kBytes) Ship();
  }
  // The last batch goes, and the recorder learns that no more will, or
  // why the taker failed.
  void Close(std::exception_ptr failure) {
    if (failure == nullptr && !filling_->words.empty()) Ship();
    const std::lock_guard<std::mutex> lock(mutex_);
    closed_ = true;
    failure_ = failure;
    recorder_.notify_one();
  }
  bool Stopped() const { return stopped_.load(std::memory_order_relaxed); }

  // The recorder's side: the next batch in order; null when none came
  // within `wait`, or after the last (then `*ended`).
  std::unique_ptr<WordBatch> Next(std::chrono::milliseconds wait, bool* ended) {
    std::unique_lock<std::mutex> lock(mutex_);
    *ended = false;
    if (full_.empty()) {
      recorder_waiting_ = true;
      recorder_.wait_for(lock, wait,
                         [this] { return full_.size() >= kWake || closed_; });
      recorder_waiting_ = false;
    }
    if (full_.empty()) {
      if (!closed_) return nullptr;
      if (failure_ != nullptr) std::rethrow_exception(failure_);
      *ended = true;
      return nullptr;
    }
    std::unique_ptr<WordBatch> b = std::move(full_.front());
    full_.pop_front();
    return b;
  }
  void Recycle(std::unique_ptr<WordBatch> b) {
    b->bytes.clear();
    b->words.clear();
    const std::lock_guard<std::mutex> lock(mutex_);
    empty_.push_back(std::move(b));
    if (taker_waiting_ && empty_.size() >= kWake) taker_.notify_one();
  }
  // The recorder takes no more: the taker gives up, and never waits.
  void Stop() {
    const std::lock_guard<std::mutex> lock(mutex_);
    stopped_.store(true, std::memory_order_relaxed);
    taker_.notify_one();
  }

 private:
  void Ship() {
    std::unique_lock<std::mutex> lock(mutex_);
    if (stopped_.load(std::memory_order_relaxed)) {
      filling_->bytes.clear();
      filling_->words.clear();
      return;
    }
    full_.push_back(std::move(filling_));
    if (recorder_waiting_ && full_.size() >= kWake) recorder_.notify_one();
    if (empty_.empty()) {
      taker_waiting_ = true;
      taker_.wait(lock, [this] {
        return empty_.size() >= kWake ||
               stopped_.load(std::memory_order_relaxed);
      });
      taker_waiting_ = false;
    }
    if (empty_.empty()) {  // stopped: this batch is never read
      filling_ = std::make_unique<WordBatch>();
      return;
    }
    filling_ = std::move(empty_.front());
    empty_.pop_front();
  }

  std::mutex mutex_;
  std::condition_variable taker_;     // batches freed, or Stop
  std::condition_variable recorder_;  // batches filled, or the end
  bool taker_waiting_ = false;
  bool recorder_waiting_ = false;
  std::unique_ptr<WordBatch> filling_;  // the taker's own
  std::deque<std::unique_ptr<WordBatch>> full_;
  std::deque<std::unique_ptr<WordBatch>> empty_;
  bool closed_ = false;
  std::exception_ptr failure_;
  std::atomic<bool> stopped_{false};
};

bool DocumentScanner::StopAsked() const {
  if (handoff_ != nullptr) return handoff_->Stopped();
  return view_ != nullptr && view_->StopRequested();
}

void DocumentScanner::Emit(std::string_view word, bool check_nfc) {
  if (handoff_ != nullptr)
    handoff_->Add(word, check_nfc, WeighHere());
  else
    ProcessWord(word, check_nfc);
}

bool DocumentScanner::RecordBatch(const WordBatch& batch) {
  const std::string_view bytes = batch.bytes;
  for (const WordBatch::Word& w : batch.words) {
    ProcessWord(bytes.substr(w.offset, w.length), w.check_nfc, &w.weighed);
    if (StopAsked()) {
      stop_ = true;
      break;
    }
  }
  RecordPending();  // before the batch's bytes are reused
  return !stop_;
}

bool DocumentScanner::ScanLines(std::string_view text) {
  // Below this size a second thread gains little; a folder run's pages
  // have their own workers.
  constexpr std::size_t kTwoThreadBytes = 1 << 20;
  if (options_.second_thread && options_.single_file_mode &&
      text.size() >= kTwoThreadBytes &&
      std::thread::hardware_concurrency() > 1) {
    if (const std::optional<bool> scanned = ScanLinesInTwo(text))
      return *scanned;
  }
  bool stopped = false;
  ForEachLine(text, [&](std::string_view line) {
    stopped = !ScanDocumentLine(line);
    return !stopped;
  });
  return !stopped;
}

std::optional<bool> DocumentScanner::ScanLinesInTwo(std::string_view text) {
  Handoff handoff;
  std::jthread taker;
  try {
    taker = std::jthread([&] {
      try {
        WordTable unused;
        DocumentScanner words(settings_, common_, unused, nullptr, options_);
        words.cp1252_ = cp1252_;
        words.handoff_ = &handoff;
        ForEachLine(text, [&](std::string_view line) {
          return words.ScanDocumentLine(line);
        });
        handoff.Close(nullptr);
      } catch (...) {
        handoff.Close(std::current_exception());
      }
    });
  } catch (const std::system_error&) {
    return std::nullopt;  // no thread to be had: one will do
  }
  // However this thread leaves (Stop, a failure), the taker is let go
  // before it is joined.
  struct Release {
    Handoff& handoff;
    ~Release() { handoff.Stop(); }
  } release{handoff};
  // While no words come (a long stretch of markup), Stop and the user's
  // other input are still seen every few milliseconds.
  constexpr std::chrono::milliseconds kPoll{20};
  bool recording = true;
  for (;;) {
    bool ended = false;
    std::unique_ptr<WordBatch> batch = handoff.Next(kPoll, &ended);
    if (ended) break;
    if (batch == nullptr) {
      if (recording && view_ != nullptr && view_->StopRequestedWhileWaiting()) {
        stop_ = true;
        recording = false;
        handoff.Stop();
      }
      continue;
    }
    if (recording && !RecordBatch(*batch)) {
      recording = false;
      handoff.Stop();
    }
    handoff.Recycle(std::move(batch));
  }
  return recording;
}

void DocumentScanner::Finish() {
  RecordPending();
  table_.ApplyThreshold(settings_.ThresholdFrequency);
  table_.MergeCaseVariants();
  table_.NormaliseKeyValues();
}

namespace {

// `text` (UTF-8, or Windows-1252 when `cp1252`) is null when the document
// could not be opened or read.
DocumentStatus ScanText(const std::string_view* text, bool cp1252,
                        const AnalysisSettings& settings,
                        const CommonWordsTable& common, ScanOptions options,
                        MainView& view, WordTable& table) {
  table.ResetTable();
  if (options.single_file_mode) view.SetOutputText("");
  view.ScanStarted();
  if (text == nullptr) {  // the document could not be opened or read
    view.ScanEnded();
    return DocumentStatus::kReadError;
  }
  // Room for the words of a page of ordinary text (one in every 32 bytes
  // or so), up to a megabyte's worth of entries.
  table.Reserve(std::min<std::size_t>(text->size() / 32, 16384));
  DocumentScanner scanner(settings, common, table, &view, options);
  // A Windows-1252 page is decoded as each line is prepared, so that a
  // large page is not held twice.
  if (cp1252) scanner.ReadWindows1252();
  const bool stopped = !scanner.ScanLines(*text);
  view.ScanEnded();
  if (stopped) {
    if (options.single_file_mode)
      view.AppendOutputText("\r\n\r\n");
    else
      view.SetOutputText("");
    const std::size_t n = table.WordCount();
    view.AppendOutputText("Stopped with" + Spaced(static_cast<long long>(n)) +
                          " word" + (n == 1 ? "" : "s") + " identified.");
    view.SetWordCountLabel("");
    return DocumentStatus::kStopped;
  }
  scanner.Finish();
  view.SetWordCountLabel("Number of words found satisfying above conditions: " +
                         std::to_string(table.WordCount()));
  return DocumentStatus::kScanned;
}

}  // namespace

DocumentStatus ScanDocumentBytes(std::string_view bytes,
                                 const AnalysisSettings& settings,
                                 const CommonWordsTable& common,
                                 ScanOptions options, MainView& view,
                                 WordTable& table, std::int64_t* position,
                                 PageLanguage* language, PageEncoding* encoding,
                                 std::optional<LineEndingKind>* line_ends) {
  const PageEncoding page = DetectEncoding(bytes);
  if (IsUtf16(page.encoding)) {
    // Read as the same page in UTF-8; positions are the UTF-16 bytes'.
    std::string utf8;
    if (const std::size_t bad = Utf16PageAsUtf8(bytes, page.encoding, &utf8);
        bad != std::string_view::npos) {
      if (position != nullptr) *position = static_cast<std::int64_t>(bad) + 1;
      if (encoding != nullptr) *encoding = page;
      return DocumentStatus::kUndecodable;
    }
    const DocumentStatus status =
        ScanDocumentBytes(utf8, settings, common, options, view, table,
                          position, language, encoding);
    if (status == DocumentStatus::kNotText && position != nullptr)
      *position = -Utf16Position(utf8, -*position);
    if (encoding != nullptr) *encoding = page;
    return status;
  }
  const LineEndingKind kind =
      ClassifyTextBytes(bytes, page.encoding.UsesEscapes());
  if (kind < 0) {
    if (position != nullptr) *position = kind;
    return DocumentStatus::kNotText;
  }
  if (encoding != nullptr) *encoding = page;
  // The rest of the scan sees the page's own language as if it were chosen.
  AnalysisSettings page_settings = settings;
  const PageLanguage page_language = ResolvePageLanguage(
      settings.TextLanguage, settings.FallbackLanguage, bytes);
  page_settings.TextLanguage = page_language.language;
  if (language != nullptr) *language = page_language;
  // UTF-8 is scanned as it is, Windows-1252 line by line, and the other
  // encodings are decoded whole first.
  std::string decoded;
  std::string_view text = bytes;
  std::size_t bad = std::string_view::npos;
  switch (page.encoding.kind) {
    case Encoding::Kind::kWindows1252:
      break;
    case Encoding::Kind::kUtf8:
      if (page.byte_order_mark) text.remove_prefix(3);
      bad = FirstInvalidUtf8(text);
      if (bad != std::string_view::npos && page.byte_order_mark) bad += 3;
      break;
    case Encoding::Kind::kIcu:
      bad = DecodePage(bytes, page, &decoded);
      text = decoded;
      break;
  }
  if (bad != std::string_view::npos) {
    if (position != nullptr) *position = static_cast<std::int64_t>(bad) + 1;
    return DocumentStatus::kUndecodable;
  }
  const bool cp1252 = page.encoding.kind == Encoding::Kind::kWindows1252;
  if (line_ends != nullptr && page.encoding.kind != Encoding::Kind::kIcu)
    *line_ends = kind;
  return ScanText(&text, cp1252, page_settings, common, options, view, table);
}

DocumentStatus DoFile(FileSystem& fs, const std::string& path,
                      const AnalysisSettings& settings,
                      const CommonWordsTable& common, ScanOptions options,
                      MainView& view, WordTable& table, std::int64_t* position,
                      std::int64_t* size, PageLanguage* language,
                      PageEncoding* encoding) {
  std::string bytes;
  const bool read = fs.ReadFile(path, &bytes).ok();
  if (size != nullptr)
    *size = read ? static_cast<std::int64_t>(bytes.size()) : -1;
  if (!read)
    return ScanText(nullptr, false, settings, common, options, view, table);
  return ScanDocumentBytes(bytes, settings, common, options, view, table,
                           position, language, encoding);
}

}  // namespace vorn
