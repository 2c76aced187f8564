// The analysis settings: lists, defaults, the cleaning and range checks of
// the numeric fields, the words to ignore and the stale rule.
#include "engine/settings.h"

#include <gtest/gtest.h>

#include <optional>
#include <string>

#include "engine/ui.h"
#include "tests/support/fake_view.h"

namespace vorn {
namespace {

using S = AnalysisSettings;

// Every field, one "name=value" per line, so that whole records compare.
std::string Describe(const AnalysisSettings& s) {
  auto b = [](bool v) { return v ? "1" : "0"; };
  return "TitleWeight=" + std::to_string(s.TitleWeight) +
         "\nDescriptionWeight=" + std::to_string(s.DescriptionWeight) +
         "\nExistingKeywordsWeight=" +
         std::to_string(s.ExistingKeywordsWeight) +
         "\nBoldWeight=" + std::to_string(s.BoldWeight) +
         "\nItalicWeight=" + std::to_string(s.ItalicWeight) +
         "\nTableWeight=" + std::to_string(s.TableWeight) +
         "\nDivWeight=" + std::to_string(s.DivWeight) +
         "\nSpanWeight=" + std::to_string(s.SpanWeight) +
         "\nShortWordSize=" + std::to_string(s.ShortWordSize) +
         "\nThresholdFrequency=" + std::to_string(s.ThresholdFrequency) +
         "\nIgnoreShortWords=" + b(s.IgnoreShortWords) +
         "\nIgnoreCommonWords=" + b(s.IgnoreCommonWords) +
         "\nPreserveCase=" + b(s.PreserveCase) +
         "\nSpaceAfterComma=" + b(s.SpaceAfterComma) +
         "\nForwardSlash=" + b(s.ForwardSlash) +
         "\nMaxNumKeywordsInMetaTag=" + s.MaxNumKeywordsInMetaTag +
         "\nMaxNumBytesInMetaTag=" + s.MaxNumBytesInMetaTag +
         "\nBeginMetaTagWith=" + s.BeginMetaTagWith +
         "\nWordsToIgnore=" + s.WordsToIgnore +
         "\nTextLanguage=" + std::to_string(s.TextLanguage) + "\n";
}

// The defaults of the window, as a record description.
const char kDefaults[] =
    "TitleWeight=90\nDescriptionWeight=50\nExistingKeywordsWeight=0\n"
    "BoldWeight=4\nItalicWeight=4\nTableWeight=2\nDivWeight=2\nSpanWeight=4\n"
    "ShortWordSize=2\nThresholdFrequency=2\nIgnoreShortWords=1\n"
    "IgnoreCommonWords=1\nPreserveCase=0\nSpaceAfterComma=0\n"
    "ForwardSlash=0\nMaxNumKeywordsInMetaTag=50\nMaxNumBytesInMetaTag=500\n";

// Every field away from its default.
AnalysisSettings AllChanged() {
  AnalysisSettings s;
  s.TitleWeight = 10;
  s.DescriptionWeight = 20;
  s.ExistingKeywordsWeight = 30;
  s.BoldWeight = 1;
  s.ItalicWeight = 2;
  s.TableWeight = 0;
  s.DivWeight = 5;
  s.SpanWeight = 6;
  s.ShortWordSize = 7;
  s.ThresholdFrequency = 8;
  s.IgnoreShortWords = false;
  s.IgnoreCommonWords = false;
  s.PreserveCase = true;
  s.SpaceAfterComma = true;
  s.ForwardSlash = true;
  s.MaxNumKeywordsInMetaTag = "7";
  s.MaxNumBytesInMetaTag = "70";
  s.BeginMetaTagWith = "my phrase";
  s.WordsToIgnore = "foo,bar";
  s.TextLanguage = kGerman;
  return s;
}

TEST(SettingsTest, DefaultsAndRestoringThem) {
  EXPECT_EQ(Describe(AnalysisSettings{}),
            std::string(kDefaults) +
                "BeginMetaTagWith=\nWordsToIgnore=\nTextLanguage=0\n");
  EXPECT_EQ(AnalysisSettings{}.IgnoreList(), ",");
  // "Restore defaults" keeps the language, and the texts when asked to.
  AnalysisSettings kept = AllChanged();
  SetDefaults(kept, true);
  EXPECT_EQ(Describe(kept),
            std::string(kDefaults) +
                "BeginMetaTagWith=my phrase\nWordsToIgnore=foo,bar\n"
                "TextLanguage=2\n");
  AnalysisSettings emptied = AllChanged();
  SetDefaults(emptied, false);
  EXPECT_EQ(Describe(emptied),
            std::string(kDefaults) +
                "BeginMetaTagWith=\nWordsToIgnore=\nTextLanguage=2\n");
}

TEST(SettingsTest, ListsAndTheirFields) {
  const struct {
    SettingsList list;
    int AnalysisSettings::*field;
    int size;
    int first;  // value of position 0
    int last;   // value of the last position
    int default_position;
  } kCases[] = {
      {SettingsList::kTitleWeight, &S::TitleWeight, 10, 0, 90, 9},
      {SettingsList::kDescriptionWeight, &S::DescriptionWeight, 10, 0, 90, 5},
      {SettingsList::kExistingKeywordsWeight, &S::ExistingKeywordsWeight, 10, 0,
       90, 0},
      {SettingsList::kBoldWeight, &S::BoldWeight, 10, 0, 9, 4},
      {SettingsList::kItalicWeight, &S::ItalicWeight, 10, 0, 9, 4},
      {SettingsList::kTableWeight, &S::TableWeight, 10, 0, 9, 2},
      {SettingsList::kDivWeight, &S::DivWeight, 10, 0, 9, 2},
      {SettingsList::kSpanWeight, &S::SpanWeight, 10, 0, 9, 4},
      {SettingsList::kShortWordSize, &S::ShortWordSize, 9, 1, 9, 1},
      {SettingsList::kThresholdFrequency, &S::ThresholdFrequency, 9, 1, 9, 1},
  };
  for (const auto& c : kCases) {
    const int row = static_cast<int>(c.list);
    EXPECT_EQ(ListSize(c.list), c.size) << row;
    // Values step evenly: 10 for the x10 lists, 1 for the others.
    const int step = (c.last - c.first) / (c.size - 1);
    for (int p = 0; p < c.size; ++p) {
      EXPECT_EQ(ValueAt(c.list, p), c.first + p * step) << row << " " << p;
      EXPECT_EQ(PositionOf(c.list, c.first + p * step), p) << row << " " << p;
    }
    EXPECT_EQ(PositionOf(c.list, c.last + step), -1) << row;
    EXPECT_EQ(PositionOf(c.list, c.first - 1), -1) << row;
    if (step > 1) {
      EXPECT_EQ(PositionOf(c.list, c.last - step / 2), -1) << row;
    }
    AnalysisSettings s;
    EXPECT_EQ(PositionOf(c.list, SettingOf(s, c.list)), c.default_position)
        << row;
    SettingOf(s, c.list) = 77;
    AnalysisSettings expected;
    expected.*c.field = 77;
    EXPECT_EQ(Describe(s), Describe(expected)) << row;
  }
}

TEST(SettingsTest, StripToNumber) {
  const struct {
    const char* in;
    bool allow_minus;
    const char* out;
  } kCases[] = {
      {"12a3", false, "123"}, {"+7", false, "+7"},  {"-7", false, "7"},
      {"7+", false, "7"},     {"++7", false, "+7"}, {"", false, ""},
      {"abc", false, ""},     {"+", false, "+"},    {"1+2", false, "12"},
      {" 4 2 ", false, "42"}, {"-7", true, "-7"},   {"--7", true, "-7"},
      {"7-", true, "7"},      {"+-7", true, "+-7"}, {"-+-7", true, "-+7"},
  };
  for (const auto& c : kCases) {
    std::string text = c.in;
    StripToNumber(text, c.allow_minus);
    EXPECT_EQ(text, c.out) << "\"" << c.in << "\" minus " << c.allow_minus;
  }
}

TEST(SettingsTest, LeadingNumber) {
  const struct {
    const char* text;
    long long value;
  } kCases[] = {{"123", 123}, {"+7", 7}, {"-7", -7},
                {"+", 0},     {"", 0},   {"42abc", 42}};
  for (const auto& c : kCases)
    EXPECT_EQ(LeadingNumber(c.text), c.value) << "\"" << c.text << "\"";
}

std::string BoxText(const std::optional<MessageBox>& box) {
  return box ? DescribeBox(*box) : "(none)";
}

TEST(SettingsTest, MaximumKeywordsField) {
  const std::string too_many =
      "VORN | Maximum number of keywords in the meta tag is 100. | none | ok";
  const std::string too_few =
      "VORN | Minimum number of keywords in the meta tag is 5. | none | ok";
  const struct {
    const char* in;
    std::string box;
    const char* out;
  } kCases[] = {
      {"12a3", too_many, "50"},  // 123
      {"101", too_many, "50"},  {"99999999999999999999", too_many, "50"},
      {"4", too_few, "50"},     {"0", too_few, "50"},
      {"+", too_few, "50"},  // reads as 0
      {"5", "(none)", "5"},     {"100", "(none)", "100"},
      {"+7", "(none)", "+7"},   {"-7", "(none)", "7"},
      {"", "(none)", ""},  // empty: not validated
      {"abc", "(none)", ""},
  };
  for (const auto& c : kCases) {
    std::string text = c.in;
    EXPECT_EQ(BoxText(CheckMaxKeywords(text)), c.box) << "\"" << c.in << "\"";
    EXPECT_EQ(text, c.out) << "\"" << c.in << "\"";
  }
}

TEST(SettingsTest, MaximumBytesField) {
  const std::string too_many =
      "VORN | Maximum number of bytes in the meta tag is 1000. | none | ok";
  const struct {
    const char* in;
    std::string box;
    const char* out;
  } kCases[] = {
      {"1001", too_many, "500"},     {"99999999999999999999", too_many, "500"},
      {"1000", "(none)", "1000"},    {"0", "(none)", "0"},  // no lower limit
      {"1", "(none)", "1"},          {"12a3", "(none)", "123"},
      {"x1x0x0x1", too_many, "500"}, {"", "(none)", ""},
  };
  for (const auto& c : kCases) {
    std::string text = c.in;
    EXPECT_EQ(BoxText(CheckMaxBytes(text)), c.box) << "\"" << c.in << "\"";
    EXPECT_EQ(text, c.out) << "\"" << c.in << "\"";
  }
}

TEST(SettingsTest, WordsToIgnore) {
  const struct {
    const char* in;
    const char* normalised;
  } kCases[] = {
      {"  Foo  bar,, Baz ,", "foo,bar,baz"},
      {"", ""},
      {"   ", ""},
      {",,", ""},
      {",a", ",a"},      // a leading comma stays
      {"a\tb", "a\tb"},  // only blanks separate
      {"A,,,B", "a,b"},
      {"x,", "x"},
      {"\xC9T\xC9 Caf\xC9", "\xE9t\xE9,caf\xE9"},  // ÉTÉ Café
  };
  for (const auto& c : kCases) {
    EXPECT_EQ(NormalizeWordsToIgnore(c.in), c.normalised)
        << "\"" << c.in << "\"";
    AnalysisSettings s;
    s.WordsToIgnore = NormalizeWordsToIgnore(c.in);
    EXPECT_EQ(s.IgnoreList(), std::string(c.normalised) + ",")
        << "\"" << c.in << "\"";
  }
}

TEST(SettingsTest, WhichChangesMakeTheAnalysisStale) {
  const struct {
    const char* field;
    void (*change)(S&);
    bool stale;
  } kCases[] = {
      {"TitleWeight", [](S& s) { s.TitleWeight = 80; }, true},
      {"DescriptionWeight", [](S& s) { s.DescriptionWeight = 40; }, true},
      {"ExistingKeywordsWeight", [](S& s) { s.ExistingKeywordsWeight = 1; },
       true},
      {"BoldWeight", [](S& s) { s.BoldWeight = 5; }, true},
      {"ItalicWeight", [](S& s) { s.ItalicWeight = 5; }, true},
      {"TableWeight", [](S& s) { s.TableWeight = 0; }, true},
      {"DivWeight", [](S& s) { s.DivWeight = 0; }, true},
      {"SpanWeight", [](S& s) { s.SpanWeight = 0; }, true},
      {"ShortWordSize", [](S& s) { s.ShortWordSize = 3; }, true},
      {"ThresholdFrequency", [](S& s) { s.ThresholdFrequency = 1; }, true},
      {"IgnoreShortWords", [](S& s) { s.IgnoreShortWords = false; }, true},
      {"IgnoreCommonWords", [](S& s) { s.IgnoreCommonWords = false; }, true},
      {"PreserveCase", [](S& s) { s.PreserveCase = true; }, true},
      {"WordsToIgnore", [](S& s) { s.WordsToIgnore = "foo"; }, true},
      {"TextLanguage", [](S& s) { s.TextLanguage = kFrench; }, true},
      {"SpaceAfterComma", [](S& s) { s.SpaceAfterComma = true; }, false},
      {"ForwardSlash", [](S& s) { s.ForwardSlash = true; }, false},
      {"MaxNumKeywords", [](S& s) { s.MaxNumKeywordsInMetaTag = "9"; }, false},
      {"MaxNumBytes", [](S& s) { s.MaxNumBytesInMetaTag = "99"; }, false},
      {"BeginMetaTagWith", [](S& s) { s.BeginMetaTagWith = "seo"; }, false},
      {"nothing", [](S&) {}, false},
  };
  for (const auto& c : kCases) {
    const AnalysisSettings a;
    AnalysisSettings b;
    c.change(b);
    EXPECT_EQ(AffectsAnalysis(a, b), c.stale) << c.field;
    EXPECT_EQ(AffectsAnalysis(b, a), c.stale) << c.field << " (back)";
  }
}

}  // namespace
}  // namespace vorn
