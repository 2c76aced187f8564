// The application's toolkit-free rules: twips, where the windows go,
// accelerators, bringing a long text box up to date, and the licences that
// About shows.
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
  // Rounded, not cut.
  EXPECT_EQ(TwipsToPixels(23, 96), 2);
  EXPECT_EQ(PixelsToTwips(1, 97), 15);
  EXPECT_EQ(PixelsToTwips(10, 0), 0);

  EXPECT_EQ(LargeWindowPlacement(false, 6001, 12000),
            (VerticalPlacement{2999, 6001}));
  EXPECT_EQ(LargeWindowPlacement(true, 6000, 12000),
            (VerticalPlacement{300, 10800}));
  // The inspect dialog leaves the word count, the progress and the output
  // box below it in view; the report leaves the input rows, Stop and the
  // output box in view, beside the window where there is room.
  const TwipsRect main{500, 1000, 9000, 7000};
  const TwipsRect own{0, 0, 4000, 3000};
  auto parameters = [&](bool minimised) {
    return ParametersWindowPlacement(main, minimised, own, 15000, 12000);
  };
  const TwipsRect big{500, 1000, 12000, 9000};
  auto dialog = [&](int keep_clear_top) {
    return InspectDialogPlacement(big, 600, keep_clear_top, 2500);
  };
  auto report = [&](int screen_left, int screen_width, int band_bottom) {
    return ReportWindowPlacement(big, {screen_left, 0, screen_width, 11520},
                                 1500, band_bottom);
  };
  const MainWindowSizes sizes{{100, 200, 8000, 5000}, 12000, 9000, 9000, 6000};
  const struct {
    const char* what;
    TwipsRect placed, wanted;
  } kPlaces[] = {
      {"help", HelpWindowPlacement(main), {700, 1480, 8600, 6320}},
      {"parameters", parameters(false), {5400, 4900, 4000, 3000}},
      {"parameters, minimised", parameters(true), {5500, 4500, 4000, 3000}},
      {"dialog with room", dialog(5000), {500, 1930, 12000, 4070}},
      {"dialog reaching up", dialog(3000), {500, 1500, 12000, 2500}},
      {"dialog, then down", dialog(2000), {500, 1000, 12000, 2500}},
      {"report right", report(0, 28800, 5000), {12500, 1000, 12000, 9000}},
      {"report narrower", report(0, 20490, 5000), {12500, 1000, 7990, 9000}},
      {"report left", report(-7000, 20500, 5000), {-7000, 1000, 7500, 9000}},
      {"report over", report(0, 14400, 5000), {500, 2500, 12000, 3500}},
      {"report, low band", report(0, 14400, 2500), {500, 2500, 12000, 3000}},
      // Moved onto a smaller screen, never below its least size, the title
      // bar on the screen.
      {"main window at start",
       MainWindowPlace({{{3000, 2000, 15000, 10000}, false}}, sizes).area,
       {100, 200, 9000, 6000}},
  };
  for (const auto& k : kPlaces) EXPECT_EQ(k.placed, k.wanted) << k.what;
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
      {"Quit", "Z", "Quit"}};
  for (const auto& k : kAccelerators)
    EXPECT_EQ(AcceleratedCaption(k.caption, k.letters), k.shown) << k.caption;
  const std::pair<const char*, const char*> kFilters[] = {
      {"HTML files (*.htm, *.html) | *.htm;*.html",
       "HTML files (*.htm *.html)"},
      {" Pages (new) x |*.htm ", "Pages (new) x (*.htm)"},
      {"All files", "All files"}};
  for (const auto& [entry, filter] : kFilters)
    EXPECT_EQ(DialogFilter(entry), filter) << entry;
}

// What to remove from the end of the text shown and what to append: a log
// line loses its "now processing" note and gets its result; a CR LF counts
// as one character and is never split; in UTF-8 the cut falls between
// characters (é is C3 A9, è C3 A8), and a character beyond the Basic
// Multilingual Plane takes two.
TEST(TextSyncTest, OnlyTheEndChanges) {
  const struct {
    const char* shown;
    const char* wanted;
    const char* edit;
  } kCases[] = {{"", "abc", "0 abc"},

                {"abc", "", "3 "},

                {"File: a.htm  Now processing ...",
                 "File: a.htm  ---  Done already.", "18 ---  Done already."},
                {"x\r\ny\r\n", "x\r\n", "2 "},
                {"a\r", "a\r\nb", "1 \r\nb"},
                {"a\r\nb", "a\rx", "2 \rx"},
                {"caf\xC3\xA9", "caf\xC3\xA8", "1 \xC3\xA8"},
                {"a\xF0\x9F\x98\x80\xD0\x96", "a", "3 "}};
  for (const auto& k : kCases) {
    const TailEdit e = TailEditBetween(k.shown, k.wanted);
    EXPECT_EQ(std::to_string(e.remove) + " " + std::string(e.append), k.edit)
        << k.shown << " -> " << k.wanted;
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
  const std::string wide =
      "\xD0\xB0\xD0\xB1\xD0\xB2\xD0\xB3\xD0\xB4 \xD0\xB5 \xF0\x9F\x98\x80";
  echo.Reset("");
  EXPECT_EQ(echo.Wrap(wide + "bcdefghijk l", 0), wide + "bcdefghijk\nl");
  EXPECT_EQ(echo.breaks(), (std::vector<std::size_t>{20}));
}

// Every licence file beside the program is shown whole, under its name.
TEST(HelpTextTest, AboutShowsEveryLicenceFile) {
  const std::string about = AboutText("1.2.3", VORN_DATA_DIR);
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
}

}  // namespace
}  // namespace vorn
