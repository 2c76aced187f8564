// The cores of a folder run's workers: never more holders than cores, and a
// worker waiting on the disk lets another compute.
#include "batch/core_share.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstdio>
#include <mutex>
#include <thread>
#include <vector>

#include "tests/support/faulty_file_system.h"

namespace vorn {
namespace {

using namespace std::chrono_literals;

TEST(CoreShareTest, NeverMoreHoldersThanCoresYetAllOfThem) {
  // Threads that hold no core lend none: were a lend from them to free a
  // core, more threads than cores would compute at once.
  for (const int cores : {1, 2, 3}) {
    CoreShare share(cores);
    std::atomic<int> holders{0};
    std::atomic<int> most{0};
    std::vector<std::jthread> threads;
    for (int t = 0; t < 8; ++t)
      threads.emplace_back([&] {
        for (int i = 0; i < 40; ++i) {
          share.Lend([] {});  // holding none
          const CoreShare::Held core(share);
          auto computing = [&] {
            const int now = ++holders;
            int seen = most.load();
            while (now > seen && !most.compare_exchange_weak(seen, now)) {
            }
            std::this_thread::sleep_for(100us);
          };
          computing();
          --holders;  // before the core is lent
          share.Lend([] { std::this_thread::sleep_for(50us); });
          computing();
          --holders;
        }
      });
    threads.clear();  // joins
    EXPECT_EQ(most.load(), cores) << cores;
  }
}

TEST(CoreShareTest, AFlushOrReadLendsTheCoreUntilItReturns) {
  // One core: a worker holding it waits in a flush (or a read, or a new
  // file) until a second worker has computed, which needs the core. Were
  // the core kept, the first would give up after its time-out and the
  // second would come after it.
  for (const FsOp op : {FsOp::kSync, FsOp::kReadFile, FsOp::kSyncFolder,
                        FsOp::kCreateUniqueFile}) {
    CoreShare share(1);
    FaultyFileSystem faulty;
    CoreLendingFileSystem fs(faulty, share);
    std::mutex mutex;
    std::condition_variable changed;
    bool waiting = false;
    bool second_ran = false;
    bool second_ran_during_wait = false;
    faulty.ActBefore(op, 1, [&] {
      std::unique_lock<std::mutex> lock(mutex);
      waiting = true;
      changed.notify_all();
      second_ran_during_wait =
          changed.wait_for(lock, 10s, [&] { return second_ran; });
    });
    std::FILE* file = std::tmpfile();
    ASSERT_NE(file, nullptr);
    std::jthread first([&] {
      const CoreShare::Held core(share);
      std::string bytes;
      int handle = -1;
      std::string made;
      switch (op) {
        case FsOp::kSync:
          (void)fs.Sync(fileno(file));
          break;
        case FsOp::kReadFile:
          (void)fs.ReadFile("/dev/null", &bytes);
          break;
        case FsOp::kCreateUniqueFile:
          // Refused at once (the folder does not exist): only the wait
          // before it matters.
          (void)fs.CreateUniqueFile("/nonexistent-folder", ".x", &handle,
                                    &made);
          break;
        default:
          (void)fs.SyncFolder(".");
          break;
      }
    });
    {
      std::unique_lock<std::mutex> lock(mutex);
      changed.wait(lock, [&] { return waiting; });
    }
    std::jthread second([&] {
      const CoreShare::Held core(share);
      const std::lock_guard<std::mutex> lock(mutex);
      second_ran = true;
      changed.notify_all();
    });
    first.join();
    second.join();
    std::fclose(file);
    EXPECT_TRUE(second_ran_during_wait) << FsOpName(op);
  }
}

}  // namespace
}  // namespace vorn
