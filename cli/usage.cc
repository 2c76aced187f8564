// The texts of --help: the whole program, and each command alone.
#include <algorithm>

#include "cli/options.h"
#include "engine/languages.h"

namespace vorn::cli {
namespace {

constexpr char kExitStatus[] =
    "Exit status: 0 done, 1 failed (the message says why), 2 malformed "
    "command line.\n";

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

}  // namespace

std::string UsageText() {
  return R"(Usage: vorn-cli [OPTIONS] COMMAND PATH
       vorn-cli help [COMMAND] | COMMAND --help | --version

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

Output:
  --format FORMAT                text, json or tsv (list, tag, show, run) [text]
  -q, --quiet                    print no results, no "Result" line and no
                                 progress; warnings and errors still show

insert: --tag TEXT, --backup, --done | --no-done [--done]
run:    --subfolders, --backup, --no-skip-done, --no-add-done,
        --dont-log-done, --include-old, --include-new,
        --ext LIST (htm,html,shtm,shtml) [htm,html],
        --jobs N (pages worked at once) [one per core]
insert and run: --dry-run (write nothing, show what would change),
        --diff (print the changes as a unified diff)

Languages (CODE and common words):
)" + LanguageTable() +
         R"(
Exit status: 0 done, 1 failed, 2 malformed command line,
3 run: some page could not be updated.
)";
}

std::string CommandHelp(Command command) {
  const std::string settings =
      "\nThe analysis settings (vorn-cli --help) shape the ranking.\n";
  const std::string languages =
      "  --language CODE   the language of the common words (its codes in\n"
      "                    vorn-cli --help), or auto: each page's own [en]\n"
      "  --fallback-language CODE\n"
      "                    with auto, for pages that declare none [en, or\n"
      "                    the language of --state]\n";
  const std::string format =
      "  --format FORMAT   text, json or tsv [text]\n"
      "  -q, --quiet       print nothing but warnings and errors\n";
  switch (command) {
    case Command::kList:
      return "Usage: vorn-cli [OPTIONS] list FILE\n\n"
             "Ranks the words of an HTML page and lists them with their key\n"
             "value (the top word has 100) and frequency.\n\n"
             "Options of list:\n" +
             languages + format + settings + "\n" + kExitStatus;
    case Command::kTag:
      return "Usage: vorn-cli [OPTIONS] tag FILE\n\n"
             "Composes the keywords meta tag of an HTML page and prints it\n"
             "with the number of its keywords and bytes.\n\n"
             "Options of tag:\n" +
             languages + format + settings + "\n" + kExitStatus;
    case Command::kShow:
      return "Usage: vorn-cli [OPTIONS] show FILE\n\n"
             "Prints the title, keywords, description and done tags the page\n"
             "already carries.\n\n"
             "Options of show:\n" +
             format + "\n" + kExitStatus;
    case Command::kInsert:
      return "Usage: vorn-cli [OPTIONS] insert FILE\n\n"
             "Composes the tag (or takes --tag) and writes it into the head "
             "of\n"
             "FILE, in place of a one-line keywords tag or before </head>.\n\n"
             "Options of insert:\n"
             "  --tag TEXT        write this tag instead of composing one\n"
             "  --backup          keep the old page as NAME.bak.htm\n"
             "  --done, --no-done also write the done tag [--done]\n"
             "  --dry-run         write nothing (no page, backup or temporary\n"
             "                    file) and print the diff of what would "
             "change\n"
             "  --diff            print the diff of the change made\n"
             "  -q, --quiet       print nothing but warnings and errors\n" +
             languages +
             "\nThe diff names the page a/FILENAME and b/FILENAME: patch -p1\n"
             "applies it in the page's folder.\n" +
             settings + "\n" + kExitStatus;
    case Command::kRun:
      return "Usage: vorn-cli [OPTIONS] run FOLDER\n\n"
             "Composes a tag for every page of FOLDER with a chosen extension\n"
             "and writes it in; prints the report of the run.\n\n"
             "Options of run:\n"
             "  --subfolders      walk all subfolders too\n"
             "  --backup          keep each old page as NAME.bak.htm\n"
             "  --no-skip-done    also process pages carrying the done tag\n"
             "  --no-add-done     do not write the done tag\n"
             "  --dont-log-done   no report line for pages skipped as done\n"
             "  --include-old     report each replaced tag (and the new one)\n"
             "  --include-new     report each new tag\n"
             "  --ext LIST        htm,html,shtm,shtml [htm,html]\n"
             "  --jobs N          work on N pages at once (1..256); the\n"
             "                    output is the same for every N [one per\n"
             "                    core]\n"
             "  --dry-run         write nothing (no page, backup or temporary\n"
             "                    file); the report says what would change,\n"
             "                    with the diff of each page\n"
             "  --diff            print the unified diff of each page instead\n"
             "                    of the report; patch -p1 applies it in the\n"
             "                    folder's parent\n" +
             languages + format + settings +
             "\nOn a terminal, stderr shows the pages done and the pages per\n"
             "second.\n\n"
             "Exit status: 0 done, 1 the run could not start, 2 malformed "
             "command line,\n"
             "3 some page could not be updated (the report says which and "
             "why).\n";
    case Command::kNone:
      break;
  }
  return UsageText();
}

}  // namespace vorn::cli
