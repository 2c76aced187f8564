// Writing the keywords tag and the done tag into a page: the rewrite of the
// head line by line, what a rewrite leaves in the folder, the messages of
// "Insert meta tag into file", and rewrites that fail or are killed.
#include "documents/insert.h"

#include <gtest/gtest.h>
#include <signal.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <sys/xattr.h>
#include <unistd.h>

#include <chrono>
#include <climits>
#include <cstdio>
#include <functional>
#include <map>
#include <string>
#include <thread>

#include "tests/support/faulty_file_system.h"
#include "tests/support/page_folder.h"
#include "tests/support/prompt_script.h"

namespace vorn {
namespace {

using Files = std::map<std::string, std::string>;

constexpr char kNew[] = R"(<meta name="keywords" content="new, words">)";

// `text` with "|" as LF and {new}, {done}, {old}, {olddone} spelled out.
std::string Fill(std::string text) {
  const std::pair<std::string, std::string> kTags[] = {
      {"|", "\n"},
      {"{new}", kNew},
      {"{done}", R"(<meta name="VORN done" content="2008-01-31">)"},
      {"{old}", R"(<meta name="keywords" content="old">)"},
      {"{olddone}", R"(<meta name="VORN done" content="2001-01-01">)"}};
  for (const auto& [name, tag] : kTags)
    for (std::size_t at; (at = text.find(name)) != std::string::npos;)
      text.replace(at, name.size(), tag);
  return text;
}

InsertOptions Options(bool add_done = true, FileSystem* fs = nullptr) {
  InsertOptions options;
  options.add_done = add_done;
  options.today = "2008-01-31";
  options.fs = fs;
  return options;
}

struct RecordingLog : OperationLog {
  void Output(std::string_view text) override { lines += text; }
  std::string lines;
};

TEST(InsertIntoBytesTest, RewritesTheHead) {
  // The done tag is asked for where the expected page holds one.
  const std::pair<const char*, const char*> kCases[] = {
      {"<head>|<title>T</title>|{old}|<link>|</head>|<body>|",
       "<head>|<title>T</title>|{new}|{done}|<link>|</head>|<body>|"},
      {"<head>|<title>T</title>|</head>|b|",
       "<head>|<title>T</title>|{new}|</head>|b|"},
      {"<head>|<title>T</title>{old}<link>|  </head><body>|x",
       "<head>|<title>T</title>|{new}|{done}|<link>|  |</head>|<body>|x"},
      // No comment rule: the comment's ends stay around the new lines.
      {"<head>|<!-- {old} -->|</head>|",
       "<head>|<!-- |{new}|{done}|-->|</head>|"},
      // Each tag once afterwards, however many the head held.
      {"<head>|{olddone}|{old}|<META NAME=\"KEYWORDS\">|{olddone}</head>|",
       "<head>|{new}|{done}|</head>|"},
      {"<head>|{old}<META NAME=\"VORN DONE\">|</head>|",
       "<head>|{new}|</head>|"},
      {"<html>||<head>||</head>||<body>||",
       "<html>|<head>|{new}|{done}|</head>||<body>||"},
      {"<head>|</head>|{old}|{olddone}|<meta name=\"keywords\"|",
       "<head>|{new}|{done}|</head>|{old}|{olddone}|<meta name=\"keywords\"|"},
      {"<HEAD>|<META NAME=\"KEYWORDS\" CONTENT=\"OLD\">|</HEAD>|",
       "<HEAD>|{new}|</HEAD>|"},
      {"<head>|<meta name='keywords'>|</head>|",
       "<head>|<meta name='keywords'>|{new}|</head>|"},
      // Lines written end in LF in an LF-only page, in CR in a CR-only one,
      // else in CR LF; the lines after "</head>" keep their own ends. (The
      // golden runs hold CR and CR LF pages, one-line heads and pages in each
      // encoding.)
      {"<head>|</head>|<body>\r|x\r</html>",
       "<head>\r|{new}\r|</head>\r|<body>\r|x\r</html>"},
  };
  for (const auto& [page, expected] : kCases) {
    const InsertOptions options =
        Options(std::string(expected).find("{done}") != std::string::npos);
    std::string out, again;
    EXPECT_EQ(InsertKeywordsMetaTagIntoBytes(Fill(page), kNew, options, &out),
              InsertResult::kInserted)
        << page;
    EXPECT_EQ(out, Fill(expected)) << page;
    // Inserting again gives the same page.
    EXPECT_EQ(InsertKeywordsMetaTagIntoBytes(out, kNew, options, &again),
              InsertResult::kInserted);
    EXPECT_EQ(again, out) << page << ", again";
  }
}

TEST(InsertIntoBytesTest, RefusesAPageOrATagAndWritesNothing) {
  const struct {
    const char* page;
    std::string tag;
    InsertResult result;
  } kCases[] = {
      {"<head>|<meta name=\"keywords\"|>|</head>|", kNew,
       InsertResult::kTagSpansLines},
      {"<head>|<meta name=\"keywords\" content=\"a|</head>|", kNew,
       InsertResult::kTagSpansLines},
      {"<head>|</head><meta name=\"vorn done\"|", kNew,
       InsertResult::kTagSpansLines},
      {"<html>|{old}|<p>x</headx>|", kNew, InsertResult::kNoHeadEnd},
      {"</head>", R"(<META NAME="KEYWORDS">)", InsertResult::kInserted},
      {"</head>", R"(<meta name="description">)",
       InsertResult::kNotAKeywordsTag},
      {"</head>", R"(<metaname="keywords">)", InsertResult::kNotAKeywordsTag},
      {"</head>", R"(<meta name="keywords" content="Existing Keywords">)",
       InsertResult::kNotAKeywordsTag},
      // Only one keywords tag, and nothing else, is ever written.
      {"</head>", "TITLE: T\r\n\r\nKEYWORDS meta tag: <meta name=\"keywords\">",
       InsertResult::kNotAKeywordsTag},
      {"</head>", R"(<meta name="x"><meta name="keywords">)",
       InsertResult::kNotAKeywordsTag},
      {"</head>", R"(<meta name="keywords"> x)",
       InsertResult::kNotAKeywordsTag},
      {"</head>", "<meta name=\"keywords\">\r\nNumber of keywords: 1",
       InsertResult::kNotAKeywordsTag},
  };
  for (const auto& k : kCases) {
    std::string out = "unset";
    EXPECT_EQ(
        InsertKeywordsMetaTagIntoBytes(Fill(k.page), k.tag, Options(), &out),
        k.result)
        << k.page << k.tag;
    if (k.result != InsertResult::kInserted) {
      EXPECT_EQ(out, "unset") << k.page;
    }
  }
}

TEST(InsertIntoBytesTest, WritesTheTagInThePagesEncodingAndReportsIt) {
  // The tag argument is UTF-8: "é" is C3 A9, "€" E2 82 AC, "Мир" D0 9C D0
  // B8 D1 80, "→" E2 86 92. A page takes the tag in its own encoding (the
  // report in UTF-8); a character that it cannot hold refuses the tag and
  // changes nothing.
  auto tag = [](const std::string& content) {
    return "<meta name=\"keywords\" content=\"" + content + "\">";
  };
  const std::string latin = "caf\xC3\xA9, \xE2\x82\xAC";
  const std::string cyrillic = "\xD0\x9C\xD0\xB8\xD1\x80";
  const struct {
    std::string head;     // the page up to its old tag
    std::string content;  // of the tag, UTF-8
    std::string written;  // the content as written; "" refused
    std::string refusal = "";
  } kCases[] = {
      {"\xEF\xBB\xBF<head>\n", latin, latin},
      {"<head>\n<meta charset=\"utf-8\">\n", cyrillic, cyrillic},
      {"<head>\n<title>Caf\xE9</title>\n", latin, "caf\xE9, \x80"},
      {"<head>\n<title>5 \x80</title>\n", cyrillic, "",
       "the page's encoding (windows-1252) cannot hold the character "
       "\"\xD0\x9C\" (U+041C)"},
      {"<head>\n<meta charset=windows-1251>\n", cyrillic, "\xCC\xE8\xF0"},
      {"<head>\n<meta charset=windows-1251>\n", "a \xE2\x86\x92 b", "",
       "the page's encoding (windows-1251) cannot hold the character "
       "\"\xE2\x86\x92\" (U+2192)"},
      // References the tag already holds are ASCII.
      {"<head>\n<meta charset=Shift_JIS>\n",
       "\xE6\x97\xA5\xE6\x9C\xAC, caf&#233;", "\x93\xFA\x96\x7B, caf&#233;"},
      {"<head>\n<meta charset=iso-2022-jp>\n", "\xE6\x97\xA5",
       "\x1B$BF|\x1B(B"},
      {"<head>\n<meta charset=shift_jis>\n<title>\x82</title>\n", latin, "",
       "the byte at position 40 is not valid shift_jis text"},
  };
  for (const auto& k : kCases) {
    RecordingLog log;
    InsertOptions options = Options(false);
    options.include_new = options.include_old = true;
    options.log = &log;
    InsertNotes notes;
    options.notes = &notes;
    std::string out;
    const InsertResult r = InsertKeywordsMetaTagIntoBytes(
        k.head + Fill("{old}|</head>|"), tag(k.content), options, &out);
    if (k.written.empty()) {
      EXPECT_NE(r, InsertResult::kInserted) << k.head;
      EXPECT_EQ(notes.refusal, k.refusal) << k.head;
      continue;
    }
    EXPECT_EQ(r, InsertResult::kInserted) << k.head;
    EXPECT_EQ(out, k.head + tag(k.written) + "\n</head>\n") << k.head;
    EXPECT_EQ(log.lines, Fill("\r\nOLD: {old}\r\nNEW: ") + tag(k.content))
        << k.head;
  }
}

TEST(InsertIntoBytesTest, DoneTagAloneAndSmallPieces) {
  const std::pair<const char*, const char*> kDone[] = {
      {"<head>||{olddone}|{old}|{olddone}|</head>||b|",
       "<head>|{old}|{done}|</head>||b|"},
      {"<head><title>T</title></head>\r|b",
       "<head><title>T</title>\r|{done}\r|</head>\r|b"},
      {"<html>|{olddone}|<body>|", "unset"},  // no </head>: nothing written
  };
  for (const auto& [page, expected] : kDone) {
    std::string out = "unset";
    (void)InsertDoneMetaTagIntoBytes(Fill(page), Options(), &out);
    EXPECT_EQ(out, Fill(expected)) << page;
  }
  const std::pair<const char*, const char*> kBackups[] = {
      {"/site/index.html", "/site/index.bak.html"},
      {"a/b.c/page", "a/b.c/page.bak"},  // dots of folders unused
      {"site/.htaccess", "site/.bak.htaccess"},
  };
  for (const auto& [path, backup] : kBackups)
    EXPECT_EQ(BackupFileName(path), backup) << path;
  const std::string n = kNew;
  const std::pair<std::string, std::string> kBoxes[] = {
      {" \r\n" + n + " \r\n\r\nNumber of keywords in meta tag: 2\r\n", n},
      {"\t\x01 " + n + " \x0B\x1F", n},
      {n + "\x7F", n + "\x7F"},  // DEL is no control character here
  };
  for (const auto& [box, tag] : kBoxes) EXPECT_EQ(GetMetaTag(box), tag) << box;
}

// --- Rewriting files

const std::string kOldPage = Fill("<head>|<title>T</title>|{old}|</head>|x|");
const std::string kNewPage =
    Fill("<head>|<title>T</title>|{new}|{done}|</head>|x|");

TEST(InsertKeywordsMetaTagTest, LeavesTheNewPageAndTheBackupAskedFor) {
  const struct {
    const char* page;    // the path given
    const char* target;  // the file it leads to
    bool asked, old_backup;
    mode_t mode;
  } kCases[] = {
      {"abc.htm", "abc.htm", true, false, 0640},
      {"abc.htm", "abc.htm", true, true, 0444},
      {"abc.htm", "abc.htm", false, true, 01644},   // sticky
      {"abc.htm", "abc.htm", false, false, 02750},  // setgid
      {"abc.htm", "abc.htm", true, false, 04755},   // setuid
      {"link.htm", "real/page.htm", true, false, 0640},
  };
  for (const auto& k : kCases) {
    char row[64];
    std::snprintf(row, sizeof row, "%s, backup %d, mode %o", k.page, k.asked,
                  static_cast<unsigned>(k.mode));
    PageFolder folder;
    const std::string backup = BackupFileName(k.page);
    ASSERT_TRUE(folder.Write(k.target, kOldPage));
    if (k.old_backup) {
      ASSERT_TRUE(folder.Write(backup, "older"));
    }
    if (std::string(k.page) != k.target) {
      ASSERT_EQ(::symlink(k.target, folder.Path(k.page).c_str()), 0);
    }
    const std::string target = folder.Path(k.target);
    struct stat st;
    ASSERT_EQ(::chmod(target.c_str(), k.mode), 0);
    ASSERT_EQ(::stat(target.c_str(), &st), 0);
    const mode_t mode = st.st_mode & 07777;  // what the system allowed
    Files expected = folder.Snapshot();
    expected[k.target] = kNewPage;
    if (k.asked) expected[backup] = kOldPage;
    InsertOptions options = Options();
    options.backup = k.asked;
    EXPECT_EQ(InsertKeywordsMetaTag(kNew, folder.Path(k.page), options),
              InsertResult::kInserted)
        << row;
    EXPECT_EQ(folder.Snapshot(), expected) << row;
    ASSERT_EQ(::stat(target.c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 07777, mode) << row;
  }
}

TEST(InsertKeywordsMetaTagTest, RefusedRewritesLeaveTheFolderAsItWas) {
  PageFolder folder;
  const std::string path = folder.Path("abc.htm");
  InsertOptions options = Options();
  options.backup = true;
  // A keywords tag going on past its line stops only the keywords rewrite.
  for (const auto& [page, done_too] :
       {std::pair{"<head>\r|<meta name=\"keywords\"\r| >\r|</head>", false},
        {"<html>||{old}|{olddone}||b|", true}}) {
    ASSERT_TRUE(folder.Write("abc.htm", Fill(page)));
    EXPECT_NE(InsertKeywordsMetaTag(kNew, path, options),
              InsertResult::kInserted);
    if (done_too) {
      EXPECT_EQ(InsertDoneMetaTag(path, options), DoneResult::kNoHeadEnd);
    }
    EXPECT_EQ(folder.Snapshot(), (Files{{"abc.htm", Fill(page)}})) << page;
  }
  // The checks made before any file is touched, in their order.
  EXPECT_EQ(InsertKeywordsMetaTag("bad", "", options), InsertResult::kNoPath);
  EXPECT_EQ(InsertKeywordsMetaTag("bad", folder.Path("x"), options),
            InsertResult::kNotAKeywordsTag);
  EXPECT_EQ(InsertKeywordsMetaTag(kNew, folder.path(), options),
            InsertResult::kFileMissing);
}

// With `frozen`, Stat gives for a path what it first found: times that miss
// a write made within the same clock tick.
class FrozenTimes : public FaultyFileSystem {
 public:
  explicit FrozenTimes(bool frozen) : frozen_(frozen) {}
  Status Stat(const std::string& path, FileInfo* info) override {
    if (frozen_ && first_.count(path))
      return *info = first_[path], Status::Ok();
    const Status s = FaultyFileSystem::Stat(path, info);
    if (s.ok()) first_[path] = *info;
    return s;
  }

 private:
  bool frozen_;
  std::map<std::string, FileInfo> first_;
};

// The command's message for results the command-line table does not show;
// the page keeps its bytes. (The backup question is the controller's.)
TEST(InsertCommandTest, ShowsWhyNothingWasInserted) {
  // A page edited meanwhile: by another program just before the new page is
  // flushed, or just before it is closed and in the same clock tick as the
  // read, so that only its bytes tell.
  enum How { kAsIs, kFailWrite, kEdited, kEditedSameTick, kSecondName };
  const struct {
    std::string page;  // empty: no file
    const char* tag;
    How how;
    std::string box;  // caption | text
  } kCases[] = {
      {"", kNew, kAsIs, "File not found | Input file not found."},
      {Fill("<head>|<meta name=\"keywords\"|>|</head>|"), kNew, kAsIs,
       "Not inserted | Keywords meta tag NOT inserted because existing\r\n "
       "meta tag extends over more than one line.\r\nSuggestion: Delete "
       "existing keywords meta tag."},
      {kOldPage, kNew, kFailWrite, "Error | An unknown error has occurred."},
      {kOldPage, kNew, kEdited,
       "Not inserted | Keywords meta tag NOT inserted because another "
       "program changed the file meanwhile."},
      {kOldPage, kNew, kEditedSameTick,
       "Not inserted | Keywords meta tag NOT inserted because another "
       "program changed the file meanwhile."},
      {kOldPage, kNew, kSecondName,
       "Not inserted | Keywords meta tag NOT inserted because the file has "
       "more than one name (hard link)."},
  };
  for (const auto& k : kCases) {
    PageFolder folder;
    std::string input_box = folder.Path("abc.htm");
    Files before;
    if (!k.page.empty()) before["abc.htm"] = k.page;
    for (const auto& [name, bytes] : before)
      ASSERT_TRUE(folder.Write(name, bytes));
    FrozenTimes fs(k.how == kEditedSameTick);
    if (k.how == kFailWrite) fs.FailCall(FsOp::kWrite, 1);
    if (k.how == kEdited || k.how == kEditedSameTick) {
      before["abc.htm"] = "edited";
      fs.ActBefore(k.how == kEdited ? FsOp::kSync : FsOp::kClose, 1,
                   [&] { folder.Write("abc.htm", "edited"); });
    }
    if (k.how == kSecondName) {
      ASSERT_EQ(::link(input_box.c_str(), folder.Path("hard.htm").c_str()), 0);
      before["hard.htm"] = k.page;
    }
    std::string output_box = k.tag;
    PromptScript prompter({Answer::kYes});
    (void)InsertCommand(output_box, input_box, Options(true, &fs), prompter);
    const std::string shown = prompter.ShownText();
    EXPECT_EQ(shown.substr(shown.find('\n') + 1),
              k.box + " | exclamation | ok\n")
        << k.box;
    EXPECT_EQ(folder.Snapshot(), before) << k.box;
  }
}

// --- A page is rewritten whole or not at all: each file operation of a
// rewrite made to fail in turn (once, and from then on, as a full disk or
// a read-only folder would), and a writer killed half way.

constexpr char kTag[] = R"(<meta name="keywords" content="new">)";

// A page of `body_lines` lines after a head with a one-line keywords tag,
// and the page once `tag` (and the done tag) replaced it.
std::string OldPage(int body_lines) {
  std::string page = Fill("<head>\r|{old}\r|</head>\r|");
  for (int i = 0; i < body_lines; ++i)
    page += "<p>Line " + std::to_string(i) + " of some text.</p>\r\n";
  return page;
}
std::string NewPage(std::string page, const std::string& tag) {
  const std::string old = Fill("{old}\r|");
  return page.replace(page.find(old), old.size(), tag + Fill("\r|{done}\r|"));
}

InsertOptions FsOptions(FileSystem* fs, bool backup) {
  InsertOptions options = Options(true, fs);
  options.backup = backup;
  return options;
}

// One rewrite of abc.htm beside a bystander: the keywords tag with or
// without a backup (an older backup present or not), or the done tag alone.
struct Rewrite {
  const char* name;
  bool backup, old_backup, done_only;
};
constexpr Rewrite kRewrites[] = {
    {"no backup", false, false, false},
    {"no backup, an older one present", false, true, false},
    {"backup", true, false, false},
    {"backup over an older one", true, true, false},
    {"done tag alone", false, false, true},
};

bool Perform(const Rewrite& r, FileSystem& fs, const std::string& path) {
  if (r.done_only)
    return InsertDoneMetaTag(path, FsOptions(&fs, false)) ==
           DoneResult::kWritten;
  return InsertKeywordsMetaTag(kTag, path, FsOptions(&fs, r.backup)) ==
         InsertResult::kInserted;
}

Files Arrange(const PageFolder& folder, const Rewrite& r) {
  Files files = {{"abc.htm", OldPage(200)}, {"other.htm", "bystander"}};
  if (r.old_backup) files["abc.bak.htm"] = "an older backup";
  for (const auto& [name, bytes] : files)
    EXPECT_TRUE(folder.Write(name, bytes)) << name;
  return files;
}

// Every call of every operation that a rewrite makes fails in turn, alone
// and from then on (as for a read-only folder every CreateUniqueFile, for
// an unreadable page its ReadFile, for a full disk every Write). The rewrite
// must then fail, leaving the page and the bystanders byte for byte and no
// temporary file; a backup may already hold the old page. A failed flush of
// the folder after the rename loses nothing and is not counted.
TEST(RewriteFaultsTest, EveryFailingStepLeavesThePageAsItWas) {
  for (const Rewrite& r : kRewrites) {
    PageFolder counting;
    Arrange(counting, r);
    FaultyFileSystem counter;
    ASSERT_TRUE(Perform(r, counter, counting.Path("abc.htm"))) << r.name;
    // The new page is flushed before it takes the old one's place.
    for (const FsOp op :
         {FsOp::kReadFile, FsOp::kCreateUniqueFile, FsOp::kWrite, FsOp::kSync,
          FsOp::kClose, FsOp::kRename})
      EXPECT_GE(counter.Calls(op), 1) << r.name << ": " << FsOpName(op);
    for (int op = 0; op < static_cast<int>(FsOp::kSyncFolder); ++op) {
      const int calls = counter.Calls(static_cast<FsOp>(op));
      for (int n = 1; n <= calls; ++n) {
        for (const bool later_too : {false, true}) {
          const std::string row =
              std::string(r.name) + ": " + FsOpName(static_cast<FsOp>(op)) +
              " call " + std::to_string(n) + (later_too ? " and later" : "");
          PageFolder folder;
          const Files before = Arrange(folder, r);
          FaultyFileSystem fs;
          fs.FailCall(static_cast<FsOp>(op), n, later_too);
          const bool done = Perform(r, fs, folder.Path("abc.htm"));
          EXPECT_TRUE(fs.FaultHit()) << row;
          Files expected = before;
          const Files now = folder.Snapshot();
          if (r.backup && now.count("abc.bak.htm") &&
              now.at("abc.bak.htm") == before.at("abc.htm"))
            expected["abc.bak.htm"] = before.at("abc.htm");
          EXPECT_FALSE(done) << row;
          EXPECT_TRUE(now == expected) << row;
        }
      }
    }
  }
}

// The child inserts tag A, then B, then A ... with slow writes until it is
// killed; the page must then be the old one, A's or B's, whole.
TEST(RewriteFaultsTest, AKilledWriterLeavesTheOldOrTheNewPage) {
  const std::string tag_a = R"(<meta name="keywords" content="alpha">)";
  const std::string tag_b = R"(<meta name="keywords" content="beta, gamma">)";
  const std::string old_page = OldPage(20000);  // about 600 KB
  PageFolder folder;
  const std::string path = folder.Path("big.htm");
  ASSERT_TRUE(folder.Write("big.htm", old_page));
  for (int round = 0; round < 8; ++round) {
    const pid_t pid = ::fork();
    ASSERT_GE(pid, 0);
    if (pid == 0) {
      FaultyFileSystem fs;
      fs.SlowWrites(16 * 1024, std::chrono::microseconds(200));
      for (unsigned i = 0;; ++i) {
        if (InsertKeywordsMetaTag(i % 2 ? tag_b : tag_a, path,
                                  FsOptions(&fs, round % 2)) !=
            InsertResult::kInserted)
          ::_exit(3);
      }
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(3 + 7 * round));
    ASSERT_EQ(::kill(pid, SIGKILL), 0);
    int status = 0;
    ASSERT_EQ(::waitpid(pid, &status, 0), pid);
    ASSERT_TRUE(WIFSIGNALED(status)) << "round " << round;
    const std::string now = folder.Read("big.htm").value_or("gone");
    EXPECT_TRUE(now == old_page || now == NewPage(old_page, tag_a) ||
                now == NewPage(old_page, tag_b))
        << "round " << round << ": " << now.size() << " bytes";
    // A killed writer cannot remove its temporary file.
    for (const std::string& name : folder.List())
      if (name != "big.htm") ::unlink(folder.Path(name).c_str());
  }
}

// A page's extended attributes go with it; where its file system has none,
// the page is still rewritten and the caller told.
TEST(RewriteSafetyTest, ExtendedAttributesAreCarriedOver) {
  PageFolder folder;
  const std::string path = folder.Path("abc.htm");
  ASSERT_TRUE(folder.Write("abc.htm", kOldPage));
  if (::setxattr(path.c_str(), "user.vorn", "label", 5, 0) != 0)
    GTEST_SKIP() << "no user attributes in " << folder.path();
  for (const bool supported : {true, false}) {
    FaultyFileSystem fs;
    if (!supported) fs.AttributesUnsupported();
    InsertNotes notes;
    InsertOptions options = FsOptions(&fs, false);
    options.notes = &notes;
    EXPECT_EQ(InsertKeywordsMetaTag(supported ? kNew : kTag, path, options),
              InsertResult::kInserted);
    EXPECT_EQ(notes.attributes_not_copied, !supported);
    char value[8] = {};
    EXPECT_EQ(::getxattr(path.c_str(), "user.vorn", value, 8),
              supported ? 5 : -1);
  }
}

// Given a folder, a page whose links lead out of it is left; "inside" takes
// whole names.
TEST(RewriteSafetyTest, ALinkOutOfTheGivenFolderIsLeft) {
  PageFolder folder;
  ASSERT_TRUE(folder.Write("secret.htm", kOldPage));
  ASSERT_TRUE(folder.MakeFolder("site"));
  ASSERT_EQ(::symlink("../secret.htm", folder.Path("site/a.htm").c_str()), 0);
  char site[PATH_MAX];
  ASSERT_NE(::realpath(folder.Path("site").c_str(), site), nullptr);
  InsertOptions options = Options();
  options.within = site;
  const Files before = folder.Snapshot();
  EXPECT_EQ(InsertKeywordsMetaTag(kNew, folder.Path("site/a.htm"), options),
            InsertResult::kOutsideFolder);
  EXPECT_EQ(InsertDoneMetaTag(folder.Path("site/a.htm"), options),
            DoneResult::kOutsideFolder);
  EXPECT_EQ(folder.Snapshot(), before);
  const struct {
    const char *path, *folder;
    bool inside;
  } kPlaces[] = {{"/site/s/a.htm", "/site", true},
                 {"/site/a.htm", "/site/", true},
                 {"/site2/a.htm", "/site", false},
                 {"/site", "/site", false},
                 {"/a.htm", "/", true}};
  for (const auto& k : kPlaces)
    EXPECT_EQ(IsWithin(k.path, k.folder), k.inside)
        << k.path << " in " << k.folder;
}

}  // namespace
}  // namespace vorn
