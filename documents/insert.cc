#include "documents/insert.h"

#include <algorithm>
#include <cerrno>
#include <system_error>

#include "documents/meta_tags.h"
#include "engine/document_checks.h"
#include "support/dates.h"
#include "support/encoding.h"
#include "support/files.h"
#include "support/strings.h"
#include "support/unicode.h"
#include "support/unified_diff.h"

namespace vorn {
namespace {

// The line end of the lines a rewrite writes: the page's own convention
// (LF only, CR only), CR LF for a page that mixes them or has none. In an
// ISO-2022 page ESC is text, not a byte that makes the page no text file.
std::string_view LineEndOf(std::string_view bytes, bool escape_is_text,
                           std::optional<LineEndingKind> known) {
  const LineEndingKind kind =
      known ? *known : ClassifyTextBytes(bytes, escape_is_text);
  if (kind == kUnixLineEnds) return "\n";
  if (kind == kMacLineEnds) return "\r";
  return "\r\n";
}

// The rewrite of a page's lines, as a stateful writer over its output. The
// page's bytes are searched and cut only at ASCII markup, which is safe in
// every encoding whose markup is ASCII; the tag comes already encoded.
class HeadRewriter {
 public:
  // `line_ends`: those of `bytes`, when known.
  HeadRewriter(std::string_view bytes, const InsertOptions& options,
               const Encoding& encoding,
               std::optional<LineEndingKind> line_ends = std::nullopt)
      : options_(options), bytes_(bytes), encoding_(encoding) {
    eol_ = LineEndOf(bytes, encoding.UsesEscapes(), line_ends);
    out_.reserve(bytes.size() + 256);
  }

  // The keywords rewrite: `tag` is in the page's encoding, `tag_utf8` the
  // same as UTF-8 for the report.
  InsertResult InsertKeywords(std::string_view tag, std::string_view tag_utf8,
                              std::string* out);
  DoneResult InsertDone(std::string* out);

 private:
  void WriteLine(std::string_view text) {
    out_.append(text);
    out_.append(eol_);
  }
  void WriteDoneTag() { WriteLine(DoneMetaTagLine(Today())); }
  void WriteNewMetaTag() {
    WriteLine(tag_);
    if (options_.add_done) WriteDoneTag();
    if (options_.include_new && options_.log != nullptr)
      options_.log->Output("\r\nNEW: " + std::string(tag_utf8_));
    meta_tag_written_ = true;
  }
  std::string Today() const {
    return options_.today.empty() ? TodayForDoneTag() : options_.today;
  }
  // For the report: page bytes as UTF-8 text.
  std::string ForLog(std::string_view page_bytes) const {
    std::string text;
    (void)DecodeText(page_bytes, encoding_, &text);
    return text;
  }
  // Removes an old done tag from the line; false when it goes on past it
  // (then nothing is removed: the page is not rewritten).
  bool DropDoneTag(std::string_view& line, std::string& lower);
  // Handles "</head>" in the line; true when it was there.
  bool CloseHead(std::string_view line, std::string_view lower,
                 bool write_keywords);
  // The lines after the one last taken, as they are.
  void CopyRest() { out_.append(bytes_.substr(next_)); }

