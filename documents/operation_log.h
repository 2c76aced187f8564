// Where a rewrite reports the old and new tags: the report of a
// multiple-file run. Implementations ignore the text unless logging is on.
#ifndef VORN_DOCUMENTS_OPERATION_LOG_H_
#define VORN_DOCUMENTS_OPERATION_LOG_H_

#include <string_view>

namespace vorn {

class OperationLog {
 public:
  virtual ~OperationLog() = default;
  // Appends UTF-8 text unchanged (callers supply their own CR LF).
  virtual void Output(std::string_view text) = 0;
};

}  // namespace vorn

#endif  // VORN_DOCUMENTS_OPERATION_LOG_H_
