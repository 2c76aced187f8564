// The application core behind the main window, driven through a scripted
// window and desktop: start-up, the modes, the enabling around scans and
// runs, Stop and Quit, the checks made on leaving a box, when the cached
// analysis goes stale, Insert and saving the state.
#include "app/main_controller.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <algorithm>
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

void WriteFile(const std::string& path, const std::string& bytes) {
  std::ofstream(path, std::ios::binary) << bytes;
}

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

// The caption of "List words" and the groups of commands that are on, as
// "Stop: ListWords ReadOnly".
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
  };
  std::string s = k.ListWordsCaption + ":";
  for (const auto& [name, on] : kGroups)
    if (on) s += std::string(" ") + name;
  return s;
}

// The program folder is the data folder: program texts and every
// common-word list but the one for "Another". A temporary folder holds the
// state file and the pages.
class ControllerTest : public ::testing::Test {
 protected:
  void SetUp() override {
    std::string pattern =
        (fs::temp_directory_path() / "vorn_controller_XXXXXX").string();
    ASSERT_NE(::mkdtemp(pattern.data()), nullptr);
    dir_ = pattern;
    cwd_ = fs::current_path();
  }
  void TearDown() override {
    fs::current_path(cwd_);  // a scan makes the page's folder current
    fs::remove_all(dir_);
    EXPECT_TRUE(platform_.unscripted.empty()) << platform_.unscripted[0];
  }

  std::string File(const std::string& name) const { return dir_ + "/" + name; }
  std::string StatePath() const { return File("vorn.usr"); }

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

  // The user types `text` into a box.
  void Type(TextBox box, const std::string& text) {
    window_.SetText(box, text);
    c_->TextEdited(box, text);
  }

  std::string Page(const std::string& name = "page.htm") {
    fs::create_directories(fs::path(File(name)).parent_path());
    WriteFile(File(name), kPage);
    return File(name);
  }

  // Multiple-file mode over the folder `sub` holding a.htm and b.htm.
  MainController& StartOnFolder(const std::string& sub = "site") {
    Page(sub + "/a.htm");
    Page(sub + "/b.htm");
    Start();
    c_->ModeClicked(false);
    Type(TextBox::kFolder, File(sub));
    return *c_;
  }

  std::string dir_;
  fs::path cwd_;
  FakeMainWindow window_;
  FakePlatform platform_;
  std::unique_ptr<MainController> c_;
};

const char kAnotherUnavailable[] =
    "Common words not available | Common words in another language could "
    "not be read from file\r\n" VORN_DATA_DIR "/cmwds_xx.txt | exclamation\n";

TEST_F(ControllerTest, StartUpOutcomes) {
  const struct {
    const char* what;
    const char* state;  // nullptr: no file; else "input|folder|language"
    bool truncated;     // the state file lost its last line
    const char* input;  // shown after start-up
    bool multiple;
    int table_weight;
    const char* boxes;
  } kCases[] = {
      {"first start", nullptr, false, "", false, 2, ""},
      {"input kept", "page.htm||0", false, "page.htm", false, 7, ""},
      {"input gone, silently", "gone.htm||0", false, "", false, 7, ""},
      {"folder wins, input emptied", "page.htm|site|0", false, "", true, 7, ""},
      {"short file: defaults", "page.htm||0", true, "", false, 2, ""},
      {"no list for Another", "||6", false, "", false, 7, kAnotherUnavailable},
  };
  for (const auto& k : kCases) {
    fs::remove(StatePath());
    Page();
    if (k.state) {
      std::stringstream fields(k.state);
      std::string input, folder, language;
      std::getline(fields, input, '|');
      std::getline(fields, folder, '|');
      std::getline(fields, language, '|');
      SavedState state;
      if (!input.empty()) state.InputFile = File(input);
      if (!folder.empty()) state.Folder = dir_;
      state.Settings.TextLanguage = std::stoi(language);
      state.Settings.TableWeight = 7;
      std::string text = FormatState(state);
      if (k.truncated) text.resize(text.rfind("#TRUE#"));
      WriteFile(StatePath(), text);
    }
    MainController& c = Start();
    EXPECT_TRUE(c.startup_completed()) << k.what;
    EXPECT_TRUE(window_.shown) << k.what;
    EXPECT_EQ(window_.caption.rfind("VORN ", 0), 0u) << k.what;
    EXPECT_EQ(window_.Text(TextBox::kInputFile), *k.input ? File(k.input) : "")
        << k.what;
    EXPECT_EQ(window_.Text(TextBox::kFolder), k.multiple ? dir_ : "") << k.what;
    EXPECT_EQ(On(window_.commands),
              k.multiple
                  ? "Save state: ListWords Generate Others Folder Numbers Modes"
                  : "List words: ListWords Generate Others InputFile Numbers "
                    "Modes")
        << k.what;
    EXPECT_EQ(window_.settings.TableWeight, k.table_weight) << k.what;
    EXPECT_EQ(window_.Text(TextBox::kMaxNumKeywords), "50") << k.what;
    EXPECT_EQ(window_.output, "") << k.what;
    EXPECT_EQ(platform_.boxes, k.boxes) << k.what;
    EXPECT_EQ(fs::exists(StatePath()), k.state != nullptr) << k.what;
  }
}

