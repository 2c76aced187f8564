// The markup scanner: walks a document line by line, keeps track of the
// markup around each word (title, headings, bold, italic, tables, div and
// span blocks, font sizes, comments, scripts, styles, the description and
// keywords meta tags) and hands every word of visible text and of those two
// meta tags, with its weight, to word extraction. It recognises a fixed set
// of markers by plain text comparison; it is not an HTML parser, and no
// input makes it fail, loop or read out of bounds.
#ifndef VORN_ENGINE_SCANNER_H_
#define VORN_ENGINE_SCANNER_H_

#include <array>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "engine/common_words.h"
#include "engine/document_checks.h"
#include "engine/settings.h"
#include "engine/ui.h"
#include "engine/word_table.h"
#include "support/file_system.h"
#include "support/unicode.h"

namespace vorn {

// Result of DoFile.
enum class DocumentStatus {
  kScanned = 0,
  kNotText = -1,      // a non-text byte; the position is reported
  kStopped = -3,      // the user pressed Stop
  kDeclined = -4,     // kept for callers; this platform never declines a file
  kReadError = -5,    // the file could not be opened or read
  kUndecodable = -6,  // not valid text in its encoding; the position is
                      // reported
};

// How the run that asks for the scan shows its progress.
struct ScanOptions {
  bool single_file_mode = true;  // clear in a multiple-file run
  bool display_words = true;     // echo new words (multiple-file runs)
  // A large page may be taken apart into words on a second thread (never
  // in a multiple-file run, whose pages have their own workers).
  bool second_thread = true;
};

// The context of the current position in a document.
struct ScanContext {
  std::int64_t TagDepth = 0;  // "<" not yet matched by ">"
  bool InTag = false;
  bool AwaitTagEnd = false;  // a font tag whose ">" is on a later line
  bool InComment = false;
  bool InStyle = false;
  bool InScript = false;
  bool Bold = false;
  bool Italic = false;
  bool Title = false;
  bool Description = false;       // inside the description tag's content
  bool ExistingKeywords = false;  // inside the keywords tag's content
  int HeadingWeight = 0;          // 5 x (7 - level) inside h1-h6
  std::int64_t TableDepth = 0;
  std::int64_t DivDepth = 0;
  std::int64_t SpanDepth = 0;
  int FontSize = 3;            // 1-7
  std::vector<int> FontStack;  // sizes saved by open font tags
};

// Weight of a word at `ctx`: the title, description or keywords weight
// there, else the font size plus the heading, bold, italic, table, div and
// span weights that apply.
float ContextWeight(const ScanContext& ctx, const AnalysisSettings& s);

// What a run of word characters holds, beyond its letters.
struct RunFacts {
  bool latin = true;       // every letter is of the Latin script
  bool unspaced = false;   // some letter is of a script without spaces
  bool check_nfc = false;  // NFC may change it
};

// Scans UTF-8 document text into a word table. Create one per
// document; feed it lines in order, then Finish.
class DocumentScanner {
 public:
  DocumentScanner(const AnalysisSettings& settings,
                  const CommonWordsTable& common, WordTable& table,
                  MainView* view, ScanOptions options);

  // Lines come in Windows-1252 from now on, not in UTF-8.
  void ReadWindows1252() { cp1252_ = true; }

  // Prepares and scans one line (without its line end). Returns false when
  // the user pressed Stop.
  bool ScanDocumentLine(std::string_view raw_line);

  // Scans every line of `text` in turn, as ScanDocumentLine. A large text
  // may be taken apart into words on a second thread while
  // this one tests and records them, in the same order: the table and the
  // view get the same calls as from the lines one by one. False when the
  // user pressed Stop.
  bool ScanLines(std::string_view text);

  // Runs the end-of-document steps of the word table (threshold, case
  // variants, scaling to 100).
  void Finish();

  const ScanContext& context() const { return ctx_; }

 private:
  class LineScan;
  friend class LineScan;
  // The words of one scan on their way from the thread that takes them
  // from the lines to the thread that tests and records them.
  struct WordBatch;
  class Handoff;
  // ScanLines with a second thread taking the words from the lines;
  // nothing when no thread could be started.
  std::optional<bool> ScanLinesInTwo(std::string_view text);
  // Records a batch of words handed over; false when the user pressed
  // Stop.
  bool RecordBatch(const WordBatch& batch);

