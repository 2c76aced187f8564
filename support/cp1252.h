// Windows-1252 text: the single-byte character set in which the engine
// works. Documents in UTF-8 are turned into it on reading, and every text
// that leaves the program for a terminal or a window is turned back.
#ifndef VORN_SUPPORT_CP1252_H_
#define VORN_SUPPORT_CP1252_H_

#include <array>
#include <cstdint>
#include <string>
#include <string_view>

namespace vorn {

// The lower case of every Windows-1252 byte.
extern const std::array<char, 256> kCp1252Lower;

// Lower case of one Windows-1252 character: A-Z, the Latin-1 capitals
// 192-222 (without 215) and the capitals Š, Œ, Ž, Ÿ. Others are unchanged.
inline char LowerCp1252(char c) {
  return kCp1252Lower[static_cast<unsigned char>(c)];
}

// Lower case of a whole text (same length as the input).
std::string LowerCp1252(std::string_view text);
void LowerCp1252InPlace(std::string& text);

// True for the ASCII letters and the Latin-1 letters 192-255 without
// × (215) and ÷ (247); for "0"-"9" only when `allow_digits`; and for any
// character of `extra`.
inline bool IsWordChar(char c, bool allow_digits = false,
                       std::string_view extra = {}) {
  const auto u = static_cast<unsigned char>(c);
  if ((u >= 'a' && u <= 'z') || (u >= 'A' && u <= 'Z')) return true;
  if (u >= 192 && u != 215 && u != 247) return true;
  if (allow_digits && u >= '0' && u <= '9') return true;
  return !extra.empty() && extra.find(c) != std::string_view::npos;
}

// The Unicode code point of a Windows-1252 byte; the five bytes that the
// code page leaves undefined map to themselves (C1 controls).
char32_t Cp1252ToUnicode(unsigned char byte);

// The Windows-1252 byte of a code point, or -1 when the code page has none.
int UnicodeToCp1252(char32_t code_point);

// Windows-1252 text as UTF-8.
std::string Cp1252ToUtf8(std::string_view text);

// UTF-8 text as Windows-1252. Every character that Windows-1252 cannot hold,
// and every byte that is not part of a valid UTF-8 sequence, becomes
// `placeholder`.
std::string Utf8ToCp1252(std::string_view text, char placeholder = '?');
// The same into `*out` (replacing its content), reusing its storage.
void Utf8ToCp1252Into(std::string_view text, std::string* out,
                      char placeholder = '?');

// UTF-8 text as Windows-1252 for an HTML page: a character that Windows-1252
// cannot hold becomes a numeric character reference ("&#8594;"); a byte
// that is not valid UTF-8 becomes "?".
std::string Utf8ToCp1252WithReferences(std::string_view text);

// True when `text` is valid UTF-8 (no overlong forms, no surrogates).
bool IsValidUtf8(std::string_view text);

// True when `text` holds at least one byte above 127.
bool HasNonAscii(std::string_view text);

}  // namespace vorn

#endif  // VORN_SUPPORT_CP1252_H_
