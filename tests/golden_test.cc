// Whole outputs of the real vorn-cli over the pages and folders of
// tests/data; its README gives the file conventions. With
// VORN_UPDATE_GOLDEN=1 the expected files are written instead of compared.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <sstream>

#include "tests/support/page_folder.h"
#include "tests/support/run_program.h"

namespace vorn {
namespace {

namespace fs = std::filesystem;
using Files = std::map<std::string, std::string>;

const std::string kData = std::string(VORN_SOURCE_DIR) + "/tests/data";
const bool kUpdate = std::getenv("VORN_UPDATE_GOLDEN") != nullptr &&
                     std::string(std::getenv("VORN_UPDATE_GOLDEN")) == "1";

// Outputs beside the text one: the suffix of the expected file after the
// command's name, and the arguments that make them. They are compared only
// where the expected file exists.
struct Variant {
  const char* suffix;
  std::vector<std::string> args;
};
const Variant kPageVariants[] = {
    {"", {}}, {".json", {"--format", "json"}}, {".tsv", {"--format", "tsv"}}};
const Variant kFolderVariants[] = {{".json", {"--format", "json"}},
                                   {".tsv", {"--format", "tsv"}},
                                   {".dry-run", {"--dry-run"}},
                                   {".diff", {"--dry-run", "--diff"}}};

// `vorn-cli OPTIONS EXTRA command path` in `folder`, the options from
// NAME.args: stdout, then the exit status and stderr unless 0 and empty.
std::string RunCli(const fs::path& input, const std::string& command,
                   const std::string& folder,
                   const std::vector<std::string>& extra = {}) {
  std::vector<std::string> args;
  std::istringstream options(
      ReadWholeFile(fs::path(input).replace_extension(".args")).value_or(""));
  for (std::string line; std::getline(options, line);)
    args.push_back(ReplaceAll(line, "{DATA}", kData));
  args.insert(args.end(), extra.begin(), extra.end());
  args.insert(args.end(), {command, input.filename()});
  const ProgramResult r = RunOrFail(VORN_CLI_PATH, args, folder);
  std::string shown = r.out;
  if (r.exit_status != 0 || !r.err.empty())
    shown += "\n[exit " + std::to_string(r.exit_status) + "]\n" + r.err;
  return WithoutTodaysDate(ReplaceAll(shown, folder, "{TMP}"));
}

void Compare(const std::string& actual, const fs::path& expected) {
  if (kUpdate) {
    ASSERT_TRUE(WriteWholeFile(expected, actual)) << expected;
  } else {
    EXPECT_EQ(actual, ReadWholeFile(expected).value_or("(no file)"))
        << expected;
  }
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
  for (const auto& entry : fs::directory_iterator(kData)) {
    const fs::path& page = entry.path();
    if (!entry.is_regular_file() ||
        (page.extension() != ".htm" && page.extension() != ".html"))
      continue;
    const std::string bytes = ReadWholeFile(page).value_or("");
    PageFolder folder;
    ASSERT_TRUE(folder.Write(page.filename().string(), bytes));
    for (const char* command : {"list", "tag", "show"}) {
      for (const Variant& v : kPageVariants) {
        const fs::path expected =
            fs::path(page).replace_extension(command + std::string(v.suffix));
        if (*v.suffix != '\0' && !fs::exists(expected)) continue;
        Compare(RunCli(page, command, folder.path(), v.args), expected);
      }
    }
    EXPECT_EQ(folder.Snapshot(), (Files{{page.filename(), bytes}})) << page;
  }
}

// A copy of the folder `site` in `folder`; its path.
std::string CopyInto(const PageFolder& folder, const fs::path& site) {
  const std::string copy = folder.Path(site.filename().string());
  fs::copy(site, copy, fs::copy_options::recursive);
  return copy;
}

// The numbers of workers every run is made with: the outputs and files
// must not depend on it.
const char* const kJobs[] = {"1", "2", "8"};

// A run over a fresh copy of each folder: the report in NAME.run, and the
// files it wrote or changed in NAME.after. A run removes no file.
TEST(GoldenTest, RunEachFolder) {
  for (const auto& entry : fs::directory_iterator(kData))
    for (const char* jobs : kJobs) {
      const fs::path& site = entry.path();
      if (!entry.is_directory() || site.extension() == ".after") continue;
      if (kUpdate && std::string(jobs) != "1") continue;
      SCOPED_TRACE(std::string("--jobs ") + jobs);
      PageFolder folder;
      const std::string copy = CopyInto(folder, site);
      const Files before = SnapshotOf(copy);
      Compare(RunCli(site, "run", folder.path(), {"--jobs", jobs}),
              fs::path(site).replace_extension(".run"));
      const Files after = SnapshotOf(copy);
      for (const auto& [file, bytes] : before)
        EXPECT_TRUE(after.count(file)) << site << ": " << file << " removed";
      const Files changed = Changed(before, after);
      const std::string expected = site.string() + ".after";
      if (!kUpdate) {
        const Files stored =
            fs::exists(expected) ? SnapshotOf(expected) : Files{};
        EXPECT_EQ(changed, Changed({}, stored)) << expected;
        continue;
      }
      fs::remove_all(expected);
      for (const auto& [file, bytes] : changed) {
        fs::create_directories(fs::path(expected + "/" + file).parent_path());
        ASSERT_TRUE(WriteWholeFile(expected + "/" + file, bytes)) << file;
      }
    }
}

// The other outputs of a run (NAME.run.json, NAME.dry-run, ...), each over
// a fresh copy; a dry run leaves the copy as it was.
TEST(GoldenTest, RunVariantsOfEachFolder) {
  for (const auto& entry : fs::directory_iterator(kData)) {
    const fs::path& site = entry.path();
    if (!entry.is_directory() || site.extension() == ".after") continue;
    for (const Variant& v : kFolderVariants)
      for (const char* jobs : kJobs) {
        const std::string suffix = v.suffix;
        const fs::path expected =
            site.string() + (suffix.starts_with(".d") ? "" : ".run") + suffix;
        if (!fs::exists(expected)) continue;
        if (kUpdate && std::string(jobs) != "1") continue;
        SCOPED_TRACE(std::string("--jobs ") + jobs);
        PageFolder folder;
        const std::string copy = CopyInto(folder, site);
        const Files before = SnapshotOf(copy);
        std::vector<std::string> args = v.args;
        args.insert(args.end(), {"--jobs", jobs});
        Compare(RunCli(site, "run", folder.path(), args), expected);
        if (suffix.starts_with(".d")) {
          EXPECT_EQ(SnapshotOf(copy), before) << expected;
        }
      }
  }
}

}  // namespace
}  // namespace vorn
