// What a multiple-file run did with one page, or in a preview would do:
// the record the run hands to its view after each page, from which front
// ends make their own output (vorn-cli's JSON, TSV and diffs).
#ifndef VORN_BATCH_PAGE_RECORD_H_
#define VORN_BATCH_PAGE_RECORD_H_

#include <optional>
#include <string>
#include <string_view>

#include "documents/insert.h"

namespace vorn {

enum class PageOutcome {
  kInserted,          // the new tag stands in the page (in a preview: would)
  kSameTag,           // the new tag equals the old one; the page is left alone
  kDoneAlready,       // skipped: the page carries the done tag
  kNotInserted,       // the user chose not to insert it (inspect dialog)
  kStopped,           // the user stopped the scan of this page
  kDeclined,          // the user declined a page with Unix/Linux line ends
  kNotText,           // not a text file
  kNotDecodable,      // not valid text in the encoding it declares
  kReadError,         // the page could not be read
  kNoTagToInsert,     // no word qualified, so there was no tag
  kTagSpansLines,     // an existing keywords tag goes on past its line
  kNoHeadEnd,         // no line holds "</head>"
  kNotEncodable,      // the page's encoding cannot hold the tag
  kFileError,         // a file operation failed; the page is as it was
  kChangedMeanwhile,  // another program saved the page during the run
  kHardLinked,        // the page has more than one name; left alone
  kLinkOutside,       // a link to a page outside the folder; not followed
  kSamePage,          // a page dealt with under another name before
};

struct PageRecord {
  std::string path;           // the chosen folder joined with the names
  std::string relative_path;  // below the chosen folder: "sub/page.htm"
  PageOutcome outcome = PageOutcome::kInserted;
  // The page's keywords tag: for an inserted page the one the new tag
  // replaced (none when it went in before "</head>"), otherwise the last
  // keywords tag line of its head as the run read it.
  std::optional<std::string> old_tag;
  std::optional<std::string> new_tag;  // the tag composed (or edited)
  std::string language;  // code of the language its words were weighed
                         // in ("en"); empty when not known
  // The page before and after, when it was (or would be) rewritten; valid
  // only during the call that hands the record over.
  const PageBytes* bytes = nullptr;
};
// Tags are UTF-8 text, as the report shows them.

// True for the outcomes of a page that was to be updated and could not
// be: not text, unreadable, no tag, a tag over several lines, no
// "</head>", a failed write, changed meanwhile, hard links. Pages left
// alone by choice (done, same tag, not inserted, stopped, declined, a link
// out of the folder, a second name) are not among them.
bool NotUpdated(PageOutcome outcome);

// The path under which a diff names a page: the chosen folder's own name
// and the path below it, so that `patch -p1` run in the folder's parent
// applies it ("site/sub/page.htm" for the folder /www/site). A folder
// without a name of its own (the root) gives the path below it alone.
std::string PatchPath(const std::string& folder,
                      std::string_view relative_path);

}  // namespace vorn

#endif  // VORN_BATCH_PAGE_RECORD_H_
