#include "cli/options.h"

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
      {"--jobs", {&CliOptions::jobs, 1, 256, 1, "1..256"}},
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
          {"--dry-run", &CliOptions::dry_run},
          {"--diff", &CliOptions::diff},
          {"--quiet", &CliOptions::quiet},
      };
  return *options;
}

std::optional<Format> ParseFormat(std::string_view word) {
  if (word == "text") return Format::kText;
  if (word == "json") return Format::kJson;
  if (word == "tsv") return Format::kTsv;
  return std::nullopt;
}

// The options that belong to some commands only; the message for the first
// one given to another command, or nothing.
std::optional<std::string> MisplacedOption(const CliOptions& o) {
  const bool changes =
      o.command == Command::kInsert || o.command == Command::kRun;
  if (o.format != Format::kText && o.command == Command::kInsert)
    return "--format is an option of list, tag, show and run";
  if (o.dry_run && !changes) return "--dry-run is an option of insert and run";
  if (o.diff && !changes) return "--diff is an option of insert and run";
  if (o.diff && o.format != Format::kText)
    return "--diff prints a patch and does not go with --format";
  return std::nullopt;
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
    if (arg == "-q") {
      o.quiet = true;
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
    } else if (arg == "--format") {
      const auto v = value();
      if (!v) return fail("--format needs a value");
      const auto format = ParseFormat(*v);
      if (!format)
        return fail("invalid value '" + std::string(*v) +
                    "' for --format (expected text, json or tsv)");
      o.format = *format;
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
  if (!positional.empty() && positional[0] == "help") {
    o.help = true;
    if (positional.size() > 2)
      return fail("unexpected argument '" + std::string(positional[2]) + "'");
    if (positional.size() == 2) {
      const auto command = ParseCommand(positional[1]);
      if (!command)
        return fail("unknown command '" + std::string(positional[1]) + "'");
      o.command = *command;
    }
    return o;
  }
  if (o.help || o.version) {
    if (!positional.empty())
      o.command = ParseCommand(positional[0]).value_or(Command::kNone);
    return o;
  }
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
  if (auto message = MisplacedOption(o)) return fail(*message);
  return o;
}

}  // namespace vorn::cli
