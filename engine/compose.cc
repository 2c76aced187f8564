#include "engine/compose.h"

#include <algorithm>
#include <cmath>
#include <cstring>

#include "engine/document_checks.h"
#include "support/strings.h"
#include "support/unicode.h"

namespace vorn {
namespace {

constexpr std::string_view kTagPrefix = "<meta name=\"keywords\" content=\"";

std::string RightAligned(std::string_view text, std::size_t width) {
  std::string out;
  if (text.size() < width) out.assign(width - text.size(), ' ');
  out.append(text);
  return out;
}

std::size_t DigitCount(std::uint64_t n) { return std::to_string(n).size(); }

// The begin-with text as it goes into the tag: ", " closed up to ",", one
// trailing comma dropped, lower-cased unless case is kept, in NFC like the
// words it is compared with.
std::string PhrasesText(std::string_view trimmed, bool preserve_case) {
  std::string p;
  for (std::size_t i = 0; i < trimmed.size(); ++i) {
    p.push_back(trimmed[i]);
    if (trimmed[i] == ',' && i + 1 < trimmed.size() && trimmed[i + 1] == ' ')
      ++i;
  }
  if (!p.empty() && p.back() == ',') p.pop_back();
  if (!preserve_case) p = LowerText(p);
  return ToNfc(p);
}

// The phrases as an attribute value: a quote would end the content
// attribute and an angle bracket the tag, for browsers and for the reader
// of old tags alike, so they go in as character references.
std::string AttributeText(std::string_view phrases) {
  std::string out;
  for (char c : phrases) {
    if (c == '"')
      out += "&quot;";
    else if (c == '<')
      out += "&lt;";
    else if (c == '>')
      out += "&gt;";
    else
      out.push_back(c);
  }
  return out;
}

}  // namespace

long long RoundHalfEven(double value) {
  return static_cast<long long>(std::nearbyint(value));
}

std::string ReportNoWords(const AnalysisSettings& s) {
  std::string text = "No words with more than" + Spaced(s.ShortWordSize) +
                     " letter" + (s.ShortWordSize > 1 ? "s" : "") +
                     " occur at least ";
  if (s.ThresholdFrequency == 1)
    text += "once.";
  else if (s.ThresholdFrequency == 2)
    text += "twice.";
  else
    text += std::to_string(s.ThresholdFrequency) + " times.";
  return text;
}

std::optional<MessageBox> CheckPhrasesEncodable(
    const AnalysisSettings& settings, const Encoding& encoding) {
  const std::string phrases =
      PhrasesText(TrimBlanks(settings.BeginMetaTagWith), settings.PreserveCase);
  const char32_t unheld = TextEncoder(encoding).FirstUnheld(phrases);
  if (unheld == 0) return std::nullopt;
  return MessageBox{"Not encodable",
                    "Begin meta tag with: the character " +
                        DescribeCharacter(unheld) +
                        "\r\ncannot be written in this page's encoding (" +
                        encoding.name + ").",
                    Icon::kExclamation, Buttons::kOk};
}

std::string GenerateKeywordMetaTag(const WordTable& table,
                                   AnalysisSettings& settings,
                                   bool with_status_lines,
                                   const Encoding& encoding) {
  if (table.WordCount() == 0) return ReportNoWords(settings);
  const long long max_keywords =
      LeadingNumber(settings.MaxNumKeywordsInMetaTag);
  const long long max_bytes = LeadingNumber(settings.MaxNumBytesInMetaTag);
  std::string tag(kTagPrefix);

  settings.BeginMetaTagWith =
      std::string(TrimBlanks(settings.BeginMetaTagWith));
  std::string phrases;
  long long keywords = 0;
  if (!settings.BeginMetaTagWith.empty()) {
    phrases = PhrasesText(settings.BeginMetaTagWith, settings.PreserveCase);
    tag += AttributeText(phrases);
    keywords = std::count(phrases.begin(), phrases.end(), ',') + 1;
  }

  // The length limits the tag up to its last keyword, without the closing
  // quote and bracket, in bytes of the page's encoding; `comma` stands for
  // the comma before the word (one byte, two in UTF-16: the stateful
  // encodings count none of their shifts for it). A keyword the encoding
  // cannot hold (one from a character reference) goes in as references.
  const TextEncoder encoder(encoding);
  long long length = static_cast<long long>(encoder.EncodedSize(tag));
  const long long comma = IsUtf16(encoding) ? 2 : 1;
  for (std::size_t i = 0; i < table.WordCount(); ++i) {
    const std::string& word = table.Entry(i).word;
    if (max_keywords > 0 && keywords + 1 > max_keywords) break;
    const std::string written = encoder.WithReferences(word);
    const auto size = static_cast<long long>(encoder.EncodedSize(written));
    if (max_bytes > 0 && length + size + comma > max_bytes) break;
    if (phrases.find(word) != std::string::npos) continue;
    if (keywords > 0) {
      const char* separator = settings.SpaceAfterComma ? ", " : ",";
      tag += separator;
      length += comma * static_cast<long long>(std::strlen(separator));
    }
    tag += written;
    ++keywords;
    length += size;
  }
  tag += settings.ForwardSlash ? "\" />" : "\">";

  if (with_status_lines) {
    tag += "\r\n\r\nNumber of keywords in meta tag:" + Spaced(keywords) +
           "\r\nNumber of bytes in meta tag:" + Spaced(length);
  }
  return tag;
}

std::string ListWords(const WordTable& table,
                      const AnalysisSettings& settings) {
  const std::size_t count = table.WordCount();
  if (count == 0) return ReportNoWords(settings);
  const std::size_t rank_width = std::max<std::size_t>(4, DigitCount(count));
  // A frequency too long for its column widens the column for every row,
  // so that no digit is lost and the rows stay aligned.
  std::int64_t top_frequency = 0;
  for (std::size_t i = 0; i < count; ++i)
    top_frequency = std::max(top_frequency, table.Entry(i).Frequency);
  const std::size_t frequency_width = std::max<std::size_t>(
      4, DigitCount(static_cast<std::uint64_t>(top_frequency)));

  std::string text = "Rank Value Frequency\r\n";
  bool zero_noted = false;
  for (std::size_t i = 0; i < count; ++i) {
    const WordEntry& e = table.Entry(i);
    const long long value = RoundHalfEven(e.KeyValue);
    if (value == 0) {
      if (!zero_noted) text += "\r\nWords with key value 0 not shown.\r\n";
      zero_noted = true;
      continue;
    }
    text += RightAligned(std::to_string(i + 1), rank_width);
    text += ' ';
    text += RightAligned(std::to_string(value), 5);
    text += ' ';
    text += RightAligned(std::to_string(e.Frequency), frequency_width);
    text += ' ';
    text += e.word;
    text += "\r\n";
  }
  return text;
}

}  // namespace vorn
