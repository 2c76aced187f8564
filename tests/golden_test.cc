// Whole outputs of the real vorn-cli over the pages and folders of
// tests/data (its README gives the file conventions). With
// VORN_UPDATE_GOLDEN=1 the expected files are written instead of compared.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <set>
#include <sstream>

#include "tests/support/page_folder.h"
#include "tests/support/run_program.h"

namespace vorn {
namespace {

namespace fs = std::filesystem;
using Files = std::map<std::string, std::string>;

const std::string kData = std::string(VORN_SOURCE_DIR) + "/tests/data";

bool Updating() {
  const char* update = std::getenv("VORN_UPDATE_GOLDEN");
  return update != nullptr && std::string(update) == "1";
}

// The entries of tests/data in name order; symbolic links are followed.
std::set<fs::path> DataEntries() {
  std::set<fs::path> entries;
  for (const auto& entry : fs::directory_iterator(kData))
    entries.insert(entry.path());
  return entries;
}

// The options in NAME.args, one a line, "{DATA}" standing for tests/data.
std::vector<std::string> Options(const fs::path& input) {
  std::vector<std::string> options;
  std::istringstream lines(
      ReadWholeFile(fs::path(input).replace_extension(".args")).value_or(""));
  for (std::string line; std::getline(lines, line);)
    options.push_back(ReplaceAll(line, "{DATA}", kData));
  return options;
}

// Runs vorn-cli with `options`, `command` and `path` in `folder` and gives
// its stdout, followed by its exit status and stderr unless 0 and empty.
std::string RunCli(std::vector<std::string> options, const std::string& command,
                   const std::string& path, const std::string& folder) {
  options.insert(options.end(), {command, path});
  const ProgramResult r = RunOrFail(VORN_CLI_PATH, options, folder);
  std::string shown = r.out;
  if (r.exit_status != 0 || !r.err.empty())
    shown += "\n[exit " + std::to_string(r.exit_status) + "]\n" + r.err;
  return ReplaceAll(shown, folder, "{TMP}");
}

void Compare(const std::string& actual, const fs::path& expected) {
  if (Updating()) {
    ASSERT_TRUE(WriteWholeFile(expected, actual)) << expected;
    return;
  }
  EXPECT_EQ(actual, ReadWholeFile(expected).value_or("(no such file)"))
      << expected;
}

// The files (not folders) of `after` that are new or differ from `before`.
Files Changed(const Files& before, const Files& after) {
  Files changed;
  for (const auto& [name, bytes] : after)
    if (bytes != "folder" && (!before.count(name) || before.at(name) != bytes))
      changed[name] = WithoutTodaysDate(bytes);
  return changed;
}

TEST(GoldenTest, ListTagAndShowEachPage) {
  for (const fs::path& page : DataEntries()) {
    const std::string ext = page.extension();
    if (!fs::is_regular_file(page) || (ext != ".htm" && ext != ".html"))
      continue;
    const std::string name = page.filename();
    const std::string bytes = *ReadWholeFile(page);
    PageFolder folder;
    ASSERT_TRUE(folder.Write(name, bytes));
    for (const char* command : {"list", "tag", "show"}) {
      Compare(RunCli(Options(page), command, name, folder.path()),
              fs::path(page).replace_extension(command));
    }
    EXPECT_EQ(folder.Snapshot(), (Files{{name, bytes}})) << name;
  }
}

// A run over a fresh copy of each folder: the report in NAME.run, and the
// files it wrote or changed in NAME.after (a run removes nothing).
TEST(GoldenTest, RunEachFolder) {
  for (const fs::path& site : DataEntries()) {
    if (!fs::is_directory(site) || site.extension() == ".after") continue;
    const std::string name = site.filename();
    PageFolder folder;
    fs::copy(site, folder.Path(name), fs::copy_options::recursive);
    const Files before = SnapshotOf(folder.Path(name));
    Compare(RunCli(Options(site), "run", name, folder.path()),
            fs::path(site).replace_extension(".run"));
    const Files after = SnapshotOf(folder.Path(name));
    for (const auto& [file, bytes] : before)
      EXPECT_TRUE(after.count(file)) << name << ": " << file << " removed";
    const Files changed = Changed(before, after);
    const std::string expected = site.string() + ".after";
    if (Updating()) {
      fs::remove_all(expected);
      for (const auto& [file, bytes] : changed) {
        fs::create_directories(fs::path(expected + "/" + file).parent_path());
        ASSERT_TRUE(WriteWholeFile(expected + "/" + file, bytes)) << file;
      }
    } else {
      const Files stored =
          fs::exists(expected) ? SnapshotOf(expected) : Files{};
      EXPECT_EQ(changed, Changed({}, stored)) << expected;
    }
  }
}

}  // namespace
}  // namespace vorn
