// The couplings of the parameter boxes: the old tag is never reported
// without the new one, and the boxes that depend on logging and on
// skipping done pages follow the later click.
#include "batch/operation_parameters.h"

#include <gtest/gtest.h>

#include <sstream>
#include <string>

namespace vorn {
namespace {

TEST(OperationParametersTest, ClicksAndTheirCouplings) {
  // Clicks from the start values ("old+" ticks IncludeOldMetaTag, "skip-"
  // clears SkipDone, ...), then IncludeOldMetaTag, IncludeNewMetaTag and
  // DontLogDone as shown ("1" ticked, "0" clear, "-" disabled), then
  // SkipDone and LogOperations.
  const std::pair<const char*, const char*> kCases[] = {
      {"", "0 0 0 11"},
      {"old+", "1 1 0 11"},
      {"old+ old-", "0 1 0 11"},
      {"old+ new-", "0 0 0 11"},
      {"new+ old+ new- new+", "0 1 0 11"},
      {"dont+ log-", "- - - 10"},
      {"dont+ log- skip-", "- - - 00"},
      {"dont+ log- skip+", "- - 1 10"},  // the later click decides
      {"dont+ skip- log+", "0 0 1 01"},
      {"old+ log- log+", "1 1 0 11"},  // disabling keeps the ticks
  };
  for (const auto& [clicks, shown] : kCases) {
    OperationParameters p;
    ParameterEnabling e;
    std::istringstream in(clicks);
    for (std::string c; in >> c;) {
      const bool on = c.back() == '+';
      c.pop_back();
      if (c == "old") ClickIncludeOldMetaTag(p, on);
      if (c == "new") ClickIncludeNewMetaTag(p, on);
      if (c == "skip") ClickSkipDone(p, e, on);
      if (c == "log") ClickLogOperations(p, e, on);
      if (c == "dont") p.DontLogDone = on;
    }
    auto show = [](bool enabled, bool ticked) {
      return std::string(enabled ? (ticked ? "1" : "0") : "-");
    };
    EXPECT_EQ(show(e.IncludeOldMetaTag, p.IncludeOldMetaTag) + " " +
                  show(e.IncludeNewMetaTag, p.IncludeNewMetaTag) + " " +
                  show(e.DontLogDone, p.DontLogDone) + " " +
                  (p.SkipDone ? "1" : "0") + (p.LogOperations ? "1" : "0"),
              shown)
        << clicks;
  }
}

}  // namespace
}  // namespace vorn