TEST_F(ControllerTest, WithoutProgramTextsNoWindowShows) {
  FakeMainWindow window;
  FakePlatform platform;
  MainController c(window, platform, {dir_, StatePath()});
  EXPECT_FALSE(c.StartUp());
  EXPECT_EQ(platform.boxes, " | Cannot open file containing program text.\r\n" +
                                dir_ + "/vorn_text.dat | stop\n");
  EXPECT_FALSE(window.shown);
}

TEST_F(ControllerTest, EachModeKeepsItsInputAndOutput) {
  MainController& c = Start();
  c.ModeClicked(true);  // already selected: nothing changes
  Type(TextBox::kInputFile, Page());
  window_.output = "single output";
  window_.label = "Number of words ...";
  c.ModeClicked(false);
  EXPECT_EQ(window_.Text(TextBox::kInputFile), "");
  EXPECT_EQ(window_.output, "");
  EXPECT_EQ(window_.label, "");
  EXPECT_EQ(window_.commands.ShowExistingCaption, "Set operation parameters");
  EXPECT_EQ(window_.commands.GenerateCaption,
            "Generate/insert keywords meta tag");
  Type(TextBox::kFolder, dir_);
  window_.output = "multiple output";
  c.ModeClicked(true);
  EXPECT_EQ(window_.Text(TextBox::kInputFile), File("page.htm"));
  EXPECT_EQ(window_.Text(TextBox::kFolder), "");
  EXPECT_EQ(window_.output, "single output");
  EXPECT_EQ(window_.commands.ShowExistingCaption,
            "Show existing keywords etc.");
  EXPECT_EQ(window_.commands.GenerateCaption,
            "Generate/show keywords meta tag");
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

  const char kSingle[] =
      "List words: ListWords Generate Others InputFile Numbers Modes";
  const char kMultiple[] =
      "Save state: ListWords Generate Others Folder Numbers Modes";
  const struct {
    const char* phase;
    const char* on;
  } kCases[] = {
      {"single idle", kSingle},
      {"single scan", "Stop: ListWords ReadOnly"},
      {"single after", kSingle},
      {"multiple idle", kMultiple},
      {"multiple scan", "Stop: ListWords ReadOnly"},
      // Between the scan and the insertion "Stop" is left disabled.
      {"multiple inspect", "Stop: Generate Others Folder Numbers Modes"},
      {"multiple after", kMultiple},
  };
  for (const auto& k : kCases) EXPECT_EQ(seen[k.phase], k.on) << k.phase;
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
    int polls = 0;
    window_.on_pending_input = [&] {
      if (++polls != 2) return;
      if (k.quit)
        c.Quit();
      else
        c.ListWordsClicked();  // reads "Stop" now
    };
    if (!k.quit && k.run) platform_.answers.push_back(Answer::kNo);
    c.GenerateClicked();
    EXPECT_EQ(platform_.boxes, k.boxes) << k.what;
    EXPECT_TRUE(window_.output.ends_with(k.output_end)) << k.what;
    EXPECT_EQ(ReadFile(File("site/a.htm")), kPage) << k.what;
    EXPECT_EQ(ReadFile(File("site/b.htm")), kPage) << k.what;
    EXPECT_EQ(window_.inspected, 0) << k.what;
    EXPECT_EQ(window_.ended, k.quit) << k.what;
    EXPECT_FALSE(c.analysis_current()) << k.what;
    EXPECT_FALSE(fs::exists(StatePath())) << k.what;
    if (k.run && !k.quit) {
      EXPECT_NE(c.report().text().find("Operation stopped at user's request."),
                std::string::npos);
    }
  }
}

