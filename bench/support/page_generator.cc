#include "bench/support/page_generator.h"

#include <algorithm>
#include <array>
#include <cstdio>
#include <unordered_set>
#include <utility>

#include "support/cp1252.h"
#include "support/unicode.h"

namespace vorn::bench {
namespace {

// English function words: most of them are common words or short words
// that the engine drops, as in real text.
constexpr std::array<const char*, 64> kFunctionWords = {
    "the",  "of",    "and",   "to",    "a",     "in",    "is",    "that",
    "for",  "it",    "with",  "as",    "was",   "on",    "be",    "by",
    "this", "are",   "or",    "from",  "at",    "an",    "which", "but",
    "not",  "have",  "has",   "you",   "we",    "they",  "can",   "will",
    "all",  "more",  "one",   "their", "there", "about", "into",  "than",
    "also", "other", "some",  "what",  "when",  "who",   "would", "been",
    "if",   "its",   "our",   "may",   "these", "only",  "new",   "most",
    "such", "very",  "after", "over",  "where", "just",  "how",   "any"};

constexpr std::array<const char*, 8> kContractions = {
    "don't", "it's", "isn't", "can't", "we're", "you'll", "I'd", "doesn't"};

constexpr std::array<const char*, 40> kOnsets = {
    "",   "",   "",   "b",  "c",  "d",  "f",  "g",  "h",  "j",
    "k",  "l",  "m",  "n",  "p",  "r",  "s",  "t",  "v",  "w",
    "z",  "br", "bl", "cr", "cl", "dr", "fr", "fl", "gr", "gl",
    "pr", "pl", "tr", "st", "sp", "sk", "ch", "sh", "th", "qu"};

constexpr std::array<const char*, 17> kNuclei = {
    "a",  "e",  "i",  "o",  "u",  "a",  "e",  "o", "y",
    "ai", "ea", "ee", "io", "ou", "oa", "ie", "au"};

constexpr std::array<const char*, 20> kCodas = {
    "",  "",   "",   "",   "",   "n",  "r",  "l",  "m", "t",
    "k", "nd", "nt", "st", "rt", "rn", "ck", "ng", "x", "mp"};

// Relative frequency of the least lengths 2 to 14 of a candidate; whole
// syllables make words a little longer than that.
constexpr std::array<int, 13> kLengthWeights = {8, 16, 18, 15, 12, 9, 7,
                                                5, 4,  2,  2,  1,  1};

// Real words with accents, Windows-1252.
constexpr std::array<const char*, 10> kAccentedWords = {"caf\xE9",
                                                        "r\xE9sum\xE9",
                                                        "na\xEFve",
                                                        "fa\xE7"
                                                        "ade",
                                                        "d\xE9j\xE0",
                                                        "\xFC"
                                                        "ber",
                                                        "se\xF1or",
                                                        "cr\xE8me",
                                                        "br\xFBl\xE9"
                                                        "e",
                                                        "pi\xF1"
                                                        "ata"};

// Accented replacements of a plain letter, Windows-1252.
struct Accent {
  char plain;
  char accented;
  const char* entity;  // the named reference that spells it
};
constexpr std::array<Accent, 10> kAccents = {{{'e', '\xE9', "&eacute;"},
                                              {'e', '\xE8', "&egrave;"},
                                              {'e', '\xEA', "&ecirc;"},
                                              {'a', '\xE0', "&agrave;"},
                                              {'a', '\xE2', "&acirc;"},
                                              {'u', '\xFC', "&uuml;"},
                                              {'o', '\xF6', "&ouml;"},
                                              {'o', '\xF4', "&ocirc;"},
                                              {'i', '\xEE', "&icirc;"},
                                              {'c', '\xE7', "&ccedil;"}}};

constexpr std::string_view kContractionStems =
    "aren couldn didn doesn hadn hasn isn shouldn wasn weren wouldn ";

// The Cyrillic letter that stands for each of a-z.
constexpr char32_t kCyrillic[26] = {
    0x430, 0x431, 0x446, 0x434, 0x435, 0x444, 0x433, 0x445, 0x438,
    0x439, 0x43A, 0x43B, 0x43C, 0x43D, 0x43E, 0x43F, 0x449, 0x440,
    0x441, 0x442, 0x443, 0x432, 0x448, 0x436, 0x44B, 0x437};

// Frequent ideographs from which the Han words are made.
constexpr std::string_view kIdeographs =
    "的一是不了人我在有他这中大来上国个到说们为子和你地出道也时年得就那要下以"
    "生会自着去之过家学对可她里后小么心多天而能好都然没日于起还发成事只作当想看"
    "文无开手十用主行方又如前所本见经头面公同三已老从动两长知民样现分将外但身些"
    "与高意进把法此实回二理美点月明其种声全工己话儿者向情部正名定女问力机给等几"
    "很业最间新什打便位因重被走电四第门相次东政海口使教西再平真听世气信北少关并"
    "内加化由却代军产入先山五太水万市眼体别处总才场师书比住员九笑性通目华报立马"
    "命张活难神数件安表原车白应路期叫死常提感金何更反合放做系计或司利受光王果亲"
    "界及今京务制解各任至清物台象记边共风战干接它许八特觉望直服毛林题建南度统"
    "色";

// UTF-8 of `cp1252` in `script`. Cyrillic maps letter by letter (capitals
// stay capitals, accented letters become э); Han turns the whole word into
// one to three ideographs chosen by its letters, the same for the same word.
std::string InScript(std::string_view cp1252, Script script) {
  if (script == Script::kLatin) return Cp1252ToUtf8(cp1252);
  std::string out;
  if (script == Script::kCyrillic) {
    for (char c : cp1252) {
      const auto u = static_cast<unsigned char>(c);
      if (u >= 'a' && u <= 'z')
        AppendUtf8(out, kCyrillic[u - 'a']);
      else if (u >= 'A' && u <= 'Z')
        AppendUtf8(out, kCyrillic[u - 'A'] - 0x20);
      else if (u >= 0x80)
        AppendUtf8(out, 0x44D);
      else
        out.push_back(c);
    }
    return out;
  }
  std::uint64_t h = 0xCBF29CE484222325ULL;
  for (char c : cp1252)
    h = (h ^ (static_cast<unsigned char>(c) | 0x20)) * 0x100000001B3ULL;
  const std::size_t count = kIdeographs.size() / 3;  // three bytes each
  const int n = cp1252.size() <= 3 ? 1 : cp1252.size() <= 8 ? 2 : 3;
  for (int i = 0; i < n; ++i, h /= count)
    out += kIdeographs.substr((h % count) * 3, 3);
  return out;
}

bool IsVowel(unsigned char c) {
  switch (c) {
    case 'a':
    case 'e':
    case 'i':
    case 'o':
    case 'u':
    case 'y':
      return true;
    default:
      return c >= 224 && c != 231 && c != 240 && c != 241 && c != 247 &&
             c != 253 && c != 254 && c != 255;
  }
}

const char* EntityOf(char c) {
  for (const Accent& a : kAccents) {
    if (a.accented == c) return a.entity;
  }
  switch (c) {
    case '\xEF':
      return "&iuml;";
    case '\xF1':
      return "&ntilde;";
    case '\xFB':
      return "&ucirc;";
    default:
      return nullptr;
  }
}

std::string Capitalized(std::string_view word) {
  std::string s(word);
  if (s.empty()) return s;
  const auto c = static_cast<unsigned char>(s[0]);
  if (c >= 'a' && c <= 'z') {
    s[0] = static_cast<char>(c - 32);
  } else if (c >= 224 && c != 247 && c != 255) {
    s[0] = static_cast<char>(c - 32);
  }
  return s;
}

bool IsFunctionWord(std::string_view word) {
  for (const char* w : kFunctionWords) {
    if (word == w) return true;
  }
  return false;
}

// A pronounceable candidate of whole syllables, at least `length` letters
// long; the caller drops those that come out too long.
std::string MakeCandidate(Rng& rng, int length) {
  std::string w;
  while (static_cast<int>(w.size()) < length) {
    w += kOnsets[rng.Below(kOnsets.size())];
    w += kNuclei[rng.Below(kNuclei.size())];
    w += kCodas[rng.Below(kCodas.size())];
  }
  return w;
}

int DrawLength(Rng& rng) {
  int total = 0;
  for (int w : kLengthWeights) total += w;
  int pick = static_cast<int>(rng.Below(static_cast<std::uint64_t>(total)));
  for (std::size_t i = 0; i < kLengthWeights.size(); ++i) {
    if (pick < kLengthWeights[i]) return static_cast<int>(i) + 2;
    pick -= kLengthWeights[i];
  }
  return 7;
}

// Writes a page: tracks nothing of HTML itself, only the output, the line
// break style and the encoding of accented letters.
class PageWriter {
 public:
  PageWriter(const PageOptions& options, const Vocabulary& vocabulary)
      : options_(options), vocab_(vocabulary), rng_(options.seed * 7919 + 17) {
    switch (options.line_breaks) {
      case LineBreaks::kLf:
        newline_ = "\n";
        break;
      case LineBreaks::kCrLf:
        newline_ = "\r\n";
        break;
      case LineBreaks::kNone:
        newline_ = " ";
        break;
    }
    out_.reserve(options.target_bytes + (64 << 10));
  }

