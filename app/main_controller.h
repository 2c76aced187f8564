// The application core behind the main window: the start-up sequence, the
// two modes with their saved inputs and outputs, the enabling of the
// commands, the focus rule, every command of the window and of its
// secondary windows, and the settings' change rules. It holds the program
// texts, the common words, the analysis, the operation parameters and the
// report. It talks to the desktop only through MainWindowView and Platform,
// so tests drive it with scripted fakes.
//
//   QtPlatform platform;
//   MainWindow window;
//   MainController controller(window, platform, {ProgramFolder(), ""});
//   window.SetController(&controller);
//   if (!controller.StartUp()) return 1;  // the message has been shown
#ifndef VORN_APP_MAIN_CONTROLLER_H_
#define VORN_APP_MAIN_CONTROLLER_H_

#include <array>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "app/main_view.h"
#include "app/parameter_boxes.h"
#include "app/platform.h"
#include "app/program_text.h"
#include "app/state_file.h"
#include "batch/multiple_file_run.h"
#include "batch/operation_parameters.h"
#include "batch/report.h"
#include "engine/analysis.h"
#include "engine/common_words.h"
#include "engine/settings.h"

namespace vorn {

// The five check boxes of the analysis settings.
enum class SettingsBox {
  kIgnoreShortWords,
  kIgnoreCommonWords,
  kPreserveCase,
  kSpaceAfterComma,
  kForwardSlash,
};

// Where the program finds its files.
struct ControllerPaths {
  std::string program_folder;  // vorn_text.dat, cmwds_xx.txt, the manual
  std::string state_file;      // empty: StateFilePath() at start-up
};

// Program texts used by the window (the table's numbers).
inline constexpr int kTextProgramName = 1;
inline constexpr int kTextLoadingCommonWords = 13;
inline constexpr int kTextManualAddress = 15;
inline constexpr int kTextSaveState = 21;

class MainController {
 public:
  MainController(MainWindowView& view, Platform& platform,
                 ControllerPaths paths);
  MainController(const MainController&) = delete;
  MainController& operator=(const MainController&) = delete;

  // The start-up sequence: program texts, caption, defaults, saved state,
  // the window shown where it was last (on the screen it is on now), the
  // saved input file checked silently, the common words loaded, the
  // commands enabled. Returns false when the program
  // texts could not be loaded: the message has been shown (empty title,
  // stop icon) and the program is to end without any window.
  [[nodiscard]] bool StartUp();

  // --- Commands of the main window.
  void ListWordsClicked();     // List words / Stop / save the state
  void GenerateClicked();      // single: the tag; multiple: the folder run
  void ShowExistingClicked();  // single: existing tags; multiple: parameters
  void InsertClicked();
  // Shows the report, also when it is hidden or buried under other windows.
  void ViewReportClicked();
  void InputFileClicked();  // the open-file dialog
  void FolderClicked();     // the folder browser
  void ClearInputFileClicked();
  void ClearFolderClicked();
  void ClearBeginMetaTagWithClicked();
  void ClearWordsToIgnoreClicked();
  void ClearOutputClicked();
  void ResetClicked();  // Restore defaults
  void HelpClicked();
  // A key released while `control` has the focus (F1 opens the help on the
  // five main command buttons).
  void KeyReleased(Control control, int key_code);
  void ManualLinkClicked();
  void LargeWindowClicked();  // only moves the focus; the window resizes
  void ModeClicked(bool single_file);
  // cmdQuit and the window's close box: saves the state when the parameter
  // asks for it and the window's place and recent list always, then ends
  // the program, also in the middle of a run.
  void Quit();

  // --- The menu bar, and pages or folders dropped on the window.
  void OpenPageClicked();    // single-file mode, then the open-file dialog
  void OpenFolderClicked();  // multiple-file mode, then the folder browser
  // Opens entry `index` of the recent list: a folder in multiple-file mode,
  // a page in single-file mode, checked as a chosen page is. An entry that
  // has gone is reported and leaves the list.
  void RecentClicked(std::size_t index);
  // A page or a folder dropped on the window: as if chosen in the dialog
  // of its mode, switching the mode when needed. Ignored during a run.
  void PathDropped(const std::string& path);
  void SaveStateClicked();  // in either mode
  void StopClicked();       // Escape: as "Stop" while a scan or run is on
  void AboutClicked();

  // --- The settings controls.
  // The user changed the text of a box (nothing is checked until it is left).
  void TextEdited(TextBox box, std::string text);
  // The focus left a box: the checks and clean-ups of that box.
  void BoxLeft(TextBox box);
  void ListChanged(SettingsList list, int position);
  void LanguageChanged(int position);
  void SettingsBoxClicked(SettingsBox box, bool ticked);

