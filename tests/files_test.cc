#include "support/files.h"

#include <gtest/gtest.h>
#include <stdlib.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <filesystem>
#include <optional>
#include <string>

#include "tests/support/page_folder.h"

namespace vorn {
namespace {

std::string SystemError(int error_number) {
  return std::strerror(error_number);
}

TEST(FolderOfPathTest, KeepsEverythingUpToTheLastSeparator) {
  const struct {
    const char* path;
    const char* folder;
  } kCases[] = {
      {"/Site/Index.htm", "/Site/"},  // no drive letter: case kept
      {"C:/Site/Index.htm", "C:/site/"},
      {"c:/Site/Sub/Index.htm", "C:/site/sub/"},
      {"index.htm", ""},
      {"/index.htm", "/"},
      {"a/b/c.d/e", "a/b/c.d/"},
  };
  for (const auto& k : kCases)
    EXPECT_EQ(FolderOfPath(k.path), k.folder) << k.path;
}

TEST(NormaliseDriveCaseTest, ActsOnlyOnADriveLetter) {
  const struct {
    const char* text;
    const char* result;
  } kCases[] = {
      {"c:/Web/Page.HTM", "C:/web/page.htm"},
      {"d:", "D:"},
      {"1:AB", "1:ab"},
      {"/Web/Page.HTM", "/Web/Page.HTM"},
      {"ab:C", "ab:C"},
      {"", ""},
  };
  for (const auto& k : kCases)
    EXPECT_EQ(NormaliseDriveCase(k.text), k.result) << k.text;
}

TEST(MatchFileNameTest, NotCaseSensitive) {
  const struct {
    const char* name;
    const char* pattern;
    bool match;
  } kCases[] = {
      {"index.html", "*.htm", false},
      {"INDEX.HTM", "*.htm", true},
      {"a.b.htm", "*.htm", true},  // only the last dot splits
      {"page", "*.htm", false},
      {".htm", "x.htm", false},  // an empty name part matches only stars
      {".htm", "*.htm", true},
      {"readme", "readme.*", true},
      {"readme", "readme.", true},
      {"readme.txt", "readme", false},  // name has a dot, pattern none
      {"readme.txt", "readme.*", true},
      {"readme.txt", "*", false},
      {"readme", "*.*", true},
      {"x.htm", ".htm", true},     // an empty pattern part matches anything
      {"a?.htm", "*.htm", false},  // names with wildcards never match
      {"a:b.htm", "*.htm", false},
      {"a/b.htm", "*.htm", false},
      {"\xC0"
       "b.htm",
       "\xE0"
       "b.htm",
       true},  // À à in Windows-1252
      {"\xC3\x80"
       "b.htm",
       "\xC3\xA0"
       "b.HTM",
       true},  // À à in UTF-8
      {"\xC3\x80.htm", "\xE3\x80.htm", false},
  };
  for (const auto& k : kCases)
    EXPECT_EQ(MatchFileName(k.name, k.pattern, false), k.match)
        << k.name << " ~ " << k.pattern;
}

TEST(MatchFileNameTest, CaseSensitive) {
  const struct {
    const char* name;
    const char* pattern;
    bool match;
  } kCases[] = {
      {"INDEX.HTM", "*.htm", false},   {"index.HTM", "index.*", true},
      {"index.htm", "*.htm", true},    {"Index.htm", "index.htm", false},
      {"\xC0.htm", "\xE0.htm", false},
  };
  for (const auto& k : kCases)
    EXPECT_EQ(MatchFileName(k.name, k.pattern, true), k.match)
        << k.name << " ~ " << k.pattern;
}

TEST(MatchPartTest, StarAndQuestionMark) {
  const struct {
    const char* text;
    const char* pattern;
    bool case_sensitive;
    bool match;
  } kCases[] = {
      {"", "", false, true},
      {"", "*", false, true},
      {"", "*?", false, false},
      {"", "a", false, false},
      {"abc", "", false, true},
      {"abc", "abd", false, false},
      {"ab", "abc", false, false},
      {"abc", "*", false, true},
      {"abc", "*c", false, true},
      {"abc", "*x", false, false},
      {"abcabc", "*c", false, false},  // the star takes the first c only
      {"banana", "*a", false, false},
      {"banana", "*a*", false, true},
      {"banana", "b?n*", false, true},
      {"banana", "**a?a?a", false, true},
      {"abc", "???", false, true},
      {"ab", "???", false, false},
      // A "?" right after a star is skipped when the star looks for the next
      // literal, so the "?" then takes that very character.
      {"abc", "a*?c", false, false},
      {"abcc", "a*?c", false, true},
      {"Index", "INDEX", false, true},
      {"Index", "INDEX", true, false},
      {"index", "I*", true, false},
      {"\xC9t\xC9", "\xE9*", false, true},
  };
  for (const auto& k : kCases)
    EXPECT_EQ(MatchPart(k.text, k.pattern, k.case_sensitive), k.match)
        << "\"" << k.text << "\" ~ \"" << k.pattern
        << "\" cs=" << k.case_sensitive;
}

TEST(FilesTest, FileAndFolderExistence) {
  PageFolder dir;
  ASSERT_TRUE(dir.Write("file.txt", "x"));
  ASSERT_TRUE(dir.MakeFolder("folder"));
  for (const char* link : {"file", "folder", "gone"}) {
    ASSERT_EQ(
        ::symlink(
            dir.Path(link == std::string("file") ? "file.txt" : link).c_str(),
            dir.Path(std::string(link) + "_link").c_str()),
        0);
  }
  const struct {
    const char* name;
    bool file;
    bool folder;
  } kCases[] = {
      {"file.txt", true, false},    {"folder", false, true},
      {"folder/", false, true},     {"file_link", true, false},
      {"folder_link", false, true}, {"gone_link", false, false},
      {"missing", false, false},    {"file.txt/x", false, false},
  };
  for (const auto& k : kCases) {
    EXPECT_EQ(FileExists(dir.Path(k.name)), k.file) << k.name;
    EXPECT_EQ(FolderExists(dir.Path(k.name)), k.folder) << k.name;
  }
  EXPECT_FALSE(FileExists(""));
  EXPECT_FALSE(FolderExists(""));
}

TEST(FilesTest, CountMatchingFilesCountsOnlyFilesDirectlyInside) {
  PageFolder dir;
  for (const char* name : {"a.htm", "B.HTM", "c.html", "d.txt", "readme",
                           "page1.htm", "sub/inner.htm"})
    ASSERT_TRUE(dir.Write(name, "x"));
  ASSERT_TRUE(dir.MakeFolder("sub.htm"));  // a folder, not counted
  ASSERT_EQ(::symlink(dir.Path("a.htm").c_str(), dir.Path("link.htm").c_str()),
            0);
  ASSERT_EQ(::symlink(dir.Path("gone").c_str(), dir.Path("broken.htm").c_str()),
            0);
  const struct {
    const char* pattern;
    std::int64_t count;
  } kCases[] = {
      {"*.htm", 4},  // a.htm, B.HTM, page1.htm, link.htm
      {"*.*", 7},    // every file, readme included
      {"*", 1},      // only names without a dot
      {"page?.htm", 1}, {"*.html", 1}, {"*.gif", 0},
  };
  for (const auto& k : kCases)
    EXPECT_EQ(CountMatchingFiles(dir.path(), k.pattern), k.count) << k.pattern;
}

TEST(FilesTest, CountMatchingFilesFailsOnAFolderItCannotRead) {
  PageFolder dir;
  ASSERT_TRUE(dir.Write("plain.txt", "x"));
  ASSERT_TRUE(dir.MakeFolder("locked"));
  ASSERT_EQ(::chmod(dir.Path("locked").c_str(), 0), 0);
  const struct {
    const char* name;
    int error_number;
  } kCases[] = {
      {"missing", ENOENT},
      {"plain.txt", ENOTDIR},
      {"locked", RunningAsRoot() ? 0 : EACCES},  // root reads every folder
  };
  for (const auto& k : kCases) {
    if (k.error_number == 0) continue;
    std::string error;
    EXPECT_EQ(CountMatchingFiles(dir.Path(k.name), "*.*", &error), -1)
        << k.name;
    EXPECT_EQ(error, SystemError(k.error_number)) << k.name;
  }
}

TEST(FilesTest, ReadFileBytesReadsWholeFiles) {
  PageFolder dir;
  std::string big(200000, '\0');
  for (std::size_t i = 0; i < big.size(); ++i)
    big[i] = static_cast<char>((i * 7919) % 256);
  for (const std::string& bytes : {std::string(), std::string("a\r\nb"), big}) {
    ASSERT_TRUE(dir.Write("file", bytes));
    std::string error = "unchanged";
    const std::optional<std::string> read =
        ReadFileBytes(dir.Path("file"), &error);
    ASSERT_TRUE(read.has_value()) << bytes.size() << ": " << error;
    EXPECT_TRUE(*read == bytes) << bytes.size();
  }
}

// Points XDG_CONFIG_HOME and HOME elsewhere and restores them afterwards.
class ConfigFolderTest : public ::testing::Test {
 protected:
  void SetUp() override {
    for (auto& [name, value] : saved_) {
      if (const char* now = std::getenv(name)) value = now;
    }
  }
  void TearDown() override {
    for (const auto& [name, value] : saved_)
      Set(name, value ? value->c_str() : nullptr);
  }
  static void Set(const char* name, const char* value) {
    if (value == nullptr) {
      ::unsetenv(name);
    } else {
      ::setenv(name, value, 1);
    }
  }

