// The multiple-file run over small folder trees, one row per rule, each
// with one worker and with several: which pages it takes and in which
// order, what it logs, its counters, captions and progress, the inspect
// dialog, Stop, and failures on the way. Whole reports of real sites are
// compared by the golden files.
#include "batch/multiple_file_run.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cctype>
#include <deque>
#include <filesystem>
#include <functional>
#include <map>
#include <regex>
#include <sstream>
#include <string>
#include <vector>

#include "documents/file_system.h"
#include "documents/insert.h"
#include "engine/common_words.h"
#include "support/files.h"
#include "tests/support/fake_view.h"
#include "tests/support/faulty_file_system.h"
#include "tests/support/page_folder.h"

namespace vorn {
namespace {

using Strings = std::vector<std::string>;
using Files = std::map<std::string, std::string>;

Strings Split(const std::string& text, char at = ' ') {
  std::istringstream in(text);
  Strings parts;
  for (std::string p; std::getline(in, p, at);)
    if (!p.empty()) parts.push_back(p);
  return parts;
}

std::string Tag(const std::string& word) {
  return "<meta name=\"keywords\" content=\"" + word + "\">";
}
const std::string kEdited = Tag("edited");
constexpr char kDoneLine[] = "<meta name=\"VORN done\" content=\"DATE\">\r\n";
constexpr char kOldDoneLine[] =
    "<meta name=\"VORN done\" content=\"2001-01-01\">\r\n";

// A page whose one word stands in its title and body; `head` goes before
// the title.
std::string Page(const std::string& word, const std::string& head = "") {
  return "<html>\r\n<head>\r\n" + head + "<title>" + word +
         "</title>\r\n</head>\r\n<body>\r\n<p>" + word +
         "</p>\r\n</body>\r\n</html>\r\n";
}

// The word of the page `name`: "sub/B.htm" holds "bword".
std::string Word(const std::string& name) {
  return char(std::tolower(name[name.rfind('/') + 1])) + std::string("word");
}

std::string Undated(const std::string& page) {
  static const std::regex kDate(R"(("VORN done" content=")\d{4}-\d\d-\d\d")");
  return std::regex_replace(page, kDate, "$1DATE\"");
}

// A folder's files (not folders or links), dates masked.
Files FilesOf(const PageFolder& dir) {
  Files files = dir.Snapshot();
  std::erase_if(files, [](const auto& f) {
    return f.second == "folder" || f.second.starts_with("link to ");
  });
  for (auto& [name, bytes] : files) bytes = Undated(bytes);
  return files;
}

// A page's outcome after "  ---  ", and (keys not ending a "name:") whole
// report texts: an earlier run's, no page updated, the stop line, the note
// on extended attributes.
const std::map<std::string, std::string> kOutcomes = {
    {"ins", "Keywords meta tag inserted."},
    {"not", "Meta tag not inserted."},
    {"notag", "No keywords meta tag to insert."},
    {"stop", "Operation on this file stopped."},
    {"gone", "Could not be read (No such file or directory)."},
    {"err",
     "An error (-7) occurred during meta tag insertion (Input/output error)."},
    {"out", "Link to a page outside the folder, not followed."},
    {"twin", "Same page as a.htm, already dealt with."},
    {"hard", "Has more than one name (hard link), not updated."},
    {"changed", "Changed during the run, not updated."},
    {"earlier", "earlier run\r\n"},
    {"=", "\r\nNo keywords meta tag was inserted in any file.\r\n"},
    {"!", "\r\n\r\nOperation stopped at user's request.\r\n"},
    {"noattr",
     "\r\nExtended attributes (ACLs, labels) could not be kept on some "
     "pages: their file system does not support them.\r\n"},
};

// The report for `log` (folder `d`): a whole text of kOutcomes;
// "name:key" a page's line ("!" after it: the run stops before the line
// ends); "^" the first folder line, "/sub" a later one ("/" the top folder
// again, "/sub?" one that cannot be read); "-" the dashes between two
// runs; "=a,b" the summary, "~a,b" the links not followed, "rm:name" a
// leftover removed.
std::string Expand(const std::string& log, const std::string& d) {
  std::string out;
  auto list = [&](const std::string& files) {
    for (const std::string& f : Split(files, ',')) out += d + "/" + f + "\r\n";
    out += "\r\n";
  };
  for (const std::string& t : Split(log)) {
    const std::size_t colon = t.find(':');
    if (t.starts_with("rm:")) {
      out += "\r\nRemoved a temporary file left by an interrupted rewrite: " +
             t.substr(3) + "\r\n";
    } else if (colon != std::string::npos) {
      const bool cut = t.ends_with("!");
      out += "\r\nFile: " + t.substr(0, colon) + "  ---  " +
             kOutcomes.at(t.substr(colon + 1, t.size() - colon - 1 - cut)) +
             (cut ? "" : "\r\n");
    } else if (kOutcomes.count(t)) {
      out += kOutcomes.at(t);
    } else if (t[0] == '~') {
      out += "\r\nLinks to pages outside the folder, not followed:\r\n\r\n";
      list(t.substr(1));
    } else if (t == "^") {
      out += "Folder: " + d + "\r\n";
    } else if (t == "-") {
      out += "\r\n" + std::string(d.size() + 8, '-');
    } else if (t.ends_with("?")) {
      out += "\r\nFolder: " + d + t.substr(0, t.size() - 1) +
             "  ---  Could not be read (No such file or directory).\r\n";
    } else if (t[0] == '/') {
      out += "\r\nFolder: " + d + (t == "/" ? "" : t) + "\r\n";
    } else {  // "=a,b"
      const std::size_t n = Split(t.substr(1), ',').size();
      out += "\r\nA keywords meta tag was inserted in the following " +
             (n == 1 ? std::string("file") : std::to_string(n) + " files") +
             ":\r\n\r\n";
      list(t.substr(1));
    }
  }
  return out;
}

// The main window during a run: a FakeView for everything a scan needs,
// inspect dialogs answered by a queue of callbacks, Stop pressed during a
// chosen page, and the captions and progress the run shows. An inspection
// with nothing queued fails the test and is answered as the dialog's close
// box.
class FakeRunView : public RunView {
 public:
  using Inspector = std::function<InspectAnswer(const InspectRequest&)>;

