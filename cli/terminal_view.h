// The main window of vorn-cli: the output box is a string printed at the
// end, message boxes go to stderr as "CAPTION: TEXT", and Stop is never
// pressed. During a folder run it hands each page to a printer and shows
// the progress, when it has them.
#ifndef VORN_CLI_TERMINAL_VIEW_H_
#define VORN_CLI_TERMINAL_VIEW_H_

#include <cstdio>
#include <string>

#include "batch/multiple_file_run.h"
#include "cli/progress.h"
#include "cli/run_output.h"
#include "engine/ui.h"

namespace vorn::cli {

// Text with CR LF breaks as text with LF breaks.
std::string ForTerminal(std::string_view text);

class TerminalView : public RunView {
 public:
  // With `quiet`, boxes that only inform (no icon, OK alone: the run's
  // "Result") are not printed; warnings and errors are.
  explicit TerminalView(std::FILE* messages, bool quiet = false)
      : messages_(messages), quiet_(quiet) {}

  // Prints the box; a question is answered No (or Cancel): the command line
  // says beforehand what to do.
  Answer Ask(const MessageBox& box) override;

  // Where a run's pages and progress go; null for none.
  void set_page_printer(PagePrinter* printer) { printer_ = printer; }
  void set_progress(ProgressLine* progress) { progress_ = progress; }

  void RunStarted() override {
    if (printer_ != nullptr) printer_->Started();
  }
  void RunEnded() override {
    if (progress_ != nullptr) progress_->Finish();
  }
  void Progress(std::int64_t done, std::int64_t total) override {
    if (progress_ != nullptr) progress_->Update(done, total);
  }
  void PageDone(const PageRecord& record) override {
    if (printer_ != nullptr) printer_->Page(record);
  }
  void FolderNotRead(const std::string& folder,
                     const std::string& error) override {
    if (printer_ != nullptr) printer_->FolderNotRead(folder, error);
  }

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
  bool quiet_;
  PagePrinter* printer_ = nullptr;
  ProgressLine* progress_ = nullptr;
  std::string output_;
  int messages_shown_ = 0;
};

}  // namespace vorn::cli

#endif  // VORN_CLI_TERMINAL_VIEW_H_
