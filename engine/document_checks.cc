#include "engine/document_checks.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <bit>
#include <cerrno>
#include <cstdint>
#include <cstring>

#include "support/cp1252.h"
#include "support/eight_bytes.h"
#include "support/encoding.h"
#include "support/files.h"
#include "support/strings.h"
#include "support/unicode.h"

namespace vorn {
namespace {

constexpr std::size_t kBlockSize = 16384;

// Folds one block into the running test. Returns the 1-based index of the
// first non-text byte in the block, or 0. Eight bytes at a time are tested
// for any byte below 32 at once; such words (every line end) are then
// sorted out eight bytes at a time too. With `escape_is_text`, ESC (27) is
// text.
std::size_t ScanBlock(std::string_view block, bool* cr, bool* lf,
                      bool escape_is_text = false) {
  const char* p = block.data();
  const std::size_t n = block.size();
  const std::uint64_t escape_text = escape_is_text ? ~0ULL : 0;
  std::size_t i = 0;
  for (; i + 8 <= n; i += 8) {
    std::uint64_t x;
    std::memcpy(&x, p + i, 8);
    if (((x - 0x20 * kOnes) & ~x & kHighBits) == 0) continue;
    // Below 128 a byte plus 0x60 reaches 128 from 32 on.
    const std::uint64_t below_32 =
        ~((x & ~kHighBits) + 0x60 * kOnes) & ~x & kHighBits;
    const std::uint64_t cr_bytes = BytesEqual(x, 13);
    const std::uint64_t lf_bytes = BytesEqual(x, 10);
    const std::uint64_t bad = below_32 & ~cr_bytes & ~lf_bytes &
                              ~BytesEqual(x, 9) &
                              ~(BytesEqual(x, 27) & escape_text);
    if (bad != 0)
      return i + static_cast<std::size_t>(std::countr_zero(bad)) / 8 + 1;
    *cr = *cr || cr_bytes != 0;
    *lf = *lf || lf_bytes != 0;
  }
  for (; i < n; ++i) {
    const auto b = static_cast<unsigned char>(p[i]);
    if (IsNonTextByte(b) && !(escape_is_text && b == 27)) return i + 1;
    if (b == 13) *cr = true;
    if (b == 10) *lf = true;
  }
  return 0;
}

LineEndingKind KindOf(bool cr, bool lf) {
  if (lf && !cr) return kUnixLineEnds;
  if (cr && !lf) return kMacLineEnds;
  return kMixedOrNoLineEnds;
}

// Reads up to `limit` bytes of an open file block by block, classifying.
// Returns the kind, or minus the position of a non-text byte; `*failed` is
// set on a read error.
LineEndingKind ClassifyOpenFile(int fd, std::size_t limit, bool* failed) {
  bool cr = false;
  bool lf = false;
  std::string block(kBlockSize, '\0');
  std::size_t done = 0;
  while (done < limit) {
    const std::size_t want = std::min(kBlockSize, limit - done);
    const ssize_t got = ::read(fd, block.data(), want);
    if (got < 0) {
      if (errno == EINTR) continue;
      *failed = true;
      return 0;
    }
    if (got == 0) break;
    const std::size_t bad =
        ScanBlock(std::string_view(block.data(), static_cast<std::size_t>(got)),
                  &cr, &lf);
    if (bad != 0) return -static_cast<LineEndingKind>(done + bad);
    done += static_cast<std::size_t>(got);
  }
  return KindOf(cr, lf);
}

// The label after `key` (as "charset=") in `text`, quotes, blanks and
// letter case aside. Empty when `text` has no `key`.
std::string LabelAfter(std::string_view text, std::string_view key) {
  std::string compact;
  for (char c : text)
    if (c != ' ' && c != '"' && c != '\'' && c != '\t' && c != '\r' &&
        c != '\n')
      compact.push_back(LowerAsciiChar(c));
  const std::size_t at = compact.find(key);
  if (at == std::string::npos) return {};
  std::string label;
  for (std::size_t i = at + key.size(); i < compact.size(); ++i) {
    const char c = compact[i];
    if (!((c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '-' ||
          c == '_' || c == '.' || c == ':'))
      break;
    label.push_back(c);
  }
  return label;
}

// The encoding an XML declaration at the very start of the page names
// (`<?xml version="1.0" encoding="koi8-r"?>`, after blanks at the most).
// Empty when there is none.
std::string XmlDeclaredEncoding(std::string_view bytes) {
  const std::size_t start = bytes.find_first_not_of(" \t\r\n");
  if (start == std::string_view::npos ||
      !bytes.substr(start).starts_with("<?xml"))
    return {};
  const std::size_t end = bytes.find("?>", start);
  if (end == std::string_view::npos) return {};
  return LabelAfter(bytes.substr(start, end - start), "encoding=");
}

}  // namespace

LineEndingKind ClassifyTextBytes(std::string_view bytes, bool escape_is_text) {
  bool cr = false;
  bool lf = false;
  const std::size_t bad = ScanBlock(bytes, &cr, &lf, escape_is_text);
  if (bad != 0) return -static_cast<LineEndingKind>(bad);
  return KindOf(cr, lf);
}

LineEndingKind ClassifyTextFilePrefix(const std::string& path,
                                      std::size_t max_chars) {
  if (!FileExists(path)) return -1;
  const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
  if (fd < 0) return -3;
  struct stat st {};
  if (::fstat(fd, &st) == 0 && st.st_size == 0) {
    ::close(fd);
    return -2;
  }
  bool failed = false;
  const LineEndingKind kind = ClassifyOpenFile(fd, max_chars, &failed);
  ::close(fd);
  if (failed) return -3;
  return kind < 0 ? 0 : kind;
}

std::string NotATextFileText(std::int64_t position) {
  return "This file is not a text file.\r\nThe byte at position" +
         Spaced(position) + "\r\n is neither text nor whitespace.";
}

PageEncoding DetectEncoding(std::string_view bytes) {
  PageEncoding page;
  if (const std::optional<Encoding> utf16 = Utf16ByMark(bytes)) {
    page.encoding = *utf16;
    page.byte_order_mark = true;
    return page;
  }
  if (bytes.starts_with(kByteOrderMark)) {
    page.encoding = Encoding::Utf8();
    page.byte_order_mark = true;
    return page;
  }
  // A charset declaration counts in a meta tag of the head: look at the
  // meta tags before "</head>" (or in the first 64 KB when there is none).
  // One that declares UTF-8 wins; otherwise the first one counts.
  std::string_view head = bytes.substr(0, 65536);
  const std::size_t head_end = FindNoCase(1, head, "</head>");
  if (head_end != 0) head = head.substr(0, head_end - 1);
  std::string first_label;
  for (std::size_t p = FindNoCase(1, head, "<meta"); p != 0;
       p = FindNoCase(p + 5, head, "<meta")) {
    const std::size_t start = p - 1 + 5;
    const std::size_t end = head.find('>', start);
    const std::string label =
        LabelAfter(head.substr(start, end == std::string_view::npos
                                          ? std::string_view::npos
                                          : end - start),
                   "charset=");
    if (label.empty()) continue;
    const std::optional<Encoding> named = EncodingForLabel(label);
    if (named && named->kind == Encoding::Kind::kUtf8) {
      page.encoding = *named;
      return page;
    }
    if (first_label.empty()) first_label = label;
  }
  if (HasNonAscii(bytes) && IsValidUtf8(bytes)) {
    page.encoding = Encoding::Utf8();
    return page;
  }
  // XHTML pages may declare it only in their XML declaration. (One that
  // says UTF-8 over bytes that are not is ignored, as before.)
  if (first_label.empty()) {
    const std::string label = XmlDeclaredEncoding(bytes);
    const std::optional<Encoding> named = EncodingForLabel(label);
    if (!named || named->kind != Encoding::Kind::kUtf8) first_label = label;
  }
  if (first_label.empty()) return page;
  if (const std::optional<Encoding> named = EncodingForLabel(first_label))
    page.encoding = *named;
  else
    page.unknown_label = first_label;
  return page;
}

namespace {

// The bytes of the page's byte-order mark, which its text leaves out.
std::size_t MarkLength(std::string_view bytes, const PageEncoding& encoding) {
  if (!encoding.byte_order_mark) return 0;
  if (IsUtf16(encoding.encoding)) return std::min<std::size_t>(2, bytes.size());
  return bytes.starts_with(kByteOrderMark) ? kByteOrderMark.size() : 0;
}

}  // namespace

std::size_t DecodePage(std::string_view bytes, const PageEncoding& encoding,
                       std::string* text) {
  const std::size_t mark = MarkLength(bytes, encoding);
  const std::size_t bad =
      DecodeText(bytes.substr(mark), encoding.encoding, text);
  return bad == std::string_view::npos ? bad : bad + mark;
}

std::size_t FirstUndecodableByte(std::string_view bytes,
                                 const PageEncoding& encoding) {
  switch (encoding.encoding.kind) {
    case Encoding::Kind::kWindows1252:
      return std::string_view::npos;  // every byte reads as a character
    case Encoding::Kind::kUtf8: {
      const std::size_t mark = MarkLength(bytes, encoding);
      const std::size_t bad = FirstInvalidUtf8(bytes.substr(mark));
      return bad == std::string_view::npos ? bad : bad + mark;
    }
    case Encoding::Kind::kIcu:
      break;
  }
  std::string text;
  return DecodePage(bytes, encoding, &text);
}

std::optional<Encoding> Utf16ByMark(std::string_view bytes) {
  if (bytes.starts_with("\xFF\xFE"))
    return Encoding{Encoding::Kind::kIcu, "utf-16le", "UTF-16LE"};
  if (bytes.starts_with("\xFE\xFF"))
    return Encoding{Encoding::Kind::kIcu, "utf-16be", "UTF-16BE"};
  return std::nullopt;
}

bool IsUtf16(const Encoding& encoding) {
  return encoding.kind == Encoding::Kind::kIcu &&
         encoding.converter.starts_with("UTF-16");
}

std::size_t Utf16PageAsUtf8(std::string_view bytes, const Encoding& encoding,
                            std::string* utf8) {
  PageEncoding page;
  page.encoding = encoding;
  page.byte_order_mark = true;
  std::string text;
  const std::size_t bad = DecodePage(bytes, page, &text);
  *utf8 = std::string(kByteOrderMark) + text;
  return bad;
}

bool Utf8PageAsUtf16(std::string_view utf8, const Encoding& encoding,
                     std::string* bytes) {
  if (!utf8.starts_with(kByteOrderMark)) return false;
  std::string units;
  if (!TextEncoder(encoding).Encode(utf8.substr(kByteOrderMark.size()), &units))
    return false;
  *bytes = (encoding.converter == "UTF-16BE" ? "\xFE\xFF" : "\xFF\xFE") + units;
  return true;
}

std::int64_t Utf16Position(std::string_view utf8, std::int64_t position) {
  const std::size_t end = std::min(
      utf8.size(),
      static_cast<std::size_t>(std::max<std::int64_t>(position - 1, 0)));
  std::int64_t units = 0;
  for (std::size_t i = kByteOrderMark.size(); i < end; ++i)
    units += static_cast<std::int64_t>(
        Utf16UnitsOf(static_cast<unsigned char>(utf8[i])));
  return 2 + 2 * units + 1;
}

std::string NotDecodableText(const std::string& encoding_name,
                             std::int64_t position) {
  return "This file is not valid " + encoding_name +
         " text.\r\nThe byte at position" + Spaced(position) +
         " does not begin a " + encoding_name + " character.";
}

}  // namespace vorn
