#include "support/encoding.h"

#include <unicode/normalizer2.h>
#include <unicode/ucnv.h>
#include <unicode/ucnv_cb.h>
#include <unicode/uset.h>
#include <unicode/ustring.h>

#include <cstdio>
#include <vector>

#include "support/cp1252.h"
#include "support/unicode.h"

namespace vorn {
namespace {

struct ConverterCloser {
  void operator()(UConverter* c) const { ucnv_close(c); }
};
using Converter = std::unique_ptr<UConverter, ConverterCloser>;

Converter OpenConverter(const std::string& name) {
  UErrorCode e = U_ZERO_ERROR;
  Converter c(ucnv_open(name.c_str(), &e));
  if (U_FAILURE(e)) c.reset();
  return c;
}

// Labels whose pages are read as the label says only by name: browsers
// read them as the encoding given here.
struct LabelAlias {
  std::string_view label;
  std::string_view as;  // "utf-8", "windows-1252" or an ICU converter
};
constexpr LabelAlias kAliases[] = {
    {"utf-8", "utf-8"},
    {"utf8", "utf-8"},
    {"unicode-1-1-utf-8", "utf-8"},
    {"utf-16", "utf-8"},
    {"utf-16le", "utf-8"},
    {"utf-16be", "utf-8"},
    {"unicode", "utf-8"},
    {"ucs-2", "utf-8"},
    {"windows-1252", "windows-1252"},
    {"cp1252", "windows-1252"},
    {"x-cp1252", "windows-1252"},
    {"iso-8859-1", "windows-1252"},
    {"iso8859-1", "windows-1252"},
    {"iso_8859-1", "windows-1252"},
    {"iso_8859-1:1987", "windows-1252"},
    {"latin1", "windows-1252"},
    {"l1", "windows-1252"},
    {"cp819", "windows-1252"},
    {"ibm819", "windows-1252"},
    {"csisolatin1", "windows-1252"},
    {"iso-ir-100", "windows-1252"},
    {"us-ascii", "windows-1252"},
    {"ascii", "windows-1252"},
    {"ansi_x3.4-1968", "windows-1252"},
    {"x-user-defined", "windows-1252"},
    {"gb2312", "GBK"},
    {"gb_2312", "GBK"},
    {"gb_2312-80", "GBK"},
    {"csgb2312", "GBK"},
    {"chinese", "GBK"},
    {"iso-ir-58", "GBK"},
    {"x-gbk", "GBK"},
    {"euc-kr", "windows-949"},
    {"cseuckr", "windows-949"},
    {"ks_c_5601-1987", "windows-949"},
    {"ks_c_5601-1989", "windows-949"},
    {"ksc5601", "windows-949"},
    {"ksc_5601", "windows-949"},
    {"korean", "windows-949"},
    {"tis-620", "windows-874"},
    {"iso-8859-11", "windows-874"},
    {"iso8859-11", "windows-874"},
    {"dos-874", "windows-874"},
    {"iso-8859-9", "windows-1254"},
    {"iso8859-9", "windows-1254"},
    {"latin5", "windows-1254"},
    {"l5", "windows-1254"},
};

// The printable ASCII characters but "+" and "~", which UTF-7 and HZ use
// as escapes, and the three line characters: markup is written in them.
constexpr std::string_view kMarkupBytes =
    "\t\n\r !\"#$%&'()*,-./0123456789:;<=>?@ABCDEFGHIJKLMNOPQRSTUVWXYZ"
    "[\\]^_`abcdefghijklmnopqrstuvwxyz{|}";

std::string LowerLabel(std::string_view label) {
  std::size_t b = 0;
  std::size_t e = label.size();
  while (b < e && (label[b] == ' ' || label[b] == '\t')) ++b;
  while (e > b && (label[e - 1] == ' ' || label[e - 1] == '\t')) --e;
  return LowerAscii(label.substr(b, e - b));
}

// A byte sequence that is no character becomes U+FFFD (ICU's own
// substitute is U+001A for some converters).
void ReplaceBadBytes(const void*, UConverterToUnicodeArgs* args, const char*,
                     int32_t, UConverterCallbackReason reason,
                     UErrorCode* error) {
  if (reason > UCNV_IRREGULAR) return;  // reset, close, clone: nothing to do
  const UChar replacement = 0xFFFD;
  *error = U_ZERO_ERROR;
  ucnv_cbToUWriteUChars(args, &replacement, 1, 0, error);
}

// Decodes with ICU; returns npos or the offset of the first bad sequence.
std::size_t DecodeWithIcu(std::string_view bytes, UConverter* c,
                          std::string* text) {
  std::size_t bad = std::string_view::npos;
  std::vector<UChar> units(bytes.size() + 16);
  std::size_t used = 0;
  for (int pass = 0; pass < 2; ++pass) {
    // The first pass stops at the first bad sequence; only then does a
    // second pass write U+FFFD for each.
    UErrorCode e = U_ZERO_ERROR;
    ucnv_reset(c);
    ucnv_setToUCallBack(c,
                        pass == 0 ? UCNV_TO_U_CALLBACK_STOP : ReplaceBadBytes,
                        nullptr, nullptr, nullptr, &e);
    const char* source = bytes.data();
    const char* const source_end = source + bytes.size();
    used = 0;
    for (;;) {
      UChar* target = units.data() + used;
      ucnv_toUnicode(c, &target, units.data() + units.size(), &source,
                     source_end, nullptr, true, &e);
      used = static_cast<std::size_t>(target - units.data());
      if (e != U_BUFFER_OVERFLOW_ERROR) break;
      e = U_ZERO_ERROR;
      units.resize(units.size() * 2);
    }
    if (U_SUCCESS(e)) break;
    char invalid[32];
    int8_t length = sizeof invalid;
    UErrorCode ignored = U_ZERO_ERROR;
    ucnv_getInvalidChars(c, invalid, &length, &ignored);
    bad = static_cast<std::size_t>(source - bytes.data()) -
          static_cast<std::size_t>(U_SUCCESS(ignored) ? length : 0);
  }
  // The units of the whole page, then one conversion to UTF-8.
  text->resize(used * 3);
  UErrorCode e = U_ZERO_ERROR;
  int32_t length = 0;
  u_strToUTF8WithSub(text->data(), static_cast<int32_t>(text->size()), &length,
                     units.data(), static_cast<int32_t>(used),
                     static_cast<UChar32>(kReplacementCharacter), nullptr, &e);
  text->resize(U_SUCCESS(e) ? static_cast<std::size_t>(length) : 0);
  return bad;
}

// The decimal character reference of a code point: "&#1046;".
std::string Reference(char32_t cp) {
  return "&#" + std::to_string(static_cast<unsigned long>(cp)) + ";";
}

}  // namespace

std::optional<Encoding> EncodingForLabel(std::string_view label) {
  const std::string lower = LowerLabel(label);
  if (lower.empty()) return std::nullopt;
  for (const LabelAlias& a : kAliases) {
    if (a.label != lower) continue;
    if (a.as == "utf-8") return Encoding::Utf8();
    if (a.as == "windows-1252") return Encoding::Windows1252();
    return Encoding{Encoding::Kind::kIcu, lower, std::string(a.as)};
  }
  Converter c = OpenConverter(lower);
  if (!c) return std::nullopt;
  UErrorCode e = U_ZERO_ERROR;
  const std::string canonical = ucnv_getName(c.get(), &e);
  const UConverterType type = ucnv_getType(c.get());
  if (type == UCNV_UTF8 || type == UCNV_UTF16 || type == UCNV_UTF16_BigEndian ||
      type == UCNV_UTF16_LittleEndian || type == UCNV_UTF32 ||
      type == UCNV_UTF32_BigEndian || type == UCNV_UTF32_LittleEndian)
    return Encoding::Utf8();
  if (canonical == "ibm-5348_P100-1997" || type == UCNV_LATIN_1 ||
      type == UCNV_US_ASCII)
    return Encoding::Windows1252();
  // A page whose markup bytes are not ASCII could not have declared its
  // charset in ASCII: such a label (EBCDIC) is not believed.
  std::string text;
  Encoding candidate{Encoding::Kind::kIcu, lower, canonical};
  if (DecodeText(kMarkupBytes, candidate, &text) != std::string_view::npos ||
      text != kMarkupBytes)
    return std::nullopt;
  return candidate;
}

}  // namespace vorn

