// The multiple-file run end to end: generates a site of 10,000 pages of
// about 10 KB in 100 folders, runs `vorn-cli run --subfolders` on it (scan,
// compose, insert with the done tag, logging on) as a child process, and
// prints pages per second and the child's peak memory. A second run over
// the same site then finds every page done and skips it.
//
//   run_bench [--folders=N] [--pages=N] [--bytes=N] [--dir=PATH] [--keep]
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>

#include "bench/support/page_generator.h"

namespace vorn::bench {
namespace {

struct Config {
  int folders = 100;
  int pages = 100;  // per folder
  std::size_t bytes = 10 * 1024;
  std::string dir;
  bool keep = false;
};

struct Result {
  double seconds = 0;
  double peak_mb = 0;
  int status = -1;
};

Result RunCli(const std::string& site) {
  std::fflush(stdout);
  Result r;
  const auto start = std::chrono::steady_clock::now();
  const pid_t pid = fork();
  if (pid == 0) {
    std::freopen("/dev/null", "w", stdout);
    std::freopen("/dev/null", "w", stderr);
    const char* args[] = {VORN_CLI_PATH, "run", "--subfolders", site.c_str(),
                          nullptr};
    execv(VORN_CLI_PATH, const_cast<char* const*>(args));
    _exit(127);
  }
  int status = 0;
  rusage usage{};
  wait4(pid, &status, 0, &usage);
  r.seconds =
      std::chrono::duration<double>(std::chrono::steady_clock::now() - start)
          .count();
  r.peak_mb = static_cast<double>(usage.ru_maxrss) / 1024.0;
  r.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  return r;
}

void GenerateSite(const Config& c, const std::string& site) {
  const Vocabulary vocabulary(30000, 7);
  std::uint64_t seed = 1;
  for (int f = 0; f < c.folders; ++f) {
    const std::string folder = site + "/section" + std::to_string(f);
    std::filesystem::create_directories(folder);
    for (int p = 0; p < c.pages; ++p) {
      PageOptions options;
      options.target_bytes = c.bytes;
      options.seed = seed++;
      options.line_breaks = p % 2 ? LineBreaks::kCrLf : LineBreaks::kLf;
      std::ofstream(folder + "/page" + std::to_string(p) + ".htm",
                    std::ios::binary)
          << GeneratePage(options, vocabulary);
    }
  }
}

int Main(int argc, char** argv) {
  Config c;
  for (int i = 1; i < argc; ++i) {
    const std::string a = argv[i];
    auto value = [&](const char* name) -> const char* {
      const std::string prefix = std::string(name) + "=";
      return a.rfind(prefix, 0) == 0 ? argv[i] + prefix.size() : nullptr;
    };
    if (const char* v = value("--folders"))
      c.folders = std::atoi(v);
    else if (const char* v = value("--pages"))
      c.pages = std::atoi(v);
    else if (const char* v = value("--bytes"))
      c.bytes = std::strtoul(v, nullptr, 10);
    else if (const char* v = value("--dir"))
      c.dir = v;
    else if (a == "--keep")
      c.keep = true;
    else {
      std::fprintf(stderr, "unknown argument %s\n", argv[i]);
      return 2;
    }
  }
  std::string base = c.dir;
  if (base.empty()) {
    char pattern[] = "/tmp/vorn-run-bench-XXXXXX";
    base = mkdtemp(pattern);
  }
  const std::string site = base + "/site";
  std::printf("Generating %d pages of about %zu bytes in %d folders ...\n",
              c.folders * c.pages, c.bytes, c.folders);
  std::fflush(stdout);  // the children must not print it again
  // In a child, so that the generator's memory does not count against the
  // peak of the runs forked afterwards.
  if (const pid_t pid = fork(); pid == 0) {
    GenerateSite(c, site);
    _exit(0);
  } else {
    int status = 0;
    waitpid(pid, &status, 0);
  }
  const double pages = static_cast<double>(c.folders) * c.pages;
  const Result first = RunCli(site);
  const Result second = RunCli(site);
  std::printf("\n%-34s %8s %10s %8s %s\n", "run", "seconds", "pages/s",
              "peak MB", "target");
  std::printf("%-34s %8.2f %10.0f %8.1f %s\n", "insert into every page",
              first.seconds, pages / first.seconds, first.peak_mb,
              pages / first.seconds >= 500 && first.peak_mb < 200
                  ? ">= 500 pages/s, < 200 MB: PASS"
                  : ">= 500 pages/s, < 200 MB: FAIL");
  std::printf("%-34s %8.2f %10.0f %8.1f %s\n", "second run (all done, skipped)",
              second.seconds, pages / second.seconds, second.peak_mb, "-");
  if (first.status != 0 || second.status != 0)
    std::printf("vorn-cli failed: exit status %d, %d\n", first.status,
                second.status);
  if (!c.keep) std::filesystem::remove_all(base);
  return first.status == 0 && second.status == 0 ? 0 : 1;
}

}  // namespace
}  // namespace vorn::bench

int main(int argc, char** argv) { return vorn::bench::Main(argc, argv); }
