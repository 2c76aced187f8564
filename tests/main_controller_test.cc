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
#include <map>
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

// A page whose words "garden", "tools" and "spade" occur often enough for
// the default settings.
constexpr const char* kPage =
    "<html>\r\n<head>\r\n<title>Garden tools</title>\r\n</head>\r\n<body>\r\n"
    "<p>garden tools spade garden tools spade garden</p>\r\n"
    "</body>\r\n</html>\r\n";

// The commands that are on, after the caption of "List words", e.g.
// "Stop: ListWords ReadOnly".
std::string On(const CommandState& k) {
  const std::pair<const char*, bool> kFlags[] = {
      {"ListWords", k.ListWords},
      {"Generate", k.Generate && k.ShowExisting && k.Insert},
      {"Others", k.Reset && k.Help && k.ClearOutput &&
                     k.ClearBeginMetaTagWith && k.ClearWordsToIgnore},
      {"InputFile", k.InputFile && k.ClearInputFile},
      {"Folder", k.Folder && k.ClearFolder},
      {"Numbers", k.MaxNumKeywords && k.MaxNumBytes},
      {"Modes", k.OptSingleFile && k.OptMultipleFiles},
      {"ReadOnly", k.InputFileReadOnly && k.FolderReadOnly},
      {"ViewReport", k.ViewReportVisible},
  };
  std::string s = k.ListWordsCaption + ":";
  for (const auto& [name, on] : kFlags)
    if (on) s += std::string(" ") + name;
  return s;
}

// A program folder with the program texts and the English and German
// common words (no list for "Another"), and a state file beside it.
class ControllerTest : public ::testing::Test {
 protected:
  void SetUp() override {
    for (const char* name : {"vorn_text.dat", "cmwds_en.txt", "cmwds_de.txt"})
      WriteFile(program_.File(name),
                ReadFile(std::string(VORN_DATA_DIR) + "/" + name));
    char buf[4096];
    if (::getcwd(buf, sizeof buf) != nullptr) cwd_ = buf;
  }
  // A scan makes the page's folder the current one.
  void TearDown() override {
    if (!cwd_.empty()) {
      EXPECT_EQ(::chdir(cwd_.c_str()), 0);
    }
  }

  std::string StatePath() const { return user_.File("vorn.usr"); }

  // A fresh window, platform and controller, started.
  MainController& Start(const std::string& state_path = "") {
    controller_.reset();
    window_ = FakeMainWindow();
    platform_ = FakePlatform();
    controller_ = std::make_unique<MainController>(
        window_, platform_,
        ControllerPaths{program_.path(),
                        state_path.empty() ? StatePath() : state_path});
    EXPECT_TRUE(controller_->StartUp());
    return *controller_;
  }

  // The user types `text` into a box.
  void Type(TextBox box, const std::string& text) {
    window_.SetText(box, text);
    controller_->TextEdited(box, text);
  }

  std::string Page(const std::string& name = "page.htm") {
    const std::string path = site_.File(name);
    WriteFile(path, kPage);
    return path;
  }

  // Multiple-file mode over the site folder.
  MainController& StartOnFolder() {
    MainController& c = Start();
    c.ModeClicked(false);
    Type(TextBox::kFolder, site_.path());
    return c;
  }

