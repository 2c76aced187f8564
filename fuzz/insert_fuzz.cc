// libFuzzer entry point: any bytes as a page into which the keywords tag
// (or the done tag alone) is written. The first byte chooses the tag and
// the options, the rest is the page. Besides the sanitizers' checks: a
// refused rewrite hands back nothing, a done one holds the tag, and a
// rewrite keeps every line after the head's end byte for byte. A UTF-16
// page is checked as its UTF-8 form, and a rewrite of it must decode.

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "documents/insert.h"
#include "engine/document_checks.h"

namespace vorn {
namespace {

// UTF-8 tags: plain ASCII, and one with letters Windows-1252 holds (é) and
// one it does not (→), written as a character reference there.
constexpr const char* kTags[] = {
    R"(<meta name="keywords" content="alpha, beta">)",
    "<meta name=\"keywords\" content=\"caf\xC3\xA9, \xE2\x86\x92\">",
};

// `bytes` as the checks read them: UTF-16 as UTF-8, the rest as it is.
std::string Checkable(std::string_view bytes, const Encoding& encoding) {
  std::string text(bytes);
  if (IsUtf16(encoding) &&
      Utf16PageAsUtf8(bytes, encoding, &text) != std::string_view::npos)
    std::abort();
  return text;
}

void FuzzOne(std::uint8_t choice, std::string_view bytes) {
  const Encoding encoding = DetectEncoding(bytes).encoding;
  InsertOptions options;
  options.add_done = (choice & 1) != 0;
  options.today = "2008-01-31";
  const std::string_view tag = kTags[(choice >> 1) & 1];
  std::string out = "unset";
  if ((choice & 4) != 0) {
    const DoneResult r = InsertDoneMetaTagIntoBytes(bytes, options, &out);
    if (r != DoneResult::kWritten) {
      if (out != "unset") std::abort();
    } else if (Checkable(out, encoding).find(DoneMetaTagLine(options.today)) ==
               std::string::npos) {
      std::abort();
    }
    return;
  }
  const InsertResult r =
      InsertKeywordsMetaTagIntoBytes(bytes, tag, options, &out);
  if (r != InsertResult::kInserted) {
    if (out != "unset") std::abort();
    return;
  }
  out = Checkable(out, encoding);
  const std::string page = Checkable(bytes, encoding);
  if (out.find("<meta name=\"keywords\" content=\"") == std::string::npos)
    std::abort();
  // The lines after the head's end are copied unchanged, so the page ends
  // as it did after the last line that holds "</head>" (an earlier one may
  // have been inside a tag that the rewrite removed).
  std::string lower(page);
  for (char& c : lower)
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c + 32);
  std::size_t rest = page.find_first_of("\r\n", lower.rfind("</head>"));
  if (rest == std::string_view::npos) return;
  rest += page.substr(rest, 2) == "\r\n" ? 2 : 1;
  if (!std::string_view(out).ends_with(page.substr(rest))) std::abort();
}

}  // namespace
}  // namespace vorn

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data,
                                      std::size_t size) {
  if (size < 1) return 0;
  vorn::FuzzOne(
      data[0],
      std::string_view(reinterpret_cast<const char*>(data + 1), size - 1));
  return 0;
}
