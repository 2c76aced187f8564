// The single-file run: input-file checks and their messages, the cached
// analysis, and what the output box shows after each press.
#include "engine/analysis.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <string>

#include "engine/common_words.h"
#include "engine/settings.h"
#include "tests/support/fake_view.h"
#include "tests/support/page_folder.h"

namespace vorn {
namespace {

const CommonWordsTable& NoCommonWords() {
  static const CommonWordsTable* const table = new CommonWordsTable;
  return *table;
}

// Restores the working folder, which start-up validation may change.
class KeepWorkingFolder {
 public:
  KeepWorkingFolder() {
    char buf[4096];
    if (::getcwd(buf, sizeof buf) != nullptr) cwd_ = buf;
  }
  ~KeepWorkingFolder() {
    if (!cwd_.empty()) {
      EXPECT_EQ(::chdir(cwd_.c_str()), 0);
    }
  }

 private:
  std::string cwd_;
};

const char kInvalid[] =
    "Invalid input | Invalid input file specification | exclamation | ok\n";
const char kNotHtm[] =
    "Invalid input | Input file name must have an extension containing "
    "'htm'. | none | ok\n";
const char kMissing[] =
    "File not found | Input file does not exist. | exclamation | ok\n";

TEST(AnalysisTest, ValidateInputFile) {
  PageFolder dir;
  ASSERT_TRUE(dir.Write("page.htm", "<p>text</p>"));
  ASSERT_TRUE(dir.Write("page.SHTML", "<p>text</p>"));
  ASSERT_TRUE(dir.Write("page.xhtml", "<p>text</p>"));
  ASSERT_TRUE(dir.Write("page.txt", "text"));
  ASSERT_TRUE(dir.Write("web.site/page", "<p>text</p>"));
  const struct {
    const char* name;
    std::string path;
    bool ok;
    std::string boxes;
  } kCases[] = {
      {"htm", dir.Path("page.htm"), true, ""},
      {"SHTML passes", dir.Path("page.SHTML"), true, ""},
      {"xhtml", dir.Path("page.xhtml"), true, ""},
      {"no dot", dir.Path("page"), false, kInvalid},
      {"dot only in a folder name", dir.Path("web.site/page"), false, kInvalid},
      {"txt", dir.Path("page.txt"), false, kNotHtm},
      // The extension is tested before the file's existence.
      {"missing txt", dir.Path("none.txt"), false, kNotHtm},
      {"missing SHTML passes the extension", dir.Path("none.SHTML"), false,
       kMissing},
      {"missing htm", dir.Path("none.htm"), false, kMissing},
  };
  for (const auto& c : kCases) {
    FakeView view;
    std::string box = c.path;
    EXPECT_EQ(ValidateInputFile(box, view, true), c.ok) << c.name;
    EXPECT_EQ(view.BoxesText(), c.boxes) << c.name;
    EXPECT_EQ(box, c.path) << c.name;

    // During start-up nothing is shown; a bad name empties the box.
    KeepWorkingFolder keep;
    FakeView quiet;
    std::string startup_box = c.path;
    EXPECT_EQ(ValidateInputFile(startup_box, quiet, false), c.ok) << c.name;
    EXPECT_EQ(quiet.BoxesText(), "") << c.name;
    EXPECT_EQ(startup_box, c.ok ? c.path : "") << c.name;
  }
}

// alpha twice (2 × 3 = 6), beta once: at threshold 2 only alpha is left.
const char kPageA[] = "<p>alpha alpha beta</p>";
const char kListA[] = "Rank Value Frequency\r\n   1   100    2 alpha\r\n";
// gamma twice.
const char kPageB[] = "<p>gamma gamma</p>";
const char kListB[] = "Rank Value Frequency\r\n   1   100    2 gamma\r\n";

TEST(AnalysisTest, CachedAnalysisIsUsedUntilItGoesStale) {
  PageFolder dir;
  ASSERT_TRUE(dir.Write("page.htm", kPageA));
  Analysis analysis(NoCommonWords());
  FakeView view;
  std::string box = "  " + dir.Path("page.htm") + "  ";
  analysis.DoIt(false, box, view);
  EXPECT_EQ(box, dir.Path("page.htm"));  // trimmed and written back
  ASSERT_EQ(view.output(), kListA);
  EXPECT_EQ(view.word_count_label(),
            "Number of words found satisfying above conditions: 1");
  EXPECT_TRUE(analysis.AnalysisCurrent());
  const int scans = view.scans_started();
  EXPECT_GE(scans, 1);

  // The tag comes from the cache: 31 + 5 = 36 bytes.
  analysis.DoIt(true, box, view);
  EXPECT_EQ(view.output(),
            "<meta name=\"keywords\" content=\"alpha\">\r\n\r\n"
            "Number of keywords in meta tag: 1\r\n"
            "Number of bytes in meta tag: 36");
  EXPECT_EQ(view.scans_started(), scans);

  // The file changes, but the second press lists without reading it.
  ASSERT_TRUE(dir.Write("page.htm", kPageB));
  analysis.DoIt(false, box, view);
  EXPECT_EQ(view.output(), kListA);
  EXPECT_EQ(view.scans_started(), scans);

  // A tag-shaping change keeps the cache.
  AnalysisSettings s = analysis.settings();
  s.SpaceAfterComma = true;
  analysis.UpdateSettings(s);
  EXPECT_TRUE(analysis.AnalysisCurrent());
  analysis.DoIt(false, box, view);
  EXPECT_EQ(view.output(), kListA);
  EXPECT_EQ(view.scans_started(), scans);

  // The minimum frequency affects the analysis: the file is read again,
  // and at threshold 3 gamma (twice) is gone.
  s.ThresholdFrequency = 3;
  analysis.UpdateSettings(s);
  EXPECT_FALSE(analysis.AnalysisCurrent());
  analysis.DoIt(false, box, view);
  EXPECT_GT(view.scans_started(), scans);
  EXPECT_EQ(view.output(),
            "No words with more than 2 letters occur at least 3 times.");

  // Invalidate forces a new read as well.
  s.ThresholdFrequency = 2;
  analysis.UpdateSettings(s);
  analysis.DoIt(false, box, view);
  EXPECT_EQ(view.output(), kListB);
  ASSERT_TRUE(dir.Write("page.htm", kPageA));
  analysis.Invalidate();
  analysis.DoIt(false, box, view);
  EXPECT_EQ(view.output(), kListA);
  EXPECT_EQ(view.BoxesText(), "");
}

TEST(AnalysisTest, StoppedScanLeavesTheAnalysisStale) {
  PageFolder dir;
  ASSERT_TRUE(dir.Write("page.htm", kPageA));
  Analysis analysis(NoCommonWords());
  FakeView view;
  std::string box = dir.Path("page.htm");
  view.StopAfterWords(1);
  analysis.DoIt(false, box, view);
  // Nothing is listed: the box keeps the words found and the stop note.
  EXPECT_EQ(view.output(), "alpha \r\n\r\nStopped with 1 word identified.");
  EXPECT_FALSE(analysis.AnalysisCurrent());
  EXPECT_EQ(view.BoxesText(), "");
  const int scans = view.scans_started();

  analysis.DoIt(false, box, view);
  EXPECT_GT(view.scans_started(), scans);
  EXPECT_EQ(view.output(), kListA);
  EXPECT_TRUE(analysis.AnalysisCurrent());
}

TEST(AnalysisTest, FailuresShowTheirMessage) {
  PageFolder dir;
  // 122 text bytes, then a non-text byte at position 123.
  ASSERT_TRUE(dir.Write("binary.htm", std::string(122, 'a') + '\x01'));
  ASSERT_TRUE(dir.Write("page.txt", kPageA));
  const struct {
    const char* name;
    std::string input;
    std::string written_back;
    std::string boxes;
  } kCases[] = {
      {"empty box", "   ", "",
       "Error | Input file not specified. | exclamation | ok\n"},
      {"not a text file", dir.Path("binary.htm"), dir.Path("binary.htm"),
       "Not a text file | This file is not a text file.\r\n"
       "The byte at position 123\r\n"
       " is neither text nor whitespace. | information | ok\n"},
      {"missing", dir.Path("none.htm") + " ", dir.Path("none.htm"), kMissing},
      {"not htm", dir.Path("page.txt"), dir.Path("page.txt"), kNotHtm},
  };
  for (const auto& c : kCases) {
    Analysis analysis(NoCommonWords());
    FakeView view;
    view.PresetOutput("earlier output");
    std::string box = c.input;
    analysis.DoIt(false, box, view);
    EXPECT_EQ(box, c.written_back) << c.name;
    EXPECT_EQ(view.BoxesText(), c.boxes) << c.name;
    EXPECT_FALSE(analysis.AnalysisCurrent()) << c.name;
    EXPECT_EQ(view.output(), "earlier output") << c.name;
    EXPECT_EQ(view.scans_started(), view.scans_ended()) << c.name;
  }
}

}  // namespace
}  // namespace vorn
