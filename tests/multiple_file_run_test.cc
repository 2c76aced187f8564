// The multiple-file run over real folder trees: which files it takes, the
// order of the walk, the report it writes line for line, its counters and
// result texts, the inspect dialog, the Stop button, a rewrite made to
// fail, and a tree full of pages and folders that cannot be done.
#include "batch/multiple_file_run.h"

#include <grp.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/types.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <filesystem>
#include <fstream>
#include <functional>
#include <map>
#include <optional>
#include <sstream>
#include <string>
#include <string_view>
#include <vector>

#include "batch/operation_parameters.h"
#include "batch/report.h"
#include "documents/file_system.h"
#include "engine/analysis.h"
#include "engine/common_words.h"
#include "engine/settings.h"
#include "tests/support/fake_run_view.h"

namespace vorn {
namespace {

namespace fs = std::filesystem;

// --- Files and folders.

// A fresh folder, removed with everything in it at the end of the test.
class TempDir {
 public:
  TempDir() {
    std::string pattern = ::testing::TempDir() + "vorn_run_XXXXXX";
    if (::mkdtemp(pattern.data()) != nullptr) path_ = pattern;
    EXPECT_FALSE(path_.empty()) << "cannot create " << pattern;
  }
  ~TempDir() {
    if (path_.empty()) return;
    // Locked parts are opened again first, for a user that is not root.
    const std::string quoted = "'" + path_ + "'";
    EXPECT_EQ(std::system(("chmod -R u+rwX " + quoted +
                           " 2>/dev/null; rm -rf " + quoted)
                              .c_str()),
              0);
  }
  TempDir(const TempDir&) = delete;
  TempDir& operator=(const TempDir&) = delete;

  const std::string& path() const { return path_; }
  std::string operator/(const std::string& name) const {
    return path_ + "/" + name;
  }

 private:
  std::string path_;
};

void WriteFile(const std::string& path, std::string_view bytes) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out << bytes;
  out.close();
  ASSERT_TRUE(out.good()) << path;
}

std::string ReadFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  if (!in) return "<cannot read " + path + ">";
  std::ostringstream bytes;
  bytes << in.rdbuf();
  return bytes.str();
}

void MakeFolder(const std::string& path) {
  ASSERT_EQ(::mkdir(path.c_str(), 0755), 0) << path;
}

void MakeLink(const std::string& target, const std::string& link) {
  ASSERT_EQ(::symlink(target.c_str(), link.c_str()), 0) << link;
}

// Every file under `root` by its path relative to `root`: regular files with
// their bytes, symbolic links as "link to " + where they point.
std::map<std::string, std::string> Snapshot(const std::string& root) {
  std::map<std::string, std::string> files;
  std::error_code ec;
  for (auto it = fs::recursive_directory_iterator(root, ec);
       !ec && it != fs::recursive_directory_iterator(); it.increment(ec)) {
    const std::string relative =
        it->path().lexically_relative(root).generic_string();
    if (it->is_symlink()) {
      files[relative] = "link to " + fs::read_symlink(it->path()).string();
    } else if (it->is_regular_file()) {
      files[relative] = ReadFile(it->path().string());
    }
  }
  EXPECT_FALSE(ec) << root << ": " << ec.message();
  return files;
}

// --- Pages.

// A page whose one word `word` stands in its title and its body, with CR LF
// line ends; `head` goes into the head before the title.
std::string Page(std::string_view word, std::string_view head = "") {
  return "<html>\r\n<head>\r\n" + std::string(head) + "<title>" +
         std::string(word) + "</title>\r\n</head>\r\n<body>\r\n<p>" +
         std::string(word) + "</p>\r\n</body>\r\n</html>\r\n";
}

// The keywords tag composed for Page(word): the fixed prefix, the one word,
// the closing quote and ">" (no blank, no slash by default).
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

// A done tag dated "DATE"; see WithToday.
constexpr char kDoneLine[] = "<meta name=\"VORN done\" content=\"DATE\">\r\n";

std::string LocalDate() {
  const std::time_t now = std::time(nullptr);
  std::tm local{};
  ::localtime_r(&now, &local);
  char text[16];
  std::strftime(text, sizeof text, "%Y-%m-%d", &local);
  return text;
}

// `expected` with "DATE" replaced by today's date (year-month-day, two-digit
// month and day). Taken before and after the run: across midnight either
// date is right, and the one that matches `actual` is returned.
class Dates {
 public:
  Dates() : before_(LocalDate()) {}
  std::string WithToday(std::string expected, const std::string& actual) const {
    const std::string after = LocalDate();
    for (const std::string& date : {before_, after}) {
      std::string s = expected;
      for (std::size_t p; (p = s.find("DATE")) != std::string::npos;)
        s.replace(p, 4, date);
      if (s == actual) return s;
    }
    for (std::size_t p; (p = expected.find("DATE")) != std::string::npos;)
      expected.replace(p, 4, before_);
    return expected;
  }

 private:
  std::string before_;
};

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
constexpr char kFileStopped[] = "  ---  Operation on this file stopped.";
constexpr char kUnexpected[] = "  --- Unexpected error.";
constexpr char kStoppedLine[] =
    "\r\n\r\nOperation stopped at user's request.\r\n";
constexpr char kNothingInserted[] =
    "\r\nNo keywords meta tag was inserted in any file.\r\n";
constexpr char kNothingResult[] =
    "No keywords meta tag was inserted in any file.";

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
std::string Summary(const std::vector<std::string>& paths) {
  if (paths.empty()) return kNothingInserted;
  std::string s =
      paths.size() == 1
          ? std::string(
                "\r\nA keywords meta tag was inserted in the "
                "following file")
          : "\r\nA keywords meta tag was inserted in the following " +
                std::to_string(paths.size()) + " files";
  s += ":\r\n\r\n";
  for (const std::string& p : paths) s += p + "\r\n";
  return s + "\r\n";
}

// The "Result" box as FakeView describes it.
std::string ResultBox(const std::string& text) {
  return "Result | " + text + " | none | ok\n";
}

