// vorn-cli: the engine from a terminal. Parses the command line, builds the
// settings, runs one command and prints what the main window's output box
// would hold (or the same as JSON or TSV); message boxes go to stderr.
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <memory>
#include <string>

#include "app/state_file.h"
#include "batch/multiple_file_run.h"
#include "batch/operation_parameters.h"
#include "batch/report.h"
#include "cli/formats.h"
#include "cli/options.h"
#include "cli/progress.h"
#include "cli/run_output.h"
#include "cli/terminal_view.h"
#include "documents/insert.h"
#include "documents/meta_tags.h"
#include "engine/analysis.h"
#include "engine/common_words.h"
#include "engine/settings.h"
#include "engine/settings_rules.h"
#include "support/files.h"
#include "support/unicode.h"

namespace vorn::cli {
namespace {

constexpr int kExitOk = 0;
constexpr int kExitFailure = 1;
constexpr int kExitUsage = 2;
constexpr int kExitNotAllUpdated = 3;  // run: some page could not be updated

// The option whose text is not valid UTF-8, or nothing.
std::optional<std::string> InvalidTextOption(const CliOptions& o) {
  const struct {
    const char* name;
    const std::optional<std::string>& value;
  } kTexts[] = {{"--max-keywords", o.max_keywords},
                {"--max-bytes", o.max_bytes},
                {"--begin-with", o.begin_with},
                {"--ignore-words", o.ignore_words},
                {"--tag", o.tag}};
  for (const auto& t : kTexts)
    if (t.value && FirstInvalidUtf8(*t.value) != std::string_view::npos)
      return std::string(t.name);
  return std::nullopt;
}

void ApplyOptions(const CliOptions& o, AnalysisSettings& s) {
  auto set = [](const std::optional<int>& v, int& field) {
    if (v) field = *v;
  };
  set(o.title_weight, s.TitleWeight);
  set(o.description_weight, s.DescriptionWeight);
  set(o.existing_keywords_weight, s.ExistingKeywordsWeight);
  set(o.bold_weight, s.BoldWeight);
  set(o.italic_weight, s.ItalicWeight);
  set(o.table_weight, s.TableWeight);
  set(o.div_weight, s.DivWeight);
  set(o.span_weight, s.SpanWeight);
  set(o.short_word_size, s.ShortWordSize);
  set(o.min_frequency, s.ThresholdFrequency);
  if (o.language) SelectLanguage(s, *o.language);
  set(o.fallback_language, s.FallbackLanguage);
  auto flag = [](const std::optional<bool>& v, bool& field) {
    if (v) field = *v;
  };
  flag(o.ignore_short_words, s.IgnoreShortWords);
  flag(o.ignore_common_words, s.IgnoreCommonWords);
  flag(o.preserve_case, s.PreserveCase);
  flag(o.space_after_comma, s.SpaceAfterComma);
  flag(o.forward_slash, s.ForwardSlash);
  if (o.max_keywords) s.MaxNumKeywordsInMetaTag = *o.max_keywords;
  if (o.max_bytes) s.MaxNumBytesInMetaTag = *o.max_bytes;
  if (o.begin_with) s.BeginMetaTagWith = *o.begin_with;
  if (o.ignore_words) s.WordsToIgnore = NormalizeWordsToIgnore(*o.ignore_words);
}

// The checks that leaving each numeric field makes: a range message, and
// the default takes the place of the value.
void CheckNumericFields(AnalysisSettings& s, TerminalView& view) {
  if (auto box = CheckMaxKeywords(s.MaxNumKeywordsInMetaTag)) view.Ask(*box);
  if (auto box = CheckMaxBytes(s.MaxNumBytesInMetaTag)) view.Ask(*box);
}

void PrintRaw(const CliOptions& o, const std::string& bytes) {
  if (o.quiet) return;
  std::fwrite(bytes.data(), 1, bytes.size(), stdout);
  std::fflush(stdout);
}

// The text of an output box, ending with a line break like every output.
void PrintOutput(const CliOptions& o, const std::string& box_text) {
  std::string out = ForTerminal(box_text);
  if (!out.empty() && out.back() != '\n') out.push_back('\n');
  PrintRaw(o, out);
}

int Analyse(const CliOptions& o, AnalysisSettings settings,
            const CommonWordsTable& common, TerminalView& view) {
  Analysis analysis(common);
  analysis.UpdateSettings(settings);
  std::string input_box = o.path;
  const int before = view.messages_shown();
  analysis.DoIt(o.command == Command::kTag, input_box, view);
  if (view.messages_shown() != before) return kExitFailure;
  if (analysis.last_file_size() == 0) {
    // An empty page is bad input: say so on stderr, not as a result.
    std::fprintf(stderr, "%s\n", ForTerminal(view.OutputText()).c_str());
    return kExitFailure;
  }
  const bool list = o.command == Command::kList;
  switch (o.format) {
    case Format::kText:
      PrintOutput(o, view.OutputText());
      break;
    case Format::kJson:
      PrintRaw(o, list ? WordListJson(o.path, analysis.table())
                       : TagJson(o.path, ParseTagBox(view.OutputText())));
      break;
    case Format::kTsv:
      PrintRaw(o, list ? WordListTsv(analysis.table())
                       : TagTsv(ParseTagBox(view.OutputText())));
      break;
  }
  return kExitOk;
}

int Show(const CliOptions& o, TerminalView& view) {
  std::string input_box = o.path;
  const std::optional<std::string> listing =
      ShowExistingKeywords(input_box, view);
  if (!listing) return kExitFailure;
  if (o.format == Format::kText) {
    PrintOutput(o, *listing);
    return kExitOk;
  }
  // For scripts an unreadable page is a failure, not a listing.
  const std::optional<std::string> bytes = ReadFileBytes(input_box);
  if (!bytes) {
    view.Ask({"Error", "Error when looking for keywords meta tag.",
              Icon::kExclamation, Buttons::kOk});
    return kExitFailure;
  }
  const std::vector<ExistingTag> tags = FindExistingTagsOfBytes(*bytes);
  PrintRaw(o, o.format == Format::kJson
                  ? ShowJson(input_box, tags, EncodingNote(*bytes))
                  : ShowTsv(tags));
  return kExitOk;
}

int Insert(const CliOptions& o, const AnalysisSettings& settings,
           const CommonWordsTable& common, TerminalView& view) {
  std::string tag;
  if (o.tag) {
    tag = *o.tag;  // already UTF-8
  } else {
    Analysis analysis(common);
    analysis.UpdateSettings(settings);
    std::string input_box = o.path;
    const int before = view.messages_shown();
    analysis.DoIt(true, input_box, view);
    if (view.messages_shown() != before) return kExitFailure;
    tag = analysis.GenerateKeywordMetaTag(false);
  }
  InsertOptions options;
  options.backup = o.backup;
  options.add_done = o.done.value_or(true);
  options.dry_run = o.dry_run;
  PageBytes bytes;
  options.bytes = &bytes;
  InsertNotes notes;
  options.notes = &notes;
  const InsertResult result = InsertKeywordsMetaTag(tag, o.path, options);
  if (auto message = InsertResultMessage(result, notes.refusal)) {
    view.Ask(*message);
    return kExitFailure;
  }
  if (o.dry_run || o.diff) {
    const std::size_t slash = o.path.rfind('/');
    const std::string name =
        slash == std::string::npos ? o.path : o.path.substr(slash + 1);
    PrintRaw(o, DiffOfRewrite(bytes, "a/" + name, "b/" + name));
  }
  return kExitOk;
}

OperationParameters RunParameters(const CliOptions& o) {
  OperationParameters p;
  p.Confirm = false;  // nobody to ask
  p.LogOperations = true;
  p.ClearReportAtStart = true;
  p.DisplayWords = false;
  p.IncludeAllSubfolders = o.subfolders;
  p.Backup = o.backup;
  p.SkipDone = !o.no_skip_done;
  p.AddDone = !o.no_add_done;
  p.DontLogDone = o.dont_log_done;
  p.Preview = o.dry_run;
  if (o.include_new) ClickIncludeNewMetaTag(p, true);
  if (o.include_old) ClickIncludeOldMetaTag(p, true);
  if (o.extensions) {
    p.HTM = p.HTML = p.SHTM = p.SHTML = false;
    for (const std::string& e : *o.extensions) {
      if (e == "htm") p.HTM = true;
      if (e == "html") p.HTML = true;
      if (e == "shtm") p.SHTM = true;
      if (e == "shtml") p.SHTML = true;
    }
  }
  return p;
}

int RunFolder(const CliOptions& o, const AnalysisSettings& settings,
              const CommonWordsTable& common, TerminalView& view) {
  Analysis analysis(common);
  analysis.UpdateSettings(settings);
  const OperationParameters parameters = RunParameters(o);
  Report report(parameters);
  std::string folder_box = o.path;
  std::unique_ptr<PagePrinter> printer;
  if (!o.quiet) {
    if (o.diff)
      printer = DiffPrinter(stdout, folder_box);
    else if (o.format == Format::kJson)
      printer = JsonPrinter(stdout, folder_box, o.dry_run);
    else if (o.format == Format::kTsv)
      printer = TsvPrinter(stdout);
  }
  std::unique_ptr<ProgressLine> progress;
  if (!o.quiet && ::isatty(STDERR_FILENO))
    progress = std::make_unique<ProgressLine>(stderr);
  view.set_page_printer(printer.get());
  view.set_progress(progress.get());
  // The "Result" box goes to stderr as "Result: ..." like every box.
  const std::optional<RunSummary> summary =
      StartMultipleFileRun(folder_box, analysis, parameters, report, view,
                           nullptr, o.jobs.value_or(0));
  if (!summary) return kExitFailure;
  if (printer)
    printer->Finished(*summary);
  else
    PrintOutput(o, report.text());
  const bool all_updated = summary->NotUpdatedCount == 0 &&
                           summary->UnreadableFolderCount == 0 &&
                           !summary->terminated;
  return all_updated ? kExitOk : kExitNotAllUpdated;
}

int Main(int argc, char** argv) {
  std::string error;
  const std::optional<CliOptions> options =
      ParseCommandLine(argc, argv, &error);
  if (!options) {
    std::fprintf(stderr, "vorn-cli: %s\nTry 'vorn-cli --help'.\n",
                 error.c_str());
    return kExitUsage;
  }
  if (options->help) {
    std::fputs(CommandHelp(options->command).c_str(), stdout);
    return kExitOk;
  }
  if (options->version) {
    std::fputs("vorn-cli " VORN_VERSION "\n", stdout);
    return kExitOk;
  }
  // Texts are UTF-8 throughout; one that is not cannot be used.
  if (const std::optional<std::string> name = InvalidTextOption(*options)) {
    std::fprintf(stderr,
                 "vorn-cli: the text of %s is not valid UTF-8\nTry "
                 "'vorn-cli --help'.\n",
                 name->c_str());
    return kExitUsage;
  }
  AnalysisSettings settings;
  if (options->state_file) {
    std::string error;
    const std::optional<std::string> bytes =
        ReadFileBytes(*options->state_file, &error);
    const std::optional<SavedState> state =
        bytes ? ParseState(*bytes) : std::nullopt;
    if (!state) {
      std::fprintf(stderr, "vorn-cli: cannot use the state file %s: %s\n",
                   options->state_file->c_str(),
                   bytes ? "it is damaged or incomplete" : error.c_str());
      return kExitFailure;
    }
    settings = state->Settings;
  }
  ApplyOptions(*options, settings);
  TerminalView view(stderr, options->quiet);
  CheckNumericFields(settings, view);

  const std::string data_dir = options->data_dir.value_or(ProgramFolder());
  CommonWordsTable common;
  common.InitCommonWords(data_dir);
  if (settings.IgnoreCommonWords &&
      !common.Available(CommonWordsLanguage(settings)))
    ReportCommonWordsUnavailable(settings, data_dir, view);
  switch (options->command) {
    case Command::kShow:
      return Show(*options, view);
    case Command::kInsert:
      return Insert(*options, settings, common, view);
    case Command::kRun:
      return RunFolder(*options, settings, common, view);
    default:
      return Analyse(*options, settings, common, view);
  }
}

}  // namespace
}  // namespace vorn::cli

// Output that could not be written (stdout on a full disk) fails the
// command whatever it printed, said on stderr.
int main(int argc, char** argv) {
  const int status = vorn::cli::Main(argc, argv);
  errno = 0;
  if (std::fflush(stdout) == 0 && !std::ferror(stdout)) return status;
  std::fprintf(stderr, "vorn-cli: cannot write the output%s%s\n",
               errno != 0 ? ": " : "", errno != 0 ? std::strerror(errno) : "");
  return status != vorn::cli::kExitOk ? status : vorn::cli::kExitFailure;
}
