#include "support/file_system.h"

#include <dirent.h>
#include <fcntl.h>
#include <stdlib.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <sys/xattr.h>
#include <unistd.h>

#include <cerrno>
#include <climits>
#include <cstdio>
#include <cstring>
#include <optional>
#include <random>
#include <vector>

#include "support/files.h"

namespace vorn {

Status Status::FromErrno(std::string_view what) {
  const int e = errno;
  Status s = Error(std::string(what) + ": " + std::strerror(e));
  s.error_number_ = e;
  return s;
}

bool SameFileAndState(const FileInfo& a, const FileInfo& b) {
  return a.device == b.device && a.inode == b.inode && a.links == b.links &&
         a.size == b.size && a.modified_ns == b.modified_ns &&
         a.changed_ns == b.changed_ns;
}

namespace {

std::int64_t Nanoseconds(const struct timespec& t) {
  return static_cast<std::int64_t>(t.tv_sec) * 1000000000 + t.tv_nsec;
}

FileInfo InfoOf(const struct stat& st) {
  FileInfo info;
  info.mode = st.st_mode & 07777;
  info.uid = st.st_uid;
  info.gid = st.st_gid;
  info.device = st.st_dev;
  info.inode = st.st_ino;
  info.links = st.st_nlink;
  info.regular = S_ISREG(st.st_mode);
  info.size = st.st_size;
  info.modified_ns = Nanoseconds(st.st_mtim);
  info.changed_ns = Nanoseconds(st.st_ctim);
  return info;
}

bool Unsupported(int error_number) {
  return error_number == ENOTSUP || error_number == EOPNOTSUPP;
}

// The names of the extended attributes of `path`, NUL-separated; the list
// can grow between the two calls, hence the loop.
Status AttributeNames(const std::string& path, std::string* names) {
  for (;;) {
    const ssize_t size = ::listxattr(path.c_str(), nullptr, 0);
    if (size < 0) return Status::FromErrno(path);
    names->assign(static_cast<std::size_t>(size), '\0');
    if (size == 0) return Status::Ok();
    const ssize_t got = ::listxattr(path.c_str(), names->data(), names->size());
    if (got >= 0) {
      names->resize(static_cast<std::size_t>(got));
      return Status::Ok();
    }
    if (errno != ERANGE) return Status::FromErrno(path);
  }
}

Status AttributeValue(const std::string& path, const char* name,
                      std::string* value) {
  for (;;) {
    const ssize_t size = ::getxattr(path.c_str(), name, nullptr, 0);
    if (size < 0) return Status::FromErrno(path);
    value->assign(static_cast<std::size_t>(size), '\0');
    if (size == 0) return Status::Ok();
    const ssize_t got =
        ::getxattr(path.c_str(), name, value->data(), value->size());
    if (got >= 0) {
      value->resize(static_cast<std::size_t>(got));
      return Status::Ok();
    }
    if (errno != ERANGE) return Status::FromErrno(path);
  }
}

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
    *info = InfoOf(st);
    return Status::Ok();
  }

  Status ListFolder(const std::string& folder,
                    std::vector<FolderEntry>* entries) override {
    DIR* dir = ::opendir(folder.c_str());
    if (dir == nullptr) return Status::FromErrno(folder);
    entries->clear();
    errno = 0;
    while (const dirent* d = ::readdir(dir)) {
      const std::string_view name = d->d_name;
      if (name == "." || name == "..") continue;
      FolderEntry entry;
      entry.name = name;
      struct stat st {};
      const int examined =
          ::fstatat(::dirfd(dir), d->d_name, &st, AT_SYMLINK_NOFOLLOW);
      if (examined != 0 && errno == EACCES) {
        // A folder that may be read but not searched: its names are there,
        // what they are is not. Listed, its pages would vanish unreported.
        const Status s = Status::FromErrno(folder);
        ::closedir(dir);
        return s;
      }
      if (examined == 0) {
        entry.link = S_ISLNK(st.st_mode);
        if (entry.link && ::fstatat(::dirfd(dir), d->d_name, &st, 0) != 0)
          st.st_mode = 0;  // leads nowhere
        entry.kind = S_ISREG(st.st_mode)   ? FolderEntry::kFile
                     : S_ISDIR(st.st_mode) ? FolderEntry::kFolder
                                           : FolderEntry::kOther;
      }
      entries->push_back(std::move(entry));
      errno = 0;
    }
    const Status s = errno != 0 ? Status::FromErrno(folder) : Status::Ok();
    ::closedir(dir);
    return s;
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
        // A new file: nobody else can hold the lock, so this cannot block.
        (void)::flock(fd, LOCK_EX | LOCK_NB);
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

  Status CopyAttributes(const std::string& from, int handle,
                        bool* unsupported) override {
    std::string names;
    if (Status s = AttributeNames(from, &names); !s.ok()) {
      if (!Unsupported(s.error_number())) return s;
      *unsupported = true;
      return Status::Ok();
    }
    for (std::size_t at = 0; at < names.size();) {
      const std::string name = names.c_str() + at;
      at += name.size() + 1;
      std::string value;
      if (Status s = AttributeValue(from, name.c_str(), &value); !s.ok()) {
        if (s.error_number() == ENODATA) continue;  // removed meanwhile
        return s;
      }
      if (::fsetxattr(handle, name.c_str(), value.data(), value.size(), 0) !=
          0) {
        if (!Unsupported(errno)) return Status::FromErrno("setxattr " + name);
        *unsupported = true;
      }
    }
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

  Status RemoveIfAbandoned(const std::string& path, std::int64_t before_ns,
                           bool* removed) override {
    *removed = false;
    const int fd =
        ::open(path.c_str(), O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) {
      // A link, or gone meanwhile: not ours to remove.
      if (errno == ELOOP || errno == ENOENT) return Status::Ok();
      return Status::FromErrno(path);
    }
    Status s = Status::Ok();
    struct stat st {};
    if (::fstat(fd, &st) != 0) {
      s = Status::FromErrno(path);
    } else if (S_ISREG(st.st_mode) && Nanoseconds(st.st_mtim) < before_ns &&
               ::flock(fd, LOCK_EX | LOCK_NB) == 0) {
      // The lock is held while the name goes, so a writer that locks it
      // only now finds its file gone at its rename, and fails cleanly.
      if (::unlink(path.c_str()) == 0)
        *removed = true;
      else if (errno != ENOENT)
        s = Status::FromErrno(path);
    }
    ::close(fd);
    return s;
  }
};

}  // namespace

std::string RandomName(const std::string& folder, const std::string& prefix) {
  // One generator per thread: folder runs write pages from several.
  thread_local std::mt19937_64 random{std::random_device{}()};
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
                  const FileInfo& like, std::string* written,
                  const std::string& attributes_of,
                  bool* attributes_unsupported) {
  int handle = -1;
  std::string path;
  if (Status s = fs.CreateUniqueFile(folder, prefix, &handle, &path); !s.ok())
    return s;
  Status s = fs.Write(handle, bytes);
  if (s.ok()) s = fs.SetInfo(handle, like);
  // After the owner: a change of owner drops a file capability attribute.
  if (s.ok() && !attributes_of.empty()) {
    bool unsupported = false;
    s = fs.CopyAttributes(attributes_of, handle, &unsupported);
    if (unsupported && attributes_unsupported != nullptr)
      *attributes_unsupported = true;
  }
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
