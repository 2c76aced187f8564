// The multiple-file run over real folder trees: which files it takes, the
// order of the walk, the report it writes line for line, its counters and
// result texts, the inspect dialog, the Stop button, a rewrite made to
// fail, and a tree full of pages and folders that cannot be done.
#include "batch/multiple_file_run.h"

#include <grp.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <filesystem>
#include <functional>
#include <optional>
#include <regex>
#include <sstream>
#include <string>
#include <string_view>
#include <vector>

#include "batch/operation_parameters.h"
#include "batch/report.h"
#include "engine/analysis.h"
#include "engine/common_words.h"
#include "engine/settings.h"
#include "tests/support/fake_run_view.h"
#include "tests/support/faulty_file_system.h"
#include "tests/support/page_folder.h"

namespace vorn {
namespace {

using Strings = std::vector<std::string>;

// --- Pages.

// A page whose one word `word` stands in its title and its body, with CR LF
// line ends; `head` goes into the head before the title.
std::string Page(std::string_view word, std::string_view head = "") {
  return "<html>\r\n<head>\r\n" + std::string(head) + "<title>" +
         std::string(word) + "</title>\r\n</head>\r\n<body>\r\n<p>" +
         std::string(word) + "</p>\r\n</body>\r\n</html>\r\n";
}

// The keywords tag composed for Page(word).
std::string Tag(std::string_view word) {
  return "<meta name=\"keywords\" content=\"" + std::string(word) + "\">";
}

// Page(word) after an insertion into a head without a keywords tag: the
// new lines stand on their own just before the line that holds "</head>".
std::string PageWith(std::string_view word, std::string_view new_lines,
                     std::string_view head = "") {
  std::string page = Page(word, head);
  page.insert(page.find("</head>"), new_lines);
  return page;
}
std::string Inserted(std::string_view word) {
  return PageWith(word, Tag(word) + "\r\n");
}

constexpr char kOldDone[] =
    "<meta name=\"VORN done\" content=\"2008-01-31\">\r\n";
// A done tag as a run writes it; compare through Undated.
constexpr char kDoneLine[] = "<meta name=\"VORN done\" content=\"DATE\">\r\n";

// `page` with the date of every done tag written as "DATE".
std::string Undated(const std::string& page) {
  static const std::regex kDate(R"(("VORN done" content=")\d{4}-\d\d-\d\d")");
  return std::regex_replace(page, kDate, "$1DATE\"");
}

// --- Report lines, as a run writes them.

constexpr char kInsertedLine[] = "  ---  Keywords meta tag inserted.";
constexpr char kDoneAlready[] = "  ---  Done already.";
constexpr char kNotInserted[] = "  ---  Meta tag not inserted.";
constexpr char kSame[] =
    "  ---  New keywords meta tag is the same as the existing one.";
constexpr char kNoHeadEnd[] =
    "  ---  Keywords meta tag not inserted because </head> is missing.";
constexpr char kSpansLines[] =
    "  ---  Keywords meta tag not inserted because existing meta tag "
    "occupies more than one line.";
constexpr char kNoTag[] = "  ---  No keywords meta tag to insert.";
constexpr char kNotText[] = "  ---  Not a text file (byte 7).";
constexpr char kFileStopped[] = "  ---  Operation on this file stopped.";
constexpr char kStoppedLine[] =
    "\r\n\r\nOperation stopped at user's request.\r\n";
constexpr char kNothingInserted[] =
    "\r\nNo keywords meta tag was inserted in any file.\r\n";
constexpr char kNothing[] = "No keywords meta tag was inserted in any file.";
constexpr char kOneInOne[] =
    "A keywords meta tag was inserted in 1 file in 1 folder.";
constexpr char kGoOnBox[] =
    "Continue? | Go on to the next file? | none | yes/no\n";

// "Folder: " line; the first of a report has nothing before it, every later
// one a CR LF.
std::string FolderLine(const std::string& path, bool first = false) {
  return (first ? "" : "\r\n") + ("Folder: " + path + "\r\n");
}

std::string FileLine(const std::string& name, std::string_view outcome) {
  return "\r\nFile: " + name + std::string(outcome) + "\r\n";
}

// The summary after the file lines: the list of the files that received a
// tag, or the no-insertion line.
std::string Summary(const Strings& paths) {
  if (paths.empty()) return kNothingInserted;
  std::string s = "\r\nA keywords meta tag was inserted in the following ";
  s += paths.size() == 1 ? "file" : std::to_string(paths.size()) + " files";
  s += ":\r\n\r\n";
  for (const std::string& p : paths) s += p + "\r\n";
  return s + "\r\n";
}

// The "Result" box as FakeView describes it.
std::string ResultBox(const std::string& text) {
  return "Result | " + text + " | none | ok\n";
}

// The counters and result text in one line, to compare a summary whole.
std::string Counts(std::int64_t files, std::int64_t inserted,
                   std::int64_t folders, bool stopped,
                   const std::string& result) {
  return "files=" + std::to_string(files) +
         " inserted=" + std::to_string(inserted) +
         " folders=" + std::to_string(folders) +
         " stopped=" + (stopped ? "1" : "0") + " result=" + result;
}
std::string Describe(const RunSummary& s) {
  return Counts(s.FileCount, s.InsertedCount, s.FolderCount, s.stopped,
                s.result_text);
}

// The file names (after the last "/") of a list of paths.
Strings Names(const Strings& paths) {
  Strings names;
  for (const std::string& p : paths)
    names.push_back(p.substr(p.rfind('/') + 1));
  return names;
}

// The words of `text`, split at blanks.
Strings Words(const std::string& text) {
  std::istringstream in(text);
  Strings words;
  for (std::string w; in >> w;) words.push_back(w);
  return words;
}

// --- The run.

const CommonWordsTable& NoCommonWords() {
  static const CommonWordsTable* const table = new CommonWordsTable;
  return *table;
}

// The parameters every test starts from: the start values, except that no
// dialog is shown, no words are echoed and no done tag is written (so that
// a rewritten page can be compared whole); tests change what they exercise.
OperationParameters FixedParameters() {
  OperationParameters p;
  p.Confirm = false;
  p.DisplayWords = false;
  p.AddDone = false;
  return p;
}

// One run's world: a fresh folder, the analysis with fixed settings, the
// parameters, the report and the scripted window.
struct Bench {
  Bench() {
    AnalysisSettings settings;
    settings.IgnoreCommonWords = false;  // no list is loaded
    analysis.UpdateSettings(settings);
  }
  RunSummary Run(FileSystem* fs = nullptr) {
    return RunMultipleFileOperation(d, analysis, parameters, report, view, fs);
  }
  // Writes Page(word) for each "name=word" of `pages`, split at blanks.
  void Pages(const std::string& pages) {
    for (const std::string& p : Words(pages)) {
      const std::size_t eq = p.find('=');
      EXPECT_TRUE(dir.Write(p.substr(0, eq), Page(p.substr(eq + 1)))) << p;
    }
  }
  std::string Read(std::string_view name) const {
    return dir.Read(name).value_or("<cannot read>");
  }

