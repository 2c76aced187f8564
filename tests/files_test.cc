#include "support/files.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <stdlib.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <optional>
#include <string>

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
      {"c:/CAF\xC9/x", "C:/caf\xE9/"},          // Windows-1252 É
      {"c:/CAF\xC3\x89/x", "C:/caf\xC3\xA9/"},  // UTF-8 É
      {"1:/AB/x", "1:/ab/"},
      {"ab:/C/x", "ab:/C/"},
      {"index.htm", ""},
      {"/index.htm", "/"},
  };
  for (const auto& [path, folder] : kCases)
    EXPECT_EQ(FolderOfPath(path), folder) << path;
}

TEST(MatchTest, FileNamesAndParts) {
  const struct {
    bool whole_name;  // MatchFileName, else MatchPart
    const char* text;
    const char* pattern;
    bool case_sensitive;
    bool match;
  } kCases[] = {
      {true, "index.html", "*.htm", false, false},
      {true, "INDEX.HTM", "*.htm", false, true},
      {true, "a.b.htm", "*.htm", false, true},  // only the last dot splits
      {true, ".htm", "x.htm", false, false},    // empty part: only stars
      {true, "readme", "readme.*", false, true},
      {true, "readme", "readme.txt", false, false},
      {true, "x.htm", ".htm", false, true},  // empty pattern part: anything
      {true, "a?.htm", "*.htm", false, false},
      {true, "\xC3\x80.htm", "\xC3\xA0.HTM", false, true},  // UTF-8 À à
      {true, "\xC0.htm", "\xE0.htm", true, false},
      {false, "", "*", false, true},
      {false, "", "*?", false, false},
      {false, "ab", "abc", false, false},
      {false, "ab", "???", false, false},
      {false, "abcabc", "*c", false, false},  // the star takes the first c
      {false, "banana", "b?n*", false, true},
      {false, "abc", "a*?c", false, false},  // "?" after a star is skipped
      {false, "abcc", "a*?c", false, true},
      {false, "\xC9t\xC9", "\xE9*", false, true},
  };
  for (const auto& k : kCases) {
    const bool match = k.whole_name
                           ? MatchFileName(k.text, k.pattern, k.case_sensitive)
                           : MatchPart(k.text, k.pattern, k.case_sensitive);
    EXPECT_EQ(match, k.match)
        << k.text << " ~ " << k.pattern << " cs " << k.case_sensitive;
  }
}

TEST(FilesTest, ExistenceAndCounts) {
  PageFolder dir;
  for (const char* name :
       {"a.htm", "B.HTM", "c.html", "readme", "sub/inner.htm"})
    ASSERT_TRUE(dir.Write(name, "x"));
  ASSERT_TRUE(dir.MakeFolder("folder.htm"));
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
  // Files directly inside, links to files included; folders never.
  EXPECT_EQ(CountMatchingFiles(dir.path(), "*.htm"), 3);
  EXPECT_EQ(CountMatchingFiles(dir.path(), "*"), 1);
  std::string error;
  EXPECT_EQ(CountMatchingFiles(dir.Path("a.htm"), "*", &error), -1);
  EXPECT_EQ(error, std::strerror(ENOTDIR));
}

// Each step of a replacing write made to fail, alone and from then on:
// the message says so, the file keeps its bytes, no temporary file remains.
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

// Sets an environment variable (nullptr: unsets it) until it goes away.
class ScopedEnv {
 public:
  explicit ScopedEnv(const char* name) : name_(name) {
    if (const char* now = std::getenv(name)) saved_ = now;
  }
  ~ScopedEnv() { Set(saved_ ? saved_->c_str() : nullptr); }
  void Set(const char* value) {
    if (value == nullptr) ::unsetenv(name_);
    if (value != nullptr) ::setenv(name_, value, 1);
  }

 private:
  const char* name_;
  std::optional<std::string> saved_;
};

TEST(ConfigFolderTest, AbsoluteXdgValueThenHome) {
  PageFolder dir;
  ScopedEnv xdg_env("XDG_CONFIG_HOME"), home_env("HOME");
  const std::string home = dir.Path("home");
  const std::string xdg = dir.Path("xdg");
  const struct {
    std::optional<std::string> xdg, home;
    std::string folder;
  } kCases[] = {
      {xdg + "/", home, xdg},
      {"relative/config", home, home + "/.config"},
      {"", home, home + "/.config"},
      {std::nullopt, "", ""},
  };
  for (const auto& k : kCases) {
    xdg_env.Set(k.xdg ? k.xdg->c_str() : nullptr);
    home_env.Set(k.home ? k.home->c_str() : nullptr);
    EXPECT_EQ(UserConfigFolder(), k.folder) << k.xdg.value_or("unset");
  }
  // The two missing levels are created.
  xdg_env.Set(xdg.c_str());
  EXPECT_EQ(AppDataFilePath("vorn.usr", "Quillon"), xdg + "/Quillon/vorn.usr");
  EXPECT_TRUE(FolderExists(xdg + "/Quillon"));
}

}  // namespace
}  // namespace vorn
