// The main window as the application core sees it: what it shows (texts,
// settings, enabled states and captions, labels, the output box), where the
// focus goes, and the secondary windows it opens. The window only shows;
// every rule of when and what lives in MainController. Texts are UTF-8
// with CR LF line breaks, paths UTF-8 as they are.
#ifndef VORN_APP_MAIN_VIEW_H_
#define VORN_APP_MAIN_VIEW_H_

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "app/window_rules.h"
#include "batch/multiple_file_run.h"
#include "batch/operation_parameters.h"
#include "engine/settings.h"

namespace vorn {

// The text boxes of the main window.
enum class TextBox {
  kInputFile,         // txbInputFile (a path)
  kFolder,            // txbFolder (a path)
  kBeginMetaTagWith,  // txbBeginMetaTagWith
  kWordsToIgnore,     // txbWordsToIgnore
  kMaxNumKeywords,    // txbMaxNumKeywordsInMetaTag
  kMaxNumBytes,       // txbMaxNumBytesInMetaTag
};

// The input file and folder boxes hold paths, taken as they are; the others
// hold text with CR LF line breaks.
inline bool HoldsPath(TextBox box) {
  return box == TextBox::kInputFile || box == TextBox::kFolder;
}

// Controls that take the focus or whose keys matter.
enum class Control {
  kNone,
  kInputFileButton,     // cmdInputFile
  kFolderButton,        // cmdFolder
  kGenerateButton,      // cmdGenerateKeywordMetaTag
  kListWordsButton,     // cmdListWords
  kShowExistingButton,  // cmdShowExistingKeywordMetaTag
  kHelpButton,          // cmdHelp
  kMaxNumKeywordsBox,   // the caret goes after the last character
  kMaxNumBytesBox,
  kOther,
};

// Enabled states, captions and visibility of the main window's commands.
struct CommandState {
  bool single_file_mode = true;  // optSingleFile selected

  bool ShowExisting = true;  // cmdShowExistingKeywordMetaTag
  bool Generate = true;      // cmdGenerateKeywordMetaTag
  bool ListWords = true;     // cmdListWords
  bool Insert = true;        // cmdInsert
  bool Reset = true;         // cmdReset
  bool Help = true;          // cmdHelp
  bool InputFile = true;     // cmdInputFile
  bool ClearInputFile = true;
  bool Folder = false;  // cmdFolder
  bool ClearFolder = false;
  bool ClearBeginMetaTagWith = true;
  bool ClearWordsToIgnore = true;
  bool ClearOutput = true;
  bool MaxNumKeywords = true;  // the two numeric fields
  bool MaxNumBytes = true;
  bool OptSingleFile = true;  // the two option buttons
  bool OptMultipleFiles = true;

  bool InputFileBox = true;  // txbInputFile enabled
  bool FolderBox = false;    // txbFolder enabled
  bool InputFileReadOnly = false;
  bool FolderReadOnly = false;

  bool ViewReportVisible = false;  // cmdViewReport
  bool ViewReport = true;          // cmdViewReport enabled (when shown)
  // Quit, the settings, "Large window", the manual link and the Help menu:
  // live even during runs, off only behind a modal box or dialog.
  bool Live = true;

  // The menu entries without a button of their own.
  bool OpenPage = true;        // File > Open page...
  bool OpenFolder = true;      // File > Open folder...
  bool SaveState = true;       // File > Save state
  bool ListWordsEntry = true;  // Run > List words
  bool Stop = false;  // Run > Stop (Escape): a scan or run is stoppable

  std::string ListWordsCaption = "List words";
  std::string ShowExistingCaption = "Show existing keywords etc.";
  std::string GenerateCaption = "Generate/show keywords meta tag";
};

class MainWindowView {
 public:
  virtual ~MainWindowView() = default;

