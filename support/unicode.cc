#include "support/unicode.h"

#include <unicode/brkiter.h>
#include <unicode/bytestream.h>
#include <unicode/normalizer2.h>
#include <unicode/uchar.h>
#include <unicode/uscript.h>
#include <unicode/ustring.h>
#include <unicode/utext.h>

#include <array>
#include <cstring>
#include <vector>

#include "support/cp1252.h"
#include "support/eight_bytes.h"

namespace vorn {
namespace {

// Latin vowels of the no-vowel test by the Windows-1252 byte: AEIOU, aeiou,
// the Latin-1 letters 192-198, 200-207, 210-214, 216-220, 224-230,
// 232-239, 242-246, 248-252, and the ligatures Œ œ.
constexpr std::array<bool, 256> MakeCp1252Vowels() {
  std::array<bool, 256> t{};
  for (char c : std::string_view("AEIOUaeiou"))
    t[static_cast<unsigned char>(c)] = true;
  constexpr int kRanges[][2] = {{192, 198}, {200, 207}, {210, 214}, {216, 220},
                                {224, 230}, {232, 239}, {242, 246}, {248, 252}};
  for (const auto& r : kRanges)
    for (int c = r[0]; c <= r[1]; ++c) t[c] = true;
  t[0x8C] = t[0x9C] = true;
  return t;
}
constexpr std::array<bool, 256> kCp1252Vowels = MakeCp1252Vowels();

// Latin vowel letters that decompose to no base letter (Turkish dotless i,
// schwa, open e and o, barred and near-close vowels).
constexpr char32_t kUndecomposedVowels[] = {
    0x0131, 0x0186, 0x018F, 0x0190, 0x0197, 0x019F, 0x01B1, 0x01DD, 0x0244,
    0x0245, 0x0250, 0x0251, 0x0252, 0x0254, 0x0259, 0x025B, 0x025C, 0x0264,
    0x0268, 0x026A, 0x026F, 0x0275, 0x0289, 0x028A, 0x028C, 0x2C6D};

// Flags of a Windows-1252 code point, by its byte: the program's own rules.
std::uint16_t Cp1252Flags(unsigned char b) {
  if (!IsWordChar(static_cast<char>(b))) return 0;
  std::uint16_t f = kLetterChar | kLatinChar;
  if (kCp1252Vowels[b]) f |= kVowelChar;
  if (b == 'y' || b == 'Y') f |= kVowelYChar;
  return f;
}

// Vowel flags of a Latin letter outside Windows-1252, by the letter its
// compatibility decomposition starts with (ą, ő, ợ and fullwidth ｉ are
// vowels; ł, ś, đ are not).
std::uint16_t LatinVowelFlags(char32_t cp) {
  UErrorCode e = U_ZERO_ERROR;
  const icu::Normalizer2* nfkd = icu::Normalizer2::getNFKDInstance(e);
  char32_t base = cp;
  icu::UnicodeString d;
  if (U_SUCCESS(e) && nfkd->getDecomposition(static_cast<UChar32>(cp), d) &&
      d.length() > 0)
    base = static_cast<char32_t>(d.char32At(0));
  const int b = UnicodeToCp1252(base);
  if (b >= 0 && base != cp)
    return Cp1252Flags(static_cast<unsigned char>(b)) &
           (kVowelChar | kVowelYChar);
  for (char32_t v : kUndecomposedVowels)
    if (v == base) return kVowelChar;
  return 0;
}

bool IsUnspacedScript(UScriptCode s) {
  return s == USCRIPT_HAN || s == USCRIPT_HIRAGANA || s == USCRIPT_KATAKANA ||
         s == USCRIPT_THAI || s == USCRIPT_LAO || s == USCRIPT_KHMER ||
         s == USCRIPT_MYANMAR;
}

std::uint16_t ComputeFlags(char32_t cp) {
  const std::uint16_t lower = LowerChar(cp) != cp ? kHasLowerCase : 0;
  if (cp < 0x80 || (cp >= 0xA0 && cp <= 0xFF))
    return Cp1252Flags(static_cast<unsigned char>(cp)) | lower;
  // The other Windows-1252 code points lie between U+0152 and U+2122.
  if (cp >= 0x152 && cp <= 0x2122)
    if (const int b = UnicodeToCp1252(cp); b >= 0)
      return Cp1252Flags(static_cast<unsigned char>(b)) | lower;
  const auto c = static_cast<UChar32>(cp);
  const int8_t type = u_charType(c);
  const bool letter = type == U_UPPERCASE_LETTER ||
                      type == U_LOWERCASE_LETTER ||
                      type == U_TITLECASE_LETTER || type == U_MODIFIER_LETTER ||
                      type == U_OTHER_LETTER;
  const bool zero_width_mark = type == U_NON_SPACING_MARK ||
                               type == U_ENCLOSING_MARK || cp == 0x200C ||
                               cp == 0x200D;
  const bool joiner = zero_width_mark || type == U_COMBINING_SPACING_MARK;
  if (!letter && !joiner) return lower;
  std::uint16_t f = lower | (letter ? kLetterChar : kJoinerChar);
  if (zero_width_mark) f |= kZeroWidthChar;
  const int width = u_getIntPropertyValue(c, UCHAR_EAST_ASIAN_WIDTH);
  if (width == U_EA_WIDE || width == U_EA_FULLWIDTH) f |= kWideChar;
  if (u_getIntPropertyValue(c, UCHAR_NFC_QUICK_CHECK) != UNORM_YES)
    f |= kMayChangeInNfc;
  UErrorCode e = U_ZERO_ERROR;
  const UScriptCode script = uscript_getScript(c, &e);
  if (letter && script == USCRIPT_LATIN) f |= kLatinChar | LatinVowelFlags(cp);
  bool unspaced = IsUnspacedScript(script);
  if (!unspaced && (script == USCRIPT_COMMON || script == USCRIPT_INHERITED)) {
    // The prolonged sound mark and the kana voicing marks belong to the
    // kana by their script extensions.
    for (UScriptCode s :
         {USCRIPT_HAN, USCRIPT_HIRAGANA, USCRIPT_KATAKANA, USCRIPT_THAI,
          USCRIPT_LAO, USCRIPT_KHMER, USCRIPT_MYANMAR})
      unspaced = unspaced || uscript_hasScript(c, s);
  }
  if (unspaced) f |= kUnspacedChar;
  return f;
}

}  // namespace

namespace unicode_internal {

std::atomic<const std::uint16_t*> flag_blocks[256];

const std::uint16_t* MakeFlagBlock(char32_t cp) {
  // Worked out when a page first needs a code point of the block; a block
  // that another thread published first wins, and ours is dropped.
  const char32_t first = cp & ~char32_t{0xFF};
  auto block = std::make_unique<std::uint16_t[]>(256);
  for (char32_t k = 0; k < 256; ++k) {
    const char32_t c = first + k;
    block[k] = (c >= 0xD800 && c <= 0xDFFF) ? 0 : ComputeFlags(c);
  }
  const std::uint16_t* expected = nullptr;
  std::atomic<const std::uint16_t*>& slot = flag_blocks[cp >> 8];
  if (slot.compare_exchange_strong(expected, block.get(),
                                   std::memory_order_acq_rel))
    return block.release();
  return expected;
}

std::uint16_t SupplementaryFlags(char32_t cp) {
  return cp <= 0x10FFFF ? ComputeFlags(cp) : 0;
}

}  // namespace unicode_internal

int EncodeUtf8(char32_t c, char* out) {
  if (c < 0x80) {
    out[0] = static_cast<char>(c);
    return 1;
  }
  if (c < 0x800) {
    out[0] = static_cast<char>(0xC0 | (c >> 6));
    out[1] = static_cast<char>(0x80 | (c & 0x3F));
    return 2;
  }
  if (c < 0x10000) {
    out[0] = static_cast<char>(0xE0 | (c >> 12));
    out[1] = static_cast<char>(0x80 | ((c >> 6) & 0x3F));
    out[2] = static_cast<char>(0x80 | (c & 0x3F));
    return 3;
  }
  out[0] = static_cast<char>(0xF0 | (c >> 18));
  out[1] = static_cast<char>(0x80 | ((c >> 12) & 0x3F));
  out[2] = static_cast<char>(0x80 | ((c >> 6) & 0x3F));
  out[3] = static_cast<char>(0x80 | (c & 0x3F));
  return 4;
}

void AppendUtf8(std::string& out, char32_t c) {
  char bytes[4];
  out.append(bytes, static_cast<std::size_t>(EncodeUtf8(c, bytes)));
}

std::size_t FirstInvalidUtf8(std::string_view text) {
  const char* const begin = text.data();
  const char* const end = begin + text.size();
  for (const char* p = begin; p < end;) {
    // ASCII, 32 bytes at a time, then eight.
    std::uint64_t x[4];
    if (end - p >= 32 && (std::memcpy(x, p, 32),
                          ((x[0] | x[1] | x[2] | x[3]) & kHighBits) == 0)) {
      p += 32;
      continue;
    }
    if (end - p >= 8 && (std::memcpy(x, p, 8), (x[0] & kHighBits) == 0)) {
      p += 8;
      continue;
    }
    if (static_cast<unsigned char>(*p) < 0x80) {
      ++p;
      continue;
    }
    const Utf8Char c = DecodeUtf8(p, end);
    if (c.cp == kReplacementCharacter && c.length == 1)
      return static_cast<std::size_t>(p - begin);
    p += c.length;
  }
  return std::string_view::npos;
}

char32_t LowerChar(char32_t cp) {
  if (cp < 0x80) return cp >= 'A' && cp <= 'Z' ? cp + 32 : cp;
  if (cp >= 0xA0 && cp <= 0xFF)
    return static_cast<unsigned char>(LowerCp1252(static_cast<char>(cp)));
  // ICU's simple mapping agrees with Windows-1252's for Š, Œ, Ž and Ÿ.
  return static_cast<char32_t>(u_tolower(static_cast<UChar32>(cp)));
}

namespace {

// Writes the lower case of `text` through `put(byte)`.
template <typename Put>
void LowerEach(std::string_view text, Put&& put) {
  const char* p = text.data();
  const char* const end = p + text.size();
  bool after_letter = false;
  char utf8[4];
  while (p < end) {
    if (static_cast<unsigned char>(*p) < 0x80) {
      do {
        put(LowerAsciiChar(*p));
        ++p;
      } while (p < end && static_cast<unsigned char>(*p) < 0x80);
      const auto b = static_cast<unsigned char>(p[-1]) | 0x20;
      after_letter = b >= 'a' && b <= 'z';
      continue;
    }
    const Utf8Char c = DecodeUtf8(p, end);
    if (c.cp == kReplacementCharacter && c.length == 1) {
      put(*p++);  // not UTF-8: kept as it is
      after_letter = false;
      continue;
    }
    const std::uint16_t flags = CharFlags(c.cp);
    if (!(flags & kHasLowerCase)) {  // most characters: copied as they are
      for (int i = 0; i < c.length; ++i) put(p[i]);
      p += c.length;
      after_letter = (flags & kLetterChar) != 0;
      continue;
    }
    p += c.length;
    char32_t lower = LowerChar(c.cp);
    if (c.cp == 0x03A3 && after_letter &&
        (p == end || !IsWordPart(DecodeUtf8(p, end).cp)))
      lower = 0x03C2;  // final sigma
    const int n = EncodeUtf8(lower, utf8);
    for (int i = 0; i < n; ++i) put(utf8[i]);
    after_letter = (flags & kLetterChar) != 0;
  }
}

}  // namespace

void AppendLower(std::string_view text, std::string* out) {
  // No lower case takes more than one and a half times the bytes.
  const std::size_t old = out->size();
  out->resize(old + text.size() + text.size() / 2 + 4);
  out->resize(old + LowerInto(text, out->data() + old));
}

std::size_t LowerInto(std::string_view text, char* out) {
  std::size_t n = 0;
  LowerEach(text, [&](char c) { out[n++] = c; });
  return n;
}

std::string LowerText(std::string_view text) {
  std::string out;
  out.reserve(text.size());
  AppendLower(text, &out);
  return out;
}

std::string LowerAscii(std::string_view bytes) {
  std::string out(bytes);
  for (char& c : out) c = LowerAsciiChar(c);
  return out;
}

std::string ToNfc(std::string_view text) {
  // Most texts are in NFC already: only one with a character that may
  // change goes to ICU.
  bool may_change = false;
  const char* const end = text.data() + text.size();
  for (const char* p = text.data(); p < end && !may_change;) {
    if (static_cast<unsigned char>(*p) < 0x80) {
      ++p;
      continue;
    }
    const Utf8Char c = DecodeUtf8(p, end);
    may_change = (CharFlags(c.cp) & kMayChangeInNfc) != 0;
    p += c.length;
  }
  if (!may_change) return std::string(text);
  UErrorCode e = U_ZERO_ERROR;
  const icu::Normalizer2* nfc = icu::Normalizer2::getNFCInstance(e);
  if (U_FAILURE(e) || FirstInvalidUtf8(text) != std::string_view::npos)
    return std::string(text);
  std::string out;
  icu::StringByteSink<std::string> sink(&out);
  nfc->normalizeUTF8(
      0, icu::StringPiece(text.data(), static_cast<int32_t>(text.size())), sink,
      nullptr, e);
  return U_SUCCESS(e) ? out : std::string(text);
}

WordShape ShapeOf(std::string_view word) {
  WordShape shape;
  const char* p = word.data();
  const char* const end = p + word.size();
  while (p < end) {
    ++shape.chars;
    if (static_cast<unsigned char>(*p) < 0x80) {
      ++shape.columns;
      ++p;
      continue;
    }
    const Utf8Char c = DecodeUtf8(p, end);
    p += c.length;
    const std::uint16_t f = CharFlags(c.cp);
    shape.columns += (f & kWideChar) ? 2 : (f & kZeroWidthChar) ? 0 : 1;
    if ((f & kLetterChar) && !(f & kLatinChar)) shape.latin = false;
  }
  return shape;
}

struct WordSplitter::State {
  std::unique_ptr<icu::BreakIterator> words;
  UText* text = nullptr;
  std::vector<UChar> units;  // the part in UTF-16, which ICU reads fastest
  std::string_view part;
  std::size_t byte = 0;   // where the last break was, in `part`
  std::int32_t unit = 0;  // the same in `units`
};

WordSplitter::WordSplitter() : state_(std::make_unique<State>()) {
  UErrorCode e = U_ZERO_ERROR;
  state_->words.reset(
      icu::BreakIterator::createWordInstance(icu::Locale::getRoot(), e));
  if (U_FAILURE(e)) state_->words.reset();
}

WordSplitter::~WordSplitter() {
  if (state_->text != nullptr) utext_close(state_->text);
}

std::size_t WordSplitter::KatakanaRunLength(std::string_view run,
                                            std::size_t at) {
  // Katakana, their halfwidth forms, the prolonged sound mark and the
  // voicing marks that go with them; not the middle dot (punctuation).
  auto is_katakana = [](char32_t cp) {
    return ((cp >= 0x30A0 && cp <= 0x30FF) || (cp >= 0x31F0 && cp <= 0x31FF) ||
            (cp >= 0xFF66 && cp <= 0xFF9F) || cp == 0x3099 || cp == 0x309A) &&
           cp != 0x30FB;
  };
  const char* const end = run.data() + run.size();
  const char* p = run.data() + at;
  while (p < end) {
    const Utf8Char c = DecodeUtf8(p, end);
    // A voicing mark goes with the letter before it, whatever its kind.
    if (!is_katakana(c.cp) ||
        (p == run.data() + at && c.cp >= 0x3099 && c.cp <= 0x309A))
      break;
    p += c.length;
  }
  return static_cast<std::size_t>(p - (run.data() + at));
}

bool WordSplitter::Start(std::string_view part) {
  State& s = *state_;
  if (!s.words) return false;
  UErrorCode e = U_ZERO_ERROR;
  if (s.units.size() < part.size() + 1) s.units.resize(part.size() + 1);
  std::int32_t length = 0;
  u_strFromUTF8(s.units.data(), static_cast<std::int32_t>(s.units.size()),
                &length, part.data(), static_cast<std::int32_t>(part.size()),
                &e);
  if (U_FAILURE(e)) return false;
  s.text = utext_openUChars(s.text, s.units.data(), length, &e);
  if (U_FAILURE(e)) return false;
  s.words->setText(s.text, e);
  if (U_FAILURE(e)) return false;
  s.words->first();
  s.part = part;
  s.byte = 0;
  s.unit = 0;
  return true;
}

std::size_t WordSplitter::Next() {
  State& s = *state_;
  const std::int32_t b = s.words->next();
  if (b == icu::BreakIterator::DONE) return kDone;
  // From UTF-16 units back to UTF-8 bytes, one code point at a time.
  const char* const end = s.part.data() + s.part.size();
  while (s.unit < b && s.byte < s.part.size()) {
    const Utf8Char c = DecodeUtf8(s.part.data() + s.byte, end);
    s.byte += static_cast<std::size_t>(c.length);
    s.unit += c.cp >= 0x10000 ? 2 : 1;
  }
  return s.byte;
}

}  // namespace vorn
