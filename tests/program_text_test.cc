#include "app/program_text.h"

#include <gtest/gtest.h>

#include <string>
#include <utility>

namespace vorn {
namespace {

TEST(ProgramTextTest, LoadsNumberedTexts) {
  ProgramText t;
  EXPECT_EQ(t.Load("\xEF\xBB\xBF# comment\n1 VORN\n\n13\tLoading ...\r\n"
                   "21  Save state\n7 two\\nlines, a \\\\ and \\x\n"
                   "32767 caf\xC3\xA9\n"),
            5);
  std::string texts;
  for (int n : {1, 13, 21, 7, 32767, 2}) texts += t.GetText(n) + "|";
  EXPECT_EQ(
      texts,
      "VORN|Loading ...|Save state|two\r\nlines, a \\ and \\x|caf\xC3\xA9||");
}

// A text is at most 1023 characters (not bytes) long; blank lines and
// comments count in the line a failure names; a number is 1 to 32767; a
// failed load keeps nothing.
TEST(ProgramTextTest, FailuresGiveTheirStatus) {
  const std::string x1022(1022, 'x');
  const std::pair<std::string, int> kCases[] = {
      {"", -6},
      {"# nothing\n\n", 0},
      {"1 a\n# c\n5\n", -503},
      {"1 a\n2 x" + x1022 + "\n", 2},
      {"1 a\n2 " + x1022 + "\xC3\xA9\n", 2},
      {"1 a\n2 xx" + x1022 + "\n", -1002},
      {"1 a\n\n\n\n\n\n\n\n\n\n\n1 b\n", -1512},
      {"0 a\n", -3},
      {"32768 a\n", -3},
      {"x a\n", -9},
      {"1a\n", -9}};
  for (const auto& [text, status] : kCases) {
    ProgramText t;
    EXPECT_EQ(t.Load(text), status) << text;
    EXPECT_EQ(t.GetText(1), status > 0 ? "a" : "") << text;
  }
}

// The line a failure names, and the file that could not be opened.
TEST(ProgramTextTest, LoadMessages) {
  const std::pair<int, const char*> kCases[] = {
      {-1, "Cannot open file containing program text.\r\n/opt/vorn_text.dat"},
      {-1501, "Duplicate in program text at line 1."},
      {-1000, "Missing string at line 500."}};
  for (const auto& [status, text] : kCases)
    EXPECT_EQ(ProgramTextLoadMessage(status, "/opt/vorn_text.dat"), text)
        << status;
}

TEST(ProgramTextTest, ShippedTableHasEveryTextTheProgramUses) {
  ProgramText t;
  ASSERT_GT(t.LoadFile(std::string(VORN_DATA_DIR) + "/vorn_text.dat"), 0);
  for (int n : {1, 3, 5, 6, 7, 8, 9, 10, 11, 13, 15, 18, 19, 20, 21})
    EXPECT_NE(t.GetText(n), "") << n;
}

}  // namespace
}  // namespace vorn
