// The application core behind the main window, driven through a scripted
// window and platform: start-up, the modes, the enabling of the commands
// around scans and runs, the settings rules, the commands and the report
// window's rules.
#include "app/main_controller.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>
#include <fstream>
#include <functional>
#include <memory>
#include <sstream>
#include <string>

#include "app/state_file.h"
#include "app/window_rules.h"
#include "support/files.h"
#include "tests/support/fake_main_window.h"
#include "tests/support/fake_view.h"

namespace vorn {
namespace {

class TempDir {
 public:
  TempDir() {
    std::string pattern = ::testing::TempDir() + "vorn_controller_XXXXXX";
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

std::string ReadFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::stringstream s;
  s << in.rdbuf();
  return s.str();
}

bool Exists(const std::string& path) {
  struct stat st;
  return ::stat(path.c_str(), &st) == 0;
}

std::string DataFile(const std::string& name) {
  return ReadFile(std::string(VORN_DATA_DIR) + "/" + name);
}

// A page whose words "garden", "tools" and "spade" occur often enough for
// the default settings.
constexpr const char* kPage =
    "<html>\r\n<head>\r\n<title>Garden tools</title>\r\n</head>\r\n<body>\r\n"
    "<p>garden tools spade garden tools spade garden</p>\r\n"
    "</body>\r\n</html>\r\n";

// A program folder with the program texts and the English and German
// common words (no list for "Another"), and a state file beside it.
class ControllerTest : public ::testing::Test {
 protected:
  void SetUp() override {
    WriteFile(program_.File("vorn_text.dat"), DataFile("vorn_text.dat"));
    WriteFile(program_.File("cmwds_en.txt"), DataFile("cmwds_en.txt"));
    WriteFile(program_.File("cmwds_de.txt"), DataFile("cmwds_de.txt"));
    char buf[4096];
    if (::getcwd(buf, sizeof buf) != nullptr) cwd_ = buf;
  }
  void TearDown() override {
    if (!cwd_.empty()) {
      EXPECT_EQ(::chdir(cwd_.c_str()), 0);
    }
  }

  std::string StatePath() const { return user_.File("vorn.usr"); }

  MainController& Start() {
    controller_ = std::make_unique<MainController>(
        window_, platform_, ControllerPaths{program_.path(), StatePath()});
    EXPECT_TRUE(controller_->StartUp());
    return *controller_;
  }

  // A state file as the program writes it, from a state.
  void WriteState(const SavedState& state) {
    WriteFile(StatePath(), FormatState(state));
  }

  // The user types `text` into a box.
  void Type(MainController& c, TextBox box, const std::string& text) {
    window_.SetText(box, text);
    c.TextEdited(box, text);
  }

  std::string Page(const std::string& name = "page.htm") {
    const std::string path = site_.File(name);
    WriteFile(path, kPage);
    return path;
  }

