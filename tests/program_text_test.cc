#include "app/program_text.h"

#include <gtest/gtest.h>

#include <string>

namespace vorn {
namespace {

TEST(ProgramTextTest, LoadsNumberedTexts) {
  ProgramText t;
  EXPECT_EQ(t.Load("\xEF\xBB\xBF# comment\n1 VORN\n\n13\tLoading ...\r\n"
                   "21  Save state\n7 two\\nlines, a \\\\ and \\x\n"
                   "32767 caf\xC3\xA9\n"),
            5);
  EXPECT_EQ(t.GetText(1), "VORN");
  EXPECT_EQ(t.GetText(13), "Loading ...");
  EXPECT_EQ(t.GetText(21), "Save state");
  EXPECT_EQ(t.GetText(7), "two\r\nlines, a \\ and \\x");
  EXPECT_EQ(t.GetText(32767), "caf\xC3\xA9");
  EXPECT_EQ(t.GetText(2), "");
}

TEST(ProgramTextTest, FailuresGiveTheirStatus) {
  const std::string longest = "2 " + std::string(1023, 'x') + "\n";
  const std::string too_long = "2 " + std::string(1024, 'x') + "\n";
  const struct {
    const char* what;
    std::string text;
    int status;
  } kCases[] = {
      {"empty file", "", -6},
      {"only comments", "# nothing\n\n", 0},
      {"longest text", "1 a\n" + longest, 2},
      {"length in characters",
       "1 a\n2 " + std::string(1022, 'x') + "\xC3\xA9\n", 2},
      {"missing string at line 3", "1 a\n# c\n5\n", -503},
      {"too long at line 2", "1 a\n" + too_long, -1002},
      {"duplicate at line 12", "1 a\n\n\n\n\n\n\n\n\n\n\n1 b\n", -1512},
      {"number 0", "0 a\n", -3},
      {"number 32768", "32768 a\n", -3},
      {"not a number", "x a\n", -9},
      {"number glued to text", "1a\n", -9},
  };
  for (const auto& k : kCases) {
    ProgramText t;
    EXPECT_EQ(t.Load(k.text), k.status) << k.what;
    if (k.status <= 0) {
      EXPECT_EQ(t.GetText(1), "") << k.what << ": a failed load keeps nothing";
    }
  }
}

TEST(ProgramTextTest, LoadMessages) {
  const struct {
    int status;
    const char* text;
  } kCases[] = {
      {0, "No program text was read."},
      {-1, "Cannot open file containing program text.\r\n/opt/vorn_text.dat"},
      {-2, "Particular memory allocation error."},
      {-3, "Too much program text."},
      {-4, "Text not recovered."},
      {-6, "File is empty."},
      {-7, "Error reading file."},
      {-8, "General memory allocation error."},
      {-1501, "Duplicate in program text at line 1."},
      {-1500, "String too long at line 500."},
      {-1001, "String too long at line 1."},
      {-1000, "Missing string at line 500."},
      {-501, "Missing string at line 1."},
      {-500, "Error -500"},
      {-5, "Error -5"},
      {-9, "Error -9"},
  };
  for (const auto& k : kCases)
    EXPECT_EQ(ProgramTextLoadMessage(k.status, "/opt/vorn_text.dat"), k.text)
        << k.status;
}

TEST(ProgramTextTest, ShippedTableHasEveryTextTheProgramUses) {
  ProgramText t;
  ASSERT_GT(t.LoadFile(std::string(VORN_DATA_DIR) + "/vorn_text.dat"), 0);
  for (int n : {1, 3, 5, 6, 7, 8, 9, 10, 11, 13, 15, 18, 19, 20, 21})
    EXPECT_NE(t.GetText(n), "") << n;
}

}  // namespace
}  // namespace vorn
