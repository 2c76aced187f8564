#include "tests/support/run_program.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <poll.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

extern char** environ;

namespace vorn {
namespace {

// Both ends of a pipe, closed when they go out of scope.
struct Pipe {
  int read = -1;
  int write = -1;
  ~Pipe() {
    CloseRead();
    CloseWrite();
  }
  bool Open() {
    int fds[2];
    if (::pipe2(fds, O_CLOEXEC) != 0) return false;
    read = fds[0];
    write = fds[1];
    return true;
  }
  void CloseRead() {
    if (read >= 0) ::close(read);
    read = -1;
  }
  void CloseWrite() {
    if (write >= 0) ::close(write);
    write = -1;
  }
};

std::vector<std::string> Environment(
    const std::map<std::string, std::string>& overrides) {
  std::vector<std::string> out;
  for (char** e = environ; *e != nullptr; ++e) {
    const std::string entry = *e;
    const std::string name = entry.substr(0, entry.find('='));
    if (overrides.count(name) == 0) out.push_back(entry);
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

// In the child: only async-signal-safe calls until exec. On failure the
// errno goes to `report` and the child ends with 127.
[[noreturn]] void StartChild(const char* program, char* const* argv,
                             char* const* envp, const char* folder, int out_fd,
                             int err_fd, int report) {
  const int null_fd = ::open("/dev/null", O_RDONLY);
  if (null_fd < 0 || ::dup2(null_fd, 0) < 0 || ::dup2(out_fd, 1) < 0 ||
      ::dup2(err_fd, 2) < 0 || ::chdir(folder) != 0) {
    const int e = errno;
    (void)!::write(report, &e, sizeof e);
    ::_exit(127);
  }
  ::execve(program, argv, envp);
  const int e = errno;
  (void)!::write(report, &e, sizeof e);
  ::_exit(127);
}

// Reads both pipes until each reaches its end. On failure stores the
// reason in `*error`.
bool Drain(Pipe& out_pipe, Pipe& err_pipe, ProgramResult& result,
           std::string* error) {
  char buffer[65536];
  while (out_pipe.read >= 0 || err_pipe.read >= 0) {
    pollfd fds[2] = {{out_pipe.read, POLLIN, 0}, {err_pipe.read, POLLIN, 0}};
    if (::poll(fds, 2, -1) < 0) {
      if (errno == EINTR) continue;
      *error = std::string("poll: ") + std::strerror(errno);
      return false;
    }
    Pipe* pipes[2] = {&out_pipe, &err_pipe};
    std::string* texts[2] = {&result.out, &result.err};
    for (int i = 0; i < 2; ++i) {
      if (fds[i].fd < 0 || fds[i].revents == 0) continue;
      const ssize_t n = ::read(fds[i].fd, buffer, sizeof buffer);
      if (n > 0) {
        texts[i]->append(buffer, static_cast<std::size_t>(n));
      } else if (n == 0 || errno != EINTR) {
        pipes[i]->CloseRead();
      }
    }
  }
  return true;
}

}  // namespace

std::optional<ProgramResult> RunProgram(
    const std::string& program, const std::vector<std::string>& args,
    const std::string& folder, const std::map<std::string, std::string>& env,
    std::string* error) {
  std::vector<std::string> argv_texts = {program};
  argv_texts.insert(argv_texts.end(), args.begin(), args.end());
  std::vector<std::string> env_texts = Environment(env);
  const std::vector<char*> argv = Pointers(argv_texts);
  const std::vector<char*> envp = Pointers(env_texts);

  Pipe out_pipe, err_pipe, report_pipe;
  if (!out_pipe.Open() || !err_pipe.Open() || !report_pipe.Open()) {
    *error = std::string("pipe: ") + std::strerror(errno);
    return std::nullopt;
  }
  const pid_t pid = ::fork();
  if (pid < 0) {
    *error = std::string("fork: ") + std::strerror(errno);
    return std::nullopt;
  }
  if (pid == 0)
    StartChild(program.c_str(), argv.data(), envp.data(), folder.c_str(),
               out_pipe.write, err_pipe.write, report_pipe.write);

  out_pipe.CloseWrite();
  err_pipe.CloseWrite();
  report_pipe.CloseWrite();
  ProgramResult result;
  std::string drain_error;
  const bool drained = Drain(out_pipe, err_pipe, result, &drain_error);
  int child_errno = 0;
  const bool start_failed =
      ::read(report_pipe.read, &child_errno, sizeof child_errno) ==
      static_cast<ssize_t>(sizeof child_errno);
  int status = 0;
  while (::waitpid(pid, &status, 0) < 0) {
    if (errno != EINTR) {
      *error = std::string("waitpid: ") + std::strerror(errno);
      return std::nullopt;
    }
  }
  if (start_failed) {
    *error = "cannot start " + program + " in " + folder + ": " +
             std::strerror(child_errno);
    return std::nullopt;
  }
  if (!drained) {
    *error = drain_error;
    return std::nullopt;
  }
  if (WIFEXITED(status)) {
    result.exit_status = WEXITSTATUS(status);
  } else if (WIFSIGNALED(status)) {
    result.signal = WTERMSIG(status);
  }
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

}  // namespace vorn
