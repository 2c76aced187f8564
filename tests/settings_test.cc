// The analysis settings: lists, defaults, the cleaning and range checks of
// the numeric fields, the words to ignore and the stale rule.
#include "engine/settings.h"

#include <gtest/gtest.h>

#include <filesystem>
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
      << s.WordsToIgnore << "] " << s.TextLanguage << "/" << s.FallbackLanguage;
  return out.str();
}

int Code(const char* code) { return LanguageOfCode(code); }

TEST(SettingsTest, DefaultsAndRestoringThem) {
  const std::string kDefaults = "90 50 0 4 4 2 2 4 2 2 11000 50 500 ";
  EXPECT_EQ(Describe(S{}), kDefaults + "[] [] 0/0");
  EXPECT_EQ(S{}.IgnoreList(), ",");
  const S changed{1,      2,     3,           5,         6,
                  7,      8,     9,           7,         8,
                  false,  false, true,        true,      true,
                  "7",    "70",  "my phrase", "foo,bar", kAutomaticLanguage,
                  kGerman};
  // "Restore defaults" keeps the language and its fallback, and the texts
  // when asked to.
  S kept = changed;
  SetDefaults(kept, true);
  EXPECT_EQ(Describe(kept), kDefaults + "[my phrase] [foo,bar] 38/2");
  S emptied = changed;
  SetDefaults(emptied, false);
  EXPECT_EQ(Describe(emptied), kDefaults + "[] [] 38/2");
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

// The codes that vorn-cli takes (in any case) and the values that state
// files store: the first six languages and "Another" keep those of the list
// of seven. Every entry but "Automatic" and "Another" has a shipped list.
TEST(SettingsTest, LanguageCodesAndStoredValues) {
  const struct {
    const char* code;
    const char* item;
    int stored;
  } kCases[] = {{"EN", "English", 0},    {"fr", "French", 1},
                {"De", "German", 2},     {"it", "Italian", 3},
                {"pt", "Portuguese", 4}, {"es", "Spanish", 5},
                {"xX", "Another", 6},    {"ar", "Arabic", 7},
                {"no", "Norwegian", 27}, {"vi", "Vietnamese", 38}};
  for (const auto& k : kCases) {
    const int language = Code(k.code);
    ASSERT_GE(language, 0) << k.code;
    EXPECT_STREQ(kLanguages[language].item, k.item) << k.code;
    EXPECT_EQ(LanguageOfStateValue(k.stored), language) << k.code;
  }
  for (int language = 0; language < kNumLanguages; ++language) {
    const Language& l = kLanguages[language];
    EXPECT_EQ(Code(l.code), language) << l.code;  // no code twice
    if (IsAutomatic(language)) continue;
    EXPECT_EQ(LanguageOfStateValue(StateValueOf(language)), language) << l.code;
    EXPECT_EQ(std::filesystem::exists(std::string(VORN_DATA_DIR) + "/cmwds_" +
                                      l.code + ".txt"),
              language != kAnotherLanguage)
        << l.code;
  }
  EXPECT_STREQ(kLanguages[kNumLanguages - 1].item, "Another");
  for (const char* code : {"", "e", "eng", "en-GB", " en", "automatic"})
    EXPECT_EQ(Code(code), -1) << code;
}

// What a page declares: the lang (else xml:lang) of its <html> tag, else
// its Content-Language, else the lang of the body or of the first block
// (div, main, article, section) in it that has one, named by the primary subtag
// ("xx": none with a list; the fallback "Another" is taken).
TEST(SettingsTest, DeclaredLanguageOfAPage) {
  const std::string kMeta =
      "<meta http-equiv=\"Content-Language\" content=\"de, en\">";
  const struct {
    std::string page;
    const char* code;
  } kCases[] = {
      {"<html lang=\"FR-ca\">", "fr"},
      {"<html lang=' de_AT '>", "de"},
      {"<html lang=nb>", "no"},
      {"<html lang=iw>", "he"},
      {"<html lang=jp>", "ja"},
      {"<html lang=xx>", "xx"},
      {"<html lang=english>", "xx"},
      {"<!DOCTYPE html>\n<HTML\nLANG = 'it' >", "it"},
      {"<?xml?><html xml:lang=\"es\" lang=\"sv\">", "sv"},
      {"<html xmlns=\"http://www.w3.org/1999/xhtml\" xml:lang=\"es\">", "es"},
      {"<html lang=\"\"><head>" + kMeta +
           "<meta http-equiv=content-language "
           "content=fi>",
       "de"},
      {"<meta content=nl HTTP-EQUIV=content-language><html lang=da>", "da"},
      {"<!-- <html lang=\"fr\"> --><html>", "xx"},
      {"<script>x = '<html lang=\"fr\">';</script><html>", "xx"},
      {"<title>a <b> b</title><STYLE>p<x{}</style><html lang=fi>", "fi"},
      {"<head></head><html lang=\"fr\">", "fr"},
      {"<body>" + kMeta, "xx"},
      {"<html><head></head><body lang=pl><p>x", "pl"},
      {"<html><body>\n<!-- c --><script>a='<p>';</script><div class=book "
       "xml:lang=da><h1 lang=en>",
       "da"},
      {"<body><p>Hello <span lang=fr>", "xx"},
      {"<body><div>Home</div> a < b <i lang=fr><Main Lang=ru>", "ru"},
      {"<html lang=de><body lang=fr>", "de"},
      {"<head>" + kMeta + "</head><body lang=fr>", "de"},
      {"<html lang=\"fr", "xx"},  // the quote never ends
      {"<meta http-equiv=\"Content-Type\" content=\"text/html\"> a < b", "xx"}};
  for (const auto& k : kCases) {
    const PageLanguage page =
        ResolvePageLanguage(kAutomaticLanguage, kAnotherLanguage, k.page);
    EXPECT_STREQ(kLanguages[page.language].code, k.code) << k.page;
  }
}

// Choosing "Automatic" makes the language chosen until then the fallback,
// whose list stands for the pages' lists where one list is asked for; each
// page then gets the language it declares, else the fallback.
TEST(SettingsTest, ChoosingAutomaticAndThePagesLanguage) {
  constexpr int kAuto = kAutomaticLanguage;
  const struct {
    int language, fallback, select;
    const char* page;
    const char* after;  // language/fallback/common-words language, the page
  } kCases[] = {
      {kGerman, kEnglish, kAuto, "", "38/2/2 Language: German (fallback)"},
      {kAnotherLanguage, kFrench, kAuto, "<html lang=x-a>",
       "38/39/39 Language: Another (fallback)"},
      {kAuto, kGerman, kAuto, "<html lang=it>",
       "38/2/2 Language: Italian (declared)"},
      {kAuto, kGerman, kFrench, "<html lang=it>", "1/2/1 Language: French"},
  };
  for (const auto& k : kCases) {
    S s{.TextLanguage = k.language, .FallbackLanguage = k.fallback};
    SelectLanguage(s, k.select);
    const PageLanguage page =
        ResolvePageLanguage(s.TextLanguage, s.FallbackLanguage, k.page);
    EXPECT_EQ(std::to_string(s.TextLanguage) + "/" +
                  std::to_string(s.FallbackLanguage) + "/" +
                  std::to_string(CommonWordsLanguage(s)) + " " +
                  LanguageReportLine(page, false),
              k.after)
        << k.language << " " << k.fallback << " " << k.select;
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
      {"\xC3\x89T\xC3\x89 Caf\xC3\x89", "\xC3\xA9t\xC3\xA9,caf\xC3\xA9"},
      // Any script, in NFC.
      {"\xD0\x9C\xD0\x98\xD0\xA0 Cafe\xCC\x81",
       "\xD0\xBC\xD0\xB8\xD1\x80,caf\xC3\xA9"},
  };
  for (const auto& c : kCases) {
    EXPECT_EQ(NormalizeWordsToIgnore(c.in), c.normalised) << c.in;
    const S s{.WordsToIgnore = NormalizeWordsToIgnore(c.in)};
    EXPECT_EQ(s.IgnoreList(), std::string(c.normalised) + ",") << c.in;
  }
}

TEST(SettingsTest, WhichChangesMakeTheAnalysisStale) {
  std::vector<S> stale = {
      {.IgnoreShortWords = false}, {.IgnoreCommonWords = false},
      {.PreserveCase = true},      {.WordsToIgnore = "foo"},
      {.TextLanguage = kFrench},   {.TextLanguage = kAutomaticLanguage}};
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
  // The fallback counts only with "Automatic".
  EXPECT_FALSE(AffectsAnalysis(S{}, {.FallbackLanguage = kFrench}));
  const S automatic{.TextLanguage = kAutomaticLanguage};
  EXPECT_TRUE(AffectsAnalysis(automatic, {.TextLanguage = kAutomaticLanguage,
                                          .FallbackLanguage = kFrench}));
}

}  // namespace
}  // namespace vorn
