#include "tests/support/run_program.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <spawn.h>
#include <sys/wait.h>

#include <cerrno>
#include <cstring>
#include <ctime>

#include "tests/support/page_folder.h"

extern char** environ;

namespace vorn {
namespace {

std::vector<std::string> Environment(
    const std::map<std::string, std::string>& overrides) {
  std::vector<std::string> out;
  for (char** e = environ; *e != nullptr; ++e) {
    const std::string entry = *e;
    if (overrides.count(entry.substr(0, entry.find('='))) == 0)
      out.push_back(entry);
  }
  for (const auto& [name, value] : overrides) out.push_back(name + "=" + value);
  return out;
}

std::vector<char*> Pointers(std::vector<std::string>& texts) {
  std::vector<char*> out;
  for (std::string& t : texts) out.push_back(t.data());
  out.push_back(nullptr);
  return out;
}

}  // namespace

std::optional<ProgramResult> RunProgram(
    const std::string& program, const std::vector<std::string>& args,
    const std::string& folder, const std::map<std::string, std::string>& env,
    std::string* error) {
  std::vector<std::string> argv_texts = {program};
  argv_texts.insert(argv_texts.end(), args.begin(), args.end());
  std::vector<std::string> env_texts = Environment(env);
  // The child writes into files of a folder of its own: no pipe can fill
  // up while the other is read.
  const PageFolder capture;
  const std::string out = capture.Path("out"), err = capture.Path("err");
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_addopen(&actions, 0, "/dev/null", O_RDONLY, 0);
  posix_spawn_file_actions_addopen(&actions, 1, out.c_str(),
                                   O_WRONLY | O_CREAT | O_TRUNC, 0600);
  posix_spawn_file_actions_addopen(&actions, 2, err.c_str(),
                                   O_WRONLY | O_CREAT | O_TRUNC, 0600);
  posix_spawn_file_actions_addchdir_np(&actions, folder.c_str());
  pid_t pid = 0;
  const int spawned =
      ::posix_spawn(&pid, program.c_str(), &actions, nullptr,
                    Pointers(argv_texts).data(), Pointers(env_texts).data());
  posix_spawn_file_actions_destroy(&actions);
  if (spawned != 0) {
    *error = "cannot start " + program + " in " + folder + ": " +
             std::strerror(spawned);
    return std::nullopt;
  }
  int status = 0;
  while (::waitpid(pid, &status, 0) < 0) {
    if (errno != EINTR) {
      *error = std::string("waitpid: ") + std::strerror(errno);
      return std::nullopt;
    }
  }
  ProgramResult result;
  result.out = ReadWholeFile(out).value_or("");
  result.err = ReadWholeFile(err).value_or("");
  if (WIFEXITED(status)) result.exit_status = WEXITSTATUS(status);
  if (WIFSIGNALED(status)) result.signal = WTERMSIG(status);
  return result;
}

ProgramResult RunOrFail(const std::string& program,
                        const std::vector<std::string>& args,
                        const std::string& folder,
                        const std::map<std::string, std::string>& env) {
  std::string error;
  std::optional<ProgramResult> r =
      RunProgram(program, args, folder, env, &error);
  if (!r) {
    ADD_FAILURE() << error;
    return ProgramResult{};
  }
  return *r;
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
  return ReplaceAll(text, done + today + "\"", done + "{TODAY}\"");
}

}  // namespace vorn
