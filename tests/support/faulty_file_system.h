// A file system for tests: passes every call on to another one (the real
// one by default), counts the calls of each operation and makes a chosen
// call fail, so that each step of a page rewrite can be made to fail in
// turn. Writes can also be slowed, so that a writer can be killed half way.
#ifndef VORN_TESTS_SUPPORT_FAULTY_FILE_SYSTEM_H_
#define VORN_TESTS_SUPPORT_FAULTY_FILE_SYSTEM_H_

#include <array>
#include <chrono>
#include <cstddef>
#include <string>
#include <string_view>

#include "documents/file_system.h"

namespace vorn {

enum class FsOp {
  kReadFile,
  kStat,
  kResolveLinks,
  kCreateUniqueFile,
  kWrite,
  kSetInfo,
  kSync,
  kClose,
  kHardLink,
  kRename,
  kRemove,
  kSyncFolder,
};
inline constexpr std::size_t kFsOpCount = 12;

// "Write", "Rename", ...: for messages naming a case.
const char* FsOpName(FsOp op);

class FaultyFileSystem : public FileSystem {
 public:
  explicit FaultyFileSystem(FileSystem& base = DefaultFileSystem())
      : base_(base) {}

  // Makes the `n`th call (from 1) of `op` fail, counting from now on: the
  // call is not passed on and returns an error, with these exceptions that
  // follow what a real failure leaves behind. A failed Write first writes
  // half of its bytes and then reports "No space left on device" (ENOSPC);
  // a failed Close still closes the handle (as close(2) always does on
  // Linux). Any earlier fault is forgotten.
  void FailCall(FsOp op, int n);
  // No call fails from now on.
  void ClearFault() { fail_op_index_ = -1; }
  // True once the chosen call has been made (and so has failed).
  bool FaultHit() const { return fault_hit_; }

  // Number of calls of `op` made through this object so far.
  int Calls(FsOp op) const { return calls_[static_cast<std::size_t>(op)]; }
  void ResetCounts() { calls_.fill(0); }

  // Writes are passed on in pieces of `chunk` bytes with a pause of `pause`
  // before each piece (0 bytes: all at once, the default).
  void SlowWrites(std::size_t chunk, std::chrono::microseconds pause) {
    write_chunk_ = chunk;
    write_pause_ = pause;
  }

  Status ReadFile(const std::string& path, std::string* bytes) override;
  Status Stat(const std::string& path, FileInfo* info) override;
  Status ResolveLinks(const std::string& path, std::string* target) override;
  Status CreateUniqueFile(const std::string& folder, const std::string& prefix,
                          int* handle, std::string* path) override;
  Status Write(int handle, std::string_view bytes) override;
  Status SetInfo(int handle, const FileInfo& like) override;
  Status Sync(int handle) override;
  Status Close(int handle) override;
  Status HardLink(const std::string& from, const std::string& to) override;
  Status Rename(const std::string& from, const std::string& to) override;
  Status Remove(const std::string& path) override;
  Status SyncFolder(const std::string& folder) override;

 private:
  // Counts a call of `op`; true when this call is the one to fail.
  bool CountAndCheck(FsOp op);
  Status Injected(FsOp op, int error_number);

  FileSystem& base_;
  std::array<int, kFsOpCount> calls_{};
  int fail_op_index_ = -1;
  int fail_at_call_ = 0;  // the value calls_ must reach
  bool fault_hit_ = false;
  std::size_t write_chunk_ = 0;
  std::chrono::microseconds write_pause_{0};
};

}  // namespace vorn

#endif  // VORN_TESTS_SUPPORT_FAULTY_FILE_SYSTEM_H_