constexpr char kGoOnBox[] =
    "Continue? | Go on to the next file? | none | yes/no\n";

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
std::vector<std::string> Names(const std::vector<std::string>& paths) {
  std::vector<std::string> names;
  for (const std::string& p : paths)
    names.push_back(p.substr(p.rfind('/') + 1));
  return names;
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

// One run's world: the analysis with fixed settings, the parameters, the
// report and the scripted window.
struct Bench {
  explicit Bench(const OperationParameters& p = FixedParameters())
      : parameters(p) {
    AnalysisSettings settings;
    settings.IgnoreCommonWords = false;  // no list is loaded
    analysis.UpdateSettings(settings);
  }
  RunSummary Run(const std::string& folder) {
    return RunMultipleFileOperation(folder, analysis, parameters, report, view);
  }

  Analysis analysis{NoCommonWords()};
  OperationParameters parameters;
  Report report{parameters};
  FakeRunView view;
};

// --- Tests.

TEST(MultipleFileRunTest, OnlyTheHtmPageOfThreeFiles) {
  TempDir dir;
  WriteFile(dir / "abc.htm", Page("alpha"));
  WriteFile(dir / "abc.bak.htm", Page("beta"));
  WriteFile(dir / "notes.txt", Page("gamma"));
  Bench b;
  b.parameters.HTML = false;  // only HTM set
  const RunSummary s = b.Run(dir.path());

  const std::string d = dir.path();
  EXPECT_EQ(b.report.text(),
            "Folder: " + d +
                "\r\n"
                "\r\nFile: abc.htm  ---  Keywords meta tag inserted.\r\n"
                "\r\nA keywords meta tag was inserted in the following file:"
                "\r\n\r\n" +
                d + "/abc.htm\r\n\r\n");
  EXPECT_EQ(Describe(s),
            Counts(1, 1, 1, false,
                   "A keywords meta tag was inserted in 1 file in 1 folder."));
  EXPECT_EQ(b.view.fake().BoxesText(),
            ResultBox("A keywords meta tag was inserted in 1 file in 1 "
                      "folder."));
  // The output box lists the files that received a tag.
  EXPECT_EQ(b.view.fake().output(),
            "A keywords meta tag was inserted in the following file:\r\n\r\n" +
                d + "/abc.htm\r\n");
  EXPECT_EQ(b.view.input_files(), std::vector<std::string>{d + "/abc.htm"});
  // FileCount never passes 1: the caption is not updated.
  EXPECT_TRUE(b.view.captions().empty());
  EXPECT_EQ(b.view.runs_started(), 1);
  EXPECT_EQ(b.view.runs_ended(), 1);
  EXPECT_GE(b.view.report_shown(), 1);

  EXPECT_EQ(ReadFile(dir / "abc.htm"), Inserted("alpha"));
  EXPECT_EQ(ReadFile(dir / "abc.bak.htm"), Page("beta"));
  EXPECT_EQ(ReadFile(dir / "notes.txt"), Page("gamma"));
}

TEST(MultipleFileRunTest, ExtensionsAndBackupNames) {
  // Skipped whatever the boxes: names holding "bak." (exact case), names
  // whose last extension is not one of the four.
  const std::vector<std::string> kFiles = {
      "a.shtml",   "b.shtm",  "c.html",     "d.htm",      "E.HTM",
      "f.htmx",    "g.xhtml", "h.bak.html", "webbak.htm", "i.BAK.htm",
      "j.htm.txt", "k",       "l.SHTML",    "m.html.bak"};
  const struct {
    const char* name;
    bool htm, html, shtm, shtml;
    std::vector<std::string> processed;  // in walk order
  } kCases[] = {
      {"htm", true, false, false, false, {"d.htm", "E.HTM", "i.BAK.htm"}},
      {"html", false, true, false, false, {"c.html"}},
      {"shtm", false, false, true, false, {"b.shtm"}},
      {"shtml", false, false, false, true, {"a.shtml", "l.SHTML"}},
      {"htm and html (start values)",
       true,
       true,
       false,
       false,
       {"c.html", "d.htm", "E.HTM", "i.BAK.htm"}},
      {"all four",
       true,
       true,
       true,
       true,
       {"a.shtml", "b.shtm", "c.html", "d.htm", "E.HTM", "i.BAK.htm",
        "l.SHTML"}},
      {"none", false, false, false, false, {}},
  };
  for (const auto& c : kCases) {
    TempDir dir;
    for (const std::string& f : kFiles) WriteFile(dir / f, Page("alpha"));
    Bench b;
    b.parameters.HTM = c.htm;
    b.parameters.HTML = c.html;
    b.parameters.SHTM = c.shtm;
    b.parameters.SHTML = c.shtml;
    const RunSummary s = b.Run(dir.path());
    EXPECT_EQ(Names(b.view.input_files()), c.processed) << c.name;
    EXPECT_EQ(s.FileCount, static_cast<std::int64_t>(c.processed.size()))
        << c.name;
    EXPECT_EQ(s.InsertedCount, static_cast<std::int64_t>(c.processed.size()))
        << c.name;
    for (const std::string& f : kFiles) {
      const bool taken = std::find(c.processed.begin(), c.processed.end(), f) !=
                         c.processed.end();
      EXPECT_EQ(ReadFile(dir / f), taken ? Inserted("alpha") : Page("alpha"))
          << c.name << ": " << f;
    }
    if (c.processed.empty()) {
      EXPECT_EQ(b.report.text(),
                FolderLine(dir.path(), true) + kNothingInserted)
          << c.name;
      EXPECT_EQ(b.view.fake().BoxesText(), ResultBox(kNothingResult)) << c.name;
      EXPECT_EQ(s.result_text, kNothingResult) << c.name;
    }
  }
}

TEST(MultipleFileRunTest, CountFolderHtmlFilesCountsTickedExtensions) {
  TempDir dir;
  for (const char* f : {"a.shtml", "b.shtm", "c.html", "d.htm", "E.HTM",
                        "x.bak.htm", "notes.txt"})
    WriteFile(dir / f, "x");
  MakeFolder(dir / "sub");
  WriteFile(dir / "sub/deep.htm", "x");
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
  EXPECT_LT(CountFolderHtmlFiles(dir / "missing", p), 0);
}

TEST(MultipleFileRunTest, InsertedCountCaption) {
  EXPECT_EQ(InsertedCountCaption(2, 5),
            "Keywords meta tag inserted in 2 of 5 files.");
  EXPECT_EQ(InsertedCountCaption(0, 1),
            "Keywords meta tag inserted in 0 of 1 files.");
  // Counts are not 16-bit.
  EXPECT_EQ(InsertedCountCaption(40000, 70000),
            "Keywords meta tag inserted in 40000 of 70000 files.");
}

TEST(MultipleFileRunTest, NamesInOrderWhateverTheirCase) {
  TempDir dir;
  // Created out of order; letter case is ignored first, then the exact
  // bytes decide ("B" before "b").
  for (const char* f : {"C.htm", "b.htm", "B.htm", "a.htm", "ab.htm"})
    WriteFile(dir / f, Page("alpha"));
  Bench b;
  b.Run(dir.path());
  EXPECT_EQ(
      Names(b.view.input_files()),
      (std::vector<std::string>{"a.htm", "ab.htm", "B.htm", "b.htm", "C.htm"}));
}

TEST(MultipleFileRunTest, StartChecksTheFolderBox) {
  TempDir dir;
  WriteFile(dir / "a.htm", Page("alpha"));
  WriteFile(dir / "file.htm", Page("alpha"));
  const std::string kEmpty =
      "Invalid input | No input folder specified. | exclamation | ok\n";
  const std::string kMissing =
      "Invalid input | Folder does not exist | exclamation | ok\n";
  const struct {
    const char* name;
    std::string box;
    std::string box_after;  // trimmed and written back
    bool runs;
    std::string boxes;
  } kCases[] = {
      {"empty", "", "", false, kEmpty},
      {"blanks", "   ", "", false, kEmpty},
      {"missing", dir / "none", dir / "none", false, kMissing},
      {"a file", dir / "file.htm", dir / "file.htm", false, kMissing},
      {"padded", "  " + dir.path() + " ", dir.path(), true,
       ResultBox("A keywords meta tag was inserted in 2 files in 1 "
                 "folder.")},
  };
  for (const auto& c : kCases) {
    Bench b;
    std::string box = c.box;
    const std::optional<RunSummary> s =
        StartMultipleFileRun(box, b.analysis, b.parameters, b.report, b.view);
    EXPECT_EQ(s.has_value(), c.runs) << c.name;
    EXPECT_EQ(box, c.box_after) << c.name;
    EXPECT_EQ(b.view.fake().BoxesText(), c.boxes) << c.name;
    if (!c.runs) {
      EXPECT_EQ(b.report.text(), "") << c.name;
    }
  }
}

TEST(MultipleFileRunTest, SkipDone) {
  const std::string kDoneTag =
      "<meta name=\"VORN done\" content=\"2008-01-31\">\r\n";
  const struct {
    const char* name;
    bool skip_done, dont_log_done;
    std::string done_line;  // the report line of done.htm
    int inserted;
    bool done_rewritten;
    std::vector<std::string> captions;
  } kCases[] = {
      {"skip and log",
       true,
       false,
       FileLine("done.htm", kDoneAlready),
       1,
       false,
       // done.htm counts as a file but updates no caption.
       {"Keywords meta tag inserted in 1 of 2 files."}},
      {"skip quietly",
       true,
       true,
       "",
       1,
       false,
       {"Keywords meta tag inserted in 1 of 2 files."}},
      {"no skip",
       false,
       false,
       FileLine("done.htm", kInsertedLine),
       2,
       true,
       {"Keywords meta tag inserted in 2 of 2 files."}},
      {"no skip, dont-log ignored",
       false,
       true,
       FileLine("done.htm", kInsertedLine),
       2,
       true,
       {"Keywords meta tag inserted in 2 of 2 files."}},
  };
  for (const auto& c : kCases) {
    TempDir dir;
    const std::string d = dir.path();
    WriteFile(dir / "done.htm", Page("alpha", kDoneTag));
    WriteFile(dir / "fresh.htm", Page("beta"));
    Bench b;
    b.parameters.SkipDone = c.skip_done;
    b.parameters.DontLogDone = c.dont_log_done;
    const RunSummary s = b.Run(d);
    std::vector<std::string> list;
    if (c.done_rewritten) list.push_back(d + "/done.htm");
    list.push_back(d + "/fresh.htm");
    EXPECT_EQ(b.report.text(), FolderLine(d, true) + c.done_line +
                                   FileLine("fresh.htm", kInsertedLine) +
                                   Summary(list))
        << c.name;
    EXPECT_EQ(s.FileCount, 2) << c.name;
    EXPECT_EQ(s.InsertedCount, c.inserted) << c.name;
    EXPECT_EQ(b.view.captions(), c.captions) << c.name;
    // A done page that is skipped is not even scanned.
    const std::vector<std::string> scanned =
        c.skip_done ? std::vector<std::string>{"fresh.htm"}
                    : std::vector<std::string>{"done.htm", "fresh.htm"};
    EXPECT_EQ(Names(b.view.input_files()), scanned) << c.name;
    // Rewritten, the old done tag is gone and (AddDone clear) none is added.
    EXPECT_EQ(ReadFile(dir / "done.htm"),
              c.done_rewritten ? Inserted("alpha") : Page("alpha", kDoneTag))
        << c.name;
    EXPECT_EQ(ReadFile(dir / "fresh.htm"), Inserted("beta")) << c.name;
  }
}

TEST(MultipleFileRunTest, SecondRunWithSkipDoneInsertsNothing) {
  TempDir dir;
  const std::string d = dir.path();
  WriteFile(dir / "a.htm", Page("alpha"));
  MakeFolder(dir / "sub");
  WriteFile(dir / "sub/b.html", Page("beta"));
  OperationParameters p = FixedParameters();
  p.AddDone = true;
  p.SkipDone = true;
  p.IncludeAllSubfolders = true;
  Dates dates;
  {
    Bench first(p);
    const RunSummary s = first.Run(d);
    EXPECT_EQ(Describe(s),
              Counts(2, 2, 2, false,
                     "A keywords meta tag was inserted in 2 files in 2 "
                     "folders."));
  }
  const std::string a = ReadFile(dir / "a.htm");
  EXPECT_EQ(a, dates.WithToday(
                   PageWith("alpha", Tag("alpha") + "\r\n" + kDoneLine), a));
  const auto before = Snapshot(d);

  Bench second(p);
  const RunSummary s = second.Run(d);
  EXPECT_EQ(second.report.text(),
            FolderLine(d, true) + FileLine("a.htm", kDoneAlready) +
                FolderLine(d + "/sub") + FileLine("b.html", kDoneAlready) +
                kNothingInserted);
  EXPECT_EQ(Describe(s), Counts(2, 0, 2, false, kNothingResult));
  EXPECT_EQ(second.view.fake().BoxesText(), ResultBox(kNothingResult));
  EXPECT_TRUE(second.view.input_files().empty());
  EXPECT_EQ(Snapshot(d), before);
}

TEST(MultipleFileRunTest, SameTagIsNotWritten) {
  const struct {
    const char* name;
    std::string old_line;  // the page's keywords line
    bool same;
  } kCases[] = {
      // Compared ignoring letter case.
      {"same", "<meta name=\"keywords\" content=\"alpha\">\r\n", true},
      {"other case", "<meta name=\"KEYWORDS\" content=\"ALPHA\">\r\n", true},
      // The old text runs from "<meta " to the end of its line.
      {"more on the line",
       "<meta name=\"keywords\" content=\"alpha\"> <!-- x -->\r\n", false},
      {"other word", "<meta name=\"keywords\" content=\"beta\">\r\n", false},
  };
  for (const auto& c : kCases) {
    TempDir dir;
    const std::string d = dir.path();
    const std::string page = Page("alpha", c.old_line);
    WriteFile(dir / "page.htm", page);
    Bench b;
    b.parameters.AddDone = true;  // a rewrite would show
    const RunSummary s = b.Run(d);
    if (c.same) {
      EXPECT_EQ(
          b.report.text(),
          FolderLine(d, true) + FileLine("page.htm", kSame) + kNothingInserted)
          << c.name;
      EXPECT_EQ(ReadFile(dir / "page.htm"), page) << c.name;
      EXPECT_EQ(Describe(s), Counts(1, 0, 1, false, kNothingResult)) << c.name;
      // With nothing inserted the output box keeps the last tag composed.
      EXPECT_EQ(b.view.fake().output(), Tag("alpha")) << c.name;
    } else {
      EXPECT_EQ(b.report.text(), FolderLine(d, true) +
                                     FileLine("page.htm", kInsertedLine) +
                                     Summary({d + "/page.htm"}))
          << c.name;
      EXPECT_NE(ReadFile(dir / "page.htm"), page) << c.name;
      EXPECT_EQ(s.InsertedCount, 1) << c.name;
    }
  }
}

// A UTF-8 page and file name: the engine's texts (report, dialog, old tag)
// are Windows-1252, the page keeps UTF-8.
TEST(MultipleFileRunTest, Utf8PageAndName) {
  const std::string kCafeUtf8 = "caf\xC3\xA9";  // café
  const std::string kCafe1252 = "caf\xE9";
  const std::string kCharset = "<meta charset=\"utf-8\">\r\n";
  const struct {
    const char* name;
    std::string old_line;
    std::string outcome;  // after "File: CAFÉ.htm"
  } kCases[] = {
      {"no old tag", "", "\r\nNEW: " + Tag(kCafe1252)},
      // The old tag, read from the page, equals the new one but for letter
      // case (É and é are one letter).
      {"same tag", "<meta name=\"keywords\" content=\"CAF\xC3\x89\">\r\n",
       kSame},
  };
  for (const auto& c : kCases) {
    TempDir dir;
    const std::string d = dir.path();
    const std::string page = Page(kCafeUtf8, kCharset + c.old_line);
    WriteFile(dir / "CAF\xC3\x89.htm", page);
    Bench b;
    b.parameters.Confirm = true;
    ClickIncludeNewMetaTag(b.parameters, true);
    b.view.QueueInspect(FakeRunView::Keep(true, false, false));
    b.Run(d);
    ASSERT_EQ(b.view.inspections().size(), 1u) << c.name;
    EXPECT_EQ(b.view.inspections()[0].file_label, "File: caf\xE9.htm")
        << c.name;
    EXPECT_EQ(b.view.inspections()[0].tag, Tag(kCafe1252)) << c.name;
    const bool inserted = c.old_line.empty();
    std::vector<std::string> list;
    if (inserted) list.push_back(d + "/CAF\xC9.htm");
    EXPECT_EQ(b.report.text(), FolderLine(d, true) +
                                   FileLine("CAF\xC9.htm", c.outcome) +
                                   Summary(list))
        << c.name;
    EXPECT_EQ(ReadFile(dir / "CAF\xC3\x89.htm"),
              inserted ? PageWith(kCafeUtf8, Tag(kCafeUtf8) + "\r\n", kCharset)
                       : page)
        << c.name;
  }
}

TEST(MultipleFileRunTest, SubfoldersDepthFirstWithoutFollowingFolderLinks) {
  TempDir root;
  MakeFolder(root / "site");
  const std::string d = root / "site";
  // Outside the tree, reached only through a link.
  WriteFile(root / "outside.htm", Page("outside"));
  WriteFile(d + "/top.htm", Page("top"));
  MakeLink(root / "outside.htm", d + "/link.htm");
  MakeLink(d, d + "/loop");  // a folder link back to the top
  MakeFolder(d + "/alpha");  // no page of its own
  MakeFolder(d + "/alpha/inner");
  WriteFile(d + "/alpha/inner/deep.htm", Page("deep"));
  MakeFolder(d + "/beta");  // nothing matching
  WriteFile(d + "/beta/notes.txt", "notes");
  MakeFolder(d + "/Zeta");
  WriteFile(d + "/Zeta/z.html", Page("zulu"));
  Bench b;
  b.parameters.IncludeAllSubfolders = true;
  const RunSummary s = b.Run(d);

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
            (std::vector<std::string>{
                "Keywords meta tag inserted in 2 of 2 files.",
                "Keywords meta tag inserted in 3 of 3 files.",
                "Keywords meta tag inserted in 4 of 4 files."}));

  // The link is still a link, and its target holds the new tag.
  struct stat st {};
  ASSERT_EQ(::lstat((d + "/link.htm").c_str(), &st), 0);
  EXPECT_TRUE(S_ISLNK(st.st_mode));
  EXPECT_EQ(fs::read_symlink(d + "/link.htm").string(), root / "outside.htm");
  EXPECT_EQ(ReadFile(root / "outside.htm"), Inserted("outside"));
  EXPECT_EQ(ReadFile(d + "/top.htm"), Inserted("top"));
  EXPECT_EQ(ReadFile(d + "/alpha/inner/deep.htm"), Inserted("deep"));
  EXPECT_EQ(ReadFile(d + "/Zeta/z.html"), Inserted("zulu"));
  EXPECT_EQ(ReadFile(d + "/beta/notes.txt"), "notes");
}

