// The analysis settings: defaults, languages, the cleaning and range checks
// of the numeric fields, the words to ignore and the stale rule.
#include "engine/settings.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "app/state_file.h"
#include "engine/ui.h"

namespace vorn {
namespace {

using S = AnalysisSettings;

// Every setting, as the state file writes them, so that whole records
// compare.
std::string Describe(const S& s) {
  SavedState state;
  state.Settings = s;
  return FormatState(state);
}

// "Restore defaults" keeps the language and its fallback, and the texts
// when asked to.
TEST(SettingsTest, RestoringTheDefaults) {
  const S changed{1,      2,     3,           5,         7,
                  8,      9,     7,           8,         6,
                  false,  false, true,        true,      true,
                  "7",    "70",  "my phrase", "foo,bar", kAutomaticLanguage,
                  kGerman};
  const S kept{.BeginMetaTagWith = "my phrase",
               .WordsToIgnore = "foo,bar",
               .TextLanguage = kAutomaticLanguage,
               .FallbackLanguage = kGerman};
  for (const bool keep_texts : {true, false}) {
    S s = changed;
    SetDefaults(s, keep_texts);
    S want = kept;
    if (!keep_texts) want.BeginMetaTagWith = want.WordsToIgnore = "";
    EXPECT_EQ(Describe(s), Describe(want)) << keep_texts;
  }
}

// The codes that vorn-cli takes (in any case) and the values that state
// files store: the first six languages and "Another" keep those of the list
// of seven. Every entry but "Automatic" and "Another" has a shipped list.
TEST(SettingsTest, LanguageCodesAndStoredValues) {
  const std::pair<const char*, int> kCases[] = {
      {"EN", 0}, {"fr", 1}, {"De", 2}, {"it", 3},  {"pt", 4},
      {"es", 5}, {"xX", 6}, {"ar", 7}, {"no", 27}, {"vi", 38}};
  for (const auto& [code, stored] : kCases)
    EXPECT_EQ(LanguageOfStateValue(stored), LanguageOfCode(code)) << code;
  for (int language = 0; language < kNumLanguages; ++language) {
    const Language& l = kLanguages[language];
    EXPECT_EQ(LanguageOfCode(l.code), language) << l.code;  // no code twice
    if (IsAutomatic(language)) continue;
    EXPECT_EQ(LanguageOfStateValue(StateValueOf(language)), language) << l.code;
    EXPECT_EQ(std::filesystem::exists(std::string(VORN_DATA_DIR) + "/cmwds_" +
                                      l.code + ".txt"),
              language != kAnotherLanguage)
        << l.code;
  }
  for (const char* code : {"", "e", "eng", "en-GB", " en", "automatic"})
    EXPECT_EQ(LanguageOfCode(code), -1) << code;
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

// Leaving a numeric field keeps its digits and one "+" before them ('m':
// and one "-", where a minus is allowed); a value out of range gives its
// message and the default.
TEST(SettingsTest, NumericFields) {
  const std::string kMax = "Maximum number of keywords in the meta tag is 100.";
  const std::string kMin = "Minimum number of keywords in the meta tag is 5.";
  const std::string kBytes = "Maximum number of bytes in the meta tag is 1000.";
  const struct {
    char field;  // 'k' keywords, 'b' bytes, 'm' a number with a minus
    const char* typed;
    std::string box;  // "": none shown
    const char* left;
  } kCases[] = {{'k', "12a3", kMax, "50"}, {'k', "4", kMin, "50"},
                {'k', "+", kMin, "50"},    {'k', "5", "", "5"},
                {'k', "100", "", "100"},   {'k', "++7", "", "+7"},
                {'k', "-7", "", "7"},      {'k', "7+1", "", "71"},
                {'k', "abc", "", ""},      {'b', "x1x0x0x1", kBytes, "500"},
                {'b', "1000", "", "1000"}, {'b', "0", "", "0"},
                {'m', "7-", "", "7"},      {'m', "--7", "", "-7"},
                {'m', "-+-7", "", "-+7"}};
  for (const auto& c : kCases) {
    std::string text = c.typed;
    std::optional<MessageBox> box;
    if (c.field == 'm')
      StripToNumber(text, true);
    else
      box = c.field == 'b' ? CheckMaxBytes(text) : CheckMaxKeywords(text);
    EXPECT_EQ(box ? box->text : "", c.box) << c.typed;
    EXPECT_EQ(text, c.left) << c.typed;
  }
  std::string many(20, '9');  // very large, not wrapped round
  EXPECT_TRUE(CheckMaxKeywords(many));
}

// Lower case in NFC, any script; only blanks separate; a leading comma
// stays.
TEST(SettingsTest, WordsToIgnore) {
  const std::pair<const char*, const char*> kCases[] = {
      {"  Foo  bar,, Baz ,", "foo,bar,baz"},
      {"   ", ""},
      {",,", ""},
      {",a", ",a"},
      {"a\tb", "a\tb"},
      {"\xC3\x89T\xC3\x89 Caf\xC3\x89", "\xC3\xA9t\xC3\xA9,caf\xC3\xA9"},
      {"\xD0\x9C\xD0\x98\xD0\xA0 Cafe\xCC\x81",
       "\xD0\xBC\xD0\xB8\xD1\x80,caf\xC3\xA9"}};
  for (const auto& [in, normalised] : kCases)
    EXPECT_EQ(NormalizeWordsToIgnore(in), normalised) << in;
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
