#include "documents/insert.h"

#include <cerrno>
#include <system_error>
#include <vector>

#include "documents/meta_tags.h"
#include "engine/document_checks.h"
#include "support/cp1252.h"
#include "support/dates.h"
#include "support/files.h"
#include "support/strings.h"

namespace vorn {
namespace {

// One line of a page with the line end it had ("" for a last line without).
struct Line {
  std::string_view text;
  std::string_view end;
};

std::vector<Line> SplitLines(std::string_view bytes) {
  std::vector<Line> lines;
  std::size_t start = 0;
  while (start < bytes.size()) {
    std::size_t i = start;
    while (i < bytes.size() && bytes[i] != '\n' && bytes[i] != '\r') ++i;
    std::size_t end_length = 0;
    if (i < bytes.size())
      end_length =
          bytes[i] == '\r' && i + 1 < bytes.size() && bytes[i + 1] == '\n' ? 2
                                                                           : 1;
    lines.push_back(
        {bytes.substr(start, i - start), bytes.substr(i, end_length)});
    start = i + end_length;
  }
  return lines;
}

// The line end of the lines a rewrite writes: the page's own convention
// (LF only, CR only), CR LF for a page that mixes them or has none.
std::string_view LineEndOf(std::string_view bytes) {
  const LineEndingKind kind = ClassifyTextBytes(bytes);
  if (kind == kUnixLineEnds) return "\n";
  if (kind == kMacLineEnds) return "\r";
  return "\r\n";
}

// The tag (UTF-8) as it is written into a page of the given encoding.
std::string EncodeForPage(std::string_view tag_utf8, TextEncoding encoding) {
  if (encoding == TextEncoding::kUtf8) return std::string(tag_utf8);
  return Utf8ToCp1252WithReferences(tag_utf8);
}

// The rewrite of a page's lines, as a stateful writer over its output.
class HeadRewriter {
 public:
  HeadRewriter(std::string_view bytes, const InsertOptions& options)
      : options_(options), lines_(SplitLines(bytes)) {
    eol_ = LineEndOf(bytes);
    encoding_ = DetectEncoding(bytes);
    out_.reserve(bytes.size() + 256);
  }

  // The keywords rewrite; `tag` is UTF-8.
  InsertResult InsertKeywords(std::string_view tag, std::string* out);
  DoneResult InsertDone(std::string* out);

 private:
  void WriteLine(std::string_view text) {
    out_.append(text);
    out_.append(eol_);
  }
  void WriteDoneTag() { WriteLine(DoneMetaTagLine(Today())); }
  void WriteNewMetaTag(std::string_view tag_utf8) {
    WriteLine(EncodeForPage(tag_utf8, encoding_));
    if (options_.add_done) WriteDoneTag();
    if (options_.include_new && options_.log != nullptr)
      options_.log->Output("\r\nNEW: " + Utf8ToCp1252(tag_utf8));
    meta_tag_written_ = true;
  }
  std::string Today() const {
    return options_.today.empty() ? TodayForDoneTag() : options_.today;
  }
  // For the report: the page's text in the engine's code page.
  std::string ForLog(std::string_view page_text) const {
    return encoding_ == TextEncoding::kUtf8 ? Utf8ToCp1252(page_text)
                                            : std::string(page_text);
  }
  // Removes an old done tag from the line; false when it goes on past it.
  void DropDoneTag(std::string_view& line, std::string& lower);
  // Handles "</head>" in the line; true when it was there.
  bool CloseHead(std::string_view line, std::string_view lower,
                 std::string_view tag_utf8, bool write_keywords);
  void CopyRest(std::size_t from) {
    for (std::size_t k = from; k < lines_.size(); ++k) {
      out_.append(lines_[k].text);
      out_.append(lines_[k].end);
    }
  }

