// How whole the keywords of real pages are: for every page of a folder tree
// (.htm, .html), composes the tag as vorn-cli tag does (default settings)
// and checks each keyword against the page's own text:
//   - whole: some occurrence of it in the page (lower-cased, NFC) starts
//     and ends on a boundary of ICU's word break iterator;
//   - in the page's script: its letters are of the script most letters of
//     the page are in;
//   - common: it is on the common-word list of the language the page was
//     scanned in (English, or the one --language names: a code, or auto).
// A keyword that does not occur as such (one from a character reference)
// is counted apart. Prints one line per folder that holds pages and a total.
//
// Usage: corpus_words FOLDER [--language CODE]

#include <unicode/brkiter.h>
#include <unicode/uscript.h>
#include <unicode/utext.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <map>
#include <memory>
#include <optional>
#include <sstream>
#include <string>
#include <vector>

#include "bench/support/silent_view.h"
#include "engine/analysis.h"
#include "engine/common_words.h"
#include "engine/document_checks.h"
#include "engine/languages.h"
#include "engine/settings.h"
#include "support/unicode.h"

namespace vorn::bench {
namespace {

namespace fs = std::filesystem;

struct Counts {
  long pages = 0;
  long keywords = 0;
  long whole = 0;
  long in_script = 0;
  long unmatched = 0;  // not in the text as such
  long common = 0;
  std::vector<std::string> fragments;  // a few keywords that are not whole

