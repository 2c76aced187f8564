// A scripted stand-in for the main window, for tests that drive the engine
// through MainView or Prompter. It keeps the output box and the word-count
// label as strings, records every message box, answers questions from a
// queue filled beforehand (a question with no answer queued fails the test
// and is answered kCancel), and presses Stop after a chosen number of words.
//
//   FakeView view;
//   view.QueueAnswer(Answer::kNo);   // the next question gets No
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
  // Questions take the answers queued, in order.
  void QueueAnswer(Answer answer) { answers_.push_back(answer); }
  // The next scan sees Stop pressed from its `n`th StopRequested call on
  // (one comes after every word); used up when that scan ends. n <= 0
  // withdraws it.
  void StopAfterWords(int n) { stop_after_ = n; }
  // Puts text into the output box without recording anything.
  void PresetOutput(std::string_view text) { output_ = text; }

  Answer Ask(const MessageBox& box) override;
  std::string OutputText() const override { return output_; }
  void SetOutputText(std::string_view text) override { output_ = text; }
  void AppendOutputText(std::string_view text) override {
    output_.append(text);
  }
  void SetWordCountLabel(std::string_view text) override { label_ = text; }
  void ScanStarted() override {
    ++scans_started_;
    stop_polls_ = 0;
  }
  void ScanEnded() override {
    ++scans_ended_;
    stop_after_ = 0;
  }
  bool StopRequested() override {
    return ++stop_polls_ >= stop_after_ && stop_after_ > 0;
  }
  // Not counted: Stop falls after the same word however long a scan waits.
  bool StopRequestedWhileWaiting() override {
    return stop_polls_ >= stop_after_ && stop_after_ > 0;
  }

  const std::string& output() const { return output_; }
  const std::string& word_count_label() const { return label_; }
  // Every box shown, in order, questions included.
  const std::vector<MessageBox>& boxes() const { return boxes_; }
  // One DescribeBox line per box shown, each ending in "\n"; "" for none.
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
