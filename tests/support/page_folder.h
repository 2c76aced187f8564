// A fresh folder for tests that write files, removed with everything in it
// when the object goes away, with helpers to write, read and list files,
// and the plain file helpers the tests share.
#ifndef VORN_TESTS_SUPPORT_PAGE_FOLDER_H_
#define VORN_TESTS_SUPPORT_PAGE_FOLDER_H_

#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace vorn {

class PageFolder {
 public:
  // Creates a new folder below `base` (empty: the test temporary folder);
  // aborts the test program when that fails.
  explicit PageFolder(const std::string& base = "");
  // Gives back any permission a test took away, then removes the folder.
  ~PageFolder();
  PageFolder(const PageFolder&) = delete;
  PageFolder& operator=(const PageFolder&) = delete;

  // The folder, without a trailing separator.
  const std::string& path() const { return path_; }
  // The full path of `name` (which may hold "/") in the folder.
  std::string Path(std::string_view name) const;

  // Writes `bytes` to `name` (replacing it), creating the folders on the
  // way; false on failure.
  bool Write(std::string_view name, std::string_view bytes) const;
  // Creates the folder `name` and the folders on the way; false on failure.
  bool MakeFolder(std::string_view name) const;
  // The bytes of `name`, or nothing when it cannot be read.
  std::optional<std::string> Read(std::string_view name) const;
  // The names in the folder (not "." and ".."), sorted.
  std::vector<std::string> List() const;
  // Every entry below the folder by its relative path: a file as its
  // bytes, a folder as "folder", a symbolic link as "link to " + target.
  std::map<std::string, std::string> Snapshot() const;

 private:
  std::string path_;
};

// The bytes of a file, or nothing.
std::optional<std::string> ReadWholeFile(const std::string& path);
// Writes `bytes` to `path`, replacing it; false on failure.
bool WriteWholeFile(const std::string& path, std::string_view bytes);
// The entries below `root` as PageFolder::Snapshot gives them.
std::map<std::string, std::string> SnapshotOf(const std::string& root);

// A folder in memory (/dev/shm) where there is one, else the test
// temporary folder: for tests that make and remove thousands of files,
// which a disk mounted with online discard makes slow.
std::string MemoryTempDir();

}  // namespace vorn

#endif  // VORN_TESTS_SUPPORT_PAGE_FOLDER_H_
