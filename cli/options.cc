#include "cli/options.h"

#include <algorithm>
#include <charconv>
#include <functional>
#include <map>
#include <string_view>

#include "engine/settings.h"

namespace vorn::cli {
namespace {

// A whole number in [lo, hi] that is a multiple of `step`.
std::optional<int> ParseInt(std::string_view text, int lo, int hi, int step) {
  int value = 0;
  const auto [end, ec] =
      std::from_chars(text.data(), text.data() + text.size(), value);
  if (ec != std::errc() || end != text.data() + text.size())
    return std::nullopt;
  if (value < lo || value > hi || value % step != 0) return std::nullopt;
  return value;
}

// A language code in any letter case; "auto" only when `automatic_too`.
std::optional<int> ParseLanguage(std::string_view code, bool automatic_too) {
  const int language = LanguageOfCode(code);
  if (language < 0 || (IsAutomatic(language) && !automatic_too))
    return std::nullopt;
  return language;
}

// The languages and their codes as --help lists them, four to a line.
std::string LanguageTable() {
  std::string table;
  int column = 0;
  for (int i = 0; i < kNumLanguages; ++i) {
    if (IsAutomatic(i)) continue;
    std::string cell =
        std::string(kLanguages[i].code) + " " +
        (i == kAnotherLanguage ? "your own list" : kLanguages[i].item);
    cell.resize(std::max<std::size_t>(cell.size() + 1, 17), ' ');
    table += (column == 0 ? "  " : "") + cell;
    if (++column == 4) {
      table.erase(table.find_last_not_of(' ') + 1);
      table += "\n";
      column = 0;
    }
  }
  if (column != 0) table.erase(table.find_last_not_of(' ') + 1) += "\n";
  return table;
}

std::optional<std::vector<std::string>> ParseExtensions(std::string_view list) {
  std::vector<std::string> out;
  while (true) {
    const std::size_t comma = list.find(',');
    const std::string_view item = list.substr(0, comma);
    if (item != "htm" && item != "html" && item != "shtm" && item != "shtml")
      return std::nullopt;
    out.emplace_back(item);
    if (comma == std::string_view::npos) break;
    list.remove_prefix(comma + 1);
  }
  return out;
}

struct NumberOption {
  std::optional<int> CliOptions::*field;
  int lo, hi, step;
  const char* values;
};

const std::map<std::string_view, NumberOption>& NumberOptions() {
  static const auto* options = new std::map<std::string_view, NumberOption>{
      {"--title-weight", {&CliOptions::title_weight, 0, 90, 10, "0,10,...,90"}},
      {"--description-weight",
       {&CliOptions::description_weight, 0, 90, 10, "0,10,...,90"}},
      {"--existing-keywords-weight",
       {&CliOptions::existing_keywords_weight, 0, 90, 10, "0,10,...,90"}},
      {"--bold-weight", {&CliOptions::bold_weight, 0, 9, 1, "0..9"}},
      {"--italic-weight", {&CliOptions::italic_weight, 0, 9, 1, "0..9"}},
      {"--table-weight", {&CliOptions::table_weight, 0, 9, 1, "0..9"}},
      {"--div-weight", {&CliOptions::div_weight, 0, 9, 1, "0..9"}},
      {"--span-weight", {&CliOptions::span_weight, 0, 9, 1, "0..9"}},
      {"--short-word-size", {&CliOptions::short_word_size, 1, 9, 1, "1..9"}},
      {"--min-frequency", {&CliOptions::min_frequency, 1, 9, 1, "1..9"}},
  };
  return *options;
}

const std::map<std::string_view, std::optional<std::string> CliOptions::*>&
TextOptions() {
  static const auto* options =
      new std::map<std::string_view, std::optional<std::string> CliOptions::*>{
          {"--max-keywords", &CliOptions::max_keywords},
          {"--max-bytes", &CliOptions::max_bytes},
          {"--begin-with", &CliOptions::begin_with},
          {"--ignore-words", &CliOptions::ignore_words},
          {"--data-dir", &CliOptions::data_dir},
          {"--state", &CliOptions::state_file},
          {"--tag", &CliOptions::tag},
      };
  return *options;
}

// "--name" / "--no-name" pairs.
const std::map<std::string_view, std::optional<bool> CliOptions::*>&
SwitchOptions() {
  static const auto* options =
      new std::map<std::string_view, std::optional<bool> CliOptions::*>{
          {"ignore-short-words", &CliOptions::ignore_short_words},
          {"ignore-common-words", &CliOptions::ignore_common_words},
          {"preserve-case", &CliOptions::preserve_case},
          {"space-after-comma", &CliOptions::space_after_comma},
          {"forward-slash", &CliOptions::forward_slash},
          {"done", &CliOptions::done},
      };
  return *options;
}

const std::map<std::string_view, bool CliOptions::*>& FlagOptions() {
  static const auto* options =
      new std::map<std::string_view, bool CliOptions::*>{
          {"--backup", &CliOptions::backup},
          {"--subfolders", &CliOptions::subfolders},
          {"--no-skip-done", &CliOptions::no_skip_done},
          {"--no-add-done", &CliOptions::no_add_done},
          {"--dont-log-done", &CliOptions::dont_log_done},
          {"--include-old", &CliOptions::include_old},
          {"--include-new", &CliOptions::include_new},
      };
  return *options;
}

std::optional<Command> ParseCommand(std::string_view word) {
  if (word == "list") return Command::kList;
  if (word == "tag") return Command::kTag;
  if (word == "show") return Command::kShow;
  if (word == "insert") return Command::kInsert;
  if (word == "run") return Command::kRun;
  return std::nullopt;
}

}  // namespace

std::optional<CliOptions> ParseCommandLine(int argc, const char* const* argv,
                                           std::string* error) {
  CliOptions o;
  std::vector<std::string_view> positional;
  auto fail = [&](std::string message) -> std::optional<CliOptions> {
    *error = std::move(message);
    return std::nullopt;
  };
  for (int i = 1; i < argc; ++i) {
    std::string_view arg = argv[i];
    if (arg == "--help" || arg == "-h") {
      o.help = true;
      continue;
    }
    if (arg == "--version") {
      o.version = true;
      continue;
    }
    if (arg == "--") {
      for (++i; i < argc; ++i) positional.emplace_back(argv[i]);
      break;
    }
    if (!arg.starts_with("--")) {
      positional.push_back(arg);
      continue;
    }
    // "--name=value" is the same as "--name value".
    std::optional<std::string_view> inline_value;
    if (const std::size_t eq = arg.find('='); eq != std::string_view::npos) {
      inline_value = arg.substr(eq + 1);
      arg = arg.substr(0, eq);
    }
    auto value = [&]() -> std::optional<std::string_view> {
      if (inline_value) return inline_value;
      if (i + 1 >= argc) return std::nullopt;
      return std::string_view(argv[++i]);
    };
    if (const auto it = NumberOptions().find(arg);
        it != NumberOptions().end()) {
      const auto v = value();
      if (!v) return fail(std::string(arg) + " needs a value");
      const NumberOption& n = it->second;
      const auto parsed = ParseInt(*v, n.lo, n.hi, n.step);
      if (!parsed)
        return fail("invalid value '" + std::string(*v) + "' for " +
                    std::string(arg) + " (expected " + n.values + ")");
      o.*n.field = parsed;
    } else if (const auto t = TextOptions().find(arg);
               t != TextOptions().end()) {
      const auto v = value();
      if (!v) return fail(std::string(arg) + " needs a value");
      o.*(t->second) = std::string(*v);
    } else if (arg == "--language" || arg == "--fallback-language") {
      const bool automatic_too = arg == "--language";
      const auto v = value();
      if (!v) return fail(std::string(arg) + " needs a value");
      auto& field = automatic_too ? o.language : o.fallback_language;
      field = ParseLanguage(*v, automatic_too);
      if (!field)
        return fail("invalid value '" + std::string(*v) + "' for " +
                    std::string(arg) + " (expected " +
                    (automatic_too ? "auto or " : "") +
                    "a code of the language list in --help)");
    } else if (arg == "--ext") {
      const auto v = value();
      if (!v) return fail("--ext needs a value");
      o.extensions = ParseExtensions(*v);
      if (!o.extensions)
        return fail("invalid value '" + std::string(*v) +
                    "' for --ext (expected a comma list of htm, html, shtm, "
                    "shtml)");
    } else if (const auto f = FlagOptions().find(arg);
               f != FlagOptions().end() && !inline_value) {
      o.*(f->second) = true;
    } else {
      const bool negated = arg.starts_with("--no-");
      const std::string_view name = arg.substr(negated ? 5 : 2);
      const auto s = SwitchOptions().find(name);
      if (s == SwitchOptions().end() || inline_value)
        return fail("unknown option '" + std::string(argv[i]) + "'");
      o.*(s->second) = !negated;
    }
  }
  if (o.help || o.version) return o;
  if (positional.empty()) return fail("no command given");
  const auto command = ParseCommand(positional[0]);
  if (!command)
    return fail("unknown command '" + std::string(positional[0]) + "'");
  o.command = *command;
  if (positional.size() < 2)
    return fail(std::string(positional[0]) + " needs a path");
  if (positional.size() > 2)
    return fail("unexpected argument '" + std::string(positional[2]) + "'");
  o.path = std::string(positional[1]);
  return o;
}

std::string UsageText() {
  return R"(Usage: vorn-cli [OPTIONS] COMMAND PATH
       vorn-cli --help | --version

Commands:
  list FILE     rank the words of an HTML page and list them
  tag FILE      compose the keywords meta tag of an HTML page
  show FILE     show the existing keywords, description, title and done tags
  insert FILE   compose the tag (or take --tag TEXT) and write it into FILE
  run FOLDER    compose and insert a tag in every page of a folder

Analysis settings (defaults in brackets):
  --title-weight N               0,10,...,90 [90]
  --description-weight N         0,10,...,90 [50]
  --existing-keywords-weight N   0,10,...,90 [0]
  --bold-weight N                0..9 [4]
  --italic-weight N              0..9 [4]
  --table-weight N               0..9 [2]  (0 skips tables)
  --div-weight N                 0..9 [2]  (0 skips div blocks)
  --span-weight N                0..9 [4]  (0 skips span blocks)
  --short-word-size N            1..9 [2]
  --min-frequency N              1..9 [2]
  --[no-]ignore-short-words      [on]
  --[no-]ignore-common-words     [on]
  --[no-]preserve-case           [off]
  --[no-]space-after-comma       [off]
  --[no-]forward-slash           close the tag with " />" [off]
  --max-keywords TEXT            5..100 [50]
  --max-bytes TEXT               at most 1000 [500]
  --begin-with TEXT              phrases placed first in the tag
  --ignore-words TEXT            words never counted
  --language CODE                a code of the list below, or auto: the
                                 language each page declares [en]
  --fallback-language CODE       with auto, for pages that declare none
                                 [en, or the language of --state]
  --data-dir DIR                 where cmwds_*.txt are read from
  --state FILE                   start from a saved state file

insert: --tag TEXT, --backup, --done | --no-done [--done]
run:    --subfolders, --backup, --no-skip-done, --no-add-done,
        --dont-log-done, --include-old, --include-new,
        --ext LIST (htm,html,shtm,shtml) [htm,html]

Languages (CODE and common words):
)" + LanguageTable();
}

}  // namespace vorn::cli
