// The cores of a folder run's workers. A run has more worker threads than
// cores, and a worker holds a core only while it computes: while it waits
// for the disk (a page read, a new file, a flush) another worker takes the
// core, so the scans keep every core busy although each page is flushed
// before its rename.
#ifndef VORN_BATCH_CORE_SHARE_H_
#define VORN_BATCH_CORE_SHARE_H_

#include <condition_variable>
#include <mutex>
#include <string>
#include <string_view>
#include <vector>

#include "support/file_system.h"

namespace vorn {

class CoreShare {
 public:
  explicit CoreShare(int cores);

  // Holds a core for the life of the object on the calling thread.
  class Held {
   public:
    explicit Held(CoreShare& share);
    ~Held();
    Held(const Held&) = delete;
    Held& operator=(const Held&) = delete;

   private:
    CoreShare& share_;
  };

  // Runs `wait` with the calling thread's core, if it holds one, lent to
  // another thread meanwhile.
  template <typename Fn>
  auto Lend(Fn&& wait) {
    struct Relent {
      CoreShare* share;
      ~Relent() {
        if (share != nullptr) share->Take();
      }
    } back{HeldHere() ? this : nullptr};
    if (back.share != nullptr) Give();
    return wait();
  }

 private:
  bool HeldHere() const;
  void Take();
  void Give();

  // A lock and a condition, not a semaphore: libstdc++'s semaphore spins
  // and yields before it sleeps, and a waiter's spinning is taken from the
  // very worker that holds the core.
  std::mutex mutex_;
  std::condition_variable freed_;
  int free_;
};

// `fs`, through which a thread holding a core of `share` lends it while a
// read, a new file or a flush waits for the disk.
class CoreLendingFileSystem : public FileSystem {
 public:
  CoreLendingFileSystem(FileSystem& fs, CoreShare& share)
      : fs_(fs), share_(share) {}

  Status ReadFile(const std::string& path, std::string* bytes) override {
    return share_.Lend([&] { return fs_.ReadFile(path, bytes); });
  }
  Status Sync(int handle) override {
    return share_.Lend([&] { return fs_.Sync(handle); });
  }
  Status SyncFolder(const std::string& folder) override {
    return share_.Lend([&] { return fs_.SyncFolder(folder); });
  }

  Status Stat(const std::string& path, FileInfo* info) override {
    return fs_.Stat(path, info);
  }
  Status ListFolder(const std::string& folder,
                    std::vector<FolderEntry>* entries) override {
    return fs_.ListFolder(folder, entries);
  }
  Status ResolveLinks(const std::string& path, std::string* target) override {
    return fs_.ResolveLinks(path, target);
  }
  // A new file waits for the folder's lock, which a rename or another
  // new file in the same folder holds.
  Status CreateUniqueFile(const std::string& folder, const std::string& prefix,
                          int* handle, std::string* path) override {
    return share_.Lend(
        [&] { return fs_.CreateUniqueFile(folder, prefix, handle, path); });
  }
  Status Write(int handle, std::string_view bytes) override {
    return fs_.Write(handle, bytes);
  }
  Status SetInfo(int handle, const FileInfo& like) override {
    return fs_.SetInfo(handle, like);
  }
  Status CopyAttributes(const std::string& from, int handle,
                        bool* unsupported) override {
    return fs_.CopyAttributes(from, handle, unsupported);
  }
  Status Close(int handle) override { return fs_.Close(handle); }
  Status Rename(const std::string& from, const std::string& to) override {
    return fs_.Rename(from, to);
  }
  Status Remove(const std::string& path) override { return fs_.Remove(path); }
  Status RemoveIfAbandoned(const std::string& path, std::int64_t before_ns,
                           bool* removed) override {
    return fs_.RemoveIfAbandoned(path, before_ns, removed);
  }

 private:
  FileSystem& fs_;
  CoreShare& share_;
};

}  // namespace vorn

#endif  // VORN_BATCH_CORE_SHARE_H_