  const InsertOptions& options_;
  std::vector<Line> lines_;
  std::string_view eol_;
  TextEncoding encoding_;
  std::string out_;
  bool meta_tag_written_ = false;
  TagSpan last_;  // the last finder call
};

void HeadRewriter::DropDoneTag(std::string_view& line, std::string& lower) {
  last_ = FindDoneMetaTag(lower);
  if (last_.start == 0) return;
  if (last_.start > 1) WriteLine(line.substr(0, last_.start - 1));
  line =
      last_.end == 0 ? std::string_view() : TrimBlanks(line.substr(last_.end));
  lower = LowerCp1252(line);
}

bool HeadRewriter::CloseHead(std::string_view line, std::string_view lower,
                             std::string_view tag_utf8, bool write_keywords) {
  const std::size_t p = lower.find("</head>");
  if (p == std::string_view::npos) {
    if (!line.empty()) WriteLine(line);  // blank lines of the head go
    return false;
  }
  if (p > 0) WriteLine(line.substr(0, p));
  if (write_keywords) {
    if (!meta_tag_written_) WriteNewMetaTag(tag_utf8);
  } else {
    WriteDoneTag();
  }
  WriteLine(line.substr(p, 7));
  const std::string_view rest = TrimBlanks(line.substr(p + 7));
  if (!rest.empty()) WriteLine(rest);
  return true;
}

InsertResult HeadRewriter::InsertKeywords(std::string_view tag,
                                          std::string* out) {
  for (std::size_t k = 0; k < lines_.size(); ++k) {
    std::string_view line = lines_[k].text;
    std::string lower = LowerCp1252(line);
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
      if (!meta_tag_written_) WriteNewMetaTag(tag);
      line = TrimBlanks(line.substr(last_.end));
      lower = LowerCp1252(line);
    }
    DropDoneTag(line, lower);
    if (CloseHead(line, lower, tag, true)) {
      if (last_.start > 0 && last_.end == 0)
        return InsertResult::kTagSpansLines;
      CopyRest(k + 1);
      *out = std::move(out_);
      return InsertResult::kInserted;
    }
  }
  // A refused rewrite changes nothing: the page keeps its bytes.
  if (last_.start > 0 && last_.end == 0) return InsertResult::kTagSpansLines;
  return InsertResult::kNoHeadEnd;
}

DoneResult HeadRewriter::InsertDone(std::string* out) {
  for (std::size_t k = 0; k < lines_.size(); ++k) {
    std::string_view line = lines_[k].text;
    std::string lower = LowerCp1252(line);
    DropDoneTag(line, lower);
    if (CloseHead(line, lower, {}, false)) {
      if (last_.start > 0 && last_.end == 0) return DoneResult::kTagSpansLines;
      CopyRest(k + 1);
      *out = std::move(out_);
      return DoneResult::kWritten;
    }
  }
  if (last_.start > 0 && last_.end == 0) return DoneResult::kTagSpansLines;
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
  const Status s = ReadPage(fs, path, page);
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
  const std::string t = LowerCp1252(tag);
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

std::string DoneMetaTagLine(std::string_view date) {
  return "<meta name=\"VORN done\" content=\"" + std::string(date) + "\">";
}

InsertResult InsertKeywordsMetaTagIntoBytes(std::string_view bytes,
                                            std::string_view tag,
                                            const InsertOptions& options,
                                            std::string* out) {
  if (!IsKeywordsTag(tag)) return InsertResult::kNotAKeywordsTag;
  return HeadRewriter(bytes, options).InsertKeywords(tag, out);
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
  const InsertResult r =
      InsertKeywordsMetaTagIntoBytes(page.bytes, tag, options, &new_bytes);
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
  return HeadRewriter(bytes, options).InsertDone(out);
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

std::optional<MessageBox> InsertResultMessage(InsertResult result) {
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
  const InsertResult result = InsertKeywordsMetaTag(
      Cp1252ToUtf8(GetMetaTag(output_box)), input_box, options);
  if (auto message = InsertResultMessage(result)) prompter.Ask(*message);
  return result;
}

}  // namespace vorn