TEST(MultipleFileRunTest, WithoutSubfoldersOnlyTheTopIsDone) {
  TempDir dir;
  const std::string d = dir.path();
  WriteFile(dir / "a.htm", Page("alpha"));
  MakeFolder(dir / "sub");
  WriteFile(dir / "sub/b.htm", Page("beta"));
  Bench b;  // IncludeAllSubfolders is clear at start
  const RunSummary s = b.Run(d);
  EXPECT_EQ(b.report.text(), FolderLine(d, true) +
                                 FileLine("a.htm", kInsertedLine) +
                                 Summary({d + "/a.htm"}));
  EXPECT_EQ(Describe(s),
            Counts(1, 1, 1, false,
                   "A keywords meta tag was inserted in 1 file in 1 folder."));
  EXPECT_EQ(ReadFile(dir / "sub/b.htm"), Page("beta"));
}

TEST(MultipleFileRunTest, EachOutcomeHasItsLine) {
  TempDir dir;
  const std::string d = dir.path();
  // A non-text byte (1) at position 7, after "<html>".
  WriteFile(dir / "bin.htm", std::string("<html>\x01<head></head>", 20));
  WriteFile(dir / "done.htm",
            Page("alpha",
                 "<meta name=\"VORN done\" content=\"2008-01-31\">"
                 "\r\n"));
  const std::string no_head =
      "<html>\r\n<title>alpha</title>\r\n<body>\r\n<p>alpha</p>\r\n</body>"
      "\r\n</html>\r\n";
  WriteFile(dir / "nohead.htm", no_head);
  // No word long enough and frequent enough: the box holds no tag.
  const std::string no_words =
      "<html>\r\n<head>\r\n</head>\r\n<body>\r\n<p>1 2 3</p>\r\n</body>\r\n"
      "</html>\r\n";
  WriteFile(dir / "nowords.htm", no_words);
  WriteFile(dir / "ok.htm", Page("alpha"));
  const std::string same =
      Page("alpha", "<meta name=\"keywords\" content=\"alpha\">\r\n");
  WriteFile(dir / "same.htm", same);
  const std::string span =
      Page("alpha", "<meta name=\"keywords\"\r\ncontent=\"old, words\">\r\n");
  WriteFile(dir / "span.htm", span);
  const auto before = Snapshot(d);

  Bench b;
  const RunSummary s = b.Run(d);
  EXPECT_EQ(
      b.report.text(),
      FolderLine(d, true) +
          FileLine("bin.htm", "  ---  Not a text file (byte 7).") +
          FileLine("done.htm", kDoneAlready) +
          FileLine("nohead.htm", kNoHeadEnd) + FileLine("nowords.htm", kNoTag) +
          FileLine("ok.htm", kInsertedLine) + FileLine("same.htm", kSame) +
          FileLine("span.htm", kSpansLines) + Summary({d + "/ok.htm"}));
  EXPECT_EQ(Describe(s),
            Counts(7, 1, 1, false,
                   "A keywords meta tag was inserted in 1 file in 1 folder."));
  // After every file but the skipped done one, from the second file on.
  EXPECT_EQ(b.view.captions(),
            (std::vector<std::string>{
                "Keywords meta tag inserted in 0 of 3 files.",
                "Keywords meta tag inserted in 0 of 4 files.",
                "Keywords meta tag inserted in 1 of 5 files.",
                "Keywords meta tag inserted in 1 of 6 files.",
                "Keywords meta tag inserted in 1 of 7 files."}));
  // Only ok.htm changes.
  auto expected = before;
  expected["ok.htm"] = Inserted("alpha");
  EXPECT_EQ(Snapshot(d), expected);
}

