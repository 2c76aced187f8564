// A main view that shows nothing, answers every question with Yes (or OK)
// and never asks to stop: the engine runs in-process as fast as it can.
#ifndef VORN_BENCH_SUPPORT_SILENT_VIEW_H_
#define VORN_BENCH_SUPPORT_SILENT_VIEW_H_

#include <string>
#include <string_view>

#include "engine/ui.h"

namespace vorn::bench {

class SilentView : public MainView {
 public:
  Answer Ask(const MessageBox& box) override;
  std::string OutputText() const override { return {}; }
  void SetOutputText(std::string_view) override {}
  void AppendOutputText(std::string_view) override {}
  void SetWordCountLabel(std::string_view) override {}
  void ScanStarted() override {}
  void ScanEnded() override {}
  bool StopRequested() override { return false; }
};

}  // namespace vorn::bench

#endif  // VORN_BENCH_SUPPORT_SILENT_VIEW_H_
