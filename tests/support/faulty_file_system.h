// A file system for tests: passes every call on to another one (the real
// one by default), counts the calls of each operation and makes a chosen
// call fail, so that each step of a rewrite can be made to fail in turn.
// Writes can also be slowed, so that a writer can be killed half way.
#ifndef VORN_TESTS_SUPPORT_FAULTY_FILE_SYSTEM_H_
#define VORN_TESTS_SUPPORT_FAULTY_FILE_SYSTEM_H_

#include <array>
#include <chrono>
#include <string>
#include <string_view>

#include "support/file_system.h"

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
inline constexpr int kFsOpCount = 12;

// "Write", "Rename", ...: for messages naming a case.
const char* FsOpName(FsOp op);

class FaultyFileSystem : public FileSystem {
 public:
  explicit FaultyFileSystem(FileSystem& base = DefaultFileSystem())
      : base_(base) {}

  // Makes the `n`th call (from 1, counting from now on) of `op` fail, and
  // with `later_too` every later call of it as well, as a real condition
  // (a full disk, a read-only folder) would. A failing call is not passed
  // on, except that a failed Write first writes half of its bytes and a
  // failed Close still closes the handle, as the real calls do.
  void FailCall(FsOp op, int n, bool later_too = false);
  // True once a call has failed.
  bool FaultHit() const { return fault_hit_; }
  // Number of calls of `op` made through this object so far.
  int Calls(FsOp op) const { return calls_[static_cast<int>(op)]; }
  // Writes are passed on in pieces of `chunk` bytes, each after `pause`.
  void SlowWrites(std::size_t chunk, std::chrono::microseconds pause) {
    write_chunk_ = chunk;
    write_pause_ = pause;
  }

  Status ReadFile(const std::string& path, std::string* bytes) override {
    return Pass(FsOp::kReadFile, [&] { return base_.ReadFile(path, bytes); });
  }
  Status Stat(const std::string& path, FileInfo* info) override {
    return Pass(FsOp::kStat, [&] { return base_.Stat(path, info); });
  }
  Status ResolveLinks(const std::string& path, std::string* target) override {
    return Pass(FsOp::kResolveLinks,
                [&] { return base_.ResolveLinks(path, target); });
  }
  Status CreateUniqueFile(const std::string& folder, const std::string& prefix,
                          int* handle, std::string* path) override {
    return Pass(FsOp::kCreateUniqueFile, [&] {
      return base_.CreateUniqueFile(folder, prefix, handle, path);
    });
  }
  Status Write(int handle, std::string_view bytes) override;
  Status SetInfo(int handle, const FileInfo& like) override {
    return Pass(FsOp::kSetInfo, [&] { return base_.SetInfo(handle, like); });
  }
  Status Sync(int handle) override {
    return Pass(FsOp::kSync, [&] { return base_.Sync(handle); });
  }
  Status Close(int handle) override;
  Status HardLink(const std::string& from, const std::string& to) override {
    return Pass(FsOp::kHardLink, [&] { return base_.HardLink(from, to); });
  }
  Status Rename(const std::string& from, const std::string& to) override {
    return Pass(FsOp::kRename, [&] { return base_.Rename(from, to); });
  }
  Status Remove(const std::string& path) override {
    return Pass(FsOp::kRemove, [&] { return base_.Remove(path); });
  }
  Status SyncFolder(const std::string& folder) override {
    return Pass(FsOp::kSyncFolder, [&] { return base_.SyncFolder(folder); });
  }

 private:
  // Counts a call of `op`; true when this call is to fail.
  bool Fails(FsOp op);
  // The error a real failure of `op` would give.
  static Status Injected(FsOp op);
  template <typename Call>
  Status Pass(FsOp op, Call call) {
    return Fails(op) ? Injected(op) : call();
  }

  FileSystem& base_;
  std::array<int, kFsOpCount> calls_{};
  int fail_op_ = -1;
  int fail_at_ = 0;  // the count of calls_ that fails
  bool later_too_ = false;
  bool fault_hit_ = false;
  std::size_t write_chunk_ = 0;
  std::chrono::microseconds write_pause_{0};
};

}  // namespace vorn

#endif  // VORN_TESTS_SUPPORT_FAULTY_FILE_SYSTEM_H_