  TempDir program_;
  TempDir user_;
  TempDir site_;
  FakeMainWindow window_;
  FakePlatform platform_;
  std::unique_ptr<MainController> controller_;
  std::string cwd_;
};

// --- Start-up.

TEST_F(ControllerTest, FirstStartWithoutStateFileComesUpWithDefaults) {
  MainController& c = Start();
  EXPECT_TRUE(c.startup_completed());
  EXPECT_EQ(platform_.BoxesText(), "");
  EXPECT_EQ(window_.caption.rfind("VORN ", 0), 0u) << window_.caption;
  EXPECT_TRUE(window_.shown);
  // Single-file mode, both inputs and the output empty, defaults set.
  EXPECT_TRUE(window_.commands.single_file_mode);
  EXPECT_EQ(window_.Text(TextBox::kInputFile), "");
  EXPECT_EQ(window_.Text(TextBox::kFolder), "");
  EXPECT_EQ(window_.Text(TextBox::kMaxNumKeywords), "50");
  EXPECT_EQ(window_.Text(TextBox::kMaxNumBytes), "500");
  EXPECT_EQ(window_.output, "");
  EXPECT_EQ(window_.label, "");
  EXPECT_FALSE(window_.inserted_visible);
  EXPECT_EQ(window_.settings.TitleWeight, 90);
  EXPECT_EQ(window_.settings.TableWeight, 2);
  EXPECT_TRUE(window_.settings.IgnoreCommonWords);
  EXPECT_TRUE(window_.parameters.SaveStateOnQuit);
  // Idle single-file commands.
  const CommandState& k = window_.commands;
  EXPECT_EQ(k.ListWordsCaption, "List words");
  EXPECT_TRUE(k.ListWords);
  EXPECT_EQ(k.ShowExistingCaption, "Show existing keywords etc.");
  EXPECT_EQ(k.GenerateCaption, "Generate/show keywords meta tag");
  EXPECT_TRUE(k.InputFile && k.InputFileBox && k.ClearInputFile);
  EXPECT_FALSE(k.Folder || k.FolderBox || k.ClearFolder);
  EXPECT_FALSE(k.ViewReportVisible);
  EXPECT_FALSE(k.InputFileReadOnly);
  // Nothing is written before the first save.
  EXPECT_FALSE(Exists(StatePath()));
}

TEST_F(ControllerTest, StartUpStepsComeInTheirOrder) {
  Start();
  // Caption, defaults, lists, defaults again (there is no state file), shown,
  // then text 13 while the common words load, then the box is emptied.
  EXPECT_EQ(window_.LogText(),
            "SetCaption,Output=,FillSettingsLists,Output=,ShowMainWindow,"
            "Output=Loading the common words ...,Output=");
  // While text 13 stood in the box, the commands were off and "List
  // words" disabled.
  bool saw_loading_state = false;
  for (const CommandState& k : window_.command_history)
    if (!k.Generate && !k.ListWords && !k.OptSingleFile)
      saw_loading_state = true;
  EXPECT_TRUE(saw_loading_state);
}

TEST_F(ControllerTest, MissingProgramTextsEndTheProgram) {
  ASSERT_EQ(::unlink(program_.File("vorn_text.dat").c_str()), 0);
  MainController c(window_, platform_, {program_.path(), StatePath()});
  EXPECT_FALSE(c.StartUp());
  EXPECT_EQ(platform_.BoxesText(),
            " | Cannot open file containing program text.\r\n" +
                program_.File("vorn_text.dat") + " | stop | ok\n");
  EXPECT_FALSE(window_.shown);
}

TEST_F(ControllerTest, DuplicateProgramTextNamesItsLine) {
  WriteFile(program_.File("vorn_text.dat"), "1 VORN\n# note\n1 again\n");
  MainController c(window_, platform_, {program_.path(), StatePath()});
  EXPECT_FALSE(c.StartUp());
  EXPECT_EQ(platform_.BoxesText(),
            " | Duplicate in program text at line 3. | stop | ok\n");
}

TEST_F(ControllerTest, SavedInputFileThatIsGoneIsEmptiedSilently) {
  SavedState state;
  state.InputFile = site_.File("gone.htm");
  WriteState(state);
  Start();
  EXPECT_EQ(window_.Text(TextBox::kInputFile), "");
  EXPECT_EQ(platform_.BoxesText(), "");
  EXPECT_TRUE(window_.commands.single_file_mode);
}

TEST_F(ControllerTest, SavedInputFileThatExistsIsKept) {
  SavedState state;
  state.InputFile = Page();
  state.Settings.TableWeight = 7;
  state.Settings.BeginMetaTagWith = "my phrase";
  WriteState(state);
  Start();
  EXPECT_EQ(window_.Text(TextBox::kInputFile), state.InputFile);
  EXPECT_EQ(window_.Text(TextBox::kBeginMetaTagWith), "my phrase");
  EXPECT_EQ(window_.settings.TableWeight, 7);
}

TEST_F(ControllerTest, SavedFolderBringsMultipleFileMode) {
  SavedState state;
  state.InputFile = Page();  // left by a run; emptied at start-up
  state.Folder = site_.path();
  state.SingleFileMode = true;  // the folder decides
  WriteState(state);
  Start();
  const CommandState& k = window_.commands;
  EXPECT_FALSE(k.single_file_mode);
  EXPECT_EQ(window_.Text(TextBox::kFolder), site_.path());
  EXPECT_EQ(window_.Text(TextBox::kInputFile), "");
  EXPECT_EQ(k.ListWordsCaption, "Save state");
  EXPECT_TRUE(k.ListWords);
  EXPECT_EQ(k.ShowExistingCaption, "Set operation parameters");
  EXPECT_EQ(k.GenerateCaption, "Generate/insert keywords meta tag");
  EXPECT_TRUE(k.Folder && k.FolderBox && k.ClearFolder);
  EXPECT_FALSE(k.InputFile || k.InputFileBox || k.ClearInputFile);
}

TEST_F(ControllerTest, ShortStateFileGivesTheDefaults) {
  SavedState state;
  state.Settings.TableWeight = 7;
  state.Folder = site_.path();
  std::string text = FormatState(state);
  text.resize(text.rfind("#TRUE#"));  // 39 lines
  WriteFile(StatePath(), text);
  Start();
  EXPECT_EQ(window_.settings.TableWeight, 2);
  EXPECT_TRUE(window_.commands.single_file_mode);
  EXPECT_EQ(window_.Text(TextBox::kFolder), "");
  EXPECT_EQ(platform_.BoxesText(), "");
}

TEST_F(ControllerTest, AnotherLanguageSavedWithCommonWordsIsReportedAtStart) {
  SavedState state;
  state.Settings.TextLanguage = kAnotherLanguage;
  state.Settings.IgnoreCommonWords = true;
  WriteState(state);
  MainController& c = Start();
  EXPECT_EQ(platform_.BoxesText(),
            "Common words not available | Common words in another language "
            "could not be read from file\r\n" +
                program_.File("cmwds_xx.txt") + " | exclamation | ok\n");
  EXPECT_FALSE(c.settings().IgnoreCommonWords);
  EXPECT_FALSE(window_.settings.IgnoreCommonWords);
}

// --- Modes.

TEST_F(ControllerTest, SwitchingModesKeepsEachModesInputAndOutput) {
  MainController& c = Start();
  const std::string page = Page();
  platform_.next_file = page;
  c.InputFileClicked();
  window_.output = "single output";

  c.ModeClicked(false);
  EXPECT_EQ(window_.Text(TextBox::kInputFile), "");
  EXPECT_EQ(window_.Text(TextBox::kFolder), "");
  EXPECT_EQ(window_.output, "");
  EXPECT_FALSE(window_.commands.single_file_mode);
  Type(c, TextBox::kFolder, site_.path());
  window_.output = "multiple output";

  c.ModeClicked(true);
  EXPECT_EQ(window_.Text(TextBox::kInputFile), page);
  EXPECT_EQ(window_.Text(TextBox::kFolder), "");
  EXPECT_EQ(window_.output, "single output");
  EXPECT_FALSE(window_.commands.ViewReportVisible);

  c.ModeClicked(false);
  EXPECT_EQ(window_.Text(TextBox::kFolder), site_.path());
  EXPECT_EQ(window_.Text(TextBox::kInputFile), "");
  EXPECT_EQ(window_.output, "multiple output");
  EXPECT_EQ(window_.label, "");
}

TEST_F(ControllerTest, ClickingTheSelectedModeChangesNothing) {
  MainController& c = Start();
  window_.output = "kept";
  const std::size_t shown = window_.command_history.size();
  c.ModeClicked(true);
  EXPECT_EQ(window_.output, "kept");
  EXPECT_EQ(window_.command_history.size(), shown);
}

TEST_F(ControllerTest, MultipleModeShowsViewReportOnlyWithAReport) {
  MainController& c = Start();
  c.ModeClicked(false);
  EXPECT_FALSE(window_.commands.ViewReportVisible);
  c.ModeClicked(true);
  c.report().Output("something");
  c.ModeClicked(false);
  EXPECT_TRUE(window_.commands.ViewReportVisible);
}

// --- Single-file runs.

TEST_F(ControllerTest, ScanDisablesCommandsAndCaptionsStop) {
  MainController& c = Start();
  Type(c, TextBox::kInputFile, Page());
  std::vector<CommandState> during;
  window_.on_pending_input = [&] { during.push_back(window_.commands); };
  c.ListWordsClicked();
  ASSERT_FALSE(during.empty());
  const CommandState& k = during.front();
  EXPECT_EQ(k.ListWordsCaption, "Stop");
  EXPECT_TRUE(k.ListWords);
  EXPECT_FALSE(k.Generate || k.ShowExisting || k.Insert || k.Reset || k.Help ||
               k.ClearOutput || k.InputFile || k.ClearInputFile ||
               k.MaxNumKeywords || k.MaxNumBytes || k.OptSingleFile ||
               k.OptMultipleFiles);
  EXPECT_TRUE(k.InputFileReadOnly && k.FolderReadOnly);
  // Afterwards everything is back.
  const CommandState& a = window_.commands;
  EXPECT_EQ(a.ListWordsCaption, "List words");
  EXPECT_TRUE(a.Generate && a.InputFile && a.OptMultipleFiles && a.Help);
  EXPECT_FALSE(a.InputFileReadOnly);
  EXPECT_FALSE(c.busy());
  EXPECT_TRUE(c.analysis_current());
  EXPECT_NE(window_.output.find("garden"), std::string::npos);
  EXPECT_EQ(window_.focus.back(), Control::kGenerateButton);
}

TEST_F(ControllerTest, StopDuringAScanEndsItAndBringsTheCommandsBack) {
  MainController& c = Start();
  Type(c, TextBox::kInputFile, Page());
  int polls = 0;
  window_.on_pending_input = [&] {
    if (++polls == 2) c.ListWordsClicked();  // reads "Stop" now
  };
  c.ListWordsClicked();
  EXPECT_EQ(polls, 2);
  // Two words were found before the second poll stopped the scan.
  EXPECT_NE(window_.output.find("\r\n\r\nStopped with 2 words identified."),
            std::string::npos)
      << window_.output;
  EXPECT_FALSE(c.analysis_current());
  EXPECT_EQ(window_.commands.ListWordsCaption, "List words");
  EXPECT_TRUE(window_.commands.Generate);
  EXPECT_EQ(platform_.BoxesText(), "");
}

TEST_F(ControllerTest, ListingTwiceReadsTheFileOnce) {
  MainController& c = Start();
  Type(c, TextBox::kInputFile, Page());
  c.ListWordsClicked();
  const int polls = window_.pending_input_calls;
  EXPECT_GT(polls, 0);
  c.GenerateClicked();
  EXPECT_EQ(window_.pending_input_calls, polls);
  EXPECT_EQ(c.GetMetaTag().rfind("<meta name=\"keywords\" content=\"", 0), 0u)
      << window_.output;
}

TEST_F(ControllerTest, EmptyInputGivesTheMessageAndKeepsTheFocus) {
  MainController& c = Start();
  window_.focus.clear();
  c.GenerateClicked();
  EXPECT_EQ(platform_.BoxesText(),
            "Error | Input file not specified. | exclamation | ok\n");
  EXPECT_TRUE(window_.focus.empty());
}

TEST_F(ControllerTest, BeginWithPhrasesAreShownTrimmedAfterComposing) {
  MainController& c = Start();
  Type(c, TextBox::kInputFile, Page());
  Type(c, TextBox::kBeginMetaTagWith, "  my phrase  ");
  c.GenerateClicked();
  EXPECT_EQ(window_.Text(TextBox::kBeginMetaTagWith), "my phrase");
  EXPECT_EQ(
      c.GetMetaTag().rfind("<meta name=\"keywords\" content=\"my phrase,", 0),
      0u)
      << window_.output;
}

// --- Multiple-file runs.

TEST_F(ControllerTest, RunEnablingBeforeDuringAndAfter) {
  MainController& c = Start();
  Page("a.htm");
  c.ModeClicked(false);
  Type(c, TextBox::kFolder, site_.path());
  std::vector<CommandState> scanning;
  std::vector<CommandState> inspecting;
  window_.on_pending_input = [&] { scanning.push_back(window_.commands); };
  window_.on_inspect = [&](const InspectRequest& r) {
    inspecting.push_back(window_.commands);
    return InspectAnswer{true, false, false, r.tag};
  };
  c.GenerateClicked();
  ASSERT_FALSE(scanning.empty());
  EXPECT_EQ(scanning.front().ListWordsCaption, "Stop");
  EXPECT_TRUE(scanning.front().ListWords);
  EXPECT_FALSE(scanning.front().Generate || scanning.front().Folder ||
               scanning.front().OptSingleFile);
  // Between the scan and the insertion "Stop" is left disabled.
  ASSERT_EQ(inspecting.size(), 1u);
  EXPECT_EQ(inspecting.front().ListWordsCaption, "Stop");
  EXPECT_FALSE(inspecting.front().ListWords);
  EXPECT_TRUE(inspecting.front().Generate);
  // After the run: the save-state command again.
  const CommandState& a = window_.commands;
  EXPECT_EQ(a.ListWordsCaption, "Save state");
  EXPECT_TRUE(a.ListWords && a.Generate && a.Folder && a.OptSingleFile);
  EXPECT_FALSE(a.InputFile);
  EXPECT_EQ(platform_.BoxesText(),
            "Result | A keywords meta tag was inserted in 1 file in 1 folder. "
            "| none | ok\n");
  // The run showed the page it worked on, and its progress.
  EXPECT_EQ(window_.Text(TextBox::kInputFile), site_.File("a.htm"));
  EXPECT_EQ(window_.progress.back(), 1);
  EXPECT_FALSE(window_.progress_running);
  EXPECT_TRUE(window_.report_visible);
  EXPECT_TRUE(window_.report_buttons_enabled);
  EXPECT_FALSE(window_.commands.ViewReportVisible);  // the report is shown
  EXPECT_NE(ReadFile(site_.File("a.htm")).find("<meta name=\"keywords\""),
            std::string::npos);
}

TEST_F(ControllerTest, RunWithTheReportClosedShowsViewReport) {
  MainController& c = Start();
  Page("a.htm");
  c.ModeClicked(false);
  Type(c, TextBox::kFolder, site_.path());
  c.ParameterClicked(Parameter::kConfirm, false);
  window_.on_pending_input = [&] { window_.report_visible = false; };
  c.GenerateClicked();
  EXPECT_TRUE(window_.commands.ViewReportVisible);
  c.ViewReportClicked();
  EXPECT_TRUE(window_.report_visible);
  EXPECT_FALSE(window_.commands.ViewReportVisible);
}

TEST_F(ControllerTest, StopDuringARunAsksWhetherToGoOn) {
  MainController& c = Start();
  Page("a.htm");
  Page("b.htm");
  c.ModeClicked(false);
  Type(c, TextBox::kFolder, site_.path());
  c.ParameterClicked(Parameter::kConfirm, false);
  bool pressed = false;
  window_.on_pending_input = [&] {
    if (!pressed) {
      pressed = true;
      c.ListWordsClicked();
    }
  };
  platform_.QueueAnswer(Answer::kNo);
  c.GenerateClicked();
  EXPECT_EQ(platform_.BoxesText(),
            "Continue? | Go on to the next file? | none | yes/no\n"
            "Result | No keywords meta tag was inserted in any file. | none "
            "| ok\n");
  EXPECT_NE(c.report().text().find("Operation stopped at user's request."),
            std::string::npos);
  EXPECT_EQ(window_.commands.ListWordsCaption, "Save state");
}

TEST_F(ControllerTest, RunFolderChecks) {
  MainController& c = Start();
  c.ModeClicked(false);
  c.GenerateClicked();
  Type(c, TextBox::kFolder, site_.File("nowhere"));
  c.GenerateClicked();
  EXPECT_EQ(platform_.BoxesText(),
            "Invalid input | No input folder specified. | exclamation | ok\n"
            "Invalid input | Folder does not exist | exclamation | ok\n");
}

TEST_F(ControllerTest, QuitDuringARunEndsItWithoutMoreQuestions) {
  MainController& c = Start();
  Page("a.htm");
  Page("b.htm");
  c.ModeClicked(false);
  Type(c, TextBox::kFolder, site_.path());
  c.ParameterClicked(Parameter::kSaveStateOnQuit, false);
  window_.on_pending_input = [&] { c.Quit(); };
  c.GenerateClicked();
  EXPECT_TRUE(window_.ended);
  EXPECT_TRUE(window_.inspect_requests.empty());
  EXPECT_EQ(platform_.BoxesText(), "");
  EXPECT_EQ(ReadFile(site_.File("a.htm")), kPage);
  EXPECT_FALSE(Exists(StatePath()));
}

// --- Settings rules.

TEST_F(ControllerTest, GermanLowerCaseNeedsConfirmation) {
  MainController& c = Start();
  c.SettingsBoxClicked(SettingsBox::kPreserveCase, true);
  c.LanguageChanged(kGerman);
  EXPECT_EQ(platform_.BoxesText(), "");
  const struct {
    Answer answer;
    bool preserve_case;
  } kCases[] = {
      {Answer::kNo, true}, {Answer::kCancel, true}, {Answer::kYes, false}};
  for (const auto& k : kCases) {
    c.SettingsBoxClicked(SettingsBox::kPreserveCase, true);
    platform_.boxes.clear();
    platform_.QueueAnswer(k.answer);
    c.SettingsBoxClicked(SettingsBox::kPreserveCase, false);
    EXPECT_EQ(platform_.BoxesText(),
              "Confirmation | For German text it is better to keep "
              "upper/lower case.\r\n\r\nAre you sure you want all keywords "
              "in lower case? | none | yes/no/cancel\n")
        << int(k.answer);
    EXPECT_EQ(window_.settings.PreserveCase, k.preserve_case) << int(k.answer);
    EXPECT_FALSE(c.analysis_current());
  }
  // Another language asks nothing.
  c.LanguageChanged(kEnglish);
  c.SettingsBoxClicked(SettingsBox::kPreserveCase, true);
  platform_.boxes.clear();
  c.SettingsBoxClicked(SettingsBox::kPreserveCase, false);
  EXPECT_EQ(platform_.BoxesText(), "");
  EXPECT_FALSE(window_.settings.PreserveCase);
}

TEST_F(ControllerTest, AnotherLanguageWithoutItsListIsReported) {
  MainController& c = Start();
  const std::string report =
      "Common words not available | Common words in another language could "
      "not be read from file\r\n" +
      program_.File("cmwds_xx.txt") + " | exclamation | ok\n";
  c.LanguageChanged(kAnotherLanguage);
  EXPECT_EQ(platform_.BoxesText(), report);
  EXPECT_FALSE(window_.settings.IgnoreCommonWords);
  EXPECT_EQ(window_.settings.TextLanguage, kAnotherLanguage);
  // Ticking the box again reports again and leaves it unticked.
  platform_.boxes.clear();
  c.SettingsBoxClicked(SettingsBox::kIgnoreCommonWords, true);
  EXPECT_EQ(platform_.BoxesText(), report);
  EXPECT_FALSE(window_.settings.IgnoreCommonWords);
  // A language with a list: no report, and the box can be ticked.
  platform_.boxes.clear();
  c.LanguageChanged(kGerman);
  c.SettingsBoxClicked(SettingsBox::kIgnoreCommonWords, true);
  EXPECT_EQ(platform_.BoxesText(), "");
  EXPECT_TRUE(window_.settings.IgnoreCommonWords);
}

TEST_F(ControllerTest, WhichChangesMakeTheAnalysisStale) {
  MainController& c = Start();
  Type(c, TextBox::kInputFile, Page());
  const struct {
    const char* what;
    std::function<void()> change;
    bool stale;
  } kCases[] = {
      {"table weight", [&] { c.ListChanged(SettingsList::kTableWeight, 5); },
       true},
      {"min frequency",
       [&] { c.ListChanged(SettingsList::kThresholdFrequency, 0); }, true},
      {"short words",
       [&] { c.SettingsBoxClicked(SettingsBox::kIgnoreShortWords, false); },
       true},
      {"spaces",
       [&] { c.SettingsBoxClicked(SettingsBox::kSpaceAfterComma, true); },
       false},
      {"slash", [&] { c.SettingsBoxClicked(SettingsBox::kForwardSlash, true); },
       false},
      {"max keywords",
       [&] {
         Type(c, TextBox::kMaxNumKeywords, "20");
         c.BoxLeft(TextBox::kMaxNumKeywords);
       },
       false},
      {"begin with", [&] { Type(c, TextBox::kBeginMetaTagWith, "x"); }, false},
      {"words to ignore left", [&] { c.BoxLeft(TextBox::kWordsToIgnore); },
       true},
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
}

TEST_F(ControllerTest, LeavingTheNumericFields) {
  MainController& c = Start();
  const struct {
    TextBox box;
    const char* typed;
    const char* shown;
    const char* message;  // "" for none
  } kCases[] = {
      {TextBox::kMaxNumKeywords, "12a3", "50",
       "Maximum number of keywords in the meta tag is 100."},
      {TextBox::kMaxNumKeywords, "4", "50",
       "Minimum number of keywords in the meta tag is 5."},
      {TextBox::kMaxNumKeywords, "+7", "+7", ""},
      {TextBox::kMaxNumKeywords, "-7", "7", ""},
      {TextBox::kMaxNumKeywords, "100", "100", ""},
      {TextBox::kMaxNumKeywords, "", "", ""},
      {TextBox::kMaxNumBytes, "1001", "500",
       "Maximum number of bytes in the meta tag is 1000."},
      {TextBox::kMaxNumBytes, "0", "0", ""},
  };
  for (const auto& k : kCases) {
    platform_.boxes.clear();
    window_.focus.clear();
    Type(c, k.box, k.typed);
    c.BoxLeft(k.box);
    EXPECT_EQ(window_.Text(k.box), k.shown) << k.typed;
    const std::string expected =
        *k.message ? std::string("VORN | ") + k.message + " | none | ok\n" : "";
    EXPECT_EQ(platform_.BoxesText(), expected) << k.typed;
    if (*k.message) {
      ASSERT_EQ(window_.focus.size(), 1u) << k.typed;
      EXPECT_EQ(window_.focus[0], k.box == TextBox::kMaxNumKeywords
                                      ? Control::kMaxNumKeywordsBox
                                      : Control::kMaxNumBytesBox);
    }
  }
  EXPECT_EQ(c.settings().MaxNumBytesInMetaTag, "0");
}

TEST_F(ControllerTest, WordsToIgnoreAreNormalisedOnLeaving) {
  MainController& c = Start();
  Type(c, TextBox::kWordsToIgnore, "  Foo  bar,, Baz ,");
  EXPECT_EQ(c.settings().WordsToIgnore, "");  // not before leaving
  c.BoxLeft(TextBox::kWordsToIgnore);
  EXPECT_EQ(window_.Text(TextBox::kWordsToIgnore), "foo,bar,baz");
  EXPECT_EQ(c.settings().IgnoreList(), "foo,bar,baz,");
  c.ClearWordsToIgnoreClicked();
  EXPECT_EQ(window_.Text(TextBox::kWordsToIgnore), "");
  EXPECT_EQ(c.settings().IgnoreList(), ",");
}

TEST_F(ControllerTest, LeavingTheInputBoxes) {
  MainController& c = Start();
  Type(c, TextBox::kInputFile, "  page.txt ");
  c.BoxLeft(TextBox::kInputFile);
  EXPECT_EQ(window_.Text(TextBox::kInputFile), "page.txt");
  c.ModeClicked(false);
  Type(c, TextBox::kFolder, site_.File("nowhere") + " ");
  c.BoxLeft(TextBox::kFolder);
  EXPECT_EQ(window_.Text(TextBox::kFolder), site_.File("nowhere"));
  Type(c, TextBox::kFolder, site_.path());
  c.BoxLeft(TextBox::kFolder);
  EXPECT_EQ(platform_.BoxesText(),
            "Invalid input | Input file name must have an extension "
            "containing 'htm'. | none | ok\n"
            "Invalid input | Folder does not exist. | exclamation | ok\n");
  // Not while the window is out of ordinary use (a modal dialog is up).
  window_.interactive = false;
  platform_.boxes.clear();
  Type(c, TextBox::kFolder, site_.File("nowhere"));
  c.BoxLeft(TextBox::kFolder);
  EXPECT_EQ(platform_.BoxesText(), "");
}

TEST_F(ControllerTest, RestoreDefaultsKeepsTextsAndLanguage) {
  MainController& c = Start();
  const std::string page = Page();
  Type(c, TextBox::kInputFile, page);
  Type(c, TextBox::kBeginMetaTagWith, "phrase");
  Type(c, TextBox::kWordsToIgnore, "foo");
  c.BoxLeft(TextBox::kWordsToIgnore);
  Type(c, TextBox::kMaxNumKeywords, "20");
  c.ListChanged(SettingsList::kTableWeight, 9);
  c.ListChanged(SettingsList::kTitleWeight, 1);
  c.LanguageChanged(kFrench);  // no French list: reported, box unticked
  c.ResetClicked();
  EXPECT_EQ(window_.Text(TextBox::kInputFile), page);
  EXPECT_EQ(window_.Text(TextBox::kBeginMetaTagWith), "phrase");
  EXPECT_EQ(window_.Text(TextBox::kWordsToIgnore), "foo");
  EXPECT_EQ(window_.Text(TextBox::kMaxNumKeywords), "50");
  EXPECT_EQ(window_.settings.TableWeight, 2);
  EXPECT_EQ(window_.settings.TitleWeight, 90);
  EXPECT_EQ(window_.settings.TextLanguage, kFrench);
  EXPECT_TRUE(window_.settings.IgnoreCommonWords);
  EXPECT_EQ(window_.focus.back(), Control::kGenerateButton);
}

// --- Commands.

TEST_F(ControllerTest, ChoosingTheInputFile) {
  MainController& c = Start();
  window_.output = "old output";
  platform_.next_file = "";
  c.InputFileClicked();  // cancelled: nothing changes
  EXPECT_EQ(window_.output, "old output");
  ASSERT_EQ(platform_.open_dialogs.size(), 1u);
  EXPECT_EQ(platform_.open_dialogs[0].title, "Specify input file");
  EXPECT_EQ(platform_.open_dialogs[0].filter,
            "HTML files (*.htm, *.html, *.shtm, *.shtml) | "
            "*.htm;*.html;*.shtm;*.shtml");
  const std::string page = Page();
  platform_.next_file = page;
  c.InputFileClicked();
  EXPECT_EQ(window_.Text(TextBox::kInputFile), page);
  EXPECT_EQ(window_.output, "");
  EXPECT_EQ(window_.focus.back(), Control::kGenerateButton);
  EXPECT_EQ(platform_.BoxesText(), "");
}

TEST_F(ControllerTest, ChoosingAndClearingTheFolder) {
  MainController& c = Start();
  c.ModeClicked(false);
  platform_.next_folder = site_.path();
  c.FolderClicked();
  EXPECT_EQ(platform_.folder_prompts,
            std::vector<std::string>{"Select Folder"});
  EXPECT_EQ(window_.Text(TextBox::kFolder), site_.path());
  c.ClearFolderClicked();
  EXPECT_EQ(window_.Text(TextBox::kFolder), "");
  EXPECT_EQ(window_.focus.back(), Control::kFolderButton);
}

TEST_F(ControllerTest, ClearButtons) {
  MainController& c = Start();
  Type(c, TextBox::kInputFile, Page());
  c.ListWordsClicked();
  c.ClearOutputClicked();
  EXPECT_EQ(window_.output, "");
  EXPECT_EQ(window_.label, "");
  Type(c, TextBox::kBeginMetaTagWith, "x");
  c.ClearBeginMetaTagWithClicked();
  EXPECT_EQ(window_.Text(TextBox::kBeginMetaTagWith), "");
  EXPECT_EQ(c.settings().BeginMetaTagWith, "");
  c.ClearInputFileClicked();
  EXPECT_EQ(window_.Text(TextBox::kInputFile), "");
  EXPECT_EQ(window_.focus.back(), Control::kInputFileButton);
}

TEST_F(ControllerTest, ShowExistingListsTagsOrOpensTheParameters) {
  MainController& c = Start();
  Type(c, TextBox::kInputFile, Page());
  c.ShowExistingClicked();
  EXPECT_EQ(window_.output,
            "TITLE: Garden tools\r\n\r\nNo keywords meta tag found.");
  c.ModeClicked(false);
  c.ShowExistingClicked();
  EXPECT_EQ(window_.parameters_shown, 1);
}

TEST_F(ControllerTest, InsertAsksBackupAndActsOnTheAnswer) {
  const struct {
    Answer answer;
    bool changed;
    bool backup;
  } kCases[] = {{Answer::kCancel, false, false},
                {Answer::kNo, true, false},
                {Answer::kYes, true, true}};
  for (const auto& k : kCases) {
    FakeMainWindow window;
    FakePlatform platform;
    MainController c(window, platform, {program_.path(), StatePath()});
    ASSERT_TRUE(c.StartUp());
    const std::string page = Page("p.htm");
    ::unlink(site_.File("p.bak.htm").c_str());
    window.SetText(TextBox::kInputFile, page);
    c.TextEdited(TextBox::kInputFile, page);
    c.GenerateClicked();
    platform.QueueAnswer(k.answer);
    c.InsertClicked();
    EXPECT_EQ(platform.BoxesText(), "Backup? | Back up " + page + " to " +
                                        site_.File("p.bak.htm") +
                                        "? | none | yes/no/cancel\n")
        << int(k.answer);
    const std::string bytes = ReadFile(page);
    EXPECT_EQ(bytes != kPage, k.changed) << int(k.answer);
    if (k.changed) {
      EXPECT_NE(bytes.find(c.GetMetaTag() + "\r\n<meta name=\"VORN done\""),
                std::string::npos)
          << bytes;
    }
    EXPECT_EQ(Exists(site_.File("p.bak.htm")), k.backup) << int(k.answer);
    if (k.backup) {
      EXPECT_EQ(ReadFile(site_.File("p.bak.htm")), kPage);
    }
  }
}

TEST_F(ControllerTest, InsertWithoutTagOrFile) {
  MainController& c = Start();
  c.InsertClicked();  // empty output: only the focus
  EXPECT_EQ(platform_.BoxesText(), "");
  EXPECT_EQ(window_.focus.back(), Control::kInputFileButton);
  window_.output = "  <meta name=\"keywords\" content=\"a\">  ";
  c.InsertClicked();
  EXPECT_EQ(platform_.BoxesText(),
            "Error | Input file not specified. | exclamation | ok\n");
  EXPECT_EQ(window_.output, "<meta name=\"keywords\" content=\"a\">");
}

TEST_F(ControllerTest, InsertWithoutDoneTagWhenTheParameterIsClear) {
  MainController& c = Start();
  const std::string page = Page();
  Type(c, TextBox::kInputFile, page);
  c.GenerateClicked();
  c.ParameterClicked(Parameter::kConfirm, false);
  c.ParameterClicked(Parameter::kAddDone, false);
  platform_.QueueAnswer(Answer::kNo);
  c.InsertClicked();
  EXPECT_EQ(ReadFile(page).find("VORN done"), std::string::npos);
}

TEST_F(ControllerTest, SavingTheStateFromTheButtonAndOnQuit) {
  MainController& c = Start();
  c.ModeClicked(false);
  Type(c, TextBox::kFolder, site_.path());
  c.ListWordsClicked();
  EXPECT_EQ(platform_.BoxesText(), "");
  const std::optional<SavedState> saved = LoadState(StatePath());
  ASSERT_TRUE(saved.has_value());
  EXPECT_EQ(saved->Folder, site_.path());
  EXPECT_FALSE(saved->SingleFileMode);
  EXPECT_EQ(window_.focus.back(), Control::kGenerateButton);

  ::unlink(StatePath().c_str());
  c.Quit();
  EXPECT_TRUE(window_.ended);
  EXPECT_TRUE(Exists(StatePath()));
}

TEST_F(ControllerTest, QuitWithoutSaveOnQuitWritesNothing) {
  MainController& c = Start();
  c.ParameterClicked(Parameter::kSaveStateOnQuit, false);
  c.Quit();
  EXPECT_TRUE(window_.ended);
  EXPECT_FALSE(Exists(StatePath()));
}

TEST_F(ControllerTest, FailedSavesShowTheirMessages) {
  controller_ = std::make_unique<MainController>(
      window_, platform_,
      ControllerPaths{program_.path(), user_.File("missing/vorn.usr")});
  ASSERT_TRUE(controller_->StartUp());
  MainController& c = *controller_;
  c.ModeClicked(false);
  c.ListWordsClicked();
  ASSERT_EQ(platform_.boxes.size(), 2u);
  const MessageBox& first = platform_.boxes[0];
  EXPECT_EQ(first.caption, "Save state");
  EXPECT_EQ(first.text.rfind("Error when attempting to save the state: ", 0),
            0u);
  EXPECT_GT(first.text.size(),
            std::string("Error when attempting to save the state: ").size());
  EXPECT_EQ(first.icon, Icon::kExclamation);
  EXPECT_EQ(DescribeBox(platform_.boxes[1]),
            "Save state | Error when attempting to save the state | "
            "exclamation | ok");
  // On quitting only the first message, then the program ends.
  platform_.boxes.clear();
  c.Quit();
  ASSERT_EQ(platform_.boxes.size(), 1u);
  EXPECT_EQ(platform_.boxes[0].text.rfind("Error when attempting", 0), 0u);
  EXPECT_TRUE(window_.ended);
}

TEST_F(ControllerTest, ManualLink) {
  MainController& c = Start();
  c.ManualLinkClicked();
  ASSERT_EQ(platform_.opened_urls.size(), 1u);
  EXPECT_EQ(platform_.opened_urls[0],
            "file://" + program_.path() + "/manual.html");
  EXPECT_EQ(platform_.BoxesText(), "");
  platform_.url_opens = false;
  c.ManualLinkClicked();
  EXPECT_EQ(platform_.BoxesText(),
            "Cannot launch web browser | Error launching web browser.\r\n\r\n"
            "Please make sure that your web browser is correctly "
            "installed,\r\nthat '.htm' files are associated with it, and "
            "that there is\r\nsufficient memory available. | exclamation | "
            "ok\n");
}

TEST(ManualAddressTest, RelativeNamesBecomeFileUrls) {
  const struct {
    const char* text;
    const char* folder;
    const char* url;
  } kCases[] = {
      {"manual.html", "/usr/share/vorn", "file:///usr/share/vorn/manual.html"},
      {"manual.html", "/opt/my app/", "file:///opt/my%20app/manual.html"},
      {"docs/m.html", "/x", "file:///x/docs/m.html"},
      {"/abs/m.html", "/x", "file:///abs/m.html"},
      {"https://example.org/m", "/x", "https://example.org/m"},
      {"file:///a/b.html", "/x", "file:///a/b.html"},
      {"  manual.html ", "/x", "file:///x/manual.html"},
      {"man\xFC.html", "/x", "file:///x/man%C3%BC.html"},
  };
  for (const auto& k : kCases)
    EXPECT_EQ(ManualAddress(k.text, k.folder), k.url) << k.text;
}

TEST_F(ControllerTest, HelpAndF1) {
  MainController& c = Start();
  c.HelpClicked();
  EXPECT_EQ(window_.help_shown, 1);
  const struct {
    Control control;
    int key;
    bool opens;
  } kCases[] = {
      {Control::kShowExistingButton, kKeyF1, true},
      {Control::kGenerateButton, kKeyF1, true},
      {Control::kHelpButton, kKeyF1, true},
      {Control::kInputFileButton, kKeyF1, true},
      {Control::kListWordsButton, kKeyF1, true},
      {Control::kFolderButton, kKeyF1, false},
      {Control::kMaxNumBytesBox, kKeyF1, false},
      {Control::kOther, kKeyF1, false},
      {Control::kHelpButton, 113, false},
  };
  for (const auto& k : kCases) {
    const int before = window_.help_shown;
    c.KeyReleased(k.control, k.key);
    EXPECT_EQ(window_.help_shown - before, k.opens ? 1 : 0)
        << int(k.control) << " " << k.key;
  }
}

TEST_F(ControllerTest, ParameterCouplings) {
  MainController& c = Start();
  c.ParameterClicked(Parameter::kIncludeOldMetaTag, true);
  EXPECT_TRUE(window_.parameters.IncludeOldMetaTag);
  EXPECT_TRUE(window_.parameters.IncludeNewMetaTag);
  c.ParameterClicked(Parameter::kIncludeNewMetaTag, false);
  EXPECT_FALSE(window_.parameters.IncludeNewMetaTag);
  EXPECT_FALSE(window_.parameters.IncludeOldMetaTag);
  c.ParameterClicked(Parameter::kLogOperations, false);
  EXPECT_FALSE(window_.enabling.DontLogDone);
  EXPECT_FALSE(window_.enabling.IncludeNewMetaTag);
  EXPECT_FALSE(window_.enabling.IncludeOldMetaTag);
  c.ParameterClicked(Parameter::kSkipDone, true);  // the later click decides
  EXPECT_TRUE(window_.enabling.DontLogDone);
  c.ParameterClicked(Parameter::kSkipDone, false);
  EXPECT_FALSE(window_.enabling.DontLogDone);
  c.ParameterClicked(Parameter::kLogOperations, true);
  EXPECT_TRUE(window_.enabling.DontLogDone);
  EXPECT_TRUE(window_.enabling.IncludeNewMetaTag);
  c.ParameterClicked(Parameter::kHTM, false);
  EXPECT_FALSE(c.parameters().HTM);
}

TEST(ParameterBoxesTest, WindowOrderWithoutTheUnixBox) {
  std::string names;
  for (const ParameterBox& b : kParameterBoxes)
    names += std::string(b.name) + " ";
  EXPECT_EQ(names,
            "chkSaveStateOnQuit chkDontLogDone chkSkipDone chkAddDone "
            "chkClearReportAtStart chkIncludeAllSubfolders "
            "chkIncludeOldMetaTag chkIncludeNewMetaTag chkLogOperations "
            "chkDisplayWords chkConfirm chkBackup chkHTM chkSHTML chkSHTM "
            "chkHTML ");
  for (const ParameterBox& b : kParameterBoxes) {
    // Every box reads and writes its own field.
    OperationParameters p;
    ParameterEnabling e;
    const bool before = ParameterValue(p, b.parameter);
    ClickParameter(p, e, b.parameter, !before);
    EXPECT_EQ(ParameterValue(p, b.parameter), !before) << b.name;
  }
}

// --- The report window.

TEST_F(ControllerTest, ReportSaveAndItsFailure) {
  MainController& c = Start();
  c.ReportSaveClicked();  // empty report: nothing asked
  EXPECT_TRUE(platform_.save_titles.empty());
  c.report().Output("line one\r\nline two");
  platform_.next_save = site_.File("report.txt");
  c.ReportSaveClicked();
  EXPECT_EQ(platform_.save_titles,
            std::vector<std::string>{"Specify file to save to."});
  EXPECT_EQ(ReadFile(site_.File("report.txt")), "line one\r\nline two\r\n");
  platform_.next_save = site_.File("no/such/folder/report.txt");
  c.ReportSaveClicked();
  ASSERT_EQ(platform_.boxes.size(), 1u);
  EXPECT_EQ(platform_.boxes[0].caption, "Loading the common words ...");
  EXPECT_EQ(platform_.boxes[0].icon, Icon::kExclamation);
  EXPECT_FALSE(platform_.boxes[0].text.empty());
}

TEST_F(ControllerTest, ReportCopyWholeOrSelection) {
  MainController& c = Start();
  c.ReportCopyClicked("");  // empty report: only the focus
  EXPECT_EQ(platform_.clipboard_sets, 0);
  EXPECT_EQ(window_.report_close_focused, 1);
  c.report().Output("whole report");
  c.ReportSelectionChanged(true);
  EXPECT_EQ(window_.copy_caption, "Copy selected text to clipboard");
  EXPECT_EQ(window_.copy_width, 3165);
  c.ReportCopyClicked("report");
  EXPECT_EQ(platform_.clipboard, "report");
  EXPECT_EQ(window_.copy_caption, "Copy to clipboard");
  EXPECT_EQ(window_.copy_width, 2115);
  c.ReportCopyClicked("");
  EXPECT_EQ(platform_.clipboard, "whole report");
  c.ReportSelectionChanged(true);
  c.ReportSelectionChanged(false);
  EXPECT_EQ(window_.copy_caption, "Copy to clipboard");
  EXPECT_EQ(window_.copy_width, 2115);
}

TEST_F(ControllerTest, ClosingTheReportShowsViewReport) {
  MainController& c = Start();
  c.ModeClicked(false);
  window_.label = "count";
  window_.report_visible = true;
  c.ReportCloseClicked();
  EXPECT_FALSE(window_.report_visible);
  EXPECT_FALSE(window_.commands.ViewReportVisible);
  EXPECT_EQ(window_.label, "count");
  c.report().Output("x");
  c.ReportCloseClicked();
  EXPECT_TRUE(window_.commands.ViewReportVisible);
  EXPECT_EQ(window_.label, "");
}

}  // namespace
}  // namespace vorn
