// Scripted stand-ins for the main window and the desktop, for tests that
// drive MainController. FakeMainWindow keeps what the window would show and
// lets a test act in the middle of a scan (on_pending_input) or answer the
// inspect dialog (on_inspect). FakePlatform records every message box and
// answers questions from a queue; the dialogs return what the test set.
#ifndef VORN_TESTS_SUPPORT_FAKE_MAIN_WINDOW_H_
#define VORN_TESTS_SUPPORT_FAKE_MAIN_WINDOW_H_

#include <array>
#include <cstdint>
#include <deque>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "app/main_view.h"
#include "app/platform.h"

namespace vorn {

class FakePlatform : public Platform {
 public:
  // Records the box; OK boxes are answered kOk, questions take the next
  // queued answer (a question without one fails the test, answered kCancel).
  Answer Ask(const MessageBox& box) override;
  std::string ChooseFileToOpen(const OpenFileDialog& dialog) override;
  std::string ChooseFileToSave(const std::string& title) override;
  std::string ChooseFolder(const std::string&) override { return next_folder; }
  void SetClipboardText(std::string_view text) override {
    clipboard = text;
    ++clipboard_sets;
  }
  bool OpenUrl(const std::string& url) override {
    opened_urls.push_back(url);
    return url_opens;
  }

  void QueueAnswer(Answer answer) { answers.push_back(answer); }
  // The boxes as "caption | text | icon | buttons" lines (see fake_view.h).
  std::string BoxesText() const;

  // Script.
  std::deque<Answer> answers;
  std::string next_file;    // the open-file dialog's choice ("" cancels)
  std::string next_save;    // the save dialog's choice
  std::string next_folder;  // the folder browser's choice
  bool url_opens = true;

  // Observations.
  std::vector<MessageBox> boxes;
  std::vector<OpenFileDialog> open_dialogs;
  std::vector<std::string> save_titles;
  std::string clipboard;
  int clipboard_sets = 0;
  std::vector<std::string> opened_urls;
};

class FakeMainWindow : public MainWindowView {
 public:
  void SetCaption(std::string_view text) override;
  void FillSettingsLists() override { Log("FillSettingsLists"); }
  void ShowMainWindow() override;
  bool InInteractiveUse() const override { return shown && interactive; }
  void Repaint() override {}
  void EndProgram() override;

  void SetText(TextBox box, std::string_view text) override;
  void ShowSettings(const AnalysisSettings& s) override { settings = s; }
  void ShowCommands(const CommandState& c) override;
  void SetFocus(Control control) override { focus.push_back(control); }

  std::string OutputText() const override { return output; }
  void SetOutputText(std::string_view text) override;
  void AppendOutputText(std::string_view text) override { output += text; }
  void SetWordCountLabel(std::string_view text) override { label = text; }
  void SetInsertedCaption(std::string_view, bool visible) override {
    inserted_visible = visible;
  }

  void HandlePendingInput() override;
  void ShowProgress(bool running, std::int64_t done,
                    std::int64_t total) override;
  InspectAnswer Inspect(const InspectRequest& request) override;

  void ShowParametersWindow() override { ++parameters_shown; }
  void ShowParameters(const OperationParameters& p,
                      const ParameterEnabling& e) override {
    parameters = p;
    enabling = e;
  }
  void ShowReportWindow() override { report_visible = true; }
  void HideReportWindow() override { report_visible = false; }
  bool ReportWindowVisible() const override { return report_visible; }
  void RaiseReportWindow() override {}
  void RestoreMinimisedWindows() override {}
  void SetReportButtonsEnabled(bool enabled) override {
    report_buttons_enabled = enabled;
  }
  void SetReportCopyButton(std::string_view caption, int width) override {
    copy_caption = caption;
    copy_width = width;
  }
  void FocusReportClose() override { ++report_close_focused; }
  void ShowHelpWindow() override { ++help_shown; }

  const std::string& Text(TextBox box) const {
    return texts[static_cast<std::size_t>(box)];
  }
  // The logged calls as one line: "SetCaption,ShowMainWindow,...".
  std::string LogText() const;
  void Log(const std::string& event) { log.push_back(event); }

  // Script.
  bool interactive = true;
  // Called at every HandlePendingInput (the user acting during a scan).
  std::function<void()> on_pending_input;
  // Answers the inspect dialog; unset: Continue with the boxes untouched.
  std::function<InspectAnswer(const InspectRequest&)> on_inspect;

  // Observations.
  std::vector<std::string> log;
  std::string caption;
  std::array<std::string, 6> texts;
  AnalysisSettings settings;
  CommandState commands;
  std::vector<CommandState> command_history;  // every ShowCommands
  std::vector<Control> focus;
  std::string output;
  std::string label;
  bool inserted_visible = false;
  bool shown = false;
  bool ended = false;
  int pending_input_calls = 0;
  std::vector<std::int64_t> progress;  // `done` of every running report
  bool progress_running = false;
  std::vector<InspectRequest> inspect_requests;
  OperationParameters parameters;
  ParameterEnabling enabling;
  int parameters_shown = 0;
  bool report_visible = false;
  bool report_buttons_enabled = true;
  std::string copy_caption;
  int copy_width = 0;
  int report_close_focused = 0;
  int help_shown = 0;
};

}  // namespace vorn

#endif  // VORN_TESTS_SUPPORT_FAKE_MAIN_WINDOW_H_