  PageFolder dir;
  const std::string d = dir.path();
  Analysis analysis{NoCommonWords()};
  OperationParameters parameters = FixedParameters();
  Report report{parameters};
  FakeRunView view;
};

// --- Which files, in which order.

TEST(MultipleFileRunTest, OnlyTheHtmPageOfThreeFiles) {
  Bench b;
  b.Pages("abc.htm=alpha abc.bak.htm=beta notes.txt=gamma");
  b.parameters.HTML = false;  // only HTM set
  const RunSummary s = b.Run();

  EXPECT_EQ(b.report.text(), FolderLine(b.d, true) +
                                 FileLine("abc.htm", kInsertedLine) +
                                 Summary({b.d + "/abc.htm"}));
  EXPECT_EQ(Describe(s), Counts(1, 1, 1, false, kOneInOne));
  EXPECT_EQ(b.view.fake().BoxesText(), ResultBox(kOneInOne));
  // The output box lists the files that received a tag.
  EXPECT_EQ(b.view.fake().output(),
            "A keywords meta tag was inserted in the following file:\r\n\r\n" +
                b.d + "/abc.htm\r\n");
  EXPECT_EQ(b.view.input_files(), Strings{b.d + "/abc.htm"});
  // FileCount never passes 1: the caption is not updated.
  EXPECT_TRUE(b.view.captions().empty());
  EXPECT_EQ(b.view.runs_started(), 1);
  EXPECT_EQ(b.view.runs_ended(), 1);
  EXPECT_GE(b.view.report_shown(), 1);
  EXPECT_EQ(b.Read("abc.htm"), Inserted("alpha"));
  EXPECT_EQ(b.Read("abc.bak.htm"), Page("beta"));
  EXPECT_EQ(b.Read("notes.txt"), Page("gamma"));
}

TEST(MultipleFileRunTest, ExtensionsAndBackupNames) {
  // Skipped whatever the boxes: names holding "bak." (exact case), names
  // whose last extension is not one of the four.
  const Strings kFiles = Words(
      "a.shtml b.shtm c.html d.htm E.HTM f.htmx g.xhtml h.bak.html webbak.htm "
      "i.BAK.htm j.htm.txt k l.SHTML m.html.bak");
  const struct {
    const char* ticked;     // the extension boxes ticked
    const char* processed;  // in walk order
  } kCases[] = {
      {"htm", "d.htm E.HTM i.BAK.htm"},
      {"html", "c.html"},
      {"shtm", "b.shtm"},
      {"shtml", "a.shtml l.SHTML"},
      {"htm html", "c.html d.htm E.HTM i.BAK.htm"},
      {"htm html shtm shtml",
       "a.shtml b.shtm c.html d.htm E.HTM i.BAK.htm l.SHTML"},
      {"", ""},
  };
  for (const auto& c : kCases) {
    Bench b;
    for (const std::string& f : kFiles) {
      ASSERT_TRUE(b.dir.Write(f, Page("alpha")));
    }
    const Strings ticked = Words(c.ticked);
    auto has = [&](const char* e) {
      return std::find(ticked.begin(), ticked.end(), e) != ticked.end();
    };
    b.parameters.HTM = has("htm");
    b.parameters.HTML = has("html");
    b.parameters.SHTM = has("shtm");
    b.parameters.SHTML = has("shtml");
    const RunSummary s = b.Run();
    const Strings processed = Words(c.processed);
    EXPECT_EQ(Names(b.view.input_files()), processed) << c.ticked;
    EXPECT_EQ(s.InsertedCount, static_cast<std::int64_t>(processed.size()))
        << c.ticked;
    for (const std::string& f : kFiles) {
      const bool taken =
          std::find(processed.begin(), processed.end(), f) != processed.end();
      EXPECT_EQ(b.Read(f), taken ? Inserted("alpha") : Page("alpha"))
          << c.ticked << ": " << f;
    }
    if (processed.empty()) {
      EXPECT_EQ(b.report.text(), FolderLine(b.d, true) + kNothingInserted);
      EXPECT_EQ(b.view.fake().BoxesText(), ResultBox(kNothing));
    }
  }
}

TEST(MultipleFileRunTest, CountFolderHtmlFilesCountsTickedExtensions) {
  PageFolder dir;
  for (const std::string& f :
       Words("a.shtml b.shtm c.html d.htm E.HTM x.bak.htm notes.txt "
             "sub/deep.htm"))
    ASSERT_TRUE(dir.Write(f, "x"));
  OperationParameters p;
  p.HTM = p.HTML = p.SHTM = p.SHTML = false;
  EXPECT_EQ(CountFolderHtmlFiles(dir.path(), p), 0);
  p.HTM = true;
  // d.htm, E.HTM and x.bak.htm: the count uses the wildcard match only, and
  // files of subfolders do not count.
  EXPECT_EQ(CountFolderHtmlFiles(dir.path(), p), 3);
  p.SHTML = true;
  EXPECT_EQ(CountFolderHtmlFiles(dir.path(), p), 4);
  p.HTML = p.SHTM = true;
  EXPECT_EQ(CountFolderHtmlFiles(dir.path(), p), 6);
  EXPECT_LT(CountFolderHtmlFiles(dir.Path("missing"), p), 0);
}

TEST(MultipleFileRunTest, NamesInOrderWhateverTheirCase) {
  // Created out of order; letter case is ignored first, then the exact
  // bytes decide ("B" before "b").
  Bench b;
  b.Pages("C.htm=a b.htm=a B.htm=a a.htm=a ab.htm=a");
  b.Run();
  EXPECT_EQ(Names(b.view.input_files()),
            Words("a.htm ab.htm B.htm b.htm C.htm"));
}

TEST(MultipleFileRunTest, SubfoldersDepthFirstWithoutFollowingFolderLinks) {
  PageFolder root;
  const std::string d = root.Path("site");
  // Outside the tree, reached only through a link.
  ASSERT_TRUE(root.Write("outside.htm", Page("outside")));
  ASSERT_TRUE(root.Write("site/top.htm", Page("top")));
  ASSERT_EQ(
      ::symlink(root.Path("outside.htm").c_str(), (d + "/link.htm").c_str()),
      0);
  ASSERT_EQ(::symlink(d.c_str(), (d + "/loop").c_str()), 0);  // back to top
  ASSERT_TRUE(root.Write("site/alpha/inner/deep.htm", Page("deep")));
  ASSERT_TRUE(root.Write("site/beta/notes.txt", "notes"));  // nothing to do
  ASSERT_TRUE(root.Write("site/Zeta/z.html", Page("zulu")));
  Bench b;
  b.parameters.IncludeAllSubfolders = true;
  const RunSummary s =
      RunMultipleFileOperation(d, b.analysis, b.parameters, b.report, b.view);

  // A folder's own files first, then each subfolder whole, in name order
  // (alpha, beta, Zeta); "Folder: " only where pages lie; loop not entered.
  EXPECT_EQ(b.report.text(),
            FolderLine(d, true) + FileLine("link.htm", kInsertedLine) +
                FileLine("top.htm", kInsertedLine) +
                FolderLine(d + "/alpha/inner") +
                FileLine("deep.htm", kInsertedLine) + FolderLine(d + "/Zeta") +
                FileLine("z.html", kInsertedLine) +
                Summary({d + "/link.htm", d + "/top.htm",
                         d + "/alpha/inner/deep.htm", d + "/Zeta/z.html"}));
  // Folders visited: the top, alpha, alpha/inner, beta and Zeta.
  EXPECT_EQ(Describe(s),
            Counts(4, 4, 5, false,
                   "A keywords meta tag was inserted in 4 files in 5 "
                   "folders."));
  EXPECT_EQ(b.view.captions(),
            (Strings{"Keywords meta tag inserted in 2 of 2 files.",
                     "Keywords meta tag inserted in 3 of 3 files.",
                     "Keywords meta tag inserted in 4 of 4 files."}));
  // The link is still a link, and its target holds the new tag.
  const auto now = root.Snapshot();
  EXPECT_EQ(now.at("site/link.htm"), "link to " + root.Path("outside.htm"));
  EXPECT_EQ(now.at("outside.htm"), Inserted("outside"));
  EXPECT_EQ(now.at("site/top.htm"), Inserted("top"));
  EXPECT_EQ(now.at("site/alpha/inner/deep.htm"), Inserted("deep"));
  EXPECT_EQ(now.at("site/Zeta/z.html"), Inserted("zulu"));
}

TEST(MultipleFileRunTest, StartChecksTheFolderBox) {
  PageFolder dir;
  ASSERT_TRUE(dir.Write("a.htm", Page("alpha")));
  const std::string kEmpty =
      "Invalid input | No input folder specified. | exclamation | ok\n";
  const std::string kMissing =
      "Invalid input | Folder does not exist | exclamation | ok\n";
  const struct {
    const char* name;
    std::string box;
    std::string box_after;  // trimmed and written back
    std::string boxes;
  } kCases[] = {
      {"empty", "", "", kEmpty},
      {"blanks", "   ", "", kEmpty},
      {"missing", dir.Path("none"), dir.Path("none"), kMissing},
      {"a file", dir.Path("a.htm"), dir.Path("a.htm"), kMissing},
      {"padded", "  " + dir.path() + " ", dir.path(), ResultBox(kOneInOne)},
  };
  for (const auto& c : kCases) {
    Bench b;
    std::string box = c.box;
    const std::optional<RunSummary> s =
        StartMultipleFileRun(box, b.analysis, b.parameters, b.report, b.view);
    EXPECT_EQ(s.has_value(), c.box_after == dir.path()) << c.name;
    EXPECT_EQ(box, c.box_after) << c.name;
    EXPECT_EQ(b.view.fake().BoxesText(), c.boxes) << c.name;
    if (!s) {
      EXPECT_EQ(b.report.text(), "") << c.name;
    }
  }
}

// --- Outcomes, counters and report lines.

TEST(MultipleFileRunTest, SkipDone) {
  const struct {
    const char* name;
    bool skip_done, dont_log_done;
    const char* done_outcome;  // nullptr: no line for done.htm
    int inserted;
  } kCases[] = {
      {"skip and log", true, false, kDoneAlready, 1},
      {"skip quietly", true, true, nullptr, 1},
      {"no skip", false, false, kInsertedLine, 2},
      {"no skip, dont-log ignored", false, true, kInsertedLine, 2},
  };
  for (const auto& c : kCases) {
    Bench b;
    ASSERT_TRUE(b.dir.Write("done.htm", Page("alpha", kOldDone)));
    ASSERT_TRUE(b.dir.Write("fresh.htm", Page("beta")));
    b.parameters.SkipDone = c.skip_done;
    b.parameters.DontLogDone = c.dont_log_done;
    const RunSummary s = b.Run();
    Strings list = {b.d + "/fresh.htm"};
    if (!c.skip_done) list.insert(list.begin(), b.d + "/done.htm");
    EXPECT_EQ(b.report.text(),
              FolderLine(b.d, true) +
                  (c.done_outcome ? FileLine("done.htm", c.done_outcome) : "") +
                  FileLine("fresh.htm", kInsertedLine) + Summary(list))
        << c.name;
    // A skipped page counts as a file, is not scanned and updates no
    // caption.
    EXPECT_EQ(s.FileCount, 2) << c.name;
    EXPECT_EQ(s.InsertedCount, c.inserted) << c.name;
    EXPECT_EQ(b.view.captions(),
              Strings{"Keywords meta tag inserted in " +
                      std::to_string(c.inserted) + " of 2 files."})
        << c.name;
    EXPECT_EQ(b.view.input_files(), list) << c.name;
    // Rewritten, the old done tag is gone and (AddDone clear) none is added.
    EXPECT_EQ(b.Read("done.htm"),
              c.skip_done ? Page("alpha", kOldDone) : Inserted("alpha"))
        << c.name;
    EXPECT_EQ(b.Read("fresh.htm"), Inserted("beta")) << c.name;
  }
}

// A UTF-8 page and file name: the engine's texts (report, dialog, old tag)
// are Windows-1252, the page keeps UTF-8.
TEST(MultipleFileRunTest, Utf8PageAndName) {
  const std::string kCafe1252 = "caf\xE9";
  const std::string kCharset = "<meta charset=\"utf-8\">\r\n";
  // The second old tag equals the new one but for letter case (É and é
  // are one letter).
  for (const std::string old_line :
       {"", "<meta name=\"keywords\" content=\"CAF\xC3\x89\">\r\n"}) {
    Bench b;
    const std::string page = Page("caf\xC3\xA9", kCharset + old_line);
    ASSERT_TRUE(b.dir.Write("CAF\xC3\x89.htm", page));
    const bool inserted = old_line.empty();
    b.parameters.Confirm = true;
    b.parameters.AddDone = !inserted;  // only the dialog's box says so
    ClickIncludeNewMetaTag(b.parameters, true);
    b.view.QueueInspect(FakeRunView::Keep(true, false, false));
    b.Run();
    // The dialog: the name in lower case, the composed tag, the done box as
    // AddDone says. The main box: the old tag to the end of its line.
    ASSERT_EQ(b.view.inspections().size(), 1u) << old_line;
    EXPECT_EQ(b.view.inspections()[0].file_label, "File: caf\xE9.htm");
    EXPECT_EQ(b.view.inspections()[0].tag, Tag(kCafe1252));
    EXPECT_EQ(b.view.inspections()[0].insert_done, !inserted);
    EXPECT_EQ(b.view.output_at_inspection()[0],
              "Existing keywords meta tag: " +
                  (inserted ? std::string("No keywords meta tag found.")
                            : "<meta name=\"keywords\" content=\"CAF\xC9\">"));
    EXPECT_EQ(b.report.text(),
              FolderLine(b.d, true) +
                  FileLine("CAF\xC9.htm",
                           inserted ? "\r\nNEW: " + Tag(kCafe1252) : kSame) +
                  Summary(inserted ? Strings{b.d + "/CAF\xC9.htm"} : Strings{}))
        << old_line;
    EXPECT_EQ(b.Read("CAF\xC3\x89.htm"),
              inserted ? PageWith("caf\xC3\xA9", Tag("caf\xC3\xA9") + "\r\n",
                                  kCharset)
                       : page)
        << old_line;
  }
}

TEST(MultipleFileRunTest, EachOutcomeHasItsLine) {
  Bench b;
  // A non-text byte (1) at position 7, after "<html>".
  ASSERT_TRUE(
      b.dir.Write("bin.htm", std::string("<html>\x01<head></head>", 20)));
  ASSERT_TRUE(b.dir.Write("done.htm", Page("alpha", kOldDone)));
  ASSERT_TRUE(b.dir.Write(
      "nohead.htm",
      "<html>\r\n<title>alpha</title>\r\n<p>alpha</p>\r\n</html>\r\n"));
  // No word long enough and frequent enough: the box holds no tag.
  ASSERT_TRUE(b.dir.Write("nowords.htm",
                          "<html>\r\n<head>\r\n</head>\r\n<p>1 2 3</p>\r\n"));
  ASSERT_TRUE(b.dir.Write("ok.htm", Page("alpha")));
  // The old text, from "<meta " to the end of its line, is compared with
  // the new tag ignoring letter case.
  const std::string more =
      "<meta name=\"keywords\" content=\"alpha\"> <!-- x -->";
  ASSERT_TRUE(b.dir.Write("more.htm", Page("alpha", more + "\r\n")));
  ASSERT_TRUE(b.dir.Write(
      "same.htm",
      Page("alpha", "<meta name=\"keywords\" content=\"alpha\">\r\n")));
  ASSERT_TRUE(b.dir.Write(
      "same2.htm",
      Page("alpha", "<meta name=\"KEYWORDS\" content=\"ALPHA\">\r\n")));
  ASSERT_TRUE(b.dir.Write(
      "span.htm",
      Page("alpha", "<meta name=\"keywords\"\r\ncontent=\"old, words\">\r\n")));
  const auto before = b.dir.Snapshot();

  const RunSummary s = b.Run();
  EXPECT_EQ(
      b.report.text(),
      FolderLine(b.d, true) + FileLine("bin.htm", kNotText) +
          FileLine("done.htm", kDoneAlready) +
          FileLine("more.htm", kInsertedLine) +
          FileLine("nohead.htm", kNoHeadEnd) + FileLine("nowords.htm", kNoTag) +
          FileLine("ok.htm", kInsertedLine) + FileLine("same.htm", kSame) +
          FileLine("same2.htm", kSame) + FileLine("span.htm", kSpansLines) +
          Summary({b.d + "/more.htm", b.d + "/ok.htm"}));
  EXPECT_EQ(Describe(s),
            Counts(9, 2, 1, false,
                   "A keywords meta tag was inserted in 2 files in 1 folder."));
  // After every file but the skipped done one, from the second file on.
  Strings captions;
  for (const char* counts :
       {"1 of 3", "1 of 4", "1 of 5", "2 of 6", "2 of 7", "2 of 8", "2 of 9"})
    captions.push_back("Keywords meta tag inserted in " + std::string(counts) +
                       " files.");
  EXPECT_EQ(b.view.captions(), captions);
  // Only the two inserted pages change.
  auto expected = before;
  expected["more.htm"] = Page("alpha", Tag("alpha") + "\r\n<!-- x -->\r\n");
  expected["ok.htm"] = Inserted("alpha");
  EXPECT_EQ(b.dir.Snapshot(), expected);
}

TEST(MultipleFileRunTest, OldAndNewTagsInTheReport) {
  const std::string kOld = "<meta name=\"keywords\" content=\"old, words\">";
  const std::string kNewA = "\r\nNEW: " + Tag("alpha");
  const std::string kNewB = "\r\nNEW: " + Tag("beta");
  const struct {
    const char* name;
    bool click_old, click_new;  // boxes clicked on, in this order: new, old
    std::string old_page_log;   // after "\r\nFile: old.htm"
    std::string plain_page_log;
  } kCases[] = {
      {"neither", false, false, kInsertedLine, kInsertedLine},
      // NEW replaces the "inserted" ending; OLD only where a tag was
      // replaced.
      {"new", false, true, kNewA, kNewB},
      {"old (sets new)", true, false, "\r\nOLD: " + kOld + kNewA, kNewB},
      {"both", true, true, "\r\nOLD: " + kOld + kNewA, kNewB},
  };
  for (const auto& c : kCases) {
    Bench b;
    ASSERT_TRUE(b.dir.Write("old.htm", Page("alpha", kOld + "\r\n")));
    ASSERT_TRUE(b.dir.Write("plain.htm", Page("beta")));
    if (c.click_new) ClickIncludeNewMetaTag(b.parameters, true);
    if (c.click_old) ClickIncludeOldMetaTag(b.parameters, true);
    b.Run();
    EXPECT_EQ(b.report.text(),
              FolderLine(b.d, true) + FileLine("old.htm", c.old_page_log) +
                  FileLine("plain.htm", c.plain_page_log) +
                  Summary({b.d + "/old.htm", b.d + "/plain.htm"}))
        << c.name;
    // The new tag takes the old one's place.
    EXPECT_EQ(b.Read("old.htm"), Page("alpha", Tag("alpha") + "\r\n"))
        << c.name;
  }
}

TEST(MultipleFileRunTest, NoLoggingLeavesTheReportAlone) {
  Bench b;
  b.Pages("a.htm=alpha");
  ASSERT_TRUE(b.dir.Write(
      "b.htm", Page("beta", "<meta name=\"keywords\" content=\"x\">\r\n")));
  ASSERT_TRUE(b.dir.Write("done.htm", Page("gamma", kOldDone)));
  b.report.Output("earlier run\r\n");
  b.parameters.LogOperations = false;
  // Even with everything that would write asked for, and the report to be
  // cleared at start.
  ClickIncludeOldMetaTag(b.parameters, true);
  b.parameters.ClearReportAtStart = true;
  const RunSummary s = b.Run();
  EXPECT_EQ(b.report.text(), "earlier run\r\n");
  EXPECT_EQ(b.view.report_shown(), 0);
  // The run itself goes on as usual.
  const std::string result =
      "A keywords meta tag was inserted in 2 files in 1 folder.";
  EXPECT_EQ(Describe(s), Counts(3, 2, 1, false, result));
  EXPECT_EQ(b.view.fake().BoxesText(), ResultBox(result));
  EXPECT_EQ(b.Read("a.htm"), Inserted("alpha"));
  EXPECT_EQ(b.Read("b.htm"), Page("beta", Tag("beta") + "\r\n"));
}

TEST(MultipleFileRunTest, ReportKeptBetweenRunsIsDividedByDashes) {
  Bench b;
  b.Pages("a.htm=alpha");
  b.parameters.ClearReportAtStart = false;
  b.Run();
  const std::string first = b.report.text();
  EXPECT_EQ(first, FolderLine(b.d, true) + FileLine("a.htm", kInsertedLine) +
                       Summary({b.d + "/a.htm"}));
  // The second run finds the tag it would write already there; with
  // nothing inserted the output box keeps the last tag composed.
  b.Run();
  EXPECT_EQ(b.view.fake().output(), Tag("alpha"));
  const std::string second =
      FolderLine(b.d) + FileLine("a.htm", kSame) + kNothingInserted;
  EXPECT_EQ(b.report.text(),
            first + "\r\n" + std::string(b.d.size() + 8, '-') + second);
  // Cleared at start, the report holds the last run only.
  b.parameters.ClearReportAtStart = true;
  b.Run();
  EXPECT_EQ(b.report.text(), second.substr(2));
}

TEST(MultipleFileRunTest, ResultTexts) {
  const struct {
    const char* top;  // the words of the pages at the top
    const char* sub;  // and in the subfolder
    bool subfolders;
    const char* result;
  } kCases[] = {
      {"alpha", "", false, kOneInOne},
      // Without subfolders only the top is done.
      {"alpha beta", "gamma", false,
       "A keywords meta tag was inserted in 2 files in 1 folder."},
      {"alpha beta", "gamma", true,
       "A keywords meta tag was inserted in 3 files in 2 folders."},
      {"", "gamma", true,
       "A keywords meta tag was inserted in 1 file in 2 folders."},
  };
  for (const auto& c : kCases) {
    Bench b;
    Strings list;
    std::string body;
    for (const std::string& w : Words(c.top)) {
      ASSERT_TRUE(b.dir.Write(w + ".htm", Page(w)));
      list.push_back(b.d + "/" + w + ".htm");
      body += FileLine(w + ".htm", kInsertedLine);
    }
    ASSERT_TRUE(b.dir.MakeFolder("sub"));
    if (c.subfolders) body += FolderLine(b.d + "/sub");
    for (const std::string& w : Words(c.sub)) {
      ASSERT_TRUE(b.dir.Write("sub/" + w + ".htm", Page(w)));
      if (!c.subfolders) continue;
      list.push_back(b.d + "/sub/" + w + ".htm");
      body += FileLine(w + ".htm", kInsertedLine);
    }
    b.parameters.IncludeAllSubfolders = c.subfolders;
    const RunSummary s = b.Run();
    EXPECT_EQ(s.result_text, c.result);
    EXPECT_EQ(b.view.fake().BoxesText(), ResultBox(c.result));
    // The top folder always has its line, even with no page of its own.
    EXPECT_EQ(b.report.text(), FolderLine(b.d, true) + body + Summary(list))
        << c.result;
    // The output box holds the summary without its blank lines around.
    const std::string summary = Summary(list);
    EXPECT_EQ(b.view.fake().output(), summary.substr(2, summary.size() - 4))
        << c.result;
    for (const std::string& w : Words(c.sub)) {
      EXPECT_EQ(b.Read("sub/" + w + ".htm"),
                c.subfolders ? Inserted(w) : Page(w));
    }
  }
}

TEST(MultipleFileRunTest, ParametersAreReadLive) {
  Bench b;
  b.Pages("a.htm=alpha b.htm=beta c.html=gamma");
  b.parameters.Confirm = true;
  // While a.htm is inspected the user unticks "htm" in the parameters
  // window: from the next file on, .htm pages are passed over.
  b.view.QueueInspect([&b](const InspectRequest& request) {
    b.parameters.HTM = false;
    return InspectAnswer{true, false, false, request.tag};
  });
  b.view.QueueInspect(FakeRunView::Keep(true, false, false));
  const RunSummary s = b.Run();
  EXPECT_EQ(Names(b.view.input_files()), Words("a.htm c.html"));
  EXPECT_EQ(s.FileCount, 2);
  EXPECT_EQ(b.Read("b.htm"), Page("beta"));
}

TEST(MultipleFileRunTest, FailedRewriteIsLoggedAndTheRunGoesOn) {
  Bench b;
  b.Pages("a.htm=alpha b.htm=beta c.htm=gamma");
  b.parameters.Backup = true;
  // The first rename of the run is that of a.htm's backup.
  FaultyFileSystem failing;
  failing.FailCall(FsOp::kRename, 1);
  const RunSummary s = b.Run(&failing);
  EXPECT_TRUE(failing.FaultHit());
  // The insertion's file error (-7) is logged with its value.
  EXPECT_EQ(b.report.text(),
            FolderLine(b.d, true) +
                FileLine("a.htm",
                         "  ---  An error (-7) occurred during meta tag "
                         "insertion.") +
                FileLine("b.htm", kInsertedLine) +
                FileLine("c.htm", kInsertedLine) +
                Summary({b.d + "/b.htm", b.d + "/c.htm"}));
  EXPECT_EQ(Describe(s),
            Counts(3, 2, 1, false,
                   "A keywords meta tag was inserted in 2 files in 1 folder."));
  // The page that failed is as it was, and no temporary file is left; the
  // two others have their backups.
  EXPECT_EQ(b.dir.Snapshot(),
            (std::map<std::string, std::string>{{"a.htm", Page("alpha")},
                                                {"b.bak.htm", Page("beta")},
                                                {"b.htm", Inserted("beta")},
                                                {"c.bak.htm", Page("gamma")},
                                                {"c.htm", Inserted("gamma")}}));
}

// --- The inspect dialog.

TEST(MultipleFileRunTest, InspectAnswers) {
  const std::string kEdited =
      "<meta name=\"keywords\" content=\"edited, by hand\">";
  const struct {
    const char* name;
    InspectAnswer answer;
    std::string outcome;  // the end of page.htm's report line
    std::string page;     // page.htm afterwards, undated
  } kCases[] = {
      {"both ticked, edited",
       {true, false, true, kEdited},
       kInsertedLine,
       PageWith("alpha", kEdited + "\r\n" + kDoneLine)},
      {"insert only",
       {true, false, false, kEdited},
       kInsertedLine,
       PageWith("alpha", kEdited + "\r\n")},
      // Only the done tag is written; the page is not counted.
      {"done only",
       {false, false, true, kEdited},
       kNotInserted,
       PageWith("alpha", kDoneLine)},
      {"neither", {false, false, false, kEdited}, kNotInserted, Page("alpha")},
      // The insertion refuses a text that is not a keywords tag.
      {"edited into no meta tag",
       {true, false, true, "<mta name=\"keywords\" content=\"x\">"},
       kNoTag,
       Page("alpha")},
      {"edited into no keywords marker",
       {true, false, true, "<meta name=keywords content=\"x\">"},
       kNoTag,
       Page("alpha")},
  };
  for (const auto& c : kCases) {
    Bench b;
    b.Pages("page.htm=alpha");
    b.parameters.Confirm = true;
    b.view.QueueInspect(c.answer);
    const RunSummary s = b.Run();
    const bool counted = c.outcome == kInsertedLine;
    EXPECT_EQ(b.report.text(),
              FolderLine(b.d, true) + FileLine("page.htm", c.outcome) +
                  Summary(counted ? Strings{b.d + "/page.htm"} : Strings{}))
        << c.name;
    EXPECT_EQ(Undated(b.Read("page.htm")), c.page) << c.name;
    EXPECT_EQ(s.InsertedCount, counted ? 1 : 0) << c.name;
    EXPECT_EQ(b.view.pending_inspections(), 0u) << c.name;
  }
}

TEST(MultipleFileRunTest, InspectStopEndsTheRun) {
  const struct {
    const char* name;
    bool insert, insert_done;
    std::string a_log;  // a.htm's line and what follows it
    std::string a_page;
  } kCases[] = {
      // The file is finished (its line ends), then the run stops.
      {"insert and stop", true, false,
       FileLine("a.htm", kInsertedLine) + kStoppedLine, Inserted("alpha")},
      // Without insertion the run stops at once: no line end first.
      {"stop without insert", false, false,
       "\r\nFile: a.htm" + std::string(kNotInserted) + kStoppedLine,
       Page("alpha")},
      // As the close box: the done tag is still written.
      {"stop without insert, done ticked", false, true,
       "\r\nFile: a.htm" + std::string(kNotInserted) + kStoppedLine,
       PageWith("alpha", kDoneLine)},
  };
  for (const auto& c : kCases) {
    Bench b;
    b.Pages("a.htm=alpha b.htm=beta sub/c.htm=gamma");
    b.parameters.Confirm = true;
    b.parameters.IncludeAllSubfolders = true;
    b.view.QueueInspect(FakeRunView::Keep(c.insert, true, c.insert_done));
    const RunSummary s = b.Run();
    EXPECT_EQ(b.report.text(),
              FolderLine(b.d, true) + c.a_log +
                  Summary(c.insert ? Strings{b.d + "/a.htm"} : Strings{}))
        << c.name;
    const std::string result = c.insert ? kOneInOne : kNothing;
    EXPECT_EQ(Describe(s), Counts(1, c.insert ? 1 : 0, 1, true, result))
        << c.name;
    EXPECT_EQ(b.view.fake().BoxesText(), ResultBox(result)) << c.name;
    EXPECT_EQ(b.view.inspections().size(), 1u) << c.name;
    EXPECT_EQ(Undated(b.Read("a.htm")), c.a_page) << c.name;
    EXPECT_EQ(b.Read("b.htm"), Page("beta")) << c.name;
    EXPECT_EQ(b.Read("sub/c.htm"), Page("gamma")) << c.name;
  }
}

// --- The Stop button.

TEST(MultipleFileRunTest, StopThenGoOn) {
  Bench b;
  b.Pages("a.htm=alpha b.htm=beta c.htm=gamma");
  b.view.StopDuringFile("b.htm", 1);
  b.view.fake().QueueAnswer(Answer::kYes);
  const RunSummary s = b.Run();
  EXPECT_EQ(b.report.text(), FolderLine(b.d, true) +
                                 FileLine("a.htm", kInsertedLine) +
                                 FileLine("b.htm", kFileStopped) +
                                 FileLine("c.htm", kInsertedLine) +
                                 Summary({b.d + "/a.htm", b.d + "/c.htm"}));
  const std::string result =
      "A keywords meta tag was inserted in 2 files in 1 folder.";
  EXPECT_EQ(Describe(s), Counts(3, 2, 1, false, result));
  EXPECT_EQ(b.view.fake().BoxesText(), kGoOnBox + ResultBox(result));
  EXPECT_EQ(b.Read("b.htm"), Page("beta"));
  EXPECT_EQ(b.Read("c.htm"), Inserted("gamma"));
  EXPECT_EQ(b.view.captions(),
            (Strings{"Keywords meta tag inserted in 1 of 2 files.",
                     "Keywords meta tag inserted in 2 of 3 files."}));
}

TEST(MultipleFileRunTest, StopInASubfolderLeavesNoHalfDonePage) {
  const std::string kTree =
      "a.htm=alpha b.htm=beta sub1/c.htm=gamma sub1/d.htm=delta "
      "sub2/e.htm=echo";
  Bench b;
  b.Pages(kTree);
  const auto original = b.dir.Snapshot();
  b.parameters.IncludeAllSubfolders = true;
  b.view.StopDuringFile("c.htm", 1);  // the first page of sub1
  b.view.fake().QueueAnswer(Answer::kNo);
  const RunSummary s = b.Run();
  EXPECT_EQ(b.report.text(),
            FolderLine(b.d, true) + FileLine("a.htm", kInsertedLine) +
                FileLine("b.htm", kInsertedLine) + FolderLine(b.d + "/sub1") +
                "\r\nFile: c.htm" + kFileStopped + kStoppedLine +
                Summary({b.d + "/a.htm", b.d + "/b.htm"}));
  // The whole run ends; the result box is still shown.
  const std::string result =
      "A keywords meta tag was inserted in 2 files in 2 folders.";
  EXPECT_EQ(Describe(s), Counts(3, 2, 2, true, result));
  EXPECT_EQ(b.view.fake().BoxesText(), kGoOnBox + ResultBox(result));
  EXPECT_EQ(Names(b.view.input_files()), Words("a.htm b.htm c.htm"));
  // Each page holds either its old bytes or its new ones: the first
  // folder's are rewritten, the rest untouched.
  auto expected = original;
  expected["a.htm"] = Inserted("alpha");
  expected["b.htm"] = Inserted("beta");
  EXPECT_EQ(b.dir.Snapshot(), expected);
}

// --- Pages that cannot be done, and folders that cannot be read.

// Runs `body` in a child process as user and group 65534 when this test runs
// as root (whom permissions do not stop), else as the current user, and
// returns what `body` returned. Nothing when the child could not drop to
// that user or cannot then reach the folder `tree`.
std::optional<std::string> RunUnprivileged(
    const std::string& tree, const std::function<std::string()>& body) {
  int fds[2];
  if (::pipe(fds) != 0) return std::nullopt;
  const pid_t pid = ::fork();
  if (pid < 0) return std::nullopt;
  if (pid == 0) {
    ::close(fds[0]);
    if (RunningAsRoot() && (::setgroups(0, nullptr) != 0 ||
                            ::setgid(65534) != 0 || ::setuid(65534) != 0))
      ::_exit(3);
    if (::access(tree.c_str(), R_OK | W_OK | X_OK) != 0) ::_exit(3);
    const std::string out = body();
    for (std::size_t done = 0; done < out.size();) {
      const ssize_t n = ::write(fds[1], out.data() + done, out.size() - done);
      if (n <= 0) ::_exit(4);
      done += static_cast<std::size_t>(n);
    }
    ::_exit(0);
  }
  ::close(fds[1]);
  std::string out;
  char buffer[4096];
  for (ssize_t n; (n = ::read(fds[0], buffer, sizeof buffer)) > 0;)
    out.append(buffer, static_cast<std::size_t>(n));
  ::close(fds[0]);
  int status = 0;
  ::waitpid(pid, &status, 0);
  if (!WIFEXITED(status) || WEXITSTATUS(status) != 0) return std::nullopt;
  return out;
}

TEST(MultipleFileRunTest, TreeOfTroublesIsLoggedAndCompleted) {
  Bench b;
  const std::string& d = b.d;
  b.Pages(
      "a_ok.htm=alpha c_locked.htm=charlie closed/x.htm=xray "
      "sub/g_ok.htm=golf");
  ASSERT_TRUE(
      b.dir.Write("b_bin.htm", std::string("<html>\x01<head></head>", 20)));
  ASSERT_TRUE(b.dir.Write(
      "d_nohead.htm", "<html>\r\n<title>delta</title>\r\n<p>delta</p>\r\n"));
  ASSERT_TRUE(b.dir.Write(
      "e_span.htm",
      Page("echo", "<meta name=\"keywords\"\r\ncontent=\"old\">\r\n")));
  ASSERT_TRUE(b.dir.Write("f_done.htm", Page("foxtrot", kOldDone)));
  // The child of RunUnprivileged must be able to read and rewrite it.
  if (RunningAsRoot()) {
    ASSERT_EQ(::lchown(d.c_str(), 65534, 65534), 0);
    for (const auto& entry : std::filesystem::recursive_directory_iterator(d))
      ASSERT_EQ(::lchown(entry.path().c_str(), 65534, 65534), 0);
  }
  const auto original = b.dir.Snapshot();
  auto lock = [&](mode_t file, mode_t folder) {
    ASSERT_EQ(::chmod(b.dir.Path("c_locked.htm").c_str(), file), 0);
    ASSERT_EQ(::chmod(b.dir.Path("closed").c_str(), folder), 0);
  };
  // One run in the child: its report, counters and boxes in one text.
  b.parameters.IncludeAllSubfolders = true;
  b.parameters.AddDone = true;
  auto run = [&] {
    const RunSummary s = b.Run();
    return b.report.text() + "#" + Describe(s) + "#" +
           b.view.fake().BoxesText();
  };
  // The unreadable folder has no page count, so no "Folder: " line of its
  // own before the walk tries it; it still counts as visited.
  auto log = [&](const char* ok_outcome) {
    return FolderLine(d, true) + FileLine("a_ok.htm", ok_outcome) +
           FileLine("b_bin.htm", kNotText) +
           FileLine("c_locked.htm", "  --- Unexpected error.") +
           FileLine("d_nohead.htm", kNoHeadEnd) +
           FileLine("e_span.htm", kSpansLines) +
           FileLine("f_done.htm", kDoneAlready) + "\r\nFolder: " + d +
           "/closed  ---  Could not be read (" + std::strerror(EACCES) +
           ").\r\n" + FolderLine(d + "/sub") + FileLine("g_ok.htm", ok_outcome);
  };

  lock(0, 0);
  const std::optional<std::string> first = RunUnprivileged(d, run);
  if (!first) GTEST_SKIP() << "no child as user 65534 that can reach " << d;
  const std::string result =
      "A keywords meta tag was inserted in 2 files in 3 folders.";
  EXPECT_EQ(*first, log(kInsertedLine) +
                        Summary({d + "/a_ok.htm", d + "/sub/g_ok.htm"}) + "#" +
                        Counts(7, 2, 3, false, result) + "#" +
                        ResultBox(result));
  // Nothing lost: every file is there, the two good pages rewritten.
  lock(0644, 0755);
  const auto after_first = b.dir.Snapshot();
  auto expected = original;
  expected["a_ok.htm"] = PageWith("alpha", Tag("alpha") + "\r\n" + kDoneLine);
  expected["sub/g_ok.htm"] = PageWith("golf", Tag("golf") + "\r\n" + kDoneLine);
  auto undated = after_first;
  undated["a_ok.htm"] = Undated(undated["a_ok.htm"]);
  undated["sub/g_ok.htm"] = Undated(undated["sub/g_ok.htm"]);
  EXPECT_EQ(undated, expected);

  // A second run with SkipDone inserts nothing and changes no byte.
  lock(0, 0);
  const std::optional<std::string> second = RunUnprivileged(d, run);
  ASSERT_TRUE(second.has_value());
  EXPECT_EQ(*second, log(kDoneAlready) + kNothingInserted + "#" +
                         Counts(7, 0, 3, false, kNothing) + "#" +
                         ResultBox(kNothing));
  lock(0644, 0755);
  EXPECT_EQ(b.dir.Snapshot(), after_first);
}

// "Automatic": each page's words are checked against its own language's
// common words and rules, and its report lines end with that language.
TEST(MultipleFileRunTest, EachPageInItsOwnLanguage) {
  CommonWordsTable common;
  common.LoadFromText(kEnglish, "with");
  common.LoadFromText(kFrench, "avec");
  common.LoadFromText(kGerman, "mit");
  AnalysisSettings settings;
  settings.TextLanguage = kAutomaticLanguage;
  Analysis analysis(common);
  analysis.UpdateSettings(settings);
  // "isn" is an English contraction stem, an ordinary word elsewhere.
  auto page = [](const std::string& html, const std::string& head) {
    return html + "<head>" + head +
           "<title>avec with mit isn</title></head></html>\r\n";
  };
  const struct {
    const char* name;
    std::string page;
    const char* content;  // of the tag
    const char* language;
  } kPages[] = {
      {"a.htm", page("<html lang=\"fr-CA\">", ""), "with,mit,isn",
       "French (declared)"},
      {"b.htm", page("<html>", "<meta http-equiv=content-language content=de>"),
       "avec,with,isn", "German (declared)"},
      {"c.htm", page("<html>", ""), "avec,mit", "English (fallback)"},
      {"d.htm", page("<html lang=sw>", ""), "avec,mit",
       "English (fallback; no list for \"sw\")"},
      {"e.htm", page("<html lang=pl>", ""), "avec,with,mit,isn",
       "Polish (declared) - common words not available"},
  };
  Bench b;
  ClickIncludeNewMetaTag(b.parameters, true);
  std::string report = "Folder: " + b.dir.path() + "\r\n";
  for (const auto& p : kPages) {
    ASSERT_TRUE(b.dir.Write(p.name, p.page));
    report += "\r\nFile: " + std::string(p.name) +
              "\r\nNEW: <meta name=\"keywords\" content=\"" + p.content +
              "\">\r\nLanguage: " + p.language + "\r\n";
  }
  RunMultipleFileOperation(b.dir.path(), analysis, b.parameters, b.report,
                           b.view);
  EXPECT_TRUE(b.report.text().starts_with(report)) << b.report.text();
}

}  // namespace
}  // namespace vorn
