// In-process speed of the document scan on a generated 2 MB page, with the
// default settings and with letter case preserved, for the three kinds of
// line breaks, and with the language "Automatic". Common words come from the
// data files beside vorn-cli; reading them all is measured too.

#include <benchmark/benchmark.h>

#include <cstdint>
#include <string>

#include "bench/support/page_generator.h"
#include "bench/support/silent_view.h"
#include "engine/common_words.h"
#include "engine/scanner.h"
#include "engine/settings.h"
#include "engine/word_table.h"

namespace vorn::bench {
namespace {

constexpr std::size_t kPageBytes = 2 << 20;

const std::string& Page(LineBreaks breaks) {
  static const Vocabulary* vocabulary = new Vocabulary(30000, 1);
  auto make = [](LineBreaks b) {
    PageOptions o;
    o.target_bytes = kPageBytes;
    o.line_breaks = b;
    return new std::string(GeneratePage(o, *vocabulary));
  };
  static const std::string* crlf = make(LineBreaks::kCrLf);
  static const std::string* lf = make(LineBreaks::kLf);
  static const std::string* none = make(LineBreaks::kNone);
  switch (breaks) {
    case LineBreaks::kCrLf:
      return *crlf;
    case LineBreaks::kLf:
      return *lf;
    case LineBreaks::kNone:
      return *none;
  }
  return *crlf;
}

const CommonWordsTable& CommonWords() {
  static const CommonWordsTable* table = [] {
    auto* t = new CommonWordsTable;
    std::string folder = VORN_CLI_PATH;
    folder.erase(folder.find_last_of('/'));
    t->InitCommonWords(folder);
    return t;
  }();
  return *table;
}

void BM_ScanDocumentBytes(benchmark::State& state, LineBreaks breaks,
                          bool preserve_case, int language = kEnglish) {
  const std::string& page = Page(breaks);
  AnalysisSettings settings;
  settings.PreserveCase = preserve_case;
  settings.TextLanguage = language;
  const CommonWordsTable& common = CommonWords();
  SilentView view;
  std::size_t words = 0;
  for (auto _ : state) {
    WordTable table;
    std::int64_t position = 0;
    const DocumentStatus status = ScanDocumentBytes(
        page, settings, common, ScanOptions{}, view, table, &position);
    if (status != DocumentStatus::kScanned) {
      state.SkipWithError("the scan did not complete");
      break;
    }
    words = table.WordCount();
    benchmark::DoNotOptimize(words);
  }
  state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations()) *
                          static_cast<std::int64_t>(page.size()));
  state.counters["words"] = static_cast<double>(words);
  state.counters["common_words"] = common.Count(CommonWordsLanguage(settings));
}

BENCHMARK_CAPTURE(BM_ScanDocumentBytes, crlf_default, LineBreaks::kCrLf, false)
    ->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_ScanDocumentBytes, crlf_preserve_case, LineBreaks::kCrLf,
                  true)
    ->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_ScanDocumentBytes, lf_default, LineBreaks::kLf, false)
    ->Unit(benchmark::kMillisecond);
// The same page with "Automatic": its <html lang="en"> is found first.
BENCHMARK_CAPTURE(BM_ScanDocumentBytes, lf_automatic, LineBreaks::kLf, false,
                  kAutomaticLanguage)
    ->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_ScanDocumentBytes, single_line_default, LineBreaks::kNone,
                  false)
    ->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_ScanDocumentBytes, single_line_preserve_case,
                  LineBreaks::kNone, true)
    ->Unit(benchmark::kMillisecond);

// Start-up: the common words read before the first page is scanned. The
// baseline reads the first seven lists (the six first languages and
// "Another"), as start-up did before the other languages came; "all" reads
// every list; "lazily" is start-up now, which reads the chosen language's
// list only (each other list is read when a page first needs it).
enum class Reading { kFirstSevenBaseline, kAll, kLazily };

void BM_InitCommonWords(benchmark::State& state, Reading reading) {
  std::string folder = VORN_CLI_PATH;
  folder.erase(folder.find_last_of('/'));
  int words = 0;
  for (auto _ : state) {
    CommonWordsTable table;
    table.InitCommonWords(folder);
    words = 0;
    switch (reading) {
      case Reading::kFirstSevenBaseline:
        for (int language : {0, 1, 2, 3, 4, 5, kAnotherLanguage}) {
          table.LoadCommonWords(folder, language);
          words += table.Count(language);
        }
        break;
      case Reading::kAll:
        for (int language = 0; language < kNumLanguages; ++language)
          words += table.Count(language);
        break;
      case Reading::kLazily:
        words = table.Count(kEnglish);
        break;
    }
    benchmark::DoNotOptimize(words);
  }
  state.counters["words"] = words;
}

BENCHMARK_CAPTURE(BM_InitCommonWords, first_seven_baseline,
                  Reading::kFirstSevenBaseline)
    ->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(BM_InitCommonWords, all, Reading::kAll)
    ->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(BM_InitCommonWords, lazily, Reading::kLazily)
    ->Unit(benchmark::kMicrosecond);

}  // namespace
}  // namespace vorn::bench

BENCHMARK_MAIN();
