// Windows-1252: the single-byte character set of older pages and lists,
// and the one whose 256 code points keep the program's original rules
// (which are word characters, their lower case). Text inside the program is
// UTF-8; Windows-1252 bytes are turned into it where they are read.
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

// True for the ASCII letters, the Latin-1 letters 192-255 without
// × (215) and ÷ (247), and the letters Š š Œ œ Ž ž Ÿ of 0x80-0x9F (Czech,
// Slovak, Slovene, Croatian, Baltic and French words hold them); for "0"-"9"
// only when `allow_digits`; and for any character of `extra`.
inline bool IsWordChar(char c, bool allow_digits = false,
                       std::string_view extra = {}) {
  const auto u = static_cast<unsigned char>(c);
  if ((u >= 'a' && u <= 'z') || (u >= 'A' && u <= 'Z')) return true;
  if (u >= 192 && u != 215 && u != 247) return true;
  if (u == 0x8A || u == 0x8C || u == 0x8E || u == 0x9A || u == 0x9C ||
      u == 0x9E || u == 0x9F)
    return true;
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
// The same into `*out` (replacing its content), reusing its storage.
void Cp1252ToUtf8Into(std::string_view text, std::string* out);

// True when `text` is valid UTF-8 (no overlong forms, no surrogates).
bool IsValidUtf8(std::string_view text);

// True when `text` holds at least one byte above 127.
bool HasNonAscii(std::string_view text);

}  // namespace vorn

#endif  // VORN_SUPPORT_CP1252_H_