TEST(MultipleFileRunTest, OldAndNewTagsInTheReport) {
  const std::string kOld = "<meta name=\"keywords\" content=\"old, words\">";
  const struct {
    const char* name;
    bool click_old, click_new;  // boxes clicked on, in this order: new, old
    std::string old_page_log;   // after "\r\nFile: old.htm"
    std::string plain_page_log;
  } kCases[] = {
      {"neither", false, false, kInsertedLine, kInsertedLine},
      // NEW replaces the "inserted" ending; OLD only where a tag was
      // replaced.
      {"new", false, true, "\r\nNEW: " + Tag("alpha"),
       "\r\nNEW: " + Tag("beta")},
      {"old (sets new)", true, false,
       "\r\nOLD: " + kOld + "\r\nNEW: " + Tag("alpha"),
       "\r\nNEW: " + Tag("beta")},
      {"both", true, true, "\r\nOLD: " + kOld + "\r\nNEW: " + Tag("alpha"),
       "\r\nNEW: " + Tag("beta")},
  };
  for (const auto& c : kCases) {
    TempDir dir;
    const std::string d = dir.path();
    WriteFile(dir / "old.htm", Page("alpha", kOld + "\r\n"));
    WriteFile(dir / "plain.htm", Page("beta"));
    Bench b;
    if (c.click_new) ClickIncludeNewMetaTag(b.parameters, true);
    if (c.click_old) ClickIncludeOldMetaTag(b.parameters, true);
    b.Run(d);
    EXPECT_EQ(b.report.text(), FolderLine(d, true) +
                                   FileLine("old.htm", c.old_page_log) +
                                   FileLine("plain.htm", c.plain_page_log) +
                                   Summary({d + "/old.htm", d + "/plain.htm"}))
        << c.name;
    // The new tag takes the old one's place.
    EXPECT_EQ(ReadFile(dir / "old.htm"), Page("alpha", Tag("alpha") + "\r\n"))
        << c.name;
  }
}

