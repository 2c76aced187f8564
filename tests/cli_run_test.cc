// `vorn-cli run` over a fresh copy of the sample site: the whole report
// against the checked-in log, the result line, a second run that finds
// every page done, and the folder and option errors.
#include <gtest/gtest.h>

#include <filesystem>
#include <map>
#include <sstream>
#include <string>
#include <vector>

#include "tests/support/page_folder.h"
#include "tests/support/run_program.h"

namespace vorn {
namespace {

constexpr char kKeywordsStart[] = "<meta name=\"keywords\" content=\"";
constexpr char kDoneStart[] = "<meta name=\"VORN done\" content=\"";
constexpr char kNothing[] = "No keywords meta tag was inserted in any file.";

// A copy of examples/site in a fresh folder; the runs write into it.
class SiteCopy {
 public:
  SiteCopy() {
    std::filesystem::copy(std::string(VORN_SOURCE_DIR) + "/examples/site",
                          site_, std::filesystem::copy_options::recursive);
  }
  const std::string& site() const { return site_; }
  ProgramResult Run(const std::vector<std::string>& args) const {
    return RunOrFail(VORN_CLI_PATH, args, folder_.path());
  }
  std::map<std::string, std::string> Snapshot() const {
    return SnapshotOf(site_);
  }

 private:
  PageFolder folder_;
  std::string site_ = folder_.Path("site");
};

// The lines of `text` that do not start with `prefix` (LF line ends).
std::string WithoutLinesStarting(const std::string& text,
                                 const std::string& prefix) {
  std::string kept;
  std::istringstream in(text);
  for (std::string line; std::getline(in, line);)
    if (!line.starts_with(prefix)) kept += line + "\n";
  return kept;
}

// The line of `page` that starts with `prefix`, "" when none.
std::string LineStarting(const std::string& page, const std::string& prefix) {
  std::istringstream in(page);
  for (std::string line; std::getline(in, line);)
    if (line.starts_with(prefix)) return line;
  return "";
}

TEST(CliRunTest, SampleSiteReportMatchesTheCheckedInLog) {
  SiteCopy copy;
  const std::string& site = copy.site();
  const auto original = copy.Snapshot();
  const ProgramResult r = copy.Run({"run", "--subfolders", site});
  EXPECT_EQ(r.exit_status, 0);
  std::string out = r.out;
  for (std::size_t p; (p = out.find(site)) != std::string::npos;)
    out.replace(p, site.size(), "{SITE}");
  EXPECT_EQ(out, ReadWholeFile(std::string(VORN_SOURCE_DIR) +
                               "/examples/expected/run-report.txt"));
  EXPECT_EQ(r.err,
            "Result: A keywords meta tag was inserted in 3 files in 2 "
            "folders.\n");

  // Each page got one keywords tag, followed by the done tag, in its LF
  // line ends; without those two lines (and the old keywords tag) it is
  // as it was.
  const auto now = copy.Snapshot();
  ASSERT_EQ(now.size(), original.size());
  for (const auto& [name, bytes] : now) {
    if (bytes == "folder") continue;
    EXPECT_EQ(WithoutLinesStarting(WithoutLinesStarting(bytes, kKeywordsStart),
                                   kDoneStart),
              WithoutLinesStarting(original.at(name), kKeywordsStart))
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

  // A second run finds every page done and changes nothing; the exit
  // status is 0 also when nothing is inserted.
  const ProgramResult again = copy.Run({"run", "--subfolders", site});
  EXPECT_EQ(again.exit_status, 0);
  EXPECT_EQ(again.out, "Folder: " + site +
                           "\n\nFile: about.html  ---  Done already.\n"
                           "\nFile: index.htm  ---  Done already.\n"
                           "\nFolder: " +
                           site +
                           "/guides\n\nFile: pruning.htm  ---  Done already.\n"
                           "\n" +
                           kNothing + "\n");
  EXPECT_EQ(again.err, "Result: " + std::string(kNothing) + "\n");
  // With --dont-log-done the done pages leave no line at all.
  const ProgramResult quiet =
      copy.Run({"run", "--subfolders", "--dont-log-done", site});
  EXPECT_EQ(quiet.out, "Folder: " + site + "\n\nFolder: " + site +
                           "/guides\n\n" + kNothing + "\n");
  EXPECT_EQ(copy.Snapshot(), now);
}

TEST(CliRunTest, IncludeOldWithoutSubfolders) {
  SiteCopy copy;
  const std::string& site = copy.site();
  const auto original = copy.Snapshot();
  // --include-old sets --include-new too: the NEW line takes the place of
  // "Keywords meta tag inserted.", OLD only where a tag was replaced.
  const ProgramResult r = copy.Run({"run", "--include-old", site});
  EXPECT_EQ(r.exit_status, 0);
  const std::string about =
      LineStarting(*ReadWholeFile(site + "/about.html"), kKeywordsStart);
  const std::string index =
      LineStarting(*ReadWholeFile(site + "/index.htm"), kKeywordsStart);
  EXPECT_EQ(r.out, "Folder: " + site + "\n\nFile: about.html\nNEW: " + about +
                       "\n\nFile: index.htm\nOLD: <meta name=\"keywords\" "
                       "content=\"garden, tools\">\nNEW: " +
                       index +
                       "\n\nA keywords meta tag was inserted in the following "
                       "2 files:\n\n" +
                       site + "/about.html\n" + site + "/index.htm\n\n");
  EXPECT_EQ(r.err,
            "Result: A keywords meta tag was inserted in 2 files in 1 "
            "folder.\n");
  EXPECT_EQ(copy.Snapshot().at("guides/pruning.htm"),
            original.at("guides/pruning.htm"));
}

TEST(CliRunTest, FolderAndOptionErrors) {
  SiteCopy copy;
  const std::string& site = copy.site();
  const auto original = copy.Snapshot();
  const std::string kMissing = "Invalid input: Folder does not exist\n";
  const std::string kNoFolder = "Invalid input: No input folder specified.\n";
  const struct {
    const char* name;
    std::vector<std::string> args;
    int exit_status;
    std::string out, err;  // empty `err` for a usage error: any message
  } kCases[] = {
      {"missing folder", {"run", site + "/missing"}, 1, "", kMissing},
      {"a file, not a folder", {"run", site + "/index.htm"}, 1, "", kMissing},
      {"blank folder name", {"run", "   "}, 1, "", kNoFolder},
      // The sample has no .shtml page: nothing is inserted, no error.
      {"shtml only",
       {"run", "--subfolders", "--ext", "shtml", site},
       0,
       "Folder: " + site + "\n\n" + kNothing + "\n",
       "Result: " + std::string(kNothing) + "\n"},
      {"no folder", {"run"}, 2, "", ""},
      {"unknown extension", {"run", "--ext", "php", site}, 2, "", ""},
      {"empty extension list", {"run", "--ext", "", site}, 2, "", ""},
      {"two folders", {"run", site, site}, 2, "", ""},
  };
  for (const auto& c : kCases) {
    const ProgramResult r = copy.Run(c.args);
    EXPECT_EQ(r.exit_status, c.exit_status) << c.name;
    EXPECT_EQ(r.out, c.out) << c.name;
    if (c.exit_status == 2) {
      EXPECT_NE(r.err, "") << c.name;
    } else {
      EXPECT_EQ(r.err, c.err) << c.name;
    }
    EXPECT_EQ(copy.Snapshot(), original) << c.name;
  }
}

}  // namespace
}  // namespace vorn
