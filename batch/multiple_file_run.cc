#include "batch/multiple_file_run.h"

#include <algorithm>
#include <chrono>
#include <map>
#include <new>
#include <system_error>
#include <utility>
#include <vector>

#include "documents/file_system.h"
#include "documents/insert.h"
#include "documents/meta_tags.h"
#include "engine/compose.h"
#include "engine/document_checks.h"
#include "support/files.h"
#include "support/strings.h"
#include "support/unicode.h"
#include "support/unified_diff.h"

namespace vorn {
namespace {

constexpr std::string_view kStoppedLine =
    "\r\n\r\nOperation stopped at user's request.\r\n";
constexpr std::string_view kPreviewLine =
    "Preview (no changes): no file is written.\r\n";

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
  std::string diff = UnifiedDiff(record.bytes->before, record.bytes->after,
                                 "a/" + path, "b/" + path);
  // The report is UTF-8: a page in another encoding has its diff decoded.
  const PageEncoding page = DetectEncoding(record.bytes->before);
  if (page.encoding.kind != Encoding::Kind::kUtf8) {
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

class Run {
 public:
  Run(Analysis& analysis, const OperationParameters& parameters, Report& report,
      RunView& view, FileSystem* fs)
      : analysis_(analysis),
        p_(parameters),
        report_(report),
        view_(view),
        fs_(fs != nullptr ? *fs : DefaultFileSystem()) {}

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
  void ProcessFolder(const std::string& folder, bool backup, bool top);
  // Removes the temporary files that killed rewrites left in `folder`.
  void RemoveLeftovers(const std::string& folder,
                       const std::vector<std::string>& names);
  // One page; false when the run is to stop.
  bool ProcessFile(const std::string& folder, const std::string& name,
                   bool backup);
  // The page at `current` lies outside the run's folder, or has been dealt
  // with under another name, or cannot be examined: logs it, hands over
  // `record` and returns true.
  bool PassedOver(const std::string& current, const std::string& shown_name,
                  PageRecord& record);
  void LogInsertResult(InsertResult result, const InsertNotes& notes);
  // Counts the record and hands it to the view.
  void PageDone(PageRecord& record, PageOutcome outcome);
  std::string PageLanguageLine() const;
  void Finish();
  void LogSafetySummary();
  // `path` relative to the run's folder, as the report shows it.
  std::string Relative(const std::string& path) const {
    return PathForDisplay(path.substr(
        std::min(path.size(), root_.size() + (root_.ends_with('/') ? 0 : 1))));
  }

  Analysis& analysis_;
  const OperationParameters& p_;
  Report& report_;
  RunView& view_;
  FileSystem& fs_;
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
    }
    if (p_.Preview) Output(kPreviewLine);
    view_.SetOutputText("");
    if (p_.LogOperations) {
      view_.ShowReport();
      LogFolder(folder);
    }
    pages_total_ = CountPages(folder);
    view_.Progress(0, pages_total_);
    ProcessFolder(folder, p_.Backup, true);
  } catch (const std::bad_alloc&) {
    view_.Ask(
        {"Error", "Insufficient memory.", Icon::kExclamation, Buttons::kOk});
    report_.RemoveLast(80 * static_cast<std::size_t>(s_.InsertedCount) + 512);
    Output("\r\nTerminated due to insufficient memory.\r\n");
    s_.terminated = true;
  } catch (const std::exception& e) {
    view_.Ask({"Error", e.what(), Icon::kExclamation, Buttons::kOk});
    report_.RemoveLast(80 * static_cast<std::size_t>(s_.InsertedCount) + 512);
    Output("\r\nTerminated due to an error occurring.\r\n");
    s_.terminated = true;
  }
  Finish();
  return s_;
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

void Run::ProcessFolder(const std::string& folder, bool backup, bool top) {
  const FolderListing listing = ListFolder(fs_, folder);
  if (!listing.error.empty()) {
    // The rest of this folder is skipped; the run goes on with the next.
    Output("\r\nFolder: " + PathForDisplay(folder) +
           "  ---  Could not be read (" + listing.error + ").\r\n");
    ++s_.UnreadableFolderCount;
    view_.FolderNotRead(folder, listing.error);
    return;
  }
  // A subfolder gets its line when it holds files of a ticked extension.
  if (!top && std::any_of(listing.files.begin(), listing.files.end(),
                          [&](const std::string& name) {
                            return MatchesExtension(name, p_);
                          }))
    LogFolder(folder);
  if (!p_.Preview) RemoveLeftovers(folder, listing.leftovers);  // no writes
  for (const std::string& name : listing.files) {
    if (!IsPageToDo(name, p_)) continue;
    if (!ProcessFile(folder, name, backup)) return;
  }
  if (!p_.IncludeAllSubfolders) return;
  for (const std::string& sub : listing.folders) {
    ProcessFolder(Join(folder, sub), backup, false);
    ++s_.FolderCount;
    if (stop_operation_) return;
  }
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

bool Run::PassedOver(const std::string& current, const std::string& shown_name,
                     PageRecord& record) {
  auto log = [&](const std::string& why, PageOutcome outcome) {
    Output("\r\nFile: " + shown_name + "  ---  " + why + "\r\n");
    if (s_.FileCount > 1)
      view_.SetInsertedCaption(
          InsertedCountCaption(s_.InsertedCount, s_.FileCount));
    PageDone(record, outcome);
    view_.Progress(++pages_done_, pages_total_);
    return true;
  };
  std::string target;
  FileInfo info;
  Status s = fs_.ResolveLinks(current, &target);
  if (s.ok() && !IsWithin(target, real_root_)) {
    outside_list_ += PathForDisplay(current) + "\r\n";
    return log("Link to a page outside the folder, not followed.",
               PageOutcome::kLinkOutside);
  }
  if (s.ok()) s = fs_.Stat(target, &info);
  if (!s.ok())
    return log("Could not be read (" + Reason(s) + ").",
               PageOutcome::kReadError);
  // By its path for a link (a rewrite gives the page a new inode), by its
  // inode for a second hard link.
  const auto by_path = seen_paths_.try_emplace(target, current);
  const auto by_inode = seen_.try_emplace({info.device, info.inode}, current);
  const std::string* first = !by_path.second    ? &by_path.first->second
                             : !by_inode.second ? &by_inode.first->second
                                                : nullptr;
  if (first != nullptr)
    return log("Same page as " + Relative(*first) + ", already dealt with.",
               PageOutcome::kSamePage);
  return false;
}

bool Run::ProcessFile(const std::string& folder, const std::string& name,
                      bool backup) {
  const std::string current = Join(folder, name);
  const std::string shown_name = PathForDisplay(name);
  ++s_.FileCount;
  view_.SetOutputText("");
  PageRecord record;
  PageBytes bytes;  // the page before and after, once it is rewritten
  record.path = current;
  record.relative_path = current.substr(std::min(current.size(), root_.size()));
  while (record.relative_path.starts_with(kPathSeparator))
    record.relative_path.erase(0, 1);
  if (PassedOver(current, shown_name, record)) return true;
  const OldKeywordsTag old = GetOldKeywordsMetaTag(current, fs_);
  if (old.found) record.old_tag = old.text;
  // The chosen language, or under "Automatic" none until the page is read.
  const int chosen = analysis_.settings().TextLanguage;
  if (!IsAutomatic(chosen))
    record.language = kLanguages[static_cast<std::size_t>(chosen)].code;
  if (p_.SkipDone && old.done) {
    if (!p_.DontLogDone)
      Output("\r\nFile: " + shown_name + "  ---  Done already.\r\n");
    PageDone(record, PageOutcome::kDoneAlready);
    view_.Progress(++pages_done_, pages_total_);
    return true;
  }
  view_.SetInputFile(current);
  Output("\r\nFile: " + shown_name + "  " + kNowProcessing);

  std::int64_t position = 0;
  const DocumentStatus status = analysis_.DoFile(
      current, ScanOptions{false, p_.DisplayWords}, view_, &position);
  if (p_.LogOperations)
    report_.RemoveSuffix(std::string("  ") + kNowProcessing);
  PageOutcome outcome = PageOutcome::kInserted;
  switch (status) {
    case DocumentStatus::kNotText:
      Output("  ---  Not a text file (byte" +
             Spaced(position < 0 ? -position : position) + ").");
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
      Output("  ---  Not valid " + analysis_.last_encoding().encoding.name +
             " text (byte" + Spaced(position) + ").");
      outcome = PageOutcome::kNotDecodable;
      break;
    case DocumentStatus::kScanned:
      break;
  }
  // With "Automatic" the language of each page scanned ends its lines and
  // goes into its record.
  std::string language_line;
  if (status == DocumentStatus::kScanned && IsAutomatic(chosen)) {
    language_line = "\r\n" + PageLanguageLine();
    record.language =
        kLanguages[static_cast<std::size_t>(analysis_.last_language().language)]
            .code;
  }
  const bool stop_pressed = status == DocumentStatus::kStopped;
  if (stop_pressed) {
    const Answer a = view_.Ask(
        {"Continue?", "Go on to the next file?", Icon::kNone, Buttons::kYesNo});
    if (a != Answer::kYes) {
      Output(kStoppedLine);
      stop_operation_ = true;
      PageDone(record, outcome);
      return false;
    }
    if (p_.LogOperations) view_.ShowReport();
    view_.SetOutputText("");
  }

  if (!stop_pressed && status == DocumentStatus::kScanned) {
    view_.SetOutputText(analysis_.GenerateKeywordMetaTag(false));
    InspectAnswer answer;
    answer.insert = true;
    answer.insert_done = p_.AddDone;
    bool go_on = true;
    // A preview shows what the run would write as composed: it asks nothing.
    if (p_.Confirm && !p_.Preview) {
      InspectRequest request;
      request.file_label = "File: " + LowerText(shown_name);
      request.tag = view_.OutputText();
      request.insert_done = p_.AddDone;
      view_.SetOutputText("Existing keywords meta tag: " + old.text);
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
          (void)InsertDoneMetaTag(current, done_options);
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
      const std::string tag = p_.Confirm && !p_.Preview
                                  ? answer.tag
                                  : GetMetaTag(view_.OutputText());
      record.new_tag = tag;
      if (LowerText(tag) == LowerText(old.text)) {
        Output("  ---  New keywords meta tag is the same as the existing one.");
        outcome = PageOutcome::kSameTag;
      } else {
        InsertOptions options;
        options.backup = backup;
        options.add_done = answer.insert_done;
        options.include_old = p_.IncludeOldMetaTag;
        options.include_new = p_.IncludeNewMetaTag;
        options.log = &report_;
        options.fs = &fs_;
        options.within = real_root_;
        options.dry_run = p_.Preview;
        options.bytes = &bytes;
        InsertNotes notes;
        options.notes = &notes;
        const InsertResult r = InsertKeywordsMetaTag(tag, current, options);
        LogInsertResult(r, notes);
        attributes_not_copied_ |= notes.attributes_not_copied;
        outcome = OutcomeOf(r);
        if (r == InsertResult::kNotAKeywordsTag) record.new_tag.reset();
        if (r == InsertResult::kInserted) {
          ++s_.InsertedCount;
          inserted_file_list_ += PathForDisplay(current) + "\r\n";
          record.bytes = &bytes;
          record.old_tag = bytes.replaced_tag;
          if (p_.Preview && p_.LogOperations)
            Output("\r\n" + DiffForReport(record, root_));
        }
      }
    }
  }

  Output(language_line + "\r\n");
  if (s_.FileCount > 1) {
    view_.SetInsertedCaption(
        p_.Preview ? "Keywords meta tag would be inserted in" +
                         Spaced(s_.InsertedCount) + " of" +
                         Spaced(s_.FileCount) + " files."
                   : InsertedCountCaption(s_.InsertedCount, s_.FileCount));
  }
  PageDone(record, outcome);
  view_.Progress(++pages_done_, pages_total_);
  if (stop_operation_) {
    Output(kStoppedLine);
    return false;
  }
  return true;
}

void Run::PageDone(PageRecord& record, PageOutcome outcome) {
  record.outcome = outcome;
  if (NotUpdated(outcome)) ++s_.NotUpdatedCount;
  view_.PageDone(record);
}

std::string Run::PageLanguageLine() const {
  const PageLanguage& page = analysis_.last_language();
  const bool list_missing = analysis_.settings().IgnoreCommonWords &&
                            !analysis_.common_words().Available(page.language);
  return LanguageReportLine(page, list_missing);
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

std::string InsertedCountCaption(std::int64_t inserted, std::int64_t files) {
  return "Keywords meta tag inserted in" + Spaced(inserted) + " of" +
         Spaced(files) + " files.";
}

RunSummary RunMultipleFileOperation(const std::string& folder,
                                    Analysis& analysis,
                                    const OperationParameters& parameters,
                                    Report& report, RunView& view,
                                    FileSystem* fs) {
  return Run(analysis, parameters, report, view, fs).Execute(folder);
}

std::optional<RunSummary> StartMultipleFileRun(
    std::string& folder_box, Analysis& analysis,
    const OperationParameters& parameters, Report& report, RunView& view,
    FileSystem* fs) {
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
                                  view, fs);
}

}  // namespace vorn
