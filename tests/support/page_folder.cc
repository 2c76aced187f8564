#include "tests/support/page_folder.h"

#include <dirent.h>
#include <gtest/gtest.h>
#include <stdlib.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <sstream>

namespace vorn {
namespace {

// Gives the owner every permission again on `folder` and the folders below
// it, which some tests take away, so that the tree can be removed.
void MakeRemovable(const std::filesystem::path& folder) {
  namespace fs = std::filesystem;
  std::error_code ignored;
  fs::permissions(folder, fs::perms::owner_all, fs::perm_options::add, ignored);
  for (const auto& entry : fs::directory_iterator(folder, ignored))
    if (entry.is_directory(ignored) && !entry.is_symlink(ignored))
      MakeRemovable(entry.path());
}

}  // namespace

PageFolder::PageFolder() {
  std::string pattern = ::testing::TempDir() + "vorn_pages_XXXXXX";
  if (::mkdtemp(pattern.data()) == nullptr) {
    std::fprintf(stderr, "mkdtemp %s: %s\n", pattern.c_str(),
                 std::strerror(errno));
    std::abort();
  }
  path_ = pattern;
}

PageFolder::~PageFolder() {
  MakeRemovable(path_);
  std::error_code ignored;
  std::filesystem::remove_all(path_, ignored);
}

std::string PageFolder::Path(std::string_view name) const {
  return path_ + "/" + std::string(name);
}

bool PageFolder::Write(std::string_view name, std::string_view bytes) const {
  std::ofstream out(Path(name), std::ios::binary | std::ios::trunc);
  out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
  out.close();
  return out.good();
}

std::optional<std::string> PageFolder::Read(std::string_view name) const {
  return ReadWholeFile(Path(name));
}

std::vector<std::string> PageFolder::List() const { return List(""); }

std::vector<std::string> PageFolder::List(std::string_view sub) const {
  std::vector<std::string> names;
  const std::string folder = sub.empty() ? path_ : Path(sub);
  if (DIR* dir = ::opendir(folder.c_str())) {
    while (const dirent* entry = ::readdir(dir)) {
      const std::string name = entry->d_name;
      if (name != "." && name != "..") names.push_back(name);
    }
    ::closedir(dir);
  }
  std::sort(names.begin(), names.end());
  return names;
}

std::optional<std::string> ReadWholeFile(const std::string& path) {
  struct stat st;
  if (::stat(path.c_str(), &st) != 0 || !S_ISREG(st.st_mode))
    return std::nullopt;
  std::ifstream in(path, std::ios::binary);
  if (!in) return std::nullopt;
  std::ostringstream bytes;
  bytes << in.rdbuf();
  if (in.bad()) return std::nullopt;
  return bytes.str();
}

std::string JoinNames(const std::vector<std::string>& names) {
  std::string joined;
  for (const std::string& name : names) {
    if (!joined.empty()) joined += ", ";
    joined += name;
  }
  return joined;
}

bool RunningAsRoot() { return ::geteuid() == 0; }

}  // namespace vorn