TEST_F(ControllerTest, LeavingABox) {
  const std::string kBytes = "VORN | Maximum number of bytes in the meta tag";
  const struct {
    TextBox box;
    const char* typed;
    bool interactive;
    const char* shown;  // "*" as typed
    std::string boxes;
    Control focus;
  } kCases[] = {
      {TextBox::kInputFile, " page.htm ", true, "page.htm", "",
       Control::kGenerateButton},
      {TextBox::kInputFile, "page.txt", true, "*",
       "Invalid input | Input file name must have an extension containing "
       "'htm'. | none\n",
       Control::kGenerateButton},
      {TextBox::kInputFile, "gone.htm", true, "*",
       "File not found | Input file does not exist. | exclamation\n",
       Control::kGenerateButton},
      {TextBox::kInputFile, "page.txt", false, "*", "", Control::kNone},
      {TextBox::kFolder, "nowhere ", true, "nowhere",
       "Invalid input | Folder does not exist. | exclamation\n",
       Control::kInputFileButton},
      {TextBox::kFolder, "nowhere", false, "*", "", Control::kNone},
      {TextBox::kFolder, ".", true, "*", "", Control::kInputFileButton},
      {TextBox::kMaxNumKeywords, "12a3", true, "50",
       "VORN | Maximum number of keywords in the meta tag is 100. | none\n",
       Control::kMaxNumKeywordsBox},
      {TextBox::kMaxNumKeywords, "-7", true, "7", "", Control::kNone},
      {TextBox::kMaxNumBytes, "1001", true, "500",
       kBytes + " is 1000. | none\n", Control::kMaxNumBytesBox},
      {TextBox::kWordsToIgnore, "  Foo  bar,, Baz ,", true, "foo,bar,baz", "",
       Control::kNone},
  };
  Page();
  for (const auto& k : kCases) {
    MainController& c = Start();
    fs::current_path(dir_);
    Type(k.box, k.typed);
    window_.interactive = k.interactive;
    c.BoxLeft(k.box);
    const std::string shown = std::string(k.shown) == "*" ? k.typed : k.shown;
    EXPECT_EQ(window_.Text(k.box), shown) << k.typed;
    EXPECT_EQ(c.box_text(k.box), shown) << k.typed;
    EXPECT_EQ(platform_.boxes, k.boxes) << k.typed;
    EXPECT_EQ(window_.focus, k.focus) << k.typed;
  }
  EXPECT_EQ(c_->settings().IgnoreList(), "foo,bar,baz,");
  c_->ClearWordsToIgnoreClicked();
  EXPECT_EQ(c_->settings().IgnoreList(), ",");
}

TEST_F(ControllerTest, WhichChangesMakeTheAnalysisStale) {
  MainController& c = Start();
  Type(TextBox::kInputFile, Page());
  const struct {
    const char* what;
    std::function<void()> change;
    bool stale;
  } kCases[] = {
      {"table weight", [&] { c.ListChanged(SettingsList::kTableWeight, 5); },
       true},
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
      {"max keywords left",
       [&] {
         Type(TextBox::kMaxNumKeywords, "20");
         c.BoxLeft(TextBox::kMaxNumKeywords);
       },
       false},
      {"begin with", [&] { Type(TextBox::kBeginMetaTagWith, "x"); }, false},
      {"clear begin with", [&] { c.ClearBeginMetaTagWithClicked(); }, false},
      {"words to ignore left", [&] { c.BoxLeft(TextBox::kWordsToIgnore); },
       true},
      {"clear words to ignore", [&] { c.ClearWordsToIgnoreClicked(); }, true},
      {"clear output", [&] { c.ClearOutputClicked(); }, true},
      {"input left", [&] { c.BoxLeft(TextBox::kInputFile); }, true},
      {"restore defaults", [&] { c.ResetClicked(); }, true},
      {"help", [&] { c.HelpClicked(); }, false},
  };
  for (const auto& k : kCases) {
    c.ListWordsClicked();
    ASSERT_TRUE(c.analysis_current()) << k.what;
    k.change();
    EXPECT_EQ(c.analysis_current(), !k.stale) << k.what;
  }
  // A current table is used again: Generate does not scan.
  c.ListWordsClicked();
  window_.on_pending_input = [] { ADD_FAILURE() << "scanned again"; };
  Type(TextBox::kBeginMetaTagWith, "  my phrase ");
  c.GenerateClicked();
  EXPECT_EQ(window_.Text(TextBox::kBeginMetaTagWith), "my phrase");
  EXPECT_EQ(
      c.GetMetaTag().rfind("<meta name=\"keywords\" content=\"my phrase,"), 0u)
      << window_.output;
}

