// The analysis settings: every parameter of an analysis and of the tag it
// composes, with the lists the window offers, the defaults, the cleaning and
// range checks of the numeric fields, the words to ignore, and the rule that
// tells which changes make a cached analysis stale.
#ifndef VORN_ENGINE_SETTINGS_H_
#define VORN_ENGINE_SETTINGS_H_

#include <optional>
#include <string>
#include <string_view>

#include "engine/languages.h"
#include "engine/ui.h"

namespace vorn {

inline constexpr int kDefaultMaxKeywords = 50;
inline constexpr int kMinMaxKeywords = 5;
inline constexpr int kMaxMaxKeywords = 100;
inline constexpr int kDefaultMaxBytes = 500;
inline constexpr int kMaxMaxBytes = 1000;
inline constexpr int kMaxWordLength = 60;

// Values are those the engine uses (a title weight of 90, not the list
// position 9); the Position/FromPosition helpers below convert.
struct AnalysisSettings {
  int TitleWeight = 90;        // whole weight inside <title>: 0,10..90
  int DescriptionWeight = 50;  // whole weight in the description tag
  int ExistingKeywordsWeight =
      0;                       // whole weight in the keywords tag; 0 skips it
  int BoldWeight = 4;          // added inside <b>/<strong>: 0..9
  int ItalicWeight = 4;        // added inside <i>/<em>
  int TableWeight = 2;         // added inside tables; 0 skips them
  int DivWeight = 2;           // added inside div blocks; 0 skips them
  int SpanWeight = 4;          // added inside span blocks; 0 skips them
  int ShortWordSize = 2;       // 1..9: words this long or shorter are short
  int ThresholdFrequency = 2;  // 1..9: least occurrences of a word
  bool IgnoreShortWords = true;
  bool IgnoreCommonWords = true;
  bool PreserveCase = false;     // clear: lines are lower-cased before scanning
  bool SpaceAfterComma = false;  // blank after the comma before each word
  bool ForwardSlash = false;     // close the tag with " />"
  std::string MaxNumKeywordsInMetaTag = "50";  // text of the box
  std::string MaxNumBytesInMetaTag = "500";    // text of the box
  std::string BeginMetaTagWith{};  // the user's own phrases, comma-separated
  std::string WordsToIgnore{};     // normalised: "foo,bar"
  int TextLanguage = kEnglish;     // position in the language list
  // With "Automatic": the language of pages that declare none with a list.
  int FallbackLanguage = kEnglish;

  // The normalised words to ignore followed by one comma ("foo,bar," or ",").
  std::string IgnoreList() const { return WordsToIgnore + ","; }
};

// The items of a settings list, by position, as the window shows them.
enum class SettingsList {
  kTitleWeight,
  kDescriptionWeight,
  kExistingKeywordsWeight,
  kBoldWeight,
  kItalicWeight,
  kTableWeight,
  kDivWeight,
  kSpanWeight,
  kShortWordSize,
  kThresholdFrequency
};
// Number of items of a list (10 or 9) and the value at a position.
int ListSize(SettingsList list);
int ValueAt(SettingsList list, int position);
// Position of a value in a list, or -1 when the list does not offer it.
int PositionOf(SettingsList list, int value);
// The setting that a list controls.
int& SettingOf(AnalysisSettings& s, SettingsList list);

// The language list set to `language`. Choosing "Automatic" makes the
// language chosen until then the fallback for pages that declare none.
void SelectLanguage(AnalysisSettings& s, int language);

// The language whose common-word list the settings rely on whatever the
// page: the chosen one, or with "Automatic" the fallback.
int CommonWordsLanguage(const AnalysisSettings& s);

// Restores every list and check box to its default and the two numeric
// fields to "50" and "500". The texts (begin-with, words to ignore) are
// emptied unless `keep_texts`; the language and its fallback never change.
void SetDefaults(AnalysisSettings& s, bool keep_texts);

// Keeps the decimal digits of `text`, the first "+" before any digit, and
// (when `allow_minus`) the first "-" under the same conditions.
void StripToNumber(std::string& text, bool allow_minus);

// The value of a cleaned numeric field: its leading decimal number with an
// optional sign, 0 when there is none.
long long LeadingNumber(std::string_view text);

// Leaving the maximum-keywords field: cleans `text`; when it is out of range
// returns the message box to show and sets `text` back to the default.
std::optional<MessageBox> CheckMaxKeywords(std::string& text);
// Leaving the maximum-bytes field: the same with its own limit.
std::optional<MessageBox> CheckMaxBytes(std::string& text);

// The normalised words-to-ignore text (UTF-8): lower case in NFC, trimmed,
// blanks turned into commas, runs of commas closed up, one trailing comma
// removed.
std::string NormalizeWordsToIgnore(std::string_view text);

// True when a change from `a` to `b` makes a cached analysis stale: any
// setting that changes which words count or how much they weigh. The
// tag-shaping settings (comma spacing, closing form, the two maxima, the
// begin-with phrases) leave it current.
bool AffectsAnalysis(const AnalysisSettings& a, const AnalysisSettings& b);

// The caption of the range messages and the program's name.
inline constexpr const char* kApplicationTitle = "VORN";

}  // namespace vorn

#endif  // VORN_ENGINE_SETTINGS_H_