  Answer Ask(const MessageBox& box) override { return fake.Ask(box); }
  std::string OutputText() const override { return fake.OutputText(); }
  void SetOutputText(std::string_view t) override { fake.SetOutputText(t); }
  void AppendOutputText(std::string_view t) override {
    fake.AppendOutputText(t);
  }
  void SetWordCountLabel(std::string_view) override {}
  void ScanStarted() override { fake.ScanStarted(); }
  void ScanEnded() override { fake.ScanEnded(); }
  bool StopRequested() override { return fake.StopRequested(); }
  void SetInputFile(std::string_view path) override {
    if (!stop_file.empty() && path.ends_with("/" + stop_file))
      fake.StopAfterWords(1);
  }
  void SetInsertedCaption(std::string_view text) override {
    captions += (captions.empty() ? "" : " ") + std::string(text);
  }
  void Progress(std::int64_t done, std::int64_t total) override {
    progress += (progress.empty() ? "" : " ") + std::to_string(done) + "/" +
                std::to_string(total);
  }
  InspectAnswer Inspect(const InspectRequest& request) override {
    if (inspectors.empty()) {
      ADD_FAILURE() << "unscripted inspection: " << request.file_label;
      return {false, true, request.insert_done, request.tag};
    }
    const Inspector inspector = std::move(inspectors.front());
    inspectors.pop_front();
    return inspector(request);
  }

