// Text inside VORN is UTF-8. This is the one classification of a code point
// that word extraction uses: the 256 code points of Windows-1252 keep the
// rules the program always had (word characters, lower case, vowels); every
// other code point takes its class and case from ICU.
#ifndef VORN_SUPPORT_UNICODE_H_
#define VORN_SUPPORT_UNICODE_H_

#include <atomic>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

namespace vorn {

inline constexpr char32_t kReplacementCharacter = 0xFFFD;

// One character of UTF-8 text: its code point and the number of bytes it
// takes. A byte that does not start a valid sequence is one character
// U+FFFD of length 1.
struct Utf8Char {
  char32_t cp;
  int length;
};
// The character at `p`; `p` must be before `end`.
inline Utf8Char DecodeUtf8(const char* p, const char* end) {
  const auto* u = reinterpret_cast<const unsigned char*>(p);
  const unsigned char b0 = u[0];
  if (b0 < 0x80) return {b0, 1};
  int len;
  char32_t min;
  char32_t c;
  if (b0 >= 0xC2 && b0 <= 0xDF) {
    len = 2, min = 0x80, c = b0 & 0x1F;
  } else if (b0 >= 0xE0 && b0 <= 0xEF) {
    len = 3, min = 0x800, c = b0 & 0x0F;
  } else if (b0 >= 0xF0 && b0 <= 0xF4) {
    len = 4, min = 0x10000, c = b0 & 0x07;
  } else {
    return {kReplacementCharacter, 1};
  }
  if (end - p < len) return {kReplacementCharacter, 1};
  for (int i = 1; i < len; ++i) {
    if ((u[i] & 0xC0) != 0x80) return {kReplacementCharacter, 1};
    c = (c << 6) | (u[i] & 0x3F);
  }
  if (c < min || c > 0x10FFFF || (c >= 0xD800 && c <= 0xDFFF))
    return {kReplacementCharacter, 1};
  return {c, len};
}

// The UTF-16 units of the character whose UTF-8 form starts with the byte
// `lead`: two beyond the Basic Multilingual Plane, else one; none for a
// byte that continues a character.
inline std::size_t Utf16UnitsOf(unsigned char lead) {
  if ((lead & 0xC0) == 0x80) return 0;
  return lead >= 0xF0 ? 2 : 1;
}

// Writes the UTF-8 bytes of `cp` (at most 4) to `out`; returns their number.
int EncodeUtf8(char32_t cp, char* out);
void AppendUtf8(std::string& out, char32_t cp);

// The 0-based offset of the first byte that is not part of a valid UTF-8
// sequence, or npos when all of `text` is valid.
std::size_t FirstInvalidUtf8(std::string_view text);

// What a code point is to word extraction (bits of CharFlags).
enum CharFlag : std::uint16_t {
  kLetterChar = 1 << 0,      // starts and continues a word
  kJoinerChar = 1 << 1,      // continues a word: combining marks, ZWNJ, ZWJ
  kLatinChar = 1 << 2,       // a letter of the Latin script
  kUnspacedChar = 1 << 3,    // of a script written without spaces between
                             // words (Han, kana, Thai, Lao, Khmer, Myanmar)
  kVowelChar = 1 << 4,       // a vowel of the no-vowel test
  kVowelYChar = 1 << 5,      // y and its accented forms: a vowel when y counts
  kWideChar = 1 << 6,        // takes two display columns
  kZeroWidthChar = 1 << 7,   // takes no display column
  kMayChangeInNfc = 1 << 8,  // NFC may change a text that holds it
  kHasLowerCase = 1 << 9,    // LowerChar gives another code point
};
namespace unicode_internal {
// The flags of the Basic Multilingual Plane in blocks of 256 code points,
// each worked out on first use; the rare code points beyond are asked of
// ICU each time.
extern std::atomic<const std::uint16_t*> flag_blocks[256];
const std::uint16_t* MakeFlagBlock(char32_t cp);
std::uint16_t SupplementaryFlags(char32_t cp);
}  // namespace unicode_internal

inline std::uint16_t CharFlags(char32_t cp) {
  if (cp >= 0x10000) return unicode_internal::SupplementaryFlags(cp);
  const std::uint16_t* block =
      unicode_internal::flag_blocks[cp >> 8].load(std::memory_order_acquire);
  if (block == nullptr) block = unicode_internal::MakeFlagBlock(cp);
  return block[cp & 0xFF];
}

// True for a code point that starts a word.
inline bool IsLetter(char32_t cp) { return (CharFlags(cp) & kLetterChar) != 0; }
// True for a code point that continues a word (letters and joiners).
inline bool IsWordPart(char32_t cp) {
  return (CharFlags(cp) & (kLetterChar | kJoinerChar)) != 0;
}

// The lower case of one code point: Windows-1252's own for its code points,
// ICU's simple mapping for the others.
char32_t LowerChar(char32_t cp);

// The lower case of UTF-8 text, appended to `*out`. A capital sigma that
// ends a word becomes the final form ς. Invalid bytes are copied.
void AppendLower(std::string_view text, std::string* out);
std::string LowerText(std::string_view text);
// The same into `out`, which must hold 4 bytes per code point of `text`;
// returns the number of bytes written.
std::size_t LowerInto(std::string_view text, char* out);

// ASCII letters lowered, every other byte kept: the same length, and safe
// for any ASCII-compatible encoding. Markup is matched in such copies.
std::string LowerAscii(std::string_view bytes);
inline char LowerAsciiChar(char c) {
  return c >= 'A' && c <= 'Z' ? static_cast<char>(c + 32) : c;
}

// `text` in Unicode normalisation form C. Invalid UTF-8 comes back as is.
std::string ToNfc(std::string_view text);

// Facts about a word that the rejection tests use.
struct WordShape {
  std::size_t chars = 0;    // code points
  std::size_t columns = 0;  // display columns: East Asian wide count 2,
                            // combining marks and joiners 0
  bool latin = true;        // every letter is of the Latin script
};
WordShape ShapeOf(std::string_view word);

// Splits runs of letters of the unspaced scripts into words with ICU's
// dictionary-based word break rules; a run mixed with other scripts is
// split where the script changes. A run of katakana (with its prolonged
// sound mark) is one word: such runs are mostly loanwords that the
// dictionary does not know, and it would cut them into syllables. One
// splitter serves many runs.
class WordSplitter {
 public:
  WordSplitter();
  ~WordSplitter();
  WordSplitter(const WordSplitter&) = delete;
  WordSplitter& operator=(const WordSplitter&) = delete;

