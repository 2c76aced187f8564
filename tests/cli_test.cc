// vorn-cli's own contract, end to end: the real program runs in a fresh
// folder and the whole stdout, stderr, exit status and folder afterwards
// are compared. Rankings, encodings and run reports are in the golden
// files (golden_test.cc).
#include <gtest/gtest.h>

#include "tests/support/page_folder.h"
#include "tests/support/run_program.h"

namespace vorn {
namespace {

using Files = std::map<std::string, std::string>;

// garden: title 90 + h1 33 + text 3 = 126; tools: 90 + 3 = 93, which is
// 73.8 -> 74; shed, for and the: 3 -> 2.4 -> 2, seen once.
constexpr char kPage[] =
    "<html><head><title>Garden tools</title></head>\n"
    "<body><h1>Garden</h1><p>Tools for the garden shed.</p></body></html>\n";
constexpr char kHeader[] = "Rank Value Frequency\n";
const std::string kList = std::string(kHeader) +
                          "   1   100    3 garden\n"
                          "   2    74    2 tools\n";
const std::string kListOnce = kList + "   3     2    1 shed\n";
// The page with a tag line (and what follows it) in its head.
std::string PageWith(const std::string& lines) {
  return "<html><head><title>Garden tools</title>\n" + lines +
         "</head>\n<body><h1>Garden</h1><p>Tools for the garden "
         "shed.</p></body></html>\n";
}
constexpr char kX[] = "<meta name=\"keywords\" content=\"x\">";

std::string Usage(const std::string& message) {
  return "vorn-cli: " + message + "\nTry 'vorn-cli --help'.\n";
}

struct Row {
  const char* name;
  std::vector<std::string> args;  // "{tmp}" stands for the folder
  int status;
  std::string out, err;  // "{tmp}" stands for the folder
  Files changed = {};    // files written, with "{TODAY}" for today's date
};

// Runs each row in a fresh folder holding page.htm, nohead.htm and a
// folder site/ with one page; $HOME is an empty folder in it, so that
// anything written there shows.
void ExpectRows(const std::vector<Row>& rows) {
  for (const Row& row : rows) {
    PageFolder folder;
    ASSERT_TRUE(folder.Write("page.htm", kPage));
    ASSERT_TRUE(folder.Write("nohead.htm", "<html><body>x</body></html>\n"));
    ASSERT_TRUE(folder.Write("site/a.htm", kPage));
    ASSERT_TRUE(folder.MakeFolder("home"));
    auto tmp = [&](const std::string& s) {
      return ReplaceAll(s, "{tmp}", folder.path());
    };
    std::vector<std::string> args;
    for (const std::string& a : row.args) args.push_back(tmp(a));
    Files expected = folder.Snapshot();
    for (const auto& [name, bytes] : row.changed) expected[name] = bytes;
    const ProgramResult r = RunOrFail(VORN_CLI_PATH, args, folder.path(),
                                      {{"HOME", folder.Path("home")}});
    EXPECT_EQ(r.out, tmp(row.out)) << row.name;
    EXPECT_EQ(r.err, tmp(row.err)) << row.name;
    EXPECT_EQ(r.exit_status, row.status) << row.name << ", signal " << r.signal;
    Files after = folder.Snapshot();
    for (auto& [name, bytes] : after) bytes = WithoutTodaysDate(bytes);
    EXPECT_EQ(after, expected) << row.name;
  }
}

TEST(CliTest, MalformedCommandLinesExit2BeforeReadingAnything) {
  ExpectRows({
      {"nothing", {}, 2, "", Usage("no command given")},
      {"unknown option",
       {"--bogus", "list", "page.htm"},
       2,
       "",
       Usage("unknown option '--bogus'")},
      {"unknown command",
       {"frobnicate", "page.htm"},
       2,
       "",
       Usage("unknown command 'frobnicate'")},
      {"no path", {"list"}, 2, "", Usage("list needs a path")},
      {"two paths",
       {"list", "page.htm", "nohead.htm"},
       2,
       "",
       Usage("unexpected argument 'nohead.htm'")},
      {"title weight not a tenth",
       {"--title-weight", "15", "list", "page.htm"},
       2,
       "",
       Usage("invalid value '15' for --title-weight (expected 0,10,...,90)")},
      {"bold weight above 9",
       {"--bold-weight=10", "list", "page.htm"},
       2,
       "",
       Usage("invalid value '10' for --bold-weight (expected 0..9)")},
      {"short-word size below 1",
       {"--short-word-size", "0", "tag", "page.htm"},
       2,
       "",
       Usage("invalid value '0' for --short-word-size (expected 1..9)")},
      {"language in capitals",
       {"--language", "EN", "list", "page.htm"},
       2,
       "",
       Usage("invalid value 'EN' for --language (expected en, fr, de, it, "
             "pt, es or xx)")},
      {"unknown extension",
       {"run", "--ext", "htm,txt", "site"},
       2,
       "",
       Usage("invalid value 'htm,txt' for --ext (expected a comma list of "
             "htm, html, shtm, shtml)")},
      {"value missing at the end",
       {"list", "page.htm", "--title-weight"},
       2,
       "",
       Usage("--title-weight needs a value")},
      {"no- before a number option",
       {"--no-title-weight", "list", "page.htm"},
       2,
       "",
       Usage("unknown option '--no-title-weight'")},
      {"a value for a flag",
       {"--backup=yes", "run", "site"},
       2,
       "",
       Usage("unknown option '--backup=yes'")},
  });
}

TEST(CliTest, FailuresExit1WithTheMessageBoxOnStderr) {
  ExpectRows({
      {"missing page",
       {"list", "nothere.htm"},
       1,
       "",
       "File not found: Input file does not exist.\n"},
      {"show, missing page",
       {"show", "nothere.htm"},
       1,
       "",
       "File not found: Input file not found.\n"},
      {"no htm in the extension",
       {"tag", "notes.txt"},
       1,
       "",
       "Invalid input: Input file name must have an extension containing "
       "'htm'.\n"},
      {"missing folder",
       {"run", "missing"},
       1,
       "",
       "Invalid input: Folder does not exist\n"},
      {"a page, not a folder",
       {"run", "page.htm"},
       1,
       "",
       "Invalid input: Folder does not exist\n"},
      {"blank folder name",
       {"run", "   "},
       1,
       "",
       "Invalid input: No input folder specified.\n"},
      {"missing state file",
       {"--state", "none.usr", "list", "page.htm"},
       1,
       "",
       "vorn-cli: cannot use the state file none.usr: No such file or "
       "directory\n"},
      {"a page as state file",
       {"--state", "page.htm", "list", "page.htm"},
       1,
       "",
       "vorn-cli: cannot use the state file page.htm: it is damaged or "
       "incomplete\n"},
      {"insert, not a keywords tag",
       {"insert", "page.htm", "--tag", "bogus"},
       1,
       "",
       "Error: No keywords meta tag to insert.\n"},
      {"insert, no head end",
       {"insert", "nohead.htm", "--tag", kX},
       1,
       "",
       "Not inserted: Keywords meta tag NOT inserted because </head> is "
       "missing.\n"},
  });
}

TEST(CliTest, OptionsReachTheEngineInEveryForm) {
  const std::string missing_words =
      "Common words not available: Common words in English could not be "
      "read from file\n{tmp}/none/cmwds_en.txt\n";
  ExpectRows({
      {"defaults", {"list", "page.htm"}, 0, kList, ""},
      {"with =", {"--min-frequency=1", "list", "page.htm"}, 0, kListOnce, ""},
      {"after the path",
       {"list", "page.htm", "--min-frequency", "1"},
       0,
       kListOnce,
       ""},
      {"after --, only paths",
       {"--min-frequency", "1", "--", "list", "page.htm"},
       0,
       kListOnce,
       ""},
      {"the last of two wins",
       {"--min-frequency", "1", "list", "--min-frequency=2", "page.htm"},
       0,
       kList,
       ""},
      {"no common words: a warning, then for and the count",
       {"--data-dir", "{tmp}/none", "--min-frequency", "1", "list", "page.htm"},
       0,
       kList +
           "   3     2    1 for\n   4     2    1 the\n   5     2    1 shed\n",
       missing_words},
      {"insert a given tag without the done tag",
       {"insert", "page.htm", "--tag", kX, "--no-done"},
       0,
       "",
       "",
       {{"page.htm", PageWith(std::string(kX) + "\n")}}},
      {"insert the composed tag with a backup and the done tag",
       {"--space-after-comma", "insert", "page.htm", "--backup"},
       0,
       "",
       "",
       {{"page.htm",
         PageWith("<meta name=\"keywords\" content=\"garden, tools\">\n"
                  "<meta name=\"VORN done\" content=\"{TODAY}\">\n")},
        {"page.bak.htm", kPage}}},
  });
}

TEST(CliTest, HelpAndTheReadmeExample) {
  const ProgramResult help = RunOrFail(VORN_CLI_PATH, {"--help"}, "/");
  EXPECT_TRUE(help.out.starts_with("Usage: vorn-cli [OPTIONS] COMMAND PATH\n"))
      << help.out;
  EXPECT_EQ(help.exit_status, 0);
  // As the README runs it: from the source folder, with a relative path.
  const ProgramResult readme = RunOrFail(
      VORN_CLI_PATH, {"tag", "examples/site/index.htm"}, VORN_SOURCE_DIR);
  EXPECT_EQ(readme.out, ReadWholeFile(std::string(VORN_SOURCE_DIR) +
                                      "/tests/data/readme-index.tag")
                            .value_or("(no golden file)"));
  EXPECT_EQ(readme.exit_status, 0);
}

}  // namespace
}  // namespace vorn
