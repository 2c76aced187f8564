// A file system for tests: passes every call on to another one (the real
// one by default), counts the calls of each operation and makes a chosen
// call fail, so that each step of a rewrite can be made to fail in turn.
// Writes can also be slowed, so that a writer can be killed half way.
// Calls may come from several threads; the choice of the failing call and
// the acts run under one lock.
#ifndef VORN_TESTS_SUPPORT_FAULTY_FILE_SYSTEM_H_
#define VORN_TESTS_SUPPORT_FAULTY_FILE_SYSTEM_H_

#include <array>
#include <chrono>
#include <functional>
#include <mutex>
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
  kRename,
  kRemove,
  kListFolder,
  kCopyAttributes,
  kRemoveIfAbandoned,
  kSyncFolder,
};
inline constexpr int kFsOpCount = 14;

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
  // Runs `act` just before the `n`th call (from 1, counting from now on)
  // of `op` is passed on: another program at work at that moment.
  void ActBefore(FsOp op, int n, std::function<void()> act) {
    act_op_ = static_cast<int>(op);
    act_at_ = Calls(op) + n;
    act_ = std::move(act);
  }
  // Asks `fails` about every call, with the path it concerns (empty for
  // calls on an open handle): true makes that call fail too.
  void FailWhen(std::function<bool(FsOp, const std::string&)> fails) {
    fail_when_ = std::move(fails);
  }
  // True once a call has failed.
  bool FaultHit() const {
    const std::lock_guard<std::mutex> lock(mutex_);
    return fault_hit_;
  }
  // Number of calls of `op` made through this object so far.
  int Calls(FsOp op) const {
    const std::lock_guard<std::mutex> lock(mutex_);
    return calls_[static_cast<int>(op)];
  }
  // CopyAttributes does nothing and reports that the file system does not
  // support extended attributes.
  void AttributesUnsupported() { attributes_unsupported_ = true; }
  // Writes are passed on in pieces of `chunk` bytes, each after `pause`.
  void SlowWrites(std::size_t chunk, std::chrono::microseconds pause) {
    write_chunk_ = chunk;
    write_pause_ = pause;
  }

  Status ReadFile(const std::string& path, std::string* bytes) override {
    return Pass(FsOp::kReadFile, path,
                [&] { return base_.ReadFile(path, bytes); });
  }
  Status Stat(const std::string& path, FileInfo* info) override {
    return Pass(FsOp::kStat, path, [&] { return base_.Stat(path, info); });
  }
  Status ResolveLinks(const std::string& path, std::string* target) override {
    return Pass(FsOp::kResolveLinks, path,
                [&] { return base_.ResolveLinks(path, target); });
  }
  Status CreateUniqueFile(const std::string& folder, const std::string& prefix,
                          int* handle, std::string* path) override {
    return Pass(FsOp::kCreateUniqueFile, folder, [&] {
      return base_.CreateUniqueFile(folder, prefix, handle, path);
    });
  }
  Status Write(int handle, std::string_view bytes) override;
  Status SetInfo(int handle, const FileInfo& like) override {
    return Pass(FsOp::kSetInfo, {},
                [&] { return base_.SetInfo(handle, like); });
  }
  Status ListFolder(const std::string& folder,
                    std::vector<FolderEntry>* entries) override {
    return Pass(FsOp::kListFolder, folder,
                [&] { return base_.ListFolder(folder, entries); });
  }
  Status CopyAttributes(const std::string& from, int handle,
                        bool* unsupported) override {
    return Pass(FsOp::kCopyAttributes, {}, [&] {
      if (!attributes_unsupported_)
        return base_.CopyAttributes(from, handle, unsupported);
      *unsupported = true;
      return Status::Ok();
    });
  }
  Status Sync(int handle) override {
    return Pass(FsOp::kSync, {}, [&] { return base_.Sync(handle); });
  }
  Status Close(int handle) override;
  Status Rename(const std::string& from, const std::string& to) override {
    return Pass(FsOp::kRename, to, [&] { return base_.Rename(from, to); });
  }
  Status Remove(const std::string& path) override {
    return Pass(FsOp::kRemove, path, [&] { return base_.Remove(path); });
  }
  Status SyncFolder(const std::string& folder) override {
    return Pass(FsOp::kSyncFolder, folder,
                [&] { return base_.SyncFolder(folder); });
  }
  Status RemoveIfAbandoned(const std::string& path, std::int64_t before_ns,
                           bool* removed) override {
    return Pass(FsOp::kRemoveIfAbandoned, path, [&] {
      return base_.RemoveIfAbandoned(path, before_ns, removed);
    });
  }

 private:
  // Counts a call of `op` on `path`; true when this call is to fail.
  bool Fails(FsOp op, const std::string& path = {});
  // The error a real failure of `op` would give.
  static Status Injected(FsOp op);
  template <typename Call>
  Status Pass(FsOp op, const std::string& path, Call call) {
    return Fails(op, path) ? Injected(op) : call();
  }

  FileSystem& base_;
  mutable std::mutex mutex_;
  std::array<int, kFsOpCount> calls_{};
  int fail_op_ = -1;
  int fail_at_ = 0;  // the count of calls_ that fails
  bool later_too_ = false;
  bool fault_hit_ = false;
  bool attributes_unsupported_ = false;
  int act_op_ = -1;
  int act_at_ = 0;
  std::function<void()> act_;
  std::function<bool(FsOp, const std::string&)> fail_when_;
  std::size_t write_chunk_ = 0;
  std::chrono::microseconds write_pause_{0};
};

}  // namespace vorn

#endif  // VORN_TESTS_SUPPORT_FAULTY_FILE_SYSTEM_H_
