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

}  // namespace vorn