  // Calls `piece(offset, length)` for each word of `run` (UTF-8, letters
  // and joiners only), in order, by byte offsets into `run`.
  template <typename Fn>
  void Split(std::string_view run, Fn&& piece) {
    std::size_t from = 0;
    while (from < run.size()) {
      const std::size_t katakana = KatakanaRunLength(run, from);
      if (katakana > 0) {
        piece(from, katakana);
        from += katakana;
        continue;
      }
      std::size_t to = from;
      while (to < run.size() && KatakanaRunLength(run, to) == 0)
        to += static_cast<std::size_t>(
            DecodeUtf8(run.data() + to, run.data() + run.size()).length);
      const std::string_view part = run.substr(from, to - from);
      if (!Start(part)) {
        piece(from, part.size());
      } else {
        std::size_t a = 0;
        for (std::size_t b; (b = Next()) != kDone; a = b)
          if (b > a) piece(from + a, b - a);
      }
      from = to;
    }
  }

 private:
  static constexpr std::size_t kDone = static_cast<std::size_t>(-1);
  // Bytes of the run of katakana at `at`, 0 when none starts there.
  static std::size_t KatakanaRunLength(std::string_view run, std::size_t at);
  bool Start(std::string_view part);
  std::size_t Next();
  struct State;
  std::unique_ptr<State> state_;
};

}  // namespace vorn

#endif  // VORN_SUPPORT_UNICODE_H_