  // --- The window.
  virtual void SetCaption(std::string_view text) = 0;
  // Fills the settings lists with the items of engine/settings.h.
  virtual void FillSettingsLists() = 0;
  // The screen and the sizes the window's layout asks for.
  virtual MainWindowSizes Sizes() const = 0;
  // Shows the main window with the area inside its frame at `place`
  // (twips from the screen's top left corner), maximised when asked.
  virtual void ShowMainWindow(const WindowGeometry& place) = 0;
  // Its place as it would be restored: its normal size when maximised or
  // enlarged by "Large window".
  virtual WindowGeometry MainWindowGeometry() const = 0;
  // True while the window is in ordinary interactive use (shown, not behind
  // a modal dialog): the guard of the checks made on leaving a box.
  virtual bool InInteractiveUse() const = 0;
  // Paints what has changed now (a command is about to keep the window busy).
  virtual void Repaint() = 0;
  // Closes every window and ends the program once the current command has
  // returned.
  virtual void EndProgram() = 0;

  // --- Controls.
  virtual void SetText(TextBox box, std::string_view text) = 0;
  // Selects the list items and check boxes of `settings`, without running
  // their change actions.
  virtual void ShowSettings(const AnalysisSettings& settings) = 0;
  virtual void ShowCommands(const CommandState& commands) = 0;
  virtual void SetFocus(Control control) = 0;

  // --- The output box (txbMetaTAG) and the labels.
  virtual std::string OutputText() const = 0;
  virtual void SetOutputText(std::string_view text) = 0;
  // Called once for every word found: the window may collect the texts and
  // show them at its next HandlePendingInput.
  virtual void AppendOutputText(std::string_view text) = 0;
  virtual void SetWordCountLabel(std::string_view text) = 0;
  // lblMetaTagInserted: shown with `text`, or hidden.
  virtual void SetInsertedCaption(std::string_view text, bool visible) = 0;
  // The status bar: the outcome of the last command that has no message
  // box of its own.
  virtual void ShowStatus(std::string_view text) = 0;
  // File > Recent: the pages and folders, most recent first (paths).
  virtual void ShowRecent(const std::vector<std::string>& paths) = 0;

  // --- During a scan or a run.
  // Lets pending user input be handled and shows what has been collected.
  // Called after every word: a window should do the work only every few
  // tens of milliseconds, so that a scan is not slowed down.
  virtual void HandlePendingInput() = 0;
  // A multiple-file run: `done` of `total` pages dealt with; `running`
  // false hides the progress display.
  virtual void ShowProgress(bool running, std::int64_t done,
                            std::int64_t total) = 0;
  // Shows the inspect-and-edit dialog modally and returns the user's
  // choices. Closing the dialog answers "do not insert" and "stop".
  virtual InspectAnswer Inspect(const InspectRequest& request) = 0;

  // --- Secondary windows.
  // frmParameters, not modal, with the values and enabled states shown.
  virtual void ShowParametersWindow() = 0;
  virtual void ShowParameters(const OperationParameters& parameters,
                              const ParameterEnabling& enabling) = 0;
  // frmReport, not modal, shown (placed anew when it was hidden), brought
  // to the front and activated; hidden again.
  virtual void ShowReportWindow() = 0;
  virtual void HideReportWindow() = 0;
  virtual bool ReportWindowVisible() const = 0;
  // Brings a shown report window to the front, its caret at the end.
  virtual void RaiseReportWindow() = 0;
  // Restores the main and report windows when they are minimised.
  virtual void RestoreMinimisedWindows() = 0;
  virtual void SetReportButtonsEnabled(bool enabled) = 0;
  // The report's copy button: caption and width in twips (centred).
  virtual void SetReportCopyButton(std::string_view caption,
                                   int width_twips) = 0;
  virtual void FocusReportClose() = 0;
  // frmHelp, not modal; restored when it was minimised.
  virtual void ShowHelpWindow() = 0;
  // Help > About: `text` is UTF-8 with LF line breaks.
  virtual void ShowAbout(std::string_view caption, std::string_view text) = 0;
};

}  // namespace vorn

#endif  // VORN_APP_MAIN_VIEW_H_