  std::string Write() {
    Head();
    Line(0, "<body bgcolor=\"#ffffff\" text=\"#000000\">");
    Line(1, "<div id=\"header\">");
    Line(2, "<h1>" + Phrase(2, 4, true) + "</h1>");
    Navigation(2);
    Line(1, "</div>");
    constexpr std::size_t kTail = 512;
    stop_ = options_.target_bytes > kTail ? options_.target_bytes - kTail : 0;
    int section = 0;
    while (out_.size() < stop_) Section(1, ++section);
    Line(1, "<div id=\"footer\">");
    Line(2,
         "<p>&copy; 2024 " + Phrase(2, 3, true) + ". All rights reserved.</p>");
    Line(1, "</div>");
    Line(0, "</body>");
    Line(0, "</html>");
    return std::move(out_);
  }

 private:
  // --- Output -------------------------------------------------------------

  void Line(int depth, std::string_view text) {
    if (depth > 0) {
      if (tabs_) {
        out_.append(static_cast<std::size_t>(depth), '\t');
      } else {
        out_.append(static_cast<std::size_t>(depth) * 2, ' ');
      }
    }
    out_ += text;
    out_ += newline_;
  }

  // Breaks `text` into lines of about `width` characters at blanks outside
  // tags; some paragraphs stay one long line, as editors leave them.
  void Wrapped(int depth, const std::string& text) {
    if (rng_.Chance(0.15)) {
      Line(depth, text);
      return;
    }
    const std::size_t width = static_cast<std::size_t>(rng_.Between(60, 110));
    std::size_t start = 0;
    std::size_t last_blank = std::string::npos;
    bool in_tag = false;
    for (std::size_t i = 0; i < text.size(); ++i) {
      const char c = text[i];
      if (c == '<') in_tag = true;
      if (c == '>') in_tag = false;
      if (c == ' ' && !in_tag) last_blank = i;
      if (i - start >= width && last_blank != std::string::npos &&
          last_blank > start) {
        Line(depth, std::string_view(text).substr(start, last_blank - start));
        start = last_blank + 1;
        last_blank = std::string::npos;
      }
    }
    if (start < text.size()) Line(depth, std::string_view(text).substr(start));
  }

