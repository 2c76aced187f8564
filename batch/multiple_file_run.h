// The multiple-file run: walks a folder (and, if asked, its subfolders) in
// name order, and for every page of a chosen extension reads its old tag,
// skips it when it is done, scans it, composes a tag, lets the user inspect
// it, inserts it and logs each step in the report. A failure with one page
// or folder is logged with its reason and the run goes on; a page is never
// left half written, so a second run completes what the first could not.
// A preview (the Preview parameter) goes the same way but writes nothing:
// it asks no inspection, says "would be inserted", and puts the diff of
// each page after its line.
//
// Pages are read, scanned, composed and written aside by a pool of worker
// threads (one per core unless told otherwise), a few pages ahead of the
// report. The thread that called the run puts each page in place and
// reports it in walk order, so that the report, the records and the files
// come out as with one worker; it alone talks to the view. A page is put in
// place (renamed over the old one) only after its new bytes are on the
// disk and only when every page before it has been reported. Stop reaches
// the first page in walk order not yet in place: its new bytes are thrown
// away, the question follows, and the pages the workers gave up are done
// again if the user goes on. Where the user inspects each tag, pages are
// worked one at a time.
//
// A run over a tree someone else wrote stays inside it:
// - A link to a page whose target (links resolved) lies outside the chosen
//   folder is not followed: nothing outside is read or written. The file's
//   line and the summary say so. Links to folders are never followed.
// - A page reached by two names (a link, a second hard link) is dealt with
//   once, under its first name in walk order.
// - A page with more than one name (hard links) is not rewritten: its other
//   names may lie outside the folder (a snapshot, a deployed copy), and a
//   rewrite in place would change them too, or leave the page half written
//   when it fails; a rewrite by rename would part it from them silently.
// - A page another program saves while the run works on it is left as that
//   program wrote it ("Changed during the run, not updated.").
// - Temporary files of the run's own naming pattern left by a killed run
//   (".NAME.vorn-" + 16 hex digits + ".tmp") are removed, each removal
//   logged, when they are older than the run and no writer holds them
//   (writers hold a lock on their temporary file while it is open; a lock
//   dies with its process, so a leftover is never locked). They are never
//   taken for pages.
// - Extended attributes and ACLs go with a rewritten page; where its file
//   system has none, the page is still rewritten and the summary notes it
//   once.
#ifndef VORN_BATCH_MULTIPLE_FILE_RUN_H_
#define VORN_BATCH_MULTIPLE_FILE_RUN_H_

#include <cstdint>
#include <string>
#include <string_view>

#include "batch/operation_parameters.h"
#include "batch/page_record.h"
#include "batch/report.h"
#include "documents/file_system.h"
#include "engine/analysis.h"
#include "engine/ui.h"

namespace vorn {

inline constexpr const char* kNowProcessing = "Now processing ...";

// What the inspect dialog is shown, and what it hands back.
struct InspectRequest {
  std::string file_label;   // "File: " + the page's name in lower case
  std::string tag;          // the new tag, editable
  bool insert_done = true;  // start value of "Insert 'Done' meta tag"
};
struct InspectAnswer {
  bool insert = true;       // "Insert this keywords meta tag"
  bool stop = false;        // "Stop the operation after this insertion"
  bool insert_done = true;  // "Insert 'Done' meta tag"
  std::string tag;          // the tag as edited
};

// The main window during a run, beyond what a scan needs.
class RunView : public MainView {
 public:
  // The input-file box shows the page being processed.
  virtual void SetInputFile(std::string_view path) { (void)path; }
  // The status line "Keywords meta tag inserted in N of M files.".
  virtual void SetInsertedCaption(std::string_view text) { (void)text; }
  // The report window should be shown (logging is on).
  virtual void ShowReport() {}
  // `done` of `total` pages have been dealt with.
  virtual void Progress(std::int64_t done, std::int64_t total) {
    (void)done;
    (void)total;
  }
  // The run starts (commands disabled) and ends (commands back).
  virtual void RunStarted() {}
  virtual void RunEnded() {}
  // A page has been dealt with, as `record` says; after its report lines.
  virtual void PageDone(const PageRecord& record) { (void)record; }
  // A folder could not be read: its pages and subfolders are skipped.
  virtual void FolderNotRead(const std::string& folder,
                             const std::string& error) {
    (void)folder;
    (void)error;
  }
  // Shows the inspect-and-edit dialog modally. Closing it counts as
  // "do not insert" and "stop".
  virtual InspectAnswer Inspect(const InspectRequest& request) = 0;
};

// The counters of a finished run.
struct RunSummary {
  std::int64_t FileCount = 0;      // pages that passed the filters
  std::int64_t InsertedCount = 0;  // pages that received a tag
  std::int64_t FolderCount = 1;    // folders visited
  bool stopped = false;
  std::string result_text;           // the text of the "Result" box
  std::int64_t NotUpdatedCount = 0;  // pages that could not be updated
                                     // (NotUpdated outcomes)
  std::int64_t UnreadableFolderCount = 0;
  bool terminated = false;  // an error ended the run before its end
};

// "Generate/insert keywords meta tag" in multiple-file mode: trims the
// folder box (written back), checks it and runs. Returns nothing when the
// box was empty or the folder missing (the message has been shown).
// `jobs` is the number of worker threads, 0 for one per core; with 1 each
// page is worked in turn on the calling thread.
std::optional<RunSummary> StartMultipleFileRun(
    std::string& folder_box, Analysis& analysis,
    const OperationParameters& parameters, Report& report, RunView& view,
    FileSystem* fs = nullptr, int jobs = 0);

// The run itself over an existing folder. Shows the "Result" box at the end.
// `analysis` gives the settings and common words (read, never changed);
// `fs` must allow calls from several threads at once.
RunSummary RunMultipleFileOperation(const std::string& folder,
                                    Analysis& analysis,
                                    const OperationParameters& parameters,
                                    Report& report, RunView& view,
                                    FileSystem* fs = nullptr, int jobs = 0);

// The threads a run with `jobs` workers (more than one) reads, writes and
// flushes its pages on: a worker computes on a core, and the threads
// beyond the workers wait for the disk meanwhile. A run that `writes`
// nothing waits for no flush: there, threads beyond the workers would only
// take turns with them for the cores.
int FolderRunThreads(int jobs, bool writes = true);

// "Keywords meta tag inserted in N of M files."
std::string InsertedCountCaption(std::int64_t inserted, std::int64_t files);

}  // namespace vorn

#endif  // VORN_BATCH_MULTIPLE_FILE_RUN_H_