  // --- frmParameters.
  void ParameterClicked(Parameter parameter, bool ticked);

  // --- frmReport. `selection` is the selected text.
  void ReportSaveClicked();
  void ReportCopyClicked(std::string_view selection);
  // The mouse was released over the report text.
  void ReportSelectionChanged(bool has_selection);
  void ReportCloseClicked();

  // --- State, for the windows and tests.
  const CommandState& commands() const { return commands_; }
  const AnalysisSettings& settings() const { return settings_; }
  const OperationParameters& parameters() const { return parameters_; }
  const ParameterEnabling& enabling() const { return enabling_; }
  Report& report() { return report_; }
  const ProgramText& texts() const { return texts_; }
  const CommonWordsTable& common_words() const { return common_; }
  const std::string& box_text(TextBox box) const;
  bool startup_completed() const { return startup_completed_; }
  bool analysis_current() const { return analysis_.AnalysisCurrent(); }
  // A scan or a multiple-file run is under way.
  bool busy() const { return busy_; }
  bool quitting() const { return quitting_; }
  const std::string& state_file() const { return state_file_; }
  // Pages and folders (these end in a separator), most recent first.
  const std::vector<std::string>& recent() const { return memory_.recent; }
  // The keywords meta tag shown in the output box, without its status lines.
  std::string GetMetaTag() const;

 private:
  class RunAdapter;
  friend class RunAdapter;
  class ModalDesktop;
  friend class ModalDesktop;
  // While it lives a modal box or dialog is up: every command of the main
  // window looks disabled, as it is.
  class Blocked {
   public:
    explicit Blocked(MainController& c);
    ~Blocked();
    Blocked(const Blocked&) = delete;
    Blocked& operator=(const Blocked&) = delete;

   private:
    MainController& c_;
  };

  void ApplyDefaults();
  void ResetControls();
  void ApplyState();
  void SelectMode(bool single_file, bool force);
  void EnableDisableButtons(bool enable);
  void SetTheFocus();
  void ShowCommands();
  void PushSettings();
  void SetBox(TextBox box, std::string text);
  std::string& Box(TextBox box);
  void RunDoIt(bool generate);
  void RunFolder();
  bool SaveStateWithMessage();
  void Tell(std::string caption, std::string text, Icon icon);
  void ChooseInputFile(const std::string& name);
  void ChooseFolder(const std::string& folder);
  void OpenPath(const std::string& path);
  void Remember(const std::string& path);
  std::string DialogFolder(const std::string& box_path) const;
  void SaveWindowMemory();

  MainWindowView& view_;
  Platform& platform_;                 // the desktop itself; use desktop_
  std::unique_ptr<Platform> desktop_;  // the desktop, greying the commands
  ControllerPaths paths_;
  std::string state_file_;

  ProgramText texts_;
  CommonWordsTable common_;
  Analysis analysis_{common_};
  AnalysisSettings settings_;
  OperationParameters parameters_;
  ParameterEnabling enabling_;
  Report report_{parameters_};
  CommandState commands_;
  std::array<std::string, 6> boxes_;  // the text boxes, by TextBox

  std::string str_txb_input_file_;           // single-file input kept meanwhile
  std::string saved_folder_;                 // folder kept in single-file mode
  std::array<std::string, 2> saved_output_;  // 0 single, 1 multiple
  std::optional<bool> last_inspect_done_;    // the dialog's done box
  WindowMemory memory_;                      // place and recent list
  // The texts of the input and folder boxes last reported as wrong, so
  // that leaving the box after the click that reported them says nothing
  // more. Editing the box forgets them.
  std::string reported_input_;
  std::string reported_folder_;

  bool startup_completed_ = false;
  bool stop_ = false;      // blnStop
  bool busy_ = false;      // a scan or run is under way
  bool quitting_ = false;  // Quit was given; a run unwinds silently
  bool report_buttons_enabled_ = true;
  // "Ignore common words" was unticked because the chosen language has no
  // list, not by the user: a language with a list ticks it again.
  bool unticked_for_language_ = false;
  int blocked_ = 0;  // modal boxes and dialogs up
};

// The address of the user manual from program text 15: a text with a
// scheme ("https://...", "file:...") is used as it is; any other is a file
// name relative to `program_folder` (or an absolute path), made into a
// file URL.
std::string ManualAddress(std::string_view text,
                          const std::string& program_folder);

}  // namespace vorn

#endif  // VORN_APP_MAIN_CONTROLLER_H_