  // Between words, between the parts of a sentence, and at its end.
  std::string_view Blank() const { return han_ ? "" : " "; }
  std::string_view Comma() const { return han_ ? "\uFF0C" : ", "; }
  std::string_view Stop(char c) const {
    if (!han_) return c == '?' ? "?" : c == '!' ? "!" : ".";
    return c == '?' ? "\uFF1F" : c == '!' ? "\uFF01" : "\u3002";
  }

  // A vocabulary word as written on the page: UTF-8 or Latin-1, sometimes
  // with its accents spelled as entities.
  void AppendWord(std::string& out, std::string_view cp1252) {
    if (options_.script != Script::kLatin) {
      out += InScript(cp1252, options_.script);
      return;
    }
    if (!HasNonAscii(cp1252)) {
      out += cp1252;
      return;
    }
    if (rng_.Chance(0.3)) {
      for (char c : cp1252) {
        const char* entity = EntityOf(c);
        if (entity != nullptr) {
          out += entity;
        } else if (options_.encoding == TextEncoding::kUtf8) {
          out += Cp1252ToUtf8(std::string_view(&c, 1));
        } else {
          out += c;
        }
      }
      return;
    }
    if (options_.encoding == TextEncoding::kUtf8) {
      out += Cp1252ToUtf8(cp1252);
    } else {
      out += cp1252;
    }
  }

