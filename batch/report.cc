#include "batch/report.h"

#include "support/files.h"

namespace vorn {

void Report::Output(std::string_view text) {
  if (!parameters_.LogOperations) return;
  text_.append(text);
  Changed();
}

void Report::Clear() {
  text_.clear();
  Changed();
}

void Report::RemoveSuffix(std::string_view suffix) {
  if (!std::string_view(text_).ends_with(suffix)) return;
  text_.resize(text_.size() - suffix.size());
  Changed();
}

void Report::RemoveLast(std::size_t n) {
  std::size_t keep = n >= text_.size() ? 0 : text_.size() - n;
  // Whole characters only.
  while (keep > 0 && (static_cast<unsigned char>(text_[keep]) & 0xC0) == 0x80)
    --keep;
  text_.resize(keep);
  Changed();
}

void Report::Changed() {
  if (listener_ != nullptr) listener_->ReportChanged(text_);
}

std::string SaveReport(const std::string& text, const std::string& path) {
  if (text.empty()) return {};
  std::string lines;
  lines.reserve(text.size() + 1);
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n') continue;
    lines += text[i];
  }
  lines += '\n';
  // Written aside and renamed: a failed save never leaves half a file.
  return WriteFileReplacing(path, lines);
}

}  // namespace vorn
