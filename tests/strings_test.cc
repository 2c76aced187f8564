#include "support/strings.h"

#include <gtest/gtest.h>

#include <climits>
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
      {1, "Meta Name", "meta", 1},
      {2, "Meta Name", "meta", 0},
      {1, "Meta Name", "Name ", 0},
      {1, "Meta Name", "", 1},
      {5, "Meta Name", "", 5},
      {10, "Meta Name", "", 10},  // length + 1
      {11, "Meta Name", "", 0},
      {1, "", "", 1},
      {2, "", "", 0},
      {1, "", "a", 0},
      {1, "ab", "abc", 0},
      {1, "aaa", "aa", 1},
      {2, "aaa", "aa", 2},
      {3, "aaa", "aa", 0},
      {100, "aaa", "a", 0},
      {1, "caf\xC9", "\xE9", 4},  // É / é
      {1, "x\x8Ay", "\x9A", 2},   // Š / š
      {1, "x\xFFy", "\x9F", 2},   // ÿ / Ÿ
      {1,
       "a\xD7"
       "b",
       "\xF7", 0},  // × and ÷ are not a case pair
      {1, "<B>x</b>", "</B>", 5},
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
      {"ABC", "abc", true},
      {"aBc", "AbC", true},
      {"a", "ab", false},
      {"ab", "a", false},
      {"abc", "abd", false},
      {"\xC0", "\xE0", true},  // À à
      {"\xC9T\xC9", "\xE9t\xE9", true},
      {"\xDE", "\xFE", true},   // Þ þ
      {"\x8A", "\x9A", true},   // Š š
      {"\x8C", "\x9C", true},   // Œ œ
      {"\x8E", "\x9E", true},   // Ž ž
      {"\x9F", "\xFF", true},   // Ÿ ÿ
      {"\xD7", "\xF7", false},  // × ÷
      {"\xDF", "\xFF", false},  // ß has no capital here
      {"\xC0", "a", false},
      {"[", "{", false},  // 0x5B and 0x7B differ by 32 but are no letters
      {"@", "`", false},
  };
  for (const auto& k : kCases) {
    EXPECT_EQ(EqualNoCase(k.a, k.b), k.equal) << k.a << " / " << k.b;
    EXPECT_EQ(EqualNoCase(k.b, k.a), k.equal) << k.b << " / " << k.a;
  }
}

TEST(ReplaceNoCaseTest, ReplacesEveryOccurrence) {
  const struct {
    const char* row;
    const char* text;
    const char* find;
    const char* repl;
    const char* result;
  } kCases[] = {
      {"mixed case", "x<Strong>y", "<STRONG>", "z", "xzy"},
      {"every occurrence", "<b>a</B><B>", "<b>", "\x01",
       "\x01"
       "a</B>\x01"},
      {"title", "<TITLE>T</title>", "</TITLE>", "\x03", "<TITLE>T\x03"},
      {"none", "abc", "x", "y", "abc"},
      {"empty text", "", "x", "y", ""},
      {"longer replacement", "aXa", "x", "yyy", "ayyya"},
      // The search starts again at the front: removing "ab" from "aabb"
      // forms a new "ab", which goes too.
      {"formed occurrence", "aabb", "ab", "", ""},
      {"Latin-1 letters", "\xC0la \xE0LA", "\xE0LA", "x", "x x"},
      // Texts that would never end are refused and left unchanged.
      {"empty search", "abc", "", "x", "abc"},
      {"replacement holds search", "abc", "b", "xB", "abc"},
  };
  for (const auto& k : kCases)
    EXPECT_EQ(ReplaceNoCase(k.text, k.find, k.repl), k.result) << k.row;
}

TEST(TrimControlCharsTest, DropsCodesUpTo32AtBothEnds) {
  const struct {
    const char* row;
    std::string text;
    std::string result;
  } kCases[] = {
      {"CR LF abc blank TAB", "\r\nabc \t", "abc"},
      {"only blanks", "    ", ""},
      {"empty", "", ""},
      {"nothing to trim", "abc", "abc"},
      {"one character", "a", "a"},
      {"inner blanks kept", " a b\tc ", "a b\tc"},
      {"all low codes", std::string("\x01\x1F a \0", 6), "a"},
      {"code 127 kept",
       "\x7F"
       "a\x7F",
       "\x7F"
       "a\x7F"},
      {"no-break space kept",
       "\xA0"
       "a\xA0",
       "\xA0"
       "a\xA0"},
      {"only leading", "\t\tab", "ab"},
      {"only trailing", "ab\n\n", "ab"},
  };
  for (const auto& k : kCases) {
    std::string text = k.text;
    TrimControlChars(text);
    EXPECT_EQ(text, k.result) << k.row;
  }
}

TEST(ReplaceCharsInSetTest, ReplacesEachCharacterOfTheSet) {
  const std::string kBlanks = "\t\n\r\xA0";
  const struct {
    const char* row;
    std::string text;
    std::string set;
    char repl;
    std::string result;
  } kCases[] = {
      {"TAB", "a\tb", kBlanks, ' ', "a b"},
      {"all four", "\xA0x\r\n\t", kBlanks, ' ', " x   "},
      {"none in set", "abc", kBlanks, ' ', "abc"},
      {"empty set", "a\tb", "", ' ', "a\tb"},
      {"empty text", "", kBlanks, ' ', ""},
      {"high byte replacement", "a-b", "-", '\xA0',
       "a\xA0"
       "b"},
  };
  for (const auto& k : kCases) {
    std::string text = k.text;
    ReplaceCharsInSet(text, k.set, k.repl);
    EXPECT_EQ(text, k.result) << k.row;
  }
}

TEST(RemoveCharTest, RemovesFromTheFirstPositionOn) {
  const struct {
    const char* text;
    char c;
    std::size_t first;
    const char* result;
  } kCases[] = {
      {"a b c", ' ', 1, "abc"},   {"a b c", ' ', 2, "abc"},
      {"a b c", ' ', 3, "a bc"},  // the blank at position 2 is kept
      {"a b c", ' ', 5, "a b c"}, {"a b c", ' ', 99, "a b c"},
      {"  ", ' ', 1, ""},         {"abc", 'x', 1, "abc"},
      {"", ' ', 1, ""},           {"\xE9t\xE9", '\xE9', 1, "t"},
  };
  for (const auto& k : kCases)
    EXPECT_EQ(RemoveChar(k.text, k.c, k.first), k.result)
        << "\"" << k.text << "\" from " << k.first;
  EXPECT_EQ(RemoveChar("a b c", ' '), "abc");  // default: from position 1
}

TEST(TrimBlanksTest, OnlyBlanks) {
  const struct {
    const char* text;
    const char* result;
  } kCases[] = {
      {"  a  ", "a"},
      {"\ta b\t", "\ta b\t"},
      {" \ta\t ", "\ta\t"},
      {"   ", ""},
      {"", ""},
      {"a", "a"},
  };
  for (const auto& k : kCases)
    EXPECT_EQ(TrimBlanks(k.text), k.result) << "\"" << k.text << "\"";
}

TEST(SpacedTest, BlankBeforeNonNegativeNumbers) {
  const struct {
    long long n;
    const char* text;
  } kCases[] = {
      {0, " 0"},
      {100, " 100"},
      {-5, "-5"},
      {LLONG_MAX, " 9223372036854775807"},
      {LLONG_MIN, "-9223372036854775808"},
  };
  for (const auto& k : kCases) EXPECT_EQ(Spaced(k.n), k.text) << k.n;
}

}  // namespace
}  // namespace vorn
