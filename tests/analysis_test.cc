// The single-file run: input-file checks and their messages, the cached
// analysis, and what the output box shows after each press.
#include "engine/analysis.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "engine/common_words.h"
#include "engine/settings.h"
#include "support/strings.h"
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
  for (const char* name : {"page.htm", "page.SHTML", "page.txt", "a.b/page"})
    ASSERT_TRUE(dir.Write(name, "<p>text</p>"));
  const struct {
    const char* name;
    bool ok;
    const char* boxes;
  } kCases[] = {
      {"page.htm", true, ""},
      {"page.SHTML", true, ""},
      {"page", false, kInvalid},
      {"a.b/page", false, kInvalid},  // the dot is in a folder name
      {"page.txt", false, kNotHtm},
      {"none.txt", false, kNotHtm},  // the extension is tested first
      {"none.xhtml", false, kMissing},
  };
  const std::filesystem::path cwd = std::filesystem::current_path();
  for (const auto& c : kCases) {
    FakeView view;
    std::string box = dir.Path(c.name);
    EXPECT_EQ(ValidateInputFile(box, view, true), c.ok) << c.name;
    EXPECT_EQ(view.BoxesText(), c.boxes) << c.name;
    EXPECT_EQ(box, dir.Path(c.name)) << c.name;
    // During start-up nothing is shown: a bad name empties the box, and
    // the folder of a missing file becomes the working folder.
    FakeView quiet;
    std::string startup_box = box;
    EXPECT_EQ(ValidateInputFile(startup_box, quiet, false), c.ok) << c.name;
    EXPECT_EQ(quiet.BoxesText(), "") << c.name;
    EXPECT_EQ(startup_box, c.ok ? box : "") << c.name;
    EXPECT_EQ(std::filesystem::equivalent(".", dir.path()), c.boxes == kMissing)
        << c.name;
    std::filesystem::current_path(cwd);
  }
}

// alpha twice (2 × 3 = 6), beta once: at threshold 2 only alpha is left.
const char kPageA[] = "<p>alpha alpha beta</p>";
const char kListA[] = "Rank Value Frequency\r\n   1   100    2 alpha\r\n";

TEST(AnalysisTest, CachedAnalysisIsUsedUntilItGoesStale) {
  PageFolder dir;
  ASSERT_TRUE(dir.Write("page.htm", kPageA));
  Analysis analysis(NoCommonWords());
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
  EXPECT_EQ(view.word_count_label(),
            "Number of words found satisfying above conditions: 1");
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
}

TEST(AnalysisTest, FailuresShowTheirMessage) {
  PageFolder dir;
  // 122 text bytes, then a non-text byte at position 123.
  ASSERT_TRUE(dir.Write("binary.htm", std::string(122, 'a') + '\x01'));
  ASSERT_TRUE(dir.Write("page.txt", kPageA));
  ASSERT_TRUE(dir.Write("page.htm", kPageA));
  const struct {
    std::string input;
    bool unreadable;  // the file system fails the read of the page
    std::string boxes;
    const char* output;  // the output box afterwards
  } kCases[] = {
      {"   ", false, "Error | Input file not specified. | exclamation | ok\n",
       "earlier"},
      {dir.Path("binary.htm"), false,
       "Not a text file | This file is not a text file.\r\n"
       "The byte at position 123\r\n"
       " is neither text nor whitespace. | information | ok\n",
       "earlier"},
      {dir.Path("none.htm") + " ", false, kMissing, "earlier"},
      {dir.Path("page.txt"), false, kNotHtm, "earlier"},
      // The page exists but cannot be read (whoever runs the test).
      {dir.Path("page.htm"), true,
       "Error | An error of an unknown kind has occurred. | exclamation | ok\n",
       ""},
  };
  for (const auto& c : kCases) {
    FaultyFileSystem fs;
    if (c.unreadable) fs.FailCall(FsOp::kReadFile, 1);
    Analysis analysis(NoCommonWords(), fs);
    FakeView view;
    view.PresetOutput("earlier");
    std::string box = c.input;
    analysis.DoIt(false, box, view);
    EXPECT_EQ(box, TrimBlanks(c.input)) << c.input;
    EXPECT_EQ(view.BoxesText(), c.boxes) << c.input;
    EXPECT_FALSE(analysis.AnalysisCurrent()) << c.input;
    EXPECT_EQ(view.output(), c.output) << c.input;
    EXPECT_EQ(view.scans_started(), view.scans_ended()) << c.input;
  }
}

TEST(AnalysisTest, UnreadablePageGivesReadError) {
  PageFolder dir;
  ASSERT_TRUE(dir.Write("page.htm", kPageA));
  FaultyFileSystem fs;
  Analysis analysis(NoCommonWords(), fs);
  FakeView view;
  std::int64_t position = 0;
  EXPECT_EQ(analysis.DoFile(dir.Path("page.htm"), {}, view, &position),
            DocumentStatus::kScanned);
  EXPECT_EQ(analysis.last_file_size(), 23);
  fs.FailCall(FsOp::kReadFile, 1);
  EXPECT_EQ(analysis.DoFile(dir.Path("page.htm"), {}, view, &position),
            DocumentStatus::kReadError);
  EXPECT_EQ(analysis.last_file_size(), -1);
  EXPECT_EQ(analysis.table().WordCount(), 0u);
}

}  // namespace
}  // namespace vorn
