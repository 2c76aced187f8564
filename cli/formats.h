// vorn-cli's output for scripts: list, tag and show as JSON or TSV, built
// from what the core hands back. The fields are described in
// docs/json-output.md. Engine texts are UTF-8, as the output.
#ifndef VORN_CLI_FORMATS_H_
#define VORN_CLI_FORMATS_H_

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "batch/page_record.h"
#include "documents/meta_tags.h"
#include "engine/word_table.h"

namespace vorn::cli {

// The word list: the rows the text list shows (rank, rounded key value,
// frequency, word), none when no word qualifies.
std::string WordListJson(const std::string& file, const WordTable& table);
std::string WordListTsv(const WordTable& table);

// A composed tag taken apart: the output box of "Generate" holds the tag
// and two lines with its counts, or a message when no word qualifies.
struct ComposedTag {
  std::optional<std::string> tag;     // nothing when no word qualifies
  std::vector<std::string> keywords;  // the tag's keywords, in its order
  std::int64_t keyword_count = 0;
  std::int64_t byte_count = 0;
  std::optional<std::string> message;  // the no-words message
};
ComposedTag ParseTagBox(std::string_view box);
std::string TagJson(const std::string& file, const ComposedTag& tag);
std::string TagTsv(const ComposedTag& tag);

// The value of a meta tag's content attribute (quoted with " or ', or
// bare up to a blank or ">"), or nothing when it has none on its line.
std::optional<std::string> ContentValue(std::string_view tag);

// The existing tags of a page: the value of the last of each kind, and
// every tag as the text listing shows it.
std::string ShowJson(const std::string& file,
                     const std::vector<ExistingTag>& tags,
                     const std::string& note);
std::string ShowTsv(const std::vector<ExistingTag>& tags);

// "inserted", "same_tag", ...: an outcome as JSON and TSV name it.
const char* OutcomeName(PageOutcome outcome);

}  // namespace vorn::cli

#endif  // VORN_CLI_FORMATS_H_
