#include "support/strings.h"

#include <gtest/gtest.h>

#include <string>

namespace vorn {
namespace {

TEST(FindNoCaseTest, PositionsAreOneBased) {
  const struct {
    std::size_t start;
    const char* text;
    const char* find;
    std::size_t position;
  } kCases[] = {
      {1, "Meta Name", "NAME", 6},
      {6, "Meta Name", "NAME", 6},
      {7, "Meta Name", "NAME", 0},
      {2, "Meta Name", "meta", 0},
      {1, "Meta Name", "Name ", 0},
      // An empty search text is found at the start, up to length + 1.
      {1, "Meta Name", "", 1},
      {10, "Meta Name", "", 10},
      {11, "Meta Name", "", 0},
      {1, "", "", 1},
      {100, "aaa", "a", 0},
      {2, "aaa", "aa", 2},
      {1, "caf\xC9", "\xE9", 4},  // É / é
      {1, "x\x8Ay", "\x9A", 2},   // Š / š
      {1, "a\xD7z", "\xF7", 0},   // × and ÷ are not a case pair
  };
  for (const auto& k : kCases)
    EXPECT_EQ(FindNoCase(k.start, k.text, k.find), k.position)
        << "\"" << k.find << "\" in \"" << k.text << "\" from " << k.start;
}

TEST(EqualNoCaseTest, ComparesLowerCasedCharacters) {
  const struct {
    const char* a;
    const char* b;
    bool equal;
  } kCases[] = {
      {"", "", true},
      {"aBc", "AbC", true},
      {"a", "ab", false},
      {"abc", "abd", false},
      {"\xC9T\xC9", "\xE9t\xE9", true},
      {"\x8C", "\x9C", true},   // Œ œ
      {"\x9F", "\xFF", true},   // Ÿ ÿ
      {"\xD7", "\xF7", false},  // × ÷
      {"\xDF", "\xFF", false},  // ß has no capital here
      {"[", "{", false},        // 0x5B and 0x7B differ by 32 but are no letters
  };
  for (const auto& k : kCases) {
    EXPECT_EQ(EqualNoCase(k.a, k.b), k.equal) << k.a << " / " << k.b;
    EXPECT_EQ(EqualNoCase(k.b, k.a), k.equal) << k.b << " / " << k.a;
  }
}

TEST(ReplaceNoCaseTest, ReplacesEveryOccurrence) {
  const struct {
    const char* text;
    const char* find;
    const char* repl;
    const char* result;
  } kCases[] = {
      {"x<Strong>y", "<STRONG>", "z", "xzy"},
      {"<b>a</B><B>", "<b>", "-", "-a</B>-"},
      {"aXa", "x", "yyy", "ayyya"},
      // The search starts again at the front: removing "ab" from "aabb"
      // forms a new "ab", which goes too.
      {"aabb", "ab", "", ""},
      {"\xC0la \xE0LA", "\xE0LA", "x", "x x"},
      // Texts that would never end are refused and left unchanged.
      {"abc", "", "x", "abc"},
      {"abc", "b", "xB", "abc"},
  };
  for (const auto& k : kCases)
    EXPECT_EQ(ReplaceNoCase(k.text, k.find, k.repl), k.result) << k.text;
}

TEST(TrimControlCharsTest, DropsCodesUpTo32AtBothEnds) {
  const struct {
    std::string text;
    std::string result;
  } kCases[] = {
      {"\r\nabc \t", "abc"},
      {"    ", ""},
      {" a b\tc ", "a b\tc"},
      {std::string("\x01\x1F a \0", 6), "a"},
      // Code 127 and the no-break space are no control characters.
      {"\x7F"
       "a\xA0",
       "\x7F"
       "a\xA0"},
  };
  for (const auto& k : kCases) {
    std::string text = k.text;
    TrimControlChars(text);
    EXPECT_EQ(text, k.result) << k.text;
  }
}

TEST(StringsTest, ReplaceCharsInSetRemoveCharAndTrimBlanks) {
  std::string text = "a\tb\xA0\r\nc";
  ReplaceCharsInSet(text, "\t\n\r\xA0", ' ');
  EXPECT_EQ(text, "a b   c");
  text = "a-b";
  ReplaceCharsInSet(text, "", ' ');
  EXPECT_EQ(text, "a-b");

  EXPECT_EQ(RemoveChar("a b c", ' ', 1), "abc");
  EXPECT_EQ(RemoveChar("a b c", ' '), "abc");      // from position 1
  EXPECT_EQ(RemoveChar("a b c", ' ', 3), "a bc");  // the blank at 2 stays
  EXPECT_EQ(RemoveChar("a b c", ' ', 99), "a b c");
  EXPECT_EQ(RemoveChar("\xE9t\xE9", '\xE9', 1), "t");

  // Only blanks are trimmed, not TABs.
  EXPECT_EQ(TrimBlanks("  a  "), "a");
  EXPECT_EQ(TrimBlanks(" \ta\t "), "\ta\t");
  EXPECT_EQ(TrimBlanks("   "), "");
}

}  // namespace
}  // namespace vorn
