// A fast hash for short strings and a small open-addressing set of strings,
// for look-ups that run for nearly every word of a document.
#ifndef VORN_SUPPORT_STRING_HASH_H_
#define VORN_SUPPORT_STRING_HASH_H_

#include <cstdint>
#include <cstring>
#include <string>
#include <string_view>
#include <vector>

namespace vorn {

// The `n` bytes at `p` (1 to 7) as a little-endian number. Read in two
// overlapping loads rather than copied into a zeroed word: a load of a word
// just written byte by byte waits for the writes.
inline std::uint64_t LoadShortTail(const char* p, std::size_t n) {
  if (n >= 4) {
    std::uint32_t low, high;
    std::memcpy(&low, p, 4);
    std::memcpy(&high, p + n - 4, 4);
    return low | (std::uint64_t{high} << ((n - 4) * 8));
  }
  const auto byte = [p](std::size_t i) {
    return std::uint64_t{static_cast<unsigned char>(p[i])} << (i * 8);
  };
  return byte(0) | byte(n / 2) | byte(n - 1);
}

// A hash of a short string, eight bytes at a time.
inline std::uint64_t HashBytes(std::string_view s) {
  constexpr std::uint64_t kMul = 0x9E3779B97F4A7C15ULL;
  std::uint64_t h = s.size() * kMul;
  std::size_t i = 0;
  for (; i + 8 <= s.size(); i += 8) {
    std::uint64_t x;
    std::memcpy(&x, s.data() + i, 8);
    h = (h ^ x) * kMul;
    h ^= h >> 29;
  }
  if (i < s.size()) h = (h ^ LoadShortTail(s.data() + i, s.size() - i)) * kMul;
  h ^= h >> 32;
  return h * kMul;
}

// A set of strings built once and then only searched. Searching costs one
// hash and, on average, about one comparison; nothing is allocated.
class FrozenStringSet {
 public:
  FrozenStringSet() = default;
  explicit FrozenStringSet(const std::vector<std::string>& words) {
    std::size_t capacity = 16;
    while (capacity < words.size() * 2 + 1) capacity *= 2;
    mask_ = capacity - 1;
    slots_.assign(capacity, 0);
    for (std::size_t i = 0; i < words.size(); ++i) {
      if (contains(words[i])) continue;
      words_.push_back(words[i]);
      std::size_t s = HashBytes(words[i]) & mask_;
      while (slots_[s] != 0) s = (s + 1) & mask_;
      slots_[s] = static_cast<std::uint32_t>(words_.size());
    }
  }

  bool contains(std::string_view word) const {
    if (words_.empty()) return false;
    for (std::size_t s = HashBytes(word) & mask_; slots_[s] != 0;
         s = (s + 1) & mask_)
      if (words_[slots_[s] - 1] == word) return true;
    return false;
  }

 private:
  std::vector<std::string> words_;
  std::vector<std::uint32_t> slots_;  // index into words_ + 1; 0 is empty
  std::size_t mask_ = 0;
};

}  // namespace vorn

#endif  // VORN_SUPPORT_STRING_HASH_H_
