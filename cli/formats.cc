#include "cli/formats.h"

#include <charconv>

#include "cli/json.h"
#include "engine/compose.h"
#include "support/strings.h"
#include "support/unicode.h"

namespace vorn::cli {
namespace {

constexpr std::string_view kKeywordsLine =
    "\r\n\r\nNumber of keywords in meta tag:";
constexpr std::string_view kBytesLine = "\r\nNumber of bytes in meta tag:";
constexpr std::string_view kContentStart = "content=\"";

// Engine texts are UTF-8 already.
std::string Utf8(std::string_view text) { return std::string(text); }

// The whole number after `label` in `text`, 0 when missing.
std::int64_t NumberAfter(std::string_view text, std::string_view label) {
  const std::size_t at = text.find(label);
  if (at == std::string_view::npos) return 0;
  std::string_view rest = TrimBlanks(text.substr(at + label.size()));
  std::int64_t n = 0;
  std::from_chars(rest.data(), rest.data() + rest.size(), n);
  return n;
}

// One row of the text list: its rank, rounded value and entry.
struct ListRow {
  std::size_t rank;
  long long value;
  const WordEntry* entry;
};
std::vector<ListRow> ListRows(const WordTable& table) {
  std::vector<ListRow> rows;
  for (std::size_t i = 0; i < table.WordCount(); ++i) {
    const WordEntry& e = table.Entry(i);
    const long long value = RoundHalfEven(e.KeyValue);
    if (value != 0) rows.push_back({i + 1, value, &e});
  }
  return rows;
}

const char* KindName(ExistingTag::Kind kind) {
  switch (kind) {
    case ExistingTag::Kind::kTitle:
      return "title";
    case ExistingTag::Kind::kKeywords:
      return "keywords";
    case ExistingTag::Kind::kDescription:
      return "description";
    case ExistingTag::Kind::kDone:
      return "done";
  }
  return "";
}

// What a listed tag holds: the title's text, or a meta tag's content.
std::optional<std::string> ValueOf(const ExistingTag& tag) {
  if (tag.kind == ExistingTag::Kind::kTitle) return tag.text;
  return ContentValue(tag.text);
}

std::optional<std::string> Utf8OrNone(const std::optional<std::string>& text) {
  return text;
}

}  // namespace

std::string WordListJson(const std::string& file, const WordTable& table) {
  std::string out;
  JsonWriter j(&out);
  j.BeginObject();
  j.Key("file");
  j.String(ValidUtf8(file));
  j.Key("words");
  j.BeginArray();
  for (const ListRow& row : ListRows(table)) {
    j.BeginObject();
    j.Key("rank");
    j.Number(static_cast<std::int64_t>(row.rank));
    j.Key("word");
    j.String(Utf8(row.entry->word));
    j.Key("key_value");
    j.Number(row.value);
    j.Key("frequency");
    j.Number(row.entry->Frequency);
    j.EndObject();
  }
  j.EndArray();
  j.EndObject();
  return out;
}

std::string WordListTsv(const WordTable& table) {
  std::string out = TsvLine({"rank", "word", "key_value", "frequency"});
  for (const ListRow& row : ListRows(table))
    out += TsvLine({std::to_string(row.rank), Utf8(row.entry->word),
                    std::to_string(row.value),
                    std::to_string(row.entry->Frequency)});
  return out;
}

ComposedTag ParseTagBox(std::string_view box) {
  ComposedTag t;
  const std::size_t counts = box.find(kKeywordsLine);
  if (counts == std::string_view::npos) {
    t.message = std::string(box);
    return t;
  }
  const std::string_view tag = box.substr(0, counts);
  t.tag = std::string(tag);
  t.keyword_count = NumberAfter(box, kKeywordsLine);
  t.byte_count = NumberAfter(box, kBytesLine);
  // The keywords stand between the opening quote of the content and the
  // closing quote (followed by ">" or " />"), separated by commas.
  const std::size_t open = tag.find(kContentStart);
  const std::size_t close = tag.rfind('"');
  if (open == std::string_view::npos || close < open + kContentStart.size())
    return t;
  std::string_view content = tag.substr(open + kContentStart.size(),
                                        close - open - kContentStart.size());
  while (true) {
    const std::size_t comma = content.find(',');
    t.keywords.emplace_back(TrimBlanks(content.substr(0, comma)));
    if (comma == std::string_view::npos) break;
    content.remove_prefix(comma + 1);
  }
  return t;
}

std::string TagJson(const std::string& file, const ComposedTag& tag) {
  std::string out;
  JsonWriter j(&out);
  j.BeginObject();
  j.Key("file");
  j.String(ValidUtf8(file));
  j.Key("tag");
  j.StringOrNull(Utf8OrNone(tag.tag));
  j.Key("keywords");
  j.BeginArray();
  for (const std::string& k : tag.keywords) j.String(Utf8(k));
  j.EndArray();
  j.Key("keyword_count");
  j.Number(tag.keyword_count);
  j.Key("byte_count");
  j.Number(tag.byte_count);
  j.Key("message");
  j.StringOrNull(Utf8OrNone(tag.message));
  j.EndObject();
  return out;
}

std::string TagTsv(const ComposedTag& tag) {
  std::string keywords;
  for (const std::string& k : tag.keywords)
    keywords += (keywords.empty() ? "" : ",") + Utf8(k);
  return TsvLine({"tag", "keyword_count", "byte_count", "keywords"}) +
         TsvLine({Utf8(tag.tag.value_or("")), std::to_string(tag.keyword_count),
                  std::to_string(tag.byte_count), keywords});
}

std::optional<std::string> ContentValue(std::string_view tag) {
  const std::string lower = LowerAscii(tag);
  for (std::size_t at = lower.find("content"); at != std::string::npos;
       at = lower.find("content", at + 1)) {
    std::size_t i = at + 7;
    while (i < tag.size() && tag[i] == ' ') ++i;
    if (i >= tag.size() || tag[i] != '=') continue;
    ++i;
    while (i < tag.size() && tag[i] == ' ') ++i;
    if (i >= tag.size()) return std::nullopt;
    if (tag[i] == '"' || tag[i] == '\'') {
      const std::size_t end = tag.find(tag[i], i + 1);
      if (end == std::string_view::npos) return std::nullopt;
      return std::string(tag.substr(i + 1, end - i - 1));
    }
    const std::size_t end = tag.find_first_of(" >", i);
    return std::string(tag.substr(
        i, end == std::string_view::npos ? std::string_view::npos : end - i));
  }
  return std::nullopt;
}

std::string ShowJson(const std::string& file,
                     const std::vector<ExistingTag>& tags,
                     const std::string& note) {
  // The last tag of each kind, as the run's old tag is the last one.
  std::optional<std::string> last[4];
  for (const ExistingTag& tag : tags)
    last[static_cast<int>(tag.kind)] = ValueOf(tag);
  std::string out;
  JsonWriter j(&out);
  j.BeginObject();
  j.Key("file");
  j.String(ValidUtf8(file));
  j.Key("title");
  j.StringOrNull(Utf8OrNone(last[static_cast<int>(ExistingTag::Kind::kTitle)]));
  j.Key("description");
  j.StringOrNull(
      Utf8OrNone(last[static_cast<int>(ExistingTag::Kind::kDescription)]));
  j.Key("keywords");
  j.StringOrNull(
      Utf8OrNone(last[static_cast<int>(ExistingTag::Kind::kKeywords)]));
  j.Key("done_date");
  j.StringOrNull(Utf8OrNone(last[static_cast<int>(ExistingTag::Kind::kDone)]));
  j.Key("tags");
  j.BeginArray();
  for (const ExistingTag& tag : tags) {
    j.BeginObject();
    j.Key("kind");
    j.String(KindName(tag.kind));
    j.Key("text");
    j.String(Utf8(tag.text));
    j.Key("value");
    j.StringOrNull(Utf8OrNone(ValueOf(tag)));
    j.EndObject();
  }
  j.EndArray();
  j.Key("note");
  j.StringOrNull(note.empty() ? std::nullopt
                              : std::optional<std::string>(note));
  j.EndObject();
  return out;
}

std::string ShowTsv(const std::vector<ExistingTag>& tags) {
  std::string out = TsvLine({"kind", "text", "value"});
  for (const ExistingTag& tag : tags)
    out += TsvLine(
        {KindName(tag.kind), Utf8(tag.text), Utf8(ValueOf(tag).value_or(""))});
  return out;
}

const char* OutcomeName(PageOutcome outcome) {
  switch (outcome) {
    case PageOutcome::kInserted:
      return "inserted";
    case PageOutcome::kSameTag:
      return "same_tag";
    case PageOutcome::kDoneAlready:
      return "done_already";
    case PageOutcome::kNotInserted:
      return "not_inserted";
    case PageOutcome::kStopped:
      return "stopped";
    case PageOutcome::kDeclined:
      return "declined";
    case PageOutcome::kNotText:
      return "not_text";
    case PageOutcome::kNotDecodable:
      return "not_decodable";
    case PageOutcome::kReadError:
      return "read_error";
    case PageOutcome::kNoTagToInsert:
      return "no_tag";
    case PageOutcome::kTagSpansLines:
      return "tag_spans_lines";
    case PageOutcome::kNoHeadEnd:
      return "no_head_end";
    case PageOutcome::kNotEncodable:
      return "not_encodable";
    case PageOutcome::kFileError:
      return "file_error";
    case PageOutcome::kChangedMeanwhile:
      return "changed_meanwhile";
    case PageOutcome::kHardLinked:
      return "hard_linked";
    case PageOutcome::kLinkOutside:
      return "link_outside";
    case PageOutcome::kSamePage:
      return "same_page";
  }
  return "";
}

}  // namespace vorn::cli