// The done tag goes with Insert as the inspect dialog last left its box
// when tags are inspected, else as the parameter says.
TEST_F(ControllerTest, InsertOutcomes) {
  const struct {
    const char* what;
    bool confirm;
    bool add_done;
    int dialog_done;  // -1: no dialog yet
    Answer backup;
    bool tag;
    bool done;
  } kCases[] = {
      {"cancelled", false, true, -1, Answer::kCancel, false, false},
      {"add done", false, true, -1, Answer::kNo, true, true},
      {"no done, backup", false, false, -1, Answer::kYes, true, false},
      {"dialog cleared done", true, true, 0, Answer::kNo, true, false},
      {"dialog ticked done", true, false, 1, Answer::kNo, true, true},
      {"no dialog yet", true, true, -1, Answer::kNo, true, true},
  };
  for (const auto& k : kCases) {
    MainController& c = StartOnFolder("run");
    c.ParameterClicked(Parameter::kConfirm, k.confirm);
    c.ParameterClicked(Parameter::kAddDone, k.add_done);
    if (k.dialog_done >= 0) {
      c.ParameterClicked(Parameter::kConfirm, true);
      window_.on_inspect = [&](const InspectRequest& r) {
        return InspectAnswer{false, true, k.dialog_done == 1, r.tag};
      };
      c.GenerateClicked();
      c.ParameterClicked(Parameter::kConfirm, k.confirm);
    }
    c.ModeClicked(true);
    const std::string page = Page("p.htm");
    fs::remove(File("p.bak.htm"));
    Type(TextBox::kInputFile, page);
    c.GenerateClicked();
    platform_.boxes.clear();
    platform_.answers.push_back(k.backup);
    c.InsertClicked();
    EXPECT_EQ(platform_.boxes, "Backup? | Back up " + page + " to " +
                                   File("p.bak.htm") + "? | none | ?\n")
        << k.what;
    const std::string bytes = ReadFile(page);
    EXPECT_EQ(bytes.find(c.GetMetaTag() + "\r\n") != std::string::npos, k.tag)
        << k.what;
    EXPECT_EQ(bytes.find("<meta name=\"VORN done\"") != std::string::npos,
              k.done)
        << k.what << bytes;
    EXPECT_EQ(ReadFile(File("p.bak.htm")),
              k.backup == Answer::kYes ? kPage : "")
        << k.what;
  }
}

TEST_F(ControllerTest, SaveStateOutcomes) {
  const std::string kError =
      "Save state | Error when attempting to save the state";
  const struct {
    const char* what;
    bool quit;  // Quit, else the save-state button
    bool save_on_quit;
    bool writable;
    bool saved;
    int messages;
  } kCases[] = {
      {"button", false, false, true, true, 0},
      {"button fails", false, false, false, false, 2},
      {"quit saves", true, true, true, true, 0},
      {"quit without saving", true, false, true, false, 0},
      {"quit, save fails", true, true, false, false, 1},
  };
  for (const auto& k : kCases) {
    fs::remove(StatePath());
    Page("site/a.htm");
    const std::string path = k.writable ? StatePath() : File("no/vorn.usr");
    MainController& c = Start(path);
    c.ModeClicked(false);
    Type(TextBox::kFolder, File("site"));
    c.ParameterClicked(Parameter::kSaveStateOnQuit, k.save_on_quit);
    if (k.quit)
      c.Quit();
    else
      c.ListWordsClicked();
    EXPECT_EQ(window_.ended, k.quit) << k.what;
    const std::optional<SavedState> saved = LoadState(path);
    ASSERT_EQ(saved.has_value(), k.saved) << k.what;
    if (saved) {
      EXPECT_EQ(saved->Folder, File("site")) << k.what;
      EXPECT_FALSE(saved->SingleFileMode) << k.what;
    }
    // The system's description follows the first message.
    const std::string first = kError + ": ";
    const std::string second = kError + " | exclamation\n";
    const std::size_t at = platform_.boxes.find(first);
    EXPECT_EQ(at != std::string::npos, k.messages > 0) << k.what;
    EXPECT_EQ(platform_.boxes.ends_with("\n" + second), k.messages == 2)
        << k.what << platform_.boxes;
    EXPECT_EQ(std::count(platform_.boxes.begin(), platform_.boxes.end(), '\n'),
              k.messages)
        << k.what;
  }
}

