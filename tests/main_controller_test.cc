// The application core behind the main window, driven through a scripted
// window and desktop: start-up, the modes, the enabling around scans and
// runs, Stop and Quit, the checks made on leaving a box, when the cached
// analysis goes stale, Insert and saving the state.
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
#include "app/window_rules.h"
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
      {"Generate", k.Generate && k.ShowExisting && k.Insert},
      {"Others", k.Reset && k.Help && k.ClearOutput &&
                     k.ClearBeginMetaTagWith && k.ClearWordsToIgnore},
      {"InputFile", k.InputFile && k.ClearInputFile && k.InputFileBox},
      {"Folder", k.Folder && k.ClearFolder && k.FolderBox},
      {"Numbers", k.MaxNumKeywords && k.MaxNumBytes},
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
    "List words: ListWords Generate Others InputFile Numbers Modes Quit Menu "
    "ListEntry";
const std::string kMultipleIdle =
    "Save state: ListWords Generate Others Folder Numbers Modes Quit Menu";
const std::string kMultipleAfter =  // a report to view
    "Save state: ListWords Generate Others Folder Numbers Modes ViewReport "
    "Quit Menu";

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
      {"first start", nullptr, false, 0, false, "", 2, ""},
      {"input kept", "page.htm", false, 0, false, "page.htm", 7, ""},
      {"input gone, silently", "gone.htm", false, 0, false, "", 7, ""},
      {"folder wins, input emptied", "page.htm", true, 0, false, "", 7, ""},
      {"short file: defaults", "page.htm", false, 0, true, "", 2, ""},
      {"no list for Another", "", false, kAnotherLanguage, false, "", 7,
       kAnotherUnavailable},
      {"automatic, the English fallback has its list", "", false,
       kAutomaticLanguage, false, "", 7, ""},
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
    EXPECT_TRUE(window_.shown) << k.what;
    EXPECT_EQ(window_.Text(TextBox::kInputFile), *k.shown ? File(k.shown) : "")
        << k.what;
    EXPECT_EQ(window_.Text(TextBox::kFolder), k.folder ? dir_ : "") << k.what;
    EXPECT_EQ(On(window_.commands), k.folder ? kMultipleIdle : kSingleIdle)
        << k.what;
    EXPECT_EQ(window_.settings.TableWeight, k.table_weight) << k.what;
    EXPECT_EQ(window_.output + platform_.boxes, k.boxes) << k.what;
    EXPECT_EQ(fs::exists(StatePath()), k.input != nullptr) << k.what;
  }
  // Without the program texts no window shows.
  FakeMainWindow window;
  EXPECT_FALSE(MainController(window, platform_, {dir_, ""}).StartUp());
  EXPECT_FALSE(window.shown);
  EXPECT_TRUE(
      platform_.boxes.ends_with(" | Cannot open file containing "
                                "program text.\r\n" +
                                dir_ + "/vorn_text.dat | stop\n"));
}

TEST_F(ControllerTest, EachModeKeepsItsInputAndOutput) {
  MainController& c = Start();
  Type(TextBox::kInputFile, Page());
  window_.output = "single output";
  window_.label = "Number of words ...";
  c.ModeClicked(true);  // already selected: nothing changes
  c.ModeClicked(false);
  EXPECT_EQ(window_.Text(TextBox::kInputFile) + window_.output + window_.label,
            "");
  EXPECT_EQ(window_.commands.ShowExistingCaption + ", " +
                window_.commands.GenerateCaption,
            "Set operation parameters, Generate/insert keywords meta tag");
  Type(TextBox::kFolder, dir_);
  window_.output = "multiple output";
  c.ModeClicked(true);
  EXPECT_EQ(window_.Text(TextBox::kInputFile), File("page.htm"));
  EXPECT_EQ(window_.Text(TextBox::kFolder), "");
  EXPECT_EQ(window_.output, "single output");
  EXPECT_EQ(window_.commands.ShowExistingCaption + ", " +
                window_.commands.GenerateCaption,
            "Show existing keywords etc., Generate/show keywords meta tag");
  c.ModeClicked(false);
  EXPECT_EQ(window_.Text(TextBox::kFolder), dir_);
  EXPECT_EQ(window_.output, "multiple output");
}

