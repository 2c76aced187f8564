#include "batch/worker_pool.h"

#include <algorithm>
#include <utility>

namespace vorn {

WorkerPool::WorkerPool(int threads) {
  const int n = std::max(threads, 1);
  threads_.reserve(static_cast<std::size_t>(n));
  for (int i = 0; i < n; ++i)
    threads_.emplace_back([this](std::stop_token stop) { Work(stop); });
}

WorkerPool::~WorkerPool() { (void)Close(); }

void WorkerPool::Submit(std::function<void()> task) {
  {
    const std::lock_guard<std::mutex> lock(mutex_);
    if (closed_) return;
    queue_.push_back(std::move(task));
  }
  ready_.notify_one();
}

std::size_t WorkerPool::Close() {
  std::size_t dropped = 0;
  {
    const std::lock_guard<std::mutex> lock(mutex_);
    closed_ = true;
    dropped = queue_.size();
    queue_.clear();
  }
  for (std::jthread& t : threads_) t.request_stop();
  ready_.notify_all();
  threads_.clear();  // joins: the tasks under way end first
  return dropped;
}

void WorkerPool::Work(std::stop_token stop) {
  for (;;) {
    std::function<void()> task;
    {
      std::unique_lock<std::mutex> lock(mutex_);
      if (!ready_.wait(lock, stop, [this] { return !queue_.empty(); })) return;
      task = std::move(queue_.front());
      queue_.pop_front();
    }
    task();
  }
}

int DefaultWorkerCount() {
  return std::max(1, static_cast<int>(std::thread::hardware_concurrency()));
}

}  // namespace vorn
