// libFuzzer entry point: any bytes through the finder of a page's existing
// tags (the listing, the old-tag reader, and the tag spans of each line).
// Besides the sanitizers' checks, every span found must lie on its line and
// frame a tag: "<meta " at its start, ">" at its end.

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "documents/meta_tags.h"
#include "support/unicode.h"

namespace vorn {
namespace {

void CheckSpan(std::string_view lower, TagSpan span) {
  if (span.start == 0) {
    if (span.end != 0) std::abort();
    return;
  }
  if (span.start > lower.size() || lower.substr(span.start - 1, 6) != "<meta ")
    std::abort();
  if (span.end != 0 && (span.end <= span.start || span.end > lower.size() ||
                        lower[span.end - 1] != '>'))
    std::abort();
}

void FuzzOne(std::string_view page) {
  // Both read the head whatever it holds; a listing without a keywords tag
  // says so at its end.
  const std::string listing = ListExistingTagsOfBytes(page);
  if (listing.find("KEYWORDS meta tag: ") == std::string::npos &&
      !listing.ends_with(kNoKeywordsTagFound))
    std::abort();
  (void)GetOldKeywordsMetaTagOfBytes(page);
  std::size_t start = 0;
  while (start <= page.size()) {
    std::size_t end = page.find_first_of("\r\n", start);
    if (end == std::string_view::npos) end = page.size();
    const std::string lower = LowerAscii(page.substr(start, end - start));
    CheckSpan(lower, FindKeywordsMetaTag(lower));
    CheckSpan(lower, FindDoneMetaTag(lower));
    start = end + 1;
  }
}

}  // namespace
}  // namespace vorn

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data,
                                      std::size_t size) {
  vorn::FuzzOne(std::string_view(reinterpret_cast<const char*>(data), size));
  return 0;
}
