// The multiple-file run over small folder trees, one row per rule, each
// with one worker and with several: which pages it takes and in which
// order, what it logs, its counters, captions and progress, the inspect
// dialog, Stop, and failures on the way. Whole reports of real sites are
// compared by the golden files.
#include "batch/multiple_file_run.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

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
#include "tests/support/fake_view.h"
#include "tests/support/faulty_file_system.h"
#include "tests/support/page_folder.h"

namespace vorn {
namespace {

using Strings = std::vector<std::string>;

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

// A page whose one word stands in its title and body; `head` goes before
// the title.
std::string Page(const std::string& word, const std::string& head = "") {
  return "<html>\r\n<head>\r\n" + head + "<title>" + word +
         "</title>\r\n</head>\r\n<body>\r\n<p>" + word +
         "</p>\r\n</body>\r\n</html>\r\n";
}

// The word of a page's sketch: "a" or "a+old" give "aword".
std::string Word(const std::string& sketch) {
  return sketch.substr(0, sketch.find('+')) + "word";
}

// A page by its sketch: "word" or "word+kind", where the kind puts into the
// head a done tag (done), a keywords tag (old) or the tag the run composes
// in capitals (same); "bin" is a page that is not text.
std::string PageOf(const std::string& sketch) {
  const std::string word = Word(sketch);
  if (word == "binword") return std::string("<html>\x01<head></head>", 20);
  if (sketch.ends_with("+done"))
    return Page(word, "<meta name=\"VORN done\" content=\"2001-01-01\">\r\n");
  if (sketch.ends_with("+old")) return Page(word, Tag("old, words") + "\r\n");
  if (sketch.ends_with("+same"))
    return Page(word, "<META NAME=\"KEYWORDS\" CONTENT=\"" + word + "\">\r\n");
  return Page(word);
}

// The page of `sketch` after a rewrite that wrote `lines`: in the old tag's
// place, else before "</head>"; an old done tag is gone.
std::string PageAfter(const std::string& sketch, const std::string& lines) {
  if (sketch.ends_with("+old")) return Page(Word(sketch), lines);
  std::string page = Page(Word(sketch));
  return page.insert(page.find("</head>"), lines);
}

std::string Undated(const std::string& page) {
  static const std::regex kDate(R"(("VORN done" content=")\d{4}-\d\d-\d\d")");
  return std::regex_replace(page, kDate, "$1DATE\"");
}

// A folder's files (not folders or links), dates masked.
std::map<std::string, std::string> FilesOf(const PageFolder& dir) {
  auto files = dir.Snapshot();
  std::erase_if(files, [](const auto& f) {
    return f.second == "folder" || f.second.starts_with("link to ");
  });
  for (auto& [name, bytes] : files) bytes = Undated(bytes);
  return files;
}

const std::map<std::string, std::string> kOutcomes = {
    {"ins", "  ---  Keywords meta tag inserted."},
    {"done", "  ---  Done already."},
    {"not", "  ---  Meta tag not inserted."},
    {"notag", "  ---  No keywords meta tag to insert."},
    {"stop", "  ---  Operation on this file stopped."},
    {"bin", "  ---  Not a text file (byte 7)."},
    {"gone", "  ---  Could not be read (No such file or directory)."},
    {"err",
     "  ---  An error (-7) occurred during meta tag insertion (Input/output "
     "error)."},
    {"same", "  ---  New keywords meta tag is the same as the existing one."},
    {"out", "  ---  Link to a page outside the folder, not followed."},
    {"twin", "  ---  Same page as a.htm, already dealt with."},
    {"hard", "  ---  Has more than one name (hard link), not updated."},
    {"changed", "  ---  Changed during the run, not updated."},
    // Not pages: "earlier" an earlier run's text, "!" the stop line,
    // "noattr" the note on extended attributes.
    {"earlier", "earlier run\r\n"},
    {"!", "\r\n\r\nOperation stopped at user's request.\r\n"},
    {"noattr",
     "\r\nExtended attributes (ACLs, labels) could not be kept on some "
     "pages: their file system does not support them.\r\n"},
};

// The report for `log` (folder `d`): a key of kOutcomes; "name:key" a
// page's line ("!" after it: the run stops before the line ends); "^" the
// first folder line, "/sub" a later one ("/" the top folder again, "/sub?"
// one that cannot be read); "-" the dashes between two runs; "=a,b" the
// summary, "~a,b" the links not followed, "rm:name" a leftover removed.
std::string Expand(const std::string& log, const std::string& d) {
  std::string out;
  auto list = [&](const std::string& files) {
    for (const std::string& f : Split(files, ',')) out += d + "/" + f + "\r\n";
    out += "\r\n";
  };
  for (const std::string& t : Split(log)) {
    const std::string name = t.substr(0, t.find(':'));
    std::string key = t.substr(std::min(t.size(), name.size() + 1));
    const bool cut = key.ends_with("!");
    if (cut) key.pop_back();
    if (key.empty() && kOutcomes.count(t)) {
      out += kOutcomes.at(t);
    } else if (t.starts_with("rm:")) {
      out += "\r\nRemoved a temporary file left by an interrupted rewrite: " +
             t.substr(3) + "\r\n";
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
    } else if (t == "=") {
      out += "\r\nNo keywords meta tag was inserted in any file.\r\n";
    } else if (t[0] == '=') {
      const std::size_t n = Split(t.substr(1), ',').size();
      out += "\r\nA keywords meta tag was inserted in the following " +
             (n == 1 ? std::string("file") : std::to_string(n) + " files") +
             ":\r\n\r\n";
      list(t.substr(1));
    } else {
      out += "\r\nFile: " + name + kOutcomes.at(key) + (cut ? "" : "\r\n");
    }
  }
  return out;
}

// The main window during a run: a FakeView for everything a scan needs,
// inspect dialogs answered by a queue of callbacks, Stop pressed during a
// chosen page, and what the run shows recorded. An inspection with nothing
// queued fails the test and is answered as the dialog's close box.
class FakeRunView : public RunView {
 public:
  using Inspector = std::function<InspectAnswer(const InspectRequest&)>;

