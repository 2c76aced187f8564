#include "tests/support/fake_view.h"

#include <gtest/gtest.h>

namespace vorn {

std::string DescribeBox(const MessageBox& box) {
  static const char* const kIcons[] = {"none", "exclamation", "information",
                                       "stop"};
  static const char* const kButtons[] = {"ok", "yes/no", "yes/no/cancel"};
  return box.caption + " | " + box.text + " | " +
         kIcons[static_cast<int>(box.icon)] + " | " +
         kButtons[static_cast<int>(box.buttons)];
}

Answer FakeView::Ask(const MessageBox& box) {
  boxes_.push_back(box);
  if (box.buttons == Buttons::kOk) return Answer::kOk;
  if (answers_.empty()) {
    ADD_FAILURE() << "unscripted question: " << DescribeBox(box);
    return Answer::kCancel;
  }
  const Answer answer = answers_.front();
  answers_.pop_front();
  return answer;
}

std::string FakeView::BoxesText() const {
  std::string text;
  for (const MessageBox& box : boxes_) text += DescribeBox(box) + "\n";
  return text;
}

}  // namespace vorn
