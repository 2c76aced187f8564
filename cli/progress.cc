#include "cli/progress.h"

#include <algorithm>
#include <chrono>

namespace vorn::cli {

std::string ProgressText(std::int64_t done, std::int64_t total,
                         double seconds) {
  std::string text =
      std::to_string(done) + "/" + std::to_string(total) + " pages";
  if (done > 0 && seconds > 0) {
    char rate[32];
    std::snprintf(rate, sizeof rate, ", %.1f pages/s", done / seconds);
    text += rate;
  }
  return text;
}

ProgressLine::ProgressLine(std::FILE* out, Clock clock)
    : out_(out), clock_(std::move(clock)) {
  if (!clock_) {
    clock_ = [] {
      return std::chrono::duration<double>(
                 std::chrono::steady_clock::now().time_since_epoch())
          .count();
    };
  }
}

void ProgressLine::Update(std::int64_t done, std::int64_t total) {
  const double now = clock_();
  if (!started_) {
    started_ = true;
    start_ = now;
  } else if (done < total && now - last_shown_ < 0.1) {
    return;
  }
  last_shown_ = now;
  std::string text = ProgressText(done, total, now - start_);
  const std::size_t length = text.size();
  if (length < width_) text.append(width_ - length, ' ');
  width_ = std::max(width_, length);
  std::fputc('\r', out_);
  std::fputs(text.c_str(), out_);
  std::fflush(out_);
  shown_ = true;
}

void ProgressLine::Finish() {
  if (!shown_) return;
  std::fputc('\n', out_);
  std::fflush(out_);
  shown_ = false;
}

}  // namespace vorn::cli
