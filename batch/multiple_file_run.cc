#include "batch/multiple_file_run.h"

#include <algorithm>
#include <atomic>
#include <chrono>
#include <condition_variable>
#include <deque>
#include <exception>
#include <map>
#include <memory>
#include <mutex>
#include <new>
#include <optional>
#include <set>
#include <system_error>
#include <utility>
#include <vector>

#include "batch/core_share.h"
#include "batch/worker_pool.h"
#include "documents/file_system.h"
#include "documents/insert.h"
#include "documents/meta_tags.h"
#include "engine/compose.h"
#include "engine/document_checks.h"
#include "support/files.h"
#include "support/strings.h"
#include "support/unicode.h"

namespace vorn {
namespace {

constexpr std::string_view kStoppedLine =
    "\r\n\r\nOperation stopped at user's request.\r\n";
// The pages worked ahead hold their old and new bytes until reported: no
// more are begun while those walked ahead add up to this size.
constexpr std::int64_t kAheadBytes = 64 << 20;
constexpr std::string_view kPreviewLine =
    "Preview (no changes): no file is written.\r\n";

// A new tag the same as the old one, letter case aside. Also in another
// form of the same characters: an encoding such as Windows-1258 gives a
// page's accented letters back as a letter and its marks, the words of a
// new tag come composed.
bool SameTag(std::string_view new_tag, std::string_view old_tag) {
  const std::string a = LowerText(new_tag), b = LowerText(old_tag);
  return a == b || ToNfc(a) == ToNfc(b);
}

struct FolderListing {
  std::vector<std::string> files;      // names of regular files (or links to)
  std::vector<std::string> folders;    // names of real folders (links skipped)
  std::vector<std::string> leftovers;  // temporary files of rewrites
  std::string error;                   // empty when the folder could be read
};

// Name order: letter case ignored first, then the exact bytes, so that two
// runs over the same site visit it alike on every platform.
bool NameBefore(const std::string& a, const std::string& b) {
  auto lower = [](unsigned char c) {
    return c >= 'A' && c <= 'Z' ? c + 32 : c;
  };
  const auto r = std::lexicographical_compare(
      a.begin(), a.end(), b.begin(), b.end(),
      [&](char x, char y) { return lower(x) < lower(y); });
  if (r) return true;
  const auto s = std::lexicographical_compare(
      b.begin(), b.end(), a.begin(), a.end(),
      [&](char x, char y) { return lower(x) < lower(y); });
  return !s && a < b;
}

// The system's description of a failure.
std::string Reason(const Status& s) {
  return s.error_number() != 0
             ? std::system_category().message(s.error_number())
             : s.message();
}

FolderListing ListFolder(FileSystem& fs, const std::string& folder) {
  FolderListing listing;
  std::vector<FolderEntry> entries;
  if (Status s = fs.ListFolder(folder, &entries); !s.ok()) {
    listing.error = Reason(s);
    return listing;
  }
  for (FolderEntry& entry : entries) {
    // A link to a page is the page (if it lies inside the run's folder); a
    // link to a folder is not followed, so the walk never goes round in
    // circles nor leaves the folder.
    if (entry.kind == FolderEntry::kFile && !entry.link &&
        IsRewriteLeftoverName(entry.name))
      listing.leftovers.push_back(std::move(entry.name));
    else if (entry.kind == FolderEntry::kFile)
      listing.files.push_back(std::move(entry.name));
    else if (entry.kind == FolderEntry::kFolder && !entry.link)
      listing.folders.push_back(std::move(entry.name));
  }
  std::sort(listing.files.begin(), listing.files.end(), NameBefore);
  std::sort(listing.folders.begin(), listing.folders.end(), NameBefore);
  std::sort(listing.leftovers.begin(), listing.leftovers.end(), NameBefore);
  return listing;
}

std::string Join(const std::string& folder, const std::string& name) {
  if (!folder.empty() && folder.back() == kPathSeparator) return folder + name;
  return folder + kPathSeparator + name;
}

// The patterns of the ticked extensions, in the order they are tried.
std::vector<std::string_view> Patterns(const OperationParameters& p) {
  std::vector<std::string_view> patterns;
  if (p.SHTML) patterns.push_back("*.shtml");
  if (p.SHTM) patterns.push_back("*.shtm");
  if (p.HTML) patterns.push_back("*.html");
  if (p.HTM) patterns.push_back("*.htm");
  return patterns;
}

// A page's diff as the report shows it: as UTF-8 text, every
// line ended by CR LF, without the last one (the page's line adds it).
std::string DiffForReport(const PageRecord& record, const std::string& root) {
  const std::string path = PatchPath(root, record.relative_path);
  std::string diff = DiffOfRewrite(*record.bytes, "a/" + path, "b/" + path);
  // The report is UTF-8: a page in another encoding has its diff decoded.
  const PageEncoding page = DetectEncoding(record.bytes->before);
  if (page.encoding.kind != Encoding::Kind::kUtf8 && !IsUtf16(page.encoding)) {
    std::string text;
    (void)DecodeText(diff, page.encoding, &text);
    diff = text;
  }
  std::string out;
  for (std::size_t i = 0; i < diff.size(); ++i) {
    if (diff[i] == '\r' && i + 1 < diff.size() && diff[i + 1] == '\n') continue;
    if (diff[i] == '\n' || diff[i] == '\r')
      out += "\r\n";
    else
      out.push_back(diff[i]);
  }
  if (out.ends_with("\r\n")) out.resize(out.size() - 2);
  return out;
}

PageOutcome OutcomeOf(InsertResult result) {
  switch (result) {
    case InsertResult::kInserted:
      return PageOutcome::kInserted;
    case InsertResult::kNotAKeywordsTag:
      return PageOutcome::kNoTagToInsert;
    case InsertResult::kTagSpansLines:
      return PageOutcome::kTagSpansLines;
    case InsertResult::kNoHeadEnd:
      return PageOutcome::kNoHeadEnd;
    case InsertResult::kChangedMeanwhile:
      return PageOutcome::kChangedMeanwhile;
    case InsertResult::kHardLinked:
      return PageOutcome::kHardLinked;
    case InsertResult::kOutsideFolder:
      return PageOutcome::kLinkOutside;
    case InsertResult::kUndecodable:
      return PageOutcome::kNotDecodable;
    case InsertResult::kUnencodable:
      return PageOutcome::kNotEncodable;
    default:
      return PageOutcome::kFileError;
  }
}

bool MatchesExtension(const std::string& name, const OperationParameters& p) {
  for (std::string_view pattern : Patterns(p))
    if (MatchFileName(name, pattern, false)) return true;
  return false;
}

// A file is taken when its name holds no "bak." (backups), is not a
// rewrite's temporary file and matches a ticked extension.
bool IsPageToDo(const std::string& name, const OperationParameters& p) {
  if (name.find("bak.") != std::string::npos) return false;
  if (IsRewriteLeftoverName(name)) return false;
  return MatchesExtension(name, p);
}

std::int64_t NowNs() {
  return std::chrono::duration_cast<std::chrono::nanoseconds>(
             std::chrono::system_clock::now().time_since_epoch())
      .count();
}

// A page's scan on a worker thread: nothing is shown, and Stop is the
// run's own flag, which the thread that reports sets.
class WorkerView : public MainView {
 public:
  explicit WorkerView(const std::atomic<bool>& stop) : stop_(stop) {}
  Answer Ask(const MessageBox& box) override {
    return box.buttons == Buttons::kOk ? Answer::kOk : Answer::kNo;
  }
  std::string OutputText() const override { return {}; }
  void SetOutputText(std::string_view) override {}
  void AppendOutputText(std::string_view) override {}
  void SetWordCountLabel(std::string_view) override {}
  void ScanStarted() override {}
  void ScanEnded() override {}
  bool StopRequested() override {
    return stop_.load(std::memory_order_relaxed);
  }

