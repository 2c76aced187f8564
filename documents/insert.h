// Writing a keywords meta tag, and the done mark, into the head of a page.
// A page is either rewritten whole or left byte for byte as it was.
#ifndef VORN_DOCUMENTS_INSERT_H_
#define VORN_DOCUMENTS_INSERT_H_

#include <optional>
#include <string>
#include <string_view>

#include "documents/file_system.h"
#include "documents/operation_log.h"
#include "engine/document_checks.h"
#include "engine/ui.h"

namespace vorn {

enum class InsertResult {
  kInserted = 0,          // the new tag stands in the head
  kNoPath = -1,           // the path is empty
  kNotAKeywordsTag = -2,  // the text is not a keywords meta tag
  kFileMissing = -3,
  kTagSpansLines = -4,     // an existing tag goes on past its line
  kNoHeadEnd = -5,         // no line holds "</head>"
  kUndecodable = -6,       // the page is not valid text in its encoding
  kFileError = -7,         // a file operation failed
  kChangedMeanwhile = -8,  // another program changed the page after it was
                           // read; left as that program wrote it
  kHardLinked = -9,        // the page has more than one name
  kOutsideFolder = -10,    // a link leads out of InsertOptions::within
  kUnencodable = -11,      // the tag cannot be written in the page's
                           // encoding
};

// What an insertion found out besides its result.
struct InsertNotes {
  std::string failure;  // with kFileError: the system's description
  // The page's extended attributes (ACLs, labels) could not be carried
  // over to the new page: its file system does not support them.
  bool attributes_not_copied = false;
  // With kUndecodable and kUnencodable, why: "the page's encoding
  // (windows-1251) cannot hold the character "П" (U+041F)".
  std::string refusal;
};

// A page's bytes before and after a rewrite, handed back when asked for.
struct PageBytes {
  std::string before;  // as read
  std::string after;   // as written, or as a dry run would write them
  // The keywords tag the new one took the place of (UTF-8), if any.
  std::optional<std::string> replaced_tag;
};

// The unified diff of a rewrite (UnifiedDiff) under the names `a` and `b`:
// of the bytes, or for a UTF-16 page, whose lines are not cut at ASCII
// bytes, of its text as UTF-8.
std::string DiffOfRewrite(const PageBytes& bytes, const std::string& a,
                          const std::string& b);

// Options of one insertion.
struct InsertOptions {
  bool backup = false;       // keep the old content under BackupFileName
  bool add_done = true;      // also write the done tag (the done decision)
  bool include_old = false;  // report "OLD: " + the replaced tag
  bool include_new = false;  // report "NEW: " + the new tag
  std::string today;         // the done tag's date; empty: today's
  OperationLog* log = nullptr;
  FileSystem* fs = nullptr;      // null: the real file system
  InsertNotes* notes = nullptr;  // filled when given
  // When not empty (a path without links): a page whose path, links
  // resolved, lies outside this folder is not touched (kOutsideFolder).
  std::string within;
  // Compute the new page and write nothing at all: no temporary file, no
  // backup; the result is what the real rewrite would return short of a
  // failed write.
  bool dry_run = false;
  PageBytes* bytes = nullptr;  // when set, receives the page's bytes before
                               // and after a successful (or dry) rewrite
  // When set, a rewrite stops short of the swap: kInserted means the new
  // page is written aside and durable, the page itself still untouched,
  // until SwapInsertion puts it in place (or DiscardReplacement drops it).
  PendingReplacement* pending = nullptr;
  // When set, the page as the caller read it (ReadPage), taken over (moved
  // from, so good for one insertion) instead of a new read: the tag then goes
  // into the very bytes it was composed from, and a change since that read is
  // found at the swap.
  PageRead* read = nullptr;
  // Set when the caller's scan of the very bytes rewritten (those of
  // `read`, or those given) found them valid text in UTF-8 or Windows-1252,
  // with these line ends: they are not read through again for either.
  std::optional<LineEndingKind> checked_line_ends;
};

// The backup name of a path: the file name gets "bak." before its last
// extension (abc.htm gives abc.bak.htm); a name without a dot gets ".bak"
// appended. Dots in folder names are never used.
std::string BackupFileName(std::string_view path);

// `<meta name="VORN done" content="2008-01-31">` for the date given.
std::string DoneMetaTagLine(std::string_view date);

// Inserts `tag` (UTF-8) into the head of the page at `path`: it takes the
// place of a one-line keywords tag, or stands just before "</head>"; old
// done tags in the head are removed and, with add_done, one new one
// follows the tag. The tag is written in the page's encoding and lines
// with its line ends; every other byte of the page stays as it was. A page
// that is not valid text in its encoding gives kUndecodable, a tag with a
// character the encoding cannot hold kUnencodable. Any result but
// kInserted leaves the page unchanged, and so does every result of a dry
// run.
//
// A symbolic link is followed and its target rewritten. A page with more
// than one name (hard links) is not rewritten (kHardLinked): a rewrite by
// rename would part it from its other names, which may lie anywhere on the
// disk, and a rewrite in place could leave it half written. A page that
// another program changes between the read and the rename is left as that
// program wrote it (kChangedMeanwhile); see ReplaceDocument.
[[nodiscard]] InsertResult InsertKeywordsMetaTag(std::string_view tag,
                                                 const std::string& path,
                                                 const InsertOptions& options);

// Puts a rewrite left pending (InsertOptions::pending) in the page's place:
// kInserted, kChangedMeanwhile or kFileError as InsertKeywordsMetaTag
// would have returned; the page is old or new, and nothing stays pending.
// With `sync_folder` false the caller flushes the page's folder.
[[nodiscard]] InsertResult SwapInsertion(FileSystem& fs,
                                         PendingReplacement* pending,
                                         InsertNotes* notes,
                                         bool sync_folder = true);

// The same rewrite on page bytes in memory; `*out` receives the new bytes
// when the result is kInserted.
InsertResult InsertKeywordsMetaTagIntoBytes(std::string_view bytes,
                                            std::string_view tag,
                                            const InsertOptions& options,
                                            std::string* out);

enum class DoneResult {
  kWritten,
  kNoHeadEnd,
  kTagSpansLines,
  kFileError,
  kChangedMeanwhile,
  kHardLinked,
  kOutsideFolder,
};

// Writes only the done tag (replacing old ones) before "</head>". A page
// without "</head>" is left unchanged; so is a page in an encoding where the
// rewrite would not read back as intended (kFileError). No backup is made;
// a dry run writes nothing.
[[nodiscard]] DoneResult InsertDoneMetaTag(const std::string& path,
                                           const InsertOptions& options);
DoneResult InsertDoneMetaTagIntoBytes(std::string_view bytes,
                                      const InsertOptions& options,
                                      std::string* out);

// The tag shown in the output box without the status lines that follow it
// ("Number of keywords in meta tag ..."), trimmed of control characters.
std::string GetMetaTag(std::string_view output_box);

// The message box for a result (none for kInserted); `refusal` is the
// reason InsertNotes::refusal received.
std::optional<MessageBox> InsertResultMessage(InsertResult result,
                                              const std::string& refusal = "");

// "Insert meta tag into file" in single-file mode: trims both boxes (the
// texts are written back), asks "Backup?" with Yes, No and Cancel, inserts
// the tag of the output box into the input file and shows the result.
// Returns the result, or nothing when the command ended before inserting.
std::optional<InsertResult> InsertCommand(std::string& output_box,
                                          std::string& input_box,
                                          InsertOptions options,
                                          Prompter& prompter);

}  // namespace vorn

#endif  // VORN_DOCUMENTS_INSERT_H_