TEST_F(ControllerTest, ChoosingShowingAndClearing) {
  MainController& c = Start();
  window_.output = "old output";
  c.InputFileClicked();  // cancelled
  EXPECT_EQ(window_.output, "old output");
  platform_.next_file = Page();
  c.InputFileClicked();
  EXPECT_EQ(window_.Text(TextBox::kInputFile), platform_.next_file);
  EXPECT_EQ(window_.output, "");
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

TEST_F(ControllerTest, RestoreDefaultsKeepsTextsAndLanguage) {
  MainController& c = Start();
  Type(TextBox::kInputFile, Page());
  Type(TextBox::kBeginMetaTagWith, "phrase");
  Type(TextBox::kMaxNumKeywords, "20");
  c.ListChanged(SettingsList::kTitleWeight, 1);
  c.SettingsBoxClicked(SettingsBox::kForwardSlash, true);
  c.LanguageChanged(kAnotherLanguage);  // no list: reported, box unticked
  EXPECT_EQ(platform_.boxes, kAnotherUnavailable);
  EXPECT_FALSE(window_.settings.IgnoreCommonWords);
  c.ResetClicked();
  EXPECT_EQ(window_.Text(TextBox::kInputFile), File("page.htm"));
  EXPECT_EQ(window_.Text(TextBox::kBeginMetaTagWith), "phrase");
  EXPECT_EQ(window_.Text(TextBox::kMaxNumKeywords), "50");
  EXPECT_EQ(window_.settings.TitleWeight, 90);
  EXPECT_FALSE(window_.settings.ForwardSlash);
  EXPECT_EQ(window_.settings.TextLanguage, kAnotherLanguage);
  EXPECT_TRUE(window_.settings.IgnoreCommonWords);
  EXPECT_EQ(window_.focus, Control::kGenerateButton);
}

TEST_F(ControllerTest, GermanLowerCaseNeedsConfirmation) {
  MainController& c = Start();
  c.LanguageChanged(kGerman);
  c.SettingsBoxClicked(SettingsBox::kPreserveCase, true);  // asks nothing
  platform_.answers = {Answer::kNo, Answer::kYes};
  c.SettingsBoxClicked(SettingsBox::kPreserveCase, false);
  EXPECT_TRUE(window_.settings.PreserveCase);
  c.SettingsBoxClicked(SettingsBox::kPreserveCase, false);
  EXPECT_FALSE(window_.settings.PreserveCase);
  const std::string question =
      "Confirmation | For German text it is better to keep upper/lower "
      "case.\r\n\r\nAre you sure you want all keywords in lower case? | "
      "none | ?\n";
  EXPECT_EQ(platform_.boxes, question + question);
}

// Each click, then "old new dontlog" as shown: "1" ticked, "0" clear, "-"
// disabled.
TEST_F(ControllerTest, ParameterBoxesAndTheirCouplings) {
  MainController& c = Start();
  const struct {
    Parameter parameter;
    bool ticked;
    const char* shown;
  } kCases[] = {
      {Parameter::kIncludeOldMetaTag, true, "1 1 0"},
      {Parameter::kIncludeNewMetaTag, false, "0 0 0"},
      {Parameter::kLogOperations, false, "- - -"},
      {Parameter::kSkipDone, true, "- - 0"},
      {Parameter::kSkipDone, false, "- - -"},
      {Parameter::kLogOperations, true, "0 0 0"},
      {Parameter::kSkipDone, false, "0 0 -"},
  };
  auto show = [](bool enabled, bool ticked) {
    return std::string(enabled ? (ticked ? "1" : "0") : "-");
  };
  for (const auto& k : kCases) {
    c.ParameterClicked(k.parameter, k.ticked);
    const OperationParameters& p = window_.parameters;
    const ParameterEnabling& e = window_.enabling;
    EXPECT_EQ(show(e.IncludeOldMetaTag, p.IncludeOldMetaTag) + " " +
                  show(e.IncludeNewMetaTag, p.IncludeNewMetaTag) + " " +
                  show(e.DontLogDone, p.DontLogDone),
              k.shown)
        << int(k.parameter) << " " << k.ticked;
  }
  // A plain box sets its own field only.
  for (const ParameterBox& plain : kParameterBoxes) {
    const Parameter p = plain.parameter;
    if (p == Parameter::kSkipDone || p == Parameter::kLogOperations ||
        p == Parameter::kIncludeOldMetaTag ||
        p == Parameter::kIncludeNewMetaTag)
      continue;  // coupled, above
    const OperationParameters before = c.parameters();
    c.ParameterClicked(p, !ParameterValue(before, p));
    for (const ParameterBox& other : kParameterBoxes) {
      EXPECT_EQ(ParameterValue(c.parameters(), other.parameter) !=
                    ParameterValue(before, other.parameter),
                other.parameter == p)
          << plain.name << " " << other.name;
    }
  }
}

TEST_F(ControllerTest, HelpManualAndF1) {
  MainController& c = Start();
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
      {Control::kOther, kKeyF1, false},
      {Control::kHelpButton, kKeyF1 + 1, false},
  };
  for (const auto& k : kCases) {
    const int before = window_.help_shown;
    c.KeyReleased(k.control, k.key);
    EXPECT_EQ(window_.help_shown - before, k.opens ? 1 : 0)
        << int(k.control) << " " << k.key;
  }
  c.ManualLinkClicked();
  EXPECT_EQ(platform_.urls,
            std::vector<std::string>{"file://" VORN_DATA_DIR "/manual.html"});
  EXPECT_EQ(platform_.boxes, "");
  platform_.url_opens = false;
  c.ManualLinkClicked();
  EXPECT_EQ(platform_.boxes,
            "Cannot launch web browser | Error launching web browser.\r\n\r\n"
            "Please make sure that your web browser is correctly "
            "installed,\r\nthat '.htm' files are associated with it, and "
            "that there is\r\nsufficient memory available. | exclamation\n");
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
      {"man\xFC.html", "/x", "file:///x/man%C3%BC.html"},
  };
  for (const auto& k : kCases)
    EXPECT_EQ(ManualAddress(k.text, k.folder), k.url) << k.text;
}

