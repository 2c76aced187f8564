#include "engine/settings.h"

#include <cctype>

#include "support/strings.h"
#include "support/unicode.h"

namespace vorn {
namespace {

bool IsTimesTen(SettingsList list) {
  return list == SettingsList::kTitleWeight ||
         list == SettingsList::kDescriptionWeight ||
         list == SettingsList::kExistingKeywordsWeight;
}

bool IsPlusOne(SettingsList list) {
  return list == SettingsList::kShortWordSize ||
         list == SettingsList::kThresholdFrequency;
}

std::optional<MessageBox> RangeMessage(std::string_view what, int limit) {
  return MessageBox{kApplicationTitle, std::string(what) + Spaced(limit) + ".",
                    Icon::kNone, Buttons::kOk};
}

}  // namespace

int ListSize(SettingsList list) { return IsPlusOne(list) ? 9 : 10; }

int ValueAt(SettingsList list, int position) {
  if (IsTimesTen(list)) return 10 * position;
  if (IsPlusOne(list)) return position + 1;
  return position;
}

int PositionOf(SettingsList list, int value) {
  for (int p = 0; p < ListSize(list); ++p)
    if (ValueAt(list, p) == value) return p;
  return -1;
}

int& SettingOf(AnalysisSettings& s, SettingsList list) {
  switch (list) {
    case SettingsList::kTitleWeight:
      return s.TitleWeight;
    case SettingsList::kDescriptionWeight:
      return s.DescriptionWeight;
    case SettingsList::kExistingKeywordsWeight:
      return s.ExistingKeywordsWeight;
    case SettingsList::kBoldWeight:
      return s.BoldWeight;
    case SettingsList::kItalicWeight:
      return s.ItalicWeight;
    case SettingsList::kTableWeight:
      return s.TableWeight;
    case SettingsList::kDivWeight:
      return s.DivWeight;
    case SettingsList::kSpanWeight:
      return s.SpanWeight;
    case SettingsList::kShortWordSize:
      return s.ShortWordSize;
    case SettingsList::kThresholdFrequency:
      return s.ThresholdFrequency;
  }
  return s.TitleWeight;  // not reached
}

void SelectLanguage(AnalysisSettings& s, int language) {
  if (IsAutomatic(language) && !IsAutomatic(s.TextLanguage))
    s.FallbackLanguage = s.TextLanguage;
  s.TextLanguage = language;
}

int CommonWordsLanguage(const AnalysisSettings& s) {
  return IsAutomatic(s.TextLanguage) ? s.FallbackLanguage : s.TextLanguage;
}

void SetDefaults(AnalysisSettings& s, bool keep_texts) {
  AnalysisSettings d;
  d.TextLanguage = s.TextLanguage;
  d.FallbackLanguage = s.FallbackLanguage;
  if (keep_texts) {
    d.BeginMetaTagWith = s.BeginMetaTagWith;
    d.WordsToIgnore = s.WordsToIgnore;
  }
  s = d;
}

void StripToNumber(std::string& text, bool allow_minus) {
  std::string out;
  bool digit_kept = false;
  bool plus_kept = false;
  bool minus_kept = false;
  for (char c : text) {
    if (c >= '0' && c <= '9') {
      out.push_back(c);
      digit_kept = true;
    } else if (c == '+' && !digit_kept && !plus_kept) {
      out.push_back(c);
      plus_kept = true;
    } else if (c == '-' && allow_minus && !digit_kept && !minus_kept) {
      out.push_back(c);
      minus_kept = true;
    }
  }
  text = out;
}

long long LeadingNumber(std::string_view text) {
  std::size_t i = 0;
  while (i < text.size() && (text[i] == ' ' || text[i] == '\t')) ++i;
  bool negative = false;
  if (i < text.size() && (text[i] == '+' || text[i] == '-')) {
    negative = text[i] == '-';
    ++i;
  }
  long long value = 0;
  for (; i < text.size() && text[i] >= '0' && text[i] <= '9'; ++i) {
    // Saturate: a field of many digits is simply very large.
    if (value > 1'000'000'000'000LL) continue;
    value = value * 10 + (text[i] - '0');
  }
  return negative ? -value : value;
}

std::optional<MessageBox> CheckMaxKeywords(std::string& text) {
  StripToNumber(text, false);
  if (text.empty()) return std::nullopt;
  const long long value = LeadingNumber(text);
  std::optional<MessageBox> box;
  if (value > kMaxMaxKeywords)
    box = RangeMessage("Maximum number of keywords in the meta tag is",
                       kMaxMaxKeywords);
  else if (value < kMinMaxKeywords)
    box = RangeMessage("Minimum number of keywords in the meta tag is",
                       kMinMaxKeywords);
  if (box) text = std::to_string(kDefaultMaxKeywords);
  return box;
}

std::optional<MessageBox> CheckMaxBytes(std::string& text) {
  StripToNumber(text, false);
  if (text.empty() || LeadingNumber(text) <= kMaxMaxBytes) return std::nullopt;
  text = std::to_string(kDefaultMaxBytes);
  return RangeMessage("Maximum number of bytes in the meta tag is",
                      kMaxMaxBytes);
}

std::string NormalizeWordsToIgnore(std::string_view text) {
  std::string s(TrimBlanks(ToNfc(LowerText(text))));
  if (!s.empty()) {
    for (char& c : s)
      if (c == ' ') c = ',';
    std::string closed;
    for (char c : s)
      if (!(c == ',' && !closed.empty() && closed.back() == ','))
        closed.push_back(c);
    s = closed;
  }
  if (!s.empty() && s.back() == ',') s.pop_back();
  return s;
}

bool AffectsAnalysis(const AnalysisSettings& a, const AnalysisSettings& b) {
  return a.TitleWeight != b.TitleWeight ||
         a.DescriptionWeight != b.DescriptionWeight ||
         a.ExistingKeywordsWeight != b.ExistingKeywordsWeight ||
         a.BoldWeight != b.BoldWeight || a.ItalicWeight != b.ItalicWeight ||
         a.TableWeight != b.TableWeight || a.DivWeight != b.DivWeight ||
         a.SpanWeight != b.SpanWeight || a.ShortWordSize != b.ShortWordSize ||
         a.ThresholdFrequency != b.ThresholdFrequency ||
         a.IgnoreShortWords != b.IgnoreShortWords ||
         a.IgnoreCommonWords != b.IgnoreCommonWords ||
         a.PreserveCase != b.PreserveCase ||
         a.WordsToIgnore != b.WordsToIgnore ||
         a.TextLanguage != b.TextLanguage ||
         (IsAutomatic(a.TextLanguage) &&
          a.FallbackLanguage != b.FallbackLanguage);
}

}  // namespace vorn
