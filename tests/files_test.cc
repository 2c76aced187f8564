#include "support/files.h"

#include <gtest/gtest.h>
#include <stdlib.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <optional>
#include <string>

namespace vorn {
namespace {

std::string SystemError(int error_number) {
  return std::strerror(error_number);
}

// Gives the owner back every permission on `folder` and the folders below,
// which some tests take away, so that the tree can be removed.
void MakeRemovable(const std::filesystem::path& folder) {
  namespace fs = std::filesystem;
  std::error_code ignored;
  fs::permissions(folder, fs::perms::owner_all, fs::perm_options::add, ignored);
  for (const auto& entry : fs::directory_iterator(folder, ignored))
    if (entry.is_directory(ignored) && !entry.is_symlink(ignored))
      MakeRemovable(entry.path());
}

// A fresh folder per test, removed afterwards.
class TempFolderTest : public ::testing::Test {
 protected:
  void SetUp() override {
    std::string pattern = ::testing::TempDir() + "vorn_files_XXXXXX";
    ASSERT_NE(::mkdtemp(pattern.data()), nullptr) << std::strerror(errno);
    dir_ = pattern;
  }
  void TearDown() override {
    MakeRemovable(dir_);
    std::error_code ignored;
    std::filesystem::remove_all(dir_, ignored);
  }

  std::string Path(const std::string& name) const { return dir_ + "/" + name; }

  void MakeFile(const std::string& name, const std::string& bytes = "x") {
    std::ofstream out(Path(name), std::ios::binary);
    out << bytes;
    ASSERT_TRUE(out.good()) << name;
  }

