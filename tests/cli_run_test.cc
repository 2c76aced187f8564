// `vorn-cli run` over a fresh copy of the sample site: the whole report
// against the checked-in log, the result line, a second run that finds
// every page done, and the folder and option errors.
#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <map>
#include <sstream>
#include <string>
#include <vector>

namespace vorn {
namespace {

namespace fs = std::filesystem;

// A fresh folder, removed with everything in it at the end of the test.
class TempDir {
 public:
  TempDir() {
    std::string pattern = ::testing::TempDir() + "vorn_cli_run_XXXXXX";
    if (::mkdtemp(pattern.data()) != nullptr) path_ = pattern;
    EXPECT_FALSE(path_.empty()) << "cannot create " << pattern;
  }
  ~TempDir() {
    if (!path_.empty()) {
      std::error_code ec;
      fs::remove_all(path_, ec);
      EXPECT_FALSE(ec) << path_ << ": " << ec.message();
    }
  }
  TempDir(const TempDir&) = delete;
  TempDir& operator=(const TempDir&) = delete;

  const std::string& path() const { return path_; }
  std::string operator/(const std::string& name) const {
    return path_ + "/" + name;
  }

 private:
  std::string path_;
};

std::string ReadFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  if (!in) return "<cannot read " + path + ">";
  std::ostringstream bytes;
  bytes << in.rdbuf();
  return bytes.str();
}

// Every regular file under `root` with its bytes, by relative path.
std::map<std::string, std::string> Snapshot(const std::string& root) {
  std::map<std::string, std::string> files;
  for (const auto& entry : fs::recursive_directory_iterator(root))
    if (entry.is_regular_file())
      files[entry.path().lexically_relative(root).generic_string()] =
          ReadFile(entry.path().string());
  return files;
}

std::string ReplaceAll(std::string text, const std::string& from,
                       const std::string& to) {
  for (std::size_t p = 0; (p = text.find(from, p)) != std::string::npos;
       p += to.size())
    text.replace(p, from.size(), to);
  return text;
}

struct CliResult {
  int exit_code = -1;
  std::string out;
  std::string err;
};

// Runs vorn-cli with `args` (each passed as one word), capturing stdout and
// stderr in files of `scratch`.
CliResult RunCli(const std::vector<std::string>& args,
                 const std::string& scratch) {
  std::string command = std::string("'") + VORN_CLI_PATH + "'";
  for (const std::string& a : args) command += " '" + a + "'";
  const std::string out = scratch + "/stdout";
  const std::string err = scratch + "/stderr";
  command += " >'" + out + "' 2>'" + err + "'";
  const int status = std::system(command.c_str());
  CliResult r;
  if (status != -1 && WIFEXITED(status)) r.exit_code = WEXITSTATUS(status);
  r.out = ReadFile(out);
  r.err = ReadFile(err);
  return r;
}

// A copy of examples/site at `dir`/site; the run writes into the pages.
std::string CopySite(const TempDir& dir) {
  const std::string site = dir / "site";
  fs::copy(std::string(VORN_SOURCE_DIR) + "/examples/site", site,
           fs::copy_options::recursive);
  return site;
}

constexpr char kNothingResult[] =
    "Result: No keywords meta tag was inserted in any file.\n";

// Removes every line that starts with `prefix` (LF line ends).
std::string WithoutLinesStarting(const std::string& text,
                                 const std::string& prefix) {
  std::string kept;
  std::istringstream in(text);
  for (std::string line; std::getline(in, line);)
    if (line.rfind(prefix, 0) != 0) kept += line + "\n";
  return kept;
}

constexpr char kKeywordsStart[] = "<meta name=\"keywords\" content=\"";
constexpr char kDoneStart[] = "<meta name=\"VORN done\" content=\"";

// The line of `page` that starts with `prefix`, "" when none.
std::string LineStarting(const std::string& page, const std::string& prefix) {
  std::istringstream in(page);
  for (std::string line; std::getline(in, line);)
    if (line.rfind(prefix, 0) == 0) return line;
  return "";
}

TEST(CliRunTest, SampleSiteReportMatchesTheCheckedInLog) {
  TempDir dir;
  const std::string site = CopySite(dir);
  const auto original = Snapshot(site);
  const CliResult r = RunCli({"run", "--subfolders", site}, dir.path());
  EXPECT_EQ(r.exit_code, 0);
  EXPECT_EQ(ReplaceAll(r.out, site, "{SITE}"),
            ReadFile(std::string(VORN_SOURCE_DIR) +
                     "/examples/expected/run-report.txt"));
  EXPECT_EQ(r.err,
            "Result: A keywords meta tag was inserted in 3 files in 2 "
            "folders.\n");

  // Each page got one keywords tag, followed by the done tag, in its LF
  // line ends; without those two lines (and the old keywords tag) it is
  // as it was.
  const auto now = Snapshot(site);
  ASSERT_EQ(now.size(), original.size());
  for (const auto& [name, bytes] : now) {
    const std::string& old = original.at(name);
    EXPECT_EQ(WithoutLinesStarting(WithoutLinesStarting(bytes, kKeywordsStart),
                                   kDoneStart),
              WithoutLinesStarting(old, kKeywordsStart))
        << name;
    const std::string keywords = LineStarting(bytes, kKeywordsStart);
    EXPECT_NE(keywords, "") << name;
    EXPECT_NE(bytes.find(keywords + "\n" + kDoneStart), std::string::npos)
        << name;
    EXPECT_EQ(bytes.find('\r'), std::string::npos) << name;
  }
  // The old tag of index.htm is replaced in its place, not kept.
  EXPECT_EQ(now.at("index.htm").find("content=\"garden, tools\""),
            std::string::npos);
}

TEST(CliRunTest, SecondRunFindsEveryPageDone) {
  TempDir dir;
  const std::string site = CopySite(dir);
  ASSERT_EQ(RunCli({"run", "--subfolders", site}, dir.path()).exit_code, 0);
  const auto after_first = Snapshot(site);

  const CliResult r = RunCli({"run", "--subfolders", site}, dir.path());
  EXPECT_EQ(r.exit_code, 0);  // also when nothing was inserted
  EXPECT_EQ(r.out, "Folder: " + site +
                       "\n"
                       "\nFile: about.html  ---  Done already.\n"
                       "\nFile: index.htm  ---  Done already.\n"
                       "\nFolder: " +
                       site +
                       "/guides\n"
                       "\nFile: pruning.htm  ---  Done already.\n"
                       "\nNo keywords meta tag was inserted in any file.\n");
  EXPECT_EQ(r.err, kNothingResult);
  EXPECT_EQ(Snapshot(site), after_first);

  // With --dont-log-done the done pages leave no line at all.
  const CliResult quiet =
      RunCli({"run", "--subfolders", "--dont-log-done", site}, dir.path());
  EXPECT_EQ(quiet.out, "Folder: " + site + "\n\nFolder: " + site +
                           "/guides\n\nNo keywords meta tag was inserted in "
                           "any file.\n");
  EXPECT_EQ(Snapshot(site), after_first);
}

TEST(CliRunTest, WithoutSubfoldersOnlyTheTopPages) {
  TempDir dir;
  const std::string site = CopySite(dir);
  const std::string guide = ReadFile(site + "/guides/pruning.htm");
  const CliResult r = RunCli({"run", site}, dir.path());
  EXPECT_EQ(r.exit_code, 0);
  EXPECT_EQ(r.out, "Folder: " + site +
                       "\n"
                       "\nFile: about.html  ---  Keywords meta tag inserted.\n"
                       "\nFile: index.htm  ---  Keywords meta tag inserted.\n"
                       "\nA keywords meta tag was inserted in the following 2 "
                       "files:\n\n" +
                       site + "/about.html\n" + site + "/index.htm\n\n");
  EXPECT_EQ(r.err,
            "Result: A keywords meta tag was inserted in 2 files in 1 "
            "folder.\n");
  EXPECT_EQ(ReadFile(site + "/guides/pruning.htm"), guide);
}

TEST(CliRunTest, IncludeOldReportsBothTags) {
  TempDir dir;
  const std::string site = CopySite(dir);
  // --include-old sets --include-new too: the NEW line takes the place of
  // "Keywords meta tag inserted.", OLD only where a tag was replaced.
  const CliResult r = RunCli({"run", "--include-old", site}, dir.path());
  EXPECT_EQ(r.exit_code, 0);
  const std::string about =
      LineStarting(ReadFile(site + "/about.html"), kKeywordsStart);
  const std::string index =
      LineStarting(ReadFile(site + "/index.htm"), kKeywordsStart);
  EXPECT_EQ(r.out, "Folder: " + site +
                       "\n"
                       "\nFile: about.html"
                       "\nNEW: " +
                       about +
                       "\n"
                       "\nFile: index.htm"
                       "\nOLD: <meta name=\"keywords\" content=\"garden, "
                       "tools\">"
                       "\nNEW: " +
                       index +
                       "\n"
                       "\nA keywords meta tag was inserted in the following 2 "
                       "files:\n\n" +
                       site + "/about.html\n" + site + "/index.htm\n\n");
}

TEST(CliRunTest, FolderAndOptionErrors) {
  TempDir dir;
  const std::string site = CopySite(dir);
  const auto original = Snapshot(site);
  const struct {
    const char* name;
    std::vector<std::string> args;
    int exit_code;
    std::string out, err;  // "{SITE}" stands for the copy's path
  } kCases[] = {
      {"missing folder",
       {"run", site + "/missing"},
       1,
       "",
       "Invalid input: Folder does not exist\n"},
      {"a file, not a folder",
       {"run", site + "/index.htm"},
       1,
       "",
       "Invalid input: Folder does not exist\n"},
      {"empty folder name",
       {"run", ""},
       1,
       "",
       "Invalid input: No input folder specified.\n"},
      {"blank folder name",
       {"run", "   "},
       1,
       "",
       "Invalid input: No input folder specified.\n"},
      // The sample has no .shtml page: nothing is inserted, which is not an
      // error.
      {"shtml only",
       {"run", "--subfolders", "--ext", "shtml", site},
       0,
       "Folder: {SITE}\n\nNo keywords meta tag was inserted in any file.\n",
       kNothingResult},
  };
  for (const auto& c : kCases) {
    const CliResult r = RunCli(c.args, dir.path());
    EXPECT_EQ(r.exit_code, c.exit_code) << c.name;
    EXPECT_EQ(ReplaceAll(r.out, site, "{SITE}"), c.out) << c.name;
    EXPECT_EQ(r.err, c.err) << c.name;
    EXPECT_EQ(Snapshot(site), original) << c.name;
  }
  // Usage errors: status 2, nothing on stdout, nothing written.
  const struct {
    const char* name;
    std::vector<std::string> args;
  } kUsage[] = {
      {"no folder", {"run"}},
      {"unknown extension", {"run", "--ext", "php", site}},
      {"empty extension list", {"run", "--ext", "", site}},
      {"two folders", {"run", site, site}},
  };
  for (const auto& c : kUsage) {
    const CliResult r = RunCli(c.args, dir.path());
    EXPECT_EQ(r.exit_code, 2) << c.name;
    EXPECT_EQ(r.out, "") << c.name;
    EXPECT_NE(r.err, "") << c.name;
    EXPECT_EQ(Snapshot(site), original) << c.name;
  }
}

}  // namespace
}  // namespace vorn