TEST(MultipleFileRunTest, NoLoggingLeavesTheReportAlone) {
  TempDir dir;
  const std::string d = dir.path();
  WriteFile(dir / "a.htm", Page("alpha"));
  WriteFile(dir / "b.htm", Page("beta",
                                "<meta name=\"keywords\" content=\"x\">"
                                "\r\n"));
  WriteFile(dir / "done.htm",
            Page("gamma",
                 "<meta name=\"VORN done\" content=\"2008-01-31\">"
                 "\r\n"));
  Bench b;
  b.report.Output("earlier run\r\n");
  b.parameters.LogOperations = false;
  // Even with everything that would write asked for, and the report to be
  // cleared at start.
  ClickIncludeOldMetaTag(b.parameters, true);
  b.parameters.ClearReportAtStart = true;
  const RunSummary s = b.Run(d);
  EXPECT_EQ(b.report.text(), "earlier run\r\n");
  EXPECT_EQ(b.view.report_shown(), 0);
  // The run itself goes on as usual.
  EXPECT_EQ(Describe(s),
            Counts(3, 2, 1, false,
                   "A keywords meta tag was inserted in 2 files in 1 "
                   "folder."));
  EXPECT_EQ(b.view.fake().BoxesText(),
            ResultBox("A keywords meta tag was inserted in 2 files in 1 "
                      "folder."));
  EXPECT_EQ(ReadFile(dir / "a.htm"), Inserted("alpha"));
  EXPECT_EQ(ReadFile(dir / "b.htm"), Page("beta", Tag("beta") + "\r\n"));
}

TEST(MultipleFileRunTest, ReportKeptBetweenRunsIsDividedByDashes) {
  TempDir dir;
  const std::string d = dir.path();
  WriteFile(dir / "a.htm", Page("alpha"));
  Bench b;
  b.parameters.ClearReportAtStart = false;
  b.Run(d);
  const std::string first = b.report.text();
  EXPECT_EQ(first, FolderLine(d, true) + FileLine("a.htm", kInsertedLine) +
                       Summary({d + "/a.htm"}));
  // The second run finds the tag it would write already there.
  b.Run(d);
  EXPECT_EQ(b.report.text(), first + "\r\n" + std::string(d.size() + 8, '-') +
                                 FolderLine(d) + FileLine("a.htm", kSame) +
                                 kNothingInserted);
  // Cleared at start, the report holds the last run only.
  b.parameters.ClearReportAtStart = true;
  b.Run(d);
  EXPECT_EQ(b.report.text(),
            FolderLine(d, true) + FileLine("a.htm", kSame) + kNothingInserted);
}

TEST(MultipleFileRunTest, ResultTexts) {
  const struct {
    const char* name;
    std::vector<std::string> top, sub;  // words of the pages in each folder
    bool subfolders;
    std::string result;
    std::string output_box_head;  // before the list of files
  } kCases[] = {
      {"one in one",
       {"alpha"},
       {},
       false,
       "A keywords meta tag was inserted in 1 file in 1 folder.",
       "A keywords meta tag was inserted in the following file:\r\n\r\n"},
      {"two in one",
       {"alpha", "beta"},
       {},
       false,
       "A keywords meta tag was inserted in 2 files in 1 folder.",
       "A keywords meta tag was inserted in the following 2 files:\r\n\r\n"},
      {"three in two",
       {"alpha", "beta"},
       {"gamma"},
       true,
       "A keywords meta tag was inserted in 3 files in 2 folders.",
       "A keywords meta tag was inserted in the following 3 files:\r\n\r\n"},
      {"one in two, none at the top",
       {},
       {"gamma"},
       true,
       "A keywords meta tag was inserted in 1 file in 2 folders.",
       "A keywords meta tag was inserted in the following file:\r\n\r\n"},
  };
  for (const auto& c : kCases) {
    TempDir dir;
    const std::string d = dir.path();
    std::vector<std::string> list;
    std::string body;
    for (const std::string& w : c.top) {
      WriteFile(dir / (w + ".htm"), Page(w));
      list.push_back(d + "/" + w + ".htm");
      body += FileLine(w + ".htm", kInsertedLine);
    }
    MakeFolder(dir / "sub");
    if (!c.sub.empty()) body += FolderLine(d + "/sub");
    for (const std::string& w : c.sub) {
      WriteFile(dir / ("sub/" + w + ".htm"), Page(w));
      list.push_back(d + "/sub/" + w + ".htm");
      body += FileLine(w + ".htm", kInsertedLine);
    }
    Bench b;
    b.parameters.IncludeAllSubfolders = c.subfolders;
    const RunSummary s = b.Run(d);
    EXPECT_EQ(s.result_text, c.result) << c.name;
    EXPECT_EQ(b.view.fake().BoxesText(), ResultBox(c.result)) << c.name;
    // The top folder always has its line, even with no page of its own.
    EXPECT_EQ(b.report.text(), FolderLine(d, true) + body + Summary(list))
        << c.name;
    std::string listed;
    for (const std::string& p : list) listed += p + "\r\n";
    EXPECT_EQ(b.view.fake().output(), c.output_box_head + listed) << c.name;
  }
}

