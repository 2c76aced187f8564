// The character encodings of pages. A page's encoding matters only where
// its bytes are read (decoded to UTF-8) and where a new tag is written into
// it (encoded back); the rest of a page keeps its bytes. Windows-1252 and
// UTF-8 are the program's own; every other encoding is an ICU converter.
#ifndef VORN_SUPPORT_ENCODING_H_
#define VORN_SUPPORT_ENCODING_H_

#include <cstddef>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

namespace vorn {

struct Encoding {
  enum class Kind { kWindows1252, kUtf8, kIcu };
  Kind kind = Kind::kWindows1252;
  std::string name = "windows-1252";  // as messages name it
  std::string converter;              // the ICU converter (kIcu only)

  // True for the ISO-2022 encodings, whose escape sequences (ESC, 27)
  // switch between character sets.
  bool UsesEscapes() const {
    return kind == Kind::kIcu && converter.starts_with("ISO_2022");
  }

  static Encoding Windows1252() { return {}; }
  static Encoding Utf8() { return {Kind::kUtf8, "utf-8", ""}; }
  bool operator==(const Encoding& other) const = default;
};

// The encoding a charset label names ("windows-1251", "Shift_JIS",
// "ISO-8859-1" ...), letter case and surrounding blanks aside; nothing when
// the name is not known. As browsers do, the Latin-1 and ASCII labels name
// Windows-1252, the UTF-16 labels (impossible in a meta tag) UTF-8, and a
// few legacy labels their usual supersets (gb2312 reads as GBK, euc-kr as
// windows-949, tis-620 as windows-874, iso-8859-9 as windows-1254).
std::optional<Encoding> EncodingForLabel(std::string_view label);

// Decodes `bytes` into UTF-8 text in `*text`. Returns npos on success;
// otherwise the 0-based offset of the first byte sequence that is not a
// character of the encoding, and `*text` then holds U+FFFD for every such
// sequence. Windows-1252 decodes every byte (its five unassigned bytes as
// the C1 controls of the same number).
std::size_t DecodeText(std::string_view bytes, const Encoding& encoding,
                       std::string* text);

// Encodes UTF-8 text for one page encoding.
class TextEncoder {
 public:
  explicit TextEncoder(const Encoding& encoding);
  ~TextEncoder();
  TextEncoder(const TextEncoder&) = delete;
  TextEncoder& operator=(const TextEncoder&) = delete;

  // True when the encoding holds `cp`, or a canonically equivalent
  // sequence (Windows-1258 holds ệ as ê and a combining dot below), so that
  // it reads back as the same text.
  bool CanHold(char32_t cp) const;
  // The first code point of `text` the encoding cannot hold, or 0.
  char32_t FirstUnheld(std::string_view text) const;
  // `text` with every code point the encoding cannot hold written as a
  // numeric character reference ("&#1046;").
  std::string WithReferences(std::string_view text) const;
  // The bytes of `text` in the encoding (a code point held only as an
  // equivalent sequence is written as that). Returns false (and `*out` is
  // unspecified) when the encoding cannot hold a code point of it.
  bool Encode(std::string_view text, std::string* out) const;
  // The number of bytes `text` takes, a code point the encoding cannot
  // hold counting as the reference that stands for it.
  std::size_t EncodedSize(std::string_view text) const;

 private:
  // The encoding has a character of its own for `cp`.
  bool HoldsDirectly(char32_t cp) const;
  // A canonically equivalent sequence the encoding holds (UTF-8), or "".
  std::string HeldForm(char32_t cp) const;
  // `text` with every code point not held directly in its held form.
  std::string InHeldForms(std::string_view text) const;

  struct Icu;
  Encoding encoding_;
  std::unique_ptr<Icu> icu_;
};

// "П" (U+041F): a character as messages name it.
std::string DescribeCharacter(char32_t cp);

}  // namespace vorn

#endif  // VORN_SUPPORT_ENCODING_H_
