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

// Every list at another item, each value only once.
const Edits kLists = {{7, "8"},  {8, "2"},  {9, "0"},  {10, "3"}, {11, "5"},
                      {17, "2"}, {18, "1"}, {19, "6"}, {20, "7"}, {21, "9"}};

// Each file is read, then written again: what is written back shows what
// was read, line by line. A damaged file gives nothing.
TEST(StateFileTest, FilesAndHowTheyAreWrittenBack) {
  const Edits kSame;  // every line written back as read
  constexpr auto kRefused = std::nullopt;
  const struct {
    const char* what;
    Edits read;
    std::optional<Edits> written;  // the lines written back otherwise
  } kCases[] = {
      {"doubled quotes", {{3, "\"say \"\"hi\"\"\""}, {4, "\"\"\"\""}}, kSame},
      {"UTF-8, any script", {{3, "\"\xD0\x9C\xD0\xB8\xD1\x80\""}}, kSame},
      // An older program wrote the texts in Windows-1252.
      {"Windows-1252 text",
       {{3, "\"caf\xE9\""}, {4, "\"\xC9t\xE9\""}},
       Edits{{3, "\"caf\xC3\xA9\""}, {4, "\"\xC3\xA9t\xC3\xA9\""}}},
      {"words cleaned", {{4, "\" Foo  bar,, \""}}, Edits{{4, "\"foo,bar\""}}},
      {"number texts as typed", {{5, "\"7x\""}, {6, "\"\""}}, kSame},
      {"every list", kLists, kSame},
      {"Another, as the list of seven stored it", {{22, "6"}}, kSame},
      {"Automatic, Another for pages without", {{22, "106"}}, kSame},
      {"greyed: clear", {{13, "2"}, {29, "2"}}, Edits{{13, "0"}, {29, "0"}}},
      {"box value leads the line, else 0",
       {{14, " 1 x"}, {15, "1abc"}, {16, "x"}, {39, ""}},
       Edits{{14, "1"}, {15, "1"}, {16, "0"}, {39, "0"}}},
      {"old tag ticks the new", {{35, "1"}}, Edits{{34, "1"}}},
      {"multiple-file mode", {{40, "#FALSE#"}}, kSame},
      {"a folder: multiple", {{2, "\"/site\""}}, Edits{{40, "#FALSE#"}}},
      {"list position past the end", {{7, "9"}}, kRefused},
      {"list position -1", {{9, "-1"}}, kRefused},
      {"language 39", {{22, "39"}}, kRefused},
      {"Automatic without a fallback", {{22, "99"}}, kRefused},
      {"Automatic falling back on Automatic", {{22, "200"}}, kRefused},
      {"not a number", {{8, "two"}}, kRefused},
      {"box value 3", {{13, "3"}}, kRefused},
      {"box value -1", {{30, "-1"}}, kRefused},
      {"box value far too large", {{24, "100001"}}, kRefused},
      {"text without quotes", {{3, "abc"}}, kRefused},
      {"unclosed quote", {{1, "\"abc"}}, kRefused},
      {"lone quote", {{1, "\""}}, kRefused},
      {"lone quote inside", {{4, "\"a\"b\""}}, kRefused},
      {"quote doubled at the end", {{4, "\"ab\"\""}}, kRefused},
  };
  for (const auto& k : kCases) {
    const std::optional<SavedState> state = ParseState(File(k.read));
    ASSERT_EQ(state.has_value(), k.written.has_value()) << k.what;
    if (!state) continue;
    Edits written = k.read;
    written.insert(written.end(), k.written->begin(), k.written->end());
    EXPECT_EQ(FormatState(*state), File(written)) << k.what;
  }
  EXPECT_FALSE(ParseState(File({}, 39))) << "39 lines";
  EXPECT_FALSE(ParseState(""));
}

// Each list line sets its own field; "Automatic" with its fallback; logging
// off disables the old tag, the new tag and "don't log done".
TEST(StateFileTest, ReadingGivesTheFieldsAndTheEnabling) {
  Edits edits = kLists;
  edits.insert(edits.end(), {{22, "102"}, {36, "0"}});
  std::optional<SavedState> state = ParseState(File(edits));
  ASSERT_TRUE(state);
  AnalysisSettings& s = state->Settings;
  const ParameterEnabling& e = state->Enabling;
  std::string got;
  for (int list = 0; list < 10; ++list)
    got += std::to_string(SettingOf(s, static_cast<SettingsList>(list))) + " ";
  got += std::to_string(s.TextLanguage) + "/" +
         std::to_string(s.FallbackLanguage) + " ";
  for (bool enabled : {e.IncludeOldMetaTag, e.IncludeNewMetaTag, e.DontLogDone})
    got += enabled ? "1" : "0";
  EXPECT_EQ(got, "20 10 30 5 6 0 7 9 9 3 38/2 000");
  // Lines may end in LF alone.
  std::string lf = File({});
  std::erase(lf, '\r');
  EXPECT_TRUE(ParseState(lf));
}

// The window's memory beside the state file: what is sound is read, and
// written back.
TEST(WindowMemoryTest, ReadsWhatIsSound) {
  const std::pair<const char*, const char*> kCases[] = {
      {"geometry -300 200 12000 9000 1\nrecent /a b.htm\nrecent /site/\n",
       "geometry -300 200 12000 9000 1\nrecent /a b.htm\nrecent /site/\n"},
      {"recent /x.htm\r\ngeometry -300 200 12000 9000 0",
       "geometry -300 200 12000 9000 0\nrecent /x.htm\n"},
      {"geometry 1 2 0 9000 0\nrecent \nlater /y\n", ""},
      {"geometry 1 2 3 4 2\n", ""},
      {"geometry 1 2 3 4\n", ""},
      {"geometry 1 2 3 4 0x\n", ""}};
  for (const auto& [text, written] : kCases)
    EXPECT_EQ(FormatWindowMemory(ParseWindowMemory(text)), written) << text;
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
