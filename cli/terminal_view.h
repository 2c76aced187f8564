// The main window of vorn-cli: the output box is a string printed at the
// end, message boxes go to stderr as "CAPTION: TEXT", and Stop is never
// pressed.
#ifndef VORN_CLI_TERMINAL_VIEW_H_
#define VORN_CLI_TERMINAL_VIEW_H_

#include <cstdio>
#include <string>

#include "batch/multiple_file_run.h"
#include "engine/ui.h"

namespace vorn::cli {

// Text with CR LF breaks as text with LF breaks.
std::string ForTerminal(std::string_view text);

class TerminalView : public RunView {
 public:
  explicit TerminalView(std::FILE* messages) : messages_(messages) {}

  // Prints the box; a question is answered No (or Cancel): the command line
  // says beforehand what to do.
  Answer Ask(const MessageBox& box) override;

  std::string OutputText() const override { return output_; }
  void SetOutputText(std::string_view text) override { output_ = text; }
  void AppendOutputText(std::string_view text) override { output_ += text; }
  void SetWordCountLabel(std::string_view) override {}
  void ScanStarted() override {}
  void ScanEnded() override {}
  bool StopRequested() override { return false; }
  // vorn-cli never inspects (runs go without confirmation); should it be
  // asked, the tag goes in as composed.
  InspectAnswer Inspect(const InspectRequest& request) override {
    return {true, false, request.insert_done, request.tag};
  }

  // Number of message boxes shown so far.
  int messages_shown() const { return messages_shown_; }

 private:
  std::FILE* messages_;
  std::string output_;
  int messages_shown_ = 0;
};

}  // namespace vorn::cli

#endif  // VORN_CLI_TERMINAL_VIEW_H_
