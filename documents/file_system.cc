#include "documents/file_system.h"

#include <cerrno>

#include "support/files.h"

namespace vorn {
namespace {

constexpr std::string_view kTempInfix = ".vorn-";

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

// The prefix of the temporary files made beside `path`.
std::string TempPrefix(const std::string& path) {
  // A name, with the dot before it and the 26 bytes after, fits in the 255
  // bytes a name may have: that of a page named near the limit is cut (at
  // a character's start), or no temporary file could be made for it.
  constexpr std::size_t kLongest = 255 - 1 - 26;
  std::string name = NameOf(path);
  if (name.size() > kLongest) {
    std::size_t cut = kLongest;
    while (cut > 0 && (static_cast<unsigned char>(name[cut]) & 0xC0) == 0x80)
      --cut;
    name.resize(cut);
  }
  return "." + name + std::string(kTempInfix);
}

// Puts the old content under `backup_path`: a copy, made under a unique
// name and renamed into place, so an earlier backup is replaced in one
// step. A copy, not a second name for the page: a failed rewrite must
// leave the page with one name, or the next run would take it for a hard
// link and leave it.
Status MakeBackup(FileSystem& fs, const PageRead& page,
                  const std::string& backup_path) {
  std::string staged;
  if (Status s = WriteAside(fs, FolderOf(backup_path), TempPrefix(backup_path),
                            page.bytes, page.info, &staged, page.target);
      !s.ok())
    return s;
  if (Status s = fs.Rename(staged, backup_path); !s.ok()) {
    (void)fs.Remove(staged);
    return s;
  }
  return Status::Ok();
}

// The page is still the file that was read, in the state it was read in,
// with the same bytes: the times alone can miss a write made within the
// same clock tick.
Status CheckUnchanged(FileSystem& fs, const PageRead& page, bool* unchanged) {
  FileInfo now;
  if (Status s = fs.Stat(page.target, &now); !s.ok()) return s;
  *unchanged = SameFileAndState(page.info, now);
  if (!*unchanged) return Status::Ok();
  std::string bytes;
  if (Status s = fs.ReadFile(page.target, &bytes); !s.ok()) return s;
  *unchanged = bytes == page.bytes;
  return Status::Ok();
}

}  // namespace

Status ReadPage(FileSystem& fs, const std::string& path, PageRead* page) {
  if (Status s = fs.ResolveLinks(path, &page->target); !s.ok()) return s;
  if (Status s = fs.Stat(page->target, &page->info); !s.ok()) return s;
  // Not read: a pipe or a device could block or never end.
  if (!page->info.regular) return Status::Error(page->target + ": not a file");
  return fs.ReadFile(page->target, &page->bytes);
}

Status ReplaceDocument(FileSystem& fs, const PageRead& page,
                       std::string_view new_bytes,
                       const std::string& backup_path, ReplaceNotes* notes) {
  PendingReplacement pending;
  if (Status s =
          WriteReplacement(fs, page, new_bytes, backup_path, &pending, notes);
      !s.ok())
    return s;  // the document is untouched so far
  return SwapReplacement(fs, &pending, notes);
}

Status WriteReplacement(FileSystem& fs, PageRead page,
                        std::string_view new_bytes,
                        const std::string& backup_path,
                        PendingReplacement* pending, ReplaceNotes* notes) {
  pending->temp.clear();
  std::string temp;
  if (Status s = WriteAside(fs, FolderOf(page.target), TempPrefix(page.target),
                            new_bytes, page.info, &temp, page.target,
                            &notes->attributes_unsupported);
      !s.ok())
    return s;
  pending->page = std::move(page);
  pending->temp = std::move(temp);
  pending->backup_path = backup_path;
  return Status::Ok();
}

Status SwapReplacement(FileSystem& fs, PendingReplacement* pending,
                       ReplaceNotes* notes, bool sync_folder) {
  const PageRead& page = pending->page;
  const std::string temp = std::move(pending->temp);
  pending->temp.clear();
  bool unchanged = false;
  Status s = CheckUnchanged(fs, page, &unchanged);
  if (s.ok() && !unchanged) {
    notes->changed = true;
    s = Status::Error(page.target + ": changed since it was read");
  }
  if (s.ok() && !pending->backup_path.empty())
    s = MakeBackup(fs, page, pending->backup_path);
  if (s.ok()) s = fs.Rename(temp, page.target);
  if (!s.ok()) {
    (void)fs.Remove(temp);
    return s;
  }
  // The rename has happened and cannot be taken back; a failure to flush
  // the folder only means it may not yet be on the disk.
  if (sync_folder) (void)fs.SyncFolder(FolderOf(page.target));
  return Status::Ok();
}

void DiscardReplacement(FileSystem& fs, PendingReplacement* pending) {
  if (pending->temp.empty()) return;
  (void)fs.Remove(pending->temp);
  pending->temp.clear();
}

std::string FolderOfPage(const std::string& path) { return FolderOf(path); }

bool IsWithin(std::string_view path, std::string_view folder) {
  if (!folder.empty() && folder.back() == kPathSeparator)
    folder.remove_suffix(1);  // "/" becomes "", inside which all lies
  return path.size() > folder.size() + 1 && path.starts_with(folder) &&
         path[folder.size()] == kPathSeparator;
}

bool IsRewriteLeftoverName(std::string_view name) {
  // "." + a name + ".vorn-" + 16 hex digits + ".tmp"
  constexpr std::size_t kTail = 6 + 16 + 4;
  if (name.size() < 2 + kTail || name[0] != '.' || !name.ends_with(".tmp"))
    return false;
  const std::string_view tail = name.substr(name.size() - kTail);
  if (!tail.starts_with(kTempInfix)) return false;
  for (const char c : tail.substr(kTempInfix.size(), 16))
    if (!((c >= '0' && c <= '9') || (c >= 'a' && c <= 'f'))) return false;
  return true;
}

}  // namespace vorn
