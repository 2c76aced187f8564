// The check boxes of the operation parameters window, in window order, and
// how each reads and writes its OperationParameters field.
#ifndef VORN_APP_PARAMETER_BOXES_H_
#define VORN_APP_PARAMETER_BOXES_H_

#include <array>

#include "batch/operation_parameters.h"

namespace vorn {

enum class Parameter {
  kSaveStateOnQuit,
  kDialogBoxForUnixFiles,  // kept in the state file only, never shown
  kDontLogDone,
  kSkipDone,
  kAddDone,
  kClearReportAtStart,
  kIncludeAllSubfolders,
  kIncludeOldMetaTag,
  kIncludeNewMetaTag,
  kLogOperations,
  kDisplayWords,
  kConfirm,
  kBackup,
  kPreview,  // not kept in the state file
  kHTM,
  kSHTML,
  kSHTM,
  kHTML,
};

struct ParameterBox {
  Parameter parameter;
  const char* name;     // the control's name, e.g. "chkSkipDone"
  const char* caption;  // exact, trailing blanks included
  bool extension;       // one of the four boxes under the extensions label
};

// The boxes frmParameters shows, in its order (without the Unix/Linux box).
extern const std::array<ParameterBox, 17> kParameterBoxes;

inline constexpr const char* kFileExtensionsLabel =
    "Act on files with the following extensions:";

// The field of a box, its value and whether the window enables it.
bool OperationParameters::*ParameterField(Parameter parameter);
bool ParameterValue(const OperationParameters& p, Parameter parameter);
bool ParameterEnabled(const ParameterEnabling& e, Parameter parameter);

// A click on a box: sets its field and runs its coupling rule.
void ClickParameter(OperationParameters& p, ParameterEnabling& e,
                    Parameter parameter, bool ticked);

}  // namespace vorn

#endif  // VORN_APP_PARAMETER_BOXES_H_
