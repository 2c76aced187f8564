// A dry run over a copy of a real site: it leaves every byte, time stamp
// and file of the tree as it was, its outcomes are those of the real run,
// and its diff applied with patch gives exactly the files the real run
// writes.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <ctime>
#include <filesystem>
#include <map>

#include "tests/support/page_folder.h"
#include "tests/support/run_program.h"

namespace vorn {
namespace {

namespace fs = std::filesystem;
using Files = std::map<std::string, std::string>;

const std::string kData = std::string(VORN_SOURCE_DIR) + "/tests/data";

// The sample site, the folder of every outcome as a subfolder, and the
// real pages of tests/data: copied to `root`/site.
void CopySite(const std::string& root) {
  const fs::path site = root + "/site";
  fs::copy(kData + "/example-site", site, fs::copy_options::recursive);
  fs::copy(kData + "/run-mixed", site / "mixed", fs::copy_options::recursive);
  fs::create_directory(site / "pages");
  for (const auto& entry : fs::directory_iterator(kData))
    if (entry.path().extension() == ".html")
      fs::copy(entry.path(), site / "pages");
}

// Access times put an hour ahead, so that the reads of a run do not move
// them (relatime); then any change of a time stamp is a change the run made.
void AccessTimesAhead(const std::string& root) {
  const timespec times[2] = {{std::time(nullptr) + 3600, 0}, {0, UTIME_OMIT}};
  EXPECT_EQ(::utimensat(AT_FDCWD, root.c_str(), times, AT_SYMLINK_NOFOLLOW), 0);
  for (const auto& entry : fs::recursive_directory_iterator(root))
    EXPECT_EQ(
        ::utimensat(AT_FDCWD, entry.path().c_str(), times, AT_SYMLINK_NOFOLLOW),
        0)
        << entry.path();
}

// Every entry with its inode, mode, size and three time stamps.
std::map<std::string, std::string> Stamps(const std::string& root) {
  std::map<std::string, std::string> stamps;
  auto add = [&](const fs::path& path) {
    struct stat st {};
    EXPECT_EQ(::lstat(path.c_str(), &st), 0) << path;
    auto ns = [](const timespec& t) {
      return std::to_string(t.tv_sec) + "." + std::to_string(t.tv_nsec);
    };
    stamps[path.string()] = std::to_string(st.st_ino) + " " +
                            std::to_string(st.st_mode) + " " +
                            std::to_string(st.st_size) + " a" + ns(st.st_atim) +
                            " m" + ns(st.st_mtim) + " c" + ns(st.st_ctim);
  };
  add(root);
  for (const auto& entry : fs::recursive_directory_iterator(root))
    add(entry.path());
  return stamps;
}

Files WithoutDates(Files files) {
  for (auto& [name, bytes] : files) bytes = WithoutTodaysDate(bytes);
  return files;
}

TEST(DryRunTest, ChangesNothingAndItsDiffGivesWhatARealRunWrites) {
  const std::vector<std::string> run = {"--include-old", "run", "--subfolders",
                                        "site"};
  auto with = [&](std::vector<std::string> extra) {
    extra.insert(extra.end(), run.begin(), run.end());
    return extra;
  };
  PageFolder dry, real, work;
  CopySite(dry.path());
  CopySite(real.path());
  AccessTimesAhead(dry.path());
  const Files bytes_before = dry.Snapshot();
  const auto stamps_before = Stamps(dry.path());

  const ProgramResult diff =
      RunOrFail(VORN_CLI_PATH, with({"--dry-run", "--diff"}), dry.path());
  const ProgramResult dry_json = RunOrFail(
      VORN_CLI_PATH, with({"--dry-run", "--format", "json"}), dry.path());
  EXPECT_EQ(dry.Snapshot(), bytes_before);
  EXPECT_EQ(Stamps(dry.path()), stamps_before);

  const ProgramResult real_json =
      RunOrFail(VORN_CLI_PATH, with({"--format", "json"}), real.path());
  // Some pages of the site cannot be updated: both runs say so alike.
  EXPECT_EQ(real_json.exit_status, 3) << real_json.err;
  EXPECT_EQ(diff.exit_status, 3) << diff.err;
  EXPECT_EQ(ReplaceAll(ReplaceAll(dry_json.out, "\"dry_run\": true",
                                  "\"dry_run\": false"),
                       "would be inserted", "was inserted"),
            real_json.out);

  ASSERT_TRUE(work.Write("site.diff", diff.out));
  const ProgramResult patch =
      RunOrFail("/usr/bin/patch", {"-s", "-p1", "-i", work.Path("site.diff")},
                dry.path());
  EXPECT_EQ(patch.exit_status, 0) << patch.out << patch.err;
  EXPECT_EQ(WithoutDates(dry.Snapshot()), WithoutDates(real.Snapshot()));
}

}  // namespace
}  // namespace vorn
