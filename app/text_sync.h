// Bringing a long text box up to date cheaply: when the new text only
// differs from the shown one at its end (a log that grows, or loses a few
// characters before it grows again), only that end is changed.
#ifndef VORN_APP_TEXT_SYNC_H_
#define VORN_APP_TEXT_SYNC_H_

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace vorn {

// How to turn the shown text into the wanted one (both UTF-8): take
// `remove` positions off the end, counted as a text box counts them (a CR
// LF pair is one line break, a character beyond the Basic Multilingual
// Plane two), then append `append`. Neither a CR LF pair nor a character
// is split.
struct TailEdit {
  std::size_t remove = 0;
  std::string_view append;
};
TailEdit TailEditBetween(std::string_view shown, std::string_view wanted);

// The words a scan finds are shown one after the other, each followed by a
// blank. In one very long line every append would make a text box lay the
// whole line out again, so they are shown on lines of about `line_length`
// characters instead: the blank that ends a long line is shown as a line
// break. The positions of those breaks are kept, so that the text can be
// given back with its blanks.
class EchoLines {
 public:
  explicit EchoLines(std::size_t line_length) : line_length_(line_length) {}

  // The box was given `text` (UTF-8, CR LF breaks): no breaks of
  // ours are in it.
  void Reset(std::string_view text);

  // `text` is about to be appended to the box, whose length is `at` (as the
  // box counts positions). Returns it with the blanks that end long lines
  // turned into "\n".
  std::string Wrap(std::string_view text, std::size_t at);

  // The user edited the box: its line breaks are all real now.
  void Forget() { breaks_.clear(); }

  // Where the breaks of ours stand in the box (as it counts positions).
  const std::vector<std::size_t>& breaks() const { return breaks_; }

 private:
  std::size_t line_length_;
  std::size_t column_ = 0;  // characters after the box's last line break
  std::vector<std::size_t> breaks_;
};

}  // namespace vorn

#endif  // VORN_APP_TEXT_SYNC_H_