  std::string dir_;
};

TEST(FolderOfPathTest, KeepsEverythingUpToTheLastSeparator) {
  const struct {
    const char* path;
    const char* folder;
  } kCases[] = {
      {"/Site/Index.htm", "/Site/"},  // no drive letter: case kept
      {"C:/Site/Index.htm", "C:/site/"},
      {"c:/Site/Sub/Index.htm", "C:/site/sub/"},
      {"index.htm", ""},
      {"", ""},
      {"/", "/"},
      {"/index.htm", "/"},
      {"site/pages/", "site/pages/"},
      {"a/b/c.d/e", "a/b/c.d/"},
  };
  for (const auto& k : kCases)
    EXPECT_EQ(FolderOfPath(k.path), k.folder) << k.path;
}

TEST(FileNameOfPathTest, TakesTheTextAfterTheLastSeparator) {
  const struct {
    const char* path;
    bool lower;
    const char* name;
  } kCases[] = {
      {"/Site/Index.htm", true, "index.htm"},
      {"/Site/Index.htm", false, "Index.htm"},
      {"C:/Site/Index.htm", true, "index.htm"},
      {"index.htm", true, ""},
      {"/site/", false, ""},
      {"", false, ""},
      {"/a/b.c/D", true, "d"},
      // Windows-1252 text: É (C9) lowers to é (E9).
      {"/x/CAF\xC9.HTM", true, "caf\xE9.htm"},
      // UTF-8 text: É (C3 89) lowers to é (C3 A9); the lead byte stays.
      {"/x/CAF\xC3\x89.HTM", true, "caf\xC3\xA9.htm"},
      {"/x/\xC5\xA0\xC5\xB8.htm", true, "\xC5\xA1\xC3\xBF.htm"},  // Š Ÿ
      {"/x/\xE6\x97\xA5.HTM", true, "\xE6\x97\xA5.htm"},          // 日
  };
  for (const auto& k : kCases)
    EXPECT_EQ(FileNameOfPath(k.path, k.lower), k.name)
        << k.path << " lower=" << k.lower;
}

TEST(NormaliseDriveCaseTest, ActsOnlyOnADriveLetter) {
  const struct {
    const char* text;
    const char* result;
  } kCases[] = {
      {"c:/Web/Page.HTM", "C:/web/page.htm"},
      {"C:", "C:"},
      {"d:", "D:"},
      {"1:AB", "1:ab"},
      {"/Web/Page.HTM", "/Web/Page.HTM"},
      {"ab:C", "ab:C"},
      {":X", ":X"},
      {"c", "c"},
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
      {"readme", "readme.**", true},
      {"readme", "readme.txt", false},
      {"readme", "readme.", true},
      {"readme.txt", "readme", false},  // name has a dot, pattern none
      {"readme.txt", "readme.*", true},
      {"readme", "*", true},
      {"readme.txt", "*", false},
      {"readme", "*.*", true},
      {"index.htm", "*.*", true},
      {"x.htm", ".htm", true},  // an empty pattern part matches anything
      {"x.htm", "x.", true},
      {"banana.htm", "*a.htm", false},  // the star stops at the first a
      {"ba.htm", "*a.htm", true},
      {"page1.htm", "page?.htm", true},
      {"page12.htm", "page?.htm", false},
      {"a?.htm", "*.htm", false},  // names with wildcards never match
      {"a*.htm", "*.htm", false},
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
      {"", "**", false, true},
      {"", "*?", false, false},
      {"", "a", false, false},
      {"abc", "", false, true},
      {"abc", "abc", false, true},
      {"abc", "abd", false, false},
      {"abc", "ab", false, false},
      {"ab", "abc", false, false},
      {"abc", "*", false, true},
      {"abc", "a*", false, true},
      {"abc", "*c", false, true},
      {"abc", "*x", false, false},
      {"abcabc", "*c", false, false},  // the star takes the first c only
      {"banana", "*a", false, false},
      {"banana", "b*a", false, false},
      {"banana", "*a*", false, true},
      {"banana", "b?n*", false, true},
      {"banana", "**a?a?a", false, true},
      {"abc", "?", false, false},
      {"abc", "???", false, true},
      {"ab", "???", false, false},
      // A "?" right after a star is skipped when the star looks for the next
      // literal, so the "?" then takes that very character.
      {"abc", "a*?c", false, false},
      {"abcc", "a*?c", false, true},
      {"Index", "INDEX", false, true},
      {"Index", "INDEX", true, false},
      {"Index", "I*", true, true},
      {"index", "I*", true, false},
      {"\xC9t\xC9", "\xE9*", false, true},
  };
  for (const auto& k : kCases)
    EXPECT_EQ(MatchPart(k.text, k.pattern, k.case_sensitive), k.match)
        << "\"" << k.text << "\" ~ \"" << k.pattern
        << "\" cs=" << k.case_sensitive;
}

TEST_F(TempFolderTest, FileAndFolderExistence) {
  MakeFile("file.txt");
  ASSERT_EQ(::mkdir(Path("folder").c_str(), 0755), 0);
  ASSERT_EQ(::symlink(Path("file.txt").c_str(), Path("file_link").c_str()), 0);
  ASSERT_EQ(::symlink(Path("folder").c_str(), Path("folder_link").c_str()), 0);
  ASSERT_EQ(::symlink(Path("gone").c_str(), Path("broken_link").c_str()), 0);
  const struct {
    std::string path;
    bool file;
    bool folder;
  } kCases[] = {
      {Path("file.txt"), true, false},
      {Path("folder"), false, true},
      {Path("folder/"), false, true},
      {Path("file_link"), true, false},
      {Path("folder_link"), false, true},
      {Path("broken_link"), false, false},
      {Path("missing"), false, false},
      {Path("file.txt/x"), false, false},
      {"", false, false},
  };
  for (const auto& k : kCases) {
    EXPECT_EQ(FileExists(k.path), k.file) << k.path;
    EXPECT_EQ(FolderExists(k.path), k.folder) << k.path;
  }
}

TEST_F(TempFolderTest, CountMatchingFilesCountsOnlyFilesDirectlyInside) {
  for (const char* name :
       {"a.htm", "B.HTM", "c.html", "d.txt", "readme", "page1.htm"})
    MakeFile(name);
  ASSERT_EQ(::mkdir(Path("sub.htm").c_str(), 0755),
            0);  // a folder, not counted
  ASSERT_EQ(::mkdir(Path("sub").c_str(), 0755), 0);
  MakeFile("sub/inner.htm");  // not directly inside
  ASSERT_EQ(::symlink(Path("a.htm").c_str(), Path("link.htm").c_str()), 0);
  ASSERT_EQ(::symlink(Path("gone").c_str(), Path("broken.htm").c_str()), 0);

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
    EXPECT_EQ(CountMatchingFiles(dir_, k.pattern), k.count) << k.pattern;
}

TEST_F(TempFolderTest, CountMatchingFilesFailsOnAFolderItCannotRead) {
  MakeFile("plain.txt");
  const struct {
    std::string folder;
    int error_number;
  } kCases[] = {
      {Path("missing"), ENOENT},
      {Path("plain.txt"), ENOTDIR},
  };
  for (const auto& k : kCases) {
    std::string error;
    EXPECT_EQ(CountMatchingFiles(k.folder, "*.*", &error), -1) << k.folder;
    EXPECT_EQ(error, SystemError(k.error_number)) << k.folder;
    EXPECT_EQ(CountMatchingFiles(k.folder, "*.*"), -1) << k.folder;
  }
}

TEST_F(TempFolderTest, CountMatchingFilesFailsWithoutReadPermission) {
  if (::geteuid() == 0) GTEST_SKIP() << "root reads every folder";
  ASSERT_EQ(::mkdir(Path("locked").c_str(), 0), 0);
  std::string error;
  EXPECT_EQ(CountMatchingFiles(Path("locked"), "*.*", &error), -1);
  EXPECT_EQ(error, SystemError(EACCES));
}

TEST_F(TempFolderTest, WriteTextFileWritesOneRecord) {
  const struct {
    const char* row;
    std::string text;
    bool raw;
    std::string bytes;
  } kCases[] = {
      {"raw", "abc", true, "abc\r\n"},
      {"quoted", "abc", false, "\"abc\"\r\n"},
      {"raw empty", "", true, "\r\n"},
      {"quoted empty", "", false, "\"\"\r\n"},
      {"quote inside", "a\"b", false, "\"a\"b\"\r\n"},
      {"line breaks kept", "a\r\nb\n", true, "a\r\nb\n\r\n"},
      {"any byte", std::string("\0\xFF\x80z", 4), true,
       std::string("\0\xFF\x80z\r\n", 6)},
  };
  for (const auto& k : kCases) {
    const std::string path = Path("out.txt");
    MakeFile("out.txt", std::string(100, 'o'));  // longer: must be replaced
    EXPECT_EQ(WriteTextFile(k.text, path, k.raw), "") << k.row;
    std::string error;
    EXPECT_EQ(ReadFileBytes(path, &error), k.bytes) << k.row << ": " << error;
  }
}

TEST_F(TempFolderTest, WriteTextFileAppends) {
  const std::string path = Path("log.txt");
  EXPECT_EQ(WriteTextFile("one", path, true, true), "");  // creates it
  EXPECT_EQ(WriteTextFile("two", path, false, true), "");
  EXPECT_EQ(WriteTextFile("three", path, true, true), "");
  EXPECT_EQ(ReadFileBytes(path), "one\r\n\"two\"\r\nthree\r\n");
  EXPECT_EQ(WriteTextFile("new", path, true), "");
  EXPECT_EQ(ReadFileBytes(path), "new\r\n");
}

TEST_F(TempFolderTest, ReadFileBytesReadsWholeFiles) {
  std::string big(200000, '\0');
  for (std::size_t i = 0; i < big.size(); ++i)
    big[i] = static_cast<char>((i * 7919) % 256);
  const struct {
    const char* name;
    std::string bytes;
  } kCases[] = {
      {"empty", ""},
      {"small", "a\r\nb"},
      {"big", big},
  };
  for (const auto& k : kCases) {
    MakeFile(k.name, k.bytes);
    std::string error = "unchanged";
    const std::optional<std::string> read = ReadFileBytes(Path(k.name), &error);
    ASSERT_TRUE(read.has_value()) << k.name << ": " << error;
    EXPECT_EQ(read->size(), k.bytes.size()) << k.name;
    EXPECT_TRUE(*read == k.bytes) << k.name;
  }
}

TEST_F(TempFolderTest, ReadAndWriteFailuresGiveTheSystemsDescription) {
  MakeFile("plain.txt");
  ASSERT_EQ(::mkdir(Path("folder").c_str(), 0755), 0);
  const struct {
    std::string path;
    int error_number;
  } kCases[] = {
      {Path("missing/file.txt"), ENOENT},
      {Path("folder"), EISDIR},
      {Path("plain.txt/file.txt"), ENOTDIR},
  };
  for (const auto& k : kCases) {
    EXPECT_EQ(WriteTextFile("x", k.path, true), SystemError(k.error_number))
        << k.path;
    EXPECT_EQ(WriteTextFile("x", k.path, true, true),
              SystemError(k.error_number))
        << k.path;
    std::string error;
    EXPECT_EQ(ReadFileBytes(k.path, &error), std::nullopt) << k.path;
    EXPECT_EQ(error, SystemError(k.error_number)) << k.path;
    EXPECT_EQ(ReadFileBytes(k.path), std::nullopt) << k.path;
  }
  EXPECT_EQ(ReadFileBytes(Path("missing.txt")), std::nullopt);
}

TEST_F(TempFolderTest, WriteTextFileReportsAFailedWrite) {
  // Every write to /dev/full fails with "no space left", while the open
  // succeeds: this checks that writes, not only the open, are checked.
  if (!std::filesystem::exists("/dev/full")) GTEST_SKIP() << "no /dev/full";
  EXPECT_EQ(WriteTextFile("text", "/dev/full", true), SystemError(ENOSPC));
}

TEST_F(TempFolderTest, WriteTextFileFailsInAReadOnlyFolder) {
  if (::geteuid() == 0) GTEST_SKIP() << "root writes into every folder";
  ASSERT_EQ(::mkdir(Path("ro").c_str(), 0555), 0);
  EXPECT_EQ(WriteTextFile("x", Path("ro/out.txt"), true), SystemError(EACCES));
  EXPECT_FALSE(FileExists(Path("ro/out.txt")));
}

// Points XDG_CONFIG_HOME and HOME elsewhere and restores them afterwards.
class ConfigFolderTest : public TempFolderTest {
 protected:
  void SetUp() override {
    TempFolderTest::SetUp();
    Save("XDG_CONFIG_HOME", &xdg_);
    Save("HOME", &home_);
  }
  void TearDown() override {
    Restore("XDG_CONFIG_HOME", xdg_);
    Restore("HOME", home_);
    TempFolderTest::TearDown();
  }

