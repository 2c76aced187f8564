#include "app/text_sync.h"

#include <algorithm>

#include "support/unicode.h"

namespace vorn {
namespace {

// The positions of `text` in a text box: CR LF is one.
std::size_t BoxLength(std::string_view text) {
  std::size_t n = 0;
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n') continue;
    n += Utf16UnitsOf(static_cast<unsigned char>(text[i]));  // as a box counts
  }
  return n;
}

}  // namespace

TailEdit TailEditBetween(std::string_view shown, std::string_view wanted) {
  const auto [a, b] =
      std::mismatch(shown.begin(), shown.end(), wanted.begin(), wanted.end());
  std::size_t common = static_cast<std::size_t>(a - shown.begin());
  // Cut between characters, not inside one.
  auto continues = [](std::string_view s, std::size_t i) {
    return i < s.size() && (static_cast<unsigned char>(s[i]) & 0xC0) == 0x80;
  };
  while (common > 0 && (continues(shown, common) || continues(wanted, common)))
    --common;
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
  column_ = 0;
  for (std::size_t i = last == std::string_view::npos ? 0 : last + 1;
       i < text.size(); ++i)
    if ((static_cast<unsigned char>(text[i]) & 0xC0) != 0x80) ++column_;
}

std::string EchoLines::Wrap(std::string_view text, std::size_t at) {
  std::string out(text);
  for (std::size_t i = 0; i < out.size(); ++i) {
    const char c = out[i];
    const std::size_t units = Utf16UnitsOf(static_cast<unsigned char>(c));
    if (c == '\r' || c == '\n') {
      if (c == '\r' && i + 1 < out.size() && out[i + 1] == '\n') ++i;
      column_ = 0;
    } else if (c == ' ' && column_ >= line_length_) {
      out[i] = '\n';
      breaks_.push_back(at);
      column_ = 0;
    } else {
      column_ += units == 0 ? 0 : 1;
    }
    at += units;
  }
  return out;
}

}  // namespace vorn