  FakeView fake;
  std::deque<Inspector> inspectors;
  std::string stop_file;  // the scan of this page sees Stop after a word
  std::string captions;   // the texts of SetInsertedCaption
  std::string progress;   // "0/3 1/3 ..."
};

void SetTime(const std::string& path, time_t at) {
  const struct timespec times[2] = {{at, 0}, {at, 0}};
  EXPECT_EQ(::utimensat(AT_FDCWD, path.c_str(), times, 0), 0) << path;
}

// One run's world. No dialog, no echo and no done tag unless asked.
struct Bench {
  ~Bench() {
    if (held >= 0) ::close(held);
  }
  // The run's folder below `base` (empty: the test temporary folder).
  explicit Bench(const std::string& base = "", int workers = 1)
      : dir(base), jobs(workers) {
    AnalysisSettings settings;
    settings.IgnoreCommonWords = false;
    analysis.UpdateSettings(settings);
    parameters.Confirm = parameters.DisplayWords = parameters.AddDone = false;
  }
  // Applies the settings of `setup`: a parameter ("+subs", "-log", ...),
  // something the folder or the report holds, Stop during a page
  // ("stop:b.htm:yes"), or an inspect answer "iISD" (insert, stop, done as 0/1,
  // then e for kEdited or x for a text that is no keywords tag); `act` is done
  // during the first inspection.
  void Setup(const std::string& setup, const std::function<void(Bench&)>& act) {
    OperationParameters& p = parameters;
    bool first = true;
    for (const std::string& t : Split(setup)) {
      if (t == "+subs") p.IncludeAllSubfolders = true;
      if (t == "+backup") p.Backup = true;
      if (t == "-clear") p.ClearReportAtStart = false;
      if (t == "-log") p.LogOperations = false;
      if (t == "earlier") report.Output("earlier run\r\n");
      if (t == "loop") ::symlink(".", dir.Path("loop").c_str());
      if (t == "failrename") fs.FailCall(FsOp::kRename, 1);
      if (t == "noattr") fs.AttributesUnsupported();
      if (t == "outside") {  // links out every way
        outside.Write("secret.htm", Page("secret"));
        outside.Write("deep/inner.htm", Page("inner"));
        const std::string out = outside.path(), d = dir.path();
        const std::string up = "../" + out.substr(out.rfind('/') + 1);
        dir.MakeFolder("sub");
        for (const auto& [name, target] :
             {std::pair{"link.htm", out + "/secret.htm"},
              {"rel.htm", up + "/secret.htm"},
              {"chain.htm", d + "/link.htm"},
              {"outdir", out},
              {"sub/up.htm", "../" + up + "/deep/inner.htm"}})
          ::symlink(target.c_str(), dir.Path(name).c_str());
      }
      if (t == "twin") ::symlink("a.htm", dir.Path("twin.htm").c_str());
      if (t == "hard") {
        ::link(dir.Path("a.htm").c_str(), dir.Path("hard.htm").c_str());
        extra["hard.htm"] = Page("aword");
      }
      if (t == "leftover") {  // a killed run's; a young one; one being written
        std::string held_name;
        DefaultFileSystem().CreateUniqueFile(dir.path(), ".c.htm.vorn-", &held,
                                             &held_name);
        const std::string killed = ".a.htm.vorn-0123456789abcdef.tmp",
                          young = ".b.htm.vorn-fedcba9876543210.tmp";
        dir.Write(killed, "half");
        dir.Write(young, "young");
        extra[young] = "young";
        extra[held_name.substr(dir.path().size() + 1)] = "";
        for (const std::string& name : {dir.Path(killed), held_name})
          SetTime(name, ::time(nullptr) - 60);
        SetTime(dir.Path(young), ::time(nullptr) + 60);
      }
      if (t == "edit") {  // a.htm saved by an editor just before its swap
        extra["a.htm"] = "edited";
        fs.FailWhen([this, n = 0](FsOp op, const std::string& path) mutable {
          // Its third Stat: the walk's, the rewrite's read, the swap's check.
          if (op == FsOp::kStat && path.ends_with("/a.htm") && ++n == 3)
            dir.Write("a.htm", "edited");
          return false;
        });
      }
      if (t.starts_with("stop:")) {
        view.stop_file = Split(t, ':')[1];
        view.fake.QueueAnswer(t.ends_with("yes") ? Answer::kYes : Answer::kNo);
      }
      if (t[0] != 'i') continue;
      p.Confirm = true;
      const std::function<void(Bench&)> now = first ? act : nullptr;
      first = false;
      view.inspectors.push_back([this, t, now](const InspectRequest& request) {
        if (now) now(*this);
        return InspectAnswer{t[1] == '1', t[2] == '1', t[3] == '1',
                             t.size() < 5  ? request.tag
                             : t[4] == 'e' ? kEdited
                                           : "<meta name=keywords>"};
      });
    }
  }

  // Runs the folder (or `folder`); the scans too read through `fs`.
  RunSummary Run(const std::string& folder = "") {
    return RunMultipleFileOperation(folder.empty() ? dir.path() : folder,
                                    analysis, parameters, report, view, &fs,
                                    jobs);
  }

