// The command line of vorn-cli, parsed into raw values. Parsing checks only
// the form of each value and touches no file; building settings from the
// values (and reading a state file) comes after.
#ifndef VORN_CLI_OPTIONS_H_
#define VORN_CLI_OPTIONS_H_

#include <optional>
#include <string>
#include <vector>

namespace vorn::cli {

enum class Command { kNone, kList, kTag, kShow, kInsert, kRun };
enum class Format { kText, kJson, kTsv };

struct CliOptions {
  // --help, -h or "help": `command` is the command asked about (kNone for
  // the whole program).
  bool help = false;
  bool version = false;
  Command command = Command::kNone;
  std::string path;

  // Output (the format for list, tag, show and run).
  Format format = Format::kText;
  bool quiet = false;
  // insert and run: write nothing; print the changes as a patch.
  bool dry_run = false, diff = false;

  // Analysis settings; unset means "as the defaults or the state file say".
  std::optional<int> title_weight, description_weight, existing_keywords_weight;
  std::optional<int> bold_weight, italic_weight, table_weight, div_weight,
      span_weight;
  std::optional<int> short_word_size, min_frequency;
  std::optional<bool> ignore_short_words, ignore_common_words, preserve_case,
      space_after_comma, forward_slash;
  std::optional<std::string> max_keywords, max_bytes, begin_with, ignore_words;
  std::optional<int> language;           // position in the language list
  std::optional<int> fallback_language;  // the same, never "Automatic"
  std::optional<std::string> data_dir, state_file;

  // insert
  std::optional<std::string> tag;
  bool backup = false;
  std::optional<bool> done;

  // run
  bool subfolders = false, no_skip_done = false, no_add_done = false,
       dont_log_done = false, include_old = false, include_new = false;
  std::optional<int> jobs;  // worker threads; unset: one per core
  std::optional<std::vector<std::string>> extensions;
};

// Parses argv. On a malformed command line returns nothing and stores the
// message (without the program name) in `*error`.
std::optional<CliOptions> ParseCommandLine(int argc, const char* const* argv,
                                           std::string* error);

// The text printed by --help: every command and option.
std::string UsageText();
// The text printed by "help COMMAND" and "COMMAND --help".
std::string CommandHelp(Command command);

}  // namespace vorn::cli

#endif  // VORN_CLI_OPTIONS_H_