TEST(MultipleFileRunTest, ParametersAreReadLive) {
  TempDir dir;
  const std::string d = dir.path();
  WriteFile(dir / "a.htm", Page("alpha"));
  WriteFile(dir / "b.htm", Page("beta"));
  WriteFile(dir / "c.html", Page("gamma"));
  Bench b;
  b.parameters.Confirm = true;
  // While a.htm is inspected the user unticks "htm" in the parameters
  // window: from the next file on, .htm pages are passed over.
  b.view.QueueInspect([&b](const InspectRequest& request) {
    b.parameters.HTM = false;
    return InspectAnswer{true, false, false, request.tag};
  });
  b.view.QueueInspect(FakeRunView::Keep(true, false, false));
  const RunSummary s = b.Run(d);
  EXPECT_EQ(Names(b.view.input_files()),
            (std::vector<std::string>{"a.htm", "c.html"}));
  EXPECT_EQ(s.FileCount, 2);
  EXPECT_EQ(ReadFile(dir / "b.htm"), Page("beta"));
}

// The real file system, except that putting the new content in the place
// of a page whose name ends in `fail_name` fails.
class FailingRename : public FileSystem {
 public:
  explicit FailingRename(std::string fail_name)
      : fail_name_("/" + std::move(fail_name)) {}
  Status ReadFile(const std::string& path, std::string* bytes) override {
    return real_.ReadFile(path, bytes);
  }
  Status Stat(const std::string& path, FileInfo* info) override {
    return real_.Stat(path, info);
  }
  Status ResolveLinks(const std::string& path, std::string* target) override {
    return real_.ResolveLinks(path, target);
  }
  Status CreateUniqueFile(const std::string& folder, const std::string& prefix,
                          int* handle, std::string* path) override {
    return real_.CreateUniqueFile(folder, prefix, handle, path);
  }
  Status Write(int handle, std::string_view bytes) override {
    return real_.Write(handle, bytes);
  }
  Status SetInfo(int handle, const FileInfo& like) override {
    return real_.SetInfo(handle, like);
  }
  Status Sync(int handle) override { return real_.Sync(handle); }
  Status Close(int handle) override { return real_.Close(handle); }
  Status HardLink(const std::string& from, const std::string& to) override {
    return real_.HardLink(from, to);
  }
  Status Rename(const std::string& from, const std::string& to) override {
    if (std::string_view(to).ends_with(fail_name_)) {
      ++failures_;
      return Status::Error("injected rename failure");
    }
    return real_.Rename(from, to);
  }
  Status Remove(const std::string& path) override { return real_.Remove(path); }
  Status SyncFolder(const std::string& folder) override {
    return real_.SyncFolder(folder);
  }
  int failures() const { return failures_; }

 private:
  FileSystem& real_ = DefaultFileSystem();
  std::string fail_name_;
  int failures_ = 0;
};

TEST(MultipleFileRunTest, FailedRewriteIsLoggedAndTheRunGoesOn) {
  for (bool backup : {false, true}) {
    TempDir dir;
    const std::string d = dir.path();
    WriteFile(dir / "a.htm", Page("alpha"));
    WriteFile(dir / "b.htm", Page("beta"));
    WriteFile(dir / "c.htm", Page("gamma"));
    FailingRename failing("b.htm");
    Bench b;
    b.parameters.Backup = backup;
    const RunSummary s = RunMultipleFileOperation(d, b.analysis, b.parameters,
                                                  b.report, b.view, &failing);
    EXPECT_GE(failing.failures(), 1) << backup;
    // The insertion's file error (-7) is logged with its value.
    EXPECT_EQ(b.report.text(),
              FolderLine(d, true) + FileLine("a.htm", kInsertedLine) +
                  FileLine("b.htm",
                           "  ---  An error (-7) occurred during meta tag "
                           "insertion.") +
                  FileLine("c.htm", kInsertedLine) +
                  Summary({d + "/a.htm", d + "/c.htm"}))
        << backup;
    EXPECT_EQ(Describe(s),
              Counts(3, 2, 1, false,
                     "A keywords meta tag was inserted in 2 files in 1 "
                     "folder."))
        << backup;
    // The page that failed is as it was, and no temporary file is left;
    // with a backup the two others have theirs.
    std::map<std::string, std::string> expected = {
        {"a.htm", Inserted("alpha")},
        {"b.htm", Page("beta")},
        {"c.htm", Inserted("gamma")}};
    if (backup) {
      expected["a.bak.htm"] = Page("alpha");
      expected["c.bak.htm"] = Page("gamma");
    }
    auto now = Snapshot(d);
    // A backup made before the failed step may stay; it holds the old page.
    if (auto it = now.find("b.bak.htm"); backup && it != now.end()) {
      EXPECT_EQ(it->second, Page("beta"));
      now.erase(it);
    }
    EXPECT_EQ(now, expected) << backup;
  }
}

// --- The inspect dialog.

TEST(MultipleFileRunTest, InspectShowsTheNewTagAndTheOldOne) {
  for (bool add_done : {true, false}) {
    TempDir dir;
    const std::string d = dir.path();
    WriteFile(dir / "Page.HTM",
              Page("alpha", "<meta name=\"keywords\" content=\"old\"> x\r\n"));
    WriteFile(dir / "plain.htm", Page("beta"));
    Bench b;
    b.parameters.Confirm = true;
    b.parameters.AddDone = add_done;
    b.view.QueueInspect(FakeRunView::Keep(false, false, false));
    b.view.QueueInspect(FakeRunView::Keep(false, false, false));
    b.Run(d);
    ASSERT_EQ(b.view.inspections().size(), 2u) << add_done;
    // The dialog: the name in lower case, the composed tag, the done box as
    // AddDone says. The main box: the old tag to the end of its line.
    EXPECT_EQ(b.view.inspections()[0].file_label, "File: page.htm");
    EXPECT_EQ(b.view.inspections()[0].tag, Tag("alpha"));
    EXPECT_EQ(b.view.inspections()[0].insert_done, add_done);
    EXPECT_EQ(b.view.output_at_inspection()[0],
              "Existing keywords meta tag: <meta name=\"keywords\" "
              "content=\"old\"> x");
    EXPECT_EQ(b.view.inspections()[1].file_label, "File: plain.htm");
    EXPECT_EQ(b.view.inspections()[1].tag, Tag("beta"));
    EXPECT_EQ(b.view.output_at_inspection()[1],
              "Existing keywords meta tag: No keywords meta tag found.");
  }
}