  // --- Text ---------------------------------------------------------------

  std::string_view Word() {
    if (rng_.Chance(0.35)) {
      return kFunctionWords[rng_.Below(kFunctionWords.size())];
    }
    return vocab_.Draw(rng_);
  }

  // `min` to `max` words; capitalised like a heading when `title` is set.
  std::string Phrase(int min, int max, bool title) {
    std::string out;
    const int n = rng_.Between(min, max);
    for (int i = 0; i < n; ++i) {
      if (i > 0) out += Blank();
      const std::string_view w = Word();
      AppendWord(out, title || i == 0 ? Capitalized(w) : std::string(w));
    }
    return out;
  }

  // Plain words for attribute values (titles, alt texts).
  std::string AttributeWords(int min, int max) {
    std::string out;
    const int n = rng_.Between(min, max);
    for (int i = 0; i < n; ++i) {
      if (i > 0) out += ' ';
      const std::string& w = vocab_.Draw(rng_);
      out += HasNonAscii(w) ? "cafe" : w;
    }
    return out;
  }

  std::string Slug() {
    std::string s = AttributeWords(1, 3);
    std::replace(s.begin(), s.end(), ' ', '-');
    return s;
  }

  std::string Url() {
    switch (rng_.Below(4)) {
      case 0:
        return "http://www." + Slug() + ".com/";
      case 1:
        return "/" + Slug() + "/" + Slug() + ".html";
      case 2:
        return Slug() + ".htm#" + Slug();
      default:
        return "https://" + Slug() + ".org/" + Slug() +
               "?id=" + std::to_string(rng_.Below(10000)) + "&amp;lang=en";
    }
  }

  // An inline element around a few words.
  std::string Inline() {
    const std::string words = Phrase(1, 3, false);
    switch (rng_.Below(12)) {
      case 0:
        return "<b>" + words + "</b>";
      case 1:
        return "<strong>" + words + "</strong>";
      case 2:
        return "<i>" + words + "</i>";
      case 3:
        return "<em>" + words + "</em>";
      case 4:
      case 5:
        return "<a href=\"" + Url() + "\" title=\"" + AttributeWords(1, 4) +
               "\">" + words + "</a>";
      case 6:
        return "<span class=\"" + Slug() + "\">" + words + "</span>";
      case 7:
        return "<font size=\"+1\">" + words + "</font>";
      case 8:
        return "<font color=\"#" + Hex() + "\">" + words + "</font>";
      case 9:
        return "<b class=\"hl\">" + words + "</b>";
      case 10:
        return "<a href=\"" + Url() + "\"><b>" + words + "</b></a>";
      default:
        return "<font face=\"Arial\" size=2>" + words + "</font>";
    }
  }

  std::string Hex() {
    char buf[8];
    std::snprintf(buf, sizeof buf, "%06x",
                  static_cast<unsigned>(rng_.Below(0x1000000)));
    return buf;
  }

