// Before a document is scanned: is it a text file, and which line ends does
// it use? Also the page's character encoding.
#ifndef VORN_ENGINE_DOCUMENT_CHECKS_H_
#define VORN_ENGINE_DOCUMENT_CHECKS_H_

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <optional>
#include <string>
#include <string_view>

#include "support/encoding.h"

namespace vorn {

// Result of the byte and line-end tests. For ClassifyTextBytes a negative
// value is minus the 1-based position of the first non-text byte.
using LineEndingKind = std::int64_t;
inline constexpr LineEndingKind kMixedOrNoLineEnds = 1;  // CR and LF, or none
inline constexpr LineEndingKind kUnixLineEnds = 2;       // LF only
inline constexpr LineEndingKind kMacLineEnds = 3;        // CR only

// Text bytes are TAB and 32-255; CR and LF are whitespace; every other
// byte (0-8, 11, 12, 14-31) is neither.
inline bool IsNonTextByte(unsigned char b) {
  return b < 32 && b != 9 && b != 10 && b != 13;
}

// The kind of a page's bytes: -p for a non-text byte at position p, else
// 1, 2 or 3 by its line ends. With `escape_is_text` (a page in an ISO-2022
// encoding, which switches character sets with it), ESC is text.
LineEndingKind ClassifyTextBytes(std::string_view bytes,
                                 bool escape_is_text = false);

// The test on the first `max_chars` bytes of a file: -1 missing, -2 empty,
// -3 unopenable, 0 for a non-text byte, else 1, 2 or 3 by the line ends of
// the bytes examined.
LineEndingKind ClassifyTextFilePrefix(const std::string& path,
                                      std::size_t max_chars);

// The not-a-text-file message for the 1-based position `position`.
std::string NotATextFileText(std::int64_t position);

// How a page's bytes are read.
struct PageEncoding {
  Encoding encoding;             // Windows-1252 when nothing else is known
  bool byte_order_mark = false;  // the page starts with its encoding's
                                 // (UTF-8's, or UTF-16's: FF FE or FE FF)
  std::string unknown_label;     // a charset the head names that is not known;
                                 // the page is then read as Windows-1252
};

// UTF-16 (little or big endian) when the bytes start with its byte-order
// mark, UTF-8 when they start with UTF-8's, when a meta tag of
// the head declares charset=utf-8, or when they are valid UTF-8 holding at
// least one non-ASCII sequence (whatever the head declares); otherwise the
// charset the first declaring meta tag names, or Windows-1252 when it names
// none or one that is not known.
PageEncoding DetectEncoding(std::string_view bytes);

// UTF-8's byte-order mark.
inline constexpr std::string_view kByteOrderMark = "\xEF\xBB\xBF";

// True for UTF-16 (a page that starts with its byte-order mark): its markup
// is not in ASCII bytes, so it is read and rewritten as UTF-8 text.
bool IsUtf16(const Encoding& encoding);
// UTF-16 in the byte order its mark says when `bytes` start with one.
std::optional<Encoding> Utf16ByMark(std::string_view bytes);

// A UTF-16 page as the same page in UTF-8 with UTF-8's byte-order mark,
// which the rest of the program reads and rewrites as any UTF-8 page; npos,
// or the 0-based offset of the first bytes that are not UTF-16 (the page
// is then not read).
std::size_t Utf16PageAsUtf8(std::string_view bytes, const Encoding& encoding,
                            std::string* utf8);
// The reverse: UTF-8 (after UTF-8's byte-order mark) back as UTF-16 bytes
// with their own mark; false when `utf8` does not start with the mark.
bool Utf8PageAsUtf16(std::string_view utf8, const Encoding& encoding,
                     std::string* bytes);

// The 1-based byte position in the UTF-16 page of the byte at the 1-based
// `position` of its UTF-8 form (Utf16PageAsUtf8).
std::int64_t Utf16Position(std::string_view utf8, std::int64_t position);

// The page as UTF-8 text, without its byte-order mark. Returns npos, or the
// 0-based offset of the first byte sequence that is not a character of the
// page's encoding; `*text` then holds U+FFFD in its place.
std::size_t DecodePage(std::string_view bytes, const PageEncoding& encoding,
                       std::string* text);

// DecodePage's answer without the text: UTF-8 and Windows-1252 pages are
// checked without a copy.
std::size_t FirstUndecodableByte(std::string_view bytes,
                                 const PageEncoding& encoding);

// The message for a page that is not valid text in its encoding, for the
// 1-based position of the first byte that is not.
std::string NotDecodableText(const std::string& encoding_name,
                             std::int64_t position);

// Calls `line` for every line of `text`: a line ends at LF, CR LF or CR
// (the line end is not passed). A last line without a line end counts.
template <typename Fn>
void ForEachLine(std::string_view text, Fn&& line) {
  // The next CR and the next LF are each found with memchr and kept until
  // passed, so the text is read in long strides.
  const char* const begin = text.data();
  const char* const end = begin + text.size();
  auto next = [end](const char* from, char c) {
    const void* p = from < end ? std::memchr(from, c, end - from) : nullptr;
    return p ? static_cast<const char*>(p) : end;
  };
  const char* cr = next(begin, '\r');
  const char* lf = next(begin, '\n');
  const char* start = begin;
  while (start < end) {
    if (cr < start) cr = next(start, '\r');
    if (lf < start) lf = next(start, '\n');
    const char* stop = cr < lf ? cr : lf;
    if (!line(std::string_view(start, stop - start))) return;
    if (stop < end && *stop == '\r' && stop + 1 < end && stop[1] == '\n')
      ++stop;
    start = stop + 1;
  }
}

// The line of `text` at `*start` without its line end (LF, CR LF or CR,
// as ForEachLine cuts them); `*start` moves past both. False at the end of
// the text. For walks that stop early: only the lines taken are searched.
inline bool NextLine(std::string_view text, std::size_t* start,
                     std::string_view* line) {
  if (*start >= text.size()) return false;
  const char* const begin = text.data() + *start;
  const std::size_t rest = text.size() - *start;
  // The first LF, then a CR before it, in windows that double from 256
  // bytes: long strides, not a test of every byte against both, yet never
  // a search to the end of the text for a line that ends long before (as
  // every line of a page whose lines end in CR alone would).
  std::size_t n = rest;
  for (std::size_t from = 0, window = 256; from < rest;
       from += window, window *= 2) {
    const std::size_t size = std::min(window, rest - from);
    const void* lf = std::memchr(begin + from, '\n', size);
    std::size_t stop =
        lf ? static_cast<std::size_t>(static_cast<const char*>(lf) - begin)
           : from + size;
    if (const void* cr = std::memchr(begin + from, '\r', stop - from))
      stop = static_cast<std::size_t>(static_cast<const char*>(cr) - begin);
    if (stop < from + size) {
      n = stop;
      break;
    }
  }
  *line = std::string_view(begin, n);
  std::size_t end_length = 0;
  if (n < rest)
    end_length =
        begin[n] == '\r' && n + 1 < rest && begin[n + 1] == '\n' ? 2 : 1;
  *start += n + end_length;
  return true;
}

}  // namespace vorn

#endif  // VORN_ENGINE_DOCUMENT_CHECKS_H_