  FaultyFileSystem fs;
  PageFolder dir;
  PageFolder outside;  // a folder beside the run's
  Files extra;         // files the setup leaves as is
  int held = -1;       // a temporary file a writer holds open
  int jobs = 1;        // worker threads
  CommonWordsTable no_common_words;
  Analysis analysis{no_common_words, fs};
  OperationParameters parameters;
  Report report{parameters};
  FakeRunView view;
};

// "files inserted folders [stopped] | captions | progress | result", the
// captions as "inserted/files", the result as "N files in M folders" or "-"
// for none inserted.
std::string Counts(const RunSummary& s, const FakeRunView& view) {
  static const std::regex kCaption(
      R"(Keywords meta tag inserted in (\d+) of (\d+) files\.)");
  static const std::regex kResult(
      R"(A keywords meta tag was inserted in (.*)\.)");
  return std::to_string(s.FileCount) + " " + std::to_string(s.InsertedCount) +
         " " + std::to_string(s.FolderCount) + (s.stopped ? " stopped" : "") +
         " | " + std::regex_replace(view.captions, kCaption, "$1/$2") + " | " +
         view.progress + " | " +
         (s.result_text == "No keywords meta tag was inserted in any file."
              ? "-"
              : std::regex_replace(s.result_text, kResult, "$1"));
}

struct RunCase {
  const char* pages;   // "name ...", "name+done" for a page done before
  const char* setup;   // as Bench::Setup reads it
  const char* log;     // as Expand reads it
  const char* counts;  // as Counts gives them
  // "name:lines": t the page's tag, e kEdited, d a done tag, b a backup of
  // the old page; "name:-" the page is gone.
  const char* changed;
  std::function<void(Bench&)> act = nullptr;
};

TEST(MultipleFileRunTest, Rules) {
  const RunCase kCases[] = {
      // Backups ("bak." in the exact case) and other extensions are passed
      // over; names in order, letter case first ignored; report cleared.
      {"C.htm b.html B.htm a.shtml x.bak.htm y.BAK.htm "
       "webbak.htm notes.txt sub/s.htm",
       "earlier",
       "^ B.htm:ins b.html:ins C.htm:ins y.BAK.htm:ins "
       "=B.htm,b.html,C.htm,y.BAK.htm",
       "4 4 1 | 2/2 3/3 4/4 | 0/4 1/4 2/4 3/4 4/4 | 4 files in 1 folder",
       "B.htm:t b.html:t C.htm:t y.BAK.htm:t"},
      {"a.htm b.htm+done", "earlier -log", "earlier",
       "2 1 1 |  | 0/2 1/2 2/2 | 1 file in 1 folder", "a.htm:t"},
      {"a.htm", "earlier -clear", "earlier - / a.htm:ins =a.htm",
       "1 1 1 |  | 0/1 1/1 | 1 file in 1 folder", "a.htm:t"},
      // Depth first: a folder's pages, then each subfolder whole, in name
      // order; a folder line only where pages lie; no link followed.
      {"top.htm alpha/inner/deep.htm beta/n.txt Zeta/z.html", "+subs loop",
       "^ top.htm:ins /alpha/inner deep.htm:ins /Zeta z.html:ins "
       "=top.htm,alpha/inner/deep.htm,Zeta/z.html",
       "3 3 5 | 2/2 3/3 | 0/3 1/3 2/3 3/3 | 3 files in 5 folders",
       "top.htm:t alpha/inner/deep.htm:t Zeta/z.html:t"},
      // Inspect answers: edited with done tag, done tag only, neither, no
      // keywords tag.
      {"a.htm b.htm c.htm d.htm", "i101e i001 i000 i101x",
       "^ a.htm:ins b.htm:not c.htm:not d.htm:notag =a.htm",
       "4 1 1 | 1/2 1/3 1/4 | 0/4 1/4 2/4 3/4 4/4 | 1 file in 1 folder",
       "a.htm:ed b.htm:d"},
      {"a.htm b.htm sub/c.htm", "+subs i110", "^ a.htm:ins ! =a.htm",
       "1 1 1 stopped |  | 0/3 1/3 | 1 file in 1 folder", "a.htm:t"},
      {"a.htm b.htm", "i011", "^ a.htm:not! ! =", "1 0 1 stopped |  | 0/2 | -",
       "a.htm:d"},
      {"a.htm b.htm c.htm", "stop:b.htm:yes",
       "^ a.htm:ins b.htm:stop c.htm:ins =a.htm,c.htm",
       "3 2 1 | 1/2 2/3 | 0/3 1/3 2/3 3/3 | 2 files in 1 folder",
       "a.htm:t c.htm:t"},
      // Stop reaches the first page not yet in place; the pages written
      // ahead of it stay as they were, and no temporary file remains.
      {"a.htm b.htm c.htm d.htm e.htm f.htm g.htm h.htm", "stop:b.htm:no",
       "^ a.htm:ins b.htm:stop! ! =a.htm",
       "2 1 1 stopped |  | 0/8 1/8 | 1 file in 1 folder", "a.htm:t"},
      {"a.htm s1/c.htm s2/e.htm", "+subs stop:c.htm:no",
       "^ a.htm:ins /s1 c.htm:stop! ! =a.htm",
       "2 1 2 stopped |  | 0/3 1/3 | 1 file in 2 folders", "a.htm:t"},
      {"a.htm b.htm", "+backup failrename", "^ a.htm:err b.htm:ins =b.htm",
       "2 1 1 | 1/2 | 0/2 1/2 2/2 | 1 file in 1 folder", "b.htm:tb"},
      {"a.htm b.htm c.htm sub/d.htm", "+subs i100 i100",
       "^ a.htm:ins b.htm:gone c.htm:ins /sub? =a.htm,c.htm",
       "3 2 2 | 1/2 2/3 | 0/4 1/4 2/4 3/4 | 2 files in 2 folders",
       "a.htm:t c.htm:t b.htm:- sub/d.htm:-",
       [](Bench& b) {  // the page and the folder vanish during the run
         std::filesystem::remove(b.dir.Path("b.htm"));
         std::filesystem::remove_all(b.dir.Path("sub"));
       }},
      {"a.htm b.htm c.html", "i100 i100",
       "^ a.htm:ins c.html:ins =a.htm,c.html",
       "2 2 1 | 2/2 | 0/3 1/3 2/3 | 2 files in 1 folder", "a.htm:t c.html:t",
       [](Bench& b) { b.parameters.HTM = false; }},  // read live
      // Links out of the folder are not followed, a page is dealt with once
      // under its first name, a page with another name elsewhere is left.
      {"a.htm b.htm", "+subs +backup outside twin",
       "^ a.htm:ins b.htm:ins chain.htm:out link.htm:out rel.htm:out "
       "twin.htm:twin /sub up.htm:out =a.htm,b.htm "
       "~chain.htm,link.htm,rel.htm,sub/up.htm",
       "7 2 2 | 2/2 2/3 2/4 2/5 2/6 2/7 | 0/7 1/7 2/7 3/7 4/7 5/7 6/7 7/7 | "
       "2 files in 2 folders",
       "a.htm:tb b.htm:tb"},
      {"a.htm b.htm", "hard leftover",
       "^ rm:.a.htm.vorn-0123456789abcdef.tmp a.htm:hard b.htm:ins "
       "hard.htm:twin =b.htm",
       "3 1 1 | 1/2 1/3 | 0/3 1/3 2/3 3/3 | 1 file in 1 folder", "b.htm:t"},
      {"a.htm b.htm c.htm", "edit noattr",
       "^ a.htm:changed b.htm:ins c.htm:ins =b.htm,c.htm noattr",
       "3 2 1 | 1/2 2/3 | 0/3 1/3 2/3 3/3 | 2 files in 1 folder",
       "b.htm:t c.htm:t"},
  };
  // Every row with one worker (each page in turn) and with several (pages
  // worked ahead): the report, the counts and the files are the same.
  for (const RunCase& c : kCases)
    for (const int jobs : {1, 2, 8}) {
      const std::string row =
          std::string(c.pages) + " / " + c.setup + " / " + std::to_string(jobs);
      Bench b("", jobs);
      Files expected;
      for (std::string name : Split(c.pages)) {
        const bool done = name.ends_with("+done");
        if (done) name.resize(name.size() - 5);
        expected[name] = Page(Word(name), done ? kOldDoneLine : "");
        ASSERT_TRUE(b.dir.Write(name, expected[name])) << name;
      }
      b.Setup(c.setup, c.act);
      const Files outside = b.outside.Snapshot();  // never written
      const RunSummary s = b.Run();
      EXPECT_EQ(b.outside.Snapshot(), outside) << row;
      EXPECT_EQ(b.report.text(), Expand(c.log, b.dir.path())) << row;
      EXPECT_EQ(Counts(s, b.view), c.counts) << row;
      for (const std::string& change : Split(c.changed)) {
        const std::string name = change.substr(0, change.find(':'));
        std::string page = Page(Word(name)), lines;
        for (const char l : change.substr(name.size() + 1)) {
          if (l == 't') lines += Tag(Word(name)) + "\r\n";
          if (l == 'e') lines += kEdited + "\r\n";
          if (l == 'd') lines += kDoneLine;
          if (l == 'b') expected[BackupFileName(name)] = expected[name];
        }
        expected[name] = page.insert(page.find("</head>"), lines);
        if (change.ends_with(":-")) expected.erase(name);
      }
      for (const auto& [name, bytes] : b.extra) expected[name] = bytes;
      for (auto& [name, bytes] : expected) bytes = Undated(bytes);
      EXPECT_EQ(FilesOf(b.dir), expected) << row;
    }
}

// With the inspection on, pages are dealt with one at a time in walk order
// whatever the number of workers: the dialog of a page comes after the
// rewrite of the one before, and before anything touches the next. The
// dialog is shown the page's name in lower case, the composed tag and the
// done box as AddDone sets it; the main box shows the old tag. Names and
// tags reach the report in UTF-8, as the page holds them. (The rows of
// Rules compare the pages written.)
TEST(MultipleFileRunTest, InspectionKeepsOnePageAtATime) {
  Bench b("", 8);
  const std::string word = "caf\xC3\xA9", old = Tag("\xC3\x89t\xC3\xA9");
  const Strings names = {"a.htm", "b.htm", "CAF\xC3\x89.htm", "d.htm"};
  for (const std::string& name : names)
    ASSERT_TRUE(b.dir.Write(
        name, Page(word, "<meta charset=\"utf-8\">\r\n" + old + "\r\n")));
  b.parameters.AddDone = b.parameters.Confirm = true;
  ClickIncludeNewMetaTag(b.parameters, true);
  // Per dialog: which pages still hold the old tag (o) or not (n), and
  // what the dialog and the main box show.
  std::string seen, expected, report = Expand("^", b.dir.path());
  for (std::size_t i = 0; i < names.size(); ++i) {
    b.view.inspectors.push_back([&, i](const InspectRequest& r) {
      for (const std::string& name : names)
        seen += b.dir.Read(name)->find(old) == std::string::npos ? "n" : "o";
      seen += " " + r.file_label + " " + r.tag + (r.insert_done ? " d " : " ") +
              b.view.OutputText() + "\n";
      return InspectAnswer{true, false, i % 2 == 0, r.tag};
    });
    expected += std::string("nnnn", i) + std::string("oooo", 4 - i) +
                " File: " + (i == 2 ? word + ".htm" : names[i]) + " " +
                Tag(word) + " d Existing keywords meta tag: " + old + "\n";
    report += "\r\nFile: " + names[i] + "\r\nNEW: " + Tag(word) + "\r\n";
  }
  (void)b.Run();
  EXPECT_EQ(seen, expected);
  EXPECT_EQ(
      b.report.text(),
      report + Expand("=a.htm,b.htm," + names[2] + ",d.htm", b.dir.path()));
}

// A preview writes nothing, and so removes no leftover either.
TEST(MultipleFileRunTest, APreviewLeavesLeftovers) {
  for (const int jobs : {1, 2}) {
    Bench b("", jobs);
    ASSERT_TRUE(b.dir.Write("a.htm", Page("alpha")));
    b.Setup("leftover", nullptr);
    b.parameters.Preview = true;
    const Files before = b.dir.Snapshot();
    (void)b.Run();
    EXPECT_EQ(b.dir.Snapshot(), before) << jobs;
  }
}

// Which page a file call serves (from 0; -1 before the first) and its place
// among that page's calls, which begin with the first call on its name.
struct PageCalls {
  std::pair<int, int> Next(const std::string& path) {
    const std::string name = path.substr(path.rfind('/') + 1);
    if (name.ends_with(".htm") && !name.ends_with(".bak.htm") && name != page)
      page = name, ++index, place = -1;
    return {index, ++place};
  }
  std::string page;
  int index = -1, place = 0;
};

using Fails = std::function<bool(FsOp, const std::string&)>;

// A run of 50 pages in three folders, with backups and a leftover, where
// each file call fails in turn: run r fails, for each page i, its call at
// place (i + r) mod K, K the most calls any page needs, so that over K runs
// every call of every page fails once; each call before the first page
// fails in a run of its own; a full disk or a read-only folder strikes
// from page 1, 21 or 50 on. Then every page is whole, old or as the run
// without faults writes it, backups hold old pages, no temporary file
// remains, the report says "inserted" for exactly the pages updated and
// gives every other one (or a folder above it) a reason, and a second run
// completes the fault-free tree. With two workers the calls of pages
// interleave, so the same faults strike elsewhere, sometimes twice on one
// page: the same must hold.
TEST(RunFaultsTest, EachFailingCallLeavesEveryPageWhole) {
  const std::string kLeftover = ".p00.htm.vorn-0123456789abcdef.tmp";
  Files pages;
  for (int i = 0; i < 50; ++i)
    pages[std::string(i < 20   ? ""
                      : i < 40 ? "s1/"
                               : "s1/s2/") +
          "p" + char('0' + i / 10) + char('0' + i % 10) + ".htm"] =
        Page(std::string("word") + char('a' + i % 26) + char('a' + i / 26));
  // Runs over `dir` (filled first when `fill`); its files.
  auto run = [&](const PageFolder& dir, bool fill, Fails fails, Bench& b) {
    if (fill) {
      for (const auto& [name, bytes] : pages) dir.Write(name, bytes);
      dir.Write(kLeftover, "half");
      SetTime(dir.Path(kLeftover), ::time(nullptr) - 60);
    }
    b.parameters.IncludeAllSubfolders = b.parameters.Backup = true;
    b.parameters.AddDone = true;
    b.fs.FailWhen(std::move(fails));
    (void)b.Run(dir.path());
    return FilesOf(dir);
  };
  Bench clean(MemoryTempDir());
  int places = 0, before_pages = 0;
  PageCalls counter;
  const Files fault_free = run(
      clean.dir, true,
      [&](FsOp, const std::string& path) {
        const auto [page, place] = counter.Next(path);
        before_pages += page < 0;
        places = std::max(places, place + 1);
        return false;
      },
      clean);
  ASSERT_EQ(fault_free.size(), 100u);  // pages and backups, leftover gone
  std::vector<std::pair<std::string, Fails>> faults;
  for (int r = 0; r < places; ++r)
    faults.emplace_back(
        "page calls " + std::to_string(r),
        [=, calls = PageCalls()](FsOp, const std::string& path) mutable {
          const auto [page, place] = calls.Next(path);
          return page >= 0 && place == (page + r) % places;
        });
  for (int n = 1; n <= before_pages; ++n)
    faults.emplace_back(
        "call " + std::to_string(n) + " before the pages",
        [=, k = 0](FsOp, const std::string&) mutable { return ++k == n; });
  for (const FsOp op : {FsOp::kWrite, FsOp::kCreateUniqueFile})
    for (const int n : {1, 21, 50})
      faults.emplace_back(FsOpName(op) + (" from " + std::to_string(n)),
                          [=, k = 0](FsOp o, const std::string&) mutable {
                            return o == op && ++k >= n;
                          });
  for (const int jobs : {1, 2})
    for (const auto& [fault, fails] : faults) {
      const std::string row = fault + " / " + std::to_string(jobs);
      Bench b(MemoryTempDir(), jobs);
      const Files files = run(b.dir, true, fails, b);
      ASSERT_TRUE(jobs > 1 || b.fs.FaultHit()) << row;
      const std::string& report = b.report.text();
      auto has = [&](const std::string& text) {
        return report.find(text) != std::string::npos;
      };
      for (const auto& [name, bytes] : files) {
        const bool backup = name.ends_with(".bak.htm");
        const std::string page =
            backup ? name.substr(0, name.size() - 8) + ".htm" : name;
        // A temporary file stays only where its removal failed too, which
        // interleaved calls allow (the second run removes it).
        if (name == kLeftover || (jobs > 1 && IsRewriteLeftoverName(name.substr(
                                                  name.rfind('/') + 1))))
          continue;
        ASSERT_TRUE(pages.count(page)) << row << ": " << name;
        const bool updated = !backup && bytes == fault_free.at(name);
        EXPECT_TRUE(updated || bytes == pages[page]) << row << ": " << name;
        if (backup) continue;
        const std::string line =
            "\r\nFile: " + name.substr(name.rfind('/') + 1) + "  --- ";
        EXPECT_EQ(has(line + " Keywords meta tag inserted."), updated)
            << row << ": " << name;
        bool reason = has(line);
        for (std::string at = b.dir.Path(name);
             !reason && at != b.dir.path();) {
          at.resize(at.rfind('/'));
          reason = has("Folder: " + at + "  ---  Could not");
        }
        EXPECT_TRUE(updated || reason) << row << ": " << name << ", no reason";
      }
      Bench again;
      EXPECT_TRUE(run(b.dir, false, nullptr, again) == fault_free)
          << row << ", second run";
    }
}

// Another program saves a page at any moment of a run but the last check
// before the rename (no system call can check and rename at once): the page
// ends as that program wrote it, bare or with the tag composed from its own
// words, never with a tag composed from what it held before.
TEST(MultipleFileRunTest, AnEditAtAnyMomentIsKeptWhole) {
  const std::string edited = Page("cword");
  std::string tagged = edited;
  tagged.insert(tagged.find("</head>"), Tag("cword") + "\r\n");
  for (const int jobs : {1, 2})
    for (int n = 1;; ++n) {
      Bench b("", jobs);
      ASSERT_TRUE(b.dir.Write("a.htm", Page("aword")));
      int calls = 0;
      bool rename = false;
      b.fs.FailWhen([&](FsOp op, const std::string&) {
        if (++calls != n) return false;
        rename = op == FsOp::kRename;
        if (!rename) b.dir.Write("a.htm", edited);
        return false;
      });
      (void)b.Run();
      if (calls < n) break;  // the edit came after the run
      if (rename) continue;
      const std::string page = FilesOf(b.dir).at("a.htm");
      EXPECT_TRUE(page == edited || page == tagged)
          << "edit before call " << n << " / " << jobs << ":\n"
          << page;
    }
}

// A page put in place is on the disk by the end of the run: after its
// rename, its folder is flushed (once for many pages, when the run leaves
// the folder, and at the end).
TEST(MultipleFileRunTest, EveryRenameIsFlushedBeforeTheRunEnds) {
  for (const int jobs : {1, 2}) {
    Bench b("", jobs);
    for (const char* folder : {"", "s1/", "s1/s2/"})
      for (int i = 0; i < 70; ++i)
        ASSERT_TRUE(b.dir.Write(folder + ("p" + std::to_string(i) + ".htm"),
                                Page("pword")));
    b.parameters.IncludeAllSubfolders = true;
    std::map<std::string, int> unflushed;  // renames per folder
    int renames = 0;
    b.fs.FailWhen([&](FsOp op, const std::string& path) {
      if (op == FsOp::kRename && path.ends_with(".htm")) {
        ++unflushed[path.substr(0, path.rfind('/'))];
        ++renames;
      }
      if (op == FsOp::kSyncFolder) unflushed.erase(path);
      return false;
    });
    (void)b.Run();
    EXPECT_EQ(renames, 210) << jobs;
    // Once for many: 64 renames at most, or the folder left, between two.
    EXPECT_LE(b.fs.Calls(FsOp::kSyncFolder), 8) << jobs;
    EXPECT_TRUE(unflushed.empty())
        << jobs << ": " << unflushed.begin()->first << " not flushed";
  }
}

// A page in Windows-1258 gives its accented letters back as a letter and
// its marks: its tag, once written, is still the same as the new one, and
// a second run does not write it again.
TEST(MultipleFileRunTest, ATagInDecomposedLettersIsTheSameTag) {
  Bench b;
  const std::optional<std::string> page =
      ReadFileBytes(VORN_SOURCE_DIR "/tests/data/vi-windows-1258.htm");
  ASSERT_TRUE(page && b.dir.Write("vi.htm", *page));
  b.parameters.SkipDone = false;
  EXPECT_EQ(b.Run().InsertedCount, 1);
  EXPECT_EQ(b.Run().InsertedCount, 0) << b.report.text();
  EXPECT_NE(b.report.text().find("same as the existing one"),
            std::string::npos);
}

// Pages of one link each that show one inode, as a page saved during the
// run shows the inode that the rewrite of an earlier page freed: each is a
// page of its own. (Two links to one inode are one page: the "hard" row.)
TEST(MultipleFileRunTest, AnInodeFreedByARewriteIsNoEarlierPage) {
  class OneInode : public FaultyFileSystem {
   public:
    Status Stat(const std::string& path, FileInfo* info) override {
      const Status s = FaultyFileSystem::Stat(path, info);
      info->inode = 42;
      return s;
    }
  };
  OneInode fs;
  PageFolder dir;
  ASSERT_TRUE(dir.Write("a.htm", Page("aword")));
  ASSERT_TRUE(dir.Write("b.htm", Page("bword")));
  CommonWordsTable no_common_words;
  Analysis analysis{no_common_words, fs};
  OperationParameters parameters;
  parameters.Confirm = parameters.DisplayWords = parameters.AddDone = false;
  Report report{parameters};
  FakeRunView view;
  const RunSummary s = RunMultipleFileOperation(dir.path(), analysis,
                                                parameters, report, view, &fs);
  EXPECT_EQ(s.InsertedCount, 2) << report.text();
}

// Under a low limit of open files, a run of many workers takes no more
// threads than it can give files: it rewrites every page, with the report
// of one worker, where each of 128 threads holding a page and its new copy
// would fail many.
TEST(MultipleFileRunTest, FewFreeFilesGiveTheRunOfOneWorker) {
  struct rlimit saved;
  ASSERT_EQ(::getrlimit(RLIMIT_NOFILE, &saved), 0);
  if (saved.rlim_cur == RLIM_INFINITY) GTEST_SKIP() << "no limit to lower";
  std::string reports[2];
  for (const int jobs : {1, 64}) {
    Bench b("", jobs);
    for (int i = 0; i < 40; ++i)
      ASSERT_TRUE(b.dir.Write("p" + std::to_string(i) + ".htm", Page("pword")));
    struct rlimit low = saved;
    low.rlim_cur = saved.rlim_cur - FreeFileDescriptors() + 6;
    ASSERT_EQ(::setrlimit(RLIMIT_NOFILE, &low), 0);
    const RunSummary s = b.Run();
    ASSERT_EQ(::setrlimit(RLIMIT_NOFILE, &saved), 0);
    EXPECT_EQ(s.InsertedCount, 40) << jobs;
    std::string& report = reports[jobs > 1];
    report = b.report.text();
    for (std::size_t at; (at = report.find(b.dir.path())) != std::string::npos;)
      report.replace(at, b.dir.path().size(), "DIR");
  }
  EXPECT_EQ(reports[1], reports[0]);
}

// Start trims the folder box and writes it back, and refuses a blank box
// or a file before the run touches the report.
TEST(MultipleFileRunTest, StartChecksTheFolderBox) {
  Bench b;
  ASSERT_TRUE(b.dir.Write("a.htm", "x"));
  for (const std::string& box : {std::string(), b.dir.Path("a.htm")}) {
    std::string folder_box = " " + box + " ";
    EXPECT_FALSE(StartMultipleFileRun(folder_box, b.analysis, b.parameters,
                                      b.report, b.view, &b.fs));
    EXPECT_EQ(folder_box, box);
  }
  EXPECT_EQ(b.view.fake.BoxesText(),
            "Invalid input | No input folder specified. | exclamation | ok\n"
            "Invalid input | Folder does not exist | exclamation | ok\n");
  EXPECT_EQ(b.report.text(), "");
}

}  // namespace
}  // namespace vorn
