#include "support/files.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <stdlib.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <optional>
#include <string>
#include <tuple>

#include "support/file_system.h"
#include "tests/support/faulty_file_system.h"
#include "tests/support/page_folder.h"

namespace vorn {
namespace {

using Files = std::map<std::string, std::string>;

TEST(PathTest, FolderOfAPath) {
  const std::pair<const char*, const char*> kCases[] = {
      {"/Site/Index.htm", "/Site/"},  // no drive letter: case kept
      {"c:/Site/Sub/Index.htm", "C:/site/sub/"},
      {"c:/CAF\xC9/x", "C:/caf\xE9/"},  // Windows-1252 É
      {"index.htm", ""},
  };
  for (const auto& [path, folder] : kCases)
    EXPECT_EQ(FolderOfPath(path), folder) << path;
}

TEST(MatchTest, FileNamesAndParts) {
  // Whole names split at their last dot; each part matched alone.
  const std::tuple<const char*, const char*, bool> kNames[] = {
      {"index.html", "*.htm", false},
      {"INDEX.HTM", "*.htm", true},
      {"a.b.htm", "*.htm", true},  // only the last dot splits
      {".htm", "x.htm", false},    // empty part: only stars
      {"readme", "readme.*", true},
      {"x.htm", ".htm", true},                  // empty pattern part: anything
      {"\xC3\x80.htm", "\xC3\xA0.HTM", true}};  // UTF-8 À à
  for (const auto& [name, pattern, match] : kNames)
    EXPECT_EQ(MatchFileName(name, pattern, false), match) << name << pattern;
  EXPECT_FALSE(MatchFileName("\xC0.htm", "\xE0.htm", true));
  const std::tuple<const char*, const char*, bool> kParts[] = {
      {"", "*", true},
      {"", "*?", false},
      {"ab", "abc", false},
      {"abcabc", "*c", false},  // the star takes the first c
      {"banana", "b?n*", true},
      {"abc", "a*?c", false},  // "?" after a star is skipped
      {"abcc", "a*?c", true},
      {"\xC9t\xC9", "\xE9*", true}};
  for (const auto& [text, pattern, match] : kParts)
    EXPECT_EQ(MatchPart(text, pattern, false), match) << text << pattern;
}

TEST(FilesTest, FilesAndFoldersThroughLinks) {
  PageFolder dir;
  ASSERT_TRUE(dir.Write("a.htm", "x"));
  ASSERT_TRUE(dir.MakeFolder("sub"));
  ASSERT_EQ(::symlink("a.htm", dir.Path("link.htm").c_str()), 0);
  ASSERT_EQ(::symlink("gone", dir.Path("broken.htm").c_str()), 0);
  ASSERT_EQ(::symlink("sub", dir.Path("sublink").c_str()), 0);
  const struct {
    const char* name;
    bool file, folder;
  } kCases[] = {{"a.htm", true, false},       {"sub", false, true},
                {"link.htm", true, false},    {"sublink", false, true},
                {"broken.htm", false, false}, {"a.htm/x", false, false}};
  for (const auto& k : kCases) {
    EXPECT_EQ(FileExists(dir.Path(k.name)), k.file) << k.name;
    EXPECT_EQ(FolderExists(dir.Path(k.name)), k.folder) << k.name;
  }
  EXPECT_FALSE(FileExists(""));
}

// Each step of a replacing write made to fail, alone and from then on:
// the message says so, the file keeps its bytes, no temporary file remains.
// A folder that may be read but not searched lists names whose kind no one
// can tell: the listing fails as for a folder that cannot be read, rather
// than pass its pages over unreported. (Checked as nobody when run as root,
// whom permissions do not stop.)
TEST(FilesTest, AFolderThatCannotBeSearchedIsNotListed) {
  PageFolder dir;
  ASSERT_TRUE(dir.Write("sub/a.htm", "x"));
  ASSERT_EQ(::chmod(dir.path().c_str(), 0711), 0);
  ASSERT_EQ(::chmod(dir.Path("sub").c_str(), 0644), 0);
  const pid_t child = ::fork();
  ASSERT_GE(child, 0);
  if (child == 0) {
    if (::geteuid() == 0 && (::setgid(65534) != 0 || ::setuid(65534) != 0))
      ::_exit(3);
    std::vector<FolderEntry> entries;
    const Status s = DefaultFileSystem().ListFolder(dir.Path("sub"), &entries);
    ::_exit(s.ok() ? 1 : s.error_number() == EACCES ? 0 : 2);
  }
  int status = 0;
  ASSERT_EQ(::waitpid(child, &status, 0), child);
  ASSERT_EQ(::chmod(dir.Path("sub").c_str(), 0755), 0);
  EXPECT_TRUE(WIFEXITED(status));
  EXPECT_EQ(WEXITSTATUS(status), 0) << "1: listed; 2: another error";
}

TEST(FilesTest, WriteFileReplacingFailsWhole) {
  const struct {
    FsOp op;
    bool existing;  // the file exists before (else it is created)
    int error;      // as the fake fails the call
  } kCases[] = {
      {FsOp::kStat, true, EIO},     {FsOp::kCreateUniqueFile, false, EACCES},
      {FsOp::kWrite, true, ENOSPC}, {FsOp::kSetInfo, true, EPERM},
      {FsOp::kSync, true, EIO},     {FsOp::kClose, false, EIO},
      {FsOp::kRename, true, EIO},   {FsOp::kRename, false, EIO},
  };
  for (const auto& k : kCases) {
    for (const bool later_too : {false, true}) {
      const std::string row = std::string(FsOpName(k.op)) +
                              (k.existing ? ", existing" : ", new") +
                              (later_too ? ", every call" : "");
      PageFolder dir;
      Files before;
      if (k.existing) before["vorn.usr"] = "old state";
      for (const auto& [name, bytes] : before)
        ASSERT_TRUE(dir.Write(name, bytes));
      FaultyFileSystem fs;
      fs.FailCall(k.op, 1, later_too);
      EXPECT_EQ(WriteFileReplacing(fs, dir.Path("vorn.usr"), "new state"),
                std::strerror(k.error))
          << row;
      EXPECT_TRUE(fs.FaultHit()) << row;
      EXPECT_EQ(dir.Snapshot(), before) << row;
    }
  }
}

TEST(FilesTest, WriteFileReplacingKeepsThePermissions) {
  PageFolder dir;
  const std::string path = dir.Path("vorn.usr");
  EXPECT_EQ(WriteFileReplacing(path, "first"), "");
  struct stat st;
  ASSERT_EQ(::stat(path.c_str(), &st), 0);
  EXPECT_EQ(st.st_mode & 07777, 0644u);
  for (const mode_t mode : {0600, 01640, 02750}) {
    ASSERT_EQ(::chmod(path.c_str(), mode), 0);
    ASSERT_EQ(::stat(path.c_str(), &st), 0);
    const mode_t set = st.st_mode & 07777;  // what the system allowed
    EXPECT_EQ(WriteFileReplacing(path, "next"), "") << std::oct << mode;
    ASSERT_EQ(::stat(path.c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 07777, set) << std::oct << mode;
  }
  EXPECT_EQ(dir.Snapshot(), (Files{{"vorn.usr", "next"}}));
}

}  // namespace
}  // namespace vorn
