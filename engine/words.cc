#include "engine/words.h"

#include <array>
#include <string>

#include "support/cp1252.h"

namespace vorn {
namespace {

constexpr std::array<bool, 256> MakeVowelTable() {
  std::array<bool, 256> t{};
  for (char c : std::string_view("AEIOUaeiou"))
    t[static_cast<unsigned char>(c)] = true;
  constexpr int kRanges[][2] = {{192, 198}, {200, 207}, {210, 214}, {216, 220},
                                {224, 230}, {232, 239}, {242, 246}, {248, 252}};
  for (const auto& r : kRanges)
    for (int c = r[0]; c <= r[1]; ++c) t[c] = true;
  return t;
}
constexpr std::array<bool, 256> kVowels = MakeVowelTable();

constexpr std::string_view kRomanLetters = "ivxlcm";
constexpr std::string_view kContractionStems =
    "aren couldn didn doesn hadn hasn isn shouldn wasn weren wouldn ";
constexpr std::string_view kSuffixExceptions[] = {"alfred", "limited", "screed",
                                                  "tweed",  "filly",   "folly"};

bool IsRepeatedLetter(std::string_view lw) {
  if (lw.size() < 2) return false;
  for (char c : lw)
    if (c != lw[0]) return false;
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
  for (char c : word) {
    if (kVowels[static_cast<unsigned char>(c)]) return false;
    if (count_y && (c == 'y' || c == 'Y')) return false;
  }
  return true;
}

WordTest RejectingTest(std::string_view word, const AnalysisSettings& settings,
                       std::string_view ignore_list,
                       const CommonWordsTable& common) {
  const std::size_t n = word.size();
  if (settings.IgnoreShortWords &&
      n <= static_cast<std::size_t>(settings.ShortWordSize))
    return WordTest::kShortWord;
  if (n > static_cast<std::size_t>(kMaxWordLength)) return WordTest::kTooLong;
  // At most 60 characters from here on: lower-case into a buffer.
  char buffer[kMaxWordLength + 1];
  for (std::size_t i = 0; i < n; ++i) buffer[i] = LowerCp1252(word[i]);
  const std::string_view lw(buffer, n);
  if (IsRepeatedLetter(lw)) return WordTest::kRepeatedLetter;
  if (ignore_list.size() > 1) {
    buffer[n] = ',';
    if (ignore_list.find(std::string_view(buffer, n + 1)) !=
        std::string_view::npos)
      return WordTest::kIgnoredWord;
  }
  if (IsRomanNumeral(lw)) return WordTest::kRomanNumeral;
  if (HasNoVowel(word, true)) return WordTest::kNoVowel;
  if (settings.TextLanguage == kEnglish && IsContractionStem(lw))
    return WordTest::kContractionStem;
  if (settings.IgnoreCommonWords &&
      common.IsCommonLowerCaseWord(lw, settings.TextLanguage))
    return WordTest::kCommonWord;
  if (n >= 5 && (lw.ends_with("ly") || lw.ends_with("ed")) &&
      !HasExemptEnding(lw))
    return WordTest::kEnding;
  return WordTest::kAccepted;
}

}  // namespace vorn
