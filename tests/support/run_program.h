// Runs a program as a child process, without a shell, and captures what it
// prints and how it ends. For the front-end tests of vorn-cli.
#ifndef VORN_TESTS_SUPPORT_RUN_PROGRAM_H_
#define VORN_TESTS_SUPPORT_RUN_PROGRAM_H_

#include <map>
#include <optional>
#include <string>
#include <vector>

namespace vorn {

struct ProgramResult {
  std::string out;       // everything written to stdout
  std::string err;       // everything written to stderr
  int exit_status = -1;  // the exit status; -1 when a signal ended it
  int signal = 0;        // the signal that ended it, else 0
};

// Runs `program` (a path, not looked up in PATH) with `args` (argv[1] on),
// in the folder `folder`, with stdin from /dev/null and the environment of
// this process where `env` replaces or adds variables. Waits for the child
// to end. On success returns its result; when the child cannot be started
// returns nothing and stores the reason in `*error`.
[[nodiscard]] std::optional<ProgramResult> RunProgram(
    const std::string& program, const std::vector<std::string>& args,
    const std::string& folder, const std::map<std::string, std::string>& env,
    std::string* error);

// RunProgram for a test: a child that cannot be started fails the current
// test, which then sees an empty result with exit status -1.
ProgramResult RunOrFail(const std::string& program,
                        const std::vector<std::string>& args,
                        const std::string& folder,
                        const std::map<std::string, std::string>& env = {});

// `text` with every `from` replaced by `to`.
std::string ReplaceAll(std::string text, const std::string& from,
                       const std::string& to);

// `text` with the date of every done tag written today (local time, as
// YYYY-MM-DD) replaced by "{TODAY}", so that rewritten pages compare
// whatever the day.
std::string WithoutTodaysDate(const std::string& text);

}  // namespace vorn

#endif  // VORN_TESTS_SUPPORT_RUN_PROGRAM_H_
