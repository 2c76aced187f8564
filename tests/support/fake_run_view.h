// A scripted stand-in for the main window during a multiple-file run.
//
// It behaves as FakeView for everything a scan needs (output box, message
// boxes answered from a queue, Stop pressed after N words), and adds what
// a run uses: the inspect dialog answers from a queue of scripted answers
// (or from a callback that may edit the tag shown), and every call that
// shows progress is recorded.
//
//   FakeRunView view;
//   view.QueueInspect(FakeRunView::Keep(true, false, true));  // Continue
//   view.StopDuringFile("b.htm", 1);       // Stop after b.htm's 1st word
//   view.fake().QueueAnswer(Answer::kNo);  // "Go on to the next file?" No
//   ... run ...
//   EXPECT_EQ(view.fake().BoxesText(), "...");
//
// An inspection that arrives with nothing scripted fails the current test
// and is answered as the dialog's close box would be: no insertion, stop,
// the done box as it started.
#ifndef VORN_TESTS_SUPPORT_FAKE_RUN_VIEW_H_
#define VORN_TESTS_SUPPORT_FAKE_RUN_VIEW_H_

#include <cstdint>
#include <deque>
#include <functional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "batch/multiple_file_run.h"
#include "tests/support/fake_view.h"

namespace vorn {

class FakeRunView : public RunView {
 public:
  using Inspector = std::function<InspectAnswer(const InspectRequest&)>;

  // --- Scripting, before the run.

  // The scripted FakeView behind the MainView calls: queue answers to
  // questions, StopAfterWords, read the boxes shown.
  FakeView& fake() { return fake_; }
  const FakeView& fake() const { return fake_; }

  // The next inspection is answered with `answer` exactly as given.
  void QueueInspect(InspectAnswer answer);
  // The next inspection is answered by `inspector`, which sees the request.
  void QueueInspect(Inspector inspector);
  // An inspector that keeps the tag shown and sets the three boxes.
  static Inspector Keep(bool insert, bool stop, bool insert_done);

  // When the input-file box is set to a path ending in "/" + `name` (the
  // run does so just before it scans the page), the scan that follows sees
  // Stop pressed after its `words`th word.
  void StopDuringFile(std::string name, int words);

  // --- MainView, forwarded to the FakeView.

  Answer Ask(const MessageBox& box) override { return fake_.Ask(box); }
  std::string OutputText() const override { return fake_.OutputText(); }
  void SetOutputText(std::string_view text) override {
    fake_.SetOutputText(text);
  }
  void AppendOutputText(std::string_view text) override {
    fake_.AppendOutputText(text);
  }
  void SetWordCountLabel(std::string_view text) override {
    fake_.SetWordCountLabel(text);
  }
  void ScanStarted() override { fake_.ScanStarted(); }
  void ScanEnded() override { fake_.ScanEnded(); }
  bool StopRequested() override { return fake_.StopRequested(); }

  // --- RunView, recorded.

  void SetInputFile(std::string_view path) override;
  void SetInsertedCaption(std::string_view text) override {
    captions_.emplace_back(text);
  }
  void ShowReport() override { ++report_shown_; }
  void Progress(std::int64_t done, std::int64_t total) override {
    progress_.emplace_back(done, total);
  }
  void RunStarted() override { ++runs_started_; }
  void RunEnded() override { ++runs_ended_; }
  InspectAnswer Inspect(const InspectRequest& request) override;

  // --- Observations.

  // Every path put into the input-file box, in order.
  const std::vector<std::string>& input_files() const { return input_files_; }
  // Every text of the "inserted in N of M files" caption, in order.
  const std::vector<std::string>& captions() const { return captions_; }
  const std::vector<std::pair<std::int64_t, std::int64_t>>& progress() const {
    return progress_;
  }
  int report_shown() const { return report_shown_; }
  int runs_started() const { return runs_started_; }
  int runs_ended() const { return runs_ended_; }
  // Every request the inspect dialog was shown, in order.
  const std::vector<InspectRequest>& inspections() const {
    return inspections_;
  }
  // The main output box at the moment of each inspection.
  const std::vector<std::string>& output_at_inspection() const {
    return output_at_inspection_;
  }
  // Inspections scripted but not yet used.
  std::size_t pending_inspections() const { return inspectors_.size(); }

 private:
  FakeView fake_;
  std::deque<Inspector> inspectors_;
  std::string stop_file_;
  int stop_words_ = 0;
  std::vector<std::string> input_files_;
  std::vector<std::string> captions_;
  std::vector<std::pair<std::int64_t, std::int64_t>> progress_;
  int report_shown_ = 0;
  int runs_started_ = 0;
  int runs_ended_ = 0;
  std::vector<InspectRequest> inspections_;
  std::vector<std::string> output_at_inspection_;
};

}  // namespace vorn

#endif  // VORN_TESTS_SUPPORT_FAKE_RUN_VIEW_H_
