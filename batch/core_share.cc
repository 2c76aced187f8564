#include "batch/core_share.h"

#include <algorithm>

namespace vorn {
namespace {

// The share whose core the calling thread holds, if any.
thread_local const CoreShare* held_here = nullptr;

}  // namespace

CoreShare::CoreShare(int cores) : free_(std::max(1, cores)) {}

CoreShare::Held::Held(CoreShare& share) : share_(share) {
  share_.Take();
  held_here = &share_;
}

CoreShare::Held::~Held() {
  held_here = nullptr;
  share_.Give();
}

bool CoreShare::HeldHere() const { return held_here == this; }

void CoreShare::Take() {
  std::unique_lock<std::mutex> lock(mutex_);
  freed_.wait(lock, [this] { return free_ > 0; });
  --free_;
}

void CoreShare::Give() {
  {
    const std::lock_guard<std::mutex> lock(mutex_);
    ++free_;
  }
  freed_.notify_one();
}

}  // namespace vorn
