// Small text routines on UTF-8 strings (and on page bytes, where only ASCII
// is compared). Positions are 1-based where the names say "position"; 0
// means not found.
#ifndef VORN_SUPPORT_STRINGS_H_
#define VORN_SUPPORT_STRINGS_H_

#include <cstddef>
#include <string>
#include <string_view>

namespace vorn {

// Position of the first occurrence of `find` in `text` at or after `start`,
// the case of ASCII letters ignored; 0 when there is none. An empty `find`
// gives `start` as long as start <= length + 1.
std::size_t FindNoCase(std::size_t start, std::string_view text,
                       std::string_view find);

// True when `lower_pattern` (lower case) stands at 0-based `pos` of `text`,
// the case of ASCII letters in `text` ignored.
bool StartsWithNoCase(std::string_view text, std::size_t pos,
                      std::string_view lower_pattern);

// The first 0-based p >= `from` (and >= 1) where `text[p]` is `last` and
// `text[p - 1]` is `before` or a blank: where a word ending in `before` +
// `last`, with blanks allowed between its letters, may end. npos when
// there is none.
std::size_t NextPairEnd(std::string_view text, std::size_t from, char last,
                        char before);

// Removes leading and trailing characters with codes 0 to 32.
void TrimControlChars(std::string& text);

// `text` without leading and trailing blanks (code 32 only; tabs stay).
std::string_view TrimBlanks(std::string_view text);

// A whole number as numbers placed after text in messages are written: a
// leading blank for a non-negative number (" 100"), the sign otherwise.
std::string Spaced(long long n);

}  // namespace vorn

#endif  // VORN_SUPPORT_STRINGS_H_