  std::string Sentence() {
    std::string out;
    const int n = rng_.Between(5, 22);
    for (int i = 0; i < n; ++i) {
      if (i > 0) out += rng_.Chance(0.06) ? Comma() : Blank();
      const double r = rng_.Unit();
      if (r < 0.06 && i > 0) {
        out += Inline();
      } else if (r < 0.075) {
        out += rng_.Chance(0.5) ? "&amp;" : "&nbsp;";
      } else if (r < 0.085) {
        out += kContractions[rng_.Below(kContractions.size())];
      } else if (r < 0.09) {
        out += rng_.Chance(0.5) ? "don&#8217;t" : "it&#8217;s";
      } else if (r < 0.095) {
        out += std::to_string(rng_.Below(3000));
      } else if (r < 0.1) {
        out += "&quot;" + Phrase(1, 2, false) + "&quot;";
      } else {
        const std::string_view w = Word();
        AppendWord(out, i == 0 ? Capitalized(w) : std::string(w));
      }
    }
    out += Stop(rng_.Chance(0.1) ? (rng_.Chance(0.5) ? '?' : '!') : '.');
    return out;
  }

  std::string Paragraph(int min, int max) {
    std::string out;
    const int n = rng_.Between(min, max);
    for (int i = 0; i < n; ++i) {
      if (i > 0) out += Blank();
      out += Sentence();
    }
    return out;
  }

  // --- Blocks -------------------------------------------------------------

  void Head() {
    Line(0,
         "<!DOCTYPE HTML PUBLIC \"-//W3C//DTD HTML 4.01 Transitional//EN\" "
         "\"http://www.w3.org/TR/html4/loose.dtd\">");
    Line(0, "<html lang=\"en\">");
    Line(0, "<head>");
    Line(1, options_.encoding == TextEncoding::kUtf8 || han_ ||
                    options_.script == Script::kCyrillic
                ? "<meta http-equiv=\"Content-Type\" content=\"text/html; "
                  "charset=utf-8\">"
                : "<meta http-equiv=\"Content-Type\" content=\"text/html; "
                  "charset=iso-8859-1\">");
    Line(1, "<title>" + Phrase(3, 6, true) + " - " + Phrase(1, 2, true) +
                "</title>");
    Line(1, "<meta name=\"description\" content=\"" + Paragraph(1, 2) + "\">");
    std::string keywords;
    for (int i = 0; i < 12; ++i) {
      if (i > 0) keywords += ", ";
      AppendWord(keywords, vocab_.Draw(rng_));  // in the page's encoding
    }
    Line(1, "<meta name=\"keywords\" content=\"" + keywords + "\">");
    Line(1, "<meta name=\"robots\" content=\"index, follow\">");
    Line(1, "<meta name=\"author\" content=\"" + Phrase(2, 2, true) + "\">");
    Line(1,
         "<link rel=\"stylesheet\" type=\"text/css\" href=\"/css/site.css\">");
    Line(1, "<link rel=\"shortcut icon\" href=\"/favicon.ico\">");
    Style(1);
    Line(1, "<script type=\"text/javascript\" src=\"/js/menu.js\"></script>");
    Script(1);
    Line(1, "<!-- " + AttributeWords(3, 8) + " -->");
    Line(0, "</head>");
  }

  void Style(int depth) {
    Line(depth, "<style type=\"text/css\">");
    Line(depth, "<!--");
    const int rules = rng_.Between(4, 12);
    for (int i = 0; i < rules; ++i) {
      Line(depth + 1, "." + Slug() + " { color: #" + Hex() + "; margin: 0 " +
                          std::to_string(rng_.Below(20)) +
                          "px; font-family: Verdana, Arial, sans-serif; }");
    }
    Line(depth, "-->");
    Line(depth, "</style>");
  }

  void Script(int depth) {
    Line(depth, "<script type=\"text/javascript\">");
    Line(depth, "<!--");
    const std::string name = AttributeWords(1, 1);
    Line(depth + 1, "function show_" + name + "(id) {");
    Line(depth + 2, "var el = document.getElementById(id);");
    Line(depth + 2,
         "if (el && el.style.display != 'block') { "
         "el.style.display = 'block'; } // <b>not</b> text");
    Line(depth + 2, "document.write('<p>" + AttributeWords(2, 5) + "</p>');");
    Line(depth + 1, "}");
    Line(depth, "//-->");
    Line(depth, "</script>");
  }

