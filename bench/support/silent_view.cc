#include "bench/support/silent_view.h"

namespace vorn::bench {

Answer SilentView::Ask(const MessageBox& box) {
  return box.buttons == Buttons::kOk ? Answer::kOk : Answer::kYes;
}

}  // namespace vorn::bench
