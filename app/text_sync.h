// Bringing a long text box up to date cheaply: when the new text only
// differs from the shown one at its end (a log that grows, or loses a few
// characters before it grows again), only that end is changed.
#ifndef VORN_APP_TEXT_SYNC_H_
#define VORN_APP_TEXT_SYNC_H_

#include <cstddef>
#include <string>
#include <string_view>

namespace vorn {

// How to turn the shown text into the wanted one: take `remove` characters
// off the end, counted as a text box counts them (a CR LF pair is one line
// break), then append `append`. A CR LF pair is never split.
struct TailEdit {
  std::size_t remove = 0;
  std::string_view append;
};
TailEdit TailEditBetween(std::string_view shown, std::string_view wanted);

}  // namespace vorn

#endif  // VORN_APP_TEXT_SYNC_H_
