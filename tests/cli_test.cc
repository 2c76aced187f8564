// vorn-cli's own contract, end to end: the real program runs in a fresh
// folder and the whole stdout, stderr, exit status and folder afterwards
// are compared. Rankings, encodings and run reports are in the golden
// files (golden_test.cc).
#include <gtest/gtest.h>

#include <sstream>

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
const std::string kList =
    "Rank Value Frequency\n   1   100    3 garden\n   2    74    2 tools\n";
const std::string kShed = "   3     2    1 shed\n";
const std::string kX = "<meta name=\"keywords\" content=\"x\">";
const std::string kTag = "<meta name=\"keywords\" content=\"garden,tools\">";
const std::string kDone = "<meta name=\"VORN done\" content=\"{TODAY}\">";
// kPage's diff when kX goes in without the done tag.
const std::string kDiff =
    "--- a/page.htm\n+++ b/page.htm\n@@ -1,2 +1,4 @@\n"
    "-<html><head><title>Garden tools</title></head>\n"
    "+<html><head><title>Garden tools</title>\n+" +
    kX +
    "\n+</head>\n"
    " <body><h1>Garden</h1><p>Tools for the garden shed.</p></body></html>\n";
const std::string kMir =  // Мир
    "<meta name=\"keywords\" content=\"\xD0\x9C\xD0\xB8\xD1\x80\">";

// kPage after an insertion: the head split at "</head>", `lines` before it.
std::string PageWith(const std::string& lines) {
  const std::string page = kPage;
  return "<html><head><title>Garden tools</title>\n" + lines + "</head>\n" +
         page.substr(page.find("<body>"));
}

std::string Usage(const std::string& message) {
  return "vorn-cli: " + message + "\nTry 'vorn-cli --help'.\n";
}

struct Row {
  std::string args;  // split at blanks; {tmp} is the folder, {x} is kX,
                     // {mir} kMir
  int status;
  std::string out, err;  // {tmp} is the folder
  Files changed = {};    // files written; {TODAY} for today's date
};

// Each row runs in a fresh folder holding page.htm, nohead.htm and site/.
TEST(CliTest, CommandLines) {
  const Row kRows[] = {
      {"", 2, "", Usage("no command given")},
      {"--bogus list page.htm", 2, "", Usage("unknown option '--bogus'")},
      {"frobnicate page.htm", 2, "", Usage("unknown command 'frobnicate'")},
      {"list", 2, "", Usage("list needs a path")},
      {"--title-weight 15 list page.htm", 2, "",
       Usage("invalid value '15' for --title-weight (expected 0,10,...,90)")},
      {"run --ext htm,txt site", 2, "",
       Usage("invalid value 'htm,txt' for --ext (expected a comma list of "
             "htm, html, shtm, shtml)")},
      {"list page.htm --title-weight", 2, "",
       Usage("--title-weight needs a value")},
      {"--format json insert page.htm", 2, "",
       Usage("--format is an option of list, tag, show and run")},
      {"tag page.htm --dry-run", 2, "",
       Usage("--dry-run is an option of insert and run")},
      {"run site --diff --format tsv", 2, "",
       Usage("--diff prints a patch and does not go with --format")},
      {"--begin-with caf\xE9 tag page.htm", 2, "",
       Usage("the text of --begin-with is not valid UTF-8")},
      // Text the page's encoding (here Windows-1252) cannot hold.
      {"--begin-with \xD0\x9C\xD0\xB8\xD1\x80 tag page.htm", 1, "",
       "Not encodable: Begin meta tag with: the character \"\xD0\xBC\" "
       "(U+043C)\ncannot be written in this page's encoding "
       "(windows-1252).\n"},
      {"insert page.htm --tag {mir}", 1, "",
       "Not inserted: Keywords meta tag NOT inserted because the page's "
       "encoding (windows-1252) cannot hold the character \"\xD0\x9C\" "
       "(U+041C).\n"},
      // Failures: the message box as CAPTION: TEXT, exit 1.
      {"list x.htm", 1, "", "File not found: Input file does not exist.\n"},
      {"tag notes.txt", 1, "",
       "Invalid input: Input file name must have an extension containing "
       "'htm'.\n"},
      {"run missing", 1, "", "Invalid input: Folder does not exist\n"},
      {"--state page.htm list page.htm", 1, "",
       "vorn-cli: cannot use the state file page.htm: it is damaged or "
       "incomplete\n"},
      {"insert page.htm --tag bogus", 1, "",
       "Error: No keywords meta tag to insert.\n"},
      {"insert nohead.htm --tag {x}", 1, "",
       "Not inserted: Keywords meta tag NOT inserted because </head> is "
       "missing.\n"},
      // A dry run prints what would change and writes nothing; --diff
      // prints what changed.
      {"insert page.htm --dry-run --backup --tag {x} --no-done", 0, kDiff, ""},
      {"insert page.htm --diff --tag {x} --no-done",
       0,
       kDiff,
       "",
       {{"page.htm", PageWith(kX + "\n")}}},
      // A page that cannot be updated makes the run end with 3; --quiet
      // keeps the report and the "Result" line back, not the work.
      {"--quiet run .",
       3,
       "",
       "",
       {{"page.htm", PageWith(kTag + "\n" + kDone + "\n")}}},
      // Options in every form and place reach the engine.
      {"list page.htm", 0, kList, ""},
      {"--min-frequency=1 list page.htm", 0, kList + kShed, ""},
      {"--min-frequency 1 list --min-frequency=2 page.htm", 0, kList, ""},
      {"--data-dir {tmp}/none --min-frequency 1 list page.htm", 0,
       kList +
           "   3     2    1 for\n   4     2    1 the\n   5     2    1 shed\n",
       "Common words not available: Common words in English could not be "
       "read from file\n{tmp}/none/cmwds_en.txt\n"},
      {"--space-after-comma insert page.htm --backup",
       0,
       "",
       "",
       {{"page.htm",
         PageWith("<meta name=\"keywords\" content=\"garden, tools\">\n"
                  "<meta name=\"VORN done\" content=\"{TODAY}\">\n")},
        {"page.bak.htm", kPage}}},
  };
  for (const Row& row : kRows) {
    PageFolder folder;
    ASSERT_TRUE(folder.Write("page.htm", kPage));
    ASSERT_TRUE(folder.Write("nohead.htm", "<html><body>x</body></html>\n"));
    ASSERT_TRUE(folder.Write("site/a.htm", kPage));
    Files expected = folder.Snapshot();
    for (const auto& [name, bytes] : row.changed) expected[name] = bytes;
    std::vector<std::string> args;
    std::istringstream words(ReplaceAll(row.args, "{tmp}", folder.path()));
    for (std::string a; words >> a;)
      args.push_back(a == "{x}" ? kX : a == "{mir}" ? kMir : a);
    const ProgramResult r = RunOrFail(VORN_CLI_PATH, args, folder.path());
    EXPECT_EQ(WithoutTodaysDate(r.out),
              ReplaceAll(row.out, "{tmp}", folder.path()))
        << row.args;
    EXPECT_EQ(r.err, ReplaceAll(row.err, "{tmp}", folder.path())) << row.args;
    EXPECT_EQ(r.exit_status, row.status) << row.args << ", signal " << r.signal;
    Files after = folder.Snapshot();
    for (auto& [name, bytes] : after) bytes = WithoutTodaysDate(bytes);
    EXPECT_EQ(after, expected) << row.args;
  }
}

}  // namespace
}  // namespace vorn
