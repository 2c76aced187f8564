// Tests on eight bytes at once, read as one 64-bit word: each marks the
// bytes it finds by their high bit.
#ifndef VORN_SUPPORT_EIGHT_BYTES_H_
#define VORN_SUPPORT_EIGHT_BYTES_H_

#include <cstdint>

namespace vorn {

// A 1 in each byte; the high bit of each byte.
inline constexpr std::uint64_t kOnes = 0x0101010101010101ULL;
inline constexpr std::uint64_t kHighBits = 0x8080808080808080ULL;

// Nonzero when some byte of `x` is zero. Only the lowest mark is sure to
// be right: a borrow may mark a byte above it.
constexpr std::uint64_t AnyZeroByte(std::uint64_t x) {
  return (x - kOnes) & ~x & kHighBits;
}

// Marks each byte of `x` that is `c`. Exact for every byte: no sum here
// carries into the next byte.
constexpr std::uint64_t BytesEqual(std::uint64_t x, unsigned char c) {
  constexpr std::uint64_t kLow7 = ~kHighBits;
  const std::uint64_t t = x ^ (c * kOnes);
  return ~(((t & kLow7) + kLow7) | t) & kHighBits;
}

}  // namespace vorn

#endif  // VORN_SUPPORT_EIGHT_BYTES_H_
