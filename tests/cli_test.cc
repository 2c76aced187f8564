// Front-end tests of vorn-cli's own contract: the real program runs in a
// fresh folder, and the whole stdout, the whole stderr and the exit status
// are compared; every run must leave the folder as it was. The ranking
// rules are tested on the engine; here only a few rankings end to end.
//
// Reminders for the hand computations, with default settings: plain text
// weighs 3, a heading hN adds 5 * (7 - N), the title weighs 90. Words of 2
// letters or fewer and common English words are dropped; words seen once
// are dropped unless first seen in the title or a heading. Key values are
// scaled so that the top is 100 and rounded half to even. The tag prefix
// <meta name="keywords" content=" is 31 bytes.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <sstream>
#include <string>
#include <vector>

#include "tests/support/page_folder.h"
#include "tests/support/run_program.h"

namespace vorn {
namespace {

constexpr char kCli[] = VORN_CLI_PATH;
constexpr char kDataDir[] = VORN_DATA_DIR;

// One run of vorn-cli in a fresh folder that holds one file (none when
// `file` is empty). The arguments are split at blanks, or at "|" where one
// of them holds a blank. In `args`, `out` and `err`, "{tmp}" stands for the
// folder.
struct CliCase {
  std::string name;
  std::string file;
  std::string bytes;
  std::string args;
  std::string out;
  std::string err;
  int status;
};

std::string ReplaceAll(std::string text, const std::string& from,
                       const std::string& to) {
  for (std::size_t at = text.find(from); at != std::string::npos;
       at = text.find(from, at + to.size()))
    text.replace(at, from.size(), to);
  return text;
}

// Runs vorn-cli in `folder`, with $HOME in an empty folder of its own so
// that a program writing settings under $HOME would be seen.
ProgramResult RunCli(const PageFolder& folder,
                     const std::vector<std::string>& args) {
  return RunOrFail(kCli, args, folder.path(),
                   {{"HOME", folder.Path("home")},
                    {"XDG_CONFIG_HOME", folder.Path("home/.config")}});
}

// Runs each case and compares everything.
void ExpectRuns(const std::vector<CliCase>& cases) {
  for (const CliCase& c : cases) {
    PageFolder folder;
    ASSERT_TRUE(folder.MakeFolder("home"));
    if (!c.file.empty()) {
      ASSERT_TRUE(folder.Write(c.file, c.bytes)) << c.name;
    }
    std::vector<std::string> args;
    const char separator = c.args.find('|') != std::string::npos ? '|' : ' ';
    std::istringstream words(ReplaceAll(c.args, "{tmp}", folder.path()));
    for (std::string a; std::getline(words, a, separator);) args.push_back(a);
    const auto before = folder.Snapshot();
    const ProgramResult r = RunCli(folder, args);
    EXPECT_EQ(r.out, ReplaceAll(c.out, "{tmp}", folder.path())) << c.name;
    EXPECT_EQ(r.err, ReplaceAll(c.err, "{tmp}", folder.path())) << c.name;
    EXPECT_EQ(r.exit_status, c.status) << c.name << ", signal " << r.signal;
    EXPECT_EQ(folder.Snapshot(), before) << c.name << ": the folder changed";
  }
}

// The tag output: the tag (`content` holds everything after the prefix),
// an empty line and the two status lines, with no line end after the last.
std::string Tag(const std::string& content, int keywords, int bytes) {
  return "<meta name=\"keywords\" content=\"" + content +
         "\n\nNumber of keywords in meta tag: " + std::to_string(keywords) +
         "\nNumber of bytes in meta tag: " + std::to_string(bytes);
}

constexpr char kHeader[] = "Rank Value Frequency\n";

// hello, world: 3 + 25 (h2) = 28 each, exempt; more: 3, a common English
// word, and seen once. 300 / 28 = 10.71 -> 11.
constexpr char kHelloPage[] = "<h2>Hello world!</h2> more\n";
const std::string kHelloTwo = std::string(kHeader) +
                              "   1   100    1 hello\n"
                              "   2   100    1 world\n";
const std::string kHelloThree = kHelloTwo + "   3    11    1 more\n";

// seo: title 90, exempt. design: h1 33 + 3 = 36. web: 3 + 3 = 6. "for" and
// "the" are common words. 3600 / 90 = 40; 600 / 90 = 6.67 -> 7.
constexpr char kSeoPage[] =
    "<html><head><title>SEO</title></head><body>\n"
    "<h1>Design</h1>\n"
    "<p>Web design for the web.</p>\n"
    "</body></html>\n";

TEST(CliTest, ListsAndComposes) {
  const std::string seo_list = std::string(kHeader) +
                               "   1   100    1 seo\n"
                               "   2    40    2 design\n"
                               "   3     7    2 web\n";
  ExpectRuns({
      {"seo, list", "seo.htm", kSeoPage, "list seo.htm", seo_list, "", 0},
      // 31 + "seo" + ", design" + ", web" = 47; without blanks 45.
      {"seo, tag with blanks", "seo.htm", kSeoPage,
       "--space-after-comma tag seo.htm", Tag("seo, design, web\">", 3, 47), "",
       0},
      {"seo, tag", "seo.htm", kSeoPage, "tag seo.htm",
       Tag("seo,design,web\">", 3, 45), "", 0},
      {"the shipped common words drop more", "page.htm", kHelloPage,
       "list page.htm", kHelloTwo, "", 0},
      // No word passes: the message is the result, on stdout.
      {"markup only", "e.htm", "<p><br></p>\n", "tag e.htm",
       "No words with more than 2 letters occur at least twice.", "", 0},
      {"blanks around a name in capitals", "PAGE.SHTML", kHelloPage,
       "list|  PAGE.SHTML ", kHelloTwo, "", 0},
      {"full path", "sub/page.html", kHelloPage, "list {tmp}/sub/page.html",
       kHelloTwo, "", 0},
  });
}

TEST(CliTest, TakesOptionsInEitherFormAndPlace) {
  auto run = [](const char* name, const char* args) {
    return CliCase{name, "page.htm", kHelloPage, args, kHelloThree, "", 0};
  };
  ExpectRuns({
      run("before the command",
          "--min-frequency 1 --no-ignore-common-words list page.htm"),
      run("with =", "--min-frequency=1 --no-ignore-common-words list page.htm"),
      run("after the path",
          "list page.htm --min-frequency 1 --no-ignore-common-words"),
      run("between command and path, the last of two forms wins",
          "list --ignore-common-words --min-frequency=1 page.htm "
          "--no-ignore-common-words"),
  });
}

// The first `n` of sixty 9-letter words, joined by `separator`. In one h1
// they all weigh 33 and keep their order.
std::string SixtyWords(int n, const std::string& separator) {
  const std::string consonants = "bcdfghjkmnprt";
  std::string words;
  for (int i = 0; i < n; ++i) {
    words += (i ? separator : "") + "zo" + consonants[i / 13] +
             consonants[i % 13] + "quint";
  }
  return words;
}

// The tag of the first `n`: 31 + 9n + (n - 1) = 30 + 10n bytes.
std::string SixtyWordsTag(int n) {
  return Tag(SixtyWords(n, ",") + "\">", n, 30 + 10 * n);
}

TEST(CliTest, WarnsAboutRangesOnStderrAndGoesOn) {
  const std::string page = "<h1>" + SixtyWords(60, " ") + "</h1>\n";
  const std::string kMaxKeywords =
      "VORN: Maximum number of keywords in the meta tag is 100.\n";
  const std::string kMinKeywords =
      "VORN: Minimum number of keywords in the meta tag is 5.\n";
  const std::string kMaxBytes =
      "VORN: Maximum number of bytes in the meta tag is 1000.\n";
  // At 500 bytes: the 47th word tests 490 + 9 + 1 = 500, not above 500.
  ExpectRuns({
      {"defaults: 500 bytes come before 50 keywords", "w.htm", page,
       "tag w.htm", SixtyWordsTag(47), "", 0},
      {"12a3 is 123: the maximum message, then 50", "w.htm", page,
       "--max-keywords 12a3 --max-bytes 0 tag w.htm", SixtyWordsTag(50),
       kMaxKeywords, 0},
      {"4: the minimum message, then 50", "w.htm", page,
       "--max-keywords 4 --max-bytes 0 tag w.htm", SixtyWordsTag(50),
       kMinKeywords, 0},
      {"1000 bytes accepted", "w.htm", page,
       "--max-keywords 100 --max-bytes 1000 tag w.htm", SixtyWordsTag(60), "",
       0},
      {"both messages, keywords first; 1001 bytes become 500", "w.htm", page,
       "--max-bytes=1001 --max-keywords 500 tag w.htm", SixtyWordsTag(47),
       kMaxKeywords + kMaxBytes, 0},
  });
}

TEST(CliTest, WarnsWhenCommonWordsAreMissingAndGoesOn) {
  const std::string kUnavailable =
      "Common words not available: Common words in ";
  // The build puts the data files beside vorn-cli; none is cmwds_xx.txt.
  const std::string beside =
      std::filesystem::canonical(kCli).parent_path().string();
  ExpectRuns({
      {"no data folder", "page.htm", kHelloPage,
       "--data-dir {tmp}/none --min-frequency 1 list page.htm", kHelloThree,
       kUnavailable +
           "English could not be read from file\n{tmp}/none/cmwds_en.txt\n",
       0},
      {"no data folder, common words not asked for", "page.htm", kHelloPage,
       "--data-dir={tmp}/none --no-ignore-common-words --min-frequency 1 list "
       "page.htm",
       kHelloThree, "", 0},
      {"shipped data, another language", "page.htm", kHelloPage,
       "--data-dir " + std::string(kDataDir) +
           " --language xx --min-frequency 1 list page.htm",
       kHelloThree,
       kUnavailable + "another language could not be read from file\n" +
           kDataDir + "/cmwds_xx.txt\n",
       0},
      {"default data folder, another language", "page.htm", kHelloPage,
       "--language xx --min-frequency 1 list page.htm", kHelloThree,
       kUnavailable + "another language could not be read from file\n" +
           beside + "/cmwds_xx.txt\n",
       0},
  });
}

TEST(CliTest, PrintsUsageOnHelp) {
  // Every option and command of the command line contract.
  std::istringstream options(
      "--title-weight --description-weight --existing-keywords-weight "
      "--bold-weight --italic-weight --table-weight --div-weight "
      "--span-weight --short-word-size --min-frequency ignore-short-words "
      "ignore-common-words preserve-case space-after-comma forward-slash "
      "--max-keywords --max-bytes --begin-with --ignore-words --language "
      "--data-dir --state list tag show insert run --tag --backup --done "
      "--subfolders --no-skip-done --no-add-done --dont-log-done "
      "--include-old --include-new --ext");
  std::vector<std::string> wanted;
  for (std::string o; options >> o;) wanted.push_back(o);
  for (const std::vector<std::string>& args :
       {std::vector<std::string>{"--help"},
        {"tag", "page.htm", "--help"},
        {"--help", "list"}}) {
    PageFolder folder;
    const ProgramResult r = RunCli(folder, args);
    const std::string row = args[0] + " ...";
    EXPECT_EQ(r.exit_status, 0) << row;
    EXPECT_EQ(r.err, "") << row;
    EXPECT_TRUE(r.out.starts_with("Usage: vorn-cli")) << row << "\n" << r.out;
    for (const std::string& o : wanted)
      EXPECT_NE(r.out.find(o), std::string::npos) << row << ": " << o;
  }
}

TEST(CliTest, RejectsMalformedCommandLines) {
  // Usage errors come before any file is read: the page does not exist.
  const struct {
    std::vector<std::string> args;
    std::string named;  // what the message must name, if anything
  } kCases[] = {
      {{}, ""},
      {{"--bogus", "list", "missing.htm"}, "--bogus"},
      {{"frobnicate", "missing.htm"}, "frobnicate"},
      {{"list"}, ""},
      {{"--min-frequency", "1", "tag"}, ""},
      {{"list", "missing.htm", "other.htm"}, "other.htm"},
      {{"--title-weight", "15", "list", "missing.htm"}, "15"},
      {{"--title-weight=95", "list", "missing.htm"}, "95"},
      {{"--description-weight", "-10", "list", "missing.htm"}, "-10"},
      {{"--bold-weight", "10", "list", "missing.htm"}, "10"},
      {{"--span-weight", "x", "list", "missing.htm"}, "--span-weight"},
      {{"--short-word-size", "0", "list", "missing.htm"}, "--short-word-size"},
      {{"--min-frequency", "10", "list", "missing.htm"}, "--min-frequency"},
      {{"--language", "zz", "list", "missing.htm"}, "zz"},
      {{"--language", "EN", "list", "missing.htm"}, "EN"},
      {{"--ext", "htm,txt", "list", "missing.htm"}, "txt"},
      {{"list", "missing.htm", "--title-weight"}, "--title-weight"},
      {{"--no-title-weight", "list", "missing.htm"}, "--no-title-weight"},
  };
  for (const auto& c : kCases) {
    PageFolder folder;
    const ProgramResult r = RunCli(folder, c.args);
    std::string row = "vorn-cli";
    for (const std::string& a : c.args) row += " '" + a + "'";
    EXPECT_EQ(r.exit_status, 2) << row;
    EXPECT_EQ(r.out, "") << row;
    EXPECT_NE(r.err, "") << row;
    EXPECT_NE(r.err.find(c.named), std::string::npos) << row << "\n" << r.err;
    EXPECT_EQ(folder.List(), std::vector<std::string>{}) << row;
  }
}

TEST(CliTest, ReportsBadInputOnStderr) {
  const std::string kNotFound = "File not found: Input file does not exist.\n";
  // 19999 bytes of text, then a form feed at position 20000.
  std::string form_feed = "<html><body>\n";
  while (form_feed.size() < 19999) form_feed += "<p>garden tools</p>\r\n";
  form_feed.resize(19999);
  form_feed += "\x0C more text\n";
  ExpectRuns({
      {"missing file", "", "", "list nothere.htm", "", kNotFound, 1},
      {"a folder named x.htm", "x.htm/inside.htm", "", "tag x.htm", "",
       kNotFound, 1},
      {"a dot only in a folder name", "dir.v2/page", kHelloPage,
       "tag dir.v2/page", "",
       "Invalid input: Invalid input file specification\n", 1},
      {"an extension without htm", "page.txt", kHelloPage, "list page.txt", "",
       "Invalid input: Input file name must have an extension containing "
       "'htm'.\n",
       1},
      {"form feed at 20000", "binary.htm", form_feed, "list binary.htm", "",
       "Not a text file: This file is not a text file.\nThe byte at "
       "position 20000\n is neither text nor whitespace.\n",
       1},
      // An empty page gives the message of an empty table, as an error.
      {"empty file", "empty.htm", "",
       "--short-word-size 3 --min-frequency 1 list empty.htm", "",
       "No words with more than 3 letters occur at least once.\n", 1},
  });
}

TEST(CliTest, ReportsUnreadableFile) {
  if (RunningAsRoot()) GTEST_SKIP() << "root reads files without permission";
  PageFolder folder;
  ASSERT_TRUE(folder.Write("page.htm", kHelloPage));
  ASSERT_EQ(::chmod(folder.Path("page.htm").c_str(), 0), 0);
  const ProgramResult r = RunCli(folder, {"list", "page.htm"});
  EXPECT_EQ(r.out, "");
  EXPECT_EQ(r.err, "Error: An error of an unknown kind has occurred.\n");
  EXPECT_EQ(r.exit_status, 1);
}

TEST(CliTest, PrintsUtf8WhateverThePageEncoding) {
  // café: title 90 + 3 + 3 = 96 (frequency 3); menu: title 90, exempt.
  // 9000 / 96 = 93.75 -> 94. The tag length counts characters: 40.
  const std::string list = std::string(kHeader) +
                           "   1   100    3 caf\xC3\xA9\n"
                           "   2    94    1 menu\n";
  const std::string tag = Tag("caf\xC3\xA9,menu\">", 2, 40);
  for (const std::string cafe : {"Caf\xC3\xA9", "Caf\xE9", "Caf&eacute;"}) {
    const std::string page = "<html><head><title>" + cafe +
                             " menu</title></head><body>\n<p>Fresh " + cafe +
                             ", hot " + cafe + ".</p>\n</body></html>\n";
    ExpectRuns(
        {{cafe + ", list", "page.htm", page, "list page.htm", list, "", 0},
         {cafe + ", tag", "page.htm", page, "tag page.htm", tag, "", 0}});
  }
}

TEST(CliTest, ComposesTheReadmeExample) {
  // `vorn-cli tag examples/site/index.htm`, from the README. The page's
  // leaders, worked by hand (tools and tool fold into one entry):
  //   tool     title 90, description 50, h1 33, bold 7, "tool for life" 3,
  //            "tool breaks" 3, table heading 5, h3 23, "garden tools" 3,
  //            footer div 5: 222
  //   shears   title 90, description 50, h2 28, strong 7, i 7, em 7,
  //            "sharpen shears" 3: 192
  //   pruning  title 90, description 50, nav div 5, h2 28, strong 7, and 3
  //            three times in the text: 189
  //   garden   title 90, description 50, h1 33, bold 7, text 3, footer 5: 188
  // The default limits hold: at most 50 keywords and 500 bytes.
  PageFolder folder;
  const ProgramResult r = RunCli(
      folder,
      {"tag", std::string(VORN_SOURCE_DIR) + "/examples/site/index.htm"});
  EXPECT_EQ(r.exit_status, 0);
  EXPECT_EQ(r.err, "");
  const std::string prefix = "<meta name=\"keywords\" content=\"";
  const std::size_t close = r.out.find("\">\n\n");
  ASSERT_TRUE(r.out.starts_with(prefix) && close != std::string::npos) << r.out;
  std::vector<std::string> words;
  std::istringstream content(r.out.substr(31, close - 31));
  for (std::string w; std::getline(content, w, ',');) words.push_back(w);
  int keywords = 0, bytes = 0;
  ASSERT_EQ(std::sscanf(r.out.c_str() + close + 4,
                        "Number of keywords in meta tag: %d\n"
                        "Number of bytes in meta tag: %d",
                        &keywords, &bytes),
            2)
      << r.out;
  EXPECT_EQ(static_cast<int>(words.size()), keywords) << r.out;
  EXPECT_EQ(bytes, static_cast<int>(close)) << r.out;
  EXPECT_LE(keywords, 50) << r.out;
  EXPECT_LE(bytes, 500) << r.out;
  ASSERT_GE(words.size(), 4u) << r.out;
  EXPECT_EQ(std::vector<std::string>(words.begin(), words.begin() + 4),
            (std::vector<std::string>{"tool", "shears", "pruning", "garden"}))
      << r.out;
}

}  // namespace
}  // namespace vorn
