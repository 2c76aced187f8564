// A fixed set of threads taking tasks from one queue, first in first out.
// Tasks are plain calls; whoever submits them learns of their end by its own
// means (a flag under a lock of its own, a future).
#ifndef VORN_BATCH_WORKER_POOL_H_
#define VORN_BATCH_WORKER_POOL_H_

#include <condition_variable>
#include <deque>
#include <functional>
#include <mutex>
#include <thread>
#include <vector>

namespace vorn {

class WorkerPool {
 public:
  // Starts `threads` threads (at least one).
  explicit WorkerPool(int threads);
  // Close() first.
  ~WorkerPool();

  WorkerPool(const WorkerPool&) = delete;
  WorkerPool& operator=(const WorkerPool&) = delete;

  // Queues `task`; ignored once the pool is closed.
  void Submit(std::function<void()> task);

  // Drops the tasks not yet begun, waits for those under way and ends the
  // threads. Returns the number of tasks dropped.
  std::size_t Close();

 private:
  void Work(std::stop_token stop);

  std::mutex mutex_;
  std::condition_variable_any ready_;
  std::deque<std::function<void()>> queue_;
  bool closed_ = false;
  std::vector<std::jthread> threads_;
};

// One thread per core (at least one).
int DefaultWorkerCount();

}  // namespace vorn

#endif  // VORN_BATCH_WORKER_POOL_H_
