// A scripted stand-in for the main window, for tests that drive the engine
// through MainView or Prompter.
//
// It keeps the output box and the word-count label as plain strings,
// records every message box it is shown (questions included), answers
// questions from a queue that the test fills beforehand, counts the
// ScanStarted/ScanEnded calls, and presses Stop after a chosen number of
// words. A question that arrives with no answer queued fails the current
// test (and is answered kCancel so that the engine can go on).
//
//   FakeView view;
//   view.QueueAnswer(Answer::kNo);   // the next Yes/No question gets No
//   view.StopAfterWords(3);          // the next scan stops after 3 words
//   ... run the engine ...
//   EXPECT_EQ(view.BoxesText(), "Error | Input file not specified. | "
//                               "exclamation | ok\n");
#ifndef VORN_TESTS_SUPPORT_FAKE_VIEW_H_
#define VORN_TESTS_SUPPORT_FAKE_VIEW_H_

#include <cstddef>
#include <deque>
#include <string>
#include <string_view>
#include <vector>

#include "engine/ui.h"

namespace vorn {

class FakeView : public MainView {
 public:
  // --- Scripting, before the engine runs.

  // The next question (a box with Yes/No or Yes/No/Cancel buttons) is
  // answered with `answer`; answers are used in the order queued.
  void QueueAnswer(Answer answer) { answers_.push_back(answer); }

  // The next scan sees Stop pressed from its `n`th StopRequested call on
  // (the engine calls it once after every word, so this stops after the
  // nth word). The request is used up when that scan ends, stopped or not;
  // n <= 0 withdraws it.
  void StopAfterWords(int n) { stop_after_ = n; }

  // Puts text into the output box without recording anything.
  void PresetOutput(std::string_view text) { output_ = text; }

  // --- MainView.

  // Records the box. Plain OK boxes are answered kOk; questions take the
  // next queued answer, and fail the test when none is queued.
  Answer Ask(const MessageBox& box) override;

  std::string OutputText() const override { return output_; }
  void SetOutputText(std::string_view text) override { output_ = text; }
  void AppendOutputText(std::string_view text) override {
    output_.append(text);
  }
  void SetWordCountLabel(std::string_view text) override { label_ = text; }

  // Counts, and starts counting StopRequested calls afresh.
  void ScanStarted() override;
  // Counts, and uses up a StopAfterWords request.
  void ScanEnded() override;
  // Counts; true once the call count of this scan reaches the request.
  bool StopRequested() override;

  // --- Observations.

  const std::string& output() const { return output_; }
  const std::string& word_count_label() const { return label_; }
  // Every box shown, in order, questions included.
  const std::vector<MessageBox>& boxes() const { return boxes_; }
  // The boxes as "caption | text | icon | buttons" lines, one per box, each
  // ending in "\n"; "" when none was shown. CR LF in texts stays as is.
  std::string BoxesText() const;
  void ClearBoxes() { boxes_.clear(); }

  int scans_started() const { return scans_started_; }
  int scans_ended() const { return scans_ended_; }
  // StopRequested calls since the last ScanStarted.
  int stop_polls() const { return stop_polls_; }
  // Answers queued but not yet used.
  std::size_t pending_answers() const { return answers_.size(); }

 private:
  std::string output_;
  std::string label_;
  std::vector<MessageBox> boxes_;
  std::deque<Answer> answers_;
  int scans_started_ = 0;
  int scans_ended_ = 0;
  int stop_polls_ = 0;
  int stop_after_ = 0;
};

// One box as "caption | text | icon | buttons", e.g.
// "Not a text file | This file ... | information | ok".
std::string DescribeBox(const MessageBox& box);

}  // namespace vorn

#endif  // VORN_TESTS_SUPPORT_FAKE_VIEW_H_