  void Navigation(int depth) {
    Line(depth, "<ul class=\"nav\">");
    const int n = rng_.Between(3, 8);
    for (int i = 0; i < n; ++i) {
      Line(depth + 1,
           "<li><a href=\"" + Url() + "\">" + Phrase(1, 3, true) + "</a></li>");
    }
    Line(depth, "</ul>");
  }

  void List(int depth) {
    const bool ordered = rng_.Chance(0.3);
    Line(depth, ordered ? "<ol>" : "<ul>");
    const int n = rng_.Between(3, 9);
    for (int i = 0; i < n; ++i) {
      Wrapped(depth + 1, "<li>" + Sentence() + "</li>");
    }
    Line(depth, ordered ? "</ol>" : "</ul>");
  }

  void Table(int depth, bool may_nest) {
    Line(depth, "<table border=\"0\" cellpadding=\"" +
                    std::to_string(rng_.Below(6)) +
                    "\" cellspacing=\"0\" width=\"100%\">");
    const int rows = rng_.Between(2, 6);
    const int cols = rng_.Between(1, 4);
    for (int r = 0; r < rows; ++r) {
      Line(depth + 1, "<tr>");
      for (int c = 0; c < cols; ++c) {
        if (may_nest && rng_.Chance(0.08)) {
          Line(depth + 2, "<td valign=\"top\">");
          Table(depth + 3, false);
          Line(depth + 2, "</td>");
        } else if (r == 0 && rng_.Chance(0.5)) {
          Line(depth + 2, "<th>" + Phrase(1, 3, true) + "</th>");
        } else {
          Wrapped(depth + 2, "<td valign=\"top\">" + Paragraph(1, 2) + "</td>");
        }
      }
      Line(depth + 1, "</tr>");
    }
    Line(depth, "</table>");
  }

  void Heading(int depth) {
    const int level = rng_.Between(2, 6);
    const std::string n = std::to_string(level);
    const std::string text = Phrase(2, 6, true);
    if (rng_.Chance(0.2)) {
      Line(depth,
           "<h" + n + " class=\"" + Slug() + "\">" + text + "</h" + n + ">");
    } else if (rng_.Chance(0.05)) {
      Line(depth, "<H" + n + ">" + text + "</H" + n + ">");
    } else {
      Line(depth, "<h" + n + ">" + text + "</h" + n + ">");
    }
  }

  void Image(int depth) {
    Line(depth, "<img src=\"images/" + Slug() + ".jpg\" alt=\"" +
                    AttributeWords(1, 4) + "\" width=\"" +
                    std::to_string(rng_.Between(40, 600)) + "\" height=\"" +
                    std::to_string(rng_.Between(40, 400)) + "\" border=\"0\">");
  }

  void Section(int depth, int number) {
    tabs_ = rng_.Chance(0.2);
    Line(depth,
         "<div class=\"section\" id=\"s" + std::to_string(number) + "\">");
    Heading(depth + 1);
    const int blocks = rng_.Between(3, 9);
    for (int i = 0; i < blocks && out_.size() < stop_; ++i) {
      const double r = rng_.Unit();
      if (r < 0.45) {
        Wrapped(depth + 1, "<p>" + Paragraph(2, 7) + "</p>");
      } else if (r < 0.55) {
        List(depth + 1);
      } else if (r < 0.63) {
        Table(depth + 1, true);
      } else if (r < 0.68) {
        Heading(depth + 1);
      } else if (r < 0.73) {
        Line(depth + 1, "<font face=\"Verdana, Arial\" size=\"" +
                            std::to_string(rng_.Between(1, 5)) + "\">");
        Wrapped(depth + 2, Paragraph(1, 4));
        Line(depth + 1, "</font>");
      } else if (r < 0.78) {
        Line(depth + 1, "<blockquote>");
        Wrapped(depth + 2, "<i>" + Paragraph(1, 3) + "</i>");
        Line(depth + 1, "</blockquote>");
      } else if (r < 0.83) {
        Image(depth + 1);
        Line(depth + 1, "<br>");
      } else if (r < 0.87) {
        Line(depth + 1, "<!-- " + AttributeWords(2, 6) + " -->");
      } else if (r < 0.88) {
        Line(depth + 1, "<!--");
        Line(depth + 1, AttributeWords(4, 10));
        Line(depth + 1, "-->");
      } else if (r < 0.89) {
        Script(depth + 1);
      } else if (r < 0.94) {
        Line(depth + 1, "<div class=\"" + Slug() + "\"><span>" +
                            Phrase(2, 5, false) + "</span></div>");
      } else {
        Line(depth + 1, "<p><b>" + Phrase(2, 4, true) + "</b><br>");
        Wrapped(depth + 1, Paragraph(1, 3) + "</p>");
      }
    }
    Line(depth, "</div>");
  }

