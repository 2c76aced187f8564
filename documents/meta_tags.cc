#include "documents/meta_tags.h"

#include <algorithm>
#include <functional>
#include <optional>

#include "documents/file_system.h"
#include "engine/document_checks.h"
#include "support/files.h"
#include "support/strings.h"
#include "support/unicode.h"

namespace vorn {
namespace {

constexpr std::string_view kMetaStart = "<meta ";
constexpr std::string_view kKeywordsMarker = "\"keywords\"";
constexpr std::string_view kDescriptionMarker = "\"description\"";
constexpr std::string_view kDoneMarker = "\"vorn done\"";

// 1-based position of `what` in `text`, 0 when absent.
std::size_t Pos(std::string_view text, std::string_view what,
                std::size_t from = 1) {
  if (from == 0) from = 1;
  if (from > text.size() + 1) return 0;
  const std::size_t p = text.find(what, from - 1);
  return p == std::string_view::npos ? 0 : p + 1;
}

// The tag around a marker is the last "<meta " before it, when the marker
// lies in that tag: not after its closing ">" (a "<meta charset=...>"
// followed by a title that quotes the word is no keywords tag) and not
// inside one of its quoted values. The tag ends at the first ">" after
// the marker that is not inside a quoted value either ("fish > chips" in
// the content does not end it). Cut anywhere else, a rewrite would take
// the title with it, or leave the rest of the tag in the head as text.
// The line is walked once: each stretch from a "<meta " to the next is
// the tag of the markers in it, with its own quotes.
TagSpan FindTagAround(std::string_view lower_line, std::string_view marker) {
  // Follows the quoted values: true at a ">" outside them.
  auto closes = [](char c, char& quote) {
    if (quote != 0) {
      if (c == quote) quote = 0;
      return false;
    }
    if (c == '"' || c == '\'') quote = c;
    return c == '>';
  };
  const std::size_t n = lower_line.size();
  for (std::size_t m = lower_line.find(kMetaStart), next;
       m != std::string_view::npos; m = next) {
    next = lower_line.find(kMetaStart, m + 1);
    const std::size_t stretch_end = std::min(next, n);
    char quote = 0;
    for (std::size_t i = m; i < stretch_end; ++i) {
      if (quote == 0 && lower_line.compare(i, marker.size(), marker) == 0) {
        for (std::size_t j = i + marker.size(); j < n; ++j)
          if (closes(lower_line[j], quote)) return {m + 1, j + 1};
        return {m + 1, 0};
      }
      // A closed tag holds no later marker of the stretch.
      if (closes(lower_line[i], quote)) break;
    }
  }
  return {};
}

using Examine = std::function<void(std::string_view, std::string_view)>;

// What the markup of a line holds, for the head scan.
struct LineMarks {
  bool head_end = false;  // "</head>", any letter case
  bool comment = false;   // "<!--"
  bool tag = false;       // "<meta " or "<title>", any letter case
};

// What the "<" at `p` starts, if anything the head scan looks for. Most
// tags start none of these: the letter after "<" tells.
LineMarks MarkAt(std::string_view text, std::size_t p) {
  LineMarks marks;
  switch (p + 1 < text.size() ? LowerAsciiChar(text[p + 1]) : '\0') {
    case '/':
      marks.head_end = StartsWithNoCase(text, p, "</head>");
      break;
    case '!':
      marks.comment = text.substr(p, 4) == "<!--";
      break;
    case 'm':
      marks.tag = StartsWithNoCase(text, p, "<meta ");
      break;
    case 't':
      marks.tag = StartsWithNoCase(text, p, "<title>");
      break;
    default:
      break;
  }
  return marks;
}

LineMarks MarksOf(std::string_view line) {
  LineMarks marks;
  for (std::size_t p = line.find('<'); p != std::string_view::npos;
       p = line.find('<', p + 1)) {
    const LineMarks here = MarkAt(line, p);
    marks.head_end = marks.head_end || here.head_end;
    marks.comment = marks.comment || here.comment;
    marks.tag = marks.tag || here.tag;
  }
  return marks;
}

// The start of the first line at or after `from` (a line start) that
// holds a mark, or npos. A mark of a trimmed line is one of the whole line
// too, so the lines passed over hold none and the scan would do nothing
// with them; a mark found may still vanish with the line's trimming.
std::size_t NextMarkedLine(std::string_view text, std::size_t from) {
  std::size_t p = text.find('<', from);
  for (; p != std::string_view::npos; p = text.find('<', p + 1)) {
    const LineMarks here = MarkAt(text, p);
    if (here.head_end || here.comment || here.tag) break;
  }
  if (p == std::string_view::npos) return p;
  while (p > from && text[p - 1] != '\n' && text[p - 1] != '\r') --p;
  return p;
}

// The head scan shared by the listing and the old-tag reader: calls
// `examine` with each trimmed line of the head that holds "<meta " or
// "<title>" (in any letter case; no other line adds to either) and its
// lower-cased copy, until a line holds "</head>". A comment is skipped with
// the rest of the lines that hold it; the line after its end is examined
// unconditionally. A comment that runs to the end of the page ends the
// scan. Only the lines it reaches are cut from the text, and only those
// examined are copied.
void ScanHead(std::string_view text, const Examine& examine) {
  std::string lower;  // one buffer for every line's lower-case copy
  std::size_t next = 0;
  for (std::string_view raw;
       (next = NextMarkedLine(text, next)) != std::string_view::npos &&
       NextLine(text, &next, &raw);) {
    std::string_view line = TrimBlanks(raw);
    LineMarks marks = MarksOf(line);
    if (marks.head_end) return;
    if (marks.comment) {
      std::string_view current = line;
      while (current.find("-->") == std::string_view::npos)
        if (!NextLine(text, &next, &current)) return;
      if (!NextLine(text, &next, &raw)) return;
      line = TrimBlanks(raw);
      marks = MarksOf(line);
    }
    if (!marks.tag) continue;
    lower.assign(line);
    for (char& c : lower) c = LowerAsciiChar(c);
    examine(line, lower);
  }
}

// The head scan of a page's bytes, read as its head says (what cannot be
// decoded reads as U+FFFD). Valid UTF-8 is read as it is, without a copy.
void ScanHeadOfBytes(std::string_view bytes, const Examine& examine) {
  const PageEncoding page = DetectEncoding(bytes);
  if (page.encoding.kind == Encoding::Kind::kUtf8) {
    std::string_view body = bytes;
    if (page.byte_order_mark && body.starts_with(kByteOrderMark))
      body.remove_prefix(kByteOrderMark.size());
    if (FirstInvalidUtf8(body) == std::string_view::npos) {
      ScanHead(body, examine);
      return;
    }
  }
  std::string text;
  (void)DecodePage(bytes, page, &text);
  ScanHead(text, examine);
}

// The characters of `line` from 1-based `from` to `to` inclusive.
std::string_view Cut(std::string_view line, std::size_t from, std::size_t to) {
  if (from == 0 || to < from || from > line.size()) return {};
  return line.substr(from - 1, std::min(to, line.size()) - from + 1);
}

}  // namespace

TagSpan FindKeywordsMetaTag(std::string_view lower_line) {
  return FindTagAround(lower_line, kKeywordsMarker);
}

TagSpan FindDoneMetaTag(std::string_view lower_line) {
  return FindTagAround(lower_line, kDoneMarker);
}

std::vector<ExistingTag> FindExistingTagsOfBytes(std::string_view bytes) {
  using Kind = ExistingTag::Kind;
  std::vector<ExistingTag> tags;
  ScanHeadOfBytes(bytes, [&](std::string_view line, std::string_view lower) {
    if (lower.substr(0, 7) == "<title>") {
      std::size_t p = Pos(lower, "</title>");
      if (p == 0) p = line.size() + 1;
      tags.push_back({Kind::kTitle, std::string(Cut(line, 8, p - 1))});
      return;
    }
    const std::size_t m = Pos(lower, kMetaStart);
    if (m == 0) return;
    const std::pair<std::string_view, Kind> markers[] = {
        {kKeywordsMarker, Kind::kKeywords},
        {kDescriptionMarker, Kind::kDescription},
        {kDoneMarker, Kind::kDone}};
    for (const auto& [marker, kind] : markers) {
      const std::size_t q = Pos(lower, marker);
      if (q == 0) continue;
      // The tag ends at the first ">" after the closing quote.
      std::size_t end = Pos(lower, ">", q + marker.size());
      if (end == 0) end = lower.size();
      tags.push_back({kind, std::string(Cut(line, m, end))});
    }
  });
  return tags;
}

std::string EncodingNote(std::string_view bytes) {
  const PageEncoding page = DetectEncoding(bytes);
  if (!page.unknown_label.empty())
    return "The charset " + page.unknown_label +
           " is not known; the page is read as windows-1252.";
  const std::size_t bad = FirstUndecodableByte(bytes, page);
  if (bad == std::string_view::npos) return {};
  return "The byte at position" + Spaced(static_cast<long long>(bad) + 1) +
         " is not valid " + page.encoding.name + " text.";
}

std::string ListExistingTagsOfBytes(std::string_view bytes) {
  const std::string note = EncodingNote(bytes);
  std::string out = note.empty() ? "" : "NOTE: " + note + "\r\n\r\n";
  bool found = false;
  for (const ExistingTag& tag : FindExistingTagsOfBytes(bytes)) {
    switch (tag.kind) {
      case ExistingTag::Kind::kTitle:
        out += "TITLE: ";
        break;
      case ExistingTag::Kind::kKeywords:
        out += "KEYWORDS meta tag: ";
        found = true;
        break;
      case ExistingTag::Kind::kDescription:
        out += "DESCRIPTION meta tag: ";
        break;
      case ExistingTag::Kind::kDone:
        out += "VORN meta tag: ";
        break;
    }
    out += tag.text;
    out += "\r\n\r\n";
  }
  if (!found) out += kNoKeywordsTagFound;
  return out;
}

std::string ListExistingTags(const std::string& path, FileSystem& fs) {
  std::string bytes;
  if (!fs.ReadFile(path, &bytes).ok())
    return "Error when looking for keywords meta tag.";
  return ListExistingTagsOfBytes(bytes);
}

OldKeywordsTag GetOldKeywordsMetaTagOfBytes(std::string_view bytes) {
  OldKeywordsTag old;
  ScanHeadOfBytes(bytes, [&](std::string_view line, std::string_view lower) {
    const std::size_t m = Pos(lower, kMetaStart);
    if (m == 0) return;
    if (Pos(lower, kKeywordsMarker) > m) {
      old.text = std::string(line.substr(m - 1));
      old.found = true;
    } else if (Pos(lower, kDoneMarker) > m) {
      old.done = true;
    }
  });
  if (!old.found) old.text = kNoKeywordsTagFound;
  return old;
}

OldKeywordsTag GetOldKeywordsMetaTag(const std::string& path, FileSystem& fs) {
  std::string bytes;
  if (!fs.ReadFile(path, &bytes).ok())
    return {"Error when getting old keywords meta tag.", false};
  return GetOldKeywordsMetaTagOfBytes(bytes);
}

std::optional<std::string> ShowExistingKeywords(std::string& input_box,
                                                Prompter& prompter) {
  input_box = std::string(TrimBlanks(input_box));
  if (input_box.empty()) {
    prompter.Ask({"Error", "Input file not specified.", Icon::kExclamation,
                  Buttons::kOk});
    return std::nullopt;
  }
  if (!FileExists(input_box)) {
    prompter.Ask({"File not found", "Input file not found.", Icon::kExclamation,
                  Buttons::kOk});
    return std::nullopt;
  }
  if (IsRewriteLeftoverName(input_box.substr(input_box.rfind('/') + 1))) {
    prompter.Ask({"Error",
                  "Not a page: a temporary file left by an interrupted "
                  "rewrite.",
                  Icon::kExclamation, Buttons::kOk});
    return std::nullopt;
  }
  return ListExistingTags(input_box);
}

}  // namespace vorn