  void PrepareLine(std::string_view raw);
  // The first pass of PrepareLine over the bytes `begin` to `end` of
  // `raw` into `out` (room for as many bytes plus two for each beyond
  // ASCII), which gets `length` bytes; `has_amp` when an "&" is left for
  // the named references. A look past `end` sees the rest of `raw`.
  struct Prepared {
    std::size_t length = 0;
    bool has_amp = false;
  };
  Prepared PrepareRange(std::string_view raw, std::size_t begin,
                        std::size_t end, char* out) const;
  // Appends the character beyond ASCII at `i` of `raw` to `out` at `*k`
  // (decoded, lowered); returns the bytes it takes in `raw`.
  std::size_t AppendOtherChar(std::string_view raw, std::size_t i, char* out,
                              std::size_t* k) const;
  // Hands the run of `n` bytes at `pos` of the prepared line to word
  // extraction (or drops a contraction); word_end_ is where scanning goes
  // on. A run of an unspaced script is split into its words first.
  void TakeWord(std::size_t pos, std::size_t n, const RunFacts& run);
  // What the context gives a word.
  struct Weighed {
    float weight = 0;
    bool exempt = false;  // from the threshold
  };
  Weighed WeighHere() const;
  // True when the user pressed Stop (or the recorder of the words no
  // longer takes them).
  bool StopAsked() const;
  // Passes a word taken from the line on: to ProcessWord, or when the scan
  // hands its words to another thread, to that thread.
  void Emit(std::string_view word, bool check_nfc);
  // Tests one word (first put in NFC when `check_nfc`) and puts it aside
  // to be recorded with `weighed`, or when that is null with what the
  // present context gives it.
  void ProcessWord(std::string_view word, bool check_nfc,
                   const Weighed* weighed = nullptr);

  // An accepted word not yet recorded, with what its context gave it.
  struct PendingWord {
    std::string_view word;  // in line_ (or nfc_, recorded at once)
    WordTable::WordHashes hashes;
    float weight = 0;
    bool exempt = false;
    bool fold_plurals = true;
  };
  // Words are recorded in small batches, in order, so that the memory of
  // each batch's table entries is fetched at once rather than waited for
  // word by word. The table and the view get the same calls in the same
  // order as when each word is recorded at once (only the Stop checks come
  // earlier); a batch is recorded before its line is replaced, and so
  // before a stopped scan ends.
  void RecordPending();
  void RecordWord(const PendingWord& w);

  const AnalysisSettings& settings_;
  const CommonWordsTable& common_;
  bool cp1252_ = false;  // lines come in Windows-1252, not UTF-8
  WordTable& table_;
  MainView* view_;
  ScanOptions options_;
  std::string ignore_list_;
  ScanContext ctx_;
  std::string line_;   // the prepared line, with its sentinel blank
  std::string lower_;  // the prepared line, ASCII letters in lower case
  std::string nfc_;    // scratch: a word in NFC
  std::string word_;   // scratch: a new word as the output box shows it
  std::string label_;  // scratch: the word-count label
  std::array<PendingWord, 16> pending_;
  std::size_t pending_count_ = 0;
  std::unique_ptr<WordSplitter> splitter_;  // made for the first unspaced run
  Handoff* handoff_ = nullptr;  // set: words go there, not to the table
  std::size_t word_end_ = 0;
  bool stop_ = false;
};

// The document scan of a page read through `fs`: checks it (a non-text byte
// gives kNotText with minus its position in `*position`), decodes it (a
// byte sequence that is not a character of a declared encoding gives
// kUndecodable with its 1-based position in `*position`; nothing is
// changed then), scans
// every line into `table`, and finishes the table. On kScanned the
// word-count label reads "Number of words found satisfying above
// conditions: N". A scan stopped by the user appends "Stopped with N words
// identified." to the output box. A page that cannot be read empties the
// table and gives kReadError. `*size` (when given) gets the page's size in
// bytes, or -1 when it could not be read. With the language "Automatic" the
// words are checked against the common words and rules of the page's own
// language (ResolvePageLanguage); `*language` (when given) gets the
// language used for a page that was scanned, stopped or not, and
// `*encoding` (when given) how the page was read.
DocumentStatus DoFile(FileSystem& fs, const std::string& path,
                      const AnalysisSettings& settings,
                      const CommonWordsTable& common, ScanOptions options,
                      MainView& view, WordTable& table, std::int64_t* position,
                      std::int64_t* size = nullptr,
                      PageLanguage* language = nullptr,
                      PageEncoding* encoding = nullptr);

// Same, on document bytes already in memory. `*line_ends` (when given)
// gets the line ends of a page in UTF-8 or Windows-1252 found valid text,
// for a rewrite of the same bytes that need not check them again.
DocumentStatus ScanDocumentBytes(
    std::string_view bytes, const AnalysisSettings& settings,
    const CommonWordsTable& common, ScanOptions options, MainView& view,
    WordTable& table, std::int64_t* position, PageLanguage* language = nullptr,
    PageEncoding* encoding = nullptr,
    std::optional<LineEndingKind>* line_ends = nullptr);

}  // namespace vorn

#endif  // VORN_ENGINE_SCANNER_H_
