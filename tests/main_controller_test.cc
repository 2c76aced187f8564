// The application core behind the main window, driven through a scripted
// window and desktop: start-up, the modes, the enabling around scans and
// runs, Stop and Quit, the checks made on leaving a box, when the cached
// analysis goes stale, Insert, saving the state and the window's memory.
#include "app/main_controller.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <map>
#include <memory>
#include <sstream>
#include <string>

#include "app/state_file.h"
#include "tests/support/fake_main_window.h"

namespace vorn {
namespace {

namespace fs = std::filesystem;

std::string ReadFile(const std::string& path) {
  std::stringstream s;
  s << std::ifstream(path, std::ios::binary).rdbuf();
  return s.str();
}

// "garden", "tools" and "spade" occur often enough for the default settings.
constexpr const char* kPage =
    "<html>\r\n<head>\r\n<title>Garden tools</title>\r\n</head>\r\n<body>\r\n"
    "<p>garden tools spade garden tools spade garden</p>\r\n"
    "</body>\r\n</html>\r\n";

const char kAnotherUnavailable[] =
    "Common words not available | Common words in another language could "
    "not be read from file\r\n" VORN_DATA_DIR "/cmwds_xx.txt | exclamation\n";

// The caption of "List words" and the groups of commands that are on.
std::string On(const CommandState& k) {
  const std::pair<const char*, bool> kGroups[] = {
      {"ListWords", k.ListWords},
      {"Commands", k.Generate && k.ShowExisting && k.Insert && k.Reset &&
                       k.Help && k.ClearOutput && k.MaxNumKeywords},
      {"InputFile", k.InputFile && k.ClearInputFile && k.InputFileBox},
      {"Folder", k.Folder && k.ClearFolder && k.FolderBox},
      {"Modes", k.OptSingleFile && k.OptMultipleFiles},
      {"ReadOnly", k.InputFileReadOnly && k.FolderReadOnly},
      {"ViewReport", k.ViewReportVisible && k.ViewReport},
      {"Quit", k.Live},
      {"Menu", k.OpenPage && k.OpenFolder && k.SaveState},
      {"ListEntry", k.ListWordsEntry},
      {"StopEntry", k.Stop},
  };
  std::string s = k.ListWordsCaption + ":";
  for (const auto& [name, on] : kGroups)
    if (on) s += std::string(" ") + name;
  return s;
}
const std::string kSingleIdle =
    "List words: ListWords Commands InputFile Modes Quit Menu ListEntry";
const std::string kMultipleIdle =
    "Save state: ListWords Commands Folder Modes Quit Menu";
const std::string kMultipleAfter =  // a report to view
    "Save state: ListWords Commands Folder Modes ViewReport Quit Menu";

// The program folder is the data folder: program texts and every
// common-word list but the one for "Another". A temporary folder holds the
// state file and the pages.
class ControllerTest : public ::testing::Test {
 protected:
  void SetUp() override {
    std::string pattern = fs::temp_directory_path() / "vorn_app_XXXXXX";
    ASSERT_NE(::mkdtemp(pattern.data()), nullptr);
    dir_ = pattern;
  }
  void TearDown() override {
    fs::current_path(cwd_);  // a scan makes the page's folder current
    fs::remove_all(dir_);
    EXPECT_TRUE(platform_.unscripted.empty()) << platform_.unscripted[0];
  }

  std::string File(const std::string& name) const { return dir_ + "/" + name; }
  std::string StatePath() const { return File("vorn.usr"); }
  std::string Page(const std::string& name = "page.htm") {
    fs::create_directories(fs::path(File(name)).parent_path());
    std::ofstream(File(name), std::ios::binary) << kPage;
    return File(name);
  }

