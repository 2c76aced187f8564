// The languages the program knows: the entries of the language list in
// their order, the code of each (which names its common-words file and which
// vorn-cli takes), the number the saved state stores for each, and how the
// language of a page is found when the list says "Automatic (from the page)".
#ifndef VORN_ENGINE_LANGUAGES_H_
#define VORN_ENGINE_LANGUAGES_H_

#include <array>
#include <string>
#include <string_view>

namespace vorn {

struct Language {
  const char* item;  // the entry of the language list
  const char* code;  // "cmwds_" + code + ".txt"; vorn-cli's --language
  int state_value;   // what the saved state stores; fixed once shipped
};

// The saved state stores "automatic" as this plus the fallback's value.
inline constexpr int kAutomaticStateBase = 100;

inline constexpr int kNumLanguages = 40;
// By position in the language list: the six first languages, the others by
// their English name, "Automatic (from the page)", and "Another" last. The
// state values of the first six and of "Another" are their positions in the
// first list of seven, so that older state files keep their meaning.
inline constexpr std::array<Language, kNumLanguages> kLanguages = {{
    {"English", "en", 0},
    {"French", "fr", 1},
    {"German", "de", 2},
    {"Italian", "it", 3},
    {"Portuguese", "pt", 4},
    {"Spanish", "es", 5},
    {"Arabic", "ar", 7},
    {"Bulgarian", "bg", 8},
    {"Catalan", "ca", 9},
    {"Chinese", "zh", 10},
    {"Croatian", "hr", 11},
    {"Czech", "cs", 12},
    {"Danish", "da", 13},
    {"Dutch", "nl", 14},
    {"Estonian", "et", 15},
    {"Finnish", "fi", 16},
    {"Greek", "el", 17},
    {"Hebrew", "he", 18},
    {"Hindi", "hi", 19},
    {"Hungarian", "hu", 20},
    {"Indonesian", "id", 21},
    {"Japanese", "ja", 22},
    {"Korean", "ko", 23},
    {"Latvian", "lv", 24},
    {"Lithuanian", "lt", 25},
    {"Nepali", "ne", 26},
    {"Norwegian", "no", 27},
    {"Persian", "fa", 28},
    {"Polish", "pl", 29},
    {"Romanian", "ro", 30},
    {"Russian", "ru", 31},
    {"Slovak", "sk", 32},
    {"Slovenian", "sl", 33},
    {"Swedish", "sv", 34},
    {"Thai", "th", 35},
    {"Turkish", "tr", 36},
    {"Ukrainian", "uk", 37},
    {"Vietnamese", "vi", 38},
    {"Automatic (from the page)", "auto", kAutomaticStateBase},
    {"Another", "xx", 6},
}};
inline constexpr int kEnglish = 0;
inline constexpr int kFrench = 1;
inline constexpr int kGerman = 2;
inline constexpr int kAutomaticLanguage = 38;
inline constexpr int kAnotherLanguage = 39;

// True for the "Automatic (from the page)" entry.
inline bool IsAutomatic(int language) { return language == kAutomaticLanguage; }
// True for an entry that has a common-words file: every language and
// "Another", not "Automatic".
inline bool HasWordList(int language) {
  return language >= 0 && language < kNumLanguages && !IsAutomatic(language);
}

// The position of the entry whose code is `code`, letter case ignored
// ("auto" and "xx" included); -1 when there is none.
int LanguageOfCode(std::string_view code);

// The position of the language a page's language tag ("fr-CA", "nb",
// "zh-Hans") names by its primary subtag, letter case ignored: "nb" and
// "nn" give Norwegian, the withdrawn "iw" and "in" Hebrew and Indonesian,
// and country codes that name no language but are often written for one
// ("jp", "cn", "cz", "gr", "ua", "dk", "vn") their country's language.
// -1 for a tag that names no language with a list of its own (never
// "Another" or "Automatic").
int LanguageOfTag(std::string_view tag);

// The state value of a language list entry that is not "Automatic".
int StateValueOf(int language);
// The position of the entry stored as `value`, "Automatic" excluded; -1
// when no entry has it.
int LanguageOfStateValue(int value);

// The language tag a page declares: the `lang` (else `xml:lang`) attribute
// of its <html> start tag, else the first language of the content of a
// <meta http-equiv="Content-Language"> tag. Only the markup before <body>
// or </head> is looked at; comments, scripts, styles and the title are
// skipped. Empty when the page declares none (or an empty one).
std::string DeclaredLanguageTag(std::string_view page);

// How the language of a page was chosen.
enum class LanguageSource {
  kChosen,    // the language list names one language
  kDeclared,  // automatic: the page declares a language with a list
  kFallback,  // automatic: the page declares none with a list
};

struct PageLanguage {
  int language = kEnglish;  // a position with a word list
  LanguageSource source = LanguageSource::kChosen;
  // With kFallback: the primary subtag of a declared language that has no
  // list ("sw"), else empty.
  std::string unlisted;
};

// The language whose common words a page's words are checked against:
// `chosen` unless it is "Automatic", else the language the page declares,
// else `fallback`.
PageLanguage ResolvePageLanguage(int chosen, int fallback,
                                 std::string_view page);

// The report line that names a page's language in an automatic run, without
// a line end: "Language: French (declared)", "Language: English
// (fallback)", "Language: English (fallback; no list for "sw")", followed by
// " - common words not available" when `list_missing`.
std::string LanguageReportLine(const PageLanguage& page, bool list_missing);

}  // namespace vorn

#endif  // VORN_ENGINE_LANGUAGES_H_