  const InsertOptions& options_;
  std::string_view bytes_;
  std::size_t next_ = 0;  // where the next line starts
  Encoding encoding_;
  std::string_view eol_;
  std::string_view tag_;       // in the page's encoding
  std::string_view tag_utf8_;  // the same as UTF-8
  std::string out_;
  bool meta_tag_written_ = false;
  TagSpan last_;  // the last finder call
};

bool HeadRewriter::DropDoneTag(std::string_view& line, std::string& lower) {
  last_ = FindDoneMetaTag(lower);
  if (last_.start == 0) return true;
  if (last_.end == 0) return false;
  if (last_.start > 1) WriteLine(line.substr(0, last_.start - 1));
  line = TrimBlanks(line.substr(last_.end));
  lower = LowerAscii(line);
  return true;
}

bool HeadRewriter::CloseHead(std::string_view line, std::string_view lower,
                             bool write_keywords) {
  const std::size_t p = lower.find("</head>");
  if (p == std::string_view::npos) {
    if (!line.empty()) WriteLine(line);  // blank lines of the head go
    return false;
  }
  if (p > 0) WriteLine(line.substr(0, p));
  if (write_keywords) {
    if (!meta_tag_written_) WriteNewMetaTag();
  } else {
    WriteDoneTag();
  }
  WriteLine(line.substr(p, 7));
  const std::string_view rest = TrimBlanks(line.substr(p + 7));
  if (!rest.empty()) WriteLine(rest);
  return true;
}

InsertResult HeadRewriter::InsertKeywords(std::string_view tag,
                                          std::string_view tag_utf8,
                                          std::string* out) {
  tag_ = tag;
  tag_utf8_ = tag_utf8;
  for (std::string_view line; NextLine(bytes_, &next_, &line);) {
    std::string lower = LowerAscii(line);
    last_ = FindKeywordsMetaTag(lower);
    if (last_.start > 0 && last_.end == 0) return InsertResult::kTagSpansLines;
    if (last_.start > 0) {
      if (last_.start > 1) WriteLine(line.substr(0, last_.start - 1));
      const std::string_view old_tag =
          line.substr(last_.start - 1, last_.end - last_.start + 1);
      if (options_.include_old && options_.log != nullptr)
        options_.log->Output("\r\nOLD: " + ForLog(old_tag));
      if (options_.bytes != nullptr && !meta_tag_written_)
        options_.bytes->replaced_tag = ForLog(old_tag);
      // A second old tag in the head is only removed: the page ends up
      // with one keywords tag (and one done tag), not one per old tag.
      if (!meta_tag_written_) WriteNewMetaTag();
      line = TrimBlanks(line.substr(last_.end));
      lower = LowerAscii(line);
    }
    if (!DropDoneTag(line, lower)) return InsertResult::kTagSpansLines;
    if (CloseHead(line, lower, true)) {
      CopyRest();
      *out = std::move(out_);
      return InsertResult::kInserted;
    }
  }
  // A refused rewrite changes nothing: the page keeps its bytes.
  return InsertResult::kNoHeadEnd;
}

DoneResult HeadRewriter::InsertDone(std::string* out) {
  for (std::string_view line; NextLine(bytes_, &next_, &line);) {
    std::string lower = LowerAscii(line);
    if (!DropDoneTag(line, lower)) return DoneResult::kTagSpansLines;
    if (CloseHead(line, lower, false)) {
      CopyRest();
      *out = std::move(out_);
      return DoneResult::kWritten;
    }
  }
  return DoneResult::kNoHeadEnd;
}

void NoteFailure(const InsertOptions& options, const Status& s) {
  if (options.notes == nullptr) return;
  options.notes->failure =
      s.error_number() != 0 ? std::system_category().message(s.error_number())
                            : s.message();
}

// Reads the page for a rewrite; kInserted when it may go on.
InsertResult ReadForRewrite(FileSystem& fs, const std::string& path,
                            const InsertOptions& options, PageRead* page) {
  Status s;
  if (options.read != nullptr)
    *page = std::move(*options.read);
  else
    s = ReadPage(fs, path, page);
  // Checked first: the read of a folder fails.
  if (!page->info.regular) return InsertResult::kFileMissing;
  if (!s.ok() && s.error_number() == ENOENT) return InsertResult::kFileMissing;
  if (!s.ok()) {
    NoteFailure(options, s);
    return InsertResult::kFileError;
  }
  if (!options.within.empty() && !IsWithin(page->target, options.within))
    return InsertResult::kOutsideFolder;
  if (page->info.links > 1) return InsertResult::kHardLinked;
  return InsertResult::kInserted;
}

InsertResult ResultOf(const Status& s, const ReplaceNotes& notes,
                      const InsertOptions& options) {
  if (options.notes != nullptr && notes.attributes_unsupported)
    options.notes->attributes_not_copied = true;
  if (notes.changed) return InsertResult::kChangedMeanwhile;
  if (s.ok()) return InsertResult::kInserted;
  NoteFailure(options, s);
  return InsertResult::kFileError;
}

InsertResult Replace(FileSystem& fs, const PageRead& page,
                     std::string_view new_bytes, const std::string& backup,
                     const InsertOptions& options) {
  ReplaceNotes notes;
  if (options.pending != nullptr) {
    const Status s =
        WriteReplacement(fs, page, new_bytes, backup, options.pending, &notes);
    return ResultOf(s, notes, options);
  }
  const Status s = ReplaceDocument(fs, page, new_bytes, backup, &notes);
  return ResultOf(s, notes, options);
}

void HandBack(std::string before, std::string after,
              const InsertOptions& options) {
  if (options.bytes == nullptr) return;
  options.bytes->before = std::move(before);
  options.bytes->after = std::move(after);
}

// One keywords meta tag and nothing else: one line that is the tag around
// "keywords" from its "<meta " to its closing ">". Anything more (a
// listing of the page's tags, a second tag, the count lines) could put
// text into the head.
bool IsKeywordsTag(std::string_view tag) {
  const std::string t = LowerAscii(tag);
  if (t.find_first_of("\r\n") != std::string::npos) return false;
  if (t.find("existing keywords") != std::string::npos) return false;
  const TagSpan span = FindKeywordsMetaTag(t);
  return span.start == 1 && span.end == t.size();
}

}  // namespace

std::string BackupFileName(std::string_view path) {
  const std::size_t sep = path.rfind(kPathSeparator);
  const std::size_t name_start = sep == std::string_view::npos ? 0 : sep + 1;
  const std::size_t dot = path.rfind('.');
  if (dot == std::string_view::npos || dot < name_start)
    return std::string(path) + ".bak";
  return std::string(path.substr(0, dot + 1)) + "bak" +
         std::string(path.substr(dot));
}

std::string DiffOfRewrite(const PageBytes& bytes, const std::string& a,
                          const std::string& b) {
  const std::optional<Encoding> utf16 = Utf16ByMark(bytes.before);
  std::string before;
  std::string after;
  if (!utf16 ||
      Utf16PageAsUtf8(bytes.before, *utf16, &before) !=
          std::string_view::npos ||
      Utf16PageAsUtf8(bytes.after, *utf16, &after) != std::string_view::npos)
    return UnifiedDiff(bytes.before, bytes.after, a, b);
  // (Without the byte-order mark, which the UTF-8 form starts with.)
  return UnifiedDiff(std::string_view(before).substr(3),
                     std::string_view(after).substr(3), a, b);
}

std::string DoneMetaTagLine(std::string_view date) {
  return "<meta name=\"VORN done\" content=\"" + std::string(date) + "\">";
}

InsertResult InsertKeywordsMetaTagIntoBytes(std::string_view bytes,
                                            std::string_view tag,
                                            const InsertOptions& options,
                                            std::string* out) {
  if (!IsKeywordsTag(tag)) return InsertResult::kNotAKeywordsTag;
  const PageEncoding page = DetectEncoding(bytes);
  const Encoding& encoding = page.encoding;
  std::string text;
  // A UTF-16 page is rewritten as UTF-8 text and goes back whole. The text
  // of a page in another ICU encoding checks its rewrite; UTF-8 and
  // Windows-1252 pages are only checked.
  const bool utf16 = IsUtf16(encoding);
  const bool icu = encoding.kind == Encoding::Kind::kIcu;
  // A caller's check holds for UTF-8 and Windows-1252 bytes alone.
  const bool checked = !utf16 && !icu && options.checked_line_ends.has_value();
  if (const std::size_t bad = utf16 ? Utf16PageAsUtf8(bytes, encoding, &text)
                              : icu ? DecodePage(bytes, page, &text)
                              : checked ? std::string_view::npos
                                        : FirstUndecodableByte(bytes, page);
      bad != std::string_view::npos) {
    if (options.notes != nullptr)
      options.notes->refusal = "the byte at position" + Spaced(bad + 1) +
                               " is not valid " + encoding.name + " text";
    return InsertResult::kUndecodable;
  }
  if (utf16) {
    InsertOptions unchecked = options;  // its UTF-8 form is checked there
    unchecked.checked_line_ends.reset();
    std::string rewritten;
    const InsertResult r =
        InsertKeywordsMetaTagIntoBytes(text, tag, unchecked, &rewritten);
    if (r == InsertResult::kInserted &&
        !Utf8PageAsUtf16(rewritten, encoding, out)) {
      if (options.notes != nullptr)  // a tag that is not valid UTF-8
        options.notes->refusal =
            "it cannot be written in the page's encoding (" + encoding.name +
            ")";
      return InsertResult::kUnencodable;
    }
    return r;
  }
  std::string encoded;
  const TextEncoder encoder(encoding);
  if (!encoder.Encode(tag, &encoded)) {
    if (options.notes != nullptr) {
      const char32_t unheld = encoder.FirstUnheld(tag);
      options.notes->refusal =
          unheld != 0
              ? "the page's encoding (" + encoding.name +
                    ") cannot hold the character " + DescribeCharacter(unheld)
              : "it cannot be written in the page's encoding (" +
                    encoding.name + ")";
    }
    return InsertResult::kUnencodable;
  }
  // `*out` is only written once the rewrite is certain to stand.
  std::string result;
  const InsertResult r =
      HeadRewriter(bytes, options, encoding,
                   checked ? options.checked_line_ends : std::nullopt)
          .InsertKeywords(encoded, tag, &result);
  if (r != InsertResult::kInserted) return r;
  if (encoding.kind != Encoding::Kind::kIcu) {
    *out = std::move(result);
    return r;
  }
  // The bytes were cut at ASCII markup. In an encoding where that might
  // split a character (a stateful one), the new page must still read as the
  // same rewrite of its text, or it is not written.
  InsertOptions quiet = options;
  quiet.log = nullptr;
  std::string expected;
  std::string rewritten;
  // (The tag may be written in an equivalent form, as decomposed letters
  // in Windows-1258: the texts are compared in NFC then.)
  if (HeadRewriter(text, quiet, Encoding::Utf8())
              .InsertKeywords(tag, tag, &expected) != InsertResult::kInserted ||
      DecodeText(result, encoding, &rewritten) != std::string_view::npos ||
      (rewritten != expected && ToNfc(rewritten) != ToNfc(expected))) {
    if (options.notes != nullptr)
      options.notes->refusal =
          "it cannot be written safely in the page's encoding (" +
          encoding.name + ")";
    return InsertResult::kUnencodable;
  }
  *out = std::move(result);
  return r;
}

InsertResult InsertKeywordsMetaTag(std::string_view tag,
                                   const std::string& path,
                                   const InsertOptions& options) {
  if (path.empty()) return InsertResult::kNoPath;
  if (!IsKeywordsTag(tag)) return InsertResult::kNotAKeywordsTag;
  FileSystem& fs = options.fs != nullptr ? *options.fs : DefaultFileSystem();
  PageRead page;
  if (const InsertResult r = ReadForRewrite(fs, path, options, &page);
      r != InsertResult::kInserted)
    return r;
  std::string new_bytes;
  // A caller's check is of the bytes it read: a page read here is checked.
  InsertOptions unchecked;
  const bool read_here = options.read == nullptr && options.checked_line_ends;
  if (read_here) {
    unchecked = options;
    unchecked.checked_line_ends.reset();
  }
  const InsertResult r = InsertKeywordsMetaTagIntoBytes(
      page.bytes, tag, read_here ? unchecked : options, &new_bytes);
  if (r != InsertResult::kInserted) return r;
  if (!options.dry_run) {
    if (const InsertResult w =
            Replace(fs, page, new_bytes,
                    options.backup ? BackupFileName(path) : "", options);
        w != InsertResult::kInserted)
      return w;
  }
  HandBack(std::move(page.bytes), std::move(new_bytes), options);
  return InsertResult::kInserted;
}

InsertResult SwapInsertion(FileSystem& fs, PendingReplacement* pending,
                           InsertNotes* notes, bool sync_folder) {
  ReplaceNotes replace_notes;
  const Status s = SwapReplacement(fs, pending, &replace_notes, sync_folder);
  InsertOptions options;
  options.notes = notes;
  return ResultOf(s, replace_notes, options);
}

DoneResult InsertDoneMetaTagIntoBytes(std::string_view bytes,
                                      const InsertOptions& options,
                                      std::string* out) {
  const PageEncoding page = DetectEncoding(bytes);
  if (IsUtf16(page.encoding)) {
    std::string text;
    std::string rewritten;
    if (Utf16PageAsUtf8(bytes, page.encoding, &text) != std::string_view::npos)
      return DoneResult::kFileError;
    const DoneResult r = InsertDoneMetaTagIntoBytes(text, options, &rewritten);
    if (r == DoneResult::kWritten &&
        !Utf8PageAsUtf16(rewritten, page.encoding, out))
      return DoneResult::kFileError;
    return r;
  }
  std::string result;
  const DoneResult r =
      HeadRewriter(bytes, options, page.encoding).InsertDone(&result);
  if (r != DoneResult::kWritten) return r;
  if (page.encoding.kind != Encoding::Kind::kIcu) {
    *out = std::move(result);
    return r;
  }
  // As for the keywords tag: the new bytes must read as the rewritten text.
  std::string text;
  std::string expected;
  std::string rewritten;
  if (DecodePage(bytes, page, &text) != std::string_view::npos ||
      HeadRewriter(text, options, Encoding::Utf8()).InsertDone(&expected) !=
          DoneResult::kWritten ||
      DecodeText(result, page.encoding, &rewritten) != std::string_view::npos ||
      rewritten != expected)
    return DoneResult::kFileError;
  *out = std::move(result);
  return r;
}

DoneResult InsertDoneMetaTag(const std::string& path,
                             const InsertOptions& options) {
  FileSystem& fs = options.fs != nullptr ? *options.fs : DefaultFileSystem();
  PageRead page;
  InsertResult r = ReadForRewrite(fs, path, options, &page);
  std::string new_bytes;
  if (r == InsertResult::kInserted) {
    const DoneResult d =
        InsertDoneMetaTagIntoBytes(page.bytes, options, &new_bytes);
    if (d != DoneResult::kWritten) return d;
    if (!options.dry_run) r = Replace(fs, page, new_bytes, "", options);
  }
  switch (r) {
    case InsertResult::kInserted:
      HandBack(std::move(page.bytes), std::move(new_bytes), options);
      return DoneResult::kWritten;
    case InsertResult::kOutsideFolder:
      return DoneResult::kOutsideFolder;
    case InsertResult::kChangedMeanwhile:
      return DoneResult::kChangedMeanwhile;
    case InsertResult::kHardLinked:
      return DoneResult::kHardLinked;
    default:
      return DoneResult::kFileError;
  }
}

std::string GetMetaTag(std::string_view output_box) {
  std::string s(TrimBlanks(output_box));
  const std::size_t p = s.find("Number of keywords in meta tag");
  if (p != std::string::npos) s = std::string(TrimBlanks(s.substr(0, p)));
  TrimControlChars(s);
  return s;
}

std::optional<MessageBox> InsertResultMessage(InsertResult result,
                                              const std::string& refusal) {
  auto box = [](const char* caption, std::string text) {
    return MessageBox{caption, std::move(text), Icon::kExclamation,
                      Buttons::kOk};
  };
  switch (result) {
    case InsertResult::kInserted:
      return std::nullopt;
    case InsertResult::kNoPath:
      return box("Error", "Input file not specified.");
    case InsertResult::kNotAKeywordsTag:
      return box("Error", "No keywords meta tag to insert.");
    case InsertResult::kFileMissing:
      return box("File not found", "Input file not found.");
    case InsertResult::kTagSpansLines:
      return box("Not inserted",
                 "Keywords meta tag NOT inserted because existing\r\n"
                 " meta tag extends over more than one line.\r\n"
                 "Suggestion: Delete existing keywords meta tag.");
    case InsertResult::kNoHeadEnd:
      return box("Not inserted",
                 "Keywords meta tag NOT inserted because </head> is missing.");
    case InsertResult::kFileError:
      return box("Error", "An unknown error has occurred.");
    case InsertResult::kChangedMeanwhile:
      return box("Not inserted",
                 "Keywords meta tag NOT inserted because another program "
                 "changed the file meanwhile.");
    case InsertResult::kHardLinked:
      return box("Not inserted",
                 "Keywords meta tag NOT inserted because the file has more "
                 "than one name (hard link).");
    case InsertResult::kOutsideFolder:
      return box("Not inserted",
                 "Keywords meta tag NOT inserted because the file lies "
                 "outside the folder.");
    case InsertResult::kUndecodable:
    case InsertResult::kUnencodable:
      return box("Not inserted",
                 "Keywords meta tag NOT inserted because " +
                     (refusal.empty() ? std::string("of the page's encoding")
                                      : refusal) +
                     ".");
  }
  return std::nullopt;
}

std::optional<InsertResult> InsertCommand(std::string& output_box,
                                          std::string& input_box,
                                          InsertOptions options,
                                          Prompter& prompter) {
  output_box = std::string(TrimBlanks(output_box));
  if (output_box.empty()) return std::nullopt;
  input_box = std::string(TrimBlanks(input_box));
  if (input_box.empty()) {
    prompter.Ask(*InsertResultMessage(InsertResult::kNoPath));
    return std::nullopt;
  }
  const Answer answer =
      prompter.Ask({"Backup?",
                    "Back up " + PathForDisplay(input_box) + " to " +
                        PathForDisplay(BackupFileName(input_box)) + "?",
                    Icon::kNone, Buttons::kYesNoCancel});
  if (answer == Answer::kCancel) return std::nullopt;
  options.backup = answer == Answer::kYes;
  InsertNotes own_notes;
  if (options.notes == nullptr) options.notes = &own_notes;
  const InsertResult result =
      InsertKeywordsMetaTag(GetMetaTag(output_box), input_box, options);
  if (auto message = InsertResultMessage(result, options.notes->refusal))
    prompter.Ask(*message);
  return result;
}

}  // namespace vorn
