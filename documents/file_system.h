// Rewriting a page safely, over the file operations of
// support/file_system.h.
#ifndef VORN_DOCUMENTS_FILE_SYSTEM_H_
#define VORN_DOCUMENTS_FILE_SYSTEM_H_

#include <string>
#include <string_view>

#include "support/file_system.h"

namespace vorn {

// Replaces the content of the document at `path` by `new_bytes`, safely:
// the new content is written to a temporary file of a unique name in the
// document's folder, flushed and closed, then renamed over the document,
// so that at every instant the document holds either its old or its new
// bytes. A symbolic link is followed and its target rewritten; the file
// keeps its permissions. When `backup_path` is not empty the old content
// (`old_bytes`) ends under that name, made before the document is
// replaced. On failure the document is left as it was and no temporary
// file remains.
[[nodiscard]] Status ReplaceDocument(FileSystem& fs, const std::string& path,
                                     std::string_view old_bytes,
                                     std::string_view new_bytes,
                                     const std::string& backup_path);

}  // namespace vorn

#endif  // VORN_DOCUMENTS_FILE_SYSTEM_H_
