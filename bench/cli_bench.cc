// End-to-end speed and memory of "vorn-cli list FILE" on generated pages,
// each beside the speed of "wc -w" on the same file, measured in the same
// run (runs of the two alternate). The pages are 20 MB with CR LF line
// ends, with 30,000 and with 500 distinct words, drawn by Zipf's law and
// evenly (the even draws are a cache's worst case); each also in one-line
// form. Besides: the first page with LF line ends and in Windows-1252, in
// Russian and in Chinese (UTF-8), and pathological single lines (meta tags,
// font tags, plain text) at two sizes each to show that the time per byte
// does not grow with the line; and "vorn-cli show FILE" on a page whose
// lines end in CR alone and whose head never ends, at a quarter and half
// the size, to show that the time per byte of the head scan does not grow
// with the page.
//
// Each file is listed (or shown) several times by a child process (stdout
// to /dev/null); the best wall time and the child's peak resident memory
// are reported with PASS/FAIL against the targets:
//   - the CR LF pages: 200 MB/s or more, and at least the speed of wc -w
//     (the ratio is printed);
//   - each one-line form, the LF and the Windows-1252 page: at least 90 %
//     of the speed of its CR LF page;
//   - the Russian and Chinese pages: at least half the speed of the first
//     page;
//   - pathological lines and the CR pages: time per MB at the larger size
//     at most 1.5 times that at the smaller size;
//   - every file: peak memory at most 2 x file size + 64 MB.
// For the pages, "words" is the number of distinct words that a scan with
// the default settings keeps (counted in-process, untimed). MB means 2^20
// bytes. The program reports and does not gate: it exits 0
// unless a child fails (a non-zero exit, a crash or a time-out).
//
// Usage: cli_bench [--quick] [--runs=N] [--timeout=SECONDS] [--keep]
//                  [--dir=FOLDER] [--cli=PATH]

#include <fcntl.h>
#include <signal.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/types.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <clocale>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <fstream>
#include <functional>
#include <iterator>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "bench/support/page_generator.h"
#include "bench/support/silent_view.h"
#include "engine/common_words.h"
#include "engine/scanner.h"
#include "engine/settings.h"
#include "engine/word_table.h"