TEST_F(ControllerTest, ReportWindowCommands) {
  MainController& c = StartOnFolder();
  c.ParameterClicked(Parameter::kConfirm, false);
  window_.on_pending_input = [&] { window_.report_visible = false; };
  c.GenerateClicked();  // the report window was closed during the run
  const std::string log = c.report().text();
  ASSERT_FALSE(log.empty());
  EXPECT_TRUE(window_.commands.ViewReportVisible);
  c.ViewReportClicked();
  EXPECT_TRUE(window_.report_visible);
  EXPECT_FALSE(window_.commands.ViewReportVisible);

  c.ReportSelectionChanged(true);
  EXPECT_EQ(window_.copy_caption, "Copy selected text to clipboard");
  c.ReportCopyClicked("Folder");
  EXPECT_EQ(platform_.clipboard, "Folder");
  EXPECT_EQ(window_.copy_caption, "Copy to clipboard");
  c.ReportCopyClicked("");
  EXPECT_EQ(platform_.clipboard, log);

  platform_.next_save = File("report.txt");
  c.ReportSaveClicked();
  EXPECT_EQ(ReadFile(File("report.txt")), log + "\r\n");
  platform_.boxes.clear();
  platform_.next_save = File("no/report.txt");
  c.ReportSaveClicked();
  EXPECT_EQ(platform_.boxes.rfind("Loading the common words ... | ", 0), 0u)
      << platform_.boxes;

  c.ReportCloseClicked();
  EXPECT_FALSE(window_.report_visible);
  EXPECT_TRUE(window_.commands.ViewReportVisible);
  c.ModeClicked(true);
  EXPECT_FALSE(window_.commands.ViewReportVisible);
}

}  // namespace
}  // namespace vorn