  void Add(const Counts& o) {
    pages += o.pages;
    keywords += o.keywords;
    whole += o.whole;
    in_script += o.in_script;
    unmatched += o.unmatched;
    common += o.common;
    for (const std::string& f : o.fragments)
      if (fragments.size() < 8) fragments.push_back(f);
  }
};

std::optional<std::string> ReadFile(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  if (!in) return std::nullopt;
  std::ostringstream s;
  s << in.rdbuf();
  return s.str();
}

// The keywords of a composed tag.
std::vector<std::string> KeywordsOf(const std::string& tag) {
  std::vector<std::string> words;
  const std::string start = "content=\"";
  const std::size_t a = tag.find(start);
  if (a == std::string::npos) return words;
  const std::size_t b = tag.find('"', a + start.size());
  std::stringstream list(tag.substr(a + start.size(), b - a - start.size()));
  for (std::string w; std::getline(list, w, ',');)
    if (!w.empty()) words.push_back(w);
  return words;
}

// The script of most letters of `text`, not counting Latin letters unless
// they are nearly all: the markup of every page is ASCII.
UScriptCode MainScript(std::string_view text) {
  std::map<UScriptCode, long> letters;
  long all = 0;
  const char* const end = text.data() + text.size();
  for (const char* p = text.data(); p < end;) {
    const Utf8Char c = DecodeUtf8(p, end);
    p += c.length;
    if (!IsLetter(c.cp)) continue;
    UErrorCode e = U_ZERO_ERROR;
    ++letters[uscript_getScript(static_cast<UChar32>(c.cp), &e)];
    ++all;
  }
  UScriptCode best = USCRIPT_LATIN;
  long most = 0;
  for (const auto& [script, n] : letters)
    if (script != USCRIPT_LATIN && n > most) best = script, most = n;
  return most * 20 >= all ? best : USCRIPT_LATIN;
}

bool InScript(std::string_view word, UScriptCode script) {
  const char* const end = word.data() + word.size();
  for (const char* p = word.data(); p < end;) {
    const Utf8Char c = DecodeUtf8(p, end);
    p += c.length;
    if (!IsLetter(c.cp)) continue;
    UErrorCode e = U_ZERO_ERROR;
    const UScriptCode s = uscript_getScript(static_cast<UChar32>(c.cp), &e);
    // Kana and Han share a page of Japanese.
    const bool japanese =
        (script == USCRIPT_HAN || script == USCRIPT_HIRAGANA ||
         script == USCRIPT_KATAKANA) &&
        (s == USCRIPT_HAN || s == USCRIPT_HIRAGANA || s == USCRIPT_KATAKANA ||
         s == USCRIPT_COMMON);
    if (s != script && !japanese) return false;
  }
  return true;
}

// `text` with the named references of Latin-1 letters decoded, as the scan
// decodes them ("s&uuml;r&uuml;m" is the word sürüm).
std::string WithLetterReferences(const std::string& text) {
  static const char* const kNames[] = {
      "Agrave", "Aacute", "Acirc",  "Atilde", "Auml",   "Aring",  "AElig",
      "Ccedil", "Egrave", "Eacute", "Ecirc",  "Euml",   "Igrave", "Iacute",
      "Icirc",  "Iuml",   "ETH",    "Ntilde", "Ograve", "Oacute", "Ocirc",
      "Otilde", "Ouml",   nullptr,  "Oslash", "Ugrave", "Uacute", "Ucirc",
      "Uuml",   "Yacute", "THORN",  "szlig",  "agrave", "aacute", "acirc",
      "atilde", "auml",   "aring",  "aelig",  "ccedil", "egrave", "eacute",
      "ecirc",  "euml",   "igrave", "iacute", "icirc",  "iuml",   "eth",
      "ntilde", "ograve", "oacute", "ocirc",  "otilde", "ouml",   nullptr,
      "oslash", "ugrave", "uacute", "ucirc",  "uuml",   "yacute", "thorn",
      "yuml"};
  std::string out;
  for (std::size_t i = 0; i < text.size();) {
    bool replaced = false;
    if (text[i] == '&') {
      for (int k = 0; k < 64 && !replaced; ++k) {
        if (kNames[k] == nullptr) continue;
        const std::string ref = "&" + std::string(kNames[k]) + ";";
        if (text.compare(i, ref.size(), ref) == 0) {
          AppendUtf8(out, static_cast<char32_t>(192 + k));
          i += ref.size();
          replaced = true;
        }
      }
    }
    if (!replaced) out.push_back(text[i++]);
  }
  return out;
}

// The byte offsets of `text` where ICU's word break iterator puts a boundary.
std::vector<bool> WordBoundaries(const std::string& text) {
  std::vector<bool> at(text.size() + 1, false);
  UErrorCode e = U_ZERO_ERROR;
  std::unique_ptr<icu::BreakIterator> words(
      icu::BreakIterator::createWordInstance(icu::Locale::getRoot(), e));
  UText* ut = utext_openUTF8(nullptr, text.data(),
                             static_cast<int64_t>(text.size()), &e);
  if (U_FAILURE(e)) return at;
  words->setText(ut, e);
  for (int32_t b = words->first(); b != icu::BreakIterator::DONE;
       b = words->next())
    at[static_cast<std::size_t>(b)] = true;
  utext_close(ut);
  return at;
}

Counts CheckPage(const fs::path& page, const CommonWordsTable& common,
                 int language) {
  Counts c;
  const std::optional<std::string> bytes = ReadFile(page);
  if (!bytes) return c;
  Analysis analysis(common);
  AnalysisSettings settings;
  settings.TextLanguage = language;
  analysis.UpdateSettings(settings);
  SilentView view;
  std::int64_t position = 0;
  if (analysis.DoFile(page.string(), ScanOptions{false, false}, view,
                      &position) != DocumentStatus::kScanned)
    return c;
  ++c.pages;
  std::string text;
  (void)DecodePage(*bytes, DetectEncoding(*bytes), &text);
  text = ToNfc(LowerText(WithLetterReferences(text)));
  const std::vector<bool> boundary = WordBoundaries(text);
  const UScriptCode script = MainScript(text);
  for (const std::string& word :
       KeywordsOf(analysis.GenerateKeywordMetaTag(false))) {
    ++c.keywords;
    if (common.IsCommonWord(word, analysis.last_language().language))
      ++c.common;
    if (InScript(word, script)) ++c.in_script;
    bool found = false;
    bool whole = false;
    for (std::size_t at = text.find(word); at != std::string::npos && !whole;
         at = text.find(word, at + 1)) {
      found = true;
      whole = boundary[at] && boundary[at + word.size()];
    }
    if (!found) {
      ++c.unmatched;
      if (std::getenv("CORPUS_WORDS_UNMATCHED"))
        std::printf("not in text: %s\n", word.c_str());
    } else if (whole) {
      ++c.whole;
    } else if (c.fragments.size() < 8) {
      c.fragments.push_back(word);
    }
  }
  return c;
}

void Print(const std::string& name, const Counts& c) {
  const long matched = c.keywords - c.unmatched;
  auto percent = [](long a, long b) { return b > 0 ? 100.0 * a / b : 0.0; };
  std::printf(
      "%-36s %5ld pages %6ld keywords  whole %5.1f %%  in script "
      "%5.1f %%  common %ld  not in text %ld",
      name.c_str(), c.pages, c.keywords, percent(c.whole, matched),
      percent(c.in_script, c.keywords), c.common, c.unmatched);
  if (!c.fragments.empty()) {
    std::printf("  e.g.");
    for (const std::string& f : c.fragments) std::printf(" %s", f.c_str());
  }
  std::printf("\n");
}

int Main(int argc, char** argv) {
  const int language = argc == 4 ? LanguageOfCode(argv[3]) : kEnglish;
  if (!(argc == 2 || (argc == 4 && std::string(argv[2]) == "--language")) ||
      language < 0) {
    std::fprintf(stderr, "usage: corpus_words FOLDER [--language CODE]\n");
    return 2;
  }
  CommonWordsTable common;
  std::string folder = VORN_CLI_PATH;
  folder.erase(folder.find_last_of('/'));
  common.InitCommonWords(folder);
  std::map<std::string, Counts> by_folder;
  for (const auto& entry : fs::recursive_directory_iterator(argv[1])) {
    const fs::path& p = entry.path();
    if (!entry.is_regular_file() ||
        (p.extension() != ".htm" && p.extension() != ".html"))
      continue;
    by_folder[fs::relative(p.parent_path(), argv[1]).string()].Add(
        CheckPage(p, common, language));
  }
  Counts total;
  for (const auto& [name, counts] : by_folder) {
    Print(name, counts);
    total.Add(counts);
  }
  Print("total", total);
  return 0;
}

}  // namespace
}  // namespace vorn::bench

int main(int argc, char** argv) { return vorn::bench::Main(argc, argv); }
