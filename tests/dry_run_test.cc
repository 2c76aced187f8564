// A dry run over a copy of a real site: it leaves every byte, time stamp
// and file of the tree as it was, its outcomes are those of the real run,
// and its diff applied with patch gives exactly the files the real run
// writes.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <filesystem>
#include <map>

#include "tests/support/page_folder.h"
#include "tests/support/run_program.h"

namespace vorn {
namespace {

namespace fs = std::filesystem;
using Files = std::map<std::string, std::string>;

// The sample site, the folder of every outcome as a subfolder, and the
// real pages of tests/data: copied to `root`/site.
void CopySite(const std::string& root) {
  const std::string data = std::string(VORN_SOURCE_DIR) + "/tests/data";
  const fs::path site = root + "/site";
  fs::copy(data + "/example-site", site, fs::copy_options::recursive);
  fs::copy(data + "/run-mixed", site / "mixed", fs::copy_options::recursive);
  fs::create_directory(site / "pages");
  for (const auto& entry : fs::directory_iterator(data))
    if (entry.path().extension() == ".html")
      fs::copy(entry.path(), site / "pages");
}

// Every entry with its inode, mode, size, and its times of change and of
// change of status (which any write, rename or chmod moves).
Files Stamps(const std::string& root) {
  Files stamps;
  for (const auto& entry : fs::recursive_directory_iterator(root)) {
    struct stat st {};
    EXPECT_EQ(::lstat(entry.path().c_str(), &st), 0) << entry.path();
    for (const long n : {long(st.st_ino), long(st.st_mode), long(st.st_size),
                         st.st_mtim.tv_sec, st.st_mtim.tv_nsec,
                         st.st_ctim.tv_sec, st.st_ctim.tv_nsec})
      stamps[entry.path()] += std::to_string(n) + " ";
  }
  return stamps;
}

Files WithoutDates(Files files) {
  for (auto& [name, bytes] : files) bytes = WithoutTodaysDate(bytes);
  return files;
}

TEST(DryRunTest, ChangesNothingAndItsDiffGivesWhatARealRunWrites) {
  auto run = [](const PageFolder& folder, std::vector<std::string> args) {
    args.insert(args.end(), {"--include-old", "run", "--subfolders", "site"});
    return RunOrFail(VORN_CLI_PATH, args, folder.path());
  };
  PageFolder dry, real, work;
  CopySite(dry.path());
  CopySite(real.path());
  const Files bytes_before = dry.Snapshot();
  const Files stamps_before = Stamps(dry.path());
  const ProgramResult diff = run(dry, {"--dry-run", "--diff"});
  const ProgramResult dry_json = run(dry, {"--dry-run", "--format", "json"});
  EXPECT_EQ(dry.Snapshot(), bytes_before);
  EXPECT_EQ(Stamps(dry.path()), stamps_before);

  const ProgramResult real_json = run(real, {"--format", "json"});
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
