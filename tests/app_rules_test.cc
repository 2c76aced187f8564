// The application's toolkit-free rules: window placement in twips, the
// report's copy button, the inspect dialog's boxes, bringing a long text
// box up to date, the help text and the shipped program texts.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "app/help_text.h"
#include "app/program_text.h"
#include "app/text_sync.h"
#include "app/window_rules.h"

namespace vorn {
namespace {

TEST(TwipsTest, ConvertAtTheLogicalResolution) {
  const struct {
    int twips;
    double dpi;
    int pixels;
  } kCases[] = {
      {1440, 96, 96},  {2115, 96, 141},  {3165, 96, 211},  {7500, 96, 500},
      {3000, 96, 200}, {1440, 120, 120}, {7500, 144, 750}, {0, 96, 0},
  };
  for (const auto& k : kCases) {
    EXPECT_EQ(TwipsToPixels(k.twips, k.dpi), k.pixels)
        << k.twips << "@" << k.dpi;
    EXPECT_EQ(PixelsToTwips(k.pixels, k.dpi), k.twips)
        << k.pixels << "@" << k.dpi;
  }
  EXPECT_EQ(PixelsToTwips(1, 96), 15);
  EXPECT_EQ(PixelsToTwips(10, 0), 0);
}

TEST(WindowRulesTest, LargeWindowToggle) {
  // Cleared: the design height, centred; set: top 300, 90% of the screen.
  EXPECT_EQ(LargeWindowPlacement(false, 6000, 12000),
            (VerticalPlacement{3000, 6000}));
  EXPECT_EQ(LargeWindowPlacement(true, 6000, 12000),
            (VerticalPlacement{300, 10800}));
  EXPECT_EQ(LargeWindowPlacement(false, 6001, 12000),
            (VerticalPlacement{2999, 6001}));
}

TEST(WindowRulesTest, SecondaryWindowsAroundTheMainWindow) {
  const TwipsRect main{500, 1000, 9000, 7000};
  EXPECT_EQ(HelpWindowPlacement(main), (TwipsRect{700, 1480, 8600, 6320}));
  EXPECT_EQ(InspectDialogPlacement(main, 600, 2500),
            (TwipsRect{500, 1930, 9000, 2500}));
  // Parameters: 100 in from the main window's lower right corner, or
  // centred on the screen while the main window is minimised.
  const TwipsRect own{0, 0, 4000, 3000};
  EXPECT_EQ(ParametersWindowPlacement(main, false, own, 15000, 12000),
            (TwipsRect{5400, 4900, 4000, 3000}));
  EXPECT_EQ(ParametersWindowPlacement(main, true, own, 15000, 12000),
            (TwipsRect{5500, 4500, 4000, 3000}));
}

TEST(WindowRulesTest, CopyButtonFollowsTheSelection) {
  EXPECT_EQ(CopyButtonFor(false).caption, "Copy to clipboard");
  EXPECT_EQ(CopyButtonFor(false).width, 2115);
  EXPECT_EQ(CopyButtonFor(true).caption, "Copy selected text to clipboard");
  EXPECT_EQ(CopyButtonFor(true).width, 3165);
  EXPECT_EQ(kReportMinWidth, 7500);
  EXPECT_EQ(kReportMinHeight, 3000);
}

TEST(WindowRulesTest, InspectDialogBoxes) {
  for (const bool add_done : {true, false}) {
    InspectRequest request;
    request.insert_done = add_done;
    const InspectBoxes start = InspectStartBoxes(request);
    EXPECT_TRUE(start.insert);
    EXPECT_EQ(start.insert_done, add_done);
    EXPECT_FALSE(start.stop);
  }
  const InspectAnswer go = ContinueAnswer({false, true, true}, "edited");
  EXPECT_FALSE(go.insert);
  EXPECT_TRUE(go.insert_done);
  EXPECT_TRUE(go.stop);
  EXPECT_EQ(go.tag, "edited");
  // The close box: not inserted and stopped; the done box as it stood.
  const InspectAnswer closed = CloseBoxAnswer({true, true, false}, "t");
  EXPECT_FALSE(closed.insert);
  EXPECT_TRUE(closed.stop);
  EXPECT_TRUE(closed.insert_done);
  EXPECT_EQ(closed.tag, "t");
  EXPECT_FALSE(CloseBoxAnswer({true, false, false}, "t").insert_done);
  EXPECT_EQ(std::string(kEditMetaTagInstructions),
            "The existing keywords meta tag (if any) is shown in the bottom "
            "window.\r\nYou can edit the new meta tag in the top window. When "
            "done click on one of the buttons below.");
}

TEST(TailEditTest, OnlyTheEndChanges) {
  const struct {
    const char* shown;
    const char* wanted;
    std::size_t remove;
    const char* append;
  } kCases[] = {
      {"", "abc", 0, "abc"},
      {"abc", "abcdef", 0, "def"},
      {"abc", "abc", 0, ""},
      {"abc", "", 3, ""},
      // A log line loses its "now processing" note and gets its result.
      {"File: a.htm  Now processing ...", "File: a.htm  ---  Done already.", 18,
       "---  Done already."},
      {"a\r\nb", "a\r\nc", 1, "c"},
      // A CR LF counts as one character and is never split.
      {"x\r\ny\r\n", "x\r\n", 2, ""},
      {"a\r", "a\r\nb", 1, "\r\nb"},
      {"a\r\nb", "a\rx", 2, "\rx"},
      {"abc", "xbc", 3, "xbc"},
  };
  for (const auto& k : kCases) {
    const TailEdit e = TailEditBetween(k.shown, k.wanted);
    EXPECT_EQ(e.remove, k.remove) << k.shown << " -> " << k.wanted;
    EXPECT_EQ(e.append, k.append) << k.shown << " -> " << k.wanted;
  }
}

TEST(EchoLinesTest, LongRunsOfWordsAreShownOnShortLines) {
  EchoLines echo(10);
  echo.Reset("");
  // "alpha beta gamma delta " one word at a time, as a scan sends them.
  std::string shown;
  for (const char* word : {"alpha ", "beta ", "gamma ", "delta "})
    shown += echo.Wrap(word, shown.size());
  // The blank after "beta" ends a line of 10 characters.
  EXPECT_EQ(shown, "alpha beta\ngamma delta\n");
  EXPECT_EQ(echo.breaks(), (std::vector<std::size_t>{10, 22}));
  // A line break of the text starts a new line; CR LF counts once.
  echo.Reset("x");
  EXPECT_EQ(echo.Wrap("\r\nabcdefghij k l", 1), "\r\nabcdefghij\nk l");
  EXPECT_EQ(echo.breaks(), (std::vector<std::size_t>{12}));
  // After a text whose last line is already long, the next blank breaks.
  echo.Reset("first line\r\n0123456789");
  EXPECT_EQ(echo.Wrap(" next ", 22), "\nnext ");
  echo.Forget();
  EXPECT_TRUE(echo.breaks().empty());
}

std::vector<std::string> Paragraphs(const std::string& text) {
  std::vector<std::string> out;
  std::size_t start = 0;
  for (;;) {
    const std::size_t end = text.find("\r\n\r\n", start);
    out.push_back(text.substr(start, end - start));
    if (end == std::string::npos) return out;
    start = end + 4;
  }
}

TEST(HelpTextTest, ParagraphsCoverTheTopicsInOrder) {
  const std::string text = HelpText();
  for (const std::string& p : Paragraphs(text)) {
    EXPECT_FALSE(p.empty());
    EXPECT_EQ(p.find("\r\n\r\n"), std::string::npos);
    EXPECT_NE(p.front(), '\n') << p;
  }
  // Line breaks are CR LF only.
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (text[i] == '\n') {
      EXPECT_EQ(text[i - 1], '\r') << i;
    }
    if (text[i] == '\r') {
      EXPECT_EQ(text[i + 1], '\n') << i;
    }
  }
  const char* const kTopics[] = {
      "user manual",
      "counts how often",
      "<div> ... </div>, <span> ... </span>",
      "Nesting is not counted",
      "5 x (7 - level)",
      "extension containing 'htm'",
      "Maximum number of bytes",
      "\"List words\"",
      "Multiple files",
      "<meta name=\"VORN done\" content=\"2008-01-31\">",
      "report window",
      "limited only by the memory",
  };
  std::size_t at = 0;
  for (const char* topic : kTopics) {
    const std::size_t found = text.find(topic, at);
    EXPECT_NE(found, std::string::npos) << "missing or out of order: " << topic;
    if (found != std::string::npos) at = found;
  }
  EXPECT_EQ(HelpCaption("VORN"), "VORN Help");
}

TEST(ProgramTextFileTest, ShipsEveryTextTheProgramUses) {
  ProgramText texts;
  const std::string path = std::string(VORN_DATA_DIR) + "/vorn_text.dat";
  ASSERT_GT(texts.LoadFile(path), 0) << path;
  for (const int n : {1, 3, 5, 6, 7, 8, 9, 10, 11, 13, 15, 18, 19, 20, 21})
    EXPECT_FALSE(texts.GetText(n).empty()) << n;
  for (const int n : {2, 4, 12, 14, 16, 17, 22})
    EXPECT_EQ(texts.GetText(n), "") << n;
  EXPECT_EQ(texts.GetText(1), "VORN");
  EXPECT_EQ(texts.GetText(15), "manual.html");
  EXPECT_EQ(texts.GetText(21), "Save state");
  EXPECT_EQ(texts.GetText(8), "Input file not specified.");
  EXPECT_EQ(texts.GetText(5), "Backup?");
}

}  // namespace
}  // namespace vorn
