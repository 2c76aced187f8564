#include "support/cp1252.h"

#include <array>
#include <cstring>

#include "support/unicode.h"

namespace vorn {
namespace {

// Code points of the bytes 0x80-0x9F; 0 marks the five undefined ones.
constexpr char32_t kHighControls[32] = {
    0x20AC, 0,      0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,
    0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0,      0x017D, 0,
    0,      0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,
    0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0,      0x017E, 0x0178};

constexpr std::array<char, 256> MakeLowerTable() {
  std::array<char, 256> t{};
  for (int i = 0; i < 256; ++i) t[i] = static_cast<char>(i);
  for (int i = 'A'; i <= 'Z'; ++i) t[i] = static_cast<char>(i + 32);
  for (int i = 192; i <= 222; ++i)
    if (i != 215) t[i] = static_cast<char>(i + 32);
  t[0x8A] = static_cast<char>(0x9A);  // Š
  t[0x8C] = static_cast<char>(0x9C);  // Œ
  t[0x8E] = static_cast<char>(0x9E);  // Ž
  t[0x9F] = static_cast<char>(0xFF);  // Ÿ
  return t;
}

}  // namespace

const std::array<char, 256> kCp1252Lower = MakeLowerTable();

char32_t Cp1252ToUnicode(unsigned char byte) {
  if (byte < 0x80 || byte >= 0xA0) return byte;
  const char32_t c = kHighControls[byte - 0x80];
  return c != 0 ? c : byte;
}

int UnicodeToCp1252(char32_t c) {
  if (c < 0x80 || (c >= 0xA0 && c <= 0xFF)) return static_cast<int>(c);
  for (int i = 0; i < 32; ++i)
    if (kHighControls[i] == c && c != 0) return 0x80 + i;
  return -1;
}

std::string Cp1252ToUtf8(std::string_view text) {
  std::string out;
  Cp1252ToUtf8Into(text, &out);
  return out;
}

void Cp1252ToUtf8Into(std::string_view text, std::string* out) {
  // Every byte takes at most three.
  out->resize(3 * text.size());
  char* o = out->data();
  for (char ch : text) {
    if (static_cast<unsigned char>(ch) < 0x80)
      *o++ = ch;
    else
      o += EncodeUtf8(Cp1252ToUnicode(static_cast<unsigned char>(ch)), o);
  }
  out->resize(static_cast<std::size_t>(o - out->data()));
}

bool IsValidUtf8(std::string_view text) {
  return FirstInvalidUtf8(text) == std::string_view::npos;
}

bool HasNonAscii(std::string_view text) {
  std::size_t i = 0;
  std::uint64_t any = 0;
  for (; i + 8 <= text.size(); i += 8) {
    std::uint64_t x;
    std::memcpy(&x, text.data() + i, 8);
    any |= x;
    if ((i & 4095) == 0 && (any & 0x8080808080808080ULL) != 0) return true;
  }
  for (; i < text.size(); ++i) any |= static_cast<unsigned char>(text[i]);
  return (any & 0x8080808080808080ULL) != 0;
}

}  // namespace vorn
