// The case-insensitive search and the trims.
#include "support/strings.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>

namespace vorn {
namespace {

TEST(StringsTest, FindNoCase) {
  const struct {
    std::size_t start;
    const char* text;
    const char* find;
    std::size_t position;
  } kCases[] = {
      {1, "Meta Name", "NAME", 6},
      {7, "Meta Name", "NAME", 0},
      {10, "Meta Name", "", 10},
      {2, "aaa", "aa", 2},
      {1, "a\xD7z", "\xF7", 0},
      // Only ASCII letters match in either case: in page bytes, any other
      // byte may be part of a character.
      {1, "caf\xC3\x89", "\xC3\xA9", 0},
      {1, "x\xC3\x80y", "\xC3\x80", 2},
      // A first character without case is looked for as it is.
      {1, "a<b<Meta", "<META", 4},
      {4, "a<b<Meta", "<meta", 4},
      {1, "<Meta", "<META", 1},
      {5, "a<b<Meta", "<meta", 0},
      {1, "<met<meta", "<meta", 5},
      {1, "ab<", "<", 3},
      {4, "ab<", "<", 0},
  };
  for (const auto& k : kCases)
    EXPECT_EQ(FindNoCase(k.start, k.text, k.find), k.position)
        << "\"" << k.find << "\" in \"" << k.text << "\" from " << k.start;
}

TEST(StringsTest, NextPairEnd) {
  // Against a byte-by-byte search: each kind of pair (and near misses) at
  // every position of texts around the 16-byte strides, from every start.
  auto slow = [](std::string_view text, std::size_t from, char last,
                 char before) {
    for (std::size_t p = std::max<std::size_t>(from, 1); p < text.size(); ++p)
      if (text[p] == last && (text[p - 1] == before || text[p - 1] == ' '))
        return p;
    return std::string_view::npos;
  };
  for (const std::string_view pair : {"s\"", " \"", "x\"", "\"s", "\"\""})
    for (std::size_t length : {2, 15, 16, 17, 33, 40})
      for (std::size_t at = 0; at + 2 <= length; ++at) {
        std::string text(length, 'a');
        text.replace(at, 2, pair);
        for (std::size_t from = 0; from <= length; ++from)
          EXPECT_EQ(NextPairEnd(text, from, '"', 's'),
                    slow(text, from, '"', 's'))
              << pair << " at " << at << " in " << length << " from " << from;
      }
}

TEST(StringsTest, TrimsAndNumbers) {
  auto trimmed = [](std::string text) {
    TrimControlChars(text);
    return text;
  };
  EXPECT_EQ(trimmed(std::string("\r\n\x01 a b\tc \0", 11)), "a b\tc");
  // 127 and the no-break space are no control characters.
  EXPECT_EQ(trimmed("\x7F\xA0"), "\x7F\xA0");
  EXPECT_EQ(TrimBlanks(" \ta\t "), "\ta\t");  // blanks only, not TABs
  EXPECT_EQ(Spaced(100), " 100");
  EXPECT_EQ(Spaced(-5), "-5");
}

}  // namespace
}  // namespace vorn
