// Which words count: the tests that reject a word before it reaches the
// word table, in the order in which they are applied.
#ifndef VORN_ENGINE_WORDS_H_
#define VORN_ENGINE_WORDS_H_

#include <string_view>

#include "engine/common_words.h"
#include "engine/settings.h"
#include "support/unicode.h"

namespace vorn {

enum class WordTest {
  kAccepted = 0,
  kShortWord,        // IgnoreShortWords and at most ShortWordSize display
                     // columns (an East Asian wide character counts 2)
  kTooLong,          // more than 60 characters (code points)
  kRepeatedLetter,   // one letter repeated (aa, Mmm)
  kIgnoredWord,      // lower-cased word + "," occurs in the ignore list
  kRomanNumeral,     // made only of i, v, x, l, c, m
  kNoVowel,          // a Latin-script word without a vowel, y counting
                     // as one
  kContractionStem,  // English only: the tail of aren, isn, couldn ...
  kCommonWord,       // IgnoreCommonWords and in the language's list
  kEnding,           // 5+ characters ending in "ly" or "ed", bar exceptions
};

// The first test that rejects `word` (a non-empty run of letters, UTF-8),
// or kAccepted. `ignore_list` is the normalised words to ignore plus ",".
// `*shape` (when given) gets the word's shape.
WordTest RejectingTest(std::string_view word, const AnalysisSettings& settings,
                       std::string_view ignore_list,
                       const CommonWordsTable& common,
                       WordShape* shape = nullptr);

// True when no character of `word` is a vowel (plus y, Y and their accented
// forms outside Windows-1252 when `count_y`); also true for an empty word.
bool HasNoVowel(std::string_view word, bool count_y);

}  // namespace vorn

#endif  // VORN_ENGINE_WORDS_H_
