#include "batch/operation_parameters.h"

namespace vorn {

void ClickSkipDone(OperationParameters& p, ParameterEnabling& e, bool value) {
  p.SkipDone = value;
  e.DontLogDone = value;
}

void ClickLogOperations(OperationParameters& p, ParameterEnabling& e,
                        bool value) {
  p.LogOperations = value;
  e.IncludeNewMetaTag = value;
  e.IncludeOldMetaTag = value;
  e.DontLogDone = value;
}

void ClickIncludeOldMetaTag(OperationParameters& p, bool value) {
  p.IncludeOldMetaTag = value;
  if (value) p.IncludeNewMetaTag = true;
}

void ClickIncludeNewMetaTag(OperationParameters& p, bool value) {
  p.IncludeNewMetaTag = value;
  if (!value) p.IncludeOldMetaTag = false;
}

}  // namespace vorn
