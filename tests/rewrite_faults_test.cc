// A page is rewritten whole or not at all: each file operation of a
// successful insertion is made to fail in turn, a writer is killed half
// way, and real conditions stop the rewrite.
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstring>
#include <random>
#include <string>
#include <thread>
#include <vector>

#include "documents/file_system.h"
#include "documents/insert.h"
#include "tests/support/faulty_file_system.h"
#include "tests/support/page_folder.h"
#include "tests/support/prompt_script.h"

namespace vorn {

void PrintTo(InsertResult result, std::ostream* os) {
  *os << "InsertResult(" << static_cast<int>(result) << ")";
}

namespace {

constexpr char kTag[] = R"(<meta name="keywords" content="new, words">)";
constexpr char kToday[] = "2008-01-31";
constexpr char kDone[] = R"(<meta name="VORN done" content="2008-01-31">)";
constexpr char kOtherBytes[] = "a page nobody touches\n";
constexpr char kOlderBackup[] = "a backup from an earlier run\n";

using Names = std::vector<std::string>;

// A page of about `body_lines` lines of text after its head, which holds a
// one-line keywords tag.
std::string OldPage(int body_lines) {
  std::string page =
      "<html>\r\n<head>\r\n<title>Faults</title>\r\n"
      "<meta name=\"keywords\" content=\"old\">\r\n</head>\r\n<body>\r\n";
  for (int i = 0; i < body_lines; ++i)
    page += "<p>Line " + std::to_string(i) + " of some text.</p>\r\n";
  return page + "</body>\r\n</html>\r\n";
}

// The page with `tag` in the old tag's place and the done tag after it.
std::string NewPage(std::string page, const std::string& tag) {
  const std::string old = "<meta name=\"keywords\" content=\"old\">\r\n";
  page.replace(page.find(old), old.size(), tag + "\r\n" + kDone + "\r\n");
  return page;
}

InsertOptions Options(FileSystem* fs, bool backup) {
  InsertOptions options;
  options.backup = backup;
  options.add_done = true;
  options.today = kToday;
  options.fs = fs;
  return options;
}

// One arrangement of the folder before the insertion.
struct Scenario {
  const char* name;
  bool backup;      // a backup is asked for
  bool old_backup;  // abc.bak.htm exists before
};
constexpr Scenario kScenarios[] = {
    {"no backup", false, false},
    {"no backup, an old backup present", false, true},
    {"backup", true, false},
    {"backup over an old backup", true, true},
};

// The operations that a rewrite may make and that can fail.
constexpr FsOp kFailingOps[] = {
    FsOp::kReadFile, FsOp::kCreateUniqueFile,
    FsOp::kWrite,    FsOp::kSetInfo,
    FsOp::kSync,     FsOp::kClose,
    FsOp::kHardLink, FsOp::kRename,
    FsOp::kRemove,
};

// What a page holds compared with what it should, briefly: pages here are
// too long to print.
std::string Describe(const std::string& bytes, const std::string& expected) {
  if (bytes == expected) return "the expected bytes";
  std::size_t i = 0;
  while (i < bytes.size() && i < expected.size() && bytes[i] == expected[i])
    ++i;
  return std::to_string(bytes.size()) + " bytes instead of " +
         std::to_string(expected.size()) + ", differing from byte " +
         std::to_string(i) + " on: \"" + bytes.substr(i, 60) + "\"";
}

// Puts the page (and the bystanders) into a fresh folder.
void Arrange(const PageFolder& folder, const Scenario& s,
             const std::string& page) {
  ASSERT_TRUE(folder.Write("abc.htm", page));
  ASSERT_TRUE(folder.Write("other.htm", kOtherBytes));
  if (s.old_backup) {
    ASSERT_TRUE(folder.Write("abc.bak.htm", kOlderBackup));
  }
}

// What a failed rewrite may leave: the page and the bystanders exactly as
// they were, and no temporary file. One thing may differ: when a backup
// was asked for, the failure may come after the backup was made, so
// abc.bak.htm may then hold the page's old bytes (a true copy of what the
// page still holds) instead of being absent or holding the older backup.
void ExpectUntouched(const PageFolder& folder, const Scenario& s,
                     const std::string& page, const std::string& row) {
  const std::optional<std::string> now = folder.Read("abc.htm");
  EXPECT_TRUE(now == page) << row << ": the page holds "
                           << (now ? Describe(*now, page) : "nothing");
  EXPECT_EQ(folder.Read("other.htm"), kOtherBytes) << row;
  const Names files = folder.List();
  const std::optional<std::string> backup = folder.Read("abc.bak.htm");
  if (!s.backup) {
    EXPECT_EQ(backup, s.old_backup ? std::optional<std::string>(kOlderBackup)
                                   : std::nullopt)
        << row;
  } else if (backup.has_value()) {
    EXPECT_TRUE(*backup == page || (s.old_backup && *backup == kOlderBackup))
        << row << ": the backup holds something else";
  } else {
    EXPECT_FALSE(s.old_backup) << row << ": the older backup is gone";
  }
  const Names expected = backup.has_value() || s.old_backup
                             ? Names{"abc.bak.htm", "abc.htm", "other.htm"}
                             : Names{"abc.htm", "other.htm"};
  EXPECT_EQ(files, expected)
      << row << ": the folder holds " << JoinNames(files);
}

// Calls of each operation that a successful insertion makes.
std::vector<std::pair<FsOp, int>> CountCalls(const Scenario& s,
                                             const std::string& page,
                                             bool through_command) {
  PageFolder folder;
  Arrange(folder, s, page);
  FaultyFileSystem fs;
  std::optional<InsertResult> result;
  if (through_command) {
    std::string output_box = kTag;
    std::string input_box = folder.Path("abc.htm");
    PromptScript prompter({s.backup ? Answer::kYes : Answer::kNo});
    result =
        InsertCommand(output_box, input_box, Options(&fs, false), prompter);
  } else {
    result = InsertKeywordsMetaTag(kTag, folder.Path("abc.htm"),
                                   Options(&fs, s.backup));
  }
  EXPECT_EQ(result, InsertResult::kInserted) << s.name;
  std::vector<std::pair<FsOp, int>> counts;
  for (const FsOp op : kFailingOps) counts.emplace_back(op, fs.Calls(op));
  return counts;
}

TEST(RewriteFaultsTest, ASuccessfulInsertionMakesTheExpectedSteps) {
  const std::string page = OldPage(2000);
  for (const Scenario& s : kScenarios) {
    PageFolder folder;
    Arrange(folder, s, page);
    FaultyFileSystem fs;
    ASSERT_EQ(InsertKeywordsMetaTag(kTag, folder.Path("abc.htm"),
                                    Options(&fs, s.backup)),
              InsertResult::kInserted)
        << s.name;
    const std::optional<std::string> now = folder.Read("abc.htm");
    const std::string expected = NewPage(OldPage(2000), kTag);
    EXPECT_TRUE(now == expected)
        << s.name << ": " << (now ? Describe(*now, expected) : "nothing");
    // The new content goes to a file of its own, is flushed, closed and
    // renamed over the page.
    EXPECT_GE(fs.Calls(FsOp::kCreateUniqueFile), 1) << s.name;
    EXPECT_GE(fs.Calls(FsOp::kWrite), 1) << s.name;
    EXPECT_GE(fs.Calls(FsOp::kSync), 1) << s.name;
    EXPECT_GE(fs.Calls(FsOp::kClose), 1) << s.name;
    EXPECT_GE(fs.Calls(FsOp::kRename), 1) << s.name;
    // The backup is a hard link or a copy (a second file written).
    if (s.backup) {
      EXPECT_TRUE(fs.Calls(FsOp::kHardLink) >= 1 ||
                  fs.Calls(FsOp::kCreateUniqueFile) >= 2)
          << s.name;
      EXPECT_TRUE(folder.Read("abc.bak.htm") == page) << s.name;
    }
    EXPECT_EQ(folder.List(),
              s.backup || s.old_backup
                  ? (Names{"abc.bak.htm", "abc.htm", "other.htm"})
                  : (Names{"abc.htm", "other.htm"}))
        << s.name;
  }
}

// What a fully successful insertion leaves: the new page, the old bytes
// under the backup name when one was asked for (else the older backup, if
// any, untouched), the bystander, and nothing else.
void ExpectDone(const PageFolder& folder, const Scenario& s,
                const std::string& old_page, const std::string& new_page,
                const std::string& row) {
  const std::optional<std::string> now = folder.Read("abc.htm");
  EXPECT_TRUE(now == new_page) << row << ": the page holds "
                               << (now ? Describe(*now, new_page) : "nothing");
  EXPECT_EQ(folder.Read("other.htm"), kOtherBytes) << row;
  const std::optional<std::string> backup = folder.Read("abc.bak.htm");
  if (s.backup) {
    EXPECT_TRUE(backup == old_page) << row << ": wrong backup";
  } else {
    EXPECT_EQ(backup, s.old_backup ? std::optional<std::string>(kOlderBackup)
                                   : std::nullopt)
        << row;
  }
  const Names files = folder.List();
  const Names expected = s.backup || s.old_backup
                             ? Names{"abc.bak.htm", "abc.htm", "other.htm"}
                             : Names{"abc.htm", "other.htm"};
  EXPECT_EQ(files, expected)
      << row << ": the folder holds " << JoinNames(files);
}

// The outcome of an insertion whose step failed. It must fail cleanly:
// kFileError with the folder as ExpectUntouched describes. Only where a
// backup is made may a failed step have a fallback (a copy where a hard
// link fails, say, or a step whose failure does no harm); the insertion
// may then succeed, but only wholly, as ExpectDone describes. Without a
// backup every step is needed, so every failure is an error. Returns true
// when the insertion failed.
bool ExpectCleanFailureOrWholeSuccess(std::optional<InsertResult> result,
                                      const PageFolder& folder,
                                      const Scenario& s,
                                      const std::string& old_page,
                                      const std::string& row) {
  if (s.backup && result == InsertResult::kInserted) {
    ExpectDone(folder, s, old_page, NewPage(old_page, kTag), row);
    return false;
  }
  EXPECT_EQ(result, InsertResult::kFileError) << row;
  ExpectUntouched(folder, s, old_page, row);
  return true;
}

TEST(RewriteFaultsTest, EveryFailingStepLeavesThePageAsItWas) {
  const std::string page = OldPage(2000);
  int failed = 0;
  std::string recovered;
  for (const Scenario& s : kScenarios) {
    for (const auto& [op, calls] : CountCalls(s, page, false)) {
      for (int n = 1; n <= calls; ++n) {
        const std::string row = std::string(s.name) + ": " + FsOpName(op) +
                                " call " + std::to_string(n) + " of " +
                                std::to_string(calls);
        PageFolder folder;
        Arrange(folder, s, page);
        FaultyFileSystem fs;
        fs.FailCall(op, n);
        const InsertResult result = InsertKeywordsMetaTag(
            kTag, folder.Path("abc.htm"), Options(&fs, s.backup));
        EXPECT_TRUE(fs.FaultHit()) << row;
        if (ExpectCleanFailureOrWholeSuccess(result, folder, s, page, row)) {
          ++failed;
        } else {
          recovered += "\n  " + row;
        }
      }
    }
  }
  // At least the creation, a write, the flush, the close and the rename of
  // each scenario fail the insertion.
  EXPECT_GE(failed, 4 * 5);
  RecordProperty("recovered", recovered);
  std::printf("Failures recovered from:%s\n", recovered.c_str());
}

TEST(RewriteFaultsTest, TheCommandShowsTheUnknownError) {
  const std::string page = OldPage(50);
  for (const Scenario& s : kScenarios) {
    for (const auto& [op, calls] : CountCalls(s, page, true)) {
      for (int n = 1; n <= calls; ++n) {
        const std::string row = std::string(s.name) + ": " + FsOpName(op) +
                                " call " + std::to_string(n);
        PageFolder folder;
        Arrange(folder, s, page);
        FaultyFileSystem fs;
        fs.FailCall(op, n);
        std::string output_box = kTag;
        std::string input_box = folder.Path("abc.htm");
        PromptScript prompter({s.backup ? Answer::kYes : Answer::kNo});
        const std::optional<InsertResult> result =
            InsertCommand(output_box, input_box, Options(&fs, false), prompter);
        if (!ExpectCleanFailureOrWholeSuccess(result, folder, s, page, row)) {
          EXPECT_EQ(prompter.shown().size(), 1u) << row << ": a message";
          continue;
        }
        ASSERT_EQ(prompter.shown().size(), 2u) << row;
        const MessageBox& box = prompter.shown()[1];
        EXPECT_EQ(box.caption, "Error") << row;
        EXPECT_EQ(box.text, "An unknown error has occurred.") << row;
        EXPECT_EQ(box.icon, Icon::kExclamation) << row;
        EXPECT_EQ(box.buttons, Buttons::kOk) << row;
      }
    }
  }
}

// --- Real conditions
// ---------------------------------------------------------------

TEST(RewriteFaultsTest, ReadOnlyFolder) {
  if (RunningAsRoot()) GTEST_SKIP() << "root writes into read-only folders";
  const std::string page = OldPage(10);
  for (const Scenario& s : kScenarios) {
    PageFolder folder;
    Arrange(folder, s, page);
    ASSERT_EQ(::chmod(folder.path().c_str(), 0555), 0);
    EXPECT_EQ(InsertKeywordsMetaTag(kTag, folder.Path("abc.htm"),
                                    Options(nullptr, s.backup)),
              InsertResult::kFileError)
        << s.name;
    ASSERT_EQ(::chmod(folder.path().c_str(), 0755), 0);
    ExpectUntouched(folder, s, page, s.name);
  }
}

TEST(RewriteFaultsTest, UnreadablePage) {
  if (RunningAsRoot()) GTEST_SKIP() << "root reads unreadable files";
  const std::string page = OldPage(10);
  const Scenario& s = kScenarios[2];
  PageFolder folder;
  Arrange(folder, s, page);
  ASSERT_EQ(::chmod(folder.Path("abc.htm").c_str(), 0), 0);
  EXPECT_EQ(InsertKeywordsMetaTag(kTag, folder.Path("abc.htm"),
                                  Options(nullptr, true)),
            InsertResult::kFileError);
  ASSERT_EQ(::chmod(folder.Path("abc.htm").c_str(), 0644), 0);
  ExpectUntouched(folder, s, page, "unreadable");
}

// A folder of the backup's name cannot be replaced by a file, not even by
// root; the rewrite with a backup then fails and changes nothing.
TEST(RewriteFaultsTest, BackupNameTakenByAFolder) {
  const std::string page = OldPage(10);
  PageFolder folder;
  ASSERT_TRUE(folder.Write("abc.htm", page));
  ASSERT_EQ(::mkdir(folder.Path("abc.bak.htm").c_str(), 0755), 0);
  ASSERT_TRUE(folder.Write("abc.bak.htm/keep.htm", "kept"));
  EXPECT_EQ(InsertKeywordsMetaTag(kTag, folder.Path("abc.htm"),
                                  Options(nullptr, true)),
            InsertResult::kFileError);
  EXPECT_EQ(folder.Read("abc.htm"), page);
  EXPECT_EQ(folder.List(), (Names{"abc.bak.htm", "abc.htm"}));
  EXPECT_EQ(folder.List("abc.bak.htm"), Names{"keep.htm"});
  EXPECT_EQ(folder.Read("abc.bak.htm/keep.htm"), "kept");
}

// --- A writer killed half way
// ------------------------------------------------------

// The child's loop: insert tag A, then tag B, then A again, ..., with slow
// writes, until it is killed. Exits with 3 if an insertion fails.
[[noreturn]] void RewriteForever(const std::string& path, const std::string& a,
                                 const std::string& b, bool backup) {
  FaultyFileSystem fs;
  fs.SlowWrites(32 * 1024, std::chrono::microseconds(300));
  for (unsigned i = 0;; ++i) {
    const InsertResult result =
        InsertKeywordsMetaTag((i % 2 == 0) ? a : b, path, Options(&fs, backup));
    if (result != InsertResult::kInserted) ::_exit(3);
  }
}

TEST(RewriteFaultsTest, AKilledWriterLeavesTheOldOrTheNewPage) {
  // About 6 MB: each rewrite writes for a good while.
  constexpr int kBodyLines = 200000;
  const std::string tag_a = R"(<meta name="keywords" content="alpha">)";
  const std::string tag_b = R"(<meta name="keywords" content="beta, gamma">)";
  const std::string old_page = OldPage(kBodyLines);
  const std::string page_a = NewPage(old_page, tag_a);
  const std::string page_b = NewPage(old_page, tag_b);
  ASSERT_GT(old_page.size(), 5u * 1024 * 1024);

  PageFolder folder;
  ASSERT_TRUE(folder.Write("big.htm", old_page));
  const std::string path = folder.Path("big.htm");
  std::mt19937 rng(20080131);
  std::uniform_int_distribution<int> delay_ms(0, 400);
  int changed = 0;
  int leftovers = 0;
  for (int round = 0; round < 16; ++round) {
    const bool backup = round % 2 == 1;
    const pid_t pid = ::fork();
    ASSERT_GE(pid, 0) << std::strerror(errno);
    if (pid == 0) RewriteForever(path, tag_a, tag_b, backup);
    std::this_thread::sleep_for(std::chrono::milliseconds(delay_ms(rng)));
    ASSERT_EQ(::kill(pid, SIGKILL), 0);
    int status = 0;
    ASSERT_EQ(::waitpid(pid, &status, 0), pid);
    ASSERT_TRUE(WIFSIGNALED(status))
        << "round " << round << ": the writer stopped by itself, status "
        << status;

    const std::optional<std::string> now = folder.Read("big.htm");
    ASSERT_TRUE(now.has_value()) << "round " << round << ": the page is gone";
    const bool whole = *now == old_page || *now == page_a || *now == page_b;
    ASSERT_TRUE(whole) << "round " << round << ": the page holds "
                       << now->size() << " bytes of neither version";
    if (*now != old_page) ++changed;
    // A killed writer cannot remove its temporary file; clear the folder
    // for the next round, keeping only the page.
    for (const std::string& name : folder.List()) {
      if (name == "big.htm") continue;
      if (name != "big.bak.htm") ++leftovers;
      ASSERT_EQ(::unlink(folder.Path(name).c_str()), 0) << name;
    }
  }
  RecordProperty("rounds_with_a_new_page", changed);
  RecordProperty("rounds_with_a_temporary_left", leftovers);
}

}  // namespace
}  // namespace vorn
