// libFuzzer entry point: any bytes through the document scan. The first two
// bytes choose the settings, the rest is the document. Besides the
// sanitizers' checks, the finished table must be well formed.

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "bench/support/silent_view.h"
#include "engine/common_words.h"
#include "engine/scanner.h"
#include "engine/settings.h"
#include "engine/ui.h"
#include "engine/word_table.h"
#include "support/unicode.h"

namespace vorn {
namespace {

const CommonWordsTable& Common() {
  static const CommonWordsTable* table = [] {
    auto* t = new CommonWordsTable;
    t->LoadFromText(kEnglish, "the and of with into about\r\n");
    return t;
  }();
  return *table;
}

// Two bytes of choices: bit fields pick weights of 0 (skipping blocks and
// the keywords tag) or not, letter case, short words, the threshold and the
// language.
AnalysisSettings SettingsFrom(std::uint8_t a, std::uint8_t b) {
  AnalysisSettings s;
  s.TableWeight = (a & 0x01) ? 0 : 2;
  s.DivWeight = (a & 0x02) ? 0 : 2;
  s.SpanWeight = (a & 0x04) ? 0 : 4;
  s.ExistingKeywordsWeight = (a & 0x08) ? 30 : 0;
  s.PreserveCase = (a & 0x10) != 0;
  s.IgnoreShortWords = (a & 0x20) == 0;
  s.IgnoreCommonWords = (a & 0x40) == 0;
  s.TitleWeight = (a & 0x80) ? 0 : 90;
  s.ThresholdFrequency = 1 + (b & 0x07);  // 1..8
  s.ShortWordSize = 1 + ((b >> 3) & 0x07);
  // English, French, the page's own (with French as the fallback), and
  // English with no bold weight.
  const int kLanguage[] = {kEnglish, kFrench, kAutomaticLanguage, kEnglish};
  s.TextLanguage = kLanguage[b >> 6];
  s.FallbackLanguage = kFrench;
  s.BoldWeight = (b >> 6) == 3 ? 0 : 4;
  return s;
}

bool WellFormed(const WordTable& table, const AnalysisSettings& s) {
  for (std::size_t i = 0; i < table.WordCount(); ++i) {
    const WordEntry& e = table.Entry(i);
    // Valid UTF-8 of at most 60 letters and joiners, starting with a
    // letter.
    if (e.word.empty() || FirstInvalidUtf8(e.word) != std::string::npos ||
        ShapeOf(e.word).chars > static_cast<std::size_t>(kMaxWordLength))
      return false;
    const char* const end = e.word.data() + e.word.size();
    for (const char* p = e.word.data(); p < end;) {
      const Utf8Char c = DecodeUtf8(p, end);
      if (p == e.word.data() ? !IsLetter(c.cp) : !IsWordPart(c.cp))
        return false;
      p += c.length;
    }
    if (!(e.KeyValue >= 0.0f && e.KeyValue <= 100.0f + 1e-4f)) return false;
    if (i > 0 && e.KeyValue > table.Entry(i - 1).KeyValue) return false;
    if (e.Frequency < 1) return false;
    if (e.Frequency < s.ThresholdFrequency && !e.ThresholdExempt) return false;
  }
  return true;
}

// Aborts when the scan of `data` breaks a promise of the scanner.
void FuzzOne(const std::uint8_t* data, std::size_t size) {
  if (size < 2) return;
  const AnalysisSettings s = SettingsFrom(data[0], data[1]);
  const std::string_view doc(reinterpret_cast<const char*>(data + 2), size - 2);
  bench::SilentView view;
  WordTable table;
  std::int64_t position = 0;
  const DocumentStatus status = ScanDocumentBytes(
      doc, s, Common(), ScanOptions{}, view, table, &position);
  if (status == DocumentStatus::kScanned) {
    if (!WellFormed(table, s)) std::abort();
  } else if (status == DocumentStatus::kNotText) {
    // Minus the 1-based position of a control byte.
    if (position >= 0 || static_cast<std::size_t>(-position) > doc.size()) {
      std::abort();
    }
    const auto b = static_cast<unsigned char>(doc[-position - 1]);
    if (b == 9 || b == 10 || b == 13 || b >= 32) std::abort();
  } else if (status == DocumentStatus::kUndecodable) {
    // The 1-based position of a byte of a page in its declared encoding.
    if (position < 1 || static_cast<std::size_t>(position) > doc.size())
      std::abort();
  } else {
    std::abort();  // nothing else can happen to bytes in memory
  }
}

}  // namespace
}  // namespace vorn

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data,
                                      std::size_t size) {
  vorn::FuzzOne(data, size);
  return 0;
}