TEST(MultipleFileRunTest, InspectAnswers) {
  const std::string kEdited =
      "<meta name=\"keywords\" content=\"edited, by hand\">";
  const struct {
    const char* name;
    InspectAnswer answer;
    std::string outcome;  // the end of page.htm's report line
    std::string page;     // page.htm afterwards ("DATE": today)
    bool counted;
  } kCases[] = {
      {"both ticked, edited",
       {true, false, true, kEdited},
       kInsertedLine,
       PageWith("alpha", kEdited + "\r\n" + kDoneLine),
       true},
      {"insert only",
       {true, false, false, kEdited},
       kInsertedLine,
       PageWith("alpha", kEdited + "\r\n"),
       true},
      // Only the done tag is written; the page is not counted.
      {"done only",
       {false, false, true, kEdited},
       kNotInserted,
       PageWith("alpha", kDoneLine),
       false},
      {"neither",
       {false, false, false, kEdited},
       kNotInserted,
       Page("alpha"),
       false},
      // The insertion refuses a text that is not a keywords tag.
      {"edited into no meta tag",
       {true, false, true, "<mta name=\"keywords\" content=\"x\">"},
       kNoTag,
       Page("alpha"),
       false},
      {"edited into no keywords marker",
       {true, false, true, "<meta name=keywords content=\"x\">"},
       kNoTag,
       Page("alpha"),
       false},
  };
  for (const auto& c : kCases) {
    TempDir dir;
    const std::string d = dir.path();
    WriteFile(dir / "page.htm", Page("alpha"));
    Bench b;
    b.parameters.Confirm = true;
    b.view.QueueInspect(c.answer);
    Dates dates;
    const RunSummary s = b.Run(d);
    EXPECT_EQ(b.report.text(),
              FolderLine(d, true) + FileLine("page.htm", c.outcome) +
                  Summary(c.counted ? std::vector<std::string>{d + "/page.htm"}
                                    : std::vector<std::string>{}))
        << c.name;
    const std::string page = ReadFile(dir / "page.htm");
    EXPECT_EQ(page, dates.WithToday(c.page, page)) << c.name;
    EXPECT_EQ(s.InsertedCount, c.counted ? 1 : 0) << c.name;
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
    TempDir dir;
    const std::string d = dir.path();
    WriteFile(dir / "a.htm", Page("alpha"));
    WriteFile(dir / "b.htm", Page("beta"));
    MakeFolder(dir / "sub");
    WriteFile(dir / "sub/c.htm", Page("gamma"));
    Bench b;
    b.parameters.Confirm = true;
    b.parameters.IncludeAllSubfolders = true;
    b.view.QueueInspect(FakeRunView::Keep(c.insert, true, c.insert_done));
    Dates dates;
    const RunSummary s = b.Run(d);
    std::vector<std::string> list;
    if (c.insert) list.push_back(d + "/a.htm");
    EXPECT_EQ(b.report.text(), FolderLine(d, true) + c.a_log + Summary(list))
        << c.name;
    const std::string result =
        c.insert ? "A keywords meta tag was inserted in 1 file in 1 folder."
                 : kNothingResult;
    EXPECT_EQ(Describe(s), Counts(1, c.insert ? 1 : 0, 1, true, result))
        << c.name;
    EXPECT_EQ(b.view.fake().BoxesText(), ResultBox(result)) << c.name;
    EXPECT_EQ(b.view.inspections().size(), 1u) << c.name;
    const std::string a = ReadFile(dir / "a.htm");
    EXPECT_EQ(a, dates.WithToday(c.a_page, a)) << c.name;
    EXPECT_EQ(ReadFile(dir / "b.htm"), Page("beta")) << c.name;
    EXPECT_EQ(ReadFile(dir / "sub/c.htm"), Page("gamma")) << c.name;
  }
}

TEST(MultipleFileRunTest, InspectStopInASubfolderEndsEveryLevel) {
  TempDir dir;
  const std::string d = dir.path();
  WriteFile(dir / "a.htm", Page("alpha"));
  MakeFolder(dir / "sub1");
  WriteFile(dir / "sub1/b.htm", Page("beta"));
  WriteFile(dir / "sub1/c.htm", Page("gamma"));
  MakeFolder(dir / "sub2");
  WriteFile(dir / "sub2/d.htm", Page("delta"));
  Bench b;
  b.parameters.Confirm = true;
  b.parameters.IncludeAllSubfolders = true;
  b.view.QueueInspect(FakeRunView::Keep(true, false, false));
  b.view.QueueInspect(FakeRunView::Keep(true, true, false));
  const RunSummary s = b.Run(d);
  EXPECT_EQ(b.report.text(),
            FolderLine(d, true) + FileLine("a.htm", kInsertedLine) +
                FolderLine(d + "/sub1") + FileLine("b.htm", kInsertedLine) +
                kStoppedLine + Summary({d + "/a.htm", d + "/sub1/b.htm"}));
  // sub1 counts as visited; sub2 is never reached.
  EXPECT_EQ(Describe(s),
            Counts(2, 2, 2, true,
                   "A keywords meta tag was inserted in 2 files in 2 "
                   "folders."));
  EXPECT_EQ(ReadFile(dir / "sub1/c.htm"), Page("gamma"));
  EXPECT_EQ(ReadFile(dir / "sub2/d.htm"), Page("delta"));
}

// --- The Stop button.

TEST(MultipleFileRunTest, StopThenGoOn) {
  TempDir dir;
  const std::string d = dir.path();
  WriteFile(dir / "a.htm", Page("alpha"));
  WriteFile(dir / "b.htm", Page("beta"));
  WriteFile(dir / "c.htm", Page("gamma"));
  Bench b;
  b.view.StopDuringFile("b.htm", 1);
  b.view.fake().QueueAnswer(Answer::kYes);
  const RunSummary s = b.Run(d);
  EXPECT_EQ(b.report.text(), FolderLine(d, true) +
                                 FileLine("a.htm", kInsertedLine) +
                                 FileLine("b.htm", kFileStopped) +
                                 FileLine("c.htm", kInsertedLine) +
                                 Summary({d + "/a.htm", d + "/c.htm"}));
  EXPECT_EQ(Describe(s),
            Counts(3, 2, 1, false,
                   "A keywords meta tag was inserted in 2 files in 1 "
                   "folder."));
  EXPECT_EQ(b.view.fake().BoxesText(),
            std::string(kGoOnBox) +
                ResultBox("A keywords meta tag was inserted in 2 files in 1 "
                          "folder."));
  EXPECT_EQ(ReadFile(dir / "b.htm"), Page("beta"));
  EXPECT_EQ(ReadFile(dir / "c.htm"), Inserted("gamma"));
  EXPECT_EQ(b.view.captions(),
            (std::vector<std::string>{
                "Keywords meta tag inserted in 1 of 2 files.",
                "Keywords meta tag inserted in 2 of 3 files."}));
}

// The tree of the stop tests: two pages at the top, two in sub1, one in
// sub2.
void MakeStopTree(const std::string& d) {
  WriteFile(d + "/a.htm", Page("alpha"));
  WriteFile(d + "/b.htm", Page("beta"));
  MakeFolder(d + "/sub1");
  WriteFile(d + "/sub1/c.htm", Page("gamma"));
  WriteFile(d + "/sub1/d.htm", Page("delta"));
  MakeFolder(d + "/sub2");
  WriteFile(d + "/sub2/e.htm", Page("echo"));
}

