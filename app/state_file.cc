#include "app/state_file.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <vector>

#include "app/parameter_boxes.h"
#include "engine/document_checks.h"
#include "support/cp1252.h"
#include "support/files.h"
#include "support/unicode.h"

namespace vorn {
namespace {

// The settings lists by line, in file order.
struct ListLine {
  int line;
  SettingsList list;
};
constexpr ListLine kListLines[] = {
    {7, SettingsList::kShortWordSize},
    {8, SettingsList::kThresholdFrequency},
    {9, SettingsList::kTableWeight},
    {10, SettingsList::kExistingKeywordsWeight},
    {11, SettingsList::kBoldWeight},
    {17, SettingsList::kTitleWeight},
    {18, SettingsList::kDescriptionWeight},
    {19, SettingsList::kItalicWeight},
    {20, SettingsList::kDivWeight},
    {21, SettingsList::kSpanWeight},
};

// The check boxes of frmParameters, lines 23 to 39.
constexpr Parameter kParameterLines[] = {
    Parameter::kBackup,
    Parameter::kConfirm,
    Parameter::kAddDone,
    Parameter::kSkipDone,
    Parameter::kDontLogDone,
    Parameter::kDisplayWords,
    Parameter::kHTM,
    Parameter::kHTML,
    Parameter::kSHTM,
    Parameter::kSHTML,
    Parameter::kIncludeAllSubfolders,
    Parameter::kIncludeNewMetaTag,
    Parameter::kIncludeOldMetaTag,
    Parameter::kLogOperations,
    Parameter::kClearReportAtStart,
    Parameter::kDialogBoxForUnixFiles,
    Parameter::kSaveStateOnQuit,
};

std::string Quoted(std::string_view text) {
  std::string out = "\"";
  for (char c : text) {
    if (c == '"') out.push_back('"');
    out.push_back(c);
  }
  out.push_back('"');
  return out;
}

// A quoted text; a doubled quote inside stands for one.
std::optional<std::string> Unquoted(std::string_view line) {
  if (line.size() < 2 || line.front() != '"' || line.back() != '"')
    return std::nullopt;
  std::string out;
  for (std::size_t i = 1; i + 1 < line.size(); ++i) {
    if (line[i] == '"') {
      if (i + 2 < line.size() && line[i + 1] == '"') {
        out.push_back('"');
        ++i;
        continue;
      }
      return std::nullopt;
    }
    out.push_back(line[i]);
  }
  return out;
}

std::optional<int> Integer(std::string_view line) {
  int value = 0;
  const auto [end, ec] =
      std::from_chars(line.data(), line.data() + line.size(), value);
  if (ec != std::errc() || end != line.data() + line.size())
    return std::nullopt;
  return value;
}

// A check box value: the leading number of the line (after blanks), 0 when
// there is none; a box takes 0 (clear), 1 (ticked) or 2 (greyed) and
// refuses any other.
std::optional<int> BoxValue(std::string_view line) {
  std::size_t i = line.find_first_not_of(" \t");
  if (i == std::string_view::npos) return 0;
  bool negative = false;
  if (line[i] == '-' || line[i] == '+') negative = line[i++] == '-';
  long value = 0;
  for (; i < line.size() && line[i] >= '0' && line[i] <= '9'; ++i)
    value = std::min(value * 10 + (line[i] - '0'), 100000L);
  if (negative) value = -value;
  if (value < 0 || value > 2) return std::nullopt;
  return static_cast<int>(value);
}

// Line 22: the value of the chosen language, or for "Automatic" the base
// plus the value of the fallback.
int LanguageStateValue(const AnalysisSettings& s) {
  if (IsAutomatic(s.TextLanguage))
    return kAutomaticStateBase + StateValueOf(s.FallbackLanguage);
  return StateValueOf(s.TextLanguage);
}

bool SetLanguageFromStateValue(int value, AnalysisSettings& s) {
  if (const int language = LanguageOfStateValue(value); language >= 0) {
    s.TextLanguage = language;
    return true;
  }
  const int fallback = LanguageOfStateValue(value - kAutomaticStateBase);
  if (fallback < 0) return false;
  s.TextLanguage = kAutomaticLanguage;
  s.FallbackLanguage = fallback;
  return true;
}

}  // namespace

std::string FormatState(const SavedState& state) {
  const AnalysisSettings& s = state.Settings;
  std::vector<std::string> lines;
  lines.push_back(Quoted(state.InputFile));
  lines.push_back(Quoted(state.Folder));
  lines.push_back(Quoted(s.BeginMetaTagWith));
  lines.push_back(Quoted(s.WordsToIgnore));
  lines.push_back(Quoted(s.MaxNumKeywordsInMetaTag));
  lines.push_back(Quoted(s.MaxNumBytesInMetaTag));
  AnalysisSettings copy = s;
  auto position = [&](SettingsList list) {
    return std::to_string(PositionOf(list, SettingOf(copy, list)));
  };
  for (int k = 0; k < 5; ++k) lines.push_back(position(kListLines[k].list));
  auto box = [](bool v) { return std::string(v ? "1" : "0"); };
  lines.push_back(box(s.IgnoreShortWords));
  lines.push_back(box(s.IgnoreCommonWords));
  lines.push_back(box(s.PreserveCase));
  lines.push_back(box(s.SpaceAfterComma));
  lines.push_back(box(s.ForwardSlash));
  for (int k = 5; k < 10; ++k) lines.push_back(position(kListLines[k].list));
  lines.push_back(std::to_string(LanguageStateValue(s)));
  for (const Parameter parameter : kParameterLines)
    lines.push_back(box(ParameterValue(state.Parameters, parameter)));
  lines.push_back(state.SingleFileMode ? "#TRUE#" : "#FALSE#");
  std::string text;
  for (const std::string& line : lines) text += line + "\r\n";
  return text;
}

std::optional<SavedState> ParseState(std::string_view text) {
  std::vector<std::string_view> lines;
  ForEachLine(text, [&](std::string_view line) {
    lines.push_back(line);
    return lines.size() < 40;
  });
  if (lines.size() < 40) return std::nullopt;
  auto line = [&](int n) { return lines[static_cast<std::size_t>(n - 1)]; };

  SavedState state;
  AnalysisSettings& s = state.Settings;
  std::array<std::string, 6> texts;
  for (int n = 1; n <= 6; ++n) {
    const auto t = Unquoted(line(n));
    if (!t) return std::nullopt;
    texts[static_cast<std::size_t>(n - 1)] = *t;
  }
  state.InputFile = texts[0];
  state.Folder = texts[1];
  // The texts are written as UTF-8; a state file from an older program holds
  // them in Windows-1252, which is never valid UTF-8 once it holds more than
  // ASCII. Either way the same texts come back.
  for (std::size_t k = 2; k < texts.size(); ++k)
    if (FirstInvalidUtf8(texts[k]) != std::string::npos)
      texts[k] = Cp1252ToUtf8(texts[k]);
  s.BeginMetaTagWith = texts[2];
  s.WordsToIgnore = NormalizeWordsToIgnore(texts[3]);
  s.MaxNumKeywordsInMetaTag = texts[4];
  s.MaxNumBytesInMetaTag = texts[5];

  for (const ListLine& l : kListLines) {
    const auto p = Integer(line(l.line));
    if (!p || *p < 0 || *p >= ListSize(l.list)) return std::nullopt;
    SettingOf(s, l.list) = ValueAt(l.list, *p);
  }
  const auto language = Integer(line(22));
  if (!language || !SetLanguageFromStateValue(*language, s))
    return std::nullopt;

  bool* const analysis_boxes[] = {&s.IgnoreShortWords, &s.IgnoreCommonWords,
                                  &s.PreserveCase, &s.SpaceAfterComma,
                                  &s.ForwardSlash};
  for (int n = 12; n <= 16; ++n) {
    const auto v = BoxValue(line(n));
    if (!v) return std::nullopt;
    *analysis_boxes[n - 12] = *v == 1;
  }
  // The parameter boxes take their values in file order; a box whose value
  // changes runs its click, which may change a coupled box.
  OperationParameters& p = state.Parameters;
  ParameterEnabling& e = state.Enabling;
  for (int n = 23; n <= 39; ++n) {
    const auto v = BoxValue(line(n));
    if (!v) return std::nullopt;
    const bool ticked = *v == 1;
    const Parameter parameter = kParameterLines[n - 23];
    if (ParameterValue(p, parameter) != ticked)
      ClickParameter(p, e, parameter, ticked);
  }
  state.SingleFileMode = line(40) != "#FALSE#";
  if (!state.Folder.empty()) state.SingleFileMode = false;
  return state;
}

std::string StateFilePath() { return AppDataFilePath("vorn.usr", "Quillon"); }

std::optional<SavedState> LoadState(const std::string& path) {
  if (path.empty()) return std::nullopt;
  const std::optional<std::string> bytes = ReadFileBytes(path);
  if (!bytes) return std::nullopt;
  return ParseState(*bytes);
}

std::string SaveState(const SavedState& state, const std::string& path) {
  if (path.empty()) return "No folder for the user's settings could be found";
  return WriteFileReplacing(path, FormatState(state));
}

std::string WindowMemoryPath(const std::string& state_file) {
  if (state_file.empty()) return {};
  return FolderOfPath(state_file) + kPathSeparator + "vorn.window";
}

std::string FormatWindowMemory(const WindowMemory& memory) {
  std::string text;
  if (const auto& g = memory.geometry) {
    text += "geometry " + std::to_string(g->area.left) + " " +
            std::to_string(g->area.top) + " " + std::to_string(g->area.width) +
            " " + std::to_string(g->area.height) + " " +
            (g->maximised ? "1" : "0") + "\n";
  }
  for (const std::string& path : memory.recent) text += "recent " + path + "\n";
  return text;
}

namespace {

std::optional<WindowGeometry> ParseGeometry(std::string_view text) {
  int v[5] = {};
  const char* p = text.data();
  const char* const end = text.data() + text.size();
  for (int& value : v) {
    if (p < end && *p == ' ') ++p;
    const auto [next, error] = std::from_chars(p, end, value);
    if (error != std::errc() || next == p) return std::nullopt;
    p = next;
  }
  if (p != end || v[2] <= 0 || v[3] <= 0 || (v[4] != 0 && v[4] != 1))
    return std::nullopt;
  return WindowGeometry{{v[0], v[1], v[2], v[3]}, v[4] == 1};
}

}  // namespace

WindowMemory ParseWindowMemory(std::string_view text) {
  WindowMemory memory;
  while (!text.empty()) {
    const std::size_t eol = text.find('\n');
    std::string_view line = text.substr(0, eol);
    text = eol == std::string_view::npos ? std::string_view()
                                         : text.substr(eol + 1);
    if (line.ends_with('\r')) line.remove_suffix(1);
    if (line.starts_with("geometry ")) {
      memory.geometry = ParseGeometry(line.substr(9));
    } else if (line.starts_with("recent ") && line.size() > 7 &&
               memory.recent.size() < kMaxRecent) {
      memory.recent.emplace_back(line.substr(7));
    }
  }
  return memory;
}

void RememberRecent(std::vector<std::string>& recent, const std::string& path) {
  if (path.empty()) return;
  std::erase(recent, path);
  recent.insert(recent.begin(), path);
  if (recent.size() > kMaxRecent) recent.resize(kMaxRecent);
}

}  // namespace vorn
