// Scripted stand-ins for the desktop and the main window, for tests that
// drive MainController. FakePlatform records every message box and answers
// questions from a queue; FakeMainWindow keeps what the window would show
// and lets a test act in the middle of a scan (on_pending_input) or answer
// the inspect dialog (on_inspect). Header only, so that the window tests
// can use FakePlatform without the unit tests' library.
#ifndef VORN_TESTS_SUPPORT_FAKE_MAIN_WINDOW_H_
#define VORN_TESTS_SUPPORT_FAKE_MAIN_WINDOW_H_

#include <array>
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
  // Records the box. OK boxes are answered kOk, questions with the next
  // queued answer; a question without one is recorded in `unscripted` (the
  // test should fail) and answered kCancel.
  Answer Ask(const MessageBox& box) override {
    static const char* const kIcons[] = {"none", "exclamation", "information",
                                         "stop"};
    if (on_ask) on_ask();
    boxes += box.caption + " | " + box.text + " | " +
             kIcons[static_cast<int>(box.icon)] +
             (box.buttons == Buttons::kOk ? "" : " | ?") + "\n";
    if (box.buttons == Buttons::kOk) return Answer::kOk;
    if (answers.empty()) {
      unscripted.push_back(box.caption);
      return Answer::kCancel;
    }
    const Answer answer = answers.front();
    answers.pop_front();
    return answer;
  }
  std::string ChooseFileToOpen(const OpenFileDialog& dialog) override {
    if (on_ask) on_ask();
    dialog_folder = dialog.folder;
    return "";
  }
  std::string ChooseFileToSave(const std::string&) override {
    return next_save;
  }
  std::string ChooseFolder(const std::string&,
                           const std::string& start) override {
    dialog_folder = start;
    return "";
  }
  void SetClipboardText(std::string_view) override {}
  bool OpenUrl(const std::string& url) override {
    urls.push_back(url);
    return true;
  }

  // Script: answers to questions, the file the save dialog returns (the
  // open dialogs are cancelled).
  std::deque<Answer> answers;
  std::string next_save;
  std::function<void()> on_ask;  // called as a box or file dialog comes up
  // Observations: "caption | text | icon" lines, " | ?" after a question.
  std::string boxes;
  std::vector<std::string> unscripted;
  std::vector<std::string> urls;
  std::string dialog_folder;  // where the last file dialog opened
};

class FakeMainWindow : public MainWindowView {
 public:
  void SetCaption(std::string_view) override {}
  void FillSettingsLists() override {}
  MainWindowSizes Sizes() const override { return sizes; }
  void ShowMainWindow(const WindowGeometry& g) override {
    shown = true;
    place = geometry = g;
  }
  WindowGeometry MainWindowGeometry() const override { return geometry; }
  bool InInteractiveUse() const override { return shown && interactive; }
  void Repaint() override {}
  void EndProgram() override { ended = true, shown = false; }

  void SetText(TextBox box, std::string_view text) override {
    texts[static_cast<std::size_t>(box)] = text;
  }
  void ShowSettings(const AnalysisSettings& s) override { settings = s; }
  void ShowCommands(const CommandState& c) override { commands = c; }
  void SetFocus(Control control) override { focus = control; }

  std::string OutputText() const override { return output; }
  void SetOutputText(std::string_view text) override { output = text; }
  void AppendOutputText(std::string_view text) override { output += text; }
  void SetWordCountLabel(std::string_view) override {}
  void SetInsertedCaption(std::string_view, bool) override {}
  void ShowStatus(std::string_view text) override { status = text; }
  void ShowRecent(const std::vector<std::string>& paths) override {
    recent = paths;
  }

  void HandlePendingInput() override {
    if (on_pending_input) on_pending_input();
  }
  void ShowProgress(bool, std::int64_t, std::int64_t) override {}
  InspectAnswer Inspect(const InspectRequest& request) override {
    if (on_inspect) return on_inspect(request);
    return {true, false, request.insert_done, request.tag};
  }

  void ShowParametersWindow() override {}
  void ShowParameters(const OperationParameters&,
                      const ParameterEnabling&) override {}
  void ShowReportWindow() override { report_visible = true; }
  void HideReportWindow() override { report_visible = false; }
  bool ReportWindowVisible() const override { return report_visible; }
  void RaiseReportWindow() override {}
  void RestoreMinimisedWindows() override {}
  void SetReportButtonsEnabled(bool) override {}
  void SetReportCopyButton(std::string_view, int) override {}
  void FocusReportClose() override {}
  void ShowHelpWindow() override {}
  void ShowAbout(std::string_view, std::string_view) override {}

  const std::string& Text(TextBox box) const {
    return texts[static_cast<std::size_t>(box)];
  }

  // Script.
  bool interactive = true;  // false: a modal dialog is up
  // A 1920 x 1080 screen at 96 dots per inch, a window of 800 x 600 that
  // can shrink to 600 x 400 (pixels).
  MainWindowSizes sizes{{0, 0, 28800, 16200}, 12000, 9000, 9000, 6000};
  WindowGeometry geometry;  // where the user left the window
  std::function<void()> on_pending_input;
  // Answers the inspect dialog; unset: Continue with the boxes untouched.
  std::function<InspectAnswer(const InspectRequest&)> on_inspect;

  // Observations.
  std::array<std::string, 6> texts;
  AnalysisSettings settings;
  CommandState commands;
  Control focus = Control::kNone;  // the last control given the focus
  std::string output;
  std::string status;
  std::vector<std::string> recent;
  WindowGeometry place;  // where the window was shown
  bool shown = false, ended = false, report_visible = false;
};

}  // namespace vorn

#endif  // VORN_TESTS_SUPPORT_FAKE_MAIN_WINDOW_H_
