// Finding the meta tags a page already carries in its head: the keywords,
// description, title and done tags. Nothing here parses markup; it looks
// for fixed texts in lower-cased copies of the lines.
#ifndef VORN_DOCUMENTS_META_TAGS_H_
#define VORN_DOCUMENTS_META_TAGS_H_

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "engine/ui.h"
#include "support/file_system.h"

namespace vorn {

// The tag "<meta " ... ">" around a quoted marker in one lower-cased line:
// 1-based start and end, 0 when not there. start > 0 with end 0 means the
// tag goes on past the end of the line.
struct TagSpan {
  std::size_t start = 0;
  std::size_t end = 0;
};
TagSpan FindKeywordsMetaTag(std::string_view lower_line);  // "keywords"
TagSpan FindDoneMetaTag(std::string_view lower_line);      // "vorn done"

inline constexpr const char* kNoKeywordsTagFound =
    "No keywords meta tag found.";

// One entry of the listing below: the title's text, or a meta tag as it
// stands on its line.
struct ExistingTag {
  enum class Kind { kTitle, kKeywords, kDescription, kDone };
  Kind kind;
  std::string text;  // UTF-8
};

// The entries of ListExistingTagsOfBytes, in its order.
std::vector<ExistingTag> FindExistingTagsOfBytes(std::string_view bytes);

// The title, keywords, description and done tags of the head of the page at
// `path`, as "Show existing keywords etc." lists them (UTF-8 with CR LF),
// ending in kNoKeywordsTagFound when the head holds no keywords tag. A note
// comes first when the page names a charset that is not known, or is not
// valid text in its encoding. A read error appends "Error when looking for
// keywords meta tag." instead.
std::string ListExistingTags(const std::string& path,
                             FileSystem& fs = DefaultFileSystem());

// How the page is read when that is not as it declares: "The charset x-y
// is not known; the page is read as windows-1252." or "The byte at position
// 12 is not valid shift_jis text."; "" when it is read as it declares.
std::string EncodingNote(std::string_view bytes);

// The same listing of page bytes already in memory.
std::string ListExistingTagsOfBytes(std::string_view bytes);

struct OldKeywordsTag {
  std::string text;    // from "<meta " to the end of its line, or a message
  bool done = false;   // the head holds a done tag
  bool found = false;  // `text` is a tag, not a message
};

// The last keywords tag line of the head of the page at `path` and whether
// the page is marked done. On a read error the text is
// "Error when getting old keywords meta tag.".
OldKeywordsTag GetOldKeywordsMetaTag(const std::string& path,
                                     FileSystem& fs = DefaultFileSystem());
OldKeywordsTag GetOldKeywordsMetaTagOfBytes(std::string_view bytes);

// "Show existing keywords etc." in single-file mode: checks the input box
// (trimmed and written back) and returns the listing, or shows the message
// and returns nothing. A temporary file that a rewrite left behind is no
// page and is refused.
std::optional<std::string> ShowExistingKeywords(std::string& input_box,
                                                Prompter& prompter);

}  // namespace vorn

#endif  // VORN_DOCUMENTS_META_TAGS_H_
