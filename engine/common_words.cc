#include "engine/common_words.h"

#include <algorithm>
#include <optional>

#include "engine/document_checks.h"
#include "support/cp1252.h"
#include "support/files.h"
#include "support/strings.h"

namespace vorn {
namespace {

// Only the start of a list file is checked for control bytes; later ones
// are ordinary separators.
constexpr std::size_t kPrefixBytes = 16384;
constexpr std::size_t kMaxRunLength = 65000;
constexpr char kNoBreakSpace = '\xA0';

// Number of word characters from `start`, at most kMaxRunLength.
std::size_t RunLength(std::string_view s, std::size_t start,
                      bool allow_digits) {
  std::size_t n = 0;
  while (start + n < s.size() && n < kMaxRunLength &&
         IsWordChar(s[start + n], allow_digits))
    ++n;
  return n;
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
  std::string line = LowerCp1252(trimmed);
  line.push_back(' ');
  for (char& c : line)
    if (c == '\t' || c == '\n' || c == '\r' || c == kNoBreakSpace) c = ' ';
  // The appended blank is never looked at: the walk stops before it.
  std::size_t pos = 0;
  while (pos + 1 < line.size()) {
    if (!IsWordChar(line[pos])) {
      ++pos;
      continue;
    }
    if (words.size() >= static_cast<std::size_t>(kMaxCommonWords)) return;
    const std::size_t n = RunLength(line, pos, allow_digits);
    InsertSorted(words, line.substr(pos, n));
    pos += n + 1;
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
  const std::string decoded = DecodeDocument(text, DetectEncoding(text));
  ForEachLine(decoded, [&](std::string_view line) {
    AddWordsOfLine(line, allow_digits, list.words);
    return list.words.size() < static_cast<std::size_t>(kMaxCommonWords);
  });
  list.set = FrozenStringSet(list.words);
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
  if (word.size() >= 64)
    return IsCommonLowerCaseWord(LowerCp1252(word), language);
  char buffer[64];
  for (std::size_t i = 0; i < word.size(); ++i)
    buffer[i] = LowerCp1252(word[i]);
  return IsCommonLowerCaseWord(std::string_view(buffer, word.size()), language);
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
  return MessageBox{
      .caption = "Common words not available",
      .text = "Common words in " + name + " could not be read from file\r\n" +
              PathForDisplay(path),
      .icon = Icon::kExclamation,
      .buttons = Buttons::kOk,
  };
}

}  // namespace vorn
