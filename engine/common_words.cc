#include "engine/common_words.h"

#include <algorithm>
#include <optional>

#include "engine/document_checks.h"
#include "support/cp1252.h"
#include "support/files.h"
#include "support/strings.h"
#include "support/unicode.h"

namespace vorn {
namespace {

// Only the start of a list file is checked for control bytes; later ones
// are ordinary separators.
constexpr std::size_t kPrefixBytes = 16384;
constexpr std::size_t kMaxRunLength = 65000;

// Number of bytes of the run of word characters (letters and joiners, and
// digits when `allow_digits`) from `start`, at most kMaxRunLength
// characters.
std::size_t RunLength(std::string_view s, std::size_t start,
                      bool allow_digits) {
  const char* const end = s.data() + s.size();
  const char* p = s.data() + start;
  for (std::size_t chars = 0; p < end && chars < kMaxRunLength; ++chars) {
    const Utf8Char c = DecodeUtf8(p, end);
    if (!IsWordPart(c.cp) && !(allow_digits && c.cp >= '0' && c.cp <= '9'))
      break;
    p += c.length;
  }
  return static_cast<std::size_t>(p - (s.data() + start));
}

// How a list file is to be read: as UTF-8, as an old Windows-1252 list, or
// not at all (UTF-8 with a broken sequence: reading it either way would
// store words nobody wrote).
enum class ListText { kUtf8, kWindows1252, kBroken };

// A file is UTF-8 when it is valid UTF-8. One that is not, but starts with
// the byte-order mark or holds a valid multi-byte sequence, is broken UTF-8;
// any other is an old Windows-1252 list. `*bad` gets the offset of the
// first invalid byte.
ListText ClassifyList(std::string_view text, std::size_t* bad) {
  *bad = FirstInvalidUtf8(text);
  if (*bad == std::string_view::npos) return ListText::kUtf8;
  if (text.starts_with(kByteOrderMark)) return ListText::kBroken;
  const char* const end = text.data() + text.size();
  for (const char* p = text.data(); p < end;) {
    const Utf8Char c = DecodeUtf8(p, end);
    if (c.length > 1) return ListText::kBroken;
    p += c.length;
  }
  return ListText::kWindows1252;
}

// Puts `word` after the words equal to it, keeping `words` sorted by bytes.
void InsertSorted(std::vector<std::string>& words, std::string word) {
  const auto at = std::upper_bound(words.begin(), words.end(), word);
  words.insert(at, std::move(word));
}

// Adds the words of one raw line until the list is full. A word starts
// with a letter and runs over the word characters that follow it; the
// character after a word is skipped with it. Digits are word characters
// only when `allow_digits`.
void AddWordsOfLine(std::string_view raw, bool allow_digits,
                    std::vector<std::string>& words) {
  const std::string_view trimmed = TrimBlanks(raw);
  if (trimmed.empty()) return;
  // Tabs, line ends and no-break spaces only separate, like any character
  // that is no letter.
  std::string line = LowerText(trimmed);
  line.push_back(' ');
  // The appended blank is never looked at: the walk stops before it.
  const char* const end = line.data() + line.size();
  std::size_t pos = 0;
  while (pos + 1 < line.size()) {
    const Utf8Char c = DecodeUtf8(line.data() + pos, end);
    if (!IsLetter(c.cp)) {
      pos += static_cast<std::size_t>(c.length);
      continue;
    }
    if (words.size() >= static_cast<std::size_t>(kMaxCommonWords)) return;
    const std::size_t n = RunLength(line, pos, allow_digits);
    InsertSorted(words, ToNfc(line.substr(pos, n)));
    // The character after a word goes with it.
    pos += n;
    if (pos + 1 < line.size())
      pos +=
          static_cast<std::size_t>(DecodeUtf8(line.data() + pos, end).length);
  }
}

}  // namespace

void CommonWordsTable::InitCommonWords(const std::string& folder) {
  folder_ = folder;
  for (std::atomic<bool>& loaded : loaded_) loaded = false;
}

void CommonWordsTable::LoadCommonWords(const std::string& folder,
                                       int language) {
  ReadList(folder, language, lists_[language]);
  loaded_[language] = true;
}

void CommonWordsTable::ReadList(const std::string& folder, int language,
                                List& list) {
  list = List{};
  const std::string path = FilePath(folder, language);
  // Negative: missing, empty or unopenable; 0: a non-text byte. Any line
  // end is accepted without a warning.
  if (ClassifyTextFilePrefix(path, kPrefixBytes) <= 0) return;
  const std::optional<std::string> bytes = ReadFileBytes(path);
  if (bytes) FillList(language, *bytes, list);
}

const CommonWordsTable::List& CommonWordsTable::ListOf(int language) const {
  // Checked once a word: an atomic read, and the lock only the first time.
  if (!loaded_[language].load(std::memory_order_acquire)) {
    const std::lock_guard<std::mutex> lock(load_mutex_);
    if (!loaded_[language].load(std::memory_order_relaxed)) {
      if (!folder_.empty() && HasWordList(language))
        ReadList(folder_, language, lists_[language]);
      loaded_[language].store(true, std::memory_order_release);
    }
  }
  return lists_[language];
}

void CommonWordsTable::LoadFromText(int language, std::string_view text) {
  lists_[language] = List{};
  FillList(language, text, lists_[language]);
  loaded_[language] = true;
}

void CommonWordsTable::FillList(int language, std::string_view text,
                                List& list) {
  // Digits join words in French lists only, which may hold words like mp3.
  const bool allow_digits = language == kFrench;
  std::size_t bad = 0;
  std::string decoded;
  switch (ClassifyList(text, &bad)) {
    case ListText::kBroken:
      return;  // unavailable; the message says which line
    case ListText::kWindows1252:
      decoded = Cp1252ToUtf8(text);
      break;
    case ListText::kUtf8:
      decoded.assign(text.starts_with(kByteOrderMark) ? text.substr(3) : text);
      break;
  }
  ForEachLine(decoded, [&](std::string_view line) {
    AddWordsOfLine(line, allow_digits, list.words);
    return list.words.size() < static_cast<std::size_t>(kMaxCommonWords);
  });
  list.set = FrozenStringSet(list.words);
  // Bytes, not characters: the look-up tests the word's first byte.
  for (const std::string& w : list.words)
    if (!w.empty() && w.size() < 64)
      list.first_and_length[static_cast<unsigned char>(w[0])] |=
          std::uint64_t{1} << w.size();
}

int CommonWordsTable::Count(int language) const {
  if (!HasWordList(language)) return 0;
  return static_cast<int>(ListOf(language).words.size());
}

const std::vector<std::string>& CommonWordsTable::Words(int language) const {
  return ListOf(language).words;
}

bool CommonWordsTable::IsCommonWord(std::string_view word, int language) const {
  return IsCommonLowerCaseWord(LowerText(word), language);
}

bool CommonWordsTable::IsCommonLowerCaseWord(std::string_view word,
                                             int language) const {
  if (word.empty() || !HasWordList(language)) return false;
  const List& list = ListOf(language);
  // Most words of a page are not common: a word whose first letter and
  // length no listed word shares is rejected without hashing.
  if (word.size() < 64 &&
      ((list.first_and_length[static_cast<unsigned char>(word[0])] >>
        word.size()) &
       1) == 0)
    return false;
  return list.set.contains(word);
}

std::string CommonWordsTable::FilePath(const std::string& folder,
                                       int language) {
  return folder + "/cmwds_" + kLanguages[language].code + ".txt";
}

MessageBox CommonWordsUnavailableMessage(int language,
                                         const std::string& path) {
  const std::string name = language == kAnotherLanguage
                               ? std::string("another language")
                               : std::string(kLanguages[language].item);
  // A list that is broken UTF-8 is unavailable for that reason: say where.
  std::string why;
  if (const std::optional<std::string> bytes = ReadFileBytes(path)) {
    std::size_t bad = 0;
    if (ClassifyList(*bytes, &bad) == ListText::kBroken) {
      const auto line =
          1 + std::count(bytes->begin(),
                         bytes->begin() + static_cast<long>(bad), '\n');
      why = "\r\nLine" + Spaced(line) + " is not valid UTF-8.";
    }
  }
  return MessageBox{
      .caption = "Common words not available",
      .text = "Common words in " + name + " could not be read from file\r\n" +
              PathForDisplay(path) + why,
      .icon = Icon::kExclamation,
      .buttons = Buttons::kOk,
  };
}

}  // namespace vorn