  PageFolder dir_;

 private:
  std::pair<const char*, std::optional<std::string>> saved_[2] = {
      {"XDG_CONFIG_HOME", std::nullopt}, {"HOME", std::nullopt}};
};

TEST_F(ConfigFolderTest, UserConfigFolderPrefersAnAbsoluteXdgValue) {
  const std::string home = dir_.Path("home");
  const std::string xdg = dir_.Path("xdg");
  const struct {
    const char* row;
    std::optional<std::string> xdg;
    std::optional<std::string> home;
    std::string folder;
  } kCases[] = {
      {"xdg set", xdg, home, xdg},
      {"xdg trailing separator", xdg + "/", home, xdg},
      {"xdg relative", "relative/config", home, home + "/.config"},
      {"xdg empty", "", home, home + "/.config"},
      {"xdg unset", std::nullopt, home, home + "/.config"},
      {"nothing set", std::nullopt, std::nullopt, ""},
      {"home empty", std::nullopt, "", ""},
  };
  for (const auto& k : kCases) {
    Set("XDG_CONFIG_HOME", k.xdg ? k.xdg->c_str() : nullptr);
    Set("HOME", k.home ? k.home->c_str() : nullptr);
    EXPECT_EQ(UserConfigFolder(), k.folder) << k.row;
  }
}

TEST_F(ConfigFolderTest, AppDataFilePathCreatesTheFolders) {
  const std::string config = dir_.Path("config");  // does not exist yet
  Set("XDG_CONFIG_HOME", config.c_str());
  const std::string expected = config + "/vorn/state.ini";
  EXPECT_EQ(AppDataFilePath("state.ini", "vorn"), expected);
  EXPECT_TRUE(FolderExists(config + "/vorn"));
  // A second call finds the folder and gives the same path.
  EXPECT_EQ(AppDataFilePath("state.ini", "vorn"), expected);
  // Without XDG_CONFIG_HOME, below $HOME.
  ASSERT_TRUE(dir_.MakeFolder("home"));
  Set("XDG_CONFIG_HOME", nullptr);
  Set("HOME", dir_.Path("home").c_str());
  EXPECT_EQ(AppDataFilePath("a.txt", "sub"),
            dir_.Path("home/.config/sub/a.txt"));
  EXPECT_TRUE(FolderExists(dir_.Path("home/.config/sub")));
}

}  // namespace
}  // namespace vorn
