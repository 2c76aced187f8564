// In-process speed of the document scan on a generated 2 MB page, with the
// default settings and with letter case preserved, for the three kinds of
// line breaks. Common words come from the data files beside vorn-cli.

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
                          bool preserve_case) {
  const std::string& page = Page(breaks);
  AnalysisSettings settings;
  settings.PreserveCase = preserve_case;
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
  state.counters["common_words"] = common.Count(settings.TextLanguage);
}

BENCHMARK_CAPTURE(BM_ScanDocumentBytes, crlf_default, LineBreaks::kCrLf, false)
    ->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_ScanDocumentBytes, crlf_preserve_case, LineBreaks::kCrLf,
                  true)
    ->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_ScanDocumentBytes, lf_default, LineBreaks::kLf, false)
    ->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_ScanDocumentBytes, single_line_default, LineBreaks::kNone,
                  false)
    ->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_ScanDocumentBytes, single_line_preserve_case,
                  LineBreaks::kNone, true)
    ->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace vorn::bench

BENCHMARK_MAIN();
