// The application's toolkit-free rules: twips, where the secondary windows
// go, bringing a long text box up to date, and the help text.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "app/help_text.h"
#include "app/text_sync.h"
#include "app/window_rules.h"

namespace vorn {
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
  EXPECT_EQ(InspectDialogPlacement(main, 600, 2500),
            (TwipsRect{500, 1930, 9000, 2500}));
  const TwipsRect own{0, 0, 4000, 3000};
  EXPECT_EQ(ParametersWindowPlacement(main, false, own, 15000, 12000),
            (TwipsRect{5400, 4900, 4000, 3000}));
  EXPECT_EQ(ParametersWindowPlacement(main, true, own, 15000, 12000),
            (TwipsRect{5500, 4500, 4000, 3000}));
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

}  // namespace
}  // namespace vorn
