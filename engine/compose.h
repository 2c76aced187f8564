// The two outputs of an analysis: the keywords meta tag and the word list,
// and the message shown instead when no word qualifies.
#ifndef VORN_ENGINE_COMPOSE_H_
#define VORN_ENGINE_COMPOSE_H_

#include <string>

#include "engine/settings.h"
#include "engine/word_table.h"

namespace vorn {

// The keywords meta tag for the finished `table`: the user's phrases
// (BeginMetaTagWith, trimmed and written back into `settings`), then ranked
// words within the maxima, closed with ">" or " />". With
// `with_status_lines` (single-file mode) two lines report the number of
// keywords and of bytes. An empty table gives the no-words message.
std::string GenerateKeywordMetaTag(const WordTable& table,
                                   AnalysisSettings& settings,
                                   bool with_status_lines);

// The ranked word list: "Rank Value Frequency" and one row per word whose
// rounded KeyValue is not 0. An empty table gives the no-words message.
std::string ListWords(const WordTable& table, const AnalysisSettings& settings);

// "No words with more than N letters occur at least ..." for the settings.
std::string ReportNoWords(const AnalysisSettings& settings);

// Rounds half to even, as the word list shows key values.
long long RoundHalfEven(double value);

}  // namespace vorn

#endif  // VORN_ENGINE_COMPOSE_H_
