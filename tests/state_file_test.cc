#include "app/state_file.h"

#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

namespace vorn {
namespace {

// The file the defaults give, with an input file.
const std::vector<std::string> kDefaults = {
    "\"/site/index.htm\"", "\"\"", "\"\"", "\"\"", "\"50\"", "\"500\"",
    // short-word size 2, minimum frequency 2, table 2, existing 0, bold 4
    "1", "1", "2", "0", "4",
    // ignore short, ignore common, keep case, spaces, slash
    "1", "1", "0", "0", "0",
    // title 90, description 50, italic 4, div 2, span 4, English
    "9", "5", "4", "2", "4", "0",
    // backup, confirm, add done, skip done, don't log done, display words
    "0", "1", "1", "1", "0", "1",
    // htm, html, shtm, shtml, subfolders, new, old, log, clear, unix, save
    "1", "1", "0", "0", "0", "0", "0", "1", "1", "1", "1", "#TRUE#"};

using Edits = std::vector<std::pair<int, std::string>>;  // line, text

std::string File(const Edits& edits, std::size_t lines = 40) {
  std::vector<std::string> file = kDefaults;
  for (const auto& [line, text] : edits) file[line - 1] = text;
  std::string text;
  for (std::size_t i = 0; i < lines; ++i) text += file[i] + "\r\n";
  return text;
}

TEST(StateFileTest, DefaultsWriteTheFortyLines) {
  SavedState state;
  state.InputFile = "/site/index.htm";
  EXPECT_EQ(FormatState(state), File({}));
}

// Each file is read, then written again: what is written back shows what
// was read, line by line.
TEST(StateFileTest, GoodFilesAndHowTheyAreWrittenBack) {
  const struct {
    const char* what;
    Edits read;
    Edits written;  // besides the lines read unchanged
  } kCases[] = {
      {"empty text", {{1, "\"\""}}, {}},
      {"doubled quotes", {{3, "\"say \"\"hi\"\"\""}}, {}},
      {"only a quote", {{3, "\"\"\"\""}}, {}},
      {"UTF-8 text", {{4, "\"caf\xC3\xA9\""}}, {}},
      {"any script", {{3, "\"\xD0\x9C\xD0\xB8\xD1\x80\""}}, {}},
      // An older program wrote the texts in Windows-1252.
      {"Windows-1252 text",
       {{3, "\"caf\xE9\""}, {4, "\"\xC9t\xE9\""}},
       {{3, "\"caf\xC3\xA9\""}, {4, "\"\xC3\xA9t\xC3\xA9\""}}},
      {"ignored words cleaned",
       {{4, "\" Foo  bar,, \""}},
       {{4, "\"foo,bar\""}}},
      {"number texts as typed", {{5, "\"7x\""}, {6, "\"\""}}, {}},
      {"first list item", {{7, "0"}, {11, "0"}}, {}},
      {"last list items", {{8, "8"}, {17, "9"}, {21, "9"}}, {}},
      {"Another, as the list of seven stored it", {{22, "6"}}, {}},
      {"Automatic, Another for pages without", {{22, "106"}}, {}},
      {"box clear", {{12, "0"}, {23, "0"}}, {}},
      {"box greyed is not ticked",
       {{13, "2"}, {29, "2"}},
       {{13, "0"}, {29, "0"}}},
      {"box value leads the line",
       {{14, " 1 x"}, {15, "1abc"}},
       {{14, "1"}, {15, "1"}}},
      {"box without a number", {{16, "x"}, {39, ""}}, {{16, "0"}, {39, "0"}}},
      {"old tag ticks the new", {{35, "1"}}, {{34, "1"}}},
      {"ticking new after old", {{34, "1"}, {35, "1"}}, {}},
      {"multiple-file mode", {{40, "#FALSE#"}}, {}},
      {"mode compared exactly", {{40, "#false#"}}, {{40, "#TRUE#"}}},
      {"a folder brings multiple-file mode",
       {{2, "\"/site\""}},
       {{40, "#FALSE#"}}},
  };
  for (const auto& k : kCases) {
    const std::optional<SavedState> state = ParseState(File(k.read));
    ASSERT_TRUE(state) << k.what;
    Edits written = k.read;
    written.insert(written.end(), k.written.begin(), k.written.end());
    EXPECT_EQ(FormatState(*state), File(written)) << k.what;
  }
}

TEST(StateFileTest, ReadingGivesTheFieldsAndTheEnabling) {
  const auto state = ParseState(File(
      {{3, "\"caf\xC3\xA9\""}, {13, "2"}, {17, "3"}, {22, "102"}, {36, "0"}}));
  ASSERT_TRUE(state);
  EXPECT_EQ(state->Settings.BeginMetaTagWith, "caf\xC3\xA9");
  EXPECT_FALSE(state->Settings.IgnoreCommonWords);
  EXPECT_EQ(state->Settings.TitleWeight, 30);
  EXPECT_EQ(state->Settings.TextLanguage, kAutomaticLanguage);
  EXPECT_EQ(state->Settings.FallbackLanguage, kGerman);
  EXPECT_FALSE(state->Parameters.LogOperations);
  EXPECT_FALSE(state->Enabling.IncludeNewMetaTag);  // logging off
  EXPECT_FALSE(state->Enabling.DontLogDone);
  // Skipping done files off disables only "don't log".
  const auto skip = ParseState(File({{26, "0"}}));
  ASSERT_TRUE(skip);
  EXPECT_FALSE(skip->Enabling.DontLogDone);
  EXPECT_TRUE(skip->Enabling.IncludeNewMetaTag);
  // Lines may end in LF alone.
  std::string lf = File({});
  std::erase(lf, '\r');
  EXPECT_TRUE(ParseState(lf));
}

TEST(StateFileTest, DamagedFilesGiveNothing) {
  const struct {
    const char* what;
    Edits edits;
  } kCases[] = {
      {"list position past the end", {{7, "9"}}},
      {"title past the end", {{17, "10"}}},
      {"list position -1", {{9, "-1"}}},
      {"language 39", {{22, "39"}}},
      {"Automatic without a fallback", {{22, "99"}}},
      {"Automatic falling back on Automatic", {{22, "200"}}},
      {"not a number", {{8, "two"}}},
      {"box value 3", {{13, "3"}}},
      {"box value -1", {{30, "-1"}}},
      {"box value far too large", {{24, "100001"}}},
      {"text without quotes", {{3, "abc"}}},
      {"unclosed quote", {{1, "\"abc"}}},
      {"lone quote", {{1, "\""}}},
      {"lone quote inside", {{4, "\"a\"b\""}}},
      {"quote doubled at the end", {{4, "\"ab\"\""}}},
      {"three quotes", {{5, "\"\"\""}}},
  };
  for (const auto& k : kCases)
    EXPECT_FALSE(ParseState(File(k.edits))) << k.what;
  EXPECT_FALSE(ParseState(File({}, 39))) << "39 lines";
  EXPECT_FALSE(ParseState(""));
}

// The window's memory beside the state file: what is sound is read.
TEST(WindowMemoryTest, ReadsWhatIsSound) {
  const std::optional<WindowGeometry> kNone;
  const WindowGeometry kAt{{-300, 200, 12000, 9000}, true};
  const struct {
    const char* text;
    std::optional<WindowGeometry> geometry;
    std::vector<std::string> recent;
  } kCases[] = {
      {"geometry -300 200 12000 9000 1\nrecent /a b.htm\nrecent /site/\n",
       kAt,
       {"/a b.htm", "/site/"}},
      {"recent /x.htm\r\ngeometry -300 200 12000 9000 1", kAt, {"/x.htm"}},
      {"geometry 1 2 0 9000 0\nrecent \nlater /y\n", kNone, {}},
      {"geometry 1 2 3 4 2\n", kNone, {}},
      {"geometry 1 2 3 4\n", kNone, {}},
      {"geometry 1 2 3 4 0x\n", kNone, {}},
  };
  for (const auto& k : kCases) {
    const WindowMemory m = ParseWindowMemory(k.text);
    EXPECT_EQ(m.geometry, k.geometry) << k.text;
    EXPECT_EQ(m.recent, k.recent) << k.text;
    const WindowMemory again = ParseWindowMemory(FormatWindowMemory(m));
    EXPECT_EQ(again.geometry, m.geometry) << k.text;
    EXPECT_EQ(again.recent, m.recent) << k.text;
  }
}

TEST(WindowMemoryTest, RecentListKeepsTheNewestOnce) {
  std::vector<std::string> recent;
  for (const char* path : {"/a", "/b", "/a", "", "/c"})
    RememberRecent(recent, path);
  EXPECT_EQ(recent, (std::vector<std::string>{"/c", "/a", "/b"}));
  std::string many;
  for (std::size_t n = 0; n < kMaxRecent + 3; ++n) {
    RememberRecent(recent, "/" + std::to_string(n));
    many += "recent /" + std::to_string(n) + "\n";
  }
  EXPECT_EQ(recent.size(), kMaxRecent);
  EXPECT_EQ(ParseWindowMemory(many).recent.size(), kMaxRecent);
}

}  // namespace
}  // namespace vorn
