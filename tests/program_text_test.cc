#include "app/program_text.h"

#include <gtest/gtest.h>

#include <fstream>
#include <string>

namespace vorn {
namespace {

TEST(ProgramTextTest, LoadsNumberedTexts) {
  ProgramText t;
  EXPECT_EQ(t.Load("# comment\n1 VORN\n\n13\tLoading ...\n15 manual.html\n"
                   "21  Save state\n7 two\\nlines and a \\\\ backslash\n"),
            5);
  EXPECT_EQ(t.GetText(1), "VORN");
  EXPECT_EQ(t.GetText(13), "Loading ...");
  EXPECT_EQ(t.GetText(21), "Save state");
  EXPECT_EQ(t.GetText(7), "two\r\nlines and a \\ backslash");
  EXPECT_EQ(t.GetText(2), "");  // a missing number gives the empty text
}

TEST(ProgramTextTest, TextsAreUtf8InTheFileAndWindows1252Inside) {
  ProgramText t;
  ASSERT_EQ(t.Load("\xEF\xBB\xBF"
                   "3 caf\xC3\xA9\r\n"),
            1);
  EXPECT_EQ(t.GetText(3), "caf\xE9");
}

TEST(ProgramTextTest, FailuresGiveTheirStatus) {
  const std::string too_long = "2 " + std::string(1024, 'x') + "\n";
  const struct {
    const char* name;
    std::string text;
    int status;
  } kCases[] = {
      {"empty file", "", -6},
      {"only comments", "# nothing\n\n", 0},
      {"missing string at line 3", "1 a\n# c\n5\n", -503},
      {"too long at line 2", "1 a\n" + too_long, -1002},
      {"duplicate at line 12", "1 a\n\n\n\n\n\n\n\n\n\n\n1 b\n", -1512},
      {"number out of range", "40000 a\n", -3},
      {"not a number", "x a\n", -9},
  };
  for (const auto& c : kCases) {
    ProgramText t;
    EXPECT_EQ(t.Load(c.text), c.status) << c.name;
    EXPECT_EQ(t.GetText(1), "") << c.name << ": a failed load keeps nothing";
  }
}

TEST(ProgramTextTest, LoadMessages) {
  const struct {
    int status;
    const char* text;
  } kCases[] = {
      {0, "No program text was read."},
      {-1, "Cannot open file containing program text.\r\n/opt/vorn_text.dat"},
      {-3, "Too much program text."},
      {-6, "File is empty."},
      {-7, "Error reading file."},
      {-1507, "Duplicate in program text at line 7."},
      {-1512, "Duplicate in program text at line 12."},
      {-1003, "String too long at line 3."},
      {-505, "Missing string at line 5."},
      {-5, "Error -5"},
      {-37, "Error -37"},
  };
  for (const auto& c : kCases)
    EXPECT_EQ(ProgramTextLoadMessage(c.status, "/opt/vorn_text.dat"), c.text)
        << c.status;
}

TEST(ProgramTextTest, MissingFileIsMinusOne) {
  ProgramText t;
  EXPECT_EQ(t.LoadFile("/nonexistent/vorn_text.dat"), -1);
}

TEST(ProgramTextTest, ShippedTableLoads) {
  ProgramText t;
  const std::string path = std::string(VORN_DATA_DIR) + "/vorn_text.dat";
  if (!std::ifstream(path)) GTEST_SKIP() << "no table shipped yet";
  EXPECT_GT(t.LoadFile(path), 0);
  for (int n : {1, 3, 5, 6, 7, 8, 9, 10, 11, 13, 15, 18, 19, 20, 21})
    EXPECT_NE(t.GetText(n), "") << "text " << n;
}

}  // namespace
}  // namespace vorn
