#include "app/state_file.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace vorn {
namespace {

// The file of a first save with the defaults and C:-free Linux paths, line
// by line as it must read.
std::vector<std::string> DefaultLines() {
  return {"\"/site/index.htm\"", "\"\"", "\"\"", "\"\"", "\"50\"", "\"500\"",
          // short-word size 2 and minimum frequency 2 are positions 1;
          // table 2, existing keywords 0, bold 4 are their own positions.
          "1", "1", "2", "0", "4",
          // ignore short, ignore common, keep case, spaces, slash
          "1", "1", "0", "0", "0",
          // title 90, description 50, italic 4, div 2, span 4, English
          "9", "5", "4", "2", "4", "0",
          // backup, confirm, add done, skip done, don't log done, display
          "0", "1", "1", "1", "0", "1",
          // htm, html, shtm, shtml, subfolders, new, old, log, clear, unix,
          // save on quit
          "1", "1", "0", "0", "0", "0", "0", "1", "1", "1", "1", "#TRUE#"};
}

std::string Join(const std::vector<std::string>& lines) {
  std::string text;
  for (const std::string& l : lines) text += l + "\r\n";
  return text;
}

TEST(StateFileTest, DefaultsWriteTheFortyLines) {
  SavedState state;
  state.InputFile = "/site/index.htm";
  EXPECT_EQ(FormatState(state), Join(DefaultLines()));
}

TEST(StateFileTest, EverySettingRoundTrips) {
  SavedState state;
  state.InputFile = "/a b/page.htm";
  AnalysisSettings& s = state.Settings;
  s.TitleWeight = 30;
  s.DescriptionWeight = 0;
  s.ExistingKeywordsWeight = 70;
  s.BoldWeight = 9;
  s.ItalicWeight = 0;
  s.TableWeight = 5;
  s.DivWeight = 1;
  s.SpanWeight = 8;
  s.ShortWordSize = 9;
  s.ThresholdFrequency = 1;
  s.IgnoreShortWords = false;
  s.IgnoreCommonWords = false;
  s.PreserveCase = true;
  s.SpaceAfterComma = true;
  s.ForwardSlash = true;
  s.MaxNumKeywordsInMetaTag = "7";
  s.MaxNumBytesInMetaTag = "";
  s.BeginMetaTagWith = "caf\xE9, web";  // é in the engine's code page
  s.WordsToIgnore = "foo,bar";
  s.TextLanguage = 5;  // Spanish
  state.Parameters.Backup = true;
  state.Parameters.HTM = false;
  state.Parameters.SHTML = true;
  state.Parameters.SaveStateOnQuit = false;
  const auto back = ParseState(FormatState(state));
  ASSERT_TRUE(back);
  EXPECT_EQ(FormatState(*back), FormatState(state));
  EXPECT_EQ(back->Settings.BeginMetaTagWith, "caf\xE9, web");
  EXPECT_EQ(back->Settings.TextLanguage, 5);
  EXPECT_TRUE(back->SingleFileMode);
}

TEST(StateFileTest, TextsHoldingDoubleQuotesRoundTrip) {
  SavedState state;
  state.Settings.BeginMetaTagWith = "say \"hello\", \"\"";
  state.Settings.WordsToIgnore = "a\"b";
  const std::string text = FormatState(state);
  // A quote inside a text is written twice.
  EXPECT_NE(text.find("\"say \"\"hello\"\", \"\"\"\"\"\r\n"),
            std::string::npos);
  const auto back = ParseState(text);
  ASSERT_TRUE(back);
  EXPECT_EQ(back->Settings.BeginMetaTagWith, "say \"hello\", \"\"");
  EXPECT_EQ(back->Settings.WordsToIgnore, "a\"b");
}

TEST(StateFileTest, ReadingAppliesTheProgramsRules) {
  std::vector<std::string> lines = DefaultLines();
  lines[3] = "\"  Foo  bar,, Baz ,\"";  // words to ignore are normalised
  lines[1] = "\"/site\"";               // a folder brings multiple-file mode
  auto state = ParseState(Join(lines));
  ASSERT_TRUE(state);
  EXPECT_EQ(state->Settings.WordsToIgnore, "foo,bar,baz");
  EXPECT_FALSE(state->SingleFileMode);

  // Line 40 is compared exactly: #false# is single-file mode.
  lines = DefaultLines();
  lines[39] = "#false#";
  state = ParseState(Join(lines));
  ASSERT_TRUE(state);
  EXPECT_TRUE(state->SingleFileMode);
  lines[39] = "#FALSE#";
  state = ParseState(Join(lines));
  ASSERT_TRUE(state);
  EXPECT_FALSE(state->SingleFileMode);
}

TEST(StateFileTest, ParameterBoxesTakeTheirValuesWithTheirCouplings) {
  // Line 34 (new tag) stays clear, line 35 (old tag) is ticked: ticking the
  // old tag ticks the new one too.
  std::vector<std::string> lines = DefaultLines();
  lines[34] = "1";
  auto state = ParseState(Join(lines));
  ASSERT_TRUE(state);
  EXPECT_TRUE(state->Parameters.IncludeOldMetaTag);
  EXPECT_TRUE(state->Parameters.IncludeNewMetaTag);

  // Logging off disables the dependent boxes; skipping done files off
  // disables "don't log".
  lines = DefaultLines();
  lines[35] = "0";
  state = ParseState(Join(lines));
  ASSERT_TRUE(state);
  EXPECT_FALSE(state->Enabling.IncludeNewMetaTag);
  EXPECT_FALSE(state->Enabling.IncludeOldMetaTag);
  EXPECT_FALSE(state->Enabling.DontLogDone);
  lines = DefaultLines();
  lines[25] = "0";
  state = ParseState(Join(lines));
  ASSERT_TRUE(state);
  EXPECT_FALSE(state->Enabling.DontLogDone);
  EXPECT_TRUE(state->Enabling.IncludeNewMetaTag);
}

TEST(StateFileTest, DamagedFilesGiveNothing) {
  const struct {
    const char* name;
    int line;  // 1-based; 0 drops the last line
    const char* value;
  } kCases[] = {
      {"39 lines", 0, nullptr},
      {"list position 99", 7, "99"},
      {"list position -1", 9, "-1"},
      {"language 7", 22, "7"},
      {"not a number", 8, "two"},
      {"check box 5", 13, "5"},
      {"text without quotes", 3, "abc"},
      {"unclosed quote", 1, "\"abc"},
      {"lone quote inside", 4, "\"a\"b\""},
  };
  for (const auto& c : kCases) {
    std::vector<std::string> lines = DefaultLines();
    if (c.line == 0)
      lines.pop_back();
    else
      lines[static_cast<std::size_t>(c.line - 1)] = c.value;
    EXPECT_FALSE(ParseState(Join(lines))) << c.name;
  }
  EXPECT_FALSE(ParseState(""));
}

TEST(StateFileTest, AnyLineEndIsRead) {
  std::string lf;
  for (const std::string& l : DefaultLines()) lf += l + "\n";
  const auto state = ParseState(lf);
  ASSERT_TRUE(state);
  EXPECT_EQ(state->InputFile, "/site/index.htm");
}

}  // namespace
}  // namespace vorn
