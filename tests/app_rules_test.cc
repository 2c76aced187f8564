// The application's toolkit-free rules: twips, where the windows go, the
// inspect dialog's answers, accelerators, bringing a long text box up to
// date, and the help and About texts.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "app/help_text.h"
#include "app/text_sync.h"
#include "app/window_rules.h"

namespace vorn {

void PrintTo(const TwipsRect& r, std::ostream* os) {
  *os << "{" << r.left << ", " << r.top << ", " << r.width << ", " << r.height
      << "}";
}

namespace {

TEST(WindowRulesTest, TwipsAndPlacements) {
  const struct {
    int twips;
    double dpi;
    int pixels;
  } kTwips[] = {{1440, 96, 96}, {2115, 96, 141}, {7500, 144, 750}, {0, 96, 0}};
  for (const auto& k : kTwips) {
    EXPECT_EQ(TwipsToPixels(k.twips, k.dpi), k.pixels) << k.twips;
    EXPECT_EQ(PixelsToTwips(k.pixels, k.dpi), k.twips) << k.twips;
  }
  EXPECT_EQ(PixelsToTwips(1, 96), 15);  // rounded, not cut
  EXPECT_EQ(TwipsToPixels(22, 96), 1);
  EXPECT_EQ(PixelsToTwips(10, 0), 0);

  EXPECT_EQ(LargeWindowPlacement(false, 6001, 12000),
            (VerticalPlacement{2999, 6001}));
  EXPECT_EQ(LargeWindowPlacement(true, 6000, 12000),
            (VerticalPlacement{300, 10800}));
  const TwipsRect main{500, 1000, 9000, 7000};
  EXPECT_EQ(HelpWindowPlacement(main), (TwipsRect{700, 1480, 8600, 6320}));
  const TwipsRect own{0, 0, 4000, 3000};
  EXPECT_EQ(ParametersWindowPlacement(main, false, own, 15000, 12000),
            (TwipsRect{5400, 4900, 4000, 3000}));
  EXPECT_EQ(ParametersWindowPlacement(main, true, own, 15000, 12000),
            (TwipsRect{5500, 4500, 4000, 3000}));
}

// The inspect dialog leaves the word count, the progress and the output
// box below it in view; the report leaves the input rows, Stop and the
// output box in view.
TEST(WindowRulesTest, DialogAndReportLeaveTheMainControlsInView) {
  const TwipsRect main{500, 1000, 12000, 9000};
  const struct {
    const char* what;
    int keep_clear_top, min_height;
    TwipsRect dialog;
  } kDialog[] = {
      {"room enough", 5000, 2500, {500, 1930, 12000, 4070}},
      {"reaches up", 3000, 2500, {500, 1500, 12000, 2500}},
      {"and then down", 2000, 2500, {500, 1000, 12000, 2500}},
  };
  for (const auto& k : kDialog) {
    EXPECT_EQ(InspectDialogPlacement(main, 600, k.keep_clear_top, k.min_height),
              k.dialog)
        << k.what;
  }
  const struct {
    const char* what;
    TwipsRect screen;
    TwipsRect report;
  } kReport[] = {
      {"right of it", {0, 0, 28800, 16200}, {12500, 1000, 12000, 9000}},
      {"right, narrower", {0, 0, 20490, 11520}, {12500, 1000, 7990, 9000}},
      {"left of it", {-8000, 0, 20500, 11520}, {-8000, 1000, 8500, 9000}},
      {"over the settings", {0, 0, 14400, 8100}, {500, 2500, 12000, 3500}},
  };
  for (const auto& k : kReport) {
    EXPECT_EQ(ReportWindowPlacement(main, k.screen, 1500, 5000), k.report)
        << k.what;
  }
  // A band lower than the report's least height: it reaches further down.
  EXPECT_EQ(ReportWindowPlacement(main, {0, 0, 14400, 8100}, 1500, 2500),
            (TwipsRect{500, 2500, 12000, kReportMinHeight}));
  // The main window at start: moved onto a smaller screen, never below its
  // least size, the title bar on the screen.
  const MainWindowSizes sizes{{100, 200, 8000, 5000}, 12000, 9000, 9000, 6000};
  EXPECT_EQ(MainWindowPlace({{{3000, 2000, 15000, 10000}, false}}, sizes).area,
            (TwipsRect{100, 200, 9000, 6000}));
}

TEST(WindowRulesTest, AcceleratorsAndFilters) {
  const struct {
    const char* caption;
    const char* letters;
    const char* shown;
  } kAccelerators[] = {
      {"List words", "LS", "&List words"},
      {"Stop", "LS", "&Stop"},
      {"Set operation parameters", "xP", "Set o&peration parameters"},
      {"Save & quit", "q", "Save && &quit"},
      {"Quit", "Z", "Quit"},
  };
  for (const auto& k : kAccelerators)
    EXPECT_EQ(AcceleratedCaption(k.caption, k.letters), k.shown) << k.caption;

  const struct {
    const char* entry;
    const char* filter;
  } kFilters[] = {
      {"HTML files (*.htm, *.html) | *.htm;*.html",
       "HTML files (*.htm *.html)"},
      {" Pages (new) x |*.htm ", "Pages (new) x (*.htm)"},
      {"All files", "All files"},
  };
  for (const auto& k : kFilters)
    EXPECT_EQ(DialogFilter(k.entry), k.filter) << k.entry;
}

TEST(TextSyncTest, OnlyTheEndChanges) {
  const struct {
    const char* shown;
    const char* wanted;
    std::size_t remove;
    const char* append;
  } kCases[] = {
      {"", "abc", 0, "abc"},
      {"abc", "abc", 0, ""},
      {"abc", "", 3, ""},
      {"abc", "xbc", 3, "xbc"},
      // A log line loses its "now processing" note and gets its result.
      {"File: a.htm  Now processing ...", "File: a.htm  ---  Done already.", 18,
       "---  Done already."},
      // A CR LF counts as one character and is never split.
      {"x\r\ny\r\n", "x\r\n", 2, ""},
      {"a\r", "a\r\nb", 1, "\r\nb"},
      {"a\r\nb", "a\rx", 2, "\rx"},
      // UTF-8: the cut falls between characters (é is C3 A9, è C3 A8);
      // a character beyond the Basic Multilingual Plane takes two.
      {"caf\xC3\xA9", "caf\xC3\xA8", 1, "\xC3\xA8"},
      {"a\xF0\x9F\x98\x80\xD0\x96", "a", 3, ""},
  };
  for (const auto& k : kCases) {
    const TailEdit e = TailEditBetween(k.shown, k.wanted);
    EXPECT_EQ(e.remove, k.remove) << k.shown << " -> " << k.wanted;
    EXPECT_EQ(e.append, k.append) << k.shown << " -> " << k.wanted;
  }
}

TEST(TextSyncTest, WordsAreShownOnShortLines) {
  EchoLines echo(10);
  echo.Reset("");
  std::string shown;  // words one at a time, as a scan sends them
  for (const char* word : {"alpha ", "beta ", "gamma ", "delta "})
    shown += echo.Wrap(word, shown.size());
  EXPECT_EQ(shown, "alpha beta\ngamma delta\n");
  EXPECT_EQ(echo.breaks(), (std::vector<std::size_t>{10, 22}));
  // A line break of the text starts a new line; CR LF counts once.
  echo.Reset("x");
  EXPECT_EQ(echo.Wrap("\r\nabcdefghij k l", 1), "\r\nabcdefghij\nk l");
  EXPECT_EQ(echo.breaks(), (std::vector<std::size_t>{12}));
  echo.Reset("first line\r\n0123456789");  // the last line is long already
  EXPECT_EQ(echo.Wrap(" next ", 22), "\nnext ");
  // Characters, not bytes, fill a line and count positions.
  echo.Reset("");
  EXPECT_EQ(echo.Wrap("\xD0\xB0\xD0\xB1\xD0\xB2\xD0\xB3\xD0\xB4 \xD0\xB5 "
                      "\xF0\x9F\x98\x80"
                      "bcdefghijk l",
                      0),
            "\xD0\xB0\xD0\xB1\xD0\xB2\xD0\xB3\xD0\xB4 \xD0\xB5 "
            "\xF0\x9F\x98\x80"
            "bcdefghijk\nl");
  EXPECT_EQ(echo.breaks(), (std::vector<std::size_t>{20}));
  echo.Forget();
  EXPECT_TRUE(echo.breaks().empty());
}

TEST(HelpTextTest, ParagraphsCoverTheTopicsInOrder) {
  const std::string text = HelpText();
  EXPECT_EQ(text.find("\n\n"), std::string::npos);  // CR LF only
  EXPECT_EQ(text.find("\r\r"), std::string::npos);
  EXPECT_EQ(text.find("\r\n\r\n\r\n"), std::string::npos);
  const char* const kTopics[] = {
      "user manual",
      "\r\n\r\nVORN counts how often",
      "\r\n  - div and span blocks: <div> ... </div>, <span> ... </span>",
      "Nesting is not counted",
      "5 x (7 - level)",
      "extension containing 'htm'",
      "Maximum number of bytes",
      "\r\n\r\n\"List words\"",
      "\r\n\r\nMultiple files",
      "\r\n  <meta name=\"VORN done\" content=\"2008-01-31\">\r\n",
      "report window",
      "limited only by the memory",
  };
  std::size_t at = 0;
  for (const char* topic : kTopics) {
    at = text.find(topic, at);
    ASSERT_NE(at, std::string::npos) << "missing or out of order: " << topic;
  }
  EXPECT_EQ(HelpCaption("VORN"), "VORN Help");
}

// Every licence file beside the program is shown whole, under its name.
TEST(HelpTextTest, AboutShowsEveryLicenceFile) {
  const std::string about = AboutText("1.2.3", VORN_DATA_DIR);
  EXPECT_TRUE(about.starts_with("VORN 1.2.3\n")) << about;
  int licences = 0;
  for (const auto& entry : std::filesystem::directory_iterator(VORN_DATA_DIR)) {
    const std::string name = entry.path().filename().string();
    if (!name.starts_with("LICENSE")) continue;
    std::stringstream text;
    text << std::ifstream(entry.path()).rdbuf();
    EXPECT_NE(about.find("=== " + name + " ===\n\n" + text.str()),
              std::string::npos)
        << name;
    ++licences;
  }
  EXPECT_GE(licences, 1);
  EXPECT_TRUE(
      AboutText("1", "/").ends_with("No licence files were found in /.\n"));
}

}  // namespace
}  // namespace vorn
