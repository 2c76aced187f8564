#include "tests/support/faulty_file_system.h"

#include <cerrno>
#include <thread>

namespace vorn {

const char* FsOpName(FsOp op) {
  switch (op) {
    case FsOp::kReadFile:
      return "ReadFile";
    case FsOp::kStat:
      return "Stat";
    case FsOp::kResolveLinks:
      return "ResolveLinks";
    case FsOp::kCreateUniqueFile:
      return "CreateUniqueFile";
    case FsOp::kWrite:
      return "Write";
    case FsOp::kSetInfo:
      return "SetInfo";
    case FsOp::kSync:
      return "Sync";
    case FsOp::kClose:
      return "Close";
    case FsOp::kHardLink:
      return "HardLink";
    case FsOp::kRename:
      return "Rename";
    case FsOp::kRemove:
      return "Remove";
    case FsOp::kSyncFolder:
      return "SyncFolder";
  }
  return "?";
}

void FaultyFileSystem::FailCall(FsOp op, int n) {
  fail_op_index_ = static_cast<int>(op);
  fail_at_call_ = calls_[static_cast<std::size_t>(op)] + n;
  fault_hit_ = false;
}

bool FaultyFileSystem::CountAndCheck(FsOp op) {
  const int count = ++calls_[static_cast<std::size_t>(op)];
  if (fail_op_index_ != static_cast<int>(op) || count != fail_at_call_)
    return false;
  fault_hit_ = true;
  return true;
}

Status FaultyFileSystem::Injected(FsOp op, int error_number) {
  errno = error_number;
  return Status::FromErrno(std::string("injected ") + FsOpName(op));
}

Status FaultyFileSystem::ReadFile(const std::string& path, std::string* bytes) {
  if (CountAndCheck(FsOp::kReadFile)) return Injected(FsOp::kReadFile, EIO);
  return base_.ReadFile(path, bytes);
}

Status FaultyFileSystem::Stat(const std::string& path, FileInfo* info) {
  if (CountAndCheck(FsOp::kStat)) return Injected(FsOp::kStat, EIO);
  return base_.Stat(path, info);
}

Status FaultyFileSystem::ResolveLinks(const std::string& path,
                                      std::string* target) {
  if (CountAndCheck(FsOp::kResolveLinks))
    return Injected(FsOp::kResolveLinks, EIO);
  return base_.ResolveLinks(path, target);
}

Status FaultyFileSystem::CreateUniqueFile(const std::string& folder,
                                          const std::string& prefix,
                                          int* handle, std::string* path) {
  if (CountAndCheck(FsOp::kCreateUniqueFile))
    return Injected(FsOp::kCreateUniqueFile, EACCES);
  return base_.CreateUniqueFile(folder, prefix, handle, path);
}

Status FaultyFileSystem::Write(int handle, std::string_view bytes) {
  if (CountAndCheck(FsOp::kWrite)) {
    // A full disk takes part of the data before it refuses the rest.
    Status partial = base_.Write(handle, bytes.substr(0, bytes.size() / 2));
    if (!partial.ok()) return partial;
    return Injected(FsOp::kWrite, ENOSPC);
  }
  if (write_chunk_ == 0) return base_.Write(handle, bytes);
  while (!bytes.empty()) {
    std::this_thread::sleep_for(write_pause_);
    const std::string_view piece = bytes.substr(0, write_chunk_);
    if (Status s = base_.Write(handle, piece); !s.ok()) return s;
    bytes.remove_prefix(piece.size());
  }
  return Status::Ok();
}

Status FaultyFileSystem::SetInfo(int handle, const FileInfo& like) {
  if (CountAndCheck(FsOp::kSetInfo)) return Injected(FsOp::kSetInfo, EPERM);
  return base_.SetInfo(handle, like);
}

Status FaultyFileSystem::Sync(int handle) {
  if (CountAndCheck(FsOp::kSync)) return Injected(FsOp::kSync, EIO);
  return base_.Sync(handle);
}

Status FaultyFileSystem::Close(int handle) {
  if (CountAndCheck(FsOp::kClose)) {
    // close(2) releases the handle even when it reports an error.
    (void)base_.Close(handle);
    return Injected(FsOp::kClose, EIO);
  }
  return base_.Close(handle);
}

Status FaultyFileSystem::HardLink(const std::string& from,
                                  const std::string& to) {
  if (CountAndCheck(FsOp::kHardLink)) return Injected(FsOp::kHardLink, EMLINK);
  return base_.HardLink(from, to);
}

Status FaultyFileSystem::Rename(const std::string& from,
                                const std::string& to) {
  if (CountAndCheck(FsOp::kRename)) return Injected(FsOp::kRename, EIO);
  return base_.Rename(from, to);
}

Status FaultyFileSystem::Remove(const std::string& path) {
  if (CountAndCheck(FsOp::kRemove)) return Injected(FsOp::kRemove, EIO);
  return base_.Remove(path);
}

Status FaultyFileSystem::SyncFolder(const std::string& folder) {
  if (CountAndCheck(FsOp::kSyncFolder)) return Injected(FsOp::kSyncFolder, EIO);
  return base_.SyncFolder(folder);
}

}  // namespace vorn
