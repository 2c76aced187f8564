#include "support/cp1252.h"

#include <array>
#include <cstring>

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

// Length of the valid UTF-8 sequence at `p` (1-4) and its code point, or 0
// when the bytes there do not start a valid sequence.
int DecodeOne(const unsigned char* p, const unsigned char* end, char32_t* cp) {
  const unsigned char b0 = p[0];
  if (b0 < 0x80) {
    *cp = b0;
    return 1;
  }
  int len;
  char32_t min;
  char32_t c;
  if (b0 >= 0xC2 && b0 <= 0xDF) {
    len = 2, min = 0x80, c = b0 & 0x1F;
  } else if (b0 >= 0xE0 && b0 <= 0xEF) {
    len = 3, min = 0x800, c = b0 & 0x0F;
  } else if (b0 >= 0xF0 && b0 <= 0xF4) {
    len = 4, min = 0x10000, c = b0 & 0x07;
  } else {
    return 0;
  }
  if (end - p < len) return 0;
  for (int i = 1; i < len; ++i) {
    if ((p[i] & 0xC0) != 0x80) return 0;
    c = (c << 6) | (p[i] & 0x3F);
  }
  if (c < min || c > 0x10FFFF || (c >= 0xD800 && c <= 0xDFFF)) return 0;
  *cp = c;
  return len;
}

void AppendUtf8(std::string& out, char32_t c) {
  if (c < 0x80) {
    out.push_back(static_cast<char>(c));
  } else if (c < 0x800) {
    out.push_back(static_cast<char>(0xC0 | (c >> 6)));
    out.push_back(static_cast<char>(0x80 | (c & 0x3F)));
  } else if (c < 0x10000) {
    out.push_back(static_cast<char>(0xE0 | (c >> 12)));
    out.push_back(static_cast<char>(0x80 | ((c >> 6) & 0x3F)));
    out.push_back(static_cast<char>(0x80 | (c & 0x3F)));
  } else {
    out.push_back(static_cast<char>(0xF0 | (c >> 18)));
    out.push_back(static_cast<char>(0x80 | ((c >> 12) & 0x3F)));
    out.push_back(static_cast<char>(0x80 | ((c >> 6) & 0x3F)));
    out.push_back(static_cast<char>(0x80 | (c & 0x3F)));
  }
}

}  // namespace

const std::array<char, 256> kCp1252Lower = MakeLowerTable();

std::string LowerCp1252(std::string_view text) {
  std::string out(text);
  LowerCp1252InPlace(out);
  return out;
}

void LowerCp1252InPlace(std::string& text) {
  for (char& c : text) c = kCp1252Lower[static_cast<unsigned char>(c)];
}

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
  out.reserve(text.size() + text.size() / 8);
  for (char ch : text)
    AppendUtf8(out, Cp1252ToUnicode(static_cast<unsigned char>(ch)));
  return out;
}

std::string Utf8ToCp1252(std::string_view text, char placeholder) {
  std::string out;
  Utf8ToCp1252Into(text, &out, placeholder);
  return out;
}

void Utf8ToCp1252Into(std::string_view text, std::string* result,
                      char placeholder) {
  // The output is never longer than the input: write into it by index.
  std::string& out = *result;
  out.resize(text.size());
  char* o = out.data();
  const auto* p = reinterpret_cast<const unsigned char*>(text.data());
  const auto* end = p + text.size();
  while (p < end) {
    // ASCII runs, eight bytes at a time.
    while (end - p >= 8) {
      std::uint64_t x;
      std::memcpy(&x, p, 8);
      if (x & 0x8080808080808080ULL) break;
      std::memcpy(o, p, 8);
      o += 8;
      p += 8;
    }
    if (p == end) break;
    if (*p < 0x80) {
      *o++ = static_cast<char>(*p++);
      continue;
    }
    char32_t cp = 0;
    const int len = DecodeOne(p, end, &cp);
    if (len == 0) {
      *o++ = placeholder;
      ++p;
      continue;
    }
    const int b = UnicodeToCp1252(cp);
    *o++ = b < 0 ? placeholder : static_cast<char>(b);
    p += len;
  }
  out.resize(static_cast<std::size_t>(o - out.data()));
}

std::string Utf8ToCp1252WithReferences(std::string_view text) {
  std::string out;
  out.reserve(text.size());
  const auto* p = reinterpret_cast<const unsigned char*>(text.data());
  const auto* end = p + text.size();
  while (p < end) {
    char32_t cp = 0;
    const int len = DecodeOne(p, end, &cp);
    if (len == 0) {
      out.push_back('?');
      ++p;
      continue;
    }
    const int b = UnicodeToCp1252(cp);
    if (b >= 0)
      out.push_back(static_cast<char>(b));
    else
      out += "&#" + std::to_string(static_cast<unsigned long>(cp)) + ";";
    p += len;
  }
  return out;
}

bool IsValidUtf8(std::string_view text) {
  const auto* p = reinterpret_cast<const unsigned char*>(text.data());
  const auto* end = p + text.size();
  while (p < end) {
    if (*p < 0x80) {
      ++p;
      continue;
    }
    char32_t cp;
    const int len = DecodeOne(p, end, &cp);
    if (len == 0) return false;
    p += len;
  }
  return true;
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
