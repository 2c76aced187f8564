// Text as the program holds it: the classification of a code point (the
// Windows-1252 ones by the program's own rules, the others by ICU), letter
// case, word shape, the split of unspaced scripts, and the page encodings.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "support/cp1252.h"
#include "support/encoding.h"
#include "support/unicode.h"

namespace vorn {
namespace {

// One row per class boundary. "L" letter, "J" joiner, "a" Latin, "u"
// unspaced script, "v" vowel, "y" vowel when y counts, "W" wide, "0" zero
// width; "" nothing.
std::string FlagsText(char32_t cp) {
  const std::uint16_t f = CharFlags(cp);
  std::string s;
  const struct {
    std::uint16_t bit;
    char c;
  } kBits[] = {{kLetterChar, 'L'},   {kJoinerChar, 'J'},   {kLatinChar, 'a'},
               {kUnspacedChar, 'u'}, {kVowelChar, 'v'},    {kVowelYChar, 'y'},
               {kWideChar, 'W'},     {kZeroWidthChar, '0'}};
  for (const auto& b : kBits)
    if (f & b.bit) s += b.c;
  return s;
}

// Windows-1252 keeps its rules: letters A-Z and 192-255 but × ÷, and Š Œ Ž
// Ÿ (œ a vowel); ª µ are no word characters; Ý ÿ ç no vowels. Latin beyond
// it: vowels by their base letter (ą ı ŷ ｉ). Other scripts: Cyrillic,
// Devanagari with its virama (zero width) and a spacing vowel sign. Unspaced
// scripts: Han, kana (with the prolonged sound mark), Thai and its tone
// marks, a Han ideograph beyond the Basic Multilingual Plane; Hangul is
// spaced. Digits of other scripts are no word characters, like ASCII ones;
// ZWNJ and a combining acute join, ZERO WIDTH SPACE does not.
TEST(TextTest, EveryCodePointHasOneClass) {
  const struct {
    char32_t cp;
    const char* flags;
  } kCases[] = {
      {'a', "Lav"},    {'y', "Lay"},     {'0', ""},        {0xE9, "Lav"},
      {0xDD, "La"},    {0xD7, ""},       {0xAA, ""},       {0xB5, ""},
      {0x160, "La"},   {0x153, "Lav"},   {0x105, "Lav"},   {0x142, "La"},
      {0x131, "Lav"},  {0x177, "Lay"},   {0xFF49, "LavW"}, {0x416, "L"},
      {0x915, "L"},    {0x94D, "J0"},    {0x93E, "J"},     {0x4E2D, "LuW"},
      {0x3042, "LuW"}, {0x30FC, "LuW"},  {0x0E01, "Lu"},   {0x0E48, "Ju0"},
      {0xAC00, "LW"},  {0x20000, "LuW"}, {0x660, ""},      {0x200C, "J0"},
      {0x200B, ""},    {0x301, "J0"},    {0x1F600, ""}};
  for (const auto& c : kCases)
    EXPECT_EQ(FlagsText(c.cp), c.flags)
        << std::hex << "U+" << static_cast<std::uint32_t>(c.cp);
}

TEST(TextTest, LowerCase) {
  const struct {
    std::string text;
    std::string lower;
  } kCases[] = {
      // À É Š Œ Ÿ lower, × (between the capitals) stays.
      {"\xC3\x80\xC3\x89 \xC5\xA0\xC5\x92\xC5\xB8 \xC3\x97",
       "\xC3\xA0\xC3\xA9 \xC5\xA1\xC5\x93\xC3\xBF \xC3\x97"},
      {"\xD0\x9C\xD0\x98\xD0\xA0", "\xD0\xBC\xD0\xB8\xD1\x80"},  // МИР
      // Σ ends a word as ς, begins or stands alone as σ.
      {"\xCE\x9F\xCE\x94\xCE\x9F\xCE\xA3, \xCE\xA3\xCE\x91 \xCE\xA3",
       "\xCE\xBF\xCE\xB4\xCE\xBF\xCF\x82, \xCF\x83\xCE\xB1 \xCF\x83"},
      {"\xC4\xB0stanbul", "istanbul"},  // İ
      {"A\xFF.B", "a\xFF.b"},           // a byte that is not UTF-8 stays
  };
  for (const auto& c : kCases) EXPECT_EQ(LowerText(c.text), c.lower) << c.text;
  EXPECT_EQ(LowerAscii("AbC\xC3\x89"), "abc\xC3\x89");
}

TEST(TextTest, WordShapeAndNfc) {
  const struct {
    std::string word;
    std::size_t chars, columns;
    bool latin;
  } kCases[] = {
      {"\xE4\xB8\xAD\xE6\x96\x87", 2, 4, false},  // 中文: wide
      {"\xEF\xBD\x88\xEF\xBD\x94", 2, 4, true},   // ｈｔ: fullwidth
      {"\xE0\xA4\x95\xE0\xA5\x8D\xE0\xA4\xB7", 3, 2, false},  // क्ष: virama 0
      {"cafe\xCC\x81", 5, 4, true},                           // e + acute
      {"Linux\xE5\x86\x85", 6, 7, false},
  };
  for (const auto& c : kCases) {
    const WordShape s = ShapeOf(c.word);
    EXPECT_EQ(s.chars, c.chars) << c.word;
    EXPECT_EQ(s.columns, c.columns) << c.word;
    EXPECT_EQ(s.latin, c.latin) << c.word;
  }
  EXPECT_EQ(ToNfc("cafe\xCC\x81"), "caf\xC3\xA9");
  EXPECT_EQ(ToNfc("a\xFF"), "a\xFF");  // not UTF-8: as it is
}

std::vector<std::string> Split(const std::string& run) {
  WordSplitter splitter;
  std::vector<std::string> words;
  splitter.Split(run, [&](std::size_t offset, std::size_t length) {
    words.push_back(run.substr(offset, length));
  });
  return words;
}

TEST(TextTest, UnspacedRunsSplitIntoWords) {
  using Words = std::vector<std::string>;
  const struct {
    std::string run;
    Words words;
  } kCases[] = {
      // A dictionary word stays whole; Latin and Han part at the script.
      {"中华人民共和国", {"中华", "人民", "共和国"}},
      {"Linux内核", {"Linux", "内", "核"}},
      // A katakana run is one word, prolonged sound mark and all; the
      // particle after it is not.
      {"ディストリビューションの選択",
       {"ディストリビューション", "の", "選択"}},
      {"ภาษาไทย", {"ภาษา", "ไทย"}},
  };
  for (const auto& c : kCases) EXPECT_EQ(Split(c.run), c.words) << c.run;
}

TEST(TextTest, Utf8Validity) {
  for (std::string text :
       {"", "\xF4\x8F\xBF\xBF", "\xED\x9F\xBF", "\xEE\x80\x80", "12345678ab"})
    EXPECT_TRUE(IsValidUtf8(text)) << testing::PrintToString(text);
  // Truncated, a lone or a bad continuation, overlong forms, a surrogate,
  // above U+10FFFF, F5; after eight ASCII bytes too.
  const struct {
    std::string text;
    std::size_t bad;
  } kBad[] = {{"\xF0\x9F\x98", 0},     {"\x80", 0},
              {"a\xE2\x28\xA1", 1},    {"\xE0\x9F\xBF", 0},
              {"\xF0\x8F\xBF\xBF", 0}, {"\xED\xA0\x80", 0},
              {"\xF4\x90\x80\x80", 0}, {"\xF5\x80\x80\x80", 0},
              {"12345678\xC3", 8}};
  for (const auto& c : kBad)
    EXPECT_EQ(FirstInvalidUtf8(c.text), c.bad)
        << testing::PrintToString(c.text);
  // A bad byte anywhere in or after the ASCII strides.
  for (std::size_t at = 0; at < 72; ++at) {
    std::string text(72, 'a');
    text[at] = '\x80';
    EXPECT_EQ(FirstInvalidUtf8(text), at) << at;
  }
  EXPECT_FALSE(HasNonAscii(std::string(20, '\x7F')));
  EXPECT_TRUE(HasNonAscii(std::string(9, 'a') + "\x80" + std::string(10, 'a')));
  EXPECT_TRUE(HasNonAscii(std::string(16, 'a') + "\xFF"));
}

// Every defined byte goes to its own code point and back; the five
// undefined ones stay as they are (and the encoder refuses them).
TEST(TextTest, Windows1252BytesRoundTrip) {
  const TextEncoder encoder(Encoding::Windows1252());
  for (int b = 0; b < 256; ++b) {
    const std::string byte(1, static_cast<char>(b));
    const bool undefined =
        b == 0x81 || b == 0x8D || b == 0x8F || b == 0x90 || b == 0x9D;
    std::string back;
    EXPECT_EQ(encoder.Encode(Cp1252ToUtf8(byte), &back), !undefined) << b;
    EXPECT_EQ(back, undefined ? "" : byte) << b;
  }
  EXPECT_EQ(Cp1252ToUtf8("\x80\x9F\xA0\x81"),
            "\xE2\x82\xAC\xC5\xB8\xC2\xA0\xC2\x81");
}

TEST(TextTest, CharsetLabels) {
  const struct {
    const char* label;
    const char* name;  // "" when not known
    Encoding::Kind kind = Encoding::Kind::kIcu;
  } kCases[] = {
      {" UTF8 ", "utf-8", Encoding::Kind::kUtf8},
      {"utf-16", "utf-8", Encoding::Kind::kUtf8},  // as browsers read it
      {"ISO-8859-1", "windows-1252", Encoding::Kind::kWindows1252},
      {"Shift_JIS", "shift_jis"},
      {"x-no-such-charset", ""},
      {"ibm037", ""},  // EBCDIC: its markup would not be ASCII
      {"", ""},
  };
  for (const auto& c : kCases) {
    const std::optional<Encoding> e = EncodingForLabel(c.label);
    EXPECT_EQ(e ? e->name : "", c.name) << c.label;
    if (e) {
      EXPECT_EQ(e->kind, c.kind) << c.label;
    }
  }
  EXPECT_EQ(EncodingForLabel("gb2312")->converter, "GBK");  // the superset
}

TEST(TextTest, DecodeInTheDeclaredEncoding) {
  const struct {
    std::string bytes;
    const char* label;
    std::string text;
    std::size_t bad = std::string::npos;
  } kCases[] = {
      {"caf\xE9 \x80", "windows-1252", "caf\xC3\xA9 \xE2\x82\xAC"},
      {"\x81", "windows-1252", "\xC2\x81"},  // unassigned: a C1 control
      {"a\xFF.", "utf-8", "a\xEF\xBF\xBD.", 1},
      {"\xF0\xD2\xC9", "koi8-r", "\xD0\x9F\xD1\x80\xD0\xB8"},
      {"\x82\xA0\x88\x9F", "shift_jis", "\xE3\x81\x82\xE4\xBA\x9C"},
      {"ab\x82", "shift_jis", "ab\xEF\xBF\xBD", 2},  // cut short
  };
  for (const auto& c : kCases) {
    std::string text;
    EXPECT_EQ(DecodeText(c.bytes, *EncodingForLabel(c.label), &text), c.bad)
        << c.label << " " << testing::PrintToString(c.bytes);
    EXPECT_EQ(text, c.text)
        << c.label << " " << testing::PrintToString(c.bytes);
  }
}

TEST(TextTest, EncodeForThePage) {
  const struct {
    const char* label;
    std::string text;
    std::string bytes;    // "" when refused
    char32_t unheld = 0;  // the first code point refused
    std::string with_references;
    std::size_t size;  // references counted for what the encoding lacks
  } kCases[] = {
      {"windows-1252", "caf\xC3\xA9", "caf\xE9", 0, "caf\xC3\xA9", 4},
      {"windows-1252", "\xD0\x9C\xD0\xB8", "", 0x41C, "&#1052;&#1080;", 14},
      {"windows-1251", "caf\xC3\xA9", "", 0xE9, "caf&#233;", 9},
      {"shift_jis", "\xE3\x81\x82", "\x82\xA0", 0, "\xE3\x81\x82", 2},
      {"iso-2022-jp", "a\xE3\x81\x82", "a\x1B$B$\"\x1B(B", 0, "a\xE3\x81\x82",
       9},
      // Windows-1258 holds ệ as ê and a combining dot below.
      {"windows-1258", "vi\xE1\xBB\x87t", "vi\xEA\xF2t", 0, "vi\xE1\xBB\x87t",
       5},
  };
  for (const auto& c : kCases) {
    const TextEncoder encoder(*EncodingForLabel(c.label));
    std::string bytes;
    EXPECT_EQ(encoder.Encode(c.text, &bytes), !c.bytes.empty())
        << c.label << " " << c.text;
    if (!c.bytes.empty()) {
      EXPECT_EQ(bytes, c.bytes) << c.label;
    }
    EXPECT_EQ(static_cast<std::uint32_t>(encoder.FirstUnheld(c.text)),
              static_cast<std::uint32_t>(c.unheld))
        << c.label << " " << c.text;
    EXPECT_EQ(encoder.WithReferences(c.text), c.with_references) << c.label;
    EXPECT_EQ(encoder.EncodedSize(c.text), c.size) << c.label << " " << c.text;
  }
  EXPECT_EQ(DescribeCharacter(0x41F), "\"\xD0\x9F\" (U+041F)");
}

}  // namespace
}  // namespace vorn
