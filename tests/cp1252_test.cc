// Windows-1252 text: letter case, word characters and the conversions from
// and to UTF-8.
#include "support/cp1252.h"

#include <gtest/gtest.h>

#include <string>

namespace vorn {
namespace {

TEST(Cp1252Test, LowerCaseAndWordCharacters) {
  // A-Z, the Latin-1 capitals 192-222 but ×, and Š Œ Ž Ÿ; nothing else.
  EXPECT_EQ(LowerCp1252("AZ\xC0\xD6\xD8\xDE\x8A\x8C\x8E\x9F"),
            "az\xE0\xF6\xF8\xFE\x9A\x9C\x9E\xFF");
  const std::string unchanged = "@[`{az\xBF\xD7\xDF\xE0\xF7\xFF\x8B\x9A";
  EXPECT_EQ(LowerCp1252(unchanged), unchanged);
  // The forms agree on every byte.
  std::string all;
  for (int b = 0; b < 256; ++b) all.push_back(static_cast<char>(b));
  std::string in_place = all;
  LowerCp1252InPlace(in_place);
  for (int b = 0; b < 256; ++b)
    EXPECT_EQ(in_place[b], LowerCp1252(static_cast<char>(b))) << b;
  // Letters: A-Z, a-z and 192-255 but × and ÷; digits only when asked for;
  // any character of the extra set.
  for (char c : std::string("azAZ\xC0\xD6\xD8\xF6\xF8\xFF"))
    EXPECT_TRUE(IsWordChar(c)) << int(static_cast<unsigned char>(c));
  for (char c : std::string("@[`{09/:-_ \x8A\x9F\xAA\xBF\xD7\xF7"))
    EXPECT_FALSE(IsWordChar(c)) << int(static_cast<unsigned char>(c));
  for (char c : std::string("09")) EXPECT_TRUE(IsWordChar(c, true)) << c;
  EXPECT_FALSE(IsWordChar('/', true));
  EXPECT_FALSE(IsWordChar(':', true));
  EXPECT_TRUE(IsWordChar('-', false, "-'"));
  EXPECT_FALSE(IsWordChar('_', false, "-'"));
}

TEST(Cp1252Test, FromUtf8) {
  const struct {
    std::string utf8;
    std::string cp1252;     // unknown characters as "?"
    std::string with_refs;  // unknown characters as references
  } kCases[] = {
      {std::string("a\0b", 3), std::string("a\0b", 3), std::string("a\0b", 3)},
      {"caf\xC3\xA9", "caf\xE9", "caf\xE9"},
      {"\xE2\x80\x9C\xE2\x82\xAC", "\x93\x80", "\x93\x80"},  // “ €
      {"a\xE2\x86\x92", "a?", "a&#8594;"},
      {"\xF0\x9F\x98\x80", "?", "&#128512;"},
      {"\xC2\x81", "?", "&#129;"},  // a C1 control Windows-1252 lacks
      {"a\xFF", "a?", "a?"},
      {"caf\xE9", "caf?", "caf?"},
      {"\xC0\x80", "??", "??"},              // overlong
      {"\xE0\x80\xAF", "???", "???"},        // overlong
      {"\xED\xA0\x80", "???", "???"},        // surrogate
      {"\xF4\x90\x80\x80", "????", "????"},  // above U+10FFFF
      {"\xE2\x82x", "??x", "??x"},           // truncated
      {"12345678\xC3\xA9", "12345678\xE9", "12345678\xE9"},
  };
  for (const auto& k : kCases) {
    EXPECT_EQ(Utf8ToCp1252(k.utf8), k.cp1252) << k.utf8;
    EXPECT_EQ(Utf8ToCp1252WithReferences(k.utf8), k.with_refs) << k.utf8;
  }
  EXPECT_EQ(Utf8ToCp1252("a\xE2\x86\x92\xFF", '_'), "a__");
}

TEST(Cp1252Test, EveryDefinedByteRoundTrips) {
  for (int b = 0; b < 256; ++b) {
    const std::string byte(1, static_cast<char>(b));
    const std::string utf8 = Cp1252ToUtf8(byte);
    const char32_t cp = Cp1252ToUnicode(static_cast<unsigned char>(b));
    EXPECT_EQ(utf8.size() > 1, b >= 0x80) << b;
    if (b == 0x81 || b == 0x8D || b == 0x8F || b == 0x90 || b == 0x9D) {
      EXPECT_EQ(cp, static_cast<char32_t>(b)) << b;  // undefined: as is
      continue;
    }
    EXPECT_EQ(Utf8ToCp1252(utf8), byte) << b;
    EXPECT_EQ(UnicodeToCp1252(cp), b) << b;
  }
  EXPECT_EQ(Cp1252ToUtf8("\x80\x9F\xA0"), "\xE2\x82\xAC\xC5\xB8\xC2\xA0");
  EXPECT_EQ(UnicodeToCp1252(0x100), -1);
}

TEST(Cp1252Test, IsValidUtf8AndHasNonAscii) {
  // Up to U+10FFFF, around the surrogates; then truncated, a lone or a bad
  // continuation, overlong forms, a surrogate, above U+10FFFF, F5.
  for (std::string text :
       {"", "\xF4\x8F\xBF\xBF", "\xED\x9F\xBF", "\xEE\x80\x80"})
    EXPECT_TRUE(IsValidUtf8(text)) << testing::PrintToString(text);
  for (std::string text : {"\xF0\x9F\x98", "\x80", "\xE2\x28\xA1",
                           "\xE0\x9F\xBF", "\xF0\x8F\xBF\xBF", "\xED\xA0\x80",
                           "\xF4\x90\x80\x80", "\xF5\x80\x80\x80"})
    EXPECT_FALSE(IsValidUtf8(text)) << testing::PrintToString(text);
  // Non-ASCII bytes in the eight-byte strides and in the tail.
  EXPECT_FALSE(HasNonAscii(std::string(20, '\x7F')));
  EXPECT_TRUE(HasNonAscii(std::string(9, 'a') + "\x80" + std::string(10, 'a')));
  EXPECT_TRUE(HasNonAscii(std::string(16, 'a') + "\xFF"));
}

}  // namespace
}  // namespace vorn
