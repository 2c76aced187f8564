#include "support/cp1252.h"

#include <gtest/gtest.h>

#include <string>

namespace vorn {
namespace {

// The five bytes that Windows-1252 leaves undefined.
bool IsUndefined(int byte) {
  return byte == 0x81 || byte == 0x8D || byte == 0x8F || byte == 0x90 ||
         byte == 0x9D;
}

TEST(LowerCp1252Test, Characters) {
  const struct {
    char c;
    char lower;
  } kCases[] = {
      {'A', 'a'},       {'Z', 'z'},       {'a', 'a'},       {'z', 'z'},
      {'@', '@'},       {'[', '['},       {'0', '0'},       {'\0', '\0'},
      {'\xC0', '\xE0'},  // À
      {'\xC9', '\xE9'},  // É
      {'\xD6', '\xF6'},  // Ö
      {'\xD8', '\xF8'},  // Ø
      {'\xDE', '\xFE'},  // Þ
      {'\xD7', '\xD7'},  // × stays
      {'\xF7', '\xF7'},  // ÷ stays
      {'\xDF', '\xDF'},  // ß has no capital
      {'\xE0', '\xE0'}, {'\xFF', '\xFF'}, {'\x8A', '\x9A'},  // Š
      {'\x8C', '\x9C'},                                      // Œ
      {'\x8E', '\x9E'},                                      // Ž
      {'\x9F', '\xFF'},                                      // Ÿ
      {'\x80', '\x80'}, {'\x9A', '\x9A'}, {'\xA0', '\xA0'}, {'\xBF', '\xBF'},
  };
  for (const auto& k : kCases)
    EXPECT_EQ(LowerCp1252(k.c), k.lower)
        << static_cast<int>(static_cast<unsigned char>(k.c));
}

TEST(LowerCp1252Test, TextMatchesCharacters) {
  std::string all;
  for (int b = 0; b < 256; ++b) all.push_back(static_cast<char>(b));
  const std::string lower = LowerCp1252(all);
  ASSERT_EQ(lower.size(), all.size());
  std::string in_place = all;
  LowerCp1252InPlace(in_place);
  EXPECT_EQ(in_place, lower);
  for (int b = 0; b < 256; ++b) {
    const char c = static_cast<char>(b);
    EXPECT_EQ(lower[b], LowerCp1252(c)) << b;
    EXPECT_EQ(LowerCp1252(LowerCp1252(c)), LowerCp1252(c)) << b;
  }
}

TEST(IsWordCharTest, LettersDigitsAndExtras) {
  const struct {
    char c;
    bool digits;
    const char* extra;
    bool word;
  } kCases[] = {
      {'a', false, "", true},     {'Z', false, "", true},
      {'7', false, "", false},    {'7', true, "", true},
      {'0', true, "", true},      {'9', true, "", true},
      {'-', false, "", false},    {'-', false, "-'", true},
      {'\'', false, "-'", true},  {'_', false, "-'", false},
      {'@', false, "", false},    {'[', false, "", false},
      {'`', false, "", false},    {'{', false, "", false},
      {'\xC0', false, "", true},  {'\xE9', false, "", true},
      {'\xFF', false, "", true},  {'\xD7', false, "", false},
      {'\xF7', false, "", false}, {'\xBF', false, "", false},
      {'\xAA', false, "", false}, {'\x8A', false, "", false},
      {'\x9F', false, "", false}, {'\x8A', false, "\x8A", true},
      {' ', false, "", false},    {'\0', false, "", false},
  };
  for (const auto& k : kCases)
    EXPECT_EQ(IsWordChar(k.c, k.digits, k.extra), k.word)
        << static_cast<int>(static_cast<unsigned char>(k.c))
        << " digits=" << k.digits << " extra=\"" << k.extra << "\"";
}

TEST(Utf8ToCp1252Test, ConvertsAndReplaces) {
  const struct {
    const char* row;
    std::string utf8;
    std::string cp1252;
  } kCases[] = {
      {"ASCII", "plain text", "plain text"},
      {"empty", "", ""},
      {"NUL kept", std::string("a\0b", 3), std::string("a\0b", 3)},
      {"café", "caf\xC3\xA9", "caf\xE9"},
      {"left quote", "\xE2\x80\x9C", "\x93"},
      {"arrow",
       "a\xE2\x86\x92"
       "b",
       "a?b"},
      {"CJK", "\xE6\x97\xA5", "?"},
      {"four bytes", "\xF0\x9F\x98\x80", "?"},
      {"C1 control", "\xC2\x81", "?"},
      {"lone continuation", "\x80", "?"},
      {"invalid byte",
       "a\xFF"
       "b",
       "a?b"},
      {"overlong NUL", "\xC0\x80", "??"},
      {"overlong slash", "\xC1\xAF", "??"},
      {"overlong 3 bytes", "\xE0\x80\xAF", "???"},
      {"surrogate", "\xED\xA0\x80", "???"},
      {"above U+10FFFF", "\xF4\x90\x80\x80", "????"},
      {"truncated at end", "caf\xC3", "caf?"},
      {"truncated 3 bytes", "\xE2\x82", "??"},
      {"truncated then ASCII", "\xE2\x82x", "??x"},
      {"lead then ASCII", "\xC3x", "?x"},
      {"Latin-1 byte as such", "caf\xE9", "caf?"},
  };
  for (const auto& k : kCases)
    EXPECT_EQ(Utf8ToCp1252(k.utf8), k.cp1252) << k.row;
  EXPECT_EQ(Utf8ToCp1252("a\xE2\x86\x92\xFF", '_'), "a__");
}

TEST(Cp1252ToUtf8Test, KnownCharacters) {
  const struct {
    std::string cp1252;
    std::string utf8;
  } kCases[] = {
      {"abc", "abc"},           {"caf\xE9", "caf\xC3\xA9"},
      {"\x80", "\xE2\x82\xAC"}, {"\x9F", "\xC5\xB8"},
      {"\xA0", "\xC2\xA0"},     {"\xFF", "\xC3\xBF"},
      {"\x85", "\xE2\x80\xA6"},
  };
  for (const auto& k : kCases)
    EXPECT_EQ(Cp1252ToUtf8(k.cp1252), k.utf8) << k.cp1252;
}

TEST(Cp1252ToUtf8Test, EveryDefinedByteRoundTrips) {
  for (int b = 0; b < 256; ++b) {
    const std::string byte(1, static_cast<char>(b));
    const std::string utf8 = Cp1252ToUtf8(byte);
    EXPECT_TRUE(IsValidUtf8(utf8)) << b;
    EXPECT_EQ(utf8.size() > 1, b >= 0x80) << b;
    if (IsUndefined(b)) {
      EXPECT_EQ(Cp1252ToUnicode(static_cast<unsigned char>(b)),
                static_cast<char32_t>(b))
          << b;
      continue;
    }
    EXPECT_EQ(Utf8ToCp1252(utf8), byte) << b;
    const char32_t cp = Cp1252ToUnicode(static_cast<unsigned char>(b));
    EXPECT_EQ(UnicodeToCp1252(cp), b) << b;
  }
}

TEST(UnicodeToCp1252Test, CodePointsWithoutAByte) {
  for (const char32_t cp : {0x100, 0x2192, 0x65E5, 0x1F600, 0xFFFD})
    EXPECT_EQ(UnicodeToCp1252(cp), -1) << static_cast<long>(cp);
}

TEST(IsValidUtf8Test, Sequences) {
  const struct {
    const char* row;
    std::string text;
    bool valid;
  } kCases[] = {
      {"empty", "", true},
      {"ASCII", "abc", true},
      {"two bytes", "caf\xC3\xA9", true},
      {"three bytes", "\xE2\x82\xAC", true},
      {"four bytes", "\xF0\x9F\x98\x80", true},
      {"largest", "\xF4\x8F\xBF\xBF", true},
      {"U+FFFF", "\xEF\xBF\xBF", true},
      {"last before surrogates", "\xED\x9F\xBF", true},
      {"first after surrogates", "\xEE\x80\x80", true},
      {"truncated", "\xC3", false},
      {"truncated four", "\xF0\x9F\x98", false},
      {"lone continuation", "\x80", false},
      {"bad continuation", "\xE2\x28\xA1", false},
      {"overlong 2", "\xC0\x80", false},
      {"overlong 3", "\xE0\x9F\xBF", false},
      {"overlong 4", "\xF0\x8F\xBF\xBF", false},
      {"surrogate", "\xED\xA0\x80", false},
      {"above U+10FFFF", "\xF4\x90\x80\x80", false},
      {"F5", "\xF5\x80\x80\x80", false},
      {"FF", "\xFF", false},
      {"Latin-1", "caf\xE9", false},
  };
  for (const auto& k : kCases) EXPECT_EQ(IsValidUtf8(k.text), k.valid) << k.row;
}

TEST(HasNonAsciiTest, BytesAbove127) {
  const struct {
    std::string text;
    bool non_ascii;
  } kCases[] = {
      {"", false},     {"abc\x7F", false}, {std::string("\0", 1), false},
      {"a\x80", true}, {"\xFF", true},
  };
  for (const auto& k : kCases)
    EXPECT_EQ(HasNonAscii(k.text), k.non_ascii) << k.text;
}

}  // namespace
}  // namespace vorn
