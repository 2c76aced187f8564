// Small text routines on Windows-1252 strings. Positions are 1-based where
// the names say "position"; 0 means not found.
#ifndef VORN_SUPPORT_STRINGS_H_
#define VORN_SUPPORT_STRINGS_H_

#include <cstddef>
#include <string>
#include <string_view>

namespace vorn {

// Position of the first occurrence of `find` in `text` at or after `start`,
// letter case ignored; 0 when there is none. An empty `find` gives `start`
// as long as start <= length + 1.
std::size_t FindNoCase(std::size_t start, std::string_view text,
                       std::string_view find);

// Same length and equal character by character after lower-casing.
bool EqualNoCase(std::string_view a, std::string_view b);

// `text` with every occurrence of `find` replaced by `repl`, letter case
// ignored. Each pass searches again from the start, so an occurrence formed
// by a replacement is replaced too. `find` must not be empty and `repl` must
// not contain `find`; both are checked and then `text` is returned unchanged.
std::string ReplaceNoCase(std::string_view text, std::string_view find,
                          std::string_view repl);

// Removes leading and trailing characters with codes 0 to 32.
void TrimControlChars(std::string& text);

// Replaces every character of `text` that occurs in `set` by `repl`.
void ReplaceCharsInSet(std::string& text, std::string_view set, char repl);

// `text` without the character `c` from the 1-based position `first` on.
std::string RemoveChar(std::string_view text, char c, std::size_t first = 1);

// `text` without leading and trailing blanks (code 32 only; tabs stay).
std::string_view TrimBlanks(std::string_view text);

// A whole number as numbers placed after text in messages are written: a
// leading blank for a non-negative number (" 100"), the sign otherwise.
std::string Spaced(long long n);

}  // namespace vorn

#endif  // VORN_SUPPORT_STRINGS_H_
