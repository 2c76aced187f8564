#include "engine/languages.h"

namespace vorn {
namespace {

char LowerAscii(char c) { return c >= 'A' && c <= 'Z' ? c + ('a' - 'A') : c; }

bool IsAsciiLetter(char c) {
  return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
}

bool IsSpace(char c) {
  return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\f';
}

bool EqualsNoCase(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (std::size_t i = 0; i < a.size(); ++i)
    if (LowerAscii(a[i]) != LowerAscii(b[i])) return false;
  return true;
}

std::string_view Trimmed(std::string_view s) {
  while (!s.empty() && IsSpace(s.front())) s.remove_prefix(1);
  while (!s.empty() && IsSpace(s.back())) s.remove_suffix(1);
  return s;
}

// The primary subtag of a language tag in lower case when it is two or
// three letters followed by the end, "-" or "_" (often written for "-");
// else empty.
std::string PrimarySubtag(std::string_view tag) {
  tag = Trimmed(tag);
  std::string primary;
  std::size_t i = 0;
  for (; i < tag.size() && IsAsciiLetter(tag[i]); ++i)
    primary.push_back(LowerAscii(tag[i]));
  if (i < tag.size() && tag[i] != '-' && tag[i] != '_') return {};
  if (primary.size() < 2 || primary.size() > 3) return {};
  return primary;
}

// Subtags that stand for a language with another code.
constexpr struct {
  std::string_view tag;
  std::string_view code;
} kAliases[] = {
    {"nb", "no"}, {"nn", "no"}, {"iw", "he"}, {"in", "id"},
    {"jp", "ja"}, {"cn", "zh"}, {"cz", "cs"}, {"gr", "el"},
    {"ua", "uk"}, {"dk", "da"}, {"vn", "vi"},
};

// Finds `name` ("</script") from `from` with ASCII letter case ignored.
std::size_t FindNoCase(std::string_view page, std::string_view name,
                       std::size_t from) {
  for (std::size_t at = page.find(name[0], from); at != std::string_view::npos;
       at = page.find(name[0], at + 1))
    if (EqualsNoCase(page.substr(at, name.size()), name)) return at;
  return std::string_view::npos;
}

bool IsTagNameChar(char c) {
  return IsAsciiLetter(c) || (c >= '0' && c <= '9') || c == ':' || c == '-';
}

// Reads the attributes of a start tag from `pos` (after its name) through
// its ">", calling `attribute(name, value)` for each. Returns the position
// after the tag, or the page's size when the tag does not end.
template <typename F>
std::size_t ReadAttributes(std::string_view page, std::size_t pos,
                           F&& attribute) {
  const std::size_t n = page.size();
  while (pos < n) {
    while (pos < n && (IsSpace(page[pos]) || page[pos] == '/')) ++pos;
    if (pos >= n) break;
    if (page[pos] == '>') return pos + 1;
    const std::size_t name_start = pos;
    while (pos < n && !IsSpace(page[pos]) && page[pos] != '>' &&
           page[pos] != '/' && page[pos] != '=')
      ++pos;
    const std::string_view name = page.substr(name_start, pos - name_start);
    while (pos < n && IsSpace(page[pos])) ++pos;
    std::string_view value;
    if (pos < n && page[pos] == '=') {  // always taken when `name` is empty
      ++pos;
      while (pos < n && IsSpace(page[pos])) ++pos;
      if (pos < n && (page[pos] == '"' || page[pos] == '\'')) {
        const std::size_t end = page.find(page[pos], pos + 1);
        if (end == std::string_view::npos) break;
        value = page.substr(pos + 1, end - pos - 1);
        pos = end + 1;
      } else {
        const std::size_t start = pos;
        while (pos < n && !IsSpace(page[pos]) && page[pos] != '>') ++pos;
        value = page.substr(start, pos - start);
      }
    }
    if (!name.empty()) attribute(name, value);
  }
  return n;
}

// The elements whose lang stands for the page when the head declares none.
bool IsBlockOfText(std::string_view name) {
  for (std::string_view block : {"body", "div", "main", "article", "section"})
    if (EqualsNoCase(name, block)) return true;
  return false;
}

}  // namespace

int LanguageOfCode(std::string_view code) {
  for (int i = 0; i < kNumLanguages; ++i)
    if (EqualsNoCase(code, kLanguages[i].code)) return i;
  return -1;
}

int LanguageOfTag(std::string_view tag) {
  std::string primary = PrimarySubtag(tag);
  for (const auto& alias : kAliases)
    if (primary == alias.tag) primary = alias.code;
  const int language = LanguageOfCode(primary);
  if (!HasWordList(language) || language == kAnotherLanguage) return -1;
  return language;
}

int StateValueOf(int language) { return kLanguages[language].state_value; }

int LanguageOfStateValue(int value) {
  for (int i = 0; i < kNumLanguages; ++i)
    if (!IsAutomatic(i) && kLanguages[i].state_value == value) return i;
  return -1;
}

std::string DeclaredLanguageTag(std::string_view page) {
  std::string content_language;
  bool html_seen = false;
  // Past the head: without a page-wide declaration, the language of the
  // body or of the first block that declares one (generated manuals put it
  // on the division that holds the text, after a navigation header) holds
  // for the page. A phrase marked in a paragraph says nothing of the page.
  bool in_body = false;
  std::size_t pos = 0;
  while ((pos = page.find('<', pos)) != std::string_view::npos) {
    const std::string_view rest = page.substr(pos);
    if (rest.starts_with("<!") || rest.starts_with("<?")) {
      const bool comment = rest.starts_with("<!--");
      const std::size_t end =
          comment ? page.find("-->", pos + 4) : page.find('>', pos);
      if (end == std::string_view::npos) break;
      pos = end + (comment ? 3 : 1);
      continue;
    }
    const bool end_tag = rest.size() > 1 && rest[1] == '/';
    const std::size_t name_start = pos + (end_tag ? 2 : 1);
    std::size_t p = name_start;
    while (p < page.size() && IsTagNameChar(page[p])) ++p;
    const std::string_view name = page.substr(name_start, p - name_start);
    if (name.empty()) {  // a "<" that starts no tag
      ++pos;
      continue;
    }
    if (end_tag) {
      if (EqualsNoCase(name, "head")) {
        if (!content_language.empty()) break;
        in_body = true;
      }
      const std::size_t close = page.find('>', p);
      pos = close == std::string_view::npos ? page.size() : close + 1;
      continue;
    }
    if (EqualsNoCase(name, "body")) {
      if (!content_language.empty()) break;
      in_body = true;
    }
    std::string_view lang, xml_lang, http_equiv, content;
    pos = ReadAttributes(page, p,
                         [&](std::string_view a, std::string_view value) {
                           if (EqualsNoCase(a, "lang")) lang = Trimmed(value);
                           if (EqualsNoCase(a, "xml:lang"))
                             xml_lang = Trimmed(value);
                           if (EqualsNoCase(a, "http-equiv"))
                             http_equiv = Trimmed(value);
                           if (EqualsNoCase(a, "content")) content = value;
                         });
    if (in_body && IsBlockOfText(name)) {
      if (!lang.empty()) return std::string(lang);
      if (!xml_lang.empty()) return std::string(xml_lang);
    }
    if (EqualsNoCase(name, "html") && !html_seen) {
      html_seen = true;
      if (!lang.empty()) return std::string(lang);
      if (!xml_lang.empty()) return std::string(xml_lang);
    } else if (EqualsNoCase(name, "meta") && !in_body &&
               content_language.empty() &&
               EqualsNoCase(http_equiv, "content-language")) {
      content_language = Trimmed(content.substr(0, content.find(',')));
    } else {
      for (std::string_view raw : {"script", "style", "title", "textarea"}) {
        if (!EqualsNoCase(name, raw)) continue;
        // Their text is not markup: go on at their end tag.
        const std::size_t end = FindNoCase(page, "</" + std::string(raw), pos);
        pos = end == std::string_view::npos ? page.size() : end;
      }
    }
  }
  return content_language;
}

PageLanguage ResolvePageLanguage(int chosen, int fallback,
                                 std::string_view page) {
  if (!IsAutomatic(chosen)) return {chosen, LanguageSource::kChosen, {}};
  const std::string tag = DeclaredLanguageTag(page);
  const int declared = LanguageOfTag(tag);
  if (declared >= 0) return {declared, LanguageSource::kDeclared, {}};
  return {HasWordList(fallback) ? fallback : kEnglish,
          LanguageSource::kFallback, PrimarySubtag(tag)};
}

std::string LanguageReportLine(const PageLanguage& page, bool list_missing) {
  std::string line = std::string("Language: ") + kLanguages[page.language].item;
  switch (page.source) {
    case LanguageSource::kDeclared:
      line += " (declared)";
      break;
    case LanguageSource::kFallback:
      line += page.unlisted.empty()
                  ? " (fallback)"
                  : " (fallback; no list for \"" + page.unlisted + "\")";
      break;
    case LanguageSource::kChosen:
      break;
  }
  if (list_missing) line += " - common words not available";
  return line;
}

}  // namespace vorn
