#include "app/parameter_boxes.h"

namespace vorn {

const std::array<ParameterBox, 17> kParameterBoxes = {{
    {Parameter::kSaveStateOnQuit, "chkSaveStateOnQuit",
     "Save state when quitting", false},
    {Parameter::kDontLogDone, "chkDontLogDone",
     "Don't log 'done' files if skipping them", false},
    {Parameter::kSkipDone, "chkSkipDone",
     "Skip files which have a 'Done' meta tag", false},
    {Parameter::kAddDone, "chkAddDone",
     "With each insertion also insert a 'Done' meta tag", false},
    {Parameter::kClearReportAtStart, "chkClearReportAtStart",
     "Clear report window before each operation", false},
    {Parameter::kIncludeAllSubfolders, "chkIncludeAllSubfolders",
     "Include all subfolders recursively", false},
    {Parameter::kIncludeOldMetaTag, "chkIncludeOldMetaTag",
     "Include old keywords meta tag (if any) in report", false},
    {Parameter::kIncludeNewMetaTag, "chkIncludeNewMetaTag",
     "Include new keywords meta tag in report", false},
    {Parameter::kLogOperations, "chkLogOperations",
     "Log operations in the report window", false},
    {Parameter::kDisplayWords, "chkDisplayWords",
     "Display words as found (runs more slowly)", false},
    {Parameter::kConfirm, "chkConfirm",
     "Inspect keywords meta tag (and possibly edit it) before insertion",
     false},
    {Parameter::kBackup, "chkBackup",
     "Make backups of files (e.g., abc.htm -> abc.bak.htm)", false},
    {Parameter::kPreview, "chkPreview", "Preview (no changes)", false},
    {Parameter::kHTM, "chkHTM", "htm", true},
    {Parameter::kSHTML, "chkSHTML", "shtml", true},
    {Parameter::kSHTM, "chkSHTM", "shtm", true},
    {Parameter::kHTML, "chkHTML", "html", true},
}};

bool OperationParameters::*ParameterField(Parameter parameter) {
  using P = OperationParameters;
  switch (parameter) {
    case Parameter::kSaveStateOnQuit:
      return &P::SaveStateOnQuit;
    case Parameter::kDialogBoxForUnixFiles:
      return &P::DialogBoxForUnixFiles;
    case Parameter::kDontLogDone:
      return &P::DontLogDone;
    case Parameter::kSkipDone:
      return &P::SkipDone;
    case Parameter::kAddDone:
      return &P::AddDone;
    case Parameter::kClearReportAtStart:
      return &P::ClearReportAtStart;
    case Parameter::kIncludeAllSubfolders:
      return &P::IncludeAllSubfolders;
    case Parameter::kIncludeOldMetaTag:
      return &P::IncludeOldMetaTag;
    case Parameter::kIncludeNewMetaTag:
      return &P::IncludeNewMetaTag;
    case Parameter::kLogOperations:
      return &P::LogOperations;
    case Parameter::kDisplayWords:
      return &P::DisplayWords;
    case Parameter::kConfirm:
      return &P::Confirm;
    case Parameter::kBackup:
      return &P::Backup;
    case Parameter::kPreview:
      return &P::Preview;
    case Parameter::kHTM:
      return &P::HTM;
    case Parameter::kSHTML:
      return &P::SHTML;
    case Parameter::kSHTM:
      return &P::SHTM;
    case Parameter::kHTML:
      return &P::HTML;
  }
  return &P::SaveStateOnQuit;
}

bool ParameterValue(const OperationParameters& p, Parameter parameter) {
  return p.*ParameterField(parameter);
}

bool ParameterEnabled(const ParameterEnabling& e, Parameter parameter) {
  switch (parameter) {
    case Parameter::kDontLogDone:
      return e.DontLogDone;
    case Parameter::kIncludeOldMetaTag:
      return e.IncludeOldMetaTag;
    case Parameter::kIncludeNewMetaTag:
      return e.IncludeNewMetaTag;
    default:
      return true;
  }
}

void ClickParameter(OperationParameters& p, ParameterEnabling& e,
                    Parameter parameter, bool ticked) {
  switch (parameter) {
    case Parameter::kSkipDone:
      ClickSkipDone(p, e, ticked);
      return;
    case Parameter::kLogOperations:
      ClickLogOperations(p, e, ticked);
      return;
    case Parameter::kIncludeOldMetaTag:
      ClickIncludeOldMetaTag(p, ticked);
      return;
    case Parameter::kIncludeNewMetaTag:
      ClickIncludeNewMetaTag(p, ticked);
      return;
    default:
      p.*ParameterField(parameter) = ticked;
      return;
  }
}

}  // namespace vorn
