// The window's folder run against `vorn-cli run` on the same folder: the
// real main window on Qt's offscreen platform, its run started as the
// Generate button starts it (multiple-file mode, subfolders, no inspection,
// every message box answered at once), timed from the click until the
// window has handled its last event; vorn-cli as a whole child process.
// Each run starts from a fresh copy of a generated site flushed to the
// disk; the best of --repeat counts, and the ratio of the two is printed.
// Then Stop is clicked half way through a run: the slowest time from the
// click to the "Continue?" question is printed.
//
//   window_bench [--pages=N] [--bytes=N] [--repeat=N] [--dir=PATH]
#include <sys/wait.h>
#include <unistd.h>

#include <QApplication>
#include <QTimer>
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>

#include "app/main_controller.h"
#include "app/qt/main_window.h"
#include "bench/support/page_generator.h"
#include "bench/support/sites.h"

namespace vorn::bench {
namespace {

namespace fs = std::filesystem;

double Since(std::chrono::steady_clock::time_point start) {
  return std::chrono::duration<double>(std::chrono::steady_clock::now() - start)
      .count();
}

// The desktop with a user who answers every box with its first button,
// or No to "Continue?" after Stop.
class AnsweringPlatform : public Platform {
 public:
  Answer Ask(const MessageBox& box) override {
    ++asked;
    if (box.caption == "Continue?") {
      asked_at = std::chrono::steady_clock::now();
      return Answer::kNo;
    }
    return box.buttons == Buttons::kOk ? Answer::kOk : Answer::kYes;
  }
  std::string ChooseFileToOpen(const OpenFileDialog&) override { return {}; }
  std::string ChooseFileToSave(const std::string&) override { return {}; }
  std::string ChooseFolder(const std::string&, const std::string&) override {
    return {};
  }
  void SetClipboardText(std::string_view) override {}
  bool OpenUrl(const std::string&) override { return false; }

  int asked = 0;
  std::chrono::steady_clock::time_point asked_at;  // "Continue?"
};

double CliSeconds(const std::string& site) {
  std::fflush(stdout);
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
  waitpid(pid, &status, 0);
  return WIFEXITED(status) && WEXITSTATUS(status) == 0 ? Since(start) : -1;
}

// The window's run on `site`; with `stop_after_ms`, Stop is clicked that
// long after the start and the result is the time from the click to the
// "Continue?" question.
double WindowSeconds(const std::string& site, const std::string& state,
                     int stop_after_ms = 0) {
  AnsweringPlatform platform;
  MainWindow window;
  MainController controller(
      window, platform,
      {fs::path(VORN_CLI_PATH).parent_path().string(), state});
  window.SetController(&controller);
  if (!controller.StartUp()) return -1;
  controller.ModeClicked(false);
  controller.ParameterClicked(Parameter::kConfirm, false);
  controller.ParameterClicked(Parameter::kIncludeAllSubfolders, true);
  controller.ParameterClicked(Parameter::kSaveStateOnQuit, false);
  controller.TextEdited(TextBox::kFolder, site);
  QCoreApplication::processEvents();
  const int asked = platform.asked;
  const auto start = std::chrono::steady_clock::now();
  if (stop_after_ms > 0)
    QTimer::singleShot(stop_after_ms, &window,
                       [&controller] { controller.StopClicked(); });
  controller.GenerateClicked();
  QCoreApplication::processEvents();  // what the run left to show
  const double seconds = Since(start);
  if (stop_after_ms > 0)
    return std::chrono::duration<double>(
               platform.asked_at - start -
               std::chrono::milliseconds(stop_after_ms))
        .count();
  // The "Result" box alone: any other box means the run did not go through.
  return platform.asked == asked + 1 ? seconds : -1;
}

int Main(int argc, char** argv) {
  int pages = 2000, repeat = 3;
  std::size_t bytes = 10 * 1024;
  std::string base;
  for (int i = 1; i < argc; ++i) {
    const std::string a = argv[i];
    auto value = [&](const char* name) -> const char* {
      const std::string prefix = std::string(name) + "=";
      return a.rfind(prefix, 0) == 0 ? argv[i] + prefix.size() : nullptr;
    };
    if (const char* v = value("--pages"))
      pages = std::atoi(v);
    else if (const char* v = value("--bytes"))
      bytes = std::strtoul(v, nullptr, 10);
    else if (const char* v = value("--repeat"))
      repeat = std::max(1, std::atoi(v));
    else if (const char* v = value("--dir"))
      base = v;
    else {
      std::fprintf(stderr, "unknown argument %s\n", argv[i]);
      return 2;
    }
  }
  if (base.empty()) {
    char pattern[] = "/tmp/vorn-window-bench-XXXXXX";
    base = mkdtemp(pattern);
  }
  std::printf("Generating %d pages of about %zu bytes in 20 folders ...\n",
              pages, bytes);
  GenerateSite(base + "/pristine", 20, pages, bytes);
  qputenv("QT_QPA_PLATFORM", "offscreen");
  QApplication app(argc, argv);
  double cli = 1e30, window = 1e30;
  bool failed = false;
  // In turns, each first every other time.
  for (int i = 0; i < 2 * repeat; ++i) {
    const std::string site = FreshCopy(base + "/pristine");
    const bool window_turn = (i % 2 == 0) == (i / 2 % 2 == 0);
    const double c = window_turn ? 0 : CliSeconds(site);
    const double w = window_turn ? WindowSeconds(site, base + "/state.usr") : 0;
    failed |= c < 0 || w < 0;
    if (c < 0 || w < 0) continue;
    if (!window_turn) cli = std::min(cli, c);
    if (window_turn) window = std::min(window, w);
  }
  // Stop half way through a run: the time until the question.
  double stop = 0;
  for (int i = 0; i < repeat; ++i)
    stop = std::max(
        stop, WindowSeconds(FreshCopy(base + "/pristine"), base + "/state.usr",
                            static_cast<int>(window * 500)));
  fs::remove_all(base);
  std::printf("\n%-28s %8s %9s  %s\n", "run", "seconds", "pages/s", "target");
  std::printf("%-28s %8.2f %9.0f  -\n", "vorn-cli run (baseline)", cli,
              pages / cli);
  std::printf("%-28s %8.2f %9.0f  %.2f x vorn-cli <= 1.2: %s\n",
              "window's folder run", window, pages / window, window / cli,
              window <= 1.2 * cli ? "PASS" : "FAIL");
  std::printf("%-28s %8.3f %9s  slowest of %d <= 0.2 s: %s\n",
              "Stop to its question", stop, "-", repeat,
              stop <= 0.2 ? "PASS" : "FAIL");
  if (failed) std::printf("a run failed\n");
  return failed ? 1 : 0;
}

}  // namespace
}  // namespace vorn::bench

int main(int argc, char** argv) { return vorn::bench::Main(argc, argv); }