  // A fresh window, desktop and controller, started.
  MainController& Start(const std::string& state_path = "") {
    c_.reset();
    window_ = FakeMainWindow();
    platform_ = FakePlatform();
    c_ = std::make_unique<MainController>(
        window_, platform_,
        ControllerPaths{VORN_DATA_DIR,
                        state_path.empty() ? StatePath() : state_path});
    EXPECT_TRUE(c_->StartUp());
    return *c_;
  }
  // Multiple-file mode over the folder "site" with a.htm and b.htm.
  MainController& StartOnFolder(const std::string& state_path = "") {
    Page("site/a.htm");
    Page("site/b.htm");
    Start(state_path).ModeClicked(false);
    Type(TextBox::kFolder, File("site"));
    return *c_;
  }
  // The user types `text` into a box.
  void Type(TextBox box, const std::string& text) {
    window_.SetText(box, text);
    c_->TextEdited(box, text);
  }

  std::string dir_;
  const fs::path cwd_ = fs::current_path();
  FakeMainWindow window_;
  FakePlatform platform_;
  std::unique_ptr<MainController> c_;
};

TEST_F(ControllerTest, StartUpOutcomes) {
  const struct {
    const char* what;
    const char* input;  // the saved input file; nullptr: no state file
    bool folder;        // a folder saved
    int language;
    bool truncated;     // the file lost its last line
    const char* shown;  // the input file after start-up
    int table_weight;   // 7 saved, 2 the default
    const char* boxes;
  } kCases[] = {
      {"input kept", "page.htm", false, 0, false, "page.htm", 7, ""},
      {"folder wins, input emptied", "page.htm", true, 0, false, "", 7, ""},
      {"short file: defaults", "page.htm", false, 0, true, "", 2, ""},
      {"no list for Another", "", false, kAnotherLanguage, false, "", 7,
       kAnotherUnavailable},
  };
  Page();
  for (const auto& k : kCases) {
    fs::remove(StatePath());
    if (k.input) {
      SavedState state;
      if (*k.input) state.InputFile = File(k.input);
      if (k.folder) state.Folder = dir_;
      state.Settings.TextLanguage = k.language;
      state.Settings.TableWeight = 7;
      std::string text = FormatState(state);
      if (k.truncated) text.resize(text.rfind("#TRUE#"));
      std::ofstream(StatePath(), std::ios::binary) << text;
    }
    Start();
    EXPECT_EQ(window_.Text(TextBox::kInputFile) + "|" +
                  window_.Text(TextBox::kFolder) + "|" + On(window_.commands) +
                  "|" + std::to_string(window_.settings.TableWeight) + "|" +
                  window_.output + platform_.boxes,
              (*k.shown ? File(k.shown) : "") + "|" + (k.folder ? dir_ : "") +
                  "|" + (k.folder ? kMultipleIdle : kSingleIdle) + "|" +
                  std::to_string(k.table_weight) + "|" + k.boxes)
        << k.what;
  }
}

TEST_F(ControllerTest, EachModeKeepsItsInputAndOutput) {
  MainController& c = Start();
  Type(TextBox::kInputFile, Page());
  window_.output = "single output";
  c.ModeClicked(false);
  window_.output = "multiple output";
  c.ModeClicked(true);
  EXPECT_EQ(window_.Text(TextBox::kInputFile) + "|" + window_.output,
            File("page.htm") + "|single output");
  c.ModeClicked(false);
  EXPECT_EQ(window_.Text(TextBox::kInputFile) + "|" + window_.output,
            "|multiple output");
}

TEST_F(ControllerTest, CommandsBeforeDuringAndAfterScansAndRuns) {
  std::map<std::string, std::string> seen;
  auto during = [&](const char* phase) {
    window_.on_pending_input = [&, phase] {
      if (!seen.count(phase)) seen[phase] = On(window_.commands);
    };
  };
  Start();
  Type(TextBox::kInputFile, Page());
  during("single scan");
  c_->ListWordsClicked();
  seen["single after"] = On(window_.commands);
  StartOnFolder();
  during("multiple scan");
  window_.on_inspect = [&](const InspectRequest& r) {
    seen["multiple inspect"] = On(window_.commands);
    return InspectAnswer{true, false, false, r.tag};
  };
  c_->GenerateClicked();
  seen["multiple after"] = On(window_.commands);
  EXPECT_EQ(window_.status, "Keywords meta tag inserted in 2 of 2 files.");
  Type(TextBox::kFolder, "nowhere");
  platform_.on_ask = [&] { seen["message"] = On(window_.commands); };
  c_->BoxLeft(TextBox::kFolder);

  const std::pair<const char*, std::string> kCases[] = {
      {"single scan", "Stop: ListWords ReadOnly Quit StopEntry"},
      {"single after", kSingleIdle},
      {"multiple scan", "Stop: ListWords ReadOnly Quit StopEntry"},
      // Behind a modal dialog or box nothing looks clickable.
      {"multiple inspect", "Stop:"},
      {"multiple after", kMultipleAfter},
      {"message", "Save state:"},
  };
  for (const auto& [phase, on] : kCases) EXPECT_EQ(seen[phase], on) << phase;
}

TEST_F(ControllerTest, StopAndQuitInTheMiddle) {
  const struct {
    const char* what;
    bool run;   // a multiple-file run, else a single-file scan
    bool quit;  // Quit, else Stop
    const char* boxes;
    const char* output_end;
  } kCases[] = {
      {"stop a scan", false, false, "",
       "\r\n\r\nStopped with 2 words identified."},
      {"stop a run, answer No", true, false,
       "Continue? | Go on to the next file? | none | ?\n"
       "Result | No keywords meta tag was inserted in any file. | none\n",
       ""},
      {"quit a run", true, true, "", ""},
  };
  for (const auto& k : kCases) {
    MainController& c = StartOnFolder();
    if (!k.run) {
      c.ModeClicked(true);
      Type(TextBox::kInputFile, File("site/a.htm"));
    }
    c.ParameterClicked(Parameter::kConfirm, false);
    // A scan looks for Stop after each word, a run from its first page on:
    // "List words" reads "Stop" then.
    const int at = k.run ? 1 : 2;
    int polls = 0;
    window_.on_pending_input = [&] {
      if (++polls == at) k.quit ? c.Quit() : c.ListWordsClicked();
    };
    if (k.run && !k.quit) platform_.answers.push_back(Answer::kNo);
    c.GenerateClicked();
    EXPECT_EQ(platform_.boxes, k.boxes) << k.what;
    EXPECT_TRUE(window_.output.ends_with(k.output_end)) << k.what;
    EXPECT_EQ(ReadFile(File("site/a.htm")) + ReadFile(File("site/b.htm")),
              std::string(kPage) + kPage)
        << k.what;
    EXPECT_EQ(window_.ended, k.quit) << k.what;
    EXPECT_FALSE(c.analysis_current()) << k.what;
    EXPECT_EQ(c.report().text().find("\nOperation stopped at user's "
                                     "request.") != std::string::npos,
              k.run)
        << k.what;
  }
}

TEST_F(ControllerTest, LeavingABox) {
  using enum TextBox;
  const struct {
    TextBox box;
    const char* typed;
    bool interactive;
    const char* shown;  // "*": as typed
    std::string boxes;
    Control focus;
  } kCases[] = {
      {kInputFile, " page.htm ", true, "page.htm", "",
       Control::kGenerateButton},
      {kInputFile, "gone.htm", true, "*",
       "File not found | Input file does not exist. | exclamation\n",
       Control::kGenerateButton},
      {kFolder, "nowhere ", true, "nowhere",
       "Invalid input | Folder does not exist. | exclamation\n",
       Control::kInputFileButton},
      {kMaxNumKeywords, "12a3", true, "50",
       "VORN | Maximum number of keywords in the meta tag is 100. | none\n",
       Control::kMaxNumKeywordsBox},
  };
  Page();
  for (const auto& k : kCases) {
    MainController& c = Start();
    fs::current_path(dir_);
    Type(k.box, k.typed);
    window_.interactive = k.interactive;
    c.BoxLeft(k.box);
    const std::string shown = *k.shown == '*' ? k.typed : k.shown;
    EXPECT_EQ(window_.Text(k.box) + "|" + platform_.boxes,
              shown + "|" + k.boxes)
        << k.typed;
    EXPECT_EQ(window_.focus, k.focus) << k.typed;
  }
}

// The window checks a box that lost the focus to a click only once the
// click is over: what the command reported already is not reported again.
TEST_F(ControllerTest, LeavingABoxAfterTheClickThatReportedIt) {
  const std::string kGone = "Input file does not exist. | exclamation\n";
  const struct {
    const char* what;
    bool folder;
    void (MainController::*click)();
    std::string boxes;
  } kCases[] = {
      {"clear", false, &MainController::ClearInputFileClicked, ""},
      {"generate", false, &MainController::GenerateClicked,
       "File not found | " + kGone},
      {"folder run", true, &MainController::GenerateClicked,
       "Invalid input | Folder does not exist | exclamation\n"},
  };
  for (const auto& k : kCases) {
    MainController& c = Start();
    if (k.folder) c.ModeClicked(false);
    const TextBox box = k.folder ? TextBox::kFolder : TextBox::kInputFile;
    Type(box, File("gone.htm"));
    (c.*k.click)();
    c.BoxLeft(box);
    EXPECT_EQ(platform_.boxes, k.boxes) << k.what;
    Type(box, File("gone.htmx"));  // typed anew: checked anew
    c.BoxLeft(box);
    EXPECT_NE(platform_.boxes, k.boxes) << k.what;
  }
}

TEST_F(ControllerTest, WhichChangesMakeTheAnalysisStale) {
  MainController& c = Start();
  Type(TextBox::kInputFile, Page());
  Type(TextBox::kWordsToIgnore, "x");
  using B = SettingsBox;
  const struct {
    const char* what;
    std::function<void()> change;
    bool stale;
  } kCases[] = {
      {"a list", [&] { c.ListChanged(SettingsList::kTableWeight, 5); }, true},
      {"language", [&] { c.LanguageChanged(kGerman); }, true},
      {"short words",
       [&] { c.SettingsBoxClicked(B::kIgnoreShortWords, false); }, true},
      {"keep case", [&] { c.SettingsBoxClicked(B::kPreserveCase, true); },
       true},
      {"spaces", [&] { c.SettingsBoxClicked(B::kSpaceAfterComma, true); },
       false},
      {"words to ignore", [&] { c.BoxLeft(TextBox::kWordsToIgnore); }, true},
      {"clear words to ignore", [&] { c.ClearWordsToIgnoreClicked(); }, true},
      {"input left", [&] { c.BoxLeft(TextBox::kInputFile); }, true},
      {"restore defaults", [&] { c.ResetClicked(); }, true},
  };
  for (const auto& k : kCases) {
    c.ListWordsClicked();
    ASSERT_TRUE(c.analysis_current()) << k.what;
    k.change();
    EXPECT_EQ(c.analysis_current(), !k.stale) << k.what;
  }
}

// A page named in the box without leaving it (a button pressed through the
// accessibility interface keeps the focus in the box) gets its own tag,
// not the one of the page listed before, and Insert writes that one.
TEST_F(ControllerTest, ATypedNameGetsItsOwnTagWithoutLeavingTheBox) {
  MainController& c = Start();
  Type(TextBox::kInputFile, Page("a.htm"));
  c.ListWordsClicked();
  const std::string other = File("b.htm");
  std::ofstream(other, std::ios::binary)
      << "<html>\r\n<head>\r\n<title>Rose beds</title>\r\n</head>\r\n"
         "<body>\r\n<p>rose beds rose beds</p>\r\n</body>\r\n</html>\r\n";
  Type(TextBox::kInputFile, other);
  c.GenerateClicked();
  EXPECT_EQ(c.GetMetaTag(), R"(<meta name="keywords" content="rose,beds">)");
  platform_.answers.push_back(Answer::kNo);  // no backup
  c.InsertClicked();
  EXPECT_NE(ReadFile(other).find("content=\"rose,beds\""), std::string::npos);
}

// The done tag goes with Insert as the inspect dialog last left its box
// when tags are inspected, else as the parameter says.
TEST_F(ControllerTest, InsertOutcomes) {
  const struct {
    const char* what;
    bool confirm, add_done;
    int dialog_done;      // -1: no dialog yet
    Answer backup;        // to "Back up the page?"
    const char* written;  // "": the page untouched
  } kCases[] = {
      {"cancelled", false, true, -1, Answer::kCancel, ""},
      {"add done", false, true, -1, Answer::kNo, "tag done"},
      {"no done", false, false, -1, Answer::kNo, "tag"},
      {"dialog cleared done", true, true, 0, Answer::kNo, "tag"},
      {"dialog ticked done", true, false, 1, Answer::kNo, "tag done"},
      {"no dialog yet", true, true, -1, Answer::kNo, "tag done"},
  };
  for (const auto& k : kCases) {
    MainController& c = StartOnFolder();
    c.ParameterClicked(Parameter::kAddDone, k.add_done);
    if (k.dialog_done >= 0) {
      window_.on_inspect = [&](const InspectRequest& r) {
        return InspectAnswer{false, true, k.dialog_done == 1, r.tag};
      };
      c.GenerateClicked();
    }
    c.ParameterClicked(Parameter::kConfirm, k.confirm);
    c.ModeClicked(true);
    const std::string page = Page("p.htm");
    Type(TextBox::kInputFile, page);
    c.GenerateClicked();
    platform_.answers.push_back(k.backup);
    c.InsertClicked();
    const std::string bytes = ReadFile(page);
    std::string written;
    if (bytes.find(c.GetMetaTag() + "\r\n") != std::string::npos)
      written = "tag";
    if (bytes.find("<meta name=\"VORN done\"") != std::string::npos)
      written += " done";
    EXPECT_EQ(written, k.written) << k.what;
    EXPECT_TRUE(*k.written || bytes == kPage) << k.what;  // untouched
    EXPECT_EQ(window_.status,
              *k.written ? "Keywords meta tag inserted into " + page + "." : "")
        << k.what;
  }
}

// Saving reports a failure, with the system's description and, from the
// button, once more; Quit saves only when the parameter says so.
TEST_F(ControllerTest, SaveStateOutcomes) {
  const struct {
    const char* what;
    bool quit, save_on_quit, writable;
    int messages;
  } kCases[] = {
      {"button", false, false, true, 0},
      {"button fails", false, false, false, 2},
      {"quit without saving", true, false, true, 0},
      {"quit, save fails", true, true, false, 1},
  };
  for (const auto& k : kCases) {
    const std::string path = k.writable ? StatePath() : File("no/vorn.usr");
    fs::remove(path);
    MainController& c = StartOnFolder(path);
    c.ParameterClicked(Parameter::kSaveStateOnQuit, k.save_on_quit);
    k.quit ? c.Quit() : c.ListWordsClicked();
    const std::optional<SavedState> saved = LoadState(path);
    const bool written = k.writable && !k.quit;
    EXPECT_EQ(window_.status + (saved ? saved->Folder : "-"),
              written ? "State saved in " + path + "." + File("site") : "-")
        << k.what;
    EXPECT_EQ(std::count(platform_.boxes.begin(), platform_.boxes.end(), '\n'),
              k.messages)
        << k.what;
    EXPECT_EQ(platform_.boxes.starts_with(
                  "Save state | Error when attempting to save the state: "),
              k.messages > 0)
        << k.what;
  }
}

// German text: lower case only after a Yes.
TEST_F(ControllerTest, GermanTextKeepsItsCaseUnlessConfirmed) {
  MainController& c = Start();
  c.LanguageChanged(kGerman);
  platform_.boxes.clear();
  platform_.answers = {Answer::kNo, Answer::kYes};
  c.SettingsBoxClicked(SettingsBox::kPreserveCase, false);
  EXPECT_TRUE(window_.settings.PreserveCase);
  c.SettingsBoxClicked(SettingsBox::kPreserveCase, false);
  EXPECT_FALSE(window_.settings.PreserveCase);
  EXPECT_EQ(platform_.boxes.find("Confirmation | For German text"), 0u);
}

// "Ignore common words" goes off for a language without a list and on
// again for one with a list, unless the user touched it in between. Steps:
// A Another, E English, F French, u/t the user unticks/ticks, R Restore
// defaults.
TEST_F(ControllerTest, CommonWordsAfterALanguageWithoutAList) {
  const struct {
    const char* steps;
    bool ticked;
  } kCases[] = {{"A", false},   {"AE", true},   {"AF", true},  {"AAE", true},
                {"uAE", false}, {"AuE", false}, {"AtE", true}, {"ARAE", true}};
  for (const auto& k : kCases) {
    MainController& c = Start();
    for (const char* step = k.steps; *step; ++step) {
      if (*step == 'R') c.ResetClicked();
      if (*step == 'u' || *step == 't')
        c.SettingsBoxClicked(SettingsBox::kIgnoreCommonWords, *step == 't');
      if (*step == 'A' || *step == 'E' || *step == 'F')
        c.LanguageChanged(*step == 'A'   ? kAnotherLanguage
                          : *step == 'E' ? kEnglish
                                         : kFrench);
    }
    EXPECT_EQ(window_.settings.IgnoreCommonWords, k.ticked) << k.steps;
  }
}

// A drop during a scan is ignored; a recent entry opens in its own mode,
// and one that has gone is reported and leaves the list; the dialogs open
// where the user was, also after a new start.
TEST_F(ControllerTest, DroppedAndRecentPagesAndFolders) {
  const std::string page = Page("site/a.htm"), site = File("site");
  MainController& c = Start();
  Type(TextBox::kInputFile, page);
  window_.on_pending_input = [&] { c.PathDropped(site); };
  c.ListWordsClicked();
  EXPECT_TRUE(window_.commands.single_file_mode);
  EXPECT_EQ(window_.recent, std::vector<std::string>{page});
  c.PathDropped(site);
  c.PathDropped(page);
  fs::rename(site, File("moved"));
  c.RecentClicked(1);
  fs::rename(File("moved"), site);
  EXPECT_EQ((window_.commands.single_file_mode ? "single " : "multiple ") +
                window_.Text(TextBox::kFolder) + "|" + platform_.boxes,
            "multiple " + site +
                "|Invalid input | Folder does not exist. | exclamation\n");
  EXPECT_EQ(window_.recent, std::vector<std::string>{page});
  c.ClearFolderClicked();
  c.Quit();
  Start().FolderClicked();
  EXPECT_EQ(platform_.dialog_folder, site);
}

// Where the window was and what was used last come back at the next start,
// on the screen as it is then.
TEST_F(ControllerTest, TheWindowComesBackWhereItWasLeft) {
  const std::string page = Page();
  Start();
  window_.geometry = {{15000, 8000, 21000, 14000}, true};
  c_->PathDropped(page);
  c_->Quit();
  Start();  // a new window on a smaller screen
  window_.sizes.screen = {0, 0, 20490, 11520};
  MainController again(window_, platform_, {VORN_DATA_DIR, StatePath()});
  ASSERT_TRUE(again.StartUp());
  EXPECT_EQ(window_.place, (WindowGeometry{{0, 0, 20490, 11520}, true}));
}

TEST(ManualAddressTest, RelativeNamesBecomeFileUrls) {
  const struct {
    const char* text;
    const char* folder;
    const char* url;
  } kCases[] = {
      {" my manual.html ", "/opt/my app/",
       "file:///opt/my%20app/my%20manual.html"},
      {"https://example.org/m", "/x", "https://example.org/m"},
  };
  for (const auto& k : kCases)
    EXPECT_EQ(ManualAddress(k.text, k.folder), k.url) << k.text;
}

}  // namespace
}  // namespace vorn
