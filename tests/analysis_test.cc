// The single-file run: input-file checks and their messages, the cached
// analysis, and what the output box shows after each press.
#include "engine/analysis.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>
#include <fstream>
#include <string>

#include "engine/common_words.h"
#include "engine/settings.h"
#include "tests/support/fake_view.h"

namespace vorn {
namespace {

// A fresh folder, removed with its files at the end of the test.
class TempDir {
 public:
  TempDir() {
    std::string pattern = ::testing::TempDir() + "vorn_analysis_XXXXXX";
    if (::mkdtemp(pattern.data()) != nullptr) path_ = pattern;
    EXPECT_FALSE(path_.empty()) << "cannot create " << pattern;
  }
  ~TempDir() {
    if (!path_.empty()) {
      EXPECT_EQ(std::system(("rm -rf '" + path_ + "'").c_str()), 0);
    }
  }
  const std::string& path() const { return path_; }
  std::string File(const std::string& name) const { return path_ + "/" + name; }

 private:
  std::string path_;
};

void WriteFile(const std::string& path, const std::string& bytes) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out << bytes;
  ASSERT_TRUE(out.good()) << path;
}

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
  TempDir dir;
  WriteFile(dir.File("page.htm"), "<p>text</p>");
  WriteFile(dir.File("page.SHTML"), "<p>text</p>");
  WriteFile(dir.File("page.xhtml"), "<p>text</p>");
  WriteFile(dir.File("page.txt"), "text");
  ASSERT_EQ(::mkdir(dir.File("web.site").c_str(), 0755), 0);
  WriteFile(dir.File("web.site/page"), "<p>text</p>");
  const struct {
    const char* name;
    std::string path;
    bool ok;
    std::string boxes;
  } kCases[] = {
      {"htm", dir.File("page.htm"), true, ""},
      {"SHTML passes", dir.File("page.SHTML"), true, ""},
      {"xhtml", dir.File("page.xhtml"), true, ""},
      {"no dot", dir.File("page"), false, kInvalid},
      {"dot only in a folder name", dir.File("web.site/page"), false, kInvalid},
      {"txt", dir.File("page.txt"), false, kNotHtm},
      // The extension is tested before the file's existence.
      {"missing txt", dir.File("none.txt"), false, kNotHtm},
      {"missing SHTML passes the extension", dir.File("none.SHTML"), false,
       kMissing},
      {"missing htm", dir.File("none.htm"), false, kMissing},
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

TEST(AnalysisTest, ListsAndTags) {
  TempDir dir;
  WriteFile(dir.File("page.htm"), kPageA);
  Analysis analysis(NoCommonWords());
  FakeView view;
  std::string box = "  " + dir.File("page.htm") + "  ";
  analysis.DoIt(false, box, view);
  EXPECT_EQ(box, dir.File("page.htm"));  // trimmed and written back
  EXPECT_EQ(view.output(), kListA);
  EXPECT_EQ(view.word_count_label(),
            "Number of words found satisfying above conditions: 1");
  EXPECT_TRUE(analysis.AnalysisCurrent());
  EXPECT_EQ(view.BoxesText(), "");
  EXPECT_EQ(view.scans_started(), view.scans_ended());

  // From the cache: 31 + 5 = 36 bytes.
  analysis.DoIt(true, box, view);
  EXPECT_EQ(view.output(),
            "<meta name=\"keywords\" content=\"alpha\">\r\n\r\n"
            "Number of keywords in meta tag: 1\r\n"
            "Number of bytes in meta tag: 36");
}

TEST(AnalysisTest, CachedAnalysisIsUsedUntilItGoesStale) {
  TempDir dir;
  const std::string page = dir.File("page.htm");
  WriteFile(page, kPageA);
  Analysis analysis(NoCommonWords());
  FakeView view;
  std::string box = page;
  analysis.DoIt(false, box, view);
  ASSERT_EQ(view.output(), kListA);
  const int scans = view.scans_started();
  EXPECT_GE(scans, 1);

  // The file changes, but the second press lists without reading it.
  WriteFile(page, kPageB);
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
  WriteFile(page, kPageA);
  analysis.Invalidate();
  analysis.DoIt(false, box, view);
  EXPECT_EQ(view.output(), kListA);
  EXPECT_EQ(view.BoxesText(), "");
}

TEST(AnalysisTest, StoppedScanLeavesTheAnalysisStale) {
  TempDir dir;
  WriteFile(dir.File("page.htm"), kPageA);
  Analysis analysis(NoCommonWords());
  FakeView view;
  std::string box = dir.File("page.htm");
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
  TempDir dir;
  // 122 text bytes, then a non-text byte at position 123.
  WriteFile(dir.File("binary.htm"), std::string(122, 'a') + '\x01');
  WriteFile(dir.File("page.txt"), kPageA);
  const struct {
    const char* name;
    std::string input;
    std::string written_back;
    std::string boxes;
  } kCases[] = {
      {"empty box", "   ", "",
       "Error | Input file not specified. | exclamation | ok\n"},
      {"not a text file", dir.File("binary.htm"), dir.File("binary.htm"),
       "Not a text file | This file is not a text file.\r\n"
       "The byte at position 123\r\n"
       " is neither text nor whitespace. | information | ok\n"},
      {"missing", dir.File("none.htm") + " ", dir.File("none.htm"), kMissing},
      {"not htm", dir.File("page.txt"), dir.File("page.txt"), kNotHtm},
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
