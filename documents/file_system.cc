#include "documents/file_system.h"

#include "support/files.h"

namespace vorn {
namespace {

std::string FolderOf(const std::string& path) {
  const std::size_t sep = path.rfind(kPathSeparator);
  if (sep == std::string::npos) return ".";
  if (sep == 0) return std::string(1, kPathSeparator);
  return path.substr(0, sep);
}

std::string NameOf(const std::string& path) {
  const std::size_t sep = path.rfind(kPathSeparator);
  return sep == std::string::npos ? path : path.substr(sep + 1);
}

// Puts the old content under `backup_path`: a hard link to the document
// when the file system allows one, else a copy; either is made under a
// unique name and renamed into place, so an earlier backup is replaced in
// one step.
Status MakeBackup(FileSystem& fs, const std::string& document,
                  std::string_view old_bytes, const FileInfo& info,
                  const std::string& backup_path) {
  const std::string folder = FolderOf(backup_path);
  const std::string prefix = "." + NameOf(backup_path) + ".vorn-";
  // A link never replaces a file, so a name taken meanwhile only sends us
  // to the copy.
  std::string staged = RandomName(folder, prefix);
  if (!fs.HardLink(document, staged).ok()) {
    if (Status s = WriteAside(fs, folder, prefix, old_bytes, info, &staged);
        !s.ok())
      return s;
  }
  if (Status s = fs.Rename(staged, backup_path); !s.ok()) {
    (void)fs.Remove(staged);
    return s;
  }
  return Status::Ok();
}

}  // namespace

Status ReplaceDocument(FileSystem& fs, const std::string& path,
                       std::string_view old_bytes, std::string_view new_bytes,
                       const std::string& backup_path) {
  std::string target;
  if (Status s = fs.ResolveLinks(path, &target); !s.ok()) return s;
  FileInfo info;
  if (Status s = fs.Stat(target, &info); !s.ok()) return s;
  const std::string folder = FolderOf(target);

  std::string temp;
  if (Status s = WriteAside(fs, folder, "." + NameOf(target) + ".vorn-",
                            new_bytes, info, &temp);
      !s.ok())
    return s;  // the document is untouched so far
  if (!backup_path.empty()) {
    if (Status s = MakeBackup(fs, target, old_bytes, info, backup_path);
        !s.ok()) {
      (void)fs.Remove(temp);
      return s;
    }
  }
  if (Status s = fs.Rename(temp, target); !s.ok()) {
    (void)fs.Remove(temp);
    return s;
  }
  // The rename has happened and cannot be taken back; a failure to flush
  // the folder only means it may not yet be on the disk.
  (void)fs.SyncFolder(folder);
  return Status::Ok();
}

}  // namespace vorn
