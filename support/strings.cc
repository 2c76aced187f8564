#include "support/strings.h"

#include <bit>
#include <cstdint>
#include <cstring>

#include "support/unicode.h"

namespace vorn {

bool StartsWithNoCase(std::string_view text, std::size_t pos,
                      std::string_view lower_pattern) {
  if (pos > text.size() || text.size() - pos < lower_pattern.size())
    return false;
  for (std::size_t i = 0; i < lower_pattern.size(); ++i)
    if (LowerAsciiChar(text[pos + i]) != lower_pattern[i]) return false;
  return true;
}

std::size_t FindNoCase(std::size_t start, std::string_view text,
                       std::string_view find) {
  if (start == 0) start = 1;
  if (find.empty()) return start <= text.size() + 1 ? start : 0;
  if (find.size() > text.size()) return 0;
  const std::string lower_find = LowerAscii(find);
  const std::size_t last = text.size() - find.size() + 1;
  // A first character without case (as the "<" of a tag) is looked for
  // with memchr, the rest compared where it stands.
  const char first = lower_find[0];
  const bool caseless_first = first < 'a' || first > 'z';
  for (std::size_t i = start; i <= last; ++i) {
    if (caseless_first) {
      const void* hit = std::memchr(text.data() + i - 1, first, last - i + 1);
      if (hit == nullptr) return 0;
      i = static_cast<std::size_t>(static_cast<const char*>(hit) -
                                   text.data()) +
          1;
    }
    std::size_t k = 0;
    while (k < find.size() && LowerAsciiChar(text[i - 1 + k]) == lower_find[k])
      ++k;
    if (k == find.size()) return i;
  }
  return 0;
}

std::size_t NextPairEnd(std::string_view text, std::size_t from, char last,
                        char before) {
  // Sixteen positions at a time: `last` is common in markup (a quote, an
  // equals sign), so a memchr for each would stop every few bytes.
  using Bytes = char __attribute__((vector_size(16)));
  const Bytes lasts = Bytes{} + last;
  const Bytes befores = Bytes{} + before;
  const Bytes blanks = Bytes{} + ' ';
  const std::size_t n = text.size();
  std::size_t p = from == 0 ? 1 : from;
  for (; p + 16 <= n; p += 16) {
    Bytes here;
    Bytes previous;
    std::memcpy(&here, text.data() + p, 16);
    std::memcpy(&previous, text.data() + p - 1, 16);
    const auto hits =
        (here == lasts) & ((previous == befores) | (previous == blanks));
    std::uint64_t low;
    std::uint64_t high;
    std::memcpy(&low, &hits, 8);
    std::memcpy(&high, reinterpret_cast<const char*>(&hits) + 8, 8);
    if (low != 0)
      return p + static_cast<std::size_t>(std::countr_zero(low)) / 8;
    if (high != 0)
      return p + 8 + static_cast<std::size_t>(std::countr_zero(high)) / 8;
  }
  for (; p < n; ++p)
    if (text[p] == last && (text[p - 1] == before || text[p - 1] == ' '))
      return p;
  return std::string_view::npos;
}

void TrimControlChars(std::string& text) {
  std::size_t b = 0;
  std::size_t e = text.size();
  while (b < e && static_cast<unsigned char>(text[b]) <= 32) ++b;
  while (e > b && static_cast<unsigned char>(text[e - 1]) <= 32) --e;
  text = text.substr(b, e - b);
}

std::string_view TrimBlanks(std::string_view text) {
  std::size_t b = 0;
  std::size_t e = text.size();
  while (b < e && text[b] == ' ') ++b;
  while (e > b && text[e - 1] == ' ') --e;
  return text.substr(b, e - b);
}

std::string Spaced(long long n) {
  return n < 0 ? std::to_string(n) : " " + std::to_string(n);
}

}  // namespace vorn
