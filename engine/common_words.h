// The common words of each language, read once from "cmwds_" + code +
// ".txt" in the program's folder, and the test whether a word is one.
#ifndef VORN_ENGINE_COMMON_WORDS_H_
#define VORN_ENGINE_COMMON_WORDS_H_

#include <array>
#include <atomic>
#include <cstdint>
#include <mutex>
#include <string>
#include <string_view>
#include <vector>

#include "engine/settings.h"
#include "engine/ui.h"
#include "support/string_hash.h"

namespace vorn {

inline constexpr int kMaxCommonWords = 500;

// Safe to read from several threads at once; loading (Init, Load...) is
// not.
class CommonWordsTable {
 public:
  // The lists of all languages come from `folder`: each is read the first
  // time it is asked for, so that a run reads only the lists it uses. A
  // list whose file is missing, empty, unreadable or not a text file stays
  // unavailable; a list once read is not read again.
  void InitCommonWords(const std::string& folder);

  // (Re)loads the list of one language (one with a word list) from
  // `folder` now.
  void LoadCommonWords(const std::string& folder, int language);

  // Loads a list from the text of a file (tests use this directly).
  void LoadFromText(int language, std::string_view text);

  // Number of words loaded for a language; 0 means not available, as for
  // "Automatic", which has no list of its own.
  int Count(int language) const;
  bool Available(int language) const { return Count(language) > 0; }

  // The words of a language in ascending byte order (duplicates kept).
  const std::vector<std::string>& Words(int language) const;

  // True when the lower-cased `word` is in the language's list (never for
  // "Automatic").
  bool IsCommonWord(std::string_view word, int language) const;
  // The same for a word already in lower case.
  bool IsCommonLowerCaseWord(std::string_view lower_word, int language) const;

  // Full path of a language's file in `folder`.
  static std::string FilePath(const std::string& folder, int language);

 private:
  struct List {
    std::vector<std::string> words;
    FrozenStringSet set;
    // Bit L of entry C: some word starts with C and has L characters.
    std::array<std::uint64_t, 256> first_and_length{};
  };
  // The list of a language, read from folder_ on first use.
  const List& ListOf(int language) const;
  static void ReadList(const std::string& folder, int language, List& list);
  static void FillList(int language, std::string_view text, List& list);

  std::string folder_;
  mutable std::array<List, kNumLanguages> lists_;
  mutable std::array<std::atomic<bool>, kNumLanguages> loaded_{};
  mutable std::mutex load_mutex_;
};

// The "Common words not available" message for a language whose list could
// not be read from `path`.
MessageBox CommonWordsUnavailableMessage(int language, const std::string& path);

}  // namespace vorn

#endif  // VORN_ENGINE_COMMON_WORDS_H_
