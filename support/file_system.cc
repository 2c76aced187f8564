#include "support/file_system.h"

#include <fcntl.h>
#include <stdlib.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <climits>
#include <cstdio>
#include <cstring>
#include <optional>
#include <random>

#include "support/files.h"

namespace vorn {

Status Status::FromErrno(std::string_view what) {
  const int e = errno;
  Status s = Error(std::string(what) + ": " + std::strerror(e));
  s.error_number_ = e;
  return s;
}

namespace {

class PosixFileSystem : public FileSystem {
 public:
  Status ReadFile(const std::string& path, std::string* bytes) override {
    std::string error;
    std::optional<std::string> read = ReadFileBytes(path, &error);
    if (!read) return Status::Error(error);
    *bytes = std::move(*read);
    return Status::Ok();
  }

  Status Stat(const std::string& path, FileInfo* info) override {
    struct stat st {};
    if (::stat(path.c_str(), &st) != 0) return Status::FromErrno(path);
    info->mode = st.st_mode & 07777;
    info->uid = st.st_uid;
    info->gid = st.st_gid;
    return Status::Ok();
  }

  Status ResolveLinks(const std::string& path, std::string* target) override {
    char resolved[PATH_MAX];
    if (::realpath(path.c_str(), resolved) == nullptr)
      return Status::FromErrno(path);
    *target = resolved;
    return Status::Ok();
  }

  Status CreateUniqueFile(const std::string& folder, const std::string& prefix,
                          int* handle, std::string* path) override {
    for (int attempt = 0; attempt < 100; ++attempt) {
      std::string name = RandomName(folder, prefix);
      const int fd =
          ::open(name.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0600);
      if (fd >= 0) {
        *handle = fd;
        *path = std::move(name);
        return Status::Ok();
      }
      if (errno != EEXIST) return Status::FromErrno(name);
    }
    return Status::Error(folder + ": no unique file name could be made");
  }

  Status Write(int handle, std::string_view bytes) override {
    while (!bytes.empty()) {
      const ssize_t n = ::write(handle, bytes.data(), bytes.size());
      if (n < 0) {
        if (errno == EINTR) continue;
        return Status::FromErrno("write");
      }
      bytes.remove_prefix(static_cast<std::size_t>(n));
    }
    return Status::Ok();
  }

  Status SetInfo(int handle, const FileInfo& like) override {
    // Keeping the owner is possible only for a privileged user; for others
    // the new file already belongs to them, as the old one must have. The
    // owner goes first: a change of owner clears the set-user-ID and
    // set-group-ID bits.
    if (::fchown(handle, like.uid, like.gid) != 0 && errno != EPERM)
      return Status::FromErrno("chown");
    if (::fchmod(handle, like.mode) != 0) return Status::FromErrno("chmod");
    return Status::Ok();
  }

  Status Sync(int handle) override {
    if (::fsync(handle) != 0) return Status::FromErrno("fsync");
    return Status::Ok();
  }

  Status Close(int handle) override {
    if (::close(handle) != 0) return Status::FromErrno("close");
    return Status::Ok();
  }

  Status HardLink(const std::string& from, const std::string& to) override {
    if (::link(from.c_str(), to.c_str()) != 0) return Status::FromErrno(to);
    return Status::Ok();
  }

  Status Rename(const std::string& from, const std::string& to) override {
    if (::rename(from.c_str(), to.c_str()) != 0) return Status::FromErrno(to);
    return Status::Ok();
  }

  Status Remove(const std::string& path) override {
    if (::unlink(path.c_str()) != 0) return Status::FromErrno(path);
    return Status::Ok();
  }

  Status SyncFolder(const std::string& folder) override {
    const int fd = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0) return Status::FromErrno(folder);
    const bool ok = ::fsync(fd) == 0;
    Status s = ok ? Status::Ok() : Status::FromErrno(folder);
    ::close(fd);
    return s;
  }
};

}  // namespace

std::string RandomName(const std::string& folder, const std::string& prefix) {
  static std::mt19937_64 random{std::random_device{}()};
  char suffix[17];
  std::snprintf(suffix, sizeof suffix, "%016llx",
                static_cast<unsigned long long>(random()));
  return folder + kPathSeparator + prefix + suffix + ".tmp";
}

FileSystem& DefaultFileSystem() {
  static PosixFileSystem* fs = new PosixFileSystem;
  return *fs;
}

Status WriteAside(FileSystem& fs, const std::string& folder,
                  const std::string& prefix, std::string_view bytes,
                  const FileInfo& like, std::string* written) {
  int handle = -1;
  std::string path;
  if (Status s = fs.CreateUniqueFile(folder, prefix, &handle, &path); !s.ok())
    return s;
  Status s = fs.Write(handle, bytes);
  if (s.ok()) s = fs.SetInfo(handle, like);
  if (s.ok()) s = fs.Sync(handle);
  // Close even after a failure; a failed close is a failure of its own
  // (the data may not have reached the disk).
  const Status closed = fs.Close(handle);
  if (s.ok()) s = closed;
  if (!s.ok()) {
    (void)fs.Remove(path);
    return s;
  }
  *written = path;
  return Status::Ok();
}

}  // namespace vorn