  const PageOptions& options_;
  const Vocabulary& vocab_;
  Rng rng_;
  std::string out_;
  std::string newline_;
  std::size_t stop_ = 0;  // no new block once the page is this long
  bool tabs_ = false;
  bool han_ = options_.script == Script::kHan;
};

// Blank-separated words of the vocabulary for attribute and tag contents.
std::string Words(const Vocabulary& vocab, Rng& rng, int n,
                  std::string_view separator) {
  std::string out;
  for (int i = 0; i < n; ++i) {
    if (i > 0) out += separator;
    const std::string& w = vocab.Draw(rng);
    out += HasNonAscii(w) ? "cafe" : w;
  }
  return out;
}

constexpr std::size_t kLineVocabulary = 5000;

}  // namespace

std::uint64_t Rng::Next() {
  std::uint64_t z = (state_ += 0x9E3779B97F4A7C15ULL);
  z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ULL;
  z = (z ^ (z >> 27)) * 0x94D049BB133111EBULL;
  return z ^ (z >> 31);
}

std::uint64_t Rng::Below(std::uint64_t n) { return n == 0 ? 0 : Next() % n; }

int Rng::Between(int lo, int hi) {
  return lo + static_cast<int>(Below(static_cast<std::uint64_t>(hi - lo) + 1));
}

double Rng::Unit() { return static_cast<double>(Next() >> 11) * 0x1.0p-53; }

Vocabulary::Vocabulary(std::size_t size, std::uint64_t seed, Draws draws) {
  Rng rng(seed);
  std::unordered_set<std::string> seen;
  words_.reserve(size);
  // About one word in a hundred is accented; the real ones come first.
  for (const char* w : kAccentedWords) {
    if (words_.size() >= size) break;
    if (seen.insert(w).second) words_.emplace_back(w);
  }
  while (words_.size() < size) {
    std::string w = MakeCandidate(rng, DrawLength(rng));
    if (!KeptByFilters(w) || IsFunctionWord(w)) continue;
    if (rng.Chance(0.01)) {
      const Accent& a = kAccents[rng.Below(kAccents.size())];
      const std::size_t p = w.find(a.plain);
      if (p != std::string::npos) w[p] = a.accented;
    }
    if (seen.insert(w).second) words_.push_back(std::move(w));
  }
  // Shuffle so that the accented words do not take the top ranks.
  for (std::size_t i = words_.size(); i > 1; --i) {
    std::swap(words_[i - 1], words_[rng.Below(i)]);
  }
  cumulative_.reserve(words_.size());
  double total = 0;
  for (std::size_t r = 0; r < words_.size(); ++r) {
    total += draws == Draws::kEven ? 1.0 : 1.0 / static_cast<double>(r + 1);
    cumulative_.push_back(total);
  }
}

const std::string& Vocabulary::Draw(Rng& rng) const {
  const double u = rng.Unit() * cumulative_.back();
  const auto it = std::upper_bound(cumulative_.begin(), cumulative_.end(), u);
  const auto rank = std::min<std::size_t>(
      static_cast<std::size_t>(it - cumulative_.begin()), words_.size() - 1);
  return words_[rank];
}

bool Vocabulary::KeptByFilters(std::string_view word) {
  if (word.size() < 2 || word.size() > 14) return false;
  if (word.back() == 's') return false;  // would fold onto its singular
  if (word.find_first_not_of(word[0]) == std::string_view::npos) return false;
  if (word.find_first_not_of("ivxlcm") == std::string_view::npos) return false;
  bool vowel = false;
  for (char c : word) vowel = vowel || IsVowel(static_cast<unsigned char>(c));
  if (!vowel) return false;
  if (word.size() >= 5 && (word.ends_with("ly") || word.ends_with("ed"))) {
    return false;
  }
  const std::string stem = std::string(word) + " ";
  return kContractionStems.find(stem) == std::string_view::npos;
}

std::string GeneratePage(const PageOptions& options) {
  const Vocabulary vocabulary(options.vocabulary_size, options.seed);
  return GeneratePage(options, vocabulary);
}

std::string GeneratePage(const PageOptions& options,
                         const Vocabulary& vocabulary) {
  return PageWriter(options, vocabulary).Write();
}

std::string GenerateMetaTagLine(std::size_t tags, std::uint64_t seed) {
  const Vocabulary vocab(kLineVocabulary, seed);
  Rng rng(seed);
  std::string out =
      "<html><head><title>" + Words(vocab, rng, 4, " ") + "</title> ";
  out.reserve(tags * 72 + 256);
  for (std::size_t i = 0; i < tags; ++i) {
    switch (i % 5) {
      case 0:
        out += "<meta name=\"description\" content=\"" +
               Words(vocab, rng, 4, " ") + "\">";
        break;
      case 1:
        out += "<meta name=\"keywords\" content=\"" +
               Words(vocab, rng, 3, ", ") + "\">";
        break;
      case 2:
        out += "<meta name=\"author\" content=\"" + Words(vocab, rng, 2, " ") +
               "\">";
        break;
      case 3:
        out += "<meta name=\"robots\" content=\"index, follow\">";
        break;
      default:
        out += "<meta http-equiv=\"Content-Type\" content=\"text/html\">";
        break;
    }
    out += ' ';
  }
  out += "</head><body><p>" + Words(vocab, rng, 20, " ") + "</p></body></html>";
  return out;
}

std::string GenerateFontTagLine(std::size_t tags, std::uint64_t seed) {
  const Vocabulary vocab(kLineVocabulary, seed);
  Rng rng(seed);
  std::string out = "<html><body>";
  out.reserve(tags * 40 + 256);
  for (std::size_t i = 0; i < tags; ++i) {
    const std::string w = Words(vocab, rng, 1, " ");
    switch (i % 6) {
      case 0:
        out += "<font size=+1>" + w + "</font> ";
        break;
      case 1:
        out += "<font size=5>" + w + " ";
        break;
      case 2:
        out += "<font size=\"-1\">" + w + "</font> ";
        break;
      case 3:
        out += "<font face=\"Arial\" size=2>" + w + " ";
        break;
      case 4:
        out += "<font color=\"red\">" + w + "</font> ";
        break;
      default:
        out += "<FONT SIZE=7>" + w + "</FONT> ";
        break;
    }
  }
  out += "</body></html>";
  return out;
}

std::string GeneratePlainTextLine(std::size_t bytes, std::uint64_t seed) {
  const Vocabulary vocab(kLineVocabulary, seed);
  Rng rng(seed);
  std::string out;
  out.reserve(bytes + 32);
  while (out.size() < bytes) {
    if (rng.Chance(0.3)) {
      out += kFunctionWords[rng.Below(kFunctionWords.size())];
    } else {
      out += vocab.Draw(rng);
    }
    out += rng.Chance(0.08) ? ". " : (rng.Chance(0.05) ? ", " : " ");
  }
  out.resize(bytes);
  return out;
}

}  // namespace vorn::bench
