#include "tests/support/faulty_file_system.h"

#include <cerrno>
#include <thread>

namespace vorn {
namespace {

constexpr struct {
  const char* name;
  int error_number;
} kOps[kFsOpCount] = {
    // clang-format off
    {"ReadFile", EACCES}, {"Stat", EIO}, {"ResolveLinks", ELOOP},
    {"CreateUniqueFile", EACCES}, {"Write", ENOSPC}, {"SetInfo", EPERM},
    {"Sync", EIO}, {"Close", EIO}, {"Rename", EIO}, {"Remove", EIO},
    {"ListFolder", EACCES}, {"CopyAttributes", EIO},
    {"RemoveIfAbandoned", EIO}, {"SyncFolder", EIO},
    // clang-format on
};

}  // namespace

const char* FsOpName(FsOp op) { return kOps[static_cast<int>(op)].name; }

void FaultyFileSystem::FailCall(FsOp op, int n, bool later_too) {
  fail_op_ = static_cast<int>(op);
  fail_at_ = Calls(op) + n;
  later_too_ = later_too;
  fault_hit_ = false;
}

bool FaultyFileSystem::Fails(FsOp op, const std::string& path) {
  const std::lock_guard<std::mutex> lock(mutex_);
  const int count = ++calls_[static_cast<int>(op)];
  if (act_op_ == static_cast<int>(op) && count == act_at_ && act_) act_();
  const bool chosen = fail_op_ == static_cast<int>(op) &&
                      (count == fail_at_ || (later_too_ && count > fail_at_));
  if (!chosen && !(fail_when_ && fail_when_(op, path))) return false;
  fault_hit_ = true;
  return true;
}

Status FaultyFileSystem::Injected(FsOp op) {
  errno = kOps[static_cast<int>(op)].error_number;
  return Status::FromErrno(std::string("injected ") + FsOpName(op));
}

Status FaultyFileSystem::Write(int handle, std::string_view bytes) {
  if (Fails(FsOp::kWrite)) {
    // A full disk takes part of the data before it refuses the rest.
    (void)base_.Write(handle, bytes.substr(0, bytes.size() / 2));
    return Injected(FsOp::kWrite);
  }
  while (write_chunk_ > 0 && bytes.size() > write_chunk_) {
    std::this_thread::sleep_for(write_pause_);
    if (Status s = base_.Write(handle, bytes.substr(0, write_chunk_)); !s.ok())
      return s;
    bytes.remove_prefix(write_chunk_);
  }
  return base_.Write(handle, bytes);
}

Status FaultyFileSystem::Close(int handle) {
  if (!Fails(FsOp::kClose)) return base_.Close(handle);
  (void)base_.Close(handle);  // close(2) releases the handle regardless
  return Injected(FsOp::kClose);
}

}  // namespace vorn
