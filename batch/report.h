// The report of multiple-file runs: one text that runs and rewrites append
// to, and that the user can save or copy. Appending does nothing unless
// logging is on.
#ifndef VORN_BATCH_REPORT_H_
#define VORN_BATCH_REPORT_H_

#include <string>
#include <string_view>

#include "batch/operation_parameters.h"
#include "documents/operation_log.h"

namespace vorn {

// Told when the report text changes, so that a window can show it.
class ReportListener {
 public:
  virtual ~ReportListener() = default;
  virtual void ReportChanged(const std::string& text) = 0;
};

class Report : public OperationLog {
 public:
  explicit Report(const OperationParameters& parameters)
      : parameters_(parameters) {}

  // Appends `text` unchanged when LogOperations is set.
  void Output(std::string_view text) override;

  const std::string& text() const { return text_; }
  bool empty() const { return text_.empty(); }
  void Clear();
  // Removes `suffix` from the end of the text when the text ends with it.
  void RemoveSuffix(std::string_view suffix);
  // Removes the last `n` characters (all of them when there are fewer).
  void RemoveLast(std::size_t n);

  void set_listener(ReportListener* listener) { listener_ = listener; }

 private:
  void Changed();

  const OperationParameters& parameters_;
  std::string text_;
  ReportListener* listener_ = nullptr;
};

// Writes the report to `path` as this platform's text files are: UTF-8,
// each line ending in LF (the last one too), replacing the file. Returns
// the empty text on success, else the system's description of the error.
// An empty report writes nothing.
std::string SaveReport(const std::string& text, const std::string& path);

}  // namespace vorn

#endif  // VORN_BATCH_REPORT_H_