TEST(MultipleFileRunTest, StopAfterTheFirstFolderLeavesNoHalfDonePage) {
  // The same tree run to its end, for the rewritten bytes.
  TempDir whole;
  MakeStopTree(whole.path());
  const auto original = Snapshot(whole.path());
  {
    Bench b;
    b.parameters.IncludeAllSubfolders = true;
    b.Run(whole.path());
  }
  const auto finished = Snapshot(whole.path());

  TempDir dir;
  const std::string d = dir.path();
  MakeStopTree(d);
  Bench b;
  b.parameters.IncludeAllSubfolders = true;
  b.view.StopDuringFile("c.htm", 1);  // the first page of sub1
  b.view.fake().QueueAnswer(Answer::kNo);
  const RunSummary s = b.Run(d);
  EXPECT_EQ(b.report.text(),
            FolderLine(d, true) + FileLine("a.htm", kInsertedLine) +
                FileLine("b.htm", kInsertedLine) + FolderLine(d + "/sub1") +
                "\r\nFile: c.htm" + kFileStopped + kStoppedLine +
                Summary({d + "/a.htm", d + "/b.htm"}));
  EXPECT_EQ(Describe(s),
            Counts(3, 2, 2, true,
                   "A keywords meta tag was inserted in 2 files in 2 "
                   "folders."));
  // The result box is still shown.
  EXPECT_EQ(b.view.fake().BoxesText(),
            std::string(kGoOnBox) +
                ResultBox("A keywords meta tag was inserted in 2 files in 2 "
                          "folders."));
  EXPECT_EQ(Names(b.view.input_files()),
            (std::vector<std::string>{"a.htm", "b.htm", "c.htm"}));

  // Each page holds either its old bytes or those of the finished run:
  // the first folder's are rewritten, the rest untouched.
  const auto now = Snapshot(d);
  ASSERT_EQ(now.size(), original.size());
  for (const auto& [name, bytes] : now) {
    const bool done_before_stop = name == "a.htm" || name == "b.htm";
    EXPECT_EQ(bytes, done_before_stop ? finished.at(name) : original.at(name))
        << name;
  }
  EXPECT_NE(finished.at("sub1/c.htm"), original.at("sub1/c.htm"));
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
    if (::geteuid() == 0 && (::setgroups(0, nullptr) != 0 ||
                             ::setgid(65534) != 0 || ::setuid(65534) != 0))
      ::_exit(3);
    if (::access(tree.c_str(), R_OK | W_OK | X_OK) != 0) ::_exit(3);
    const std::string out = body();
    std::size_t done = 0;
    while (done < out.size()) {
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

// Gives the whole tree to user 65534 when running as root, so that the
// child of RunUnprivileged can read and rewrite it.
void GiveTreeAway(const std::string& root) {
  if (::geteuid() != 0) return;
  ASSERT_EQ(::lchown(root.c_str(), 65534, 65534), 0);
  for (const auto& entry : fs::recursive_directory_iterator(root))
    ASSERT_EQ(::lchown(entry.path().c_str(), 65534, 65534), 0) << entry.path();
}

TEST(MultipleFileRunTest, TreeOfTroublesIsLoggedAndCompleted) {
  TempDir dir;
  const std::string d = dir.path();
  WriteFile(dir / "a_ok.htm", Page("alpha"));
  WriteFile(dir / "b_bin.htm", std::string("<html>\x01<head></head>", 20));
  WriteFile(dir / "c_locked.htm", Page("charlie"));
  WriteFile(dir / "d_nohead.htm",
            "<html>\r\n<title>delta</title>\r\n<p>delta</p>\r\n</html>\r\n");
  WriteFile(dir / "e_span.htm",
            Page("echo", "<meta name=\"keywords\"\r\ncontent=\"old\">\r\n"));
  WriteFile(
      dir / "f_done.htm",
      Page("foxtrot", "<meta name=\"VORN done\" content=\"2008-01-31\">\r\n"));
  MakeFolder(dir / "closed");
  WriteFile(dir / "closed/x.htm", Page("xray"));
  MakeFolder(dir / "sub");
  WriteFile(dir / "sub/g_ok.htm", Page("golf"));
  GiveTreeAway(d);
  const auto original = Snapshot(d);

  auto lock = [&] {
    ASSERT_EQ(::chmod((dir / "c_locked.htm").c_str(), 0), 0);
    ASSERT_EQ(::chmod((dir / "closed").c_str(), 0), 0);
  };
  auto unlock = [&] {
    ASSERT_EQ(::chmod((dir / "c_locked.htm").c_str(), 0644), 0);
    ASSERT_EQ(::chmod((dir / "closed").c_str(), 0755), 0);
  };
  // One run in the child: its report, counters and boxes in one text.
  auto run = [&] {
    Bench b;
    b.parameters.IncludeAllSubfolders = true;
    b.parameters.AddDone = true;
    const RunSummary s = b.Run(d);
    return b.report.text() + "#" + Describe(s) + "#" +
           b.view.fake().BoxesText();
  };

  Dates dates;
  lock();
  const std::optional<std::string> first = RunUnprivileged(d, run);
  if (!first) GTEST_SKIP() << "no child as user 65534 that can reach " << d;
  // The unreadable folder has no page count, so no "Folder: " line of its
  // own before the walk tries it; it still counts as visited.
  const std::string kResult =
      "A keywords meta tag was inserted in 2 files in 3 folders.";
  EXPECT_EQ(*first,
            FolderLine(d, true) + FileLine("a_ok.htm", kInsertedLine) +
                FileLine("b_bin.htm", "  ---  Not a text file (byte 7).") +
                FileLine("c_locked.htm", kUnexpected) +
                FileLine("d_nohead.htm", kNoHeadEnd) +
                FileLine("e_span.htm", kSpansLines) +
                FileLine("f_done.htm", kDoneAlready) + "\r\nFolder: " + d +
                "/closed  ---  Could not be read (" + std::strerror(EACCES) +
                ").\r\n" + FolderLine(d + "/sub") +
                FileLine("g_ok.htm", kInsertedLine) +
                Summary({d + "/a_ok.htm", d + "/sub/g_ok.htm"}) + "#" +
                Counts(7, 2, 3, false, kResult) + "#" + ResultBox(kResult));

  // Nothing lost: every file is there, the two good pages rewritten.
  unlock();
  const auto after_first = Snapshot(d);
  auto expected = original;
  expected["a_ok.htm"] =
      dates.WithToday(PageWith("alpha", Tag("alpha") + "\r\n" + kDoneLine),
                      after_first.at("a_ok.htm"));
  expected["sub/g_ok.htm"] =
      dates.WithToday(PageWith("golf", Tag("golf") + "\r\n" + kDoneLine),
                      after_first.at("sub/g_ok.htm"));
  EXPECT_EQ(after_first, expected);

  // A second run with SkipDone inserts nothing and changes no byte.
  lock();
  const std::optional<std::string> second = RunUnprivileged(d, run);
  ASSERT_TRUE(second.has_value());
  EXPECT_EQ(*second,
            FolderLine(d, true) + FileLine("a_ok.htm", kDoneAlready) +
                FileLine("b_bin.htm", "  ---  Not a text file (byte 7).") +
                FileLine("c_locked.htm", kUnexpected) +
                FileLine("d_nohead.htm", kNoHeadEnd) +
                FileLine("e_span.htm", kSpansLines) +
                FileLine("f_done.htm", kDoneAlready) + "\r\nFolder: " + d +
                "/closed  ---  Could not be read (" + std::strerror(EACCES) +
                ").\r\n" + FolderLine(d + "/sub") +
                FileLine("g_ok.htm", kDoneAlready) + kNothingInserted + "#" +
                Counts(7, 0, 3, false, kNothingResult) + "#" +
                ResultBox(kNothingResult));
  unlock();
  EXPECT_EQ(Snapshot(d), after_first);
}

}  // namespace
}  // namespace vorn
