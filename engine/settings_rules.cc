#include "engine/settings_rules.h"

namespace vorn {

void ReportCommonWordsUnavailable(AnalysisSettings& settings,
                                  const std::string& folder,
                                  Prompter& prompter) {
  const int language = CommonWordsLanguage(settings);
  prompter.Ask(CommonWordsUnavailableMessage(
      language, CommonWordsTable::FilePath(folder, language)));
  settings.IgnoreCommonWords = false;
}

void ChangeLanguage(AnalysisSettings& settings, int language,
                    const CommonWordsTable& common, const std::string& folder,
                    Prompter& prompter) {
  SelectLanguage(settings, language);
  if (!common.Available(CommonWordsLanguage(settings)))
    ReportCommonWordsUnavailable(settings, folder, prompter);
}

void TickIgnoreCommonWords(AnalysisSettings& settings,
                           const CommonWordsTable& common,
                           const std::string& folder, Prompter& prompter) {
  settings.IgnoreCommonWords = true;
  if (!common.Available(CommonWordsLanguage(settings)))
    ReportCommonWordsUnavailable(settings, folder, prompter);
}

bool UntickPreserveCase(AnalysisSettings& settings, Prompter& prompter) {
  settings.PreserveCase = false;
  if (settings.TextLanguage == kGerman) {
    const Answer a = prompter.Ask(MessageBox{
        "Confirmation",
        "For German text it is better to keep upper/lower case.\r\n\r\n"
        "Are you sure you want all keywords in lower case?",
        Icon::kNone, Buttons::kYesNoCancel});
    if (a != Answer::kYes) settings.PreserveCase = true;
  }
  return settings.PreserveCase;
}

}  // namespace vorn