TEST_F(ControllerTest, CommandsBeforeDuringAndAfterScansAndRuns) {
  std::map<std::string, std::string> seen;
  auto during = [&](const char* phase) {
    window_.on_pending_input = [&, phase] {
      if (!seen.count(phase)) seen[phase] = On(window_.commands);
    };
  };
  Start();
  seen["single idle"] = On(window_.commands);
  Type(TextBox::kInputFile, Page());
  during("single scan");
  c_->ListWordsClicked();
  seen["single after"] = On(window_.commands);
  StartOnFolder();
  seen["multiple idle"] = On(window_.commands);
  during("multiple scan");
  window_.on_inspect = [&](const InspectRequest& r) {
    seen["multiple inspect"] = On(window_.commands);
    return InspectAnswer{true, false, false, r.tag};
  };
  c_->GenerateClicked();
  seen["multiple after"] = On(window_.commands);
  EXPECT_EQ(window_.status, "Keywords meta tag inserted in 2 of 2 files.");
  window_.report_visible = true;  // shown, but maybe under other windows
  Type(TextBox::kFolder, "nowhere");
  platform_.on_ask = [&] { seen["message"] = On(window_.commands); };
  c_->BoxLeft(TextBox::kFolder);
  seen["message gone"] = On(window_.commands);

  const std::pair<const char*, std::string> kCases[] = {
      {"single idle", kSingleIdle},
      {"single scan", "Stop: ListWords ReadOnly Quit StopEntry"},
      {"single after", kSingleIdle},
      {"multiple idle", kMultipleIdle},
      {"multiple scan", "Stop: ListWords ReadOnly Quit StopEntry"},
      // Behind a modal dialog or box nothing looks clickable.
      {"multiple inspect", "Stop:"},
      {"multiple after", kMultipleAfter},
      {"message", "Save state:"},
      {"message gone", kMultipleAfter},
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
      {"quit a scan", false, true, "", "Stopped with 2 words identified."},
      {"quit a run", true, true, "", ""},
  };
  for (const auto& k : kCases) {
    MainController& c = StartOnFolder();
    if (!k.run) {
      c.ModeClicked(true);
      Type(TextBox::kInputFile, File("site/a.htm"));
    }
    c.ParameterClicked(Parameter::kConfirm, false);
    c.ParameterClicked(Parameter::kSaveStateOnQuit, false);
    // A scan looks for Stop after each word; a run's report, from its
    // first page on.
    const int at = k.run ? 1 : 2;
    int polls = 0;
    window_.on_pending_input = [&] {
      if (++polls == at && k.quit) c.Quit();
      if (polls == at && !k.quit) c.ListWordsClicked();  // reads "Stop" now
    };
    if (k.run && !k.quit) platform_.answers.push_back(Answer::kNo);
    c.GenerateClicked();
    EXPECT_EQ(platform_.boxes, k.boxes) << k.what;
    EXPECT_TRUE(window_.output.ends_with(k.output_end)) << k.what;
    EXPECT_EQ(ReadFile(File("site/a.htm")) + ReadFile(File("site/b.htm")),
              std::string(kPage) + kPage)
        << k.what;
    EXPECT_EQ(window_.inspected, 0) << k.what;
    EXPECT_EQ(window_.ended, k.quit) << k.what;
    EXPECT_FALSE(c.analysis_current()) << k.what;
    EXPECT_FALSE(fs::exists(StatePath())) << k.what;
    EXPECT_EQ(
        c.report().text().find("\nOperation stopped at user's request.") !=
            std::string::npos,
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
      {kInputFile, "page.txt", true, "*",
       "Invalid input | Input file name must have an extension containing "
       "'htm'. | none\n",
       Control::kGenerateButton},
      {kInputFile, "gone.htm", true, "*",
       "File not found | Input file does not exist. | exclamation\n",
       Control::kGenerateButton},
      {kInputFile, "page.txt", false, "*", "", Control::kNone},
      {kFolder, "nowhere ", true, "nowhere",
       "Invalid input | Folder does not exist. | exclamation\n",
       Control::kInputFileButton},
      {kFolder, "nowhere", false, "*", "", Control::kNone},
      {kMaxNumKeywords, "12a3", true, "50",
       "VORN | Maximum number of keywords in the meta tag is 100. | none\n",
       Control::kMaxNumKeywordsBox},
      {kMaxNumBytes, "1001", true, "500",
       "VORN | Maximum number of bytes in the meta tag is 1000. | none\n",
       Control::kMaxNumBytesBox},
      {kWordsToIgnore, " Foo  bar,, ", true, "foo,bar", "", Control::kNone},
  };
  Page();
  for (const auto& k : kCases) {
    MainController& c = Start();
    fs::current_path(dir_);
    Type(k.box, k.typed);
    window_.interactive = k.interactive;
    c.BoxLeft(k.box);
    const std::string shown = *k.shown == '*' ? k.typed : k.shown;
    EXPECT_EQ(window_.Text(k.box) + "|" + c.box_text(k.box),
              shown + "|" + shown)
        << k.typed;
    EXPECT_EQ(platform_.boxes, k.boxes) << k.typed;
    EXPECT_EQ(window_.focus, k.focus) << k.typed;
  }
  EXPECT_EQ(c_->settings().IgnoreList(), "foo,bar,");
  EXPECT_EQ(c_->settings().MaxNumBytesInMetaTag, "500");  // as shown
}

TEST_F(ControllerTest, WhichChangesMakeTheAnalysisStale) {
  MainController& c = Start();
  Type(TextBox::kInputFile, Page());
  auto left = [&](TextBox box, const char* text) {
    Type(box, text);
    c.BoxLeft(box);
  };
  const struct {
    const char* what;
    std::function<void()> change;
    bool stale;
  } kCases[] = {
      {"a list", [&] { c.ListChanged(SettingsList::kTableWeight, 5); }, true},
      {"language", [&] { c.LanguageChanged(kGerman); }, true},
      {"short words",
       [&] { c.SettingsBoxClicked(SettingsBox::kIgnoreShortWords, false); },
       true},
      {"keep case",
       [&] { c.SettingsBoxClicked(SettingsBox::kPreserveCase, true); }, true},
      {"spaces",
       [&] { c.SettingsBoxClicked(SettingsBox::kSpaceAfterComma, true); },
       false},
      {"slash", [&] { c.SettingsBoxClicked(SettingsBox::kForwardSlash, true); },
       false},
      {"max keywords", [&] { left(TextBox::kMaxNumKeywords, "20"); }, false},
      {"begin with", [&] { left(TextBox::kBeginMetaTagWith, "x"); }, false},
      {"clear begin with", [&] { c.ClearBeginMetaTagWithClicked(); }, false},
      {"words to ignore", [&] { left(TextBox::kWordsToIgnore, "x"); }, true},
      {"clear words to ignore", [&] { c.ClearWordsToIgnoreClicked(); }, true},
      {"clear output", [&] { c.ClearOutputClicked(); }, true},
      {"input left", [&] { c.BoxLeft(TextBox::kInputFile); }, true},
      {"restore defaults", [&] { c.ResetClicked(); }, true},
  };
  for (const auto& k : kCases) {
    c.ListWordsClicked();
    ASSERT_TRUE(c.analysis_current()) << k.what;
    k.change();
    EXPECT_EQ(c.analysis_current(), !k.stale) << k.what;
  }
  // Composing the tag trims the phrases; the box shows them so.
  Type(TextBox::kBeginMetaTagWith, "  my phrase ");
  c.GenerateClicked();
  EXPECT_EQ(window_.Text(TextBox::kBeginMetaTagWith), "my phrase");
}

// The done tag goes with Insert as the inspect dialog last left its box
// when tags are inspected, else as the parameter says.
TEST_F(ControllerTest, InsertOutcomes) {
  const std::string kNotATag =
      "Error | No keywords meta tag to insert. | exclamation\n";
  const struct {
    const char* what;
    bool confirm;
    bool add_done;
    int dialog_done;     // -1: no dialog yet
    const char* output;  // "": the generated tag; else the box's text
    Answer backup;
    bool tag;
    bool done;
  } kCases[] = {
      {"cancelled", false, true, -1, "", Answer::kCancel, false, false},
      {"add done", false, true, -1, "", Answer::kNo, true, true},
      {"no done, backup", false, false, -1, "", Answer::kYes, true, false},
      {"dialog cleared done", true, true, 0, "", Answer::kNo, true, false},
      {"dialog ticked done", true, false, 1, "", Answer::kNo, true, true},
      {"no dialog yet", true, true, -1, "", Answer::kNo, true, true},
      // Only one keywords tag is ever written into a head.
      {"the existing tags listed", false, true, -1,
       "TITLE: T\r\n\r\nDESCRIPTION meta tag: <meta name=\"description\" "
       "content=\"d\">\r\n\r\nKEYWORDS meta tag: <meta "
       "name=\"keywords\" content=\"k\">",
       Answer::kNo, false, false},
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
    fs::remove(File("p.bak.htm"));
    Type(TextBox::kInputFile, page);
    c.GenerateClicked();
    if (*k.output) window_.output = k.output;
    platform_.boxes.clear();
    platform_.answers.push_back(k.backup);
    c.InsertClicked();
    const bool refused = *k.output != '\0';
    EXPECT_EQ(platform_.boxes, "Backup? | Back up " + page + " to " +
                                   File("p.bak.htm") + "? | none | ?\n" +
                                   (refused ? kNotATag : ""))
        << k.what;
    const std::string bytes = ReadFile(page);
    if (!k.tag) {
      EXPECT_EQ(bytes, kPage) << k.what;
    }
    EXPECT_EQ(bytes.find(c.GetMetaTag() + "\r\n") != std::string::npos, k.tag)
        << k.what;
    EXPECT_EQ(bytes.find("<meta name=\"VORN done\"") != std::string::npos,
              k.done)
        << k.what;
    EXPECT_EQ(window_.status,
              k.tag ? "Keywords meta tag inserted into " + page + "." : "")
        << k.what;
    EXPECT_EQ(ReadFile(File("p.bak.htm")),
              k.backup == Answer::kYes ? kPage : "")
        << k.what;
  }
}

TEST_F(ControllerTest, SaveStateOutcomes) {
  const std::string kError =
      "Save state | Error when attempting to save the state";
  enum How { kButton, kQuit, kMenuSingle };
  const struct {
    const char* what;
    How how;
    bool save_on_quit;
    bool writable;
    int messages;  // 1: with the system's description; 2: and a second
  } kCases[] = {
      {"button", kButton, false, true, 0},
      {"button fails", kButton, false, false, 2},
      {"menu in single-file mode", kMenuSingle, false, true, 0},
      {"quit saves", kQuit, true, true, 0},
      {"quit without saving", kQuit, false, true, 0},
      {"quit, save fails", kQuit, true, false, 1},
  };
  for (const auto& k : kCases) {
    const std::string path = k.writable ? StatePath() : File("no/vorn.usr");
    fs::remove(path);
    MainController& c = StartOnFolder(path);
    c.ParameterClicked(Parameter::kSaveStateOnQuit, k.save_on_quit);
    const bool single = k.how == kMenuSingle;
    if (single) c.ModeClicked(true);
    k.how == kQuit ? c.Quit()
    : single       ? c.SaveStateClicked()
                   : c.ListWordsClicked();
    EXPECT_EQ(window_.ended, k.how == kQuit) << k.what;
    const std::optional<SavedState> saved = LoadState(path);
    const bool written = k.writable && (k.save_on_quit || k.how != kQuit);
    EXPECT_EQ(saved.has_value(), written) << k.what;
    EXPECT_EQ(window_.status,
              written && k.how != kQuit ? "State saved in " + path + "." : "")
        << k.what;
    if (saved) {
      EXPECT_EQ(saved->Folder, single ? "" : File("site")) << k.what;
      EXPECT_EQ(saved->SingleFileMode, single) << k.what;
    }
    EXPECT_EQ(platform_.boxes.starts_with(kError + ": "), k.messages > 0)
        << k.what;
    EXPECT_EQ(platform_.boxes.ends_with("\n" + kError + " | exclamation\n"),
              k.messages == 2)
        << k.what << platform_.boxes;
    EXPECT_EQ(std::count(platform_.boxes.begin(), platform_.boxes.end(), '\n'),
              k.messages)
        << k.what;
  }
}

// "Preview (no changes)": the run asks nothing, writes nothing, and the
// report carries each page's diff; the box is never saved.
TEST_F(ControllerTest, PreviewRunsWithoutWriting) {
  MainController& c = StartOnFolder();
  c.ParameterClicked(Parameter::kPreview, true);
  c.GenerateClicked();
  EXPECT_EQ(ReadFile(File("site/a.htm")) + ReadFile(File("site/b.htm")),
            std::string(kPage) + kPage);
  EXPECT_EQ(std::distance(fs::directory_iterator(File("site")),
                          fs::directory_iterator()),
            2);
  EXPECT_EQ(window_.inspected, 0);
  EXPECT_EQ(platform_.boxes,
            "Result | A keywords meta tag would be inserted in 2 files in 1 "
            "folder. | none\n");
  const std::string& report = c.report().text();
  EXPECT_TRUE(report.starts_with("Preview (no changes): no file is written."))
      << report;
  EXPECT_NE(report.find("File: b.htm  ---  Keywords meta tag would be "
                        "inserted.\r\n--- a/site/b.htm\r\n+++ b/site/b.htm"
                        "\r\n@@ "),
            std::string::npos)
      << report;
  c.ListWordsClicked();  // "Save state" in this mode
  ASSERT_TRUE(LoadState(StatePath()));
  EXPECT_FALSE(Start().parameters().Preview);
}

TEST_F(ControllerTest, ChoosingShowingAndClearing) {
  MainController& c = Start();
  window_.output = "old output";
  c.InputFileClicked();  // cancelled
  EXPECT_EQ(window_.output, "old output");
  platform_.next_file = Page();
  c.InputFileClicked();
  EXPECT_EQ(window_.Text(TextBox::kInputFile) + window_.output,
            platform_.next_file);
  c.ShowExistingClicked();
  EXPECT_EQ(window_.output,
            "TITLE: Garden tools\r\n\r\nNo keywords meta tag found.");
  c.ClearInputFileClicked();
  EXPECT_EQ(window_.Text(TextBox::kInputFile), "");
  EXPECT_EQ(window_.focus, Control::kInputFileButton);
  c.ModeClicked(false);
  platform_.next_folder = dir_;
  c.FolderClicked();
  EXPECT_EQ(window_.Text(TextBox::kFolder), dir_);
  c.ShowExistingClicked();
  EXPECT_EQ(window_.parameters_shown, 1);
  c.ClearFolderClicked();
  EXPECT_EQ(window_.Text(TextBox::kFolder), "");
  EXPECT_EQ(window_.focus, Control::kFolderButton);
  EXPECT_EQ(platform_.boxes, "");
}

TEST_F(ControllerTest, SettingsKeepTheirRules) {
  MainController& c = Start();
  Type(TextBox::kInputFile, Page());
  Type(TextBox::kBeginMetaTagWith, "phrase");
  c.ListChanged(SettingsList::kTitleWeight, 1);
  c.SettingsBoxClicked(SettingsBox::kForwardSlash, true);
  c.LanguageChanged(kAnotherLanguage);  // no list: reported, box unticked
  EXPECT_EQ(platform_.boxes, kAnotherUnavailable);
  EXPECT_FALSE(window_.settings.IgnoreCommonWords);
  window_.focus = Control::kNone;
  window_.interactive = false;  // the focus moves only in ordinary use
  c.ClearOutputClicked();
  EXPECT_EQ(window_.focus, Control::kNone);
  window_.interactive = true;
  c.ResetClicked();  // keeps the texts and the language
  EXPECT_EQ(window_.Text(TextBox::kBeginMetaTagWith), "phrase");
  EXPECT_EQ(window_.settings.TitleWeight, 90);
  EXPECT_FALSE(window_.settings.ForwardSlash);
  EXPECT_EQ(window_.settings.TextLanguage, kAnotherLanguage);
  EXPECT_TRUE(window_.settings.IgnoreCommonWords);
  EXPECT_EQ(window_.focus, Control::kGenerateButton);
  // German text: lower case only after a Yes.
  c.LanguageChanged(kGerman);
  c.SettingsBoxClicked(SettingsBox::kPreserveCase, true);  // asks nothing
  platform_.boxes.clear();
  platform_.answers = {Answer::kNo, Answer::kYes};
  c.SettingsBoxClicked(SettingsBox::kPreserveCase, false);
  EXPECT_TRUE(window_.settings.PreserveCase);
  c.SettingsBoxClicked(SettingsBox::kPreserveCase, false);
  EXPECT_FALSE(window_.settings.PreserveCase);
  EXPECT_EQ(platform_.boxes.find("Confirmation | For German text"), 0u);
  EXPECT_EQ(platform_.unscripted.size() + platform_.answers.size(), 0u);
}

TEST_F(ControllerTest, HelpAndTheManual) {
  MainController& c = Start();
  const std::pair<Control, bool> kF1[] = {
      {Control::kShowExistingButton, true},
      {Control::kGenerateButton, true},
      {Control::kHelpButton, true},
      {Control::kInputFileButton, true},
      {Control::kListWordsButton, true},
      {Control::kFolderButton, false},
      {Control::kOther, false},
  };
  for (const auto& [control, opens] : kF1) {
    const int before = window_.help_shown;
    c.KeyReleased(control, kKeyF1);
    c.KeyReleased(control, kKeyF1 + 1);
    EXPECT_EQ(window_.help_shown - before, opens ? 1 : 0) << int(control);
  }
  c.ManualLinkClicked();
  platform_.url_opens = false;
  c.ManualLinkClicked();
  EXPECT_EQ(platform_.urls.at(0), "file://" VORN_DATA_DIR "/manual.html");
  EXPECT_TRUE(platform_.boxes.starts_with(
      "Cannot launch web browser | Error launching web browser.\r\n\r\n"
      "Please make sure that your web browser is correctly installed,\r\n"))
      << platform_.boxes;
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
      {"help", false, &MainController::HelpClicked,
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

// Pages and folders dropped, opened from the menu or the recent list open
// in their own mode; an entry that has gone is reported and leaves the list.
TEST_F(ControllerTest, DroppedMenuAndRecentPagesAndFolders) {
  const std::string page = Page("site/a.htm"), site = File("site");
  const struct {
    const char* what;
    std::function<void(MainController&)> act;
    std::string shown;  // mode, input | folder
    std::string boxes;
    std::vector<std::string> recent;
  } kCases[] = {
      {"drop during a scan",
       [&](MainController& c) {
         Type(TextBox::kInputFile, page);
         window_.on_pending_input = [&] { c.PathDropped(site); };
         c.ListWordsClicked();
       },
       "single " + page + "|",
       "",
       {page}},
      {"menu: open folder",
       [&](MainController& c) {
         platform_.next_folder = site;
         c.OpenFolderClicked();
       },
       "multiple |" + site,
       "",
       {site + "/"}},
      {"a recent folder has gone",
       [&](MainController& c) {
         c.PathDropped(site);
         c.PathDropped(page);
         fs::rename(site, File("moved"));
         c.RecentClicked(1);
         fs::rename(File("moved"), site);
       },
       "multiple |" + site,
       "Invalid input | Folder does not exist. | exclamation\n",
       {page}},
  };
  for (const auto& k : kCases) {
    MainController& c = Start();
    k.act(c);
    EXPECT_EQ((window_.commands.single_file_mode ? "single " : "multiple ") +
                  window_.Text(TextBox::kInputFile) + "|" +
                  window_.Text(TextBox::kFolder),
              k.shown)
        << k.what;
    EXPECT_EQ(platform_.boxes, k.boxes) << k.what;
    EXPECT_EQ(window_.recent, k.recent) << k.what;
  }
  // The dialogs open where the user was: the box's folder, else the recent
  // page's, also after a new start.
  MainController& c = Start();
  c.InputFileClicked();
  EXPECT_EQ(platform_.dialog_folder, "");
  c.PathDropped(page);
  c.ClearInputFileClicked();
  c.Quit();
  Start().FolderClicked();
  EXPECT_EQ(platform_.dialog_folder, site);
}

// Where the window was and what was used last come back at the next start,
// on the screen as it is then.
TEST_F(ControllerTest, TheWindowComesBackWhereItWasLeft) {
  const std::string page = Page();
  const WindowGeometry kLeft{{15000, 8000, 21000, 14000}, true};
  const struct {
    TwipsRect next_screen;
    WindowGeometry shown;
  } kCases[] = {
      {{0, 0, 36000, 22000}, kLeft},
      {{0, 0, 20490, 11520}, {{0, 0, 20490, 11520}, true}},
  };
  for (const auto& k : kCases) {
    fs::remove(File("vorn.window"));
    Start();
    EXPECT_EQ(window_.place.area, (TwipsRect{500, 1000, 12000, 9000}));
    window_.geometry = kLeft;
    c_->PathDropped(page);
    c_->Quit();
    Start();  // a new window on another screen
    window_.sizes.screen = k.next_screen;
    MainController again(window_, platform_, {VORN_DATA_DIR, StatePath()});
    ASSERT_TRUE(again.StartUp());
    EXPECT_EQ(window_.place, k.shown) << k.next_screen.width;
    EXPECT_EQ(window_.recent, std::vector<std::string>{page});
  }
}

TEST_F(ControllerTest, SavedReportIsATextFileOfThisSystem) {
  Page("site/caf\xC3\xA9.htm");
  MainController& c = StartOnFolder();
  c.ParameterClicked(Parameter::kConfirm, false);
  c.GenerateClicked();
  platform_.next_save = File("report.txt");
  c.ReportSaveClicked();
  std::string expected;
  for (const char ch : c.report().text())
    if (ch != '\r') expected += ch;
  EXPECT_NE(expected.find("caf\xC3\xA9.htm"), std::string::npos);
  EXPECT_EQ(ReadFile(File("report.txt")), expected + "\n");
  EXPECT_EQ(window_.status, "Report saved in " + File("report.txt") + ".");
}

TEST(ManualAddressTest, RelativeNamesBecomeFileUrls) {
  const struct {
    const char* text;
    const char* folder;
    const char* url;
  } kCases[] = {
      {"manual.html", "/opt/my app/", "file:///opt/my%20app/manual.html"},
      {"/abs/m.html", "/x", "file:///abs/m.html"},
      {"https://example.org/m", "/x", "https://example.org/m"},
      {"  manual.html ", "/x", "file:///x/manual.html"},
      {"man\xC3\xBC.html", "/x", "file:///x/man%C3%BC.html"},
  };
  for (const auto& k : kCases)
    EXPECT_EQ(ManualAddress(k.text, k.folder), k.url) << k.text;
}

}  // namespace
}  // namespace vorn