  std::string AnotherUnavailable() const {
    return "Common words not available | Common words in another language "
           "could not be read from file\r\n" +
           program_.File("cmwds_xx.txt") + " | exclamation | ok\n";
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

TEST_F(ControllerTest, FirstStartWithoutStateFile) {
  MainController& c = Start();
  EXPECT_TRUE(c.startup_completed());
  EXPECT_EQ(platform_.BoxesText(), "");
  EXPECT_EQ(window_.caption.rfind("VORN ", 0), 0u) << window_.caption;
  // Caption, defaults, lists, defaults again (there is no state file), shown,
  // then text 13 while the common words load, then the box is emptied.
  EXPECT_EQ(window_.LogText(),
            "SetCaption,Output=,FillSettingsLists,Output=,ShowMainWindow,"
            "Output=Loading the common words ...,Output=");
  bool saw_loading = false;  // all off while the common words load
  for (const CommandState& k : window_.command_history)
    saw_loading |= On(k).ends_with(": ReadOnly");
  EXPECT_TRUE(saw_loading);
  EXPECT_TRUE(window_.commands.single_file_mode);
  for (const TextBox box : {TextBox::kInputFile, TextBox::kFolder})
    EXPECT_EQ(window_.Text(box), "") << int(box);
  EXPECT_EQ(window_.Text(TextBox::kMaxNumKeywords), "50");
  EXPECT_EQ(window_.Text(TextBox::kMaxNumBytes), "500");
  EXPECT_EQ(window_.settings.TitleWeight, 90);
  EXPECT_TRUE(window_.settings.IgnoreCommonWords);
  EXPECT_TRUE(window_.parameters.SaveStateOnQuit);
  EXPECT_FALSE(window_.inserted_visible);
  EXPECT_FALSE(Exists(StatePath()));  // nothing written before a save
}

TEST_F(ControllerTest, BadProgramTextsEndTheProgram) {
  const struct {
    const char* text;  // nullptr: no file
    const char* message;
  } kCases[] = {
      {nullptr, "Cannot open file containing program text.\r\n"},
      {"1 VORN\n# note\n1 again\n", "Duplicate in program text at line 3."},
  };
  for (const auto& k : kCases) {
    const std::string path = program_.File("vorn_text.dat");
    ::unlink(path.c_str());
    if (k.text) WriteFile(path, k.text);
    FakeMainWindow window;
    FakePlatform platform;
    MainController c(window, platform, {program_.path(), StatePath()});
    EXPECT_FALSE(c.StartUp()) << k.message;
    EXPECT_EQ(platform.BoxesText(), std::string(" | ") + k.message +
                                        (k.text ? "" : path) +
                                        " | stop | ok\n");
    EXPECT_FALSE(window.shown) << k.message;
  }
}

TEST_F(ControllerTest, StartUpFromAStateFile) {
  const struct {
    const char* what;
    const char* input;  // the saved input file, in the site folder
    bool folder;        // the site folder saved
    bool another;       // "Another" saved with common words
    bool truncated;     // the last line cut off
    bool input_kept;
    bool multiple;
  } kCases[] = {
      {"input file gone", "gone.htm", false, false, false, false, false},
      {"input file kept", "page.htm", false, false, false, true, false},
      {"folder decides the mode", "page.htm", true, false, false, false, true},
      {"short file gives the defaults", "", true, false, true, false, false},
      {"Another reported", "", false, true, false, false, false},
  };
  for (const auto& k : kCases) {
    SavedState state;
    if (*k.input) state.InputFile = site_.File(k.input);
    if (k.folder) state.Folder = site_.path();
    if (k.another) state.Settings.TextLanguage = kAnotherLanguage;
    state.Settings.TableWeight = 7;
    state.SingleFileMode = true;  // a saved folder decides
    std::string text = FormatState(state);
    if (k.truncated) text.resize(text.rfind("#TRUE#"));
    WriteFile(StatePath(), text);
    Page();
    MainController& c = Start();
    EXPECT_EQ(window_.Text(TextBox::kInputFile),
              k.input_kept ? site_.File(k.input) : "")
        << k.what;
    EXPECT_EQ(window_.Text(TextBox::kFolder), k.multiple ? site_.path() : "")
        << k.what;
    EXPECT_EQ(window_.commands.single_file_mode, !k.multiple) << k.what;
    EXPECT_EQ(On(window_.commands).find("Folder") != std::string::npos,
              k.multiple)
        << k.what;
    EXPECT_EQ(window_.settings.TableWeight, k.truncated ? 2 : 7) << k.what;
    EXPECT_EQ(platform_.BoxesText(), k.another ? AnotherUnavailable() : "")
        << k.what;
    EXPECT_EQ(c.settings().IgnoreCommonWords, !k.another) << k.what;
  }
}

// --- Modes.

TEST_F(ControllerTest, SwitchingModesKeepsEachModesInputAndOutput) {
  MainController& c = Start();
  window_.output = "kept";
  const std::size_t shown = window_.command_history.size();
  c.ModeClicked(true);  // the selected mode: nothing happens
  EXPECT_EQ(window_.command_history.size(), shown);
  const std::string page = Page();
  platform_.next_file = page;
  c.InputFileClicked();
  window_.output = "single output";

  c.ModeClicked(false);
  EXPECT_EQ(window_.Text(TextBox::kInputFile), "");
  EXPECT_EQ(window_.Text(TextBox::kFolder), "");
  EXPECT_EQ(window_.output, "");
  EXPECT_EQ(window_.commands.ListWordsCaption, "Save state");
  EXPECT_EQ(window_.commands.ShowExistingCaption, "Set operation parameters");
  EXPECT_EQ(window_.commands.GenerateCaption,
            "Generate/insert keywords meta tag");
  Type(TextBox::kFolder, site_.path());
  window_.output = "multiple output";

  c.ModeClicked(true);
  EXPECT_EQ(window_.Text(TextBox::kInputFile), page);
  EXPECT_EQ(window_.Text(TextBox::kFolder), "");
  EXPECT_EQ(window_.output, "single output");
  EXPECT_EQ(window_.commands.GenerateCaption,
            "Generate/show keywords meta tag");

  c.ModeClicked(false);
  EXPECT_EQ(window_.Text(TextBox::kFolder), site_.path());
  EXPECT_EQ(window_.Text(TextBox::kInputFile), "");
  EXPECT_EQ(window_.output, "multiple output");
}

// --- Scans and runs.

TEST_F(ControllerTest, CommandsBeforeDuringAndAfterScansAndRuns) {
  std::map<std::string, std::string> seen;
  auto during = [&](const char* phase) {
    window_.on_pending_input = [&, phase] {
      if (!seen.count(phase)) seen[phase] = On(window_.commands);
    };
  };
  MainController& c = Start();
  seen["single idle"] = On(window_.commands);
  Type(TextBox::kInputFile, Page());
  during("single scan");
  c.ListWordsClicked();
  seen["single after"] = On(window_.commands);

  Page("a.htm");
  StartOnFolder();
  seen["multiple idle"] = On(window_.commands);
  during("multiple scan");
  window_.on_inspect = [&](const InspectRequest& r) {
    seen["multiple inspect"] = On(window_.commands);
    return InspectAnswer{true, false, false, r.tag};
  };
  controller_->GenerateClicked();
  seen["multiple after"] = On(window_.commands);

  const struct {
    const char* phase;
    const char* on;
  } kCases[] = {
      {"single idle",
       "List words: ListWords Generate Others InputFile Numbers Modes"},
      {"single scan", "Stop: ListWords ReadOnly"},
      {"single after",
       "List words: ListWords Generate Others InputFile Numbers Modes"},
      {"multiple idle",
       "Save state: ListWords Generate Others Folder Numbers Modes"},
      {"multiple scan", "Stop: ListWords ReadOnly"},
      // Between the scan and the insertion "Stop" is left disabled.
      {"multiple inspect", "Stop: Generate Others Folder Numbers Modes"},
      {"multiple after",
       "Save state: ListWords Generate Others Folder Numbers Modes"},
  };
  for (const auto& k : kCases) EXPECT_EQ(seen[k.phase], k.on) << k.phase;
}

TEST_F(ControllerTest, SingleFileScanListsTheWordsOnce) {
  MainController& c = Start();
  Type(TextBox::kInputFile, Page());
  Type(TextBox::kBeginMetaTagWith, "  my phrase  ");
  c.ListWordsClicked();
  EXPECT_NE(window_.output.find("garden"), std::string::npos);
  EXPECT_TRUE(c.analysis_current());
  EXPECT_EQ(window_.focus.back(), Control::kGenerateButton);
  const int polls = window_.pending_input_calls;
  c.GenerateClicked();  // from the table of the listing
  EXPECT_EQ(window_.pending_input_calls, polls);
  // The begin-with phrases are shown trimmed after composing.
  EXPECT_EQ(window_.Text(TextBox::kBeginMetaTagWith), "my phrase");
  EXPECT_EQ(
      c.GetMetaTag().rfind("<meta name=\"keywords\" content=\"my phrase,", 0),
      0u)
      << window_.output;
}

TEST_F(ControllerTest, StopDuringAScanEndsIt) {
  MainController& c = Start();
  Type(TextBox::kInputFile, Page());
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
  EXPECT_EQ(platform_.BoxesText(), "");
}

TEST_F(ControllerTest, InputMessages) {
  MainController& c = Start();
  c.GenerateClicked();
  EXPECT_TRUE(window_.focus.empty());
  Type(TextBox::kInputFile, "  page.txt ");
  c.BoxLeft(TextBox::kInputFile);
  EXPECT_EQ(window_.Text(TextBox::kInputFile), "page.txt");
  c.ModeClicked(false);
  c.GenerateClicked();
  Type(TextBox::kFolder, site_.File("nowhere") + " ");
  c.BoxLeft(TextBox::kFolder);
  EXPECT_EQ(window_.Text(TextBox::kFolder), site_.File("nowhere"));
  c.GenerateClicked();
  window_.interactive = false;  // a dialog is up: leaving checks nothing
  c.BoxLeft(TextBox::kFolder);
  EXPECT_EQ(platform_.BoxesText(),
            "Error | Input file not specified. | exclamation | ok\n"
            "Invalid input | Input file name must have an extension "
            "containing 'htm'. | none | ok\n"
            "Invalid input | No input folder specified. | exclamation | ok\n"
            "Invalid input | Folder does not exist. | exclamation | ok\n"
            "Invalid input | Folder does not exist | exclamation | ok\n");
}

TEST_F(ControllerTest, RunInsertsAndShowsItsProgressAndReport) {
  Page("a.htm");
  MainController& c = StartOnFolder();
  c.GenerateClicked();
  EXPECT_EQ(platform_.BoxesText(),
            "Result | A keywords meta tag was inserted in 1 file in 1 folder. "
            "| none | ok\n");
  EXPECT_EQ(window_.inspect_requests.size(), 1u);
  EXPECT_EQ(window_.Text(TextBox::kInputFile), site_.File("a.htm"));
  EXPECT_EQ(window_.progress.back(), 1);
  EXPECT_FALSE(window_.progress_running);
  EXPECT_TRUE(window_.report_visible);
  EXPECT_TRUE(window_.report_buttons_enabled);
  EXPECT_NE(ReadFile(site_.File("a.htm")).find("<meta name=\"keywords\""),
            std::string::npos);
}

TEST_F(ControllerTest, StopDuringARunAsksWhetherToGoOn) {
  Page("a.htm");
  Page("b.htm");
  MainController& c = StartOnFolder();
  c.ParameterClicked(Parameter::kConfirm, false);
  bool pressed = false;
  window_.on_pending_input = [&] {
    if (!pressed) c.ListWordsClicked();
    pressed = true;
  };
  platform_.QueueAnswer(Answer::kNo);
  c.GenerateClicked();
  EXPECT_EQ(platform_.BoxesText(),
            "Continue? | Go on to the next file? | none | yes/no\n"
            "Result | No keywords meta tag was inserted in any file. | none "
            "| ok\n");
  EXPECT_NE(c.report().text().find("Operation stopped at user's request."),
            std::string::npos);
}

TEST_F(ControllerTest, QuitDuringARunEndsItWithoutMoreQuestions) {
  Page("a.htm");
  Page("b.htm");
  MainController& c = StartOnFolder();
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
  const std::string question =
      "Confirmation | For German text it is better to keep upper/lower "
      "case.\r\n\r\nAre you sure you want all keywords in lower case? | none "
      "| yes/no/cancel\n";
  const struct {
    int language;
    Answer answer;  // kOk: nothing asked
    bool preserve_case;
  } kCases[] = {
      {kGerman, Answer::kNo, true},
      {kGerman, Answer::kCancel, true},
      {kGerman, Answer::kYes, false},
      {kEnglish, Answer::kOk, false},
  };
  for (const auto& k : kCases) {
    platform_.boxes.clear();
    c.LanguageChanged(k.language);
    c.SettingsBoxClicked(SettingsBox::kPreserveCase, true);  // asks nothing
    EXPECT_EQ(platform_.BoxesText(), "") << int(k.answer);
    if (k.answer != Answer::kOk) platform_.QueueAnswer(k.answer);
    c.SettingsBoxClicked(SettingsBox::kPreserveCase, false);
    EXPECT_EQ(platform_.BoxesText(), k.answer == Answer::kOk ? "" : question)
        << int(k.answer);
    EXPECT_EQ(window_.settings.PreserveCase, k.preserve_case) << int(k.answer);
  }
}

TEST_F(ControllerTest, AnotherLanguageWithoutItsListIsReported) {
  MainController& c = Start();
  c.LanguageChanged(kAnotherLanguage);
  EXPECT_EQ(platform_.BoxesText(), AnotherUnavailable());
  EXPECT_FALSE(window_.settings.IgnoreCommonWords);
  EXPECT_EQ(window_.settings.TextLanguage, kAnotherLanguage);
  // Ticking the box again reports again and leaves it unticked.
  platform_.boxes.clear();
  c.SettingsBoxClicked(SettingsBox::kIgnoreCommonWords, true);
  EXPECT_EQ(platform_.BoxesText(), AnotherUnavailable());
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
  Type(TextBox::kInputFile, Page());
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
      {"keep case",
       [&] { c.SettingsBoxClicked(SettingsBox::kPreserveCase, true); }, true},
      {"max keywords",
       [&] {
         Type(TextBox::kMaxNumKeywords, "20");
         c.BoxLeft(TextBox::kMaxNumKeywords);
       },
       false},
      {"begin with", [&] { Type(TextBox::kBeginMetaTagWith, "x"); }, false},
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
    Type(k.box, k.typed);
    c.BoxLeft(k.box);
    EXPECT_EQ(window_.Text(k.box), k.shown) << k.typed;
    const std::string expected =
        *k.message ? std::string("VORN | ") + k.message + " | none | ok\n" : "";
    EXPECT_EQ(platform_.BoxesText(), expected) << k.typed;
    const std::vector<Control> focus = {k.box == TextBox::kMaxNumKeywords
                                            ? Control::kMaxNumKeywordsBox
                                            : Control::kMaxNumBytesBox};
    EXPECT_EQ(window_.focus, *k.message ? focus : std::vector<Control>{})
        << k.typed;
  }
  EXPECT_EQ(c.settings().MaxNumBytesInMetaTag, "0");
}

TEST_F(ControllerTest, WordsToIgnoreAreNormalisedOnLeaving) {
  MainController& c = Start();
  Type(TextBox::kWordsToIgnore, "  Foo  bar,, Baz ,");
  EXPECT_EQ(c.settings().WordsToIgnore, "");  // not before leaving
  c.BoxLeft(TextBox::kWordsToIgnore);
  EXPECT_EQ(window_.Text(TextBox::kWordsToIgnore), "foo,bar,baz");
  EXPECT_EQ(c.settings().IgnoreList(), "foo,bar,baz,");
  c.ClearWordsToIgnoreClicked();
  EXPECT_EQ(window_.Text(TextBox::kWordsToIgnore), "");
  EXPECT_EQ(c.settings().IgnoreList(), ",");
}

TEST_F(ControllerTest, RestoreDefaultsKeepsTextsAndLanguage) {
  MainController& c = Start();
  const std::string page = Page();
  Type(TextBox::kInputFile, page);
  Type(TextBox::kBeginMetaTagWith, "phrase");
  Type(TextBox::kMaxNumKeywords, "20");
  c.ListChanged(SettingsList::kTableWeight, 9);
  c.ListChanged(SettingsList::kTitleWeight, 1);
  c.LanguageChanged(kFrench);  // no French list: reported, box unticked
  c.ResetClicked();
  EXPECT_EQ(window_.Text(TextBox::kInputFile), page);
  EXPECT_EQ(window_.Text(TextBox::kBeginMetaTagWith), "phrase");
  EXPECT_EQ(window_.Text(TextBox::kMaxNumKeywords), "50");
  EXPECT_EQ(window_.settings.TableWeight, 2);
  EXPECT_EQ(window_.settings.TitleWeight, 90);
  EXPECT_EQ(window_.settings.TextLanguage, kFrench);
  EXPECT_TRUE(window_.settings.IgnoreCommonWords);
  EXPECT_EQ(window_.focus.back(), Control::kGenerateButton);
}

TEST_F(ControllerTest, ParameterCouplings) {
  MainController& c = Start();
  // Each click, then "old new dontlog" as shown: "1" ticked, "0" clear,
  // "-" disabled.
  const struct {
    Parameter parameter;
    bool ticked;
    const char* shown;
  } kCases[] = {
      {Parameter::kIncludeOldMetaTag, true, "1 1 0"},
      {Parameter::kIncludeNewMetaTag, false, "0 0 0"},
      {Parameter::kLogOperations, false, "- - -"},
      {Parameter::kSkipDone, true, "- - 0"},  // the later click decides
      {Parameter::kSkipDone, false, "- - -"},
      {Parameter::kLogOperations, true, "0 0 0"},
      {Parameter::kSkipDone, false, "0 0 -"},
  };
  for (const auto& k : kCases) {
    c.ParameterClicked(k.parameter, k.ticked);
    const OperationParameters& p = window_.parameters;
    const ParameterEnabling& e = window_.enabling;
    auto show = [](bool enabled, bool ticked) {
      return std::string(enabled ? (ticked ? "1" : "0") : "-");
    };
    EXPECT_EQ(show(e.IncludeOldMetaTag, p.IncludeOldMetaTag) + " " +
                  show(e.IncludeNewMetaTag, p.IncludeNewMetaTag) + " " +
                  show(e.DontLogDone, p.DontLogDone),
              k.shown)
        << int(k.parameter) << " " << k.ticked;
  }
}

// --- Commands.

TEST_F(ControllerTest, ChoosingAndClearingTheInputs) {
  MainController& c = Start();
  window_.output = "old output";
  c.InputFileClicked();  // cancelled: nothing changes
  EXPECT_EQ(window_.output, "old output");
  EXPECT_EQ(platform_.open_dialogs.at(0).filter,
            "HTML files (*.htm, *.html, *.shtm, *.shtml) | "
            "*.htm;*.html;*.shtm;*.shtml");
  platform_.next_file = Page();
  c.InputFileClicked();
  EXPECT_EQ(window_.Text(TextBox::kInputFile), platform_.next_file);
  EXPECT_EQ(window_.output, "");
  c.ClearInputFileClicked();
  EXPECT_EQ(window_.Text(TextBox::kInputFile), "");
  EXPECT_EQ(window_.focus.back(), Control::kInputFileButton);
  c.ModeClicked(false);
  platform_.next_folder = site_.path();
  c.FolderClicked();
  EXPECT_EQ(window_.Text(TextBox::kFolder), site_.path());
  c.ClearFolderClicked();
  EXPECT_EQ(window_.Text(TextBox::kFolder), "");
  EXPECT_EQ(window_.focus.back(), Control::kFolderButton);
}

TEST_F(ControllerTest, ShowExistingListsTagsOrOpensTheParameters) {
  MainController& c = Start();
  Type(TextBox::kInputFile, Page());
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
    bool add_done;
    bool changed;
    bool backup;
  } kCases[] = {{Answer::kCancel, true, false, false},
                {Answer::kNo, true, true, false},
                {Answer::kYes, true, true, true},
                {Answer::kNo, false, true, false}};
  const std::string backup = site_.File("p.bak.htm");
  for (const auto& k : kCases) {
    MainController& c = Start();
    const std::string page = Page("p.htm");
    ::unlink(backup.c_str());
    Type(TextBox::kInputFile, page);
    c.GenerateClicked();
    c.ParameterClicked(Parameter::kConfirm, false);
    c.ParameterClicked(Parameter::kAddDone, k.add_done);
    platform_.QueueAnswer(k.answer);
    c.InsertClicked();
    EXPECT_EQ(platform_.BoxesText(), "Backup? | Back up " + page + " to " +
                                         backup + "? | none | yes/no/cancel\n")
        << int(k.answer);
    const std::string bytes = ReadFile(page);
    EXPECT_EQ(bytes != kPage, k.changed) << int(k.answer);
    EXPECT_EQ(bytes.find(c.GetMetaTag() + "\r\n<meta name=\"VORN done\"") !=
                  std::string::npos,
              k.changed && k.add_done)
        << int(k.answer) << bytes;
    EXPECT_EQ(Exists(backup), k.backup) << int(k.answer);
    EXPECT_EQ(ReadFile(backup), k.backup ? kPage : "") << int(k.answer);
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

TEST_F(ControllerTest, SavingTheStateFromTheButtonAndOnQuit) {
  for (const bool save_on_quit : {true, false}) {
    MainController& c = StartOnFolder();
    c.ListWordsClicked();  // "Save state"
    const std::optional<SavedState> saved = LoadState(StatePath());
    ASSERT_TRUE(saved.has_value());
    EXPECT_EQ(saved->Folder, site_.path());
    EXPECT_FALSE(saved->SingleFileMode);
    ::unlink(StatePath().c_str());
    c.ParameterClicked(Parameter::kSaveStateOnQuit, save_on_quit);
    c.Quit();
    EXPECT_TRUE(window_.ended);
    EXPECT_EQ(Exists(StatePath()), save_on_quit);
    EXPECT_EQ(platform_.BoxesText(), "");
  }
}

TEST_F(ControllerTest, FailedSavesShowTheirMessages) {
  MainController& c = Start(user_.File("missing/vorn.usr"));
  c.ModeClicked(false);
  c.ListWordsClicked();
  const std::string kError = "Error when attempting to save the state";
  ASSERT_EQ(platform_.boxes.size(), 2u);
  const MessageBox& first = platform_.boxes[0];
  EXPECT_EQ(first.caption, "Save state");
  EXPECT_EQ(first.text.rfind(kError + ": ", 0), 0u);
  EXPECT_GT(first.text.size(), kError.size() + 2);
  EXPECT_EQ(first.icon, Icon::kExclamation);
  EXPECT_EQ(DescribeBox(platform_.boxes[1]),
            "Save state | " + kError + " | exclamation | ok");
  // On quitting only the first message, then the program ends.
  platform_.boxes.clear();
  c.Quit();
  ASSERT_EQ(platform_.boxes.size(), 1u);
  EXPECT_EQ(platform_.boxes[0].text.rfind(kError + ": ", 0), 0u);
  EXPECT_TRUE(window_.ended);
}

TEST_F(ControllerTest, ManualLink) {
  MainController& c = Start();
  c.ManualLinkClicked();
  EXPECT_EQ(
      platform_.opened_urls,
      std::vector<std::string>{"file://" + program_.path() + "/manual.html"});
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
      {"manual.html", "/opt/my app/", "file:///opt/my%20app/manual.html"},
      {"/abs/m.html", "/x", "file:///abs/m.html"},
      {"https://example.org/m", "/x", "https://example.org/m"},
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
  c.ReportCopyClicked("report");
  EXPECT_EQ(platform_.clipboard, "report");
  EXPECT_EQ(window_.copy_caption, "Copy to clipboard");
  c.ReportSelectionChanged(true);
  c.ReportSelectionChanged(false);
  EXPECT_EQ(window_.copy_caption, "Copy to clipboard");
  c.ReportCopyClicked("");
  EXPECT_EQ(platform_.clipboard, "whole report");
  EXPECT_EQ(window_.report_close_focused, 3);
}

TEST_F(ControllerTest, ViewReportShowsOnlyWhenAReportIsHidden) {
  MainController& c = Start();
  c.ModeClicked(false);
  window_.label = "count";
  window_.report_visible = true;
  c.ReportCloseClicked();  // an empty report
  EXPECT_FALSE(window_.report_visible);
  EXPECT_FALSE(window_.commands.ViewReportVisible);
  EXPECT_EQ(window_.label, "count");
  c.report().Output("x");
  c.ModeClicked(true);
  EXPECT_FALSE(window_.commands.ViewReportVisible);
  c.ModeClicked(false);
  EXPECT_TRUE(window_.commands.ViewReportVisible);
  EXPECT_EQ(window_.label, "");

  // A run whose report window was closed meanwhile.
  Page("a.htm");
  StartOnFolder();
  controller_->ParameterClicked(Parameter::kConfirm, false);
  window_.on_pending_input = [&] { window_.report_visible = false; };
  controller_->GenerateClicked();
  EXPECT_TRUE(window_.commands.ViewReportVisible);
  controller_->ViewReportClicked();
  EXPECT_TRUE(window_.report_visible);
  EXPECT_FALSE(window_.commands.ViewReportVisible);
}

}  // namespace
}  // namespace vorn
