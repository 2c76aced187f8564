#include "tests/support/fake_view.h"

#include <gtest/gtest.h>

namespace vorn {
namespace {

const char* IconName(Icon icon) {
  switch (icon) {
    case Icon::kNone:
      return "none";
    case Icon::kExclamation:
      return "exclamation";
    case Icon::kInformation:
      return "information";
    case Icon::kStop:
      return "stop";
  }
  return "?";
}

const char* ButtonsName(Buttons buttons) {
  switch (buttons) {
    case Buttons::kOk:
      return "ok";
    case Buttons::kYesNo:
      return "yes/no";
    case Buttons::kYesNoCancel:
      return "yes/no/cancel";
  }
  return "?";
}

}  // namespace

std::string DescribeBox(const MessageBox& box) {
  return box.caption + " | " + box.text + " | " + IconName(box.icon) + " | " +
         ButtonsName(box.buttons);
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

void FakeView::ScanStarted() {
  ++scans_started_;
  stop_polls_ = 0;
}

void FakeView::ScanEnded() {
  ++scans_ended_;
  stop_after_ = 0;
}

bool FakeView::StopRequested() {
  ++stop_polls_;
  return stop_after_ > 0 && stop_polls_ >= stop_after_;
}

std::string FakeView::BoxesText() const {
  std::string text;
  for (const MessageBox& box : boxes_) text += DescribeBox(box) + "\n";
  return text;
}

}  // namespace vorn
