// Runs a program as a child process, its arguments taken literally, and
// captures what it prints and how it ends; and the text helpers of the
// front-end tests.
#ifndef VORN_TESTS_SUPPORT_RUN_PROGRAM_H_
#define VORN_TESTS_SUPPORT_RUN_PROGRAM_H_

#include <string>
#include <vector>

namespace vorn {

struct ProgramResult {
  std::string out;       // everything written to stdout
  std::string err;       // everything written to stderr
  int exit_status = -1;  // the exit status; -1 when a signal ended it
  int signal = 0;        // the signal that ended it, else 0
};

// Runs `program` (a path, not looked up in PATH) with `args` (argv[1] on) in
// `folder`, with stdin from /dev/null, and waits for it. A child that cannot be
// started fails the current test and gives exit status -1.
ProgramResult RunOrFail(const std::string& program,
                        const std::vector<std::string>& args,
                        const std::string& folder);

// `text` with every `from` replaced by `to`.
std::string ReplaceAll(std::string text, const std::string& from,
                       const std::string& to);

// `text` with the date of every done tag written today (local time) shown
// as "{TODAY}", so that rewritten pages compare whatever the day.
std::string WithoutTodaysDate(const std::string& text);

}  // namespace vorn

#endif  // VORN_TESTS_SUPPORT_RUN_PROGRAM_H_
