#include "engine/words.h"

#include <array>
#include <string>

#include "support/unicode.h"

namespace vorn {
namespace {

constexpr std::string_view kRomanLetters = "ivxlcm";

// 1 for the ASCII vowels, 2 for y and Y.
constexpr std::array<unsigned char, 128> MakeAsciiVowels() {
  std::array<unsigned char, 128> t{};
  for (char c : std::string_view("AEIOUaeiou"))
    t[static_cast<unsigned char>(c)] = 1;
  t['Y'] = t['y'] = 2;
  return t;
}
constexpr std::array<unsigned char, 128> kAsciiVowels = MakeAsciiVowels();
constexpr std::string_view kContractionStems =
    "aren couldn didn doesn hadn hasn isn shouldn wasn weren wouldn ";
constexpr std::string_view kSuffixExceptions[] = {"alfred", "limited", "screed",
                                                  "tweed",  "filly",   "folly"};

// More than one character, all the same.
bool IsRepeatedLetter(std::string_view lw, std::size_t chars) {
  if (chars < 2) return false;
  const std::size_t first = static_cast<std::size_t>(
      DecodeUtf8(lw.data(), lw.data() + lw.size()).length);
  if (lw.size() != chars * first) return false;
  for (std::size_t i = first; i < lw.size(); ++i)
    if (lw[i] != lw[i % first]) return false;
  return true;
}

constexpr std::array<bool, 256> MakeRomanTable() {
  std::array<bool, 256> t{};
  for (char c : kRomanLetters) t[static_cast<unsigned char>(c)] = true;
  return t;
}
constexpr std::array<bool, 256> kRoman = MakeRomanTable();

bool IsRomanNumeral(std::string_view lw) {
  for (char c : lw)
    if (!kRoman[static_cast<unsigned char>(c)]) return false;
  return true;
}

bool IsContractionStem(std::string_view lw) {
  // Every stem is shorter than 8 letters and ends in "n", so only such a
  // word followed by a blank can occur in the stems.
  if (lw.empty() || lw.size() > 7 || lw.back() != 'n') return false;
  char probe[8];
  lw.copy(probe, lw.size());
  probe[lw.size()] = ' ';
  return kContractionStems.find(std::string_view(probe, lw.size() + 1)) !=
         std::string_view::npos;
}

bool HasExemptEnding(std::string_view lw) {
  for (std::string_view e : kSuffixExceptions)
    if (lw == e) return true;
  return lw.ends_with("poly");
}

}  // namespace

bool HasNoVowel(std::string_view word, bool count_y) {
  const std::uint16_t vowel = count_y ? kVowelChar | kVowelYChar : kVowelChar;
  const char* const end = word.data() + word.size();
  for (const char* p = word.data(); p < end;) {
    const auto a = static_cast<unsigned char>(*p);
    if (a < 0x80) {
      if (kAsciiVowels[a] == 1 || (count_y && kAsciiVowels[a] == 2))
        return false;
      ++p;
      continue;
    }
    const Utf8Char c = DecodeUtf8(p, end);
    if (CharFlags(c.cp) & vowel) return false;
    p += c.length;
  }
  return true;
}

WordTest RejectingTest(std::string_view word, const AnalysisSettings& settings,
                       std::string_view ignore_list,
                       const CommonWordsTable& common, WordShape* shape_out) {
  // At most 60 characters of at most 4 bytes are lowered into a buffer,
  // with room for a comma. An ASCII word (most words of most pages) is
  // measured and lowered in one pass.
  char buffer[4 * kMaxWordLength + 1];
  WordShape shape;
  std::size_t n = 0;
  unsigned char high = 0;
  unsigned char vowels = 0;  // 1: a vowel, 2: a y (ASCII words only)
  if (word.size() <= static_cast<std::size_t>(kMaxWordLength)) {
    for (const char c : word) {
      const auto u = static_cast<unsigned char>(c);
      high |= u;
      vowels |= kAsciiVowels[u & 0x7F];
      buffer[n++] = LowerAsciiChar(c);
    }
  }
  const bool ascii = n > 0 && (high & 0x80) == 0;
  if (ascii)
    shape.chars = shape.columns = n;
  else
    shape = ShapeOf(word);
  if (shape_out != nullptr) *shape_out = shape;
  if (settings.IgnoreShortWords &&
      shape.columns <= static_cast<std::size_t>(settings.ShortWordSize))
    return WordTest::kShortWord;
  if (shape.chars > static_cast<std::size_t>(kMaxWordLength))
    return WordTest::kTooLong;
  if (!ascii) n = LowerInto(word, buffer);
  const std::string_view lw(buffer, n);
  if (IsRepeatedLetter(lw, shape.chars)) return WordTest::kRepeatedLetter;
  if (ignore_list.size() > 1) {
    buffer[n] = ',';
    if (ignore_list.find(std::string_view(buffer, n + 1)) !=
        std::string_view::npos)
      return WordTest::kIgnoredWord;
  }
  if (IsRomanNumeral(lw)) return WordTest::kRomanNumeral;
  if (ascii ? vowels == 0 : shape.latin && HasNoVowel(word, true))
    return WordTest::kNoVowel;
  if (settings.TextLanguage == kEnglish && IsContractionStem(lw))
    return WordTest::kContractionStem;
  if (settings.IgnoreCommonWords &&
      common.IsCommonLowerCaseWord(lw, settings.TextLanguage))
    return WordTest::kCommonWord;
  if (shape.chars >= 5 && (lw.ends_with("ly") || lw.ends_with("ed")) &&
      !HasExemptEnding(lw))
    return WordTest::kEnding;
  return WordTest::kAccepted;
}

}  // namespace vorn