  Answer Ask(const MessageBox& box) override { return fake.Ask(box); }
  std::string OutputText() const override { return fake.OutputText(); }
  void SetOutputText(std::string_view t) override { fake.SetOutputText(t); }
  void AppendOutputText(std::string_view t) override {
    fake.AppendOutputText(t);
  }
  void SetWordCountLabel(std::string_view t) override {
    fake.SetWordCountLabel(t);
  }
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
    inspections.push_back(request);
    output_at_inspection.push_back(fake.OutputText());
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
  std::vector<InspectRequest> inspections;
  std::vector<std::string> output_at_inspection;  // the main output box
};

const CommonWordsTable& NoCommonWords() {
  static const CommonWordsTable* const table = new CommonWordsTable;
  return *table;
}

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
      if (t == "outside") {  // links out every way, to read-only files
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
        for (const auto& [name, mode] : {std::pair{"secret.htm", 0444},
                                         {"deep/inner.htm", 0444},
                                         {"deep", 0555},
                                         {"", 0555}})
          ::chmod(outside.Path(name).c_str(), mode);
      }
      if (t == "twin") ::symlink("a.htm", dir.Path("twin.htm").c_str());
      if (t == "hard") {
        ::link(dir.Path("a.htm").c_str(), dir.Path("hard.htm").c_str());
        extra["hard.htm"] = PageOf("a");
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
  PageFolder outside;                        // a folder beside the run's
  std::map<std::string, std::string> extra;  // files the setup leaves as is
  int held = -1;  // a temporary file a writer holds open
  int jobs = 1;   // worker threads
  Analysis analysis{NoCommonWords(), fs};
  OperationParameters parameters;
  Report report{parameters};
  FakeRunView view;
};

// The result text without its fixed words: "2 files in 1 folder", "-".
std::string Result(const std::string& text) {
  if (text == "No keywords meta tag was inserted in any file.") return "-";
  const std::string head = "A keywords meta tag was inserted in ";
  if (!text.starts_with(head) || !text.ends_with(".")) return text;
  return text.substr(head.size(), text.size() - head.size() - 1);
}

// The captions as "inserted/files": "1/2 2/3".
std::string Captions(const std::string& captions) {
  static const std::regex kCaption(
      R"(Keywords meta tag inserted in (\d+) of (\d+) files\.)");
  return std::regex_replace(captions, kCaption, "$1/$2");
}

struct RunCase {
  const char* pages;  // "name=sketch ..."
  const char* setup;  // as Bench::Setup reads it
  const char* log;    // as Expand reads it
  // "files inserted folders [stopped] | captions | progress | result",
  // the result "N files in M folders" or "-" for none inserted
  const char* counts;
  // "name:lines": t the page's tag, e kEdited, d a done tag, b a backup of
  // the old page; "name:-" the page is gone.
  const char* changed;
  std::function<void(Bench&)> act = nullptr;
};

TEST(MultipleFileRunTest, Rules) {
  const RunCase kCases[] = {
      // Backups ("bak." in the exact case) and other extensions are passed
      // over; names in order, letter case first ignored; report cleared.
      {"C.htm=c b.html=b B.htm=b a.shtml=a x.bak.htm=x y.BAK.htm=y "
       "webbak.htm=w notes.txt=n sub/s.htm=s",
       "earlier",
       "^ B.htm:ins b.html:ins C.htm:ins y.BAK.htm:ins "
       "=B.htm,b.html,C.htm,y.BAK.htm",
       "4 4 1 | 2/2 3/3 4/4 | 0/4 1/4 2/4 3/4 4/4 | 4 files in 1 folder",
       "B.htm:t b.html:t C.htm:t y.BAK.htm:t"},
      {"a.htm=a b.htm=b+done", "earlier -log", "earlier",
       "2 1 1 |  | 0/2 1/2 2/2 | 1 file in 1 folder", "a.htm:t"},
      {"a.htm=a", "earlier -clear", "earlier - / a.htm:ins =a.htm",
       "1 1 1 |  | 0/1 1/1 | 1 file in 1 folder", "a.htm:t"},
      // Depth first: a folder's pages, then each subfolder whole, in name
      // order; a folder line only where pages lie; no link followed.
      {"top.htm=top alpha/inner/deep.htm=deep beta/n.txt=x Zeta/z.html=z",
       "+subs loop",
       "^ top.htm:ins /alpha/inner deep.htm:ins /Zeta z.html:ins "
       "=top.htm,alpha/inner/deep.htm,Zeta/z.html",
       "3 3 5 | 2/2 3/3 | 0/3 1/3 2/3 3/3 | 3 files in 5 folders",
       "top.htm:t alpha/inner/deep.htm:t Zeta/z.html:t"},
      // Inspect answers: edited with done tag, done tag only, neither, no
      // keywords tag.
      {"a.htm=a b.htm=b c.htm=c d.htm=d", "i101e i001 i000 i101x",
       "^ a.htm:ins b.htm:not c.htm:not d.htm:notag =a.htm",
       "4 1 1 | 1/2 1/3 1/4 | 0/4 1/4 2/4 3/4 4/4 | 1 file in 1 folder",
       "a.htm:ed b.htm:d"},
      {"a.htm=a b.htm=b sub/c.htm=c", "+subs i110", "^ a.htm:ins ! =a.htm",
       "1 1 1 stopped |  | 0/3 1/3 | 1 file in 1 folder", "a.htm:t"},
      {"a.htm=a b.htm=b", "i011",
       "^ a.htm:not! ! =", "1 0 1 stopped |  | 0/2 | -", "a.htm:d"},
      {"a.htm=a b.htm=b c.htm=c", "stop:b.htm:yes",
       "^ a.htm:ins b.htm:stop c.htm:ins =a.htm,c.htm",
       "3 2 1 | 1/2 2/3 | 0/3 1/3 2/3 3/3 | 2 files in 1 folder",
       "a.htm:t c.htm:t"},
      // Stop reaches the first page not yet in place; the pages written
      // ahead of it stay as they were, and no temporary file remains.
      {"a.htm=a b.htm=b c.htm=c d.htm=d e.htm=e f.htm=f g.htm=g h.htm=h",
       "stop:b.htm:no", "^ a.htm:ins b.htm:stop! ! =a.htm",
       "2 1 1 stopped |  | 0/8 1/8 | 1 file in 1 folder", "a.htm:t"},
      {"a.htm=a s1/c.htm=c s2/e.htm=e", "+subs stop:c.htm:no",
       "^ a.htm:ins /s1 c.htm:stop! ! =a.htm",
       "2 1 2 stopped |  | 0/3 1/3 | 1 file in 2 folders", "a.htm:t"},
      {"a.htm=a b.htm=b", "+backup failrename", "^ a.htm:err b.htm:ins =b.htm",
       "2 1 1 | 1/2 | 0/2 1/2 2/2 | 1 file in 1 folder", "b.htm:tb"},
      {"a.htm=a b.htm=b c.htm=c sub/d.htm=d", "+subs i100 i100",
       "^ a.htm:ins b.htm:gone c.htm:ins /sub? =a.htm,c.htm",
       "3 2 2 | 1/2 2/3 | 0/4 1/4 2/4 3/4 | 2 files in 2 folders",
       "a.htm:t c.htm:t b.htm:- sub/d.htm:-",
       [](Bench& b) {  // the page and the folder vanish during the run
         std::filesystem::remove(b.dir.Path("b.htm"));
         std::filesystem::remove_all(b.dir.Path("sub"));
       }},
      {"a.htm=a b.htm=b c.html=c", "i100 i100",
       "^ a.htm:ins c.html:ins =a.htm,c.html",
       "2 2 1 | 2/2 | 0/3 1/3 2/3 | 2 files in 1 folder", "a.htm:t c.html:t",
       [](Bench& b) { b.parameters.HTM = false; }},  // read live
      // Links out of the folder are not followed, a page is dealt with once
      // under its first name, a page with another name elsewhere is left.
      {"a.htm=a b.htm=b", "+subs +backup outside twin",
       "^ a.htm:ins b.htm:ins chain.htm:out link.htm:out rel.htm:out "
       "twin.htm:twin /sub up.htm:out =a.htm,b.htm "
       "~chain.htm,link.htm,rel.htm,sub/up.htm",
       "7 2 2 | 2/2 2/3 2/4 2/5 2/6 2/7 | 0/7 1/7 2/7 3/7 4/7 5/7 6/7 7/7 | "
       "2 files in 2 folders",
       "a.htm:tb b.htm:tb"},
      {"a.htm=a b.htm=b", "hard leftover",
       "^ rm:.a.htm.vorn-0123456789abcdef.tmp a.htm:hard b.htm:ins "
       "hard.htm:twin =b.htm",
       "3 1 1 | 1/2 1/3 | 0/3 1/3 2/3 3/3 | 1 file in 1 folder", "b.htm:t"},
      {"a.htm=a b.htm=b c.htm=c", "edit noattr",
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
      std::map<std::string, std::string> specs, expected;
      for (const std::string& p : Split(c.pages)) {
        const std::string name = p.substr(0, p.find('='));
        specs[name] = p.substr(p.find('=') + 1);
        expected[name] = PageOf(specs[name]);
        ASSERT_TRUE(b.dir.Write(name, expected[name])) << name;
      }
      b.Setup(c.setup, c.act);
      const auto outside = b.outside.Snapshot();  // never written
      const RunSummary s = b.Run();
      EXPECT_EQ(b.outside.Snapshot(), outside) << row;
      EXPECT_EQ(b.report.text(), Expand(c.log, b.dir.path())) << row;
      EXPECT_EQ(std::to_string(s.FileCount) + " " +
                    std::to_string(s.InsertedCount) + " " +
                    std::to_string(s.FolderCount) +
                    (s.stopped ? " stopped" : "") + " | " +
                    Captions(b.view.captions) + " | " + b.view.progress +
                    " | " + Result(s.result_text),
                c.counts)
          << row;
      EXPECT_EQ(
          b.view.fake.BoxesText(),
          std::string(std::string(c.setup).find("stop:") != std::string::npos
                          ? "Continue? | Go on to the next file? | "
                            "none | yes/no\n"
                          : "") +
              "Result | " + s.result_text + " | none | ok\n")
          << row;
      for (const std::string& change : Split(c.changed)) {
        const std::string name = change.substr(0, change.find(':'));
        std::string lines;
        for (const char l : change.substr(name.size() + 1)) {
          if (l == 't') lines += Tag(Word(specs[name])) + "\r\n";
          if (l == 'e') lines += kEdited + "\r\n";
          if (l == 'd') lines += kDoneLine;
          if (l == 'b') expected[BackupFileName(name)] = PageOf(specs[name]);
        }
        expected[name] = PageAfter(specs[name], lines);
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
// tags reach the report in UTF-8, as the page holds them.
TEST(MultipleFileRunTest, InspectionKeepsOnePageAtATime) {
  Bench b("", 8);
  const std::string old = Tag("\xC3\x89t\xC3\xA9"),
                    head = "<meta charset=\"utf-8\">\r\n";
  const Strings names = {"a.htm", "b.htm", "CAF\xC3\x89.htm", "d.htm"};
  for (const std::string& name : names)
    ASSERT_TRUE(b.dir.Write(name, Page("caf\xC3\xA9", head + old + "\r\n")));
  b.parameters.AddDone = true;
  ClickIncludeNewMetaTag(b.parameters, true);
  std::string seen;
  for (std::size_t i = 0; i < names.size(); ++i)
    b.view.inspectors.push_back([&, i](const InspectRequest& request) {
      for (const std::string& name : names)
        seen += b.dir.Read(name)->find(old) == std::string::npos ? "n" : "o";
      seen += " ";
      return InspectAnswer{true, false, i % 2 == 0, request.tag};
    });
  b.parameters.Confirm = true;
  (void)b.Run();
  EXPECT_EQ(seen, "oooo nooo nnoo nnno ");
  ASSERT_EQ(b.view.inspections.size(), 4u);
  EXPECT_EQ(b.view.inspections[2].file_label, "File: caf\xC3\xA9.htm");
  EXPECT_EQ(b.view.inspections[2].tag, Tag("caf\xC3\xA9"));
  EXPECT_TRUE(b.view.inspections[2].insert_done);
  EXPECT_EQ(b.view.output_at_inspection[0],
            "Existing keywords meta tag: " + old);
  std::string report = Expand("^", b.dir.path());
  for (const std::string& name : names)
    report += "\r\nFile: " + name + "\r\nNEW: " + Tag("caf\xC3\xA9") + "\r\n";
  EXPECT_EQ(
      b.report.text(),
      report + Expand("=a.htm,b.htm," + names[2] + ",d.htm", b.dir.path()));
  for (std::size_t i = 0; i < names.size(); ++i)
    EXPECT_EQ(Undated(*b.dir.Read(names[i])),
              Page("caf\xC3\xA9", head + Tag("caf\xC3\xA9") + "\r\n" +
                                      (i % 2 == 0 ? kDoneLine : "")))
        << names[i];
}

// A preview writes nothing, and so removes no leftover either.
TEST(MultipleFileRunTest, APreviewLeavesLeftovers) {
  for (const int jobs : {1, 2}) {
    Bench b("", jobs);
    ASSERT_TRUE(b.dir.Write("a.htm", Page("alpha")));
    b.Setup("leftover", nullptr);
    b.parameters.Preview = true;
    const auto before = b.dir.Snapshot();
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
  std::map<std::string, std::string> pages;
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
  const auto fault_free = run(
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
      const auto files = run(b.dir, true, fails, b);
      ASSERT_TRUE(jobs > 1 || b.fs.FaultHit()) << row;
      for (const auto& [name, bytes] : files) {
        const std::string page = name.ends_with(".bak.htm")
                                     ? name.substr(0, name.size() - 8) + ".htm"
                                     : name;
        // A temporary file stays only where its removal failed too, which
        // interleaved calls allow (the second run removes it).
        const bool leftover =
            name == kLeftover ||
            (jobs > 1 &&
             IsRewriteLeftoverName(name.substr(name.rfind('/') + 1)));
        ASSERT_TRUE(pages.count(page) || leftover) << row << ": " << name;
        if (leftover) continue;
        const bool updated = page == name && bytes == fault_free.at(name);
        EXPECT_TRUE(updated || bytes == pages[page]) << row << ": " << name;
        if (page != name) continue;
        const std::string line =
            "\r\nFile: " + name.substr(name.rfind('/') + 1);
        const std::string& report = b.report.text();
        EXPECT_EQ(report.find(line + "  ---  Keywords meta tag inserted.") !=
                      std::string::npos,
                  updated)
            << row << ": " << name;
        bool reason = report.find(line + "  --- ") != std::string::npos;
        for (std::string at = b.dir.Path(name);
             !reason && at != b.dir.path();) {
          at.resize(at.rfind('/'));
          reason = report.find("Folder: " + at + "  ---  Could not") !=
                   std::string::npos;
        }
        EXPECT_TRUE(updated || reason) << row << ": " << name << ", no reason";
      }
      Bench again;
      EXPECT_TRUE(run(b.dir, false, nullptr, again) == fault_free)
          << row << ", second run";
    }
}

TEST(MultipleFileRunTest, StartChecksTheFolderBox) {
  Bench b;
  const std::string d = b.dir.path();
  ASSERT_TRUE(b.dir.Write("a.htm", "x"));
  for (const auto& [box, shown] :
       {std::pair<std::string, std::string>{" ", "No input folder specified."},
        {d + "/none", "Folder does not exist"},
        {d + "/a.htm", "Folder does not exist"}}) {
    std::string folder_box = " " + box + " ";
    b.view.fake.ClearBoxes();
    EXPECT_FALSE(StartMultipleFileRun(folder_box, b.analysis, b.parameters,
                                      b.report, b.view, &b.fs));
    EXPECT_EQ(folder_box, box == " " ? "" : box);  // trimmed, written back
    EXPECT_EQ(b.view.fake.BoxesText(),
              "Invalid input | " + shown + " | exclamation | ok\n")
        << box;
  }
  EXPECT_EQ(b.report.text(), "");
}

}  // namespace
}  // namespace vorn