  static void Set(const char* name, const char* value) {
    if (value == nullptr) {
      ::unsetenv(name);
    } else {
      ::setenv(name, value, 1);
    }
  }

 private:
  static void Save(const char* name, std::optional<std::string>* saved) {
    const char* value = std::getenv(name);
    if (value != nullptr) *saved = value;
  }
  static void Restore(const char* name,
                      const std::optional<std::string>& saved) {
    Set(name, saved ? saved->c_str() : nullptr);
  }

  std::optional<std::string> xdg_;
  std::optional<std::string> home_;
};

TEST_F(ConfigFolderTest, UserConfigFolderPrefersAnAbsoluteXdgValue) {
  const std::string home = Path("home");
  const std::string xdg = Path("xdg");
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
  const std::string config = Path("config");  // does not exist yet
  Set("XDG_CONFIG_HOME", config.c_str());
  const std::string expected = config + "/vorn/state.ini";
  EXPECT_EQ(AppDataFilePath("state.ini", "vorn"), expected);
  EXPECT_TRUE(FolderExists(config + "/vorn"));
  // A second call finds the folder and gives the same path.
  EXPECT_EQ(AppDataFilePath("state.ini", "vorn"), expected);
  EXPECT_EQ(WriteTextFile("x", expected, true), "");
}

TEST_F(ConfigFolderTest, AppDataFilePathUnderHome) {
  ASSERT_EQ(::mkdir(Path("home").c_str(), 0755), 0);
  Set("XDG_CONFIG_HOME", nullptr);
  Set("HOME", Path("home").c_str());
  EXPECT_EQ(AppDataFilePath("a.txt", "sub"), Path("home/.config/sub/a.txt"));
  EXPECT_TRUE(FolderExists(Path("home/.config/sub")));
}

TEST(ExecutableFolderTest, HoldsTheRunningProgram) {
  const std::string folder = ExecutableFolder();
  ASSERT_FALSE(folder.empty());
  EXPECT_EQ(folder.front(), '/');
  EXPECT_NE(folder.back(), '/');
  EXPECT_TRUE(FileExists(folder + "/" + program_invocation_short_name))
      << folder;
}

TEST(ProgramFolderTest, IsTheExecutablesFolderOnlyWhenItHoldsTheData) {
  const std::string exe = ExecutableFolder();
  const bool has_data =
      FileExists(exe + "/cmwds_en.txt") || FileExists(exe + "/vorn_text.dat");
  if (has_data) {
    EXPECT_EQ(ProgramFolder(), exe);
  } else {
    EXPECT_NE(ProgramFolder(), exe);
    EXPECT_TRUE(ProgramFolder().ends_with("/vorn")) << ProgramFolder();
  }
}

}  // namespace
}  // namespace vorn
