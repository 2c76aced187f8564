// Files, folders and paths. Paths use the platform's separator; nothing here
// keeps state between calls.
#ifndef VORN_SUPPORT_FILES_H_
#define VORN_SUPPORT_FILES_H_

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace vorn {

class FileSystem;  // support/file_system.h

inline constexpr char kPathSeparator = '/';

// A regular file (or a link to one) exists at `path`.
bool FileExists(const std::string& path);

// A folder (or a link to one) exists at `path`.
bool FolderExists(const std::string& path);

// The path up to and including its last separator, with NormaliseDriveCase
// applied; empty when the path holds no separator.
std::string FolderOfPath(std::string_view path);

// The text with its first character upper-cased and the rest lower-cased
// when its second character is ":" (a drive letter); otherwise unchanged.
std::string NormaliseDriveCase(std::string_view text);

// A path as texts show it: file names on this platform are UTF-8 and are
// shown as they are; a name that is not valid UTF-8 is shown as if its
// bytes were Windows-1252.
std::string PathForDisplay(std::string_view path);

// Replaces (or creates) the file at `path` with `bytes` safely: written to a
// temporary file of a unique name in the same folder, flushed, closed and
// renamed over `path`, every step checked; an existing file keeps its
// permissions. Returns the empty text on success, else the system's
// description of the error; on failure the file at `path` is as it was and
// no temporary file remains. Without `fs`, the real file system.
std::string WriteFileReplacing(const std::string& path, std::string_view bytes);
std::string WriteFileReplacing(FileSystem& fs, const std::string& path,
                               std::string_view bytes);

// The whole content of a file. On failure returns nothing and stores the
// system's description of the error in `*error` (when given).
std::optional<std::string> ReadFileBytes(const std::string& path,
                                         std::string* error = nullptr);

// The files this process may still open: its limit of open files less
// those open now. Very large when there is no limit.
std::size_t FreeFileDescriptors();

// The folder of the running executable, without a trailing separator.
std::string ExecutableFolder();

// "The program's folder": where the data files (common-word lists, program
// texts) are read from. The executable's folder when it holds them (the
// build tree), else the data folder at its installed place relative to the
// executable (../share/vorn from bin/), else the data folder of the
// configured install prefix.
std::string ProgramFolder();

// The per-user configuration folder: $XDG_CONFIG_HOME, else ~/.config;
// empty when neither can be found.
std::string UserConfigFolder();

// Full path of `file` in the subfolder `sub` of the per-user configuration
// folder; the subfolder is created (one level) when missing.
std::string AppDataFilePath(std::string_view file, std::string_view sub);

// Wildcard match of a file name against a pattern such as "*.htm": the
// name and the pattern are split at their last "." and the parts matched
// with MatchPart. A name holding "?", "*", ":" or a separator never
// matches.
bool MatchFileName(std::string_view name, std::string_view pattern,
                   bool case_sensitive);

// "*" and "?" wildcard match of one part. The star takes the first place
// where the next literal character occurs and never tries a later one.
bool MatchPart(std::string_view text, std::string_view pattern,
               bool case_sensitive);

}  // namespace vorn

#endif  // VORN_SUPPORT_FILES_H_
