#include "support/files.h"

#include <fcntl.h>
#include <sys/mman.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <filesystem>
#include <system_error>

#include "support/cp1252.h"
#include "support/file_system.h"
#include "support/unicode.h"

namespace vorn {
namespace {

// The system's description of an error number, as strerror gives it.
std::string ErrorText(int error_number) {
  return std::system_category().message(error_number);
}

bool StatIs(const std::string& path, mode_t type) {
  struct stat st;
  return !path.empty() && ::stat(path.c_str(), &st) == 0 &&
         (st.st_mode & S_IFMT) == type;
}

// Lower case of a name or path part. Names on disk are UTF-8; a name that
// is not is taken as Windows-1252, as older systems wrote names.
std::string LowerName(std::string_view text) {
  if (IsValidUtf8(text)) return LowerText(text);
  std::string out(text);
  for (char& c : out) c = LowerCp1252(c);
  return out;
}

std::string WithoutStars(std::string_view text) {
  std::string out;
  for (char c : text)
    if (c != '*') out.push_back(c);
  return out;
}

}  // namespace

bool FileExists(const std::string& path) { return StatIs(path, S_IFREG); }

bool FolderExists(const std::string& path) { return StatIs(path, S_IFDIR); }

std::string FolderOfPath(std::string_view path) {
  const std::size_t last = path.rfind(kPathSeparator);
  if (last == std::string_view::npos) return {};
  return NormaliseDriveCase(path.substr(0, last + 1));
}

std::string NormaliseDriveCase(std::string_view text) {
  if (text.size() < 2 || text[1] != ':') return std::string(text);
  std::string out = LowerName(text);
  // Drive letters are ASCII.
  if (out[0] >= 'a' && out[0] <= 'z') out[0] = static_cast<char>(out[0] - 32);
  return out;
}

std::string WriteFileReplacing(const std::string& path,
                               std::string_view bytes) {
  return WriteFileReplacing(DefaultFileSystem(), path, bytes);
}

std::string WriteFileReplacing(FileSystem& fs, const std::string& path,
                               std::string_view bytes) {
  auto describe = [](const Status& s) {
    return s.error_number() != 0 ? ErrorText(s.error_number()) : s.message();
  };
  const std::size_t sep = path.rfind(kPathSeparator);
  const std::string folder = sep == std::string::npos ? "."
                             : sep == 0               ? "/"
                                                      : path.substr(0, sep);
  const std::string name =
      sep == std::string::npos ? path : path.substr(sep + 1);
  FileInfo info;  // a new file gets the usual permissions
  if (FileExists(path)) {
    if (Status s = fs.Stat(path, &info); !s.ok()) return describe(s);
  }
  std::string temp;
  if (Status s = WriteAside(fs, folder, "." + name + ".", bytes, info, &temp);
      !s.ok())
    return describe(s);
  if (Status s = fs.Rename(temp, path); !s.ok()) {
    (void)fs.Remove(temp);
    return describe(s);
  }
  // The rename has happened; a failed flush of the folder only means that
  // it may not be on the disk yet.
  (void)fs.SyncFolder(folder);
  return {};
}

namespace {

void AdviseHugePages(char* data, std::size_t size) {
  constexpr std::uintptr_t kHuge = 2u << 20;
  const auto start = reinterpret_cast<std::uintptr_t>(data);
  const std::uintptr_t first = (start + kHuge - 1) & ~(kHuge - 1);
  const std::uintptr_t last = (start + size) & ~(kHuge - 1);
  if (last > first)  // a hint: where it is refused nothing changes
    ::madvise(reinterpret_cast<void*>(first), last - first, MADV_HUGEPAGE);
}

}  // namespace

std::optional<std::string> ReadFileBytes(const std::string& path,
                                         std::string* error) {
  auto fail = [error](int error_number) -> std::optional<std::string> {
    if (error != nullptr) *error = ErrorText(error_number);
    return std::nullopt;
  };
  const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
  if (fd < 0) return fail(errno);
  struct stat st;
  if (::fstat(fd, &st) != 0) {
    const int e = errno;
    ::close(fd);
    return fail(e);
  }
  if (S_ISDIR(st.st_mode)) {
    ::close(fd);
    return fail(EISDIR);
  }
  // Read straight into a buffer of the file's size (it may still grow or
  // shrink while we read). A large buffer asks for huge pages: touching a
  // 20 MB page four kilobytes at a time costs more than reading it.
  std::string bytes;
  std::size_t capacity =
      st.st_size > 0 ? static_cast<std::size_t>(st.st_size) : 0;
  bytes.reserve(capacity + 1);  // not touched yet: advise first
  AdviseHugePages(bytes.data(), capacity + 1);
  bytes.resize(capacity + 1);
  std::size_t filled = 0;
  for (;;) {
    if (filled == bytes.size()) bytes.resize(bytes.size() * 2 + 65536);
    const ssize_t n = ::read(fd, bytes.data() + filled, bytes.size() - filled);
    if (n == 0) break;
    if (n < 0) {
      if (errno == EINTR) continue;
      const int e = errno;
      ::close(fd);
      return fail(e);
    }
    filled += static_cast<std::size_t>(n);
  }
  bytes.resize(filled);
  ::close(fd);  // nothing was written, so a failed close loses nothing
  return bytes;
}

std::size_t FreeFileDescriptors() {
  struct rlimit limit;
  if (::getrlimit(RLIMIT_NOFILE, &limit) != 0 ||
      limit.rlim_cur == RLIM_INFINITY)
    return std::size_t{1} << 30;
  // Those open now, as the system lists them (the listing's own included);
  // a guess where it cannot.
  std::size_t open = 16;
  std::error_code error;
  std::filesystem::directory_iterator it("/proc/self/fd", error);
  if (!error) {
    open = 0;
    for (; it != std::filesystem::directory_iterator(); it.increment(error)) {
      if (error) break;
      ++open;
    }
  }
  const auto cap = static_cast<std::size_t>(limit.rlim_cur);
  return cap > open ? cap - open : 0;
}

std::string ExecutableFolder() {
  std::string target(256, '\0');
  for (;;) {
    const ssize_t n =
        ::readlink("/proc/self/exe", target.data(), target.size());
    if (n < 0) return {};
    if (static_cast<std::size_t>(n) < target.size()) {
      target.resize(static_cast<std::size_t>(n));
      break;
    }
    target.resize(target.size() * 2);  // may have been cut: try again
  }
  const std::size_t last = target.rfind(kPathSeparator);
  if (last == std::string::npos) return {};
  return last == 0 ? std::string(1, kPathSeparator) : target.substr(0, last);
}

namespace {

bool HoldsProgramData(const std::string& folder) {
  for (const char* data_file : {"cmwds_en.txt", "vorn_text.dat"}) {
    if (FileExists(folder + kPathSeparator + data_file)) return true;
  }
  return false;
}

}  // namespace

std::string ProgramFolder() {
  // The build tree keeps the data beside the programs.
  const std::string exe = ExecutableFolder();
  if (HoldsProgramData(exe)) return exe;
#ifdef VORN_RELATIVE_DATADIR
  // An install keeps it at the same place relative to the programs under
  // whatever prefix it was put, so a moved or copied tree and a package
  // work without being told where they are. The executable's folder is a
  // resolved path, so ".." may be dropped lexically.
  const std::string installed =
      (std::filesystem::path(exe) / VORN_RELATIVE_DATADIR)
          .lexically_normal()
          .string();
  if (HoldsProgramData(installed)) return installed;
#endif
#ifdef VORN_INSTALL_DATADIR
  return VORN_INSTALL_DATADIR;
#else
  return exe;
#endif
}

std::string UserConfigFolder() {
  auto trimmed = [](std::string folder) {
    while (folder.size() > 1 && folder.back() == kPathSeparator)
      folder.pop_back();
    return folder;
  };
  const char* xdg = std::getenv("XDG_CONFIG_HOME");
  // A relative value is invalid and must be ignored.
  if (xdg != nullptr && xdg[0] == kPathSeparator) return trimmed(xdg);
  const char* home = std::getenv("HOME");
  if (home != nullptr && home[0] != '\0')
    return trimmed(std::string(home) + kPathSeparator + ".config");
  return {};
}

std::string AppDataFilePath(std::string_view file, std::string_view sub) {
  const std::string config = UserConfigFolder();
  if (config.empty()) return {};
  // Failures to create are left to the first use of the returned path,
  // which reports them with the system's description.
  if (!FolderExists(config)) ::mkdir(config.c_str(), 0700);
  std::string folder = config;
  if (folder.back() != kPathSeparator) folder.push_back(kPathSeparator);
  folder.append(sub);
  if (!FolderExists(folder)) ::mkdir(folder.c_str(), 0777);
  return folder + kPathSeparator + std::string(file);
}

bool MatchFileName(std::string_view name, std::string_view pattern,
                   bool case_sensitive) {
  constexpr char kNeverInNames[] = {'?', '*', ':', kPathSeparator, '\0'};
  if (name.find_first_of(kNeverInNames) != std::string_view::npos) return false;
  const std::size_t d = name.rfind('.');
  const std::size_t e = pattern.rfind('.');
  const bool name_dot = d != std::string_view::npos;
  const bool pattern_dot = e != std::string_view::npos;
  if (name_dot && pattern_dot) {
    return MatchPart(name.substr(0, d), pattern.substr(0, e), case_sensitive) &&
           MatchPart(name.substr(d + 1), pattern.substr(e + 1), case_sensitive);
  }
  if (!name_dot && !pattern_dot)
    return MatchPart(name, pattern, case_sensitive);
  if (pattern_dot) {  // "readme" matches "readme.*" but not "readme.txt"
    if (!WithoutStars(pattern.substr(e + 1)).empty()) return false;
    return MatchPart(name, pattern.substr(0, e), case_sensitive);
  }
  return false;
}

bool MatchPart(std::string_view text, std::string_view pattern,
               bool case_sensitive) {
  std::string t(text);
  std::string p(pattern);
  if (!case_sensitive) {
    t = LowerName(t);
    p = LowerName(p);
  }
  if (t == p) return true;
  if (t.empty()) return p.find_first_not_of('*') == std::string::npos;
  if (p.empty()) return true;

  std::size_t i = 0;
  std::size_t j = 0;
  for (;;) {
    if (j == p.size()) return i == t.size();
    const char pc = p[j];
    if (pc == '?') {
      if (i == t.size()) return false;
      ++i;
      ++j;
    } else if (pc == '*') {
      // The star jumps to the first occurrence of the next literal
      // character and never tries a later one.
      const std::size_t next = p.find_first_not_of("*?", j);
      if (next == std::string::npos) return true;
      const std::size_t found = t.find(p[next], i);
      if (found == std::string::npos) return false;
      i = found;
      ++j;
    } else {
      if (i == t.size() || t[i] != pc) return false;
      ++i;
      ++j;
    }
  }
}

std::string PathForDisplay(std::string_view path) {
  return IsValidUtf8(path) ? std::string(path) : Cp1252ToUtf8(path);
}

}  // namespace vorn
