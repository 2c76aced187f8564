#include "cli/terminal_view.h"

namespace vorn::cli {

std::string ForTerminal(std::string_view text) {
  std::string lf;
  lf.reserve(text.size());
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n') continue;
    lf.push_back(text[i]);
  }
  return lf;
}

Answer TerminalView::Ask(const MessageBox& box) {
  ++messages_shown_;
  if (!quiet_ || box.icon != Icon::kNone || box.buttons != Buttons::kOk) {
    const std::string line =
        ForTerminal(box.caption) + ": " + ForTerminal(box.text) + "\n";
    std::fwrite(line.data(), 1, line.size(), messages_);
    std::fflush(messages_);
  }
  switch (box.buttons) {
    case Buttons::kOk:
      return Answer::kOk;
    case Buttons::kYesNo:
      return Answer::kNo;
    case Buttons::kYesNoCancel:
      return Answer::kCancel;
  }
  return Answer::kOk;
}

}  // namespace vorn::cli
