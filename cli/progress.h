// The progress of a folder run on a terminal: one line on stderr,
// rewritten in place, with the pages done of the total and the pages per
// second. vorn-cli shows it only when stderr is a terminal.
#ifndef VORN_CLI_PROGRESS_H_
#define VORN_CLI_PROGRESS_H_

#include <cstdint>
#include <cstdio>
#include <functional>
#include <string>

namespace vorn::cli {

// "12/40 pages, 3.5 pages/s"; the rate is left out until time has passed.
std::string ProgressText(std::int64_t done, std::int64_t total, double seconds);

class ProgressLine {
 public:
  // Seconds from any fixed moment; unset: a steady clock.
  using Clock = std::function<double()>;
  explicit ProgressLine(std::FILE* out, Clock clock = nullptr);

  // Rewrites the line (CR, the text, blanks over what is left of a longer
  // one), at most ten times a second except for the first and last page.
  void Update(std::int64_t done, std::int64_t total);
  // Ends the line with LF when one was shown.
  void Finish();

 private:
  std::FILE* out_;
  Clock clock_;
  double start_ = 0;
  double last_shown_ = 0;
  bool started_ = false;
  bool shown_ = false;
  std::size_t width_ = 0;  // of the longest text shown
};

}  // namespace vorn::cli

#endif  // VORN_CLI_PROGRESS_H_
