#include "app/text_sync.h"

#include <algorithm>

namespace vorn {
namespace {

// Characters of `text` as a text box counts them: CR LF is one.
std::size_t BoxLength(std::string_view text) {
  std::size_t n = text.size();
  for (std::size_t i = 0; i + 1 < text.size(); ++i)
    if (text[i] == '\r' && text[i + 1] == '\n') --n;
  return n;
}

}  // namespace

TailEdit TailEditBetween(std::string_view shown, std::string_view wanted) {
  const auto [a, b] =
      std::mismatch(shown.begin(), shown.end(), wanted.begin(), wanted.end());
  std::size_t common = static_cast<std::size_t>(a - shown.begin());
  // Keep a CR LF pair whole on both sides of the cut.
  if (common > 0 && shown[common - 1] == '\r' &&
      ((common < shown.size() && shown[common] == '\n') ||
       (common < wanted.size() && wanted[common] == '\n')))
    --common;
  (void)b;
  return {BoxLength(shown.substr(common)), wanted.substr(common)};
}

void EchoLines::Reset(std::string_view text) {
  breaks_.clear();
  const std::size_t last = text.find_last_of("\r\n");
  column_ =
      last == std::string_view::npos ? text.size() : text.size() - last - 1;
}

std::string EchoLines::Wrap(std::string_view text, std::size_t at) {
  std::string out(text);
  for (std::size_t i = 0; i < out.size(); ++i, ++at) {
    const char c = out[i];
    if (c == '\r' || c == '\n') {
      if (c == '\r' && i + 1 < out.size() && out[i + 1] == '\n') ++i;
      column_ = 0;
    } else if (c == ' ' && column_ >= line_length_) {
      out[i] = '\n';
      breaks_.push_back(at);
      column_ = 0;
    } else {
      ++column_;
    }
  }
  return out;
}

}  // namespace vorn