 private:
  const std::atomic<bool>& stop_;
};

// Collects the report lines a rewrite writes (OLD:, NEW:), so that a page
// worked on another thread reports them when its turn comes.
class LinesLog : public OperationLog {
 public:
  void Output(std::string_view text) override { text_.append(text); }
  const std::string& text() const { return text_; }

 private:
  std::string text_;
};

// What a page's work needs, copied when the walk reaches the page: the
// settings and parameters may change during the run, but not during a page.
struct PageOrder {
  AnalysisSettings settings;
  bool skip_done = true;
  bool inspect = false;  // the user inspects the tag: no rewrite ahead
  bool backup = false;
  bool add_done = true;
  bool include_old = false;
  bool include_new = false;
  bool preview = false;
  bool log = true;
  bool display_words = false;
};

// What the work on one page found and did, up to (not including) the
// swap of the new page into place.
struct PageWork {
  OldKeywordsTag old;
  DocumentStatus status = DocumentStatus::kScanned;
  std::int64_t position = 0;
  PageLanguage language;
  PageEncoding encoding;                    // how the page was read
  std::optional<LineEndingKind> line_ends;  // when the scan checked its text
  std::string language_line;           // "\r\n" + the language line, or empty
  std::string composed;                // the tag as composed for the output box
  std::string tag;                     // the same as the rewrite takes it
  std::optional<InsertResult> insert;  // when the rewrite was tried
  InsertNotes notes;
  LinesLog log;
  PageBytes bytes;
  PendingReplacement pending;
  std::string diff;  // a preview's diff for the report
  // The page as read once for its old tag, its scan and its rewrite; when
  // it could not be read, each of them reads it and reports as it does.
  std::optional<PageRead> read;
};

// One page of the walk.
struct PageJob {
  std::string path;
  std::string shown_name;
  int depth = 0;  // folders between the chosen one and the page
  PageRecord record;
  PageOrder order;
  PageWork work;
  std::exception_ptr failure;  // thrown by the work
  bool abandoned = false;      // Stop came during the work: do it again
  bool done = false;           // guarded by Run::done_mutex_
  std::int64_t size = 0;       // of the page when walked
};

// One step of the walk, committed in walk order.
struct WalkItem {
  static WalkItem FolderDone() {
    WalkItem item;
    item.kind = kFolderDone;
    return item;
  }
  enum Kind {
    kFolderLine,     // the "Folder: " line of a subfolder
    kFolderNotRead,  // a folder that could not be listed
    kLeftovers,      // temporary files of killed rewrites to remove
    kPassedOver,     // a page not worked on (a link out, a second name)
    kPage,
    kFolderDone,  // a subfolder has been walked: it counts
  };
  Kind kind = kPage;
  std::string folder;
  std::vector<std::string> names;  // kLeftovers
  std::string text;                // kFolderNotRead: the error; kPassedOver:
                                   // the reason
  PageOutcome outcome = PageOutcome::kInserted;  // kPassedOver
  std::shared_ptr<PageJob> job;                  // kPage, kPassedOver
};

// A folder on the walk's way down.
struct WalkFrame {
  std::string folder;
  FolderListing listing;
  bool listed = false;
  std::size_t next_file = 0;
  std::size_t next_folder = 0;
};

class Run {
 public:
  Run(Analysis& analysis, const OperationParameters& parameters, Report& report,
      RunView& view, FileSystem* fs, int jobs)
      : analysis_(analysis),
        p_(parameters),
        report_(report),
        view_(view),
        jobs_(jobs > 0 ? jobs : DefaultWorkerCount()),
        cores_(jobs_),
        fs_(fs != nullptr ? *fs : DefaultFileSystem(), cores_) {}

