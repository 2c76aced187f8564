// The operation parameters: the start values of the seventeen boxes and the
// rules that couple them when one is clicked.
#include "batch/operation_parameters.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

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

std::string Describe(const ParameterEnabling& e) {
  return std::string("DontLogDone=") + (e.DontLogDone ? '1' : '0') +
         " IncludeOldMetaTag=" + (e.IncludeOldMetaTag ? '1' : '0') +
         " IncludeNewMetaTag=" + (e.IncludeNewMetaTag ? '1' : '0');
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

TEST(OperationParametersTest, DependentBoxesStartEnabled) {
  // With SkipDone and LogOperations both set at start, every dependent box
  // is enabled.
  EXPECT_EQ(Describe(ParameterEnabling{}),
            "DontLogDone=1 IncludeOldMetaTag=1 IncludeNewMetaTag=1");
}

// Clicks on the two "include" boxes, from the start values.
TEST(OperationParametersTest, OldTagIsNeverReportedWithoutTheNew) {
  enum Click { kOldOn, kOldOff, kNewOn, kNewOff };
  const struct {
    const char* name;
    std::vector<Click> clicks;
    bool old_tag, new_tag;
  } kCases[] = {
      // Setting old sets new too.
      {"old on", {kOldOn}, true, true},
      // Clearing old leaves new as it is.
      {"old on, old off", {kOldOn, kOldOff}, false, true},
      // Clearing new clears old too.
      {"old on, new off", {kOldOn, kNewOff}, false, false},
      // Setting new leaves old as it is.
      {"new on", {kNewOn}, false, true},
      {"new on, old on", {kNewOn, kOldOn}, true, true},
      {"new on, new off", {kNewOn, kNewOff}, false, false},
      // Clicks that only clear leave both clear.
      {"new off", {kNewOff}, false, false},
      {"old off", {kOldOff}, false, false},
      {"old on, new off, new on", {kOldOn, kNewOff, kNewOn}, false, true},
  };
  for (const auto& c : kCases) {
    OperationParameters p;
    for (Click click : c.clicks) {
      switch (click) {
        case kOldOn:
          ClickIncludeOldMetaTag(p, true);
          break;
        case kOldOff:
          ClickIncludeOldMetaTag(p, false);
          break;
        case kNewOn:
          ClickIncludeNewMetaTag(p, true);
          break;
        case kNewOff:
          ClickIncludeNewMetaTag(p, false);
          break;
      }
    }
    // Only the two boxes move; every other field keeps its start value.
    OperationParameters expected;
    expected.IncludeOldMetaTag = c.old_tag;
    expected.IncludeNewMetaTag = c.new_tag;
    EXPECT_EQ(Describe(p), Describe(expected)) << c.name;
  }
}

// Clicks on SkipDone and LogOperations: each sets its own field and the
// enabled state of its dependants from its own value only, so that the
// later click decides DontLogDone's state.
TEST(OperationParametersTest, EnablingFollowsTheLaterClick) {
  enum Click { kSkipOn, kSkipOff, kLogOn, kLogOff };
  const struct {
    const char* name;
    std::vector<Click> clicks;
    bool skip_done, log_operations;
    const char* enabling;
  } kCases[] = {
      {"skip off",
       {kSkipOff},
       false,
       true,
       "DontLogDone=0 IncludeOldMetaTag=1 IncludeNewMetaTag=1"},
      {"skip off, skip on",
       {kSkipOff, kSkipOn},
       true,
       true,
       "DontLogDone=1 IncludeOldMetaTag=1 IncludeNewMetaTag=1"},
      {"log off",
       {kLogOff},
       true,
       false,
       "DontLogDone=0 IncludeOldMetaTag=0 IncludeNewMetaTag=0"},
      {"log off, log on",
       {kLogOff, kLogOn},
       true,
       true,
       "DontLogDone=1 IncludeOldMetaTag=1 IncludeNewMetaTag=1"},
      // SkipDone clear, then logging on: the log click enables DontLogDone
      // although SkipDone is clear.
      {"skip off, log on",
       {kSkipOff, kLogOn},
       false,
       true,
       "DontLogDone=1 IncludeOldMetaTag=1 IncludeNewMetaTag=1"},
      // Logging off, then SkipDone on: DontLogDone comes back, the two
      // include boxes stay disabled.
      {"log off, skip on",
       {kLogOff, kSkipOn},
       true,
       false,
       "DontLogDone=1 IncludeOldMetaTag=0 IncludeNewMetaTag=0"},
      {"log off, skip off",
       {kLogOff, kSkipOff},
       false,
       false,
       "DontLogDone=0 IncludeOldMetaTag=0 IncludeNewMetaTag=0"},
      {"skip off, log off, log on, skip on",
       {kSkipOff, kLogOff, kLogOn, kSkipOn},
       true,
       true,
       "DontLogDone=1 IncludeOldMetaTag=1 IncludeNewMetaTag=1"},
      {"skip on, log off",
       {kSkipOn, kLogOff},
       true,
       false,
       "DontLogDone=0 IncludeOldMetaTag=0 IncludeNewMetaTag=0"},
  };
  for (const auto& c : kCases) {
    OperationParameters p;
    // The include boxes are set beforehand: disabling must not clear them,
    // nor may the clicks change DontLogDone's own value.
    ClickIncludeOldMetaTag(p, true);
    p.DontLogDone = true;
    ParameterEnabling e;
    for (Click click : c.clicks) {
      switch (click) {
        case kSkipOn:
          ClickSkipDone(p, e, true);
          break;
        case kSkipOff:
          ClickSkipDone(p, e, false);
          break;
        case kLogOn:
          ClickLogOperations(p, e, true);
          break;
        case kLogOff:
          ClickLogOperations(p, e, false);
          break;
      }
    }
    OperationParameters expected;
    expected.IncludeOldMetaTag = true;
    expected.IncludeNewMetaTag = true;
    expected.DontLogDone = true;
    expected.SkipDone = c.skip_done;
    expected.LogOperations = c.log_operations;
    EXPECT_EQ(Describe(p), Describe(expected)) << c.name;
    EXPECT_EQ(Describe(e), c.enabling) << c.name;
  }
}

}  // namespace
}  // namespace vorn
