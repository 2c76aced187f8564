// What happens when the user changes certain settings: the questions and
// reports that go with them. Each returns what the control ends up showing;
// the window only sets it. Every change listed here also makes a cached
// analysis stale, which Analysis::UpdateSettings sees by itself.
#ifndef VORN_ENGINE_SETTINGS_RULES_H_
#define VORN_ENGINE_SETTINGS_RULES_H_

#include <string>

#include "engine/common_words.h"
#include "engine/settings.h"
#include "engine/ui.h"

namespace vorn {

// The "Common words not available" report for the chosen language (with
// "Automatic", its fallback), after which common words are no longer
// ignored.
void ReportCommonWordsUnavailable(AnalysisSettings& settings,
                                  const std::string& folder,
                                  Prompter& prompter);

// A language picked in the list (see SelectLanguage): when its common words
// (with "Automatic", the fallback's) are not available the user is told and
// IgnoreCommonWords is cleared.
void ChangeLanguage(AnalysisSettings& settings, int language,
                    const CommonWordsTable& common, const std::string& folder,
                    Prompter& prompter);

// "Ignore common words" ticked after start-up: when the chosen language's
// list is not available the user is told and the box is unticked again.
void TickIgnoreCommonWords(AnalysisSettings& settings,
                           const CommonWordsTable& common,
                           const std::string& folder, Prompter& prompter);

// "Keep upper/lower case" unticked: for German text the user is asked to
// confirm; any answer but Yes keeps the case. Returns the new value of
// PreserveCase.
bool UntickPreserveCase(AnalysisSettings& settings, Prompter& prompter);

}  // namespace vorn

#endif  // VORN_ENGINE_SETTINGS_RULES_H_
