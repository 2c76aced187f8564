// Rewriting a page safely, over the file operations of
// support/file_system.h.
#ifndef VORN_DOCUMENTS_FILE_SYSTEM_H_
#define VORN_DOCUMENTS_FILE_SYSTEM_H_

#include <string>
#include <string_view>

#include "support/file_system.h"

namespace vorn {

// A page as read for a rewrite.
struct PageRead {
  std::string target;  // its path with symbolic links resolved
  std::string bytes;
  FileInfo info;  // permissions, identity and state, taken before the read
};

// Reads the page at `path` (a symbolic link is followed) with the state it
// was read in. On failure `*page` is incomplete; what is not a regular file
// is not read (page->info.regular is false).
[[nodiscard]] Status ReadPage(FileSystem& fs, const std::string& path,
                              PageRead* page);

// What a replacement found besides its status.
struct ReplaceNotes {
  // The page was no longer as read just before it would have been
  // replaced: left as it is now, no backup made, nothing else remains.
  bool changed = false;
  // Its extended attributes (ACLs, labels) could not be carried over: the
  // file system does not support them. The page was still replaced.
  bool attributes_unsupported = false;
};

// Replaces the content of the page read as `page` by `new_bytes`, safely:
// the new content is written to a temporary file of a unique name in the
// page's folder (".NAME.vorn-" + 16 hex digits + ".tmp"), given the page's
// owner, permissions and extended attributes, flushed and closed. Just
// before the rename the page is compared with what was read (the same
// file, size, modification and change times to the nanosecond, and the same
// bytes read again): a page saved meanwhile by another program is left
// as it is, with `notes->changed` set and an error returned. Then, when
// `backup_path` is not empty, the old content is put under that name, and
// the temporary file is renamed over the page, so that at every instant
// the page holds either its old or its new bytes. On failure the page is
// left as it is and no temporary file remains.
[[nodiscard]] Status ReplaceDocument(FileSystem& fs, const PageRead& page,
                                     std::string_view new_bytes,
                                     const std::string& backup_path,
                                     ReplaceNotes* notes);

// ReplaceDocument in two steps, so that the slow part (writing and flushing
// the new content) can be done ahead while the swaps happen in a chosen
// order: WriteReplacement leaves the new content in a temporary file beside
// the page, flushed to the disk and closed, and the page untouched;
// SwapReplacement then makes the check, the backup and the rename.
struct PendingReplacement {
  PageRead page;            // the page as read
  std::string temp;         // the temporary file; empty when none is pending
  std::string backup_path;  // empty: no backup
};

// The first step. On failure nothing remains and nothing is pending.
[[nodiscard]] Status WriteReplacement(FileSystem& fs, PageRead page,
                                      std::string_view new_bytes,
                                      const std::string& backup_path,
                                      PendingReplacement* pending,
                                      ReplaceNotes* notes);

// The second step, as ReplaceDocument ends; afterwards nothing is pending.
// With `sync_folder` false the caller flushes the page's folder itself
// (SyncFolder), for example once after several swaps in it.
[[nodiscard]] Status SwapReplacement(FileSystem& fs,
                                     PendingReplacement* pending,
                                     ReplaceNotes* notes,
                                     bool sync_folder = true);

// Gives up a pending replacement: its temporary file is removed and the
// page stays as it is.
void DiscardReplacement(FileSystem& fs, PendingReplacement* pending);

// The folder a page lies in ("." for a bare name).
std::string FolderOfPage(const std::string& path);

// `path` lies inside `folder` (both without links, "." or ".." parts).
bool IsWithin(std::string_view path, std::string_view folder);

// True for the names of the temporary files that rewrites make (also of
// those a killed program left behind): never pages.
bool IsRewriteLeftoverName(std::string_view name);

}  // namespace vorn

#endif  // VORN_DOCUMENTS_FILE_SYSTEM_H_
