// The analysis settings: lists, defaults, the cleaning and range checks of
// the numeric fields, the words to ignore and the stale rule.
#include "engine/settings.h"

#include <gtest/gtest.h>

#include <optional>
#include <sstream>
#include <string>
#include <vector>

#include "engine/ui.h"
#include "tests/support/fake_view.h"

namespace vorn {
namespace {

using S = AnalysisSettings;

// Every field: the ten list values, the five check boxes, then the texts
// and the language, so that whole records compare.
std::string Describe(const S& s) {
  std::ostringstream out;
  for (int v : {s.TitleWeight, s.DescriptionWeight, s.ExistingKeywordsWeight,
                s.BoldWeight, s.ItalicWeight, s.TableWeight, s.DivWeight,
                s.SpanWeight, s.ShortWordSize, s.ThresholdFrequency})
    out << v << " ";
  out << s.IgnoreShortWords << s.IgnoreCommonWords << s.PreserveCase
      << s.SpaceAfterComma << s.ForwardSlash << " " << s.MaxNumKeywordsInMetaTag
      << " " << s.MaxNumBytesInMetaTag << " [" << s.BeginMetaTagWith << "] ["
      << s.WordsToIgnore << "] " << s.TextLanguage;
  return out.str();
}

TEST(SettingsTest, DefaultsAndRestoringThem) {
  const std::string kDefaults = "90 50 0 4 4 2 2 4 2 2 11000 50 500 ";
  EXPECT_EQ(Describe(S{}), kDefaults + "[] [] 0");
  EXPECT_EQ(S{}.IgnoreList(), ",");
  const S changed{1,    2,   3,    5,           6,         7,      8,
                  9,    7,   8,    false,       false,     true,   true,
                  true, "7", "70", "my phrase", "foo,bar", kGerman};
  // "Restore defaults" keeps the language, and the texts when asked to.
  S kept = changed;
  SetDefaults(kept, true);
  EXPECT_EQ(Describe(kept), kDefaults + "[my phrase] [foo,bar] 2");
  S emptied = changed;
  SetDefaults(emptied, false);
  EXPECT_EQ(Describe(emptied), kDefaults + "[] [] 2");
}

TEST(SettingsTest, ListsAndTheirFields) {
  using L = SettingsList;
  const struct {
    SettingsList list;
    int S::*field;
    int size, first, step, default_position;
  } kCases[] = {
      {L::kTitleWeight, &S::TitleWeight, 10, 0, 10, 9},
      {L::kDescriptionWeight, &S::DescriptionWeight, 10, 0, 10, 5},
      {L::kExistingKeywordsWeight, &S::ExistingKeywordsWeight, 10, 0, 10, 0},
      {L::kBoldWeight, &S::BoldWeight, 10, 0, 1, 4},
      {L::kItalicWeight, &S::ItalicWeight, 10, 0, 1, 4},
      {L::kTableWeight, &S::TableWeight, 10, 0, 1, 2},
      {L::kDivWeight, &S::DivWeight, 10, 0, 1, 2},
      {L::kSpanWeight, &S::SpanWeight, 10, 0, 1, 4},
      {L::kShortWordSize, &S::ShortWordSize, 9, 1, 1, 1},
      {L::kThresholdFrequency, &S::ThresholdFrequency, 9, 1, 1, 1},
  };
  for (const auto& c : kCases) {
    const int row = static_cast<int>(c.list);
    EXPECT_EQ(ListSize(c.list), c.size) << row;
    for (int p = 0; p < c.size; ++p) {
      EXPECT_EQ(ValueAt(c.list, p), c.first + p * c.step) << row << " " << p;
      EXPECT_EQ(PositionOf(c.list, c.first + p * c.step), p) << row;
    }
    EXPECT_EQ(PositionOf(c.list, c.first + c.size * c.step), -1) << row;
    EXPECT_EQ(PositionOf(c.list, c.first - 1), -1) << row;
    S s;
    EXPECT_EQ(&SettingOf(s, c.list), &(s.*c.field)) << row;
    EXPECT_EQ(PositionOf(c.list, s.*c.field), c.default_position) << row;
  }
}

TEST(SettingsTest, NumericFields) {
  const char* const kTooMany =
      "VORN | Maximum number of keywords in the meta tag is 100. | none | ok\n";
  const char* const kTooFew =
      "VORN | Minimum number of keywords in the meta tag is 5. | none | ok\n";
  const char* const kTooLarge =
      "VORN | Maximum number of bytes in the meta tag is 1000. | none | ok\n";
  const struct {
    bool bytes;  // the bytes field, else the keywords field
    const char* typed;
    const char* box;  // "": none shown
    const char* left;
  } kCases[] = {
      // Digits kept, and one "+" before them; a value out of range gives
      // its message and the default.
      {false, "12a3", kTooMany, "50"},
      {false, "101", kTooMany, "50"},
      {false, "99999999999999999999", kTooMany, "50"},
      {false, "4", kTooFew, "50"},
      {false, "+", kTooFew, "50"},
      {false, "5", "", "5"},
      {false, "100", "", "100"},
      {false, "++7", "", "+7"},
      {false, "-7", "", "7"},
      {false, "7+1", "", "71"},
      {false, "abc", "", ""},
      {true, "1001", kTooLarge, "500"},
      {true, "x1x0x0x1", kTooLarge, "500"},
      {true, "1000", "", "1000"},
      {true, "0", "", "0"},
  };
  for (const auto& c : kCases) {
    std::string text = c.typed;
    const auto box = c.bytes ? CheckMaxBytes(text) : CheckMaxKeywords(text);
    EXPECT_EQ(box ? DescribeBox(*box) + "\n" : "", c.box) << c.typed;
    EXPECT_EQ(text, c.left) << c.typed;
  }
  // With a minus allowed, the first one before any digit stays too.
  const struct {
    const char* in;
    const char* out;
  } kMinus[] = {{"--7", "-7"}, {"7-", "7"}, {"+-7", "+-7"}, {"-+-7", "-+7"}};
  for (const auto& c : kMinus) {
    std::string text = c.in;
    StripToNumber(text, true);
    EXPECT_EQ(text, c.out) << c.in;
  }
  EXPECT_EQ(LeadingNumber(" -42abc"), -42);
  EXPECT_EQ(LeadingNumber("+"), 0);
}

TEST(SettingsTest, WordsToIgnore) {
  const struct {
    const char* in;
    const char* normalised;
  } kCases[] = {
      {"  Foo  bar,, Baz ,", "foo,bar,baz"},
      {"   ", ""},
      {",,", ""},
      {",a", ",a"},      // a leading comma stays
      {"a\tb", "a\tb"},  // only blanks separate
      {"\xC9T\xC9 Caf\xC9", "\xE9t\xE9,caf\xE9"},
  };
  for (const auto& c : kCases) {
    EXPECT_EQ(NormalizeWordsToIgnore(c.in), c.normalised) << c.in;
    const S s{.WordsToIgnore = NormalizeWordsToIgnore(c.in)};
    EXPECT_EQ(s.IgnoreList(), std::string(c.normalised) + ",") << c.in;
  }
}

TEST(SettingsTest, WhichChangesMakeTheAnalysisStale) {
  std::vector<S> stale = {{.IgnoreShortWords = false},
                          {.IgnoreCommonWords = false},
                          {.PreserveCase = true},
                          {.WordsToIgnore = "foo"},
                          {.TextLanguage = kFrench}};
  for (int list = 0; list < 10; ++list)  // every weight and size list
    ++SettingOf(stale.emplace_back(), static_cast<SettingsList>(list));
  for (const S& changed : stale) {
    EXPECT_TRUE(AffectsAnalysis(S{}, changed)) << Describe(changed);
    EXPECT_TRUE(AffectsAnalysis(changed, S{})) << Describe(changed);
  }
  // The settings that only shape the tag keep the analysis current.
  const S kCurrent[] = {
      {.SpaceAfterComma = true},        {.ForwardSlash = true},
      {.MaxNumKeywordsInMetaTag = "9"}, {.MaxNumBytesInMetaTag = "99"},
      {.BeginMetaTagWith = "seo"},      {}};
  for (const S& changed : kCurrent)
    EXPECT_FALSE(AffectsAnalysis(S{}, changed)) << Describe(changed);
}

}  // namespace
}  // namespace vorn
