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
#include <functional>
#include <map>
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
constexpr char kDone[] = R"(<meta name="VORN done" content="2008-01-31">)";
constexpr char kOtherBytes[] = "a page nobody touches\n";
constexpr char kOlderBackup[] = "a backup from an earlier run\n";

using Files = std::map<std::string, std::string>;

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
  options.today = "2008-01-31";
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

// Puts the page and the bystanders into the folder; returns the files.
Files Arrange(const PageFolder& folder, const Scenario& s,
              const std::string& page) {
  Files files = {{"abc.htm", page}, {"other.htm", kOtherBytes}};
  if (s.old_backup) files["abc.bak.htm"] = kOlderBackup;
  for (const auto& [name, bytes] : files)
    EXPECT_TRUE(folder.Write(name, bytes));
  return files;
}

// What a page holds compared with what it should, briefly: pages here are
// too long to print.
std::string Describe(const Files& now, const Files& expected) {
  if (now == expected) return "as expected";
  std::string text;
  for (const auto& [name, bytes] : now) {
    const auto it = expected.find(name);
    if (it == expected.end()) {
      text += " " + name + " (not expected)";
    } else if (it->second != bytes) {
      text += " " + name + " (" + std::to_string(bytes.size()) +
              " bytes instead of " + std::to_string(it->second.size()) + ")";
    }
  }
  for (const auto& [name, bytes] : expected)
    if (now.count(name) == 0) text += " " + name + " (missing)";
  return "differs:" + text;
}

// An insertion whose step failed must fail cleanly: kFileError, the page
// and the bystanders as they were, and no temporary file; when a backup
// was asked for, the failure may come after the backup was made, so
// abc.bak.htm may then hold the page's old bytes. Only where a backup is
// made may a failed step have a fallback (a copy where a hard link fails,
// say); the insertion may then succeed, but only wholly: the new page, the
// old one as backup. Returns true when the insertion failed.
bool ExpectCleanFailureOrWholeSuccess(std::optional<InsertResult> result,
                                      const PageFolder& folder,
                                      const Scenario& s, const Files& before,
                                      const std::string& row) {
  const Files now = folder.Snapshot();
  Files expected = before;
  const bool failed = !(s.backup && result == InsertResult::kInserted);
  if (!failed) {
    expected["abc.htm"] = NewPage(before.at("abc.htm"), kTag);
    expected["abc.bak.htm"] = before.at("abc.htm");
  } else {
    EXPECT_EQ(result, InsertResult::kFileError) << row;
    if (s.backup && now.count("abc.bak.htm") &&
        now.at("abc.bak.htm") == before.at("abc.htm"))
      expected["abc.bak.htm"] = before.at("abc.htm");
  }
  EXPECT_TRUE(now == expected) << row << ": " << Describe(now, expected);
  return failed;
}

// Makes each call of each operation of a successful insertion fail in
// turn, in every scenario, and calls `check` on what `insert` gave.
void ForEachFailingCall(
    const std::string& page,
    const std::function<std::optional<InsertResult>(
        FileSystem& fs, const PageFolder& folder, const Scenario& s)>& insert,
    const std::function<void(std::optional<InsertResult>, const PageFolder&,
                             const Scenario&, const Files&,
                             const std::string&)>& check) {
  for (const Scenario& s : kScenarios) {
    PageFolder counting;
    Arrange(counting, s, page);
    FaultyFileSystem counter;
    ASSERT_EQ(insert(counter, counting, s), InsertResult::kInserted) << s.name;
    // Every operation but the flush of the folder, whose failure after the
    // rename does no harm.
    for (int op = 0; op < static_cast<int>(FsOp::kSyncFolder); ++op) {
      const int calls = counter.Calls(static_cast<FsOp>(op));
      for (int n = 1; n <= calls; ++n) {
        const std::string row =
            std::string(s.name) + ": " + FsOpName(static_cast<FsOp>(op)) +
            " call " + std::to_string(n) + " of " + std::to_string(calls);
        PageFolder folder;
        const Files before = Arrange(folder, s, page);
        FaultyFileSystem fs;
        fs.FailCall(static_cast<FsOp>(op), n);
        const std::optional<InsertResult> result = insert(fs, folder, s);
        EXPECT_TRUE(fs.FaultHit()) << row;
        check(result, folder, s, before, row);
      }
    }
  }
}

TEST(RewriteFaultsTest, EveryFailingStepLeavesThePageAsItWas) {
  int failed = 0;
  std::string recovered;
  ForEachFailingCall(
      OldPage(2000),
      [](FileSystem& fs, const PageFolder& folder, const Scenario& s) {
        return InsertKeywordsMetaTag(kTag, folder.Path("abc.htm"),
                                     Options(&fs, s.backup));
      },
      [&](std::optional<InsertResult> result, const PageFolder& folder,
          const Scenario& s, const Files& before, const std::string& row) {
        if (ExpectCleanFailureOrWholeSuccess(result, folder, s, before, row)) {
          ++failed;
        } else {
          recovered += "\n  " + row;
        }
      });
  // At least the creation, a write, the flush, the close and the rename of
  // each scenario fail the insertion.
  EXPECT_GE(failed, 4 * 5);
  RecordProperty("recovered", recovered);
  std::printf("Failures recovered from:%s\n", recovered.c_str());
}

TEST(RewriteFaultsTest, TheCommandShowsTheUnknownError) {
  ForEachFailingCall(
      OldPage(50),
      [](FileSystem& fs, const PageFolder& folder, const Scenario& s) {
        std::string output_box = kTag;
        std::string input_box = folder.Path("abc.htm");
        PromptScript prompter({s.backup ? Answer::kYes : Answer::kNo});
        const auto result =
            InsertCommand(output_box, input_box, Options(&fs, false), prompter);
        // After the backup question, the one box of the result.
        const std::string shown = prompter.ShownText();
        const std::string last = shown.substr(shown.find('\n') + 1);
        EXPECT_EQ(last, result == InsertResult::kInserted
                            ? ""
                            : "Error | An unknown error has occurred. | "
                              "exclamation | ok\n");
        return result;
      },
      [](std::optional<InsertResult> result, const PageFolder& folder,
         const Scenario& s, const Files& before, const std::string& row) {
        ExpectCleanFailureOrWholeSuccess(result, folder, s, before, row);
      });
}

TEST(RewriteFaultsTest, RealConditionsStopTheRewrite) {
  if (RunningAsRoot()) GTEST_SKIP() << "root reads and writes regardless";
  const std::string page = OldPage(10);
  for (const Scenario& s : kScenarios) {
    const struct {
      const char* name;  // "." for the folder itself
      mode_t mode;
    } kLocks[] = {{".", 0555}, {"abc.htm", 0}};
    for (const auto& lock : kLocks) {
      const std::string row = std::string(s.name) + ", " + lock.name +
                              " with mode " + std::to_string(lock.mode);
      PageFolder folder;
      const Files before = Arrange(folder, s, page);
      ASSERT_EQ(::chmod(folder.Path(lock.name).c_str(), lock.mode), 0);
      EXPECT_EQ(InsertKeywordsMetaTag(kTag, folder.Path("abc.htm"),
                                      Options(nullptr, s.backup)),
                InsertResult::kFileError)
          << row;
      ASSERT_EQ(::chmod(folder.Path(lock.name).c_str(), 0755), 0);
      ExpectCleanFailureOrWholeSuccess(InsertResult::kFileError, folder, s,
                                       before, row);
    }
  }
}

// --- A writer killed half way

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
