// A Prompter for tests: records every message box it is shown and answers
// from a script, in order (kOk once the script is used up).
#ifndef VORN_TESTS_SUPPORT_PROMPT_SCRIPT_H_
#define VORN_TESTS_SUPPORT_PROMPT_SCRIPT_H_

#include <cstddef>
#include <string>
#include <utility>
#include <vector>

#include "engine/ui.h"
#include "tests/support/fake_view.h"

namespace vorn {

class PromptScript : public Prompter {
 public:
  explicit PromptScript(std::vector<Answer> answers = {})
      : answers_(std::move(answers)) {}

  Answer Ask(const MessageBox& box) override {
    shown_.push_back(box);
    return next_ < answers_.size() ? answers_[next_++] : Answer::kOk;
  }
  const std::vector<MessageBox>& shown() const { return shown_; }
  // The boxes shown, one DescribeBox line each, each ending in "\n".
  std::string ShownText() const {
    std::string text;
    for (const MessageBox& box : shown_) text += DescribeBox(box) + "\n";
    return text;
  }

 private:
  std::vector<Answer> answers_;
  std::size_t next_ = 0;
  std::vector<MessageBox> shown_;
};

}  // namespace vorn

#endif  // VORN_TESTS_SUPPORT_PROMPT_SCRIPT_H_
