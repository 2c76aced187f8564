// The two outputs of an analysis: the keywords meta tag and the word list,
// and the message shown instead when no word qualifies.
#ifndef VORN_ENGINE_COMPOSE_H_
#define VORN_ENGINE_COMPOSE_H_

#include <optional>
#include <string>

#include "engine/settings.h"
#include "engine/ui.h"
#include "engine/word_table.h"
#include "support/encoding.h"

namespace vorn {

// The keywords meta tag (UTF-8) for the finished `table` of a page in
// `encoding`: the user's phrases (BeginMetaTagWith, trimmed and written back
// into `settings`), then ranked words within the maxima, closed with ">" or
// " />". Lengths are bytes in `encoding`; a keyword it cannot hold is
// written with numeric character references and counted so. With
// `with_status_lines` (single-file mode) two lines report the number of
// keywords and of bytes. An empty table gives the no-words message.
std::string GenerateKeywordMetaTag(
    const WordTable& table, AnalysisSettings& settings, bool with_status_lines,
    const Encoding& encoding = Encoding::Windows1252());

// The "Not encodable" message when the begin-with phrases hold a character
// that `encoding` cannot hold (naming the first such character); nothing
// when it holds them all.
std::optional<MessageBox> CheckPhrasesEncodable(
    const AnalysisSettings& settings, const Encoding& encoding);

// The ranked word list: "Rank Value Frequency" and one row per word whose
// rounded KeyValue is not 0. An empty table gives the no-words message.
std::string ListWords(const WordTable& table, const AnalysisSettings& settings);

// "No words with more than N letters occur at least ..." for the settings.
std::string ReportNoWords(const AnalysisSettings& settings);

// Rounds half to even, as the word list shows key values.
long long RoundHalfEven(double value);

}  // namespace vorn

#endif  // VORN_ENGINE_COMPOSE_H_