  RunSummary Execute(const std::string& folder);

 private:
  // " was inserted", or " would be inserted" in a preview.
  const char* Inserted() const {
    return p_.Preview ? " would be inserted" : " was inserted";
  }
  void Output(std::string_view text) { report_.Output(text); }
  void LogFolder(const std::string& path) {
    if (!p_.LogOperations) return;
    if (!report_.empty()) Output("\r\n");
    Output("Folder: " + PathForDisplay(path) + "\r\n");
  }
  std::int64_t CountPages(const std::string& folder) const;

  // --- The walk: depth first, a folder's pages before its subfolders.
  // Appends the next steps to pending_; false when the walk is over.
  bool WalkOn();
  void WalkFile(const std::string& folder, const std::string& name);
  // The page at `current` lies outside the run's folder, or has been dealt
  // with under another name, or cannot be examined: the step that says so.
  // Else `*size` receives the page's size.
  std::optional<WalkItem> PassedOver(const std::string& current,
                                     std::int64_t* size);
  PageOrder OrderNow() const;

  // --- The work on a page, on any thread: the old tag, then (unless the
  // page is done) the scan, the tag and the rewrite short of the swap.
  void ReadOldTag(PageJob& job) const;
  void Work(PageJob& job, MainView& scan_view) const;
  void WorkOnWorker(const std::shared_ptr<PageJob>& job);

  // --- The report, in walk order, on the caller's thread.
  // Steps through the walk until it ends or the run stops.
  void Drive();
  // Waits for a page's work, watching Stop; false when it was abandoned.
  bool AwaitWork(PageJob& job);
  void Commit(WalkItem& item);
  void CommitPassedOver(WalkItem& item);
  // One page; false when the run is to stop.
  bool CommitPage(const std::shared_ptr<PageJob>& job);
  void RemoveLeftovers(const std::string& folder,
                       const std::vector<std::string>& names);
  void LogInsertResult(InsertResult result, const InsertNotes& notes);
  // Counts the record and hands it to the view.
  void PageDone(PageRecord& record, PageOutcome outcome);
  void ShowInsertedCaption();
  // Flushes the folders of the pages swapped since the last call.
  void SyncFolders();
  // A page has been swapped into `folder`: its flush waits until the run
  // has moved on to another folder, or 64 pages.
  void FolderSwapped(const std::string& folder);
  // Ends the workers and drops what they left pending.
  void StopWorkers();
  void Finish();
  void LogSafetySummary();
  // `path` relative to the run's folder, as the report shows it.
  std::string Relative(const std::string& path) const {
    return PathForDisplay(path.substr(
        std::min(path.size(), root_.size() + (root_.ends_with('/') ? 0 : 1))));
  }
  // Pages worked ahead on worker threads (else each page in turn here).
  bool Ahead() const { return pool_ != nullptr; }
  int PoolThreads() const { return pool_threads_; }

  Analysis& analysis_;
  const OperationParameters& p_;
  Report& report_;
  RunView& view_;
  const int jobs_;
  CoreShare cores_;  // one per worker of the scans
  // The run's file system; a worker lends its core while it waits on it.
  mutable CoreLendingFileSystem fs_;
  RunSummary s_;
  std::string root_;       // the chosen folder
  std::string real_root_;  // the same with links resolved
  std::int64_t started_ns_ = 0;
  // The pages dealt with, by device and inode, with their first name.
  std::map<std::pair<dev_t, ino_t>, std::string> seen_;
  std::map<std::string, std::string> seen_paths_;  // by path, links resolved
  std::string outside_list_;  // links to pages outside the folder
  bool attributes_not_copied_ = false;
  std::string inserted_file_list_;
  bool stop_operation_ = false;
  std::int64_t pages_total_ = 0;
  std::int64_t pages_done_ = 0;

