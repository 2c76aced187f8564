// The operation parameters: the start values of the seventeen boxes and the
// rules that couple them when one is clicked.
#include "batch/operation_parameters.h"

#include <gtest/gtest.h>

#include <sstream>
#include <string>

namespace vorn {
namespace {

// Every field as "Name=0|1", in the order of the window's boxes, so that a
// test compares the whole record at once.
std::string Describe(const OperationParameters& p) {
  const struct {
    const char* name;
    bool value;
  } kFields[] = {
      {"SaveStateOnQuit", p.SaveStateOnQuit},
      {"DialogBoxForUnixFiles", p.DialogBoxForUnixFiles},
      {"DontLogDone", p.DontLogDone},
      {"SkipDone", p.SkipDone},
      {"AddDone", p.AddDone},
      {"ClearReportAtStart", p.ClearReportAtStart},
      {"IncludeAllSubfolders", p.IncludeAllSubfolders},
      {"IncludeOldMetaTag", p.IncludeOldMetaTag},
      {"IncludeNewMetaTag", p.IncludeNewMetaTag},
      {"LogOperations", p.LogOperations},
      {"DisplayWords", p.DisplayWords},
      {"Confirm", p.Confirm},
      {"Backup", p.Backup},
      {"HTM", p.HTM},
      {"SHTML", p.SHTML},
      {"SHTM", p.SHTM},
      {"HTML", p.HTML},
  };
  std::string text;
  for (const auto& f : kFields) {
    if (!text.empty()) text += ' ';
    text += std::string(f.name) + '=' + (f.value ? '1' : '0');
  }
  return text;
}

// The enabled state of DontLogDone and the two include boxes, as "1" and
// "0" in this order.
std::string Describe(const ParameterEnabling& e) {
  return std::string(e.DontLogDone ? "1" : "0") +
         (e.IncludeOldMetaTag ? "1" : "0") + (e.IncludeNewMetaTag ? "1" : "0");
}

// The clicks of `text` in order: a box name ("old", "new", "skip" or
// "log") with "+" to tick it or "-" to clear it, separated by blanks.
void Click(const std::string& text, OperationParameters& p,
           ParameterEnabling& e) {
  std::istringstream in(text);
  for (std::string click; in >> click;) {
    const bool on = click.back() == '+';
    click.pop_back();
    if (click == "old") ClickIncludeOldMetaTag(p, on);
    if (click == "new") ClickIncludeNewMetaTag(p, on);
    if (click == "skip") ClickSkipDone(p, e, on);
    if (click == "log") ClickLogOperations(p, e, on);
  }
}

// The start values, box by box as the window lists them.
constexpr char kStart[] =
    "SaveStateOnQuit=1 DialogBoxForUnixFiles=1 DontLogDone=0 SkipDone=1 "
    "AddDone=1 ClearReportAtStart=1 IncludeAllSubfolders=0 "
    "IncludeOldMetaTag=0 IncludeNewMetaTag=0 LogOperations=1 "
    "DisplayWords=1 Confirm=1 Backup=0 HTM=1 SHTML=0 SHTM=0 HTML=1";

TEST(OperationParametersTest, StartValues) {
  EXPECT_EQ(Describe(OperationParameters{}), kStart);
  // Seventeen one-byte fields and nothing else: a field added without a
  // start value in the table above shows here.
  EXPECT_EQ(sizeof(OperationParameters), 17u);
}

TEST(OperationParametersTest, OldTagIsNeverReportedWithoutTheNew) {
  // Setting old sets new too; clearing new clears old too; the other
  // clicks move only their own box.
  const struct {
    const char* clicks;
    bool old_tag, new_tag;
  } kCases[] = {
      {"old+", true, true},
      {"old+ old-", false, true},
      {"old+ new-", false, false},
      {"new+", false, true},
      {"new+ old+", true, true},
      {"new+ new-", false, false},
      {"new-", false, false},
      {"old-", false, false},
      {"old+ new- new+", false, true},
  };
  for (const auto& c : kCases) {
    OperationParameters p;
    ParameterEnabling e;
    Click(c.clicks, p, e);
    // Only the two boxes move; every other field keeps its start value.
    OperationParameters expected;
    expected.IncludeOldMetaTag = c.old_tag;
    expected.IncludeNewMetaTag = c.new_tag;
    EXPECT_EQ(Describe(p), Describe(expected)) << c.clicks;
  }
}

// Clicks on SkipDone and LogOperations: each sets its own field and the
// enabled state of its dependants from its own value only, so that the
// later click decides DontLogDone's state. At start every dependent box is
// enabled.
TEST(OperationParametersTest, EnablingFollowsTheLaterClick) {
  const struct {
    const char* clicks;
    bool skip_done, log_operations;
    const char* enabling;  // as Describe gives it
  } kCases[] = {
      {"", true, true, "111"},
      {"skip-", false, true, "011"},
      {"skip- skip+", true, true, "111"},
      {"log-", true, false, "000"},
      {"log- log+", true, true, "111"},
      // The log click enables DontLogDone although SkipDone is clear.
      {"skip- log+", false, true, "111"},
      // DontLogDone comes back, the two include boxes stay disabled.
      {"log- skip+", true, false, "100"},
      {"log- skip-", false, false, "000"},
      {"skip- log- log+ skip+", true, true, "111"},
      {"skip+ log-", true, false, "000"},
  };
  for (const auto& c : kCases) {
    OperationParameters p;
    // The include boxes are set beforehand: disabling must not clear them,
    // nor may the clicks change DontLogDone's own value.
    ClickIncludeOldMetaTag(p, true);
    p.DontLogDone = true;
    ParameterEnabling e;
    Click(c.clicks, p, e);
    OperationParameters expected;
    expected.IncludeOldMetaTag = true;
    expected.IncludeNewMetaTag = true;
    expected.DontLogDone = true;
    expected.SkipDone = c.skip_done;
    expected.LogOperations = c.log_operations;
    EXPECT_EQ(Describe(p), Describe(expected)) << c.clicks;
    EXPECT_EQ(Describe(e), c.enabling) << c.clicks;
  }
}

}  // namespace
}  // namespace vorn