namespace vorn::bench {
namespace {

constexpr double kMiB = 1024.0 * 1024.0;
constexpr double kTargetMbPerSecond = 200.0;
constexpr double kSameFormShare = 0.9;
constexpr double kHalfSpeedShare = 0.5;
constexpr double kMaxPerMbGrowth = 1.5;
constexpr std::size_t kNumRows = 20;

struct Config {
  bool quick = false;
  int runs = 3;
  int timeout_seconds = 120;
  bool keep = false;
  std::string dir;
  std::string cli = VORN_CLI_PATH;
};

// What a row is checked against.
enum class Check {
  kPageSpeed,  // at least kTargetMbPerSecond and the speed of wc -w
  kSameForm,   // at least kSameFormShare of the speed of `reference`
  kHalfSpeed,  // at least kHalfSpeedShare of the speed of `reference`
  kReference,  // the smaller of a pathological pair: memory only
  kLinear,     // time per MB at most kMaxPerMbGrowth x that of `reference`
};

struct Row {
  std::string name;
  Check check = Check::kPageSpeed;
  int reference = -1;            // index of the row compared with
  bool count_words = false;      // report the distinct words of the table
  std::string command = "list";  // what vorn-cli is asked to do with it
  std::string path;
  std::uint64_t bytes = 0;
  // Measured.
  bool ok = false;  // every run finished with exit status 0
  std::string failure;
  double best_seconds = 0;
  double wc_seconds = 0;  // best time of wc -w on the same file
  double peak_mb = 0;
  long words = -1;
};

struct RunResult {
  bool ok = false;
  std::string failure;  // why not ok
  double seconds = 0;
  double peak_mb = 0;
};

std::optional<Config> ParseArgs(int argc, char** argv) {
  Config c;
  for (int i = 1; i < argc; ++i) {
    const std::string_view a = argv[i];
    if (a == "--quick") {
      c.quick = true;
    } else if (a == "--keep") {
      c.keep = true;
    } else if (a.starts_with("--runs=")) {
      c.runs = std::atoi(argv[i] + 7);
    } else if (a.starts_with("--timeout=")) {
      c.timeout_seconds = std::atoi(argv[i] + 10);
    } else if (a.starts_with("--dir=")) {
      c.dir = std::string(a.substr(6));
    } else if (a.starts_with("--cli=")) {
      c.cli = std::string(a.substr(6));
    } else {
      return std::nullopt;
    }
  }
  if (c.runs < 1 || c.timeout_seconds < 1) return std::nullopt;
  return c;
}

bool WriteFile(const std::string& path, std::string_view bytes) {
  std::FILE* f = std::fopen(path.c_str(), "wb");
  if (f == nullptr) return false;
  const bool ok = std::fwrite(bytes.data(), 1, bytes.size(), f) == bytes.size();
  return std::fclose(f) == 0 && ok;
}

std::string ReadStart(const std::string& path, std::size_t max) {
  std::ifstream in(path, std::ios::binary);
  std::string s(max, '\0');
  in.read(s.data(), static_cast<std::streamsize>(max));
  s.resize(static_cast<std::size_t>(in.gcount()));
  return s;
}

// Distinct words that a scan with the default settings keeps, in-process
// and untimed: shows that a page exercises a large word table. -1 when the
// scan fails.
long CountWords(std::string_view bytes, const std::string& cli) {
  CommonWordsTable common;
  common.InitCommonWords(cli.substr(0, cli.find_last_of('/')));
  SilentView view;
  WordTable table;
  std::int64_t position = 0;
  const DocumentStatus status = ScanDocumentBytes(
      bytes, AnalysisSettings{}, common, ScanOptions{}, view, table, &position);
  if (status != DocumentStatus::kScanned) return -1;
  return static_cast<long>(table.WordCount());
}

// Runs `program` with `args` (stdout to `out_path`, stderr to
// `err_path`); measures the wall time from fork to exit and the child's
// peak RSS. A child still running after `timeout_seconds` is killed.
RunResult RunChild(const Config& config, const std::string& program,
                   const std::vector<std::string>& args,
                   const std::string& out_path, const std::string& err_path) {
  RunResult r;
  sigset_t chld, old;
  sigemptyset(&chld);
  sigaddset(&chld, SIGCHLD);
  // Blocked before the fork so that the exit cannot be missed; the child
  // restores the mask before exec.
  sigprocmask(SIG_BLOCK, &chld, &old);
  const auto start = std::chrono::steady_clock::now();
  const pid_t pid = fork();
  if (pid < 0) {
    sigprocmask(SIG_SETMASK, &old, nullptr);
    r.failure = std::string("fork: ") + std::strerror(errno);
    return r;
  }
  if (pid == 0) {
    sigprocmask(SIG_SETMASK, &old, nullptr);
    const int out = open(out_path.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    const int err = open(err_path.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    if (out < 0 || err < 0) _exit(126);
    dup2(out, STDOUT_FILENO);
    dup2(err, STDERR_FILENO);
    close(out);
    close(err);
    std::vector<char*> argv;
    argv.push_back(const_cast<char*>(program.c_str()));
    for (const std::string& a : args)
      argv.push_back(const_cast<char*>(a.c_str()));
    argv.push_back(nullptr);
    execvp(program.c_str(), argv.data());
    _exit(127);
  }
  const auto deadline = start + std::chrono::seconds(config.timeout_seconds);
  bool exited = false;
  while (!exited) {
    const auto left = deadline - std::chrono::steady_clock::now();
    if (left <= std::chrono::nanoseconds(0)) break;
    const auto ns =
        std::chrono::duration_cast<std::chrono::nanoseconds>(left).count();
    const timespec wait = {static_cast<time_t>(ns / 1000000000),
                           static_cast<long>(ns % 1000000000)};
    if (sigtimedwait(&chld, nullptr, &wait) == SIGCHLD) exited = true;
    // EINTR: wait again; EAGAIN: the deadline has passed.
  }
  const auto end = std::chrono::steady_clock::now();
  if (!exited) kill(pid, SIGKILL);
  int status = 0;
  rusage usage{};
  while (wait4(pid, &status, 0, &usage) < 0 && errno == EINTR) {
  }
  sigprocmask(SIG_SETMASK, &old, nullptr);
  r.seconds = std::chrono::duration<double>(end - start).count();
  r.peak_mb = static_cast<double>(usage.ru_maxrss) / 1024.0;  // KiB
  if (!exited) {
    r.failure =
        "timed out after " + std::to_string(config.timeout_seconds) + " s";
  } else if (WIFSIGNALED(status)) {
    r.failure = std::string("killed by signal ") + strsignal(WTERMSIG(status));
  } else if (WEXITSTATUS(status) != 0) {
    r.failure = "exit status " + std::to_string(WEXITSTATUS(status));
    if (WEXITSTATUS(status) == 127)
      r.failure += " (cannot run " + program + ")";
  } else {
    r.ok = true;
  }
  if (!r.ok) {
    std::string err = ReadStart(err_path, 300);
    std::replace(err.begin(), err.end(), '\n', ' ');
    if (!err.empty()) r.failure += ": " + err;
  }
  return r;
}

void Measure(const Config& config, const std::string& dir, Row& row) {
  const std::string err = dir + "/stderr.txt";
  row.ok = true;
  // The baseline alternates with the program, so that both see the same
  // load on the machine.
  for (int i = 0; i < config.runs; ++i) {
    const RunResult r =
        RunChild(config, config.cli, {row.command, row.path}, "/dev/null", err);
    if (!r.ok) {
      row.ok = false;
      row.failure = r.failure;
      break;
    }
    if (i == 0 || r.seconds < row.best_seconds) row.best_seconds = r.seconds;
    row.peak_mb = std::max(row.peak_mb, r.peak_mb);
    const RunResult wc =
        RunChild(config, "wc", {"-w", row.path}, "/dev/null", err);
    if (!wc.ok) {
      row.ok = false;
      row.failure = "wc -w: " + wc.failure;
      break;
    }
    if (i == 0 || wc.seconds < row.wc_seconds) row.wc_seconds = wc.seconds;
  }
  std::remove(err.c_str());
}

double SizeMb(const Row& row) { return static_cast<double>(row.bytes) / kMiB; }
double Speed(const Row& row) { return SizeMb(row) / row.best_seconds; }
double WcSpeed(const Row& row) { return SizeMb(row) / row.wc_seconds; }
double SecondsPerMb(const Row& row) { return row.best_seconds / SizeMb(row); }
double MemoryLimitMb(const Row& row) { return 2 * SizeMb(row) + 64; }

// The target text and the verdict of a row's speed.
std::pair<std::string, std::string> SpeedVerdict(const std::vector<Row>& rows,
                                                 const Row& row) {
  char text[96];
  if (!row.ok) return {"-", "FAIL"};
  switch (row.check) {
    case Check::kPageSpeed: {
      std::snprintf(text, sizeof text, ">= %.0f MB/s and >= wc -w",
                    kTargetMbPerSecond);
      const bool pass =
          Speed(row) >= kTargetMbPerSecond && Speed(row) >= WcSpeed(row);
      return {text, pass ? "PASS" : "FAIL"};
    }
    case Check::kSameForm:
    case Check::kHalfSpeed: {
      const Row& ref = rows[static_cast<std::size_t>(row.reference)];
      if (!ref.ok) return {"-", "n/a"};
      const double share =
          row.check == Check::kSameForm ? kSameFormShare : kHalfSpeedShare;
      const double want = share * Speed(ref);
      std::snprintf(text, sizeof text, ">= %.1f MB/s (%.2fx %s)", want,
                    Speed(row) / Speed(ref), ref.name.c_str());
      return {text, Speed(row) >= want ? "PASS" : "FAIL"};
    }
    case Check::kReference:
      return {"reference for the next", "-"};
    case Check::kLinear: {
      const Row& ref = rows[static_cast<std::size_t>(row.reference)];
      if (!ref.ok) return {"-", "n/a"};
      const double growth = SecondsPerMb(row) / SecondsPerMb(ref);
      std::snprintf(text, sizeof text, "s/MB <= %.1fx (%.2fx %s)",
                    kMaxPerMbGrowth, growth, ref.name.c_str());
      return {text, growth <= kMaxPerMbGrowth ? "PASS" : "FAIL"};
    }
  }
  return {"-", "-"};
}

void PrintTable(const std::vector<Row>& rows) {
  std::printf("%-26s %7s %6s %6s %6s %6s %7s %7s %6s  %-37s %-5s %-5s\n",
              "file", "size MB", "best s", "MB/s", "wc MB/s", "ratio",
              "peak MB", "limit", "words", "speed target", "speed", "mem");
  int checks = 0;
  int failed = 0;
  auto count = [&](const std::string& verdict) {
    if (verdict == "PASS" || verdict == "FAIL") ++checks;
    if (verdict == "FAIL") ++failed;
  };
  for (const Row& row : rows) {
    const auto [target, verdict] = SpeedVerdict(rows, row);
    const double limit = MemoryLimitMb(row);
    count(verdict);
    if (!row.ok) {
      std::printf(
          "%-26s %7.2f %6s %6s %6s %6s %7s %7.1f %6s  %-37s %-5s %-5s\n",
          row.name.c_str(), SizeMb(row), "-", "-", "-", "-", "-", limit, "-",
          target.c_str(), "FAIL", "-");
      std::printf("    %s\n", row.failure.c_str());
      continue;
    }
    char words[24] = "-";
    if (row.words >= 0) std::snprintf(words, sizeof words, "%ld", row.words);
    const std::string memory = row.peak_mb <= limit ? "PASS" : "FAIL";
    count(memory);
    std::printf(
        "%-26s %7.2f %6.3f %6.1f %7.1f %6.2f %7.1f %7.1f %6s  %-37s %-5s "
        "%-5s\n",
        row.name.c_str(), SizeMb(row), row.best_seconds, Speed(row),
        WcSpeed(row), Speed(row) / WcSpeed(row), row.peak_mb, limit, words,
        target.c_str(), verdict.c_str(), memory.c_str());
  }
  std::printf("\n%d of %d checks passed\n", checks - failed, checks);
}

std::string MakeFolder(const Config& config) {
  if (!config.dir.empty()) {
    mkdir(config.dir.c_str(), 0755);
    return config.dir;
  }
  const char* tmp = std::getenv("TMPDIR");
  std::string templ =
      std::string(tmp != nullptr && *tmp != '\0' ? tmp : "/tmp") +
      "/vorn-bench-XXXXXX";
  if (mkdtemp(templ.data()) == nullptr) return {};
  return templ;
}

// The files to measure, in table order; `reference` indexes refer to it.
std::vector<Row> PlanRows(const Config& config) {
  const std::size_t tags_small = config.quick ? 10000 : 50000;
  const std::size_t tags_large = 2 * tags_small;
  const std::string small_k = std::to_string(tags_small / 1000) + "k";
  const std::string large_k = std::to_string(tags_large / 1000) + "k";
  const int text_small = config.quick ? 5 : 25;
  auto row = [](std::string name, Check check, int reference,
                bool count_words) {
    Row r;
    r.name = std::move(name);
    r.check = check;
    r.reference = reference;
    r.count_words = count_words;
    return r;
  };
  std::vector<Row> rows = {
      row("page-30k-zipf.html", Check::kPageSpeed, -1, true),
      row("page-30k-even.html", Check::kPageSpeed, -1, true),
      row("page-500-zipf.html", Check::kPageSpeed, -1, true),
      row("page-500-even.html", Check::kPageSpeed, -1, true),
      row("page-30k-zipf-1line.html", Check::kSameForm, 0, true),
      row("page-30k-even-1line.html", Check::kSameForm, 1, true),
      row("page-500-zipf-1line.html", Check::kSameForm, 2, true),
      row("page-500-even-1line.html", Check::kSameForm, 3, true),
      row("page-30k-zipf-lf.html", Check::kSameForm, 0, true),
      row("page-30k-zipf-1252.html", Check::kSameForm, 0, true),
      row("page-ru.html", Check::kHalfSpeed, 0, true),
      row("page-zh.html", Check::kHalfSpeed, 0, true),
      row("meta-" + small_k + ".html", Check::kReference, -1, false),
      row("meta-" + large_k + ".html", Check::kLinear, 12, false),
      row("font-" + small_k + ".html", Check::kReference, -1, false),
      row("font-" + large_k + ".html", Check::kLinear, 14, false),
      row("text-" + std::to_string(text_small) + "mb.html", Check::kReference,
          -1, false),
      row("text-" + std::to_string(2 * text_small) + "mb.html", Check::kLinear,
          16, false),
      row("cr-show-quarter.html", Check::kReference, -1, false),
      row("cr-show-half.html", Check::kLinear, 18, false),
  };
  rows[18].command = rows[19].command = "show";
  return rows;
}

// Generates each row's file into `dir` and writes the word counts of the
// pages, one per row, into `dir`/words.txt. Returns false on a write error.
bool GenerateFiles(const Config& config, const std::string& dir,
                   const std::vector<Row>& rows) {
  const std::size_t page_bytes = (config.quick ? 4u : 20u) << 20;
  const std::size_t tags_small = config.quick ? 10000 : 50000;
  const std::size_t text_small = (config.quick ? 5u : 25u) << 20;
  const Vocabulary zipf_30k(30000, 1, Draws::kZipf);
  const Vocabulary even_30k(30000, 1, Draws::kEven);
  const Vocabulary zipf_500(500, 1, Draws::kZipf);
  const Vocabulary even_500(500, 1, Draws::kEven);
  auto page = [&](const Vocabulary& vocabulary, LineBreaks breaks,
                  Script script = Script::kLatin,
                  TextEncoding encoding = TextEncoding::kUtf8) {
    PageOptions o;
    o.target_bytes = page_bytes;
    o.seed = 1;
    o.line_breaks = breaks;
    o.script = script;
    o.encoding = encoding;
    o.vocabulary_size = vocabulary.size();
    return GeneratePage(o, vocabulary);
  };
  // A page whose lines end in CR alone and whose head has no end: the
  // listing of its existing tags reads every line of it.
  auto cr_only = [&](std::size_t bytes) {
    PageOptions o;
    o.target_bytes = bytes;
    o.seed = 1;
    o.line_breaks = LineBreaks::kCrLf;
    o.vocabulary_size = zipf_30k.size();
    std::string text = GeneratePage(o, zipf_30k);
    std::string out;
    out.reserve(text.size());
    for (std::size_t i = 0; i < text.size(); ++i) {
      if (text[i] == '\n' && i > 0 && text[i - 1] == '\r') continue;
      if (text.compare(i, 7, "</head>") == 0) {
        i += 6;
        continue;
      }
      out.push_back(text[i]);
    }
    return out;
  };
  const LineBreaks crlf = LineBreaks::kCrLf;
  const LineBreaks none = LineBreaks::kNone;
  // One at a time, so that only one file is in memory.
  const std::function<std::string()> make[] = {
      [&] { return page(zipf_30k, crlf); },
      [&] { return page(even_30k, crlf); },
      [&] { return page(zipf_500, crlf); },
      [&] { return page(even_500, crlf); },
      [&] { return page(zipf_30k, none); },
      [&] { return page(even_30k, none); },
      [&] { return page(zipf_500, none); },
      [&] { return page(even_500, none); },
      [&] { return page(zipf_30k, LineBreaks::kLf); },
      [&] {
        return page(zipf_30k, crlf, Script::kLatin, TextEncoding::kLatin1);
      },
      [&] { return page(zipf_30k, crlf, Script::kCyrillic); },
      [&] { return page(zipf_30k, crlf, Script::kHan); },
      [&] { return GenerateMetaTagLine(tags_small, 2); },
      [&] { return GenerateMetaTagLine(2 * tags_small, 2); },
      [&] { return GenerateFontTagLine(tags_small, 3); },
      [&] { return GenerateFontTagLine(2 * tags_small, 3); },
      [&] { return GeneratePlainTextLine(text_small, 4); },
      [&] { return GeneratePlainTextLine(2 * text_small, 4); },
      [&] { return cr_only(page_bytes / 4); },
      [&] { return cr_only(page_bytes / 2); },
  };
  static_assert(std::size(make) == kNumRows);
  if (rows.size() != kNumRows) return false;
  std::string words;
  for (std::size_t i = 0; i < rows.size(); ++i) {
    const std::string contents = make[i]();
    const long n = rows[i].count_words ? CountWords(contents, config.cli) : -1;
    words += std::to_string(n) + "\n";
    if (!WriteFile(dir + "/" + rows[i].name, contents)) {
      std::fprintf(stderr, "cli_bench: cannot write %s/%s\n", dir.c_str(),
                   rows[i].name.c_str());
      return false;
    }
  }
  return WriteFile(dir + "/words.txt", words);
}

// Generates the files in a child process and fills in the rows' paths,
// sizes and word counts. A child's peak memory as the kernel reports it
// starts from the size of the process that forked it, so the generator's
// memory must never be part of this process.
bool GenerateInChild(const Config& config, const std::string& dir,
                     std::vector<Row>& rows) {
  std::fflush(nullptr);
  const pid_t pid = fork();
  if (pid < 0) return false;
  if (pid == 0) _exit(GenerateFiles(config, dir, rows) ? 0 : 1);
  int status = 0;
  while (waitpid(pid, &status, 0) < 0 && errno == EINTR) {
  }
  if (!WIFEXITED(status) || WEXITSTATUS(status) != 0) return false;
  std::ifstream words(dir + "/words.txt");
  for (Row& row : rows) {
    row.path = dir + "/" + row.name;
    struct stat st {};
    if (stat(row.path.c_str(), &st) != 0) return false;
    row.bytes = static_cast<std::uint64_t>(st.st_size);
    if (!(words >> row.words)) return false;
  }
  words.close();
  std::remove((dir + "/words.txt").c_str());
  return true;
}

// This process's resident memory in MB, from /proc; 0 when unknown.
double OwnRssMb() {
  std::ifstream in("/proc/self/status");
  std::string key;
  while (in >> key) {
    if (key == "VmRSS:") {
      double kib = 0;
      in >> kib;
      return kib / 1024.0;
    }
    in.ignore(1 << 20, '\n');
  }
  return 0;
}

int Main(int argc, char** argv) {
  const std::optional<Config> parsed = ParseArgs(argc, argv);
  if (!parsed) {
    std::fprintf(stderr,
                 "usage: cli_bench [--quick] [--runs=N] [--timeout=SECONDS] "
                 "[--keep] [--dir=FOLDER] [--cli=PATH]\n");
    return 2;
  }
  const Config& config = *parsed;
  if (access(config.cli.c_str(), X_OK) != 0) {
    std::fprintf(stderr, "cli_bench: cannot run %s\n", config.cli.c_str());
    return 1;
  }
  const std::string dir = MakeFolder(config);
  if (dir.empty()) {
    std::fprintf(stderr, "cli_bench: cannot create a temporary folder\n");
    return 1;
  }
  std::vector<Row> rows = PlanRows(config);
  std::printf("Generating %zu files in %s ...\n", rows.size(), dir.c_str());
  std::fflush(stdout);
  if (!GenerateInChild(config, dir, rows)) {
    std::fprintf(stderr, "cli_bench: cannot generate the files\n");
    return 1;
  }

  const char* ctype = std::setlocale(LC_CTYPE, "");
  double load[3] = {0, 0, 0};
  const bool has_load = getloadavg(load, 3) == 3;
  std::printf(
      "%s list FILE and wc -w FILE (LC_CTYPE %s), best of %d run%s each, "
      "MB = 2^20 bytes\n"
      "load average at the start: %s%.2f %.2f %.2f\n"
      "(this launcher holds %.1f MB when it forks: no child's peak can "
      "be much below that)\n\n",
      config.cli.c_str(), ctype != nullptr ? ctype : "?", config.runs,
      config.runs == 1 ? "" : "s", has_load ? "" : "unknown ", load[0], load[1],
      load[2], OwnRssMb());
  std::fflush(stdout);
  bool child_failed = false;
  for (Row& row : rows) {
    Measure(config, dir, row);
    child_failed = child_failed || !row.ok;
  }
  PrintTable(rows);
  if (getloadavg(load, 3) == 3)
    std::printf("load average at the end: %.2f %.2f %.2f\n", load[0], load[1],
                load[2]);

  if (!config.keep) {
    for (const Row& row : rows) std::remove(row.path.c_str());
    if (config.dir.empty()) rmdir(dir.c_str());
  } else {
    std::printf("\nFiles kept in %s\n", dir.c_str());
  }
  return child_failed ? 1 : 0;
}

}  // namespace
}  // namespace vorn::bench

int main(int argc, char** argv) { return vorn::bench::Main(argc, argv); }
