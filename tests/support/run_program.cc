#include "tests/support/run_program.h"

#include <gtest/gtest.h>
#include <sys/wait.h>

#include <cstdlib>
#include <ctime>

#include "tests/support/page_folder.h"

namespace vorn {
namespace {

// `text` in single quotes, as the shell takes any bytes but NUL literally.
std::string Quoted(const std::string& text) {
  return "'" + ReplaceAll(text, "'", "'\\''") + "'";
}

}  // namespace

ProgramResult RunOrFail(const std::string& program,
                        const std::vector<std::string>& args,
                        const std::string& folder) {
  // The child writes into files: no pipe fills up while the other is read.
  // The shell gives way to the program (exec), so that a signal that ends
  // the program is seen here.
  const PageFolder capture;
  std::string command = "cd " + Quoted(folder) + " && exec " + Quoted(program);
  for (const std::string& arg : args) command += " " + Quoted(arg);
  command += " </dev/null >" + Quoted(capture.Path("out")) + " 2>" +
             Quoted(capture.Path("err"));
  const int status = std::system(command.c_str());
  ProgramResult result;
  result.out = ReadWholeFile(capture.Path("out")).value_or("");
  result.err = ReadWholeFile(capture.Path("err")).value_or("");
  if (status == -1 || (WIFEXITED(status) && WEXITSTATUS(status) == 127))
    ADD_FAILURE() << "cannot start " << program << " in " << folder << ": "
                  << result.err;
  if (WIFEXITED(status)) result.exit_status = WEXITSTATUS(status);
  if (WIFSIGNALED(status)) result.signal = WTERMSIG(status);
  return result;
}

std::string ReplaceAll(std::string text, const std::string& from,
                       const std::string& to) {
  for (std::size_t at = text.find(from); at != std::string::npos;
       at = text.find(from, at + to.size()))
    text.replace(at, from.size(), to);
  return text;
}

std::string WithoutTodaysDate(const std::string& text) {
  const std::time_t now = std::time(nullptr);
  std::tm local{};
  ::localtime_r(&now, &local);
  char today[16];
  std::strftime(today, sizeof today, "%Y-%m-%d", &local);
  const std::string done = "\"VORN done\" content=\"";
  // ASCII as it is, and as UTF-16 in either byte order.
  auto wide = [](const std::string& ascii, bool big_endian) {
    std::string units;
    for (const char c : ascii) {
      units += big_endian ? '\0' : c;
      units += big_endian ? c : '\0';
    }
    return units;
  };
  std::string out = ReplaceAll(text, done + today + "\"", done + "{TODAY}\"");
  for (const bool big_endian : {false, true})
    out = ReplaceAll(out, wide(done + today + "\"", big_endian),
                     wide(done + "{TODAY}\"", big_endian));
  return out;
}

}  // namespace vorn
