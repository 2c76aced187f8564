#include "tests/support/page_folder.h"

#include <gtest/gtest.h>
#include <stdlib.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <sstream>

namespace vorn {
namespace {

namespace fs = std::filesystem;

// Gives the owner every permission again on `folder` and the folders below
// it, which some tests take away, so that the tree can be removed.
void MakeRemovable(const fs::path& folder) {
  std::error_code ignored;
  fs::permissions(folder, fs::perms::owner_all, fs::perm_options::add, ignored);
  for (const auto& entry : fs::directory_iterator(folder, ignored))
    if (entry.is_directory(ignored) && !entry.is_symlink(ignored))
      MakeRemovable(entry.path());
}

}  // namespace

PageFolder::PageFolder(const std::string& base) {
  std::string pattern =
      (base.empty() ? ::testing::TempDir() : base + "/") + "vorn_pages_XXXXXX";
  if (::mkdtemp(pattern.data()) == nullptr) {
    std::perror(pattern.c_str());
    std::abort();
  }
  path_ = pattern;
}

PageFolder::~PageFolder() {
  MakeRemovable(path_);
  std::error_code ignored;
  fs::remove_all(path_, ignored);
}

std::string PageFolder::Path(std::string_view name) const {
  return path_ + "/" + std::string(name);
}

bool PageFolder::Write(std::string_view name, std::string_view bytes) const {
  std::error_code ignored;
  fs::create_directories(fs::path(Path(name)).parent_path(), ignored);
  return WriteWholeFile(Path(name), bytes);
}

bool PageFolder::MakeFolder(std::string_view name) const {
  std::error_code ec;
  fs::create_directories(Path(name), ec);
  return !ec;
}

std::optional<std::string> PageFolder::Read(std::string_view name) const {
  return ReadWholeFile(Path(name));
}

std::vector<std::string> PageFolder::List() const {
  std::vector<std::string> names;
  std::error_code ec;
  for (const auto& entry : fs::directory_iterator(path_, ec))
    names.push_back(entry.path().filename().string());
  std::sort(names.begin(), names.end());
  return names;
}

std::map<std::string, std::string> PageFolder::Snapshot() const {
  return SnapshotOf(path_);
}

std::optional<std::string> ReadWholeFile(const std::string& path) {
  std::error_code ec;
  if (!fs::is_regular_file(path, ec)) return std::nullopt;
  std::ifstream in(path, std::ios::binary);
  if (!in) return std::nullopt;
  std::ostringstream bytes;
  bytes << in.rdbuf();
  if (in.bad()) return std::nullopt;
  return bytes.str();
}

bool WriteWholeFile(const std::string& path, std::string_view bytes) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
  out.close();
  return out.good();
}

std::map<std::string, std::string> SnapshotOf(const std::string& root) {
  std::map<std::string, std::string> entries;
  std::error_code ec;
  for (auto it = fs::recursive_directory_iterator(root, ec);
       !ec && it != fs::recursive_directory_iterator(); it.increment(ec)) {
    const std::string name = it->path().lexically_relative(root).string();
    if (it->is_symlink())
      entries[name] = "link to " + fs::read_symlink(it->path()).string();
    else if (it->is_directory())
      entries[name] = "folder";
    else
      entries[name] = ReadWholeFile(it->path().string()).value_or("unreadable");
  }
  EXPECT_FALSE(ec) << root << ": " << ec.message();
  return entries;
}

std::string MemoryTempDir() {
  return ::access("/dev/shm", W_OK | X_OK) == 0 ? "/dev/shm"
                                                : ::testing::TempDir();
}

}  // namespace vorn