namespace vorn {

std::size_t DecodeText(std::string_view bytes, const Encoding& encoding,
                       std::string* text) {
  switch (encoding.kind) {
    case Encoding::Kind::kWindows1252:
      *text = Cp1252ToUtf8(bytes);
      return std::string_view::npos;
    case Encoding::Kind::kUtf8: {
      const std::size_t bad = FirstInvalidUtf8(bytes);
      if (bad == std::string_view::npos) {
        text->assign(bytes);
        return bad;
      }
      text->clear();
      const char* const end = bytes.data() + bytes.size();
      for (const char* p = bytes.data(); p < end;) {
        const Utf8Char c = DecodeUtf8(p, end);
        AppendUtf8(*text, c.cp);
        p += c.length;
      }
      return bad;
    }
    case Encoding::Kind::kIcu:
      break;
  }
  Converter c = OpenConverter(encoding.converter);
  if (!c) {  // a label that opened once opens again; this is no page text
    text->clear();
    return 0;
  }
  return DecodeWithIcu(bytes, c.get(), text);
}

struct TextEncoder::Icu {
  Converter converter;
  USet* holds = nullptr;  // the code points that round-trip
  ~Icu() {
    if (holds != nullptr) uset_close(holds);
  }
};

TextEncoder::TextEncoder(const Encoding& encoding) : encoding_(encoding) {
  if (encoding.kind != Encoding::Kind::kIcu) return;
  icu_ = std::make_unique<Icu>();
  icu_->converter = OpenConverter(encoding.converter);
  if (!icu_->converter) return;
  UErrorCode e = U_ZERO_ERROR;
  icu_->holds = uset_openEmpty();
  ucnv_getUnicodeSet(icu_->converter.get(), icu_->holds, UCNV_ROUNDTRIP_SET,
                     &e);
  if (U_FAILURE(e)) uset_clear(icu_->holds);
}

TextEncoder::~TextEncoder() = default;

bool TextEncoder::CanHold(char32_t cp) const {
  return HoldsDirectly(cp) || !HeldForm(cp).empty();
}

bool TextEncoder::HoldsDirectly(char32_t cp) const {
  if (cp >= 0xD800 && cp <= 0xDFFF) return false;
  switch (encoding_.kind) {
    case Encoding::Kind::kWindows1252:
      return UnicodeToCp1252(cp) >= 0;
    case Encoding::Kind::kUtf8:
      return cp <= 0x10FFFF;
    case Encoding::Kind::kIcu:
      break;
  }
  return icu_->holds != nullptr &&
         uset_contains(icu_->holds, static_cast<UChar32>(cp));
}

std::string TextEncoder::HeldForm(char32_t cp) const {
  // The canonical decomposition, with as many marks composed back onto the
  // base as give characters the encoding holds (ệ: ê and a dot below).
  if (encoding_.kind == Encoding::Kind::kUtf8) return {};
  UErrorCode e = U_ZERO_ERROR;
  const icu::Normalizer2* nfd = icu::Normalizer2::getNFDInstance(e);
  const icu::Normalizer2* nfc = icu::Normalizer2::getNFCInstance(e);
  icu::UnicodeString d;
  if (U_FAILURE(e) || !nfd->getDecomposition(static_cast<UChar32>(cp), d))
    return {};
  std::vector<char32_t> parts;
  for (int32_t i = 0; i < d.length(); i = d.moveIndex32(i, 1))
    parts.push_back(static_cast<char32_t>(d.char32At(i)));
  for (bool composed = true; composed && parts.size() > 1;) {
    composed = false;
    for (std::size_t m = 1; m < parts.size(); ++m) {
      const UChar32 c = nfc->composePair(static_cast<UChar32>(parts[0]),
                                         static_cast<UChar32>(parts[m]));
      if (c >= 0 && HoldsDirectly(static_cast<char32_t>(c))) {
        parts[0] = static_cast<char32_t>(c);
        parts.erase(parts.begin() + static_cast<std::ptrdiff_t>(m));
        composed = true;
        break;
      }
    }
  }
  std::string form;
  for (char32_t part : parts) {
    if (!HoldsDirectly(part)) return {};
    AppendUtf8(form, part);
  }
  return form;
}

std::string TextEncoder::InHeldForms(std::string_view text) const {
  std::string out;
  const char* const end = text.data() + text.size();
  for (const char* p = text.data(); p < end;) {
    const Utf8Char c = DecodeUtf8(p, end);
    if (c.cp < 0x80 || HoldsDirectly(c.cp))
      out.append(p, static_cast<std::size_t>(c.length));
    else
      out += HeldForm(c.cp);
    p += c.length;
  }
  return out;
}

char32_t TextEncoder::FirstUnheld(std::string_view text) const {
  const char* const end = text.data() + text.size();
  for (const char* p = text.data(); p < end;) {
    const Utf8Char c = DecodeUtf8(p, end);
    p += c.length;
    if (c.cp >= 0x80 && !CanHold(c.cp)) return c.cp;
  }
  return 0;
}

std::string TextEncoder::WithReferences(std::string_view text) const {
  if (encoding_.kind == Encoding::Kind::kUtf8 || FirstUnheld(text) == 0)
    return std::string(text);
  std::string out;
  const char* const end = text.data() + text.size();
  for (const char* p = text.data(); p < end;) {
    const Utf8Char c = DecodeUtf8(p, end);
    if (c.cp < 0x80 || CanHold(c.cp))
      out.append(p, static_cast<std::size_t>(c.length));
    else
      out += Reference(c.cp);
    p += c.length;
  }
  return out;
}

bool TextEncoder::Encode(std::string_view original, std::string* out) const {
  if (FirstUnheld(original) != 0) return false;
  const std::string text = InHeldForms(original);
  switch (encoding_.kind) {
    case Encoding::Kind::kWindows1252: {
      out->clear();
      const char* const end = text.data() + text.size();
      for (const char* p = text.data(); p < end;) {
        const Utf8Char c = DecodeUtf8(p, end);
        out->push_back(static_cast<char>(UnicodeToCp1252(c.cp)));
        p += c.length;
      }
      return true;
    }
    case Encoding::Kind::kUtf8:
      out->assign(text);
      return true;
    case Encoding::Kind::kIcu:
      break;
  }
  UConverter* c = icu_->converter.get();
  if (c == nullptr) return false;
  UErrorCode e = U_ZERO_ERROR;
  std::vector<UChar> units(text.size() + 1);
  int32_t count = 0;
  u_strFromUTF8(units.data(), static_cast<int32_t>(units.size()), &count,
                text.data(), static_cast<int32_t>(text.size()), &e);
  if (U_FAILURE(e)) return false;
  ucnv_reset(c);
  ucnv_setFromUCallBack(c, UCNV_FROM_U_CALLBACK_STOP, nullptr, nullptr, nullptr,
                        &e);
  out->assign(static_cast<std::size_t>(
                  UCNV_GET_MAX_BYTES_FOR_STRING(count, ucnv_getMaxCharSize(c))),
              '\0');
  const int32_t n =
      ucnv_fromUChars(c, out->data(), static_cast<int32_t>(out->size()),
                      units.data(), count, &e);
  if (U_FAILURE(e)) return false;
  out->resize(static_cast<std::size_t>(n));
  return true;
}

std::size_t TextEncoder::EncodedSize(std::string_view text) const {
  const std::string held = InHeldForms(WithReferences(text));
  if (encoding_.kind == Encoding::Kind::kUtf8) return held.size();
  if (encoding_.kind == Encoding::Kind::kWindows1252) {
    std::size_t n = 0;
    for (char c : held)
      if ((static_cast<unsigned char>(c) & 0xC0) != 0x80) ++n;
    return n;
  }
  std::string bytes;
  return Encode(held, &bytes) ? bytes.size() : held.size();
}

std::string DescribeCharacter(char32_t cp) {
  std::string shown;
  AppendUtf8(shown, cp);
  char code[16];
  std::snprintf(code, sizeof code, "U+%04X", static_cast<unsigned>(cp));
  return "\"" + shown + "\" (" + code + ")";
}

}  // namespace vorn
