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

TEST(FileNameOfPathTest, TakesTheTextAfterTheLastSeparator) {
  const struct {
    const char* path;
    bool lower;
    const char* name;
  } kCases[] = {
      {"/Site/Index.htm", true, "index.htm"},
      {"/Site/Index.htm", false, "Index.htm"},
      {"index.htm", true, ""},
      {"/a/b.c/D", true, "d"},
      // Windows-1252 text: É (C9) lowers to é (E9).
      {"/x/CAF\xC9.HTM", true, "caf\xE9.htm"},
      // UTF-8 text: É (C3 89) lowers to é (C3 A9); the lead byte stays.
      {"/x/CAF\xC3\x89.HTM", true, "caf\xC3\xA9.htm"},
      {"/x/\xE6\x97\xA5.HTM", true, "\xE6\x97\xA5.htm"},  // 日
      {"/x/\xD0\x9C\xD0\x98\xD0\xA0.HTM", true,
       "\xD0\xBC\xD0\xB8\xD1\x80.htm"},  // МИР: any script
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

TEST(FilesTest, WriteTextFileWritesOneRecord) {
  PageFolder dir;
  const std::string path = dir.Path("out.txt");
  const struct {
    const char* row;
    std::string text;
    bool raw;
    std::string bytes;
  } kCases[] = {
      {"raw", "abc", true, "abc\r\n"},
      {"quoted", "abc", false, "\"abc\"\r\n"},
      {"quoted empty", "", false, "\"\"\r\n"},
      {"quote inside", "a\"b", false, "\"a\"b\"\r\n"},
      {"line breaks kept", "a\r\nb\n", true, "a\r\nb\n\r\n"},
      {"any byte", std::string("\0\xFF\x80z", 4), true,
       std::string("\0\xFF\x80z\r\n", 6)},
  };
  for (const auto& k : kCases) {
    ASSERT_TRUE(dir.Write("out.txt", std::string(100, 'o')));  // replaced
    EXPECT_EQ(WriteTextFile(k.text, path, k.raw), "") << k.row;
    std::string error;
    EXPECT_EQ(ReadFileBytes(path, &error), k.bytes) << k.row << ": " << error;
  }
  // Appending creates the file, then adds to it.
  const std::string log = dir.Path("log.txt");
  EXPECT_EQ(WriteTextFile("one", log, true, true), "");
  EXPECT_EQ(WriteTextFile("two", log, false, true), "");
  EXPECT_EQ(ReadFileBytes(log), "one\r\n\"two\"\r\n");
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

TEST(FilesTest, ReadAndWriteFailuresGiveTheSystemsDescription) {
  PageFolder dir;
  ASSERT_TRUE(dir.Write("plain.txt", "x"));
  ASSERT_TRUE(dir.MakeFolder("folder"));
  ASSERT_TRUE(dir.MakeFolder("ro"));
  ASSERT_EQ(::chmod(dir.Path("ro").c_str(), 0555), 0);
  const struct {
    const char* name;
    int error_number;
  } kCases[] = {
      {"missing/file.txt", ENOENT},
      {"folder", EISDIR},
      {"plain.txt/file.txt", ENOTDIR},
  };
  for (const auto& k : kCases) {
    const std::string path = dir.Path(k.name);
    EXPECT_EQ(WriteTextFile("x", path, true), SystemError(k.error_number))
        << k.name;
    EXPECT_EQ(WriteTextFile("x", path, true, true), SystemError(k.error_number))
        << k.name;
    std::string error;
    EXPECT_EQ(ReadFileBytes(path, &error), std::nullopt) << k.name;
    EXPECT_EQ(error, SystemError(k.error_number)) << k.name;
  }
  if (!RunningAsRoot()) {
    EXPECT_EQ(WriteTextFile("x", dir.Path("ro/out.txt"), true),
              SystemError(EACCES));
    EXPECT_FALSE(FileExists(dir.Path("ro/out.txt")));
  }
  // Every write to /dev/full fails with "no space left", while the open
  // succeeds: writes, not only the open, are checked.
  if (std::filesystem::exists("/dev/full")) {
    EXPECT_EQ(WriteTextFile("text", "/dev/full", true), SystemError(ENOSPC));
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