  std::vector<WalkFrame> walk_;       // the folders on the way down
  std::deque<WalkItem> pending_;      // walked, not yet committed
  std::size_t pages_in_flight_ = 0;   // kPage items in pending_
  std::int64_t bytes_in_flight_ = 0;  // their sizes
  std::atomic<bool> stop_{false};     // Stop seen: workers give up their page
  bool stop_seen_ = false;            // Stop seen, not yet put to the user
  std::mutex done_mutex_;             // guards PageJob::done and abandoned
  std::condition_variable done_;
  std::set<std::string> unsynced_folders_;  // swapped in, not yet flushed
  int unsynced_pages_ = 0;                  // swapped since the last flush
  int pool_threads_ = 0;
  // Last, so that its threads end before what they use goes.
  std::unique_ptr<WorkerPool> pool_;
};

std::int64_t Run::CountPages(const std::string& folder) const {
  const FolderListing listing = ListFolder(fs_, folder);
  std::int64_t n = 0;
  for (const std::string& name : listing.files)
    if (IsPageToDo(name, p_)) ++n;
  if (p_.IncludeAllSubfolders)
    for (const std::string& sub : listing.folders)
      n += CountPages(Join(folder, sub));
  return n;
}

RunSummary Run::Execute(const std::string& folder) {
  view_.RunStarted();
  root_ = folder;
  started_ns_ = NowNs();
  if (!fs_.ResolveLinks(folder, &real_root_).ok()) real_root_ = folder;
  try {
    if (p_.LogOperations) {
      if (p_.ClearReportAtStart)
        report_.Clear();
      else if (!report_.empty())
        Output("\r\n" + std::string(PathForDisplay(folder).size() + 8, '-'));
      view_.ShowReport();
    }
    view_.SetOutputText("");
    if (p_.LogOperations) {
      if (p_.Preview) Output(kPreviewLine);
      LogFolder(folder);
    }
    pages_total_ = CountPages(folder);
    view_.Progress(0, pages_total_);
    // Tags the user inspects are worked one page at a time: an answer (and
    // the parameters changed meanwhile) decides what the next page gets.
    if (jobs_ > 1 && !(p_.Confirm && !p_.Preview)) {
      // More threads than workers: those waiting for the disk (a read, a
      // new file, a flush) leave their cores to the others.
      // A thread has at most a page, its new copy and their folder open
      // at once, and this one a folder and the report. Beyond what the
      // limit of open files allows, threads would fail pages that fewer
      // would rewrite.
      const std::size_t free = FreeFileDescriptors();
      const std::size_t by_files = free > 8 ? (free - 8) / 4 : 1;
      pool_threads_ = static_cast<int>(std::clamp<std::size_t>(
          by_files, 1,
          static_cast<std::size_t>(FolderRunThreads(jobs_, !p_.Preview))));
      pool_ = std::make_unique<WorkerPool>(PoolThreads());
      view_.ScanStarted();
    }
    walk_.push_back({folder, {}, false, 0, 0});
    Drive();
    StopWorkers();
  } catch (const std::bad_alloc&) {
    StopWorkers();
    view_.Ask(
        {"Error", "Insufficient memory.", Icon::kExclamation, Buttons::kOk});
    report_.RemoveLast(80 * static_cast<std::size_t>(s_.InsertedCount) + 512);
    Output("\r\nTerminated due to insufficient memory.\r\n");
    s_.terminated = true;
  } catch (const std::exception& e) {
    StopWorkers();
    view_.Ask({"Error", e.what(), Icon::kExclamation, Buttons::kOk});
    report_.RemoveLast(80 * static_cast<std::size_t>(s_.InsertedCount) + 512);
    Output("\r\nTerminated due to an error occurring.\r\n");
    s_.terminated = true;
  }
  Finish();
  return s_;
}

void Run::StopWorkers() {
  if (pool_ == nullptr) {
    SyncFolders();
    return;
  }
  stop_ = true;
  pool_->Close();
  pool_.reset();
  view_.ScanEnded();
  for (WalkItem& item : pending_)
    if (item.job != nullptr) DiscardReplacement(fs_, &item.job->work.pending);
  pending_.clear();
  SyncFolders();
}

// --- The walk.

bool Run::WalkOn() {
  while (!walk_.empty()) {
    WalkFrame& frame = walk_.back();
    const bool top = walk_.size() == 1;
    if (!frame.listed) {
      frame.listed = true;
      frame.listing = ListFolder(fs_, frame.folder);
      if (!frame.listing.error.empty()) {
        // The rest of this folder is skipped; the run goes on with the next.
        WalkItem item;
        item.kind = WalkItem::kFolderNotRead;
        item.folder = frame.folder;
        item.text = frame.listing.error;
        pending_.push_back(std::move(item));
        walk_.pop_back();
        if (!top) pending_.push_back(WalkItem::FolderDone());
        return true;
      }
      // A subfolder gets its line when it holds files of a ticked extension.
      const auto& files = frame.listing.files;
      if (!top &&
          std::any_of(files.begin(), files.end(), [&](const std::string& name) {
            return MatchesExtension(name, p_);
          })) {
        WalkItem item;
        item.kind = WalkItem::kFolderLine;
        item.folder = frame.folder;
        pending_.push_back(std::move(item));
      }
      if (!p_.Preview && !frame.listing.leftovers.empty()) {  // no writes
        WalkItem item;
        item.kind = WalkItem::kLeftovers;
        item.folder = frame.folder;
        item.names = frame.listing.leftovers;
        pending_.push_back(std::move(item));
      }
      return true;
    }
    while (frame.next_file < frame.listing.files.size()) {
      const std::string& name = frame.listing.files[frame.next_file++];
      if (!IsPageToDo(name, p_)) continue;
      WalkFile(frame.folder, name);
      return true;
    }
    if (p_.IncludeAllSubfolders &&
        frame.next_folder < frame.listing.folders.size()) {
      const std::string sub =
          Join(frame.folder, frame.listing.folders[frame.next_folder++]);
      walk_.push_back({sub, {}, false, 0, 0});
      continue;
    }
    walk_.pop_back();
    if (!top) {
      pending_.push_back(WalkItem::FolderDone());
      return true;
    }
  }
  return false;
}

PageOrder Run::OrderNow() const {
  PageOrder o;
  o.settings = analysis_.settings();
  o.skip_done = p_.SkipDone;
  o.inspect = p_.Confirm && !p_.Preview;
  o.backup = p_.Backup;
  o.add_done = p_.AddDone;
  o.include_old = p_.IncludeOldMetaTag;
  o.include_new = p_.IncludeNewMetaTag;
  o.preview = p_.Preview;
  o.log = p_.LogOperations;
  o.display_words = p_.DisplayWords;
  return o;
}

void Run::WalkFile(const std::string& folder, const std::string& name) {
  const std::string current = Join(folder, name);
  auto job = std::make_shared<PageJob>();
  job->path = current;
  job->shown_name = PathForDisplay(name);
  job->depth = static_cast<int>(walk_.size()) - 1;
  job->record.path = current;
  job->record.relative_path =
      current.substr(std::min(current.size(), root_.size()));
  while (job->record.relative_path.starts_with(kPathSeparator))
    job->record.relative_path.erase(0, 1);
  std::optional<WalkItem> passed = PassedOver(current, &job->size);
  if (passed) {
    passed->job = std::move(job);
    pending_.push_back(std::move(*passed));
    return;
  }
  job->order = OrderNow();
  if (Ahead()) pool_->Submit([this, job] { WorkOnWorker(job); });
  WalkItem item;
  item.kind = WalkItem::kPage;
  item.job = std::move(job);
  bytes_in_flight_ += item.job->size;
  pending_.push_back(std::move(item));
  ++pages_in_flight_;
}

std::optional<WalkItem> Run::PassedOver(const std::string& current,
                                        std::int64_t* size) {
  auto step = [&](std::string why, PageOutcome outcome) {
    WalkItem item;
    item.kind = WalkItem::kPassedOver;
    item.text = std::move(why);
    item.outcome = outcome;
    return item;
  };
  std::string target;
  FileInfo info;
  Status s = fs_.ResolveLinks(current, &target);
  if (s.ok() && !IsWithin(target, real_root_))
    return step("Link to a page outside the folder, not followed.",
                PageOutcome::kLinkOutside);
  if (s.ok()) s = fs_.Stat(target, &info);
  if (!s.ok())
    return step("Could not be read (" + Reason(s) + ").",
                PageOutcome::kReadError);
  // By its path for a link (a rewrite gives the page a new inode), by its
  // inode for a second hard link. A page of one link has no other name,
  // and its inode may be one that the rewrite of an earlier page freed
  // and a page saved since has taken.
  const auto by_path = seen_paths_.try_emplace(target, current);
  const std::string* first = by_path.second ? nullptr : &by_path.first->second;
  if (first == nullptr && info.links > 1) {
    const auto by_inode = seen_.try_emplace({info.device, info.inode}, current);
    if (!by_inode.second) first = &by_inode.first->second;
  }
  if (first != nullptr)
    return step("Same page as " + Relative(*first) + ", already dealt with.",
                PageOutcome::kSamePage);
  *size = info.size;
  return std::nullopt;
}

// --- The work on a page.

void Run::ReadOldTag(PageJob& job) const {
  PageWork& w = job.work;
  w.read.emplace();
  if (!ReadPage(fs_, job.path, &*w.read).ok()) w.read.reset();
  w.old = w.read ? GetOldKeywordsMetaTagOfBytes(w.read->bytes)
                 : GetOldKeywordsMetaTag(job.path, fs_);
}

void Run::Work(PageJob& job, MainView& scan_view) const {
  const PageOrder& o = job.order;
  PageWork& w = job.work;
  WordTable table;
  AnalysisSettings settings = o.settings;
  const ScanOptions scan{false, o.display_words};
  w.status = w.read ? ScanDocumentBytes(w.read->bytes, settings,
                                        analysis_.common_words(), scan,
                                        scan_view, table, &w.position,
                                        &w.language, &w.encoding, &w.line_ends)
                    : DoFile(fs_, job.path, settings, analysis_.common_words(),
                             scan, scan_view, table, &w.position, nullptr,
                             &w.language, &w.encoding);
  if (w.status != DocumentStatus::kScanned) return;
  if (IsAutomatic(o.settings.TextLanguage)) {
    const bool list_missing =
        o.settings.IgnoreCommonWords &&
        !analysis_.common_words().Available(w.language.language);
    w.language_line = "\r\n" + LanguageReportLine(w.language, list_missing);
  }
  w.composed =
      GenerateKeywordMetaTag(table, settings, false, w.encoding.encoding);
  w.tag = GetMetaTag(w.composed);
  // An inspected tag, or one the same as the old, is not written here.
  if (o.inspect || SameTag(w.tag, w.old.text)) return;
  InsertOptions options;
  options.backup = o.backup;
  options.add_done = o.add_done;
  options.include_old = o.include_old;
  options.include_new = o.include_new;
  options.log = &w.log;
  options.fs = &fs_;
  options.within = real_root_;
  options.dry_run = o.preview;
  options.bytes = &w.bytes;
  options.notes = &w.notes;
  options.pending = &w.pending;
  options.read = w.read ? &*w.read : nullptr;
  if (w.read) options.checked_line_ends = w.line_ends;
  w.insert = InsertKeywordsMetaTag(w.tag, job.path, options);
  if (*w.insert == InsertResult::kInserted && o.preview && o.log) {
    PageRecord record = job.record;
    record.bytes = &w.bytes;
    w.diff = "\r\n" + DiffForReport(record, root_);
  }
}

void Run::WorkOnWorker(const std::shared_ptr<PageJob>& job) {
  // A page Stop caught before or during its scan is done again if the user
  // goes on; one finished before is kept, and Stop may still keep it from
  // its place.
  bool abandoned = true;
  if (!stop_.load()) {
    const CoreShare::Held core(cores_);
    WorkerView view(stop_);
    try {
      ReadOldTag(*job);
      if (!(job->order.skip_done && job->work.old.done)) Work(*job, view);
      job->work.read.reset();  // a page worked ahead waits without its bytes
      abandoned = job->work.status == DocumentStatus::kStopped;
    } catch (...) {
      job->failure = std::current_exception();
      abandoned = false;
    }
  }
  {
    const std::lock_guard<std::mutex> lock(done_mutex_);
    job->abandoned = abandoned;
    job->done = true;
  }
  done_.notify_all();
}

// --- The report, in walk order.

void Run::Drive() {
  // Enough pages ahead to keep every worker busy while the report waits
  // for the slowest, few enough to hold in memory.
  const std::size_t ahead =
      Ahead() ? static_cast<std::size_t>(2 * PoolThreads()) : 1;
  bool walking = true;
  while (!stop_operation_) {
    while (walking &&
           (pending_.empty() || (Ahead() && pages_in_flight_ < ahead &&
                                 bytes_in_flight_ < kAheadBytes)))
      walking = WalkOn();
    if (pending_.empty()) break;
    WalkItem item = std::move(pending_.front());
    pending_.pop_front();
    if (item.kind == WalkItem::kPage) {
      --pages_in_flight_;
      bytes_in_flight_ -= item.job->size;
    }
    Commit(item);
  }
}

bool Run::AwaitWork(PageJob& job) {
  std::unique_lock<std::mutex> lock(done_mutex_);
  while (!job.done) {
    // Stop is watched while waiting, so that it acts within a moment: the
    // window handles its events every few dozen of these calls.
    if (done_.wait_for(lock, std::chrono::milliseconds(1),
                       [&] { return job.done; }))
      break;
    lock.unlock();
    if (!stop_seen_ && view_.StopRequested()) {
      stop_seen_ = true;
      stop_ = true;
    }
    lock.lock();
  }
  if (job.failure != nullptr) std::rethrow_exception(job.failure);
  return !job.abandoned;
}

void Run::Commit(WalkItem& item) {
  switch (item.kind) {
    case WalkItem::kFolderLine:
      LogFolder(item.folder);
      return;
    case WalkItem::kFolderNotRead:
      Output("\r\nFolder: " + PathForDisplay(item.folder) +
             "  ---  Could not be read (" + item.text + ").\r\n");
      ++s_.UnreadableFolderCount;
      view_.FolderNotRead(item.folder, item.text);
      return;
    case WalkItem::kLeftovers:
      RemoveLeftovers(item.folder, item.names);
      return;
    case WalkItem::kPassedOver:
      CommitPassedOver(item);
      return;
    case WalkItem::kFolderDone:
      ++s_.FolderCount;
      return;
    case WalkItem::kPage:
      if (!CommitPage(item.job)) {
        stop_operation_ = true;
        // The folders around the page count as visited, as each does on
        // the way back up.
        s_.FolderCount += item.job->depth;
      }
      return;
  }
}

void Run::CommitPassedOver(WalkItem& item) {
  if (item.outcome == PageOutcome::kLinkOutside)
    outside_list_ += PathForDisplay(item.job->path) + "\r\n";
  ++s_.FileCount;
  view_.SetOutputText("");
  Output("\r\nFile: " + item.job->shown_name + "  ---  " + item.text + "\r\n");
  if (s_.FileCount > 1)
    view_.SetInsertedCaption(
        InsertedCountCaption(s_.InsertedCount, s_.FileCount));
  PageDone(item.job->record, item.outcome);
  view_.Progress(++pages_done_, pages_total_);
}

bool Run::CommitPage(const std::shared_ptr<PageJob>& shared_job) {
  PageJob& job = *shared_job;
  const PageOrder& o = job.order;
  PageWork& w = job.work;
  PageRecord& record = job.record;
  ++s_.FileCount;
  view_.SetOutputText("");
  if (Ahead()) {
    // A page whose work Stop cut short: reported as stopped when Stop is
    // still to be answered, else done again.
    while (!AwaitWork(job)) {
      w = PageWork();
      {
        const std::lock_guard<std::mutex> lock(done_mutex_);
        job.done = job.abandoned = false;
      }
      if (stop_seen_) {
        ReadOldTag(job);
        break;
      }
      pool_->Submit([this, shared_job] { WorkOnWorker(shared_job); });
    }
  } else {
    ReadOldTag(job);
  }
  if (w.old.found) record.old_tag = w.old.text;
  // The chosen language, or under "Automatic" none until the page is read.
  const int chosen = o.settings.TextLanguage;
  if (!IsAutomatic(chosen))
    record.language = kLanguages[static_cast<std::size_t>(chosen)].code;
  if (o.skip_done && w.old.done) {
    if (!p_.DontLogDone)
      Output("\r\nFile: " + job.shown_name + "  ---  Done already.\r\n");
    PageDone(record, PageOutcome::kDoneAlready);
    view_.Progress(++pages_done_, pages_total_);
    return true;
  }
  view_.SetInputFile(job.path);
  if (Ahead()) {
    // Stop reaches the first page in walk order not yet in place.
    if (!stop_seen_ && view_.StopRequested()) stop_seen_ = stop_ = true;
    if (stop_seen_) {
      DiscardReplacement(fs_, &w.pending);
      w.status = DocumentStatus::kStopped;
    }
    Output("\r\nFile: " + job.shown_name);
  } else {
    Output("\r\nFile: " + job.shown_name + "  " + kNowProcessing);
    Work(job, view_);
    if (p_.LogOperations)
      report_.RemoveSuffix(std::string("  ") + kNowProcessing);
  }

  PageOutcome outcome = PageOutcome::kInserted;
  switch (w.status) {
    case DocumentStatus::kNotText:
      Output("  ---  Not a text file (byte" +
             Spaced(w.position < 0 ? -w.position : w.position) + ").");
      outcome = PageOutcome::kNotText;
      break;
    case DocumentStatus::kStopped:
      Output("  ---  Operation on this file stopped.");
      outcome = PageOutcome::kStopped;
      break;
    case DocumentStatus::kDeclined:
      Output("  ---  Operation on this unix/linux file stopped.");
      outcome = PageOutcome::kDeclined;
      break;
    case DocumentStatus::kReadError:
      Output("  --- Unexpected error.");
      outcome = PageOutcome::kReadError;
      break;
    case DocumentStatus::kUndecodable:
      Output("  ---  Not valid " + w.encoding.encoding.name + " text (byte" +
             Spaced(w.position) + ").");
      outcome = PageOutcome::kNotDecodable;
      break;
    case DocumentStatus::kScanned:
      break;
  }
  // With "Automatic" the language of each page scanned ends its lines and
  // goes into its record.
  const bool scanned = w.status == DocumentStatus::kScanned;
  const std::string language_line = scanned ? w.language_line : "";
  if (scanned && IsAutomatic(chosen))
    record.language =
        kLanguages[static_cast<std::size_t>(w.language.language)].code;
  if (w.status == DocumentStatus::kStopped) {
    const Answer a = view_.Ask(
        {"Continue?", "Go on to the next file?", Icon::kNone, Buttons::kYesNo});
    if (a != Answer::kYes) {
      Output(kStoppedLine);
      PageDone(record, outcome);
      return false;
    }
    if (Ahead()) {
      // Stop has been answered: the view's Stop is reset and the workers
      // go on (the pages they gave up are done again when reached).
      stop_seen_ = false;
      stop_ = false;
      view_.ScanEnded();
      view_.ScanStarted();
    }
    if (p_.LogOperations) view_.ShowReport();
    view_.SetOutputText("");
  }

  if (scanned) {
    view_.SetOutputText(w.composed);
    InspectAnswer answer;
    answer.insert = true;
    answer.insert_done = o.add_done;
    bool go_on = true;
    // A preview shows what the run would write as composed: it asks nothing.
    if (o.inspect) {
      InspectRequest request;
      request.file_label = "File: " + LowerText(job.shown_name);
      request.tag = view_.OutputText();
      request.insert_done = o.add_done;
      view_.SetOutputText("Existing keywords meta tag: " + w.old.text);
      answer = view_.Inspect(request);
      stop_operation_ = answer.stop;
      if (!answer.insert) {
        Output("  ---  Meta tag not inserted.");
        record.new_tag = answer.tag;
        outcome = PageOutcome::kNotInserted;
        if (answer.insert_done) {
          InsertOptions done_options;
          done_options.fs = &fs_;
          done_options.within = real_root_;
          (void)InsertDoneMetaTag(job.path, done_options);
        }
        if (stop_operation_) {
          Output(language_line);
          Output(kStoppedLine);
          PageDone(record, outcome);
          return false;
        }
        go_on = false;
      }
    }
    if (go_on) {
      const std::string tag = o.inspect ? answer.tag : w.tag;
      record.new_tag = tag;
      if (SameTag(tag, w.old.text)) {
        Output("  ---  New keywords meta tag is the same as the existing one.");
        outcome = PageOutcome::kSameTag;
      } else {
        InsertResult r;
        if (o.inspect) {
          InsertOptions options;
          options.backup = o.backup;
          options.add_done = answer.insert_done;
          options.include_old = o.include_old;
          options.include_new = o.include_new;
          options.log = &report_;
          options.fs = &fs_;
          options.within = real_root_;
          options.bytes = &w.bytes;
          options.notes = &w.notes;
          r = InsertKeywordsMetaTag(tag, job.path, options);
        } else {
          Output(w.log.text());
          r = w.insert.value_or(InsertResult::kFileError);
          if (r == InsertResult::kInserted && !o.preview) {
            r = SwapInsertion(fs_, &w.pending, &w.notes, false);
            FolderSwapped(FolderOfPage(w.pending.page.target));
          }
        }
        LogInsertResult(r, w.notes);
        attributes_not_copied_ |= w.notes.attributes_not_copied;
        outcome = OutcomeOf(r);
        if (r == InsertResult::kNotAKeywordsTag) record.new_tag.reset();
        if (r == InsertResult::kInserted) {
          ++s_.InsertedCount;
          inserted_file_list_ += PathForDisplay(job.path) + "\r\n";
          record.bytes = &w.bytes;
          record.old_tag = w.bytes.replaced_tag;
          Output(w.diff);
        }
      }
    }
  }

  Output(language_line + "\r\n");
  ShowInsertedCaption();
  PageDone(record, outcome);
  view_.Progress(++pages_done_, pages_total_);
  if (stop_operation_) {
    Output(kStoppedLine);
    return false;
  }
  return true;
}

void Run::ShowInsertedCaption() {
  if (s_.FileCount <= 1) return;
  view_.SetInsertedCaption(
      p_.Preview ? "Keywords meta tag would be inserted in" +
                       Spaced(s_.InsertedCount) + " of" + Spaced(s_.FileCount) +
                       " files."
                 : InsertedCountCaption(s_.InsertedCount, s_.FileCount));
}

void Run::FolderSwapped(const std::string& folder) {
  if (!unsynced_folders_.empty() && !unsynced_folders_.contains(folder))
    SyncFolders();
  unsynced_folders_.insert(folder);
  if (++unsynced_pages_ >= 64) SyncFolders();
}

void Run::SyncFolders() {
  unsynced_pages_ = 0;
  // A failure only means the renames may not yet be on the disk.
  for (const std::string& folder : unsynced_folders_)
    (void)fs_.SyncFolder(folder);
  unsynced_folders_.clear();
}

void Run::Finish() {
  view_.RunEnded();
  const std::int64_t n = s_.InsertedCount;
  const std::string following = std::string("A keywords meta tag") +
                                Inserted() + " in the following" +
                                (n != 1 ? Spaced(n) + " files" : " file");
  const std::string none =
      std::string("No keywords meta tag") + Inserted() + " in any file.";
  if (!inserted_file_list_.empty()) {
    Output("\r\n" + following);
    Output(":\r\n\r\n" + inserted_file_list_ + "\r\n");
  } else {
    Output("\r\n" + none + "\r\n");
  }
  LogSafetySummary();
  if (n > 0) {
    view_.SetOutputText(following + ":\r\n\r\n" + inserted_file_list_);
    s_.result_text = std::string("A keywords meta tag") + Inserted() + " in" +
                     Spaced(n) + " file" + (n == 1 ? "" : "s") + " in" +
                     Spaced(s_.FolderCount) + " folder" +
                     (s_.FolderCount == 1 ? "" : "s") + ".";
  } else {
    s_.result_text = none;
  }
  s_.stopped = stop_operation_;
  view_.Ask({"Result", s_.result_text, Icon::kNone, Buttons::kOk});
}

void Run::LogSafetySummary() {
  if (!outside_list_.empty())
    Output("\r\nLinks to pages outside the folder, not followed:\r\n\r\n" +
           outside_list_ + "\r\n");
  if (attributes_not_copied_)
    Output(
        "\r\nExtended attributes (ACLs, labels) could not be kept on some "
        "pages: their file system does not support them.\r\n");
}

// Only files of the run's own naming pattern are touched, only when older
// than the run and held by no writer; before the folder's pages, since a
// leftover could be a second name of one of them.
void Run::RemoveLeftovers(const std::string& folder,
                          const std::vector<std::string>& names) {
  for (const std::string& name : names) {
    const std::string path = Join(folder, name);
    bool removed = false;
    const Status s = fs_.RemoveIfAbandoned(path, started_ns_, &removed);
    if (removed)
      Output("\r\nRemoved a temporary file left by an interrupted rewrite: " +
             Relative(path) + "\r\n");
    else if (!s.ok())
      Output(
          "\r\nCould not remove a temporary file left by an interrupted "
          "rewrite: " +
          Relative(path) + " (" + Reason(s) + ")\r\n");
  }
}

void Run::PageDone(PageRecord& record, PageOutcome outcome) {
  record.outcome = outcome;
  if (NotUpdated(outcome)) ++s_.NotUpdatedCount;
  view_.PageDone(record);
}

void Run::LogInsertResult(InsertResult result, const InsertNotes& notes) {
  switch (result) {
    case InsertResult::kInserted:
      if (!p_.IncludeNewMetaTag)
        Output(p_.Preview ? "  ---  Keywords meta tag would be inserted."
                          : "  ---  Keywords meta tag inserted.");
      return;
    case InsertResult::kNotAKeywordsTag:
      Output("  ---  No keywords meta tag to insert.");
      return;
    case InsertResult::kTagSpansLines:
      Output(
          "  ---  Keywords meta tag not inserted because existing meta tag "
          "occupies more than one line.");
      return;
    case InsertResult::kNoHeadEnd:
      Output(
          "  ---  Keywords meta tag not inserted because </head> is "
          "missing.");
      return;
    case InsertResult::kChangedMeanwhile:
      Output("  ---  Changed during the run, not updated.");
      return;
    case InsertResult::kHardLinked:
      Output("  ---  Has more than one name (hard link), not updated.");
      return;
    case InsertResult::kOutsideFolder:
      Output("  ---  Link to a page outside the folder, not followed.");
      return;
    case InsertResult::kUndecodable:
    case InsertResult::kUnencodable:
      Output("  ---  Keywords meta tag not inserted because " + notes.refusal +
             ".");
      return;
    default:
      // The system's reason follows, so that the user can act on it.
      Output("  ---  An error (" + std::to_string(static_cast<int>(result)) +
             ") occurred during meta tag insertion" +
             (notes.failure.empty() ? "" : " (" + notes.failure + ")") + ".");
      return;
  }
}

}  // namespace

int FolderRunThreads(int jobs, bool writes) {
  // A page waits about as long as it is worked on, and the flushes of
  // several pages overlap: three waiting threads for each worker kept the
  // cores busy on the disks tried, two did not. Without flushes the
  // reads (mostly from memory) are too short to be worth a handover of
  // the core: each costs a sleep and a wake-up.
  if (!writes) return jobs;
  return jobs + std::min(3 * jobs, 64);
}

std::string InsertedCountCaption(std::int64_t inserted, std::int64_t files) {
  return "Keywords meta tag inserted in" + Spaced(inserted) + " of" +
         Spaced(files) + " files.";
}

RunSummary RunMultipleFileOperation(const std::string& folder,
                                    Analysis& analysis,
                                    const OperationParameters& parameters,
                                    Report& report, RunView& view,
                                    FileSystem* fs, int jobs) {
  return Run(analysis, parameters, report, view, fs, jobs).Execute(folder);
}

std::optional<RunSummary> StartMultipleFileRun(
    std::string& folder_box, Analysis& analysis,
    const OperationParameters& parameters, Report& report, RunView& view,
    FileSystem* fs, int jobs) {
  folder_box = std::string(TrimBlanks(folder_box));
  if (folder_box.empty()) {
    view.Ask({"Invalid input", "No input folder specified.", Icon::kExclamation,
              Buttons::kOk});
    return std::nullopt;
  }
  if (!FolderExists(folder_box)) {
    view.Ask({"Invalid input", "Folder does not exist", Icon::kExclamation,
              Buttons::kOk});
    return std::nullopt;
  }
  return RunMultipleFileOperation(folder_box, analysis, parameters, report,
                                  view, fs, jobs);
}

}  // namespace vorn
