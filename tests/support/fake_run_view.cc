#include "tests/support/fake_run_view.h"

#include <gtest/gtest.h>

namespace vorn {

void FakeRunView::QueueInspect(InspectAnswer answer) {
  inspectors_.push_back(
      [answer](const InspectRequest&) -> InspectAnswer { return answer; });
}

void FakeRunView::QueueInspect(Inspector inspector) {
  inspectors_.push_back(std::move(inspector));
}

FakeRunView::Inspector FakeRunView::Keep(bool insert, bool stop,
                                         bool insert_done) {
  return [=](const InspectRequest& request) {
    return InspectAnswer{insert, stop, insert_done, request.tag};
  };
}

void FakeRunView::StopDuringFile(std::string name, int words) {
  stop_file_ = "/" + std::move(name);
  stop_words_ = words;
}

void FakeRunView::SetInputFile(std::string_view path) {
  input_files_.emplace_back(path);
  if (!stop_file_.empty() && path.ends_with(stop_file_))
    fake_.StopAfterWords(stop_words_);
}

InspectAnswer FakeRunView::Inspect(const InspectRequest& request) {
  inspections_.push_back(request);
  output_at_inspection_.push_back(fake_.OutputText());
  if (inspectors_.empty()) {
    ADD_FAILURE() << "unscripted inspection: " << request.file_label;
    // As the dialog's close box: no insertion, stop the run.
    return {false, true, request.insert_done, request.tag};
  }
  const Inspector inspector = std::move(inspectors_.front());
  inspectors_.pop_front();
  return inspector(request);
}

}  // namespace vorn
