// Deterministic generators of HTML documents for benchmarks and robustness
// tests: realistic pages of a requested size, and the pathological single
// lines that would make a naive scanner quadratic. The same options and
// seed always give the same bytes, on every platform.
#ifndef VORN_BENCH_SUPPORT_PAGE_GENERATOR_H_
#define VORN_BENCH_SUPPORT_PAGE_GENERATOR_H_

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace vorn::bench {

// A small, fast pseudo-random generator (splitmix64) whose sequence is fixed
// by its seed, unlike the distributions of the standard library.
class Rng {
 public:
  explicit Rng(std::uint64_t seed) : state_(seed) {}

  std::uint64_t Next();
  // Uniform in [0, n); 0 when n is 0.
  std::uint64_t Below(std::uint64_t n);
  // Uniform in [lo, hi].
  int Between(int lo, int hi);
  // Uniform in [0, 1).
  double Unit();
  // True with probability p.
  bool Chance(double p) { return Unit() < p; }

 private:
  std::uint64_t state_;
};

// Pronounceable pseudo-words made of ASCII letters, 2 to 14 letters long,
// each with a vowel, none ending in "s" (so that no two fold onto each other
// as plural and singular), and none of the forms the engine's word filters
// reject (Roman numerals, one repeated letter, "-ly"/"-ed" endings,
// contraction stems). A few carry an accented Latin-1 vowel (stored as
// Windows-1252 bytes). Draws follow a Zipf-like law: rank r is drawn with
// probability proportional to 1 / (r + 1).
class Vocabulary {
 public:
  Vocabulary(std::size_t size, std::uint64_t seed);

  std::size_t size() const { return words_.size(); }
  const std::vector<std::string>& words() const { return words_; }
  const std::string& Draw(Rng& rng) const;

  // True when the engine's default word filters keep `word` (lower case,
  // letters only): the tests a pseudo-word must pass to enter a vocabulary.
  static bool KeptByFilters(std::string_view word);

 private:
  std::vector<std::string> words_;
  std::vector<double> cumulative_;  // cumulative draw weights, by rank
};

enum class LineBreaks {
  kLf,    // "\n" after every line: Unix line endings
  kCrLf,  // "\r\n": Windows line endings
  kNone,  // one single line; line breaks become blanks
};

enum class TextEncoding {
  kUtf8,    // accented letters as UTF-8, with a charset meta tag saying so
  kLatin1,  // accented letters as single Windows-1252 bytes
};

// The script of the page's visible words.
enum class Script {
  kLatin,     // the vocabulary as it is
  kCyrillic,  // each letter as a Cyrillic one, words separated by blanks
  kHan,       // each word as one to three ideographs, written without
              // blanks between words, with Chinese punctuation
};

struct PageOptions {
  std::size_t target_bytes = 2 << 20;  // the page is this long or a little
                                       // longer (it closes its open tags)
  std::uint64_t seed = 1;
  LineBreaks line_breaks = LineBreaks::kLf;
  TextEncoding encoding = TextEncoding::kUtf8;
  std::size_t vocabulary_size = 30000;  // distinct pseudo-words
  Script script = Script::kLatin;       // other scripts are always UTF-8
};

// A page as a web author would write it: a head with title, charset,
// description and keywords meta tags, links, style and script blocks and
// comments; a body of headings, paragraphs with bold, italic, links, spans
// and font tags, lists, tables (some nested), div blocks, entities and
// accented words. Lines are mostly 40-120 characters, some paragraphs much
// longer. The page never holds a control byte other than CR and LF, and
// with LineBreaks::kNone not even those.
std::string GeneratePage(const PageOptions& options);

// Same page with a vocabulary built beforehand (to share it between pages).
std::string GeneratePage(const PageOptions& options,
                         const Vocabulary& vocabulary);

// One line of `tags` meta tags: description, keywords, author, robots and
// http-equiv tags in turn, each with a short content of pseudo-words.
std::string GenerateMetaTagLine(std::size_t tags, std::uint64_t seed);

// One line of `tags` font tags with words between them: closed ones such as
// "<font size=+1>word</font>" mixed with unclosed ones such as
// "<font size=5>", so that the font stack keeps growing.
std::string GenerateFontTagLine(std::size_t tags, std::uint64_t seed);

// One line of plain text of `bytes` bytes: words, blanks and punctuation,
// no markup and no line break.
std::string GeneratePlainTextLine(std::size_t bytes, std::uint64_t seed);

}  // namespace vorn::bench

#endif  // VORN_BENCH_SUPPORT_PAGE_GENERATOR_H_
