// The file operations that reading and rewriting a page need, behind an
// interface so that tests can make any one of them fail. Every call reports
// failure as a Status holding the system's description of the error.
#ifndef VORN_SUPPORT_FILE_SYSTEM_H_
#define VORN_SUPPORT_FILE_SYSTEM_H_

#include <sys/types.h>

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace vorn {

class Status {
 public:
  static Status Ok() { return Status(); }
  static Status Error(std::string message) {
    Status s;
    s.ok_ = false;
    s.message_ = std::move(message);
    return s;
  }
  // The current errno as an error, after `what`: "what: No space left".
  static Status FromErrno(std::string_view what);

  bool ok() const { return ok_; }
  const std::string& message() const { return message_; }
  // The errno of an error made by FromErrno, else 0.
  int error_number() const { return error_number_; }

 private:
  bool ok_ = true;
  std::string message_;
  int error_number_ = 0;
};

struct FileInfo {
  mode_t mode = 0644;                  // permission bits
  uid_t uid = static_cast<uid_t>(-1);  // -1: leave the owner as it is
  gid_t gid = static_cast<gid_t>(-1);
  // Identity and state, as Stat finds them.
  dev_t device = 0;
  ino_t inode = 0;
  nlink_t links = 1;    // names the file has (hard links)
  bool regular = true;  // a regular file (not a folder, device, ...)
  std::int64_t size = 0;
  std::int64_t modified_ns = 0;  // modification time, ns since 1970
  std::int64_t changed_ns = 0;   // status change time, ns since 1970
};

// The same file (device and inode) with the same size, modification and
// status change times and number of names: nothing has written to it,
// renamed it away or linked it since `a` was taken.
bool SameFileAndState(const FileInfo& a, const FileInfo& b);

// One entry of a folder. A symbolic link has `link` set and the kind of
// what it leads to (kOther when it leads nowhere).
struct FolderEntry {
  enum Kind { kFile, kFolder, kOther };
  std::string name;
  Kind kind = kOther;
  bool link = false;
};

class FileSystem {
 public:
  virtual ~FileSystem() = default;

  // The whole content of a regular file.
  virtual Status ReadFile(const std::string& path, std::string* bytes) = 0;
  // Permissions, owner, identity and state of a file (links followed).
  virtual Status Stat(const std::string& path, FileInfo* info) = 0;
  // The entries of a folder, "." and ".." left out, in no set order.
  virtual Status ListFolder(const std::string& folder,
                            std::vector<FolderEntry>* entries) = 0;
  // The path that symbolic links at `path` lead to (itself if none).
  virtual Status ResolveLinks(const std::string& path, std::string* target) = 0;
  // Creates a new empty file with a unique name in `folder` beginning with
  // `prefix`; stores an open handle and the full name. The file is locked
  // (flock) while the handle is open, so that RemoveIfAbandoned leaves it.
  virtual Status CreateUniqueFile(const std::string& folder,
                                  const std::string& prefix, int* handle,
                                  std::string* path) = 0;
  // Writes all of `bytes` (partial writes are continued).
  virtual Status Write(int handle, std::string_view bytes) = 0;
  // Gives the file the permissions (and, where allowed, the owner) of `like`.
  virtual Status SetInfo(int handle, const FileInfo& like) = 0;
  // Copies the extended attributes of the file `from` (user attributes,
  // POSIX ACLs, security labels) to the open file. Where a file system
  // does not support them, succeeds and sets `*unsupported`.
  virtual Status CopyAttributes(const std::string& from, int handle,
                                bool* unsupported) = 0;
  // Flushes the file's data to the disk.
  virtual Status Sync(int handle) = 0;
  virtual Status Close(int handle) = 0;
  // Atomically puts `from` in the place of `to`.
  virtual Status Rename(const std::string& from, const std::string& to) = 0;
  virtual Status Remove(const std::string& path) = 0;
  // Flushes a folder's entries (a rename in it) to the disk.
  virtual Status SyncFolder(const std::string& folder) = 0;
  // Removes `path` when it is a regular file (not a link) last modified
  // before `before_ns` (ns since 1970) that no process holds locked as
  // CreateUniqueFile locks its files; `*removed` tells whether it did.
  // A file kept for either reason is no failure.
  virtual Status RemoveIfAbandoned(const std::string& path,
                                   std::int64_t before_ns, bool* removed) = 0;
};

// The real file system (POSIX calls, every result checked).
FileSystem& DefaultFileSystem();

// Writes `bytes` into a new file of a unique name in `folder` (beginning
// with `prefix`), gives it the permissions and owner of `like` and, when
// `attributes_of` is not empty, the extended attributes of that file,
// flushes it to the disk and closes it; stores its name in `*written`.
// Attributes the file system does not support set `*attributes_unsupported`
// (when given) and are no failure. On failure nothing remains.
[[nodiscard]] Status WriteAside(FileSystem& fs, const std::string& folder,
                                const std::string& prefix,
                                std::string_view bytes, const FileInfo& like,
                                std::string* written,
                                const std::string& attributes_of = "",
                                bool* attributes_unsupported = nullptr);

// A name for a file in `folder` that is very unlikely to exist:
// folder/prefix + 16 hex digits + ".tmp".
std::string RandomName(const std::string& folder, const std::string& prefix);

}  // namespace vorn

#endif  // VORN_SUPPORT_FILE_SYSTEM_H_
