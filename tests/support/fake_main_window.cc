#include "tests/support/fake_main_window.h"

#include <gtest/gtest.h>

#include "tests/support/fake_view.h"

namespace vorn {

Answer FakePlatform::Ask(const MessageBox& box) {
  boxes.push_back(box);
  if (box.buttons == Buttons::kOk) return Answer::kOk;
  if (answers.empty()) {
    ADD_FAILURE() << "unscripted question: " << DescribeBox(box);
    return Answer::kCancel;
  }
  const Answer answer = answers.front();
  answers.pop_front();
  return answer;
}

std::string FakePlatform::ChooseFileToOpen(const OpenFileDialog& dialog) {
  open_dialogs.push_back(dialog);
  return next_file;
}

std::string FakePlatform::ChooseFileToSave(const std::string& title) {
  save_titles.push_back(title);
  return next_save;
}

std::string FakePlatform::BoxesText() const {
  std::string text;
  for (const MessageBox& box : boxes) text += DescribeBox(box) + "\n";
  return text;
}

void FakeMainWindow::SetCaption(std::string_view text) {
  caption = text;
  Log("SetCaption");
}

void FakeMainWindow::ShowMainWindow() {
  shown = true;
  Log("ShowMainWindow");
}

void FakeMainWindow::EndProgram() {
  ended = true;
  shown = false;
  Log("EndProgram");
}

void FakeMainWindow::SetText(TextBox box, std::string_view text) {
  texts[static_cast<std::size_t>(box)] = text;
}

void FakeMainWindow::ShowCommands(const CommandState& c) {
  commands = c;
  command_history.push_back(c);
}

void FakeMainWindow::SetOutputText(std::string_view text) {
  output = text;
  Log("Output=" + output);
}

void FakeMainWindow::HandlePendingInput() {
  ++pending_input_calls;
  if (on_pending_input) on_pending_input();
}

void FakeMainWindow::ShowProgress(bool running, std::int64_t done,
                                  std::int64_t total) {
  (void)total;
  progress_running = running;
  if (running) progress.push_back(done);
}

InspectAnswer FakeMainWindow::Inspect(const InspectRequest& request) {
  inspect_requests.push_back(request);
  if (on_inspect) return on_inspect(request);
  return {true, false, request.insert_done, request.tag};
}

std::string FakeMainWindow::LogText() const {
  std::string text;
  for (const std::string& event : log) {
    if (!text.empty()) text += ",";
    text += event;
  }
  return text;
}

}  // namespace vorn
