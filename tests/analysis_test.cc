// The single-file run: input-file checks and their messages, the cached
// analysis, and what the output box shows after each press.
#include "engine/analysis.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "engine/common_words.h"
#include "engine/settings.h"
#include "tests/support/fake_view.h"
#include "tests/support/faulty_file_system.h"
#include "tests/support/page_folder.h"

namespace vorn {
namespace {

const CommonWordsTable& NoCommonWords() {
  static const CommonWordsTable* const table = new CommonWordsTable;
  return *table;
}

const char kInvalid[] =
    "Invalid input | Invalid input file specification | exclamation | ok\n";
const char kNotHtm[] =
    "Invalid input | Input file name must have an extension containing "
    "'htm'. | none | ok\n";
const char kMissing[] =
    "File not found | Input file does not exist. | exclamation | ok\n";

TEST(AnalysisTest, ValidateInputFile) {
  PageFolder dir;
  for (const char* name : {"page.htm", "a.b/page"})
    ASSERT_TRUE(dir.Write(name, "<p>text</p>"));
  const struct {
    const char* name;
    bool ok;
    const char* boxes;
  } kCases[] = {
      {"page.htm", true, ""},
      {"a.b/page", false, kInvalid},  // the dot is in a folder name
      {"none.txt", false, kNotHtm},   // the extension is tested first
      {"none.xhtml", false, kMissing},
  };
  const std::filesystem::path cwd = std::filesystem::current_path();
  // During start-up (nothing shown) a bad name empties the box, and the
  // folder of a missing file becomes the working folder.
  for (const auto& c : kCases) {
    for (const bool show : {true, false}) {
      FakeView view;
      std::string box = dir.Path(c.name);
      EXPECT_EQ(ValidateInputFile(box, view, show), c.ok) << c.name;
      EXPECT_EQ(view.BoxesText(), show ? c.boxes : "") << c.name;
      EXPECT_EQ(box, show || c.ok ? dir.Path(c.name) : "") << c.name;
      EXPECT_EQ(std::filesystem::equivalent(".", dir.path()),
                !show && c.boxes == kMissing)
          << c.name;
      std::filesystem::current_path(cwd);
    }
  }
}

// alpha twice (2 × 3 = 6), beta once: at threshold 2 only alpha is left.
const char kPageA[] = "<p>alpha alpha beta</p>";
const char kListA[] = "Rank Value Frequency\r\n   1   100    2 alpha\r\n";

TEST(AnalysisTest, CachedAnalysisAndFailures) {
  PageFolder dir;
  ASSERT_TRUE(dir.Write("page.htm", kPageA));
  FaultyFileSystem fs;
  Analysis analysis(NoCommonWords(), fs);
  FakeView view;
  AnalysisSettings s;
  std::string box = "  " + dir.Path("page.htm") + " ";
  // A press of "List words" (or of the tag button), the output it leaves
  // and whether the page was read for it.
  auto press = [&](bool tag, const std::string& output, bool read) {
    const int scans = view.scans_started();
    analysis.DoIt(tag, box, view);
    EXPECT_EQ(view.output(), output);
    EXPECT_EQ(view.scans_started() - scans, read ? 1 : 0) << output;
  };
  view.StopAfterWords(1);
  press(false, "alpha \r\n\r\nStopped with 1 word identified.", true);
  EXPECT_EQ(box, dir.Path("page.htm"));  // trimmed and written back
  press(false, kListA, true);
  // 31 + 5 = 36 bytes, from the cache.
  press(true,
        "<meta name=\"keywords\" content=\"alpha\">\r\n\r\n"
        "Number of keywords in meta tag: 1\r\nNumber of bytes in meta tag: 36",
        false);
  ASSERT_TRUE(dir.Write("page.htm", "<p>gamma gamma</p>"));
  press(false, kListA, false);
  s.SpaceAfterComma = true;  // shapes the tag only
  analysis.UpdateSettings(s);
  press(false, kListA, false);
  s.ThresholdFrequency = 3;
  analysis.UpdateSettings(s);
  press(false, "No words with more than 2 letters occur at least 3 times.",
        true);
  ASSERT_TRUE(dir.Write("page.htm", "<p>delta delta delta</p>"));
  analysis.Invalidate();
  press(false, "Rank Value Frequency\r\n   1   100    3 delta\r\n", true);
  EXPECT_EQ(view.BoxesText(), "");
  // Failures show their message and leave the output as it was (a failed
  // read empties it); a failed read leaves no size and no words.
  // binary.htm: 122 text bytes, then a non-text byte at position 123.
  ASSERT_TRUE(dir.Write("binary.htm", std::string(122, 'a') + '\x01'));
  const struct {
    std::string input;
    std::string boxes;
  } kFailures[] = {
      {"   ", "Error | Input file not specified. | exclamation | ok\n"},
      {dir.Path("binary.htm"),
       "Not a text file | This file is not a text file.\r\n"
       "The byte at position 123\r\n"
       " is neither text nor whitespace. | information | ok\n"},
      {dir.Path("page.htm"),
       "Error | An error of an unknown kind has occurred. | exclamation | "
       "ok\n"},
  };
  for (const auto& c : kFailures) {
    const bool unreadable = c.input == dir.Path("page.htm");
    if (unreadable) fs.FailCall(FsOp::kReadFile, 1);
    analysis.Invalidate();
    view.ClearBoxes();
    view.PresetOutput("earlier");
    box = c.input;
    analysis.DoIt(false, box, view);
    EXPECT_EQ(view.BoxesText(), c.boxes) << c.input;
    EXPECT_EQ(view.output(), unreadable ? "" : "earlier") << c.input;
    EXPECT_EQ(view.scans_started(), view.scans_ended()) << c.input;
  }
  EXPECT_EQ(analysis.last_file_size(), -1);
  EXPECT_EQ(analysis.table().WordCount(), 0u);
}

}  // namespace
}  // namespace vorn
