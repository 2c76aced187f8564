// frmMain: the main window. It shows what MainController decides and
// forwards every user action to it (buttons, menu entries, keys, pages and
// folders dropped on it); the secondary windows are created on first use
// and owned here.
#ifndef VORN_APP_QT_MAIN_WINDOW_H_
#define VORN_APP_QT_MAIN_WINDOW_H_

#include <QElapsedTimer>
#include <QMainWindow>
#include <optional>
#include <string>
#include <vector>

#include "app/main_controller.h"
#include "app/main_view.h"
#include "app/qt/main_window_ui.h"
#include "app/text_sync.h"

namespace vorn {

class EditMetaTagDialog;
class HelpWindow;
class ParametersWindow;
class ReportWindow;

class MainWindow : public QMainWindow, public MainWindowView {
  Q_OBJECT

 public:
  explicit MainWindow(QWidget* parent = nullptr);
  ~MainWindow() override;

  // Connects the controls to `controller`, and its report to the report
  // window; call once, before StartUp. The controller, which holds a
  // reference to this window, is destroyed first.
  void SetController(MainController* controller);

  const MainWindowUi& ui() const { return ui_; }
  // The secondary windows, created on first use.
  ParametersWindow* parametersWindow();
  ReportWindow* reportWindow();
  EditMetaTagDialog* editDialog();
  HelpWindow* helpWindow() const { return help_; }  // null until first shown

  // MainWindowView.
  void SetCaption(std::string_view text) override;
  void FillSettingsLists() override;
  MainWindowSizes Sizes() const override;
  void ShowMainWindow(const WindowGeometry& place) override;
  WindowGeometry MainWindowGeometry() const override;
  bool InInteractiveUse() const override;
  void Repaint() override;
  void EndProgram() override;
  void SetText(TextBox box, std::string_view text) override;
  void ShowSettings(const AnalysisSettings& settings) override;
  void ShowCommands(const CommandState& commands) override;
  void SetFocus(Control control) override;
  std::string OutputText() const override;
  void SetOutputText(std::string_view text) override;
  void AppendOutputText(std::string_view text) override;
  void SetWordCountLabel(std::string_view text) override;
  void SetInsertedCaption(std::string_view text, bool visible) override;
  void ShowStatus(std::string_view text) override;
  void ShowRecent(const std::vector<std::string>& paths) override;
  void HandlePendingInput() override;
  void ShowProgress(bool running, std::int64_t done,
                    std::int64_t total) override;
  InspectAnswer Inspect(const InspectRequest& request) override;
  void ShowParametersWindow() override;
  void ShowParameters(const OperationParameters& parameters,
                      const ParameterEnabling& enabling) override;
  void ShowReportWindow() override;
  void HideReportWindow() override;
  bool ReportWindowVisible() const override;
  void RaiseReportWindow() override;
  void RestoreMinimisedWindows() override;
  void SetReportButtonsEnabled(bool enabled) override;
  void SetReportCopyButton(std::string_view caption, int width_twips) override;
  void FocusReportClose() override;
  void ShowHelpWindow() override;
  void ShowAbout(std::string_view caption, std::string_view text) override;

 protected:
  void closeEvent(QCloseEvent* event) override;
  bool eventFilter(QObject* watched, QEvent* event) override;
  void dragEnterEvent(QDragEnterEvent* event) override;
  void dropEvent(QDropEvent* event) override;

 private:
  void ConnectCommands();
  void ConnectMenus();
  void ConnectSettings();
  void WatchControls();
  // Shows the output box's text, the words and the label collected since
  // the last time.
  void FlushOutput() const;
  // Schedules FlushOutput unless one is already due.
  void ScheduleFlush(bool was_pending) const;
  void FlushProgress();
  void ToggleLargeWindow();
  QLineEdit* Box(TextBox box) const;
  std::optional<TextBox> BoxOf(const QObject* watched) const;
  // The focus left `box`: checked now, or after the click that took the
  // focus away, so that a message box cannot swallow that click.
  void BoxLeft(TextBox box, Qt::FocusReason reason);
  void RunPendingLeave();
  // The offset of `w`'s top from the top of this window's frame, in twips.
  int TopInFrame(const QWidget* w) const;

  MainWindowUi ui_;
  MainController* controller_ = nullptr;
  ParametersWindow* parameters_ = nullptr;
  ReportWindow* report_ = nullptr;
  EditMetaTagDialog* edit_ = nullptr;
  HelpWindow* help_ = nullptr;
  QObject* click_end_ = nullptr;  // sees the end of a click, then runs
  std::optional<TextBox> pending_leave_;

  // Collected during a scan, shown every few tens of milliseconds.
  mutable std::string pending_output_;
  mutable EchoLines echo_{100};          // words found, on short lines
  mutable bool editing_output_ = false;  // the window itself changes the box
  mutable bool setting_box_ = false;     // the controller's text goes in a box
  mutable std::string pending_label_;
  mutable bool label_pending_ = false;
  // During a run the output box's text is replaced for every page: only
  // the last text set before the next flush is shown, and with it the
  // "inserted in N of M" caption and the page in the input-file box.
  bool run_shown_ = false;  // a run's progress is in view
  mutable std::optional<std::string> pending_text_;
  mutable std::optional<std::string> pending_caption_;
  mutable std::optional<std::string> pending_input_file_;
  // The progress of a run, shown with the rest: a progress bar repaints
  // itself at once whenever its text changes.
  std::int64_t progress_done_ = 0;
  std::int64_t progress_total_ = 0;
  bool progress_pending_ = false;
  QElapsedTimer since_events_;
  QElapsedTimer since_paint_;
  unsigned pending_calls_ = 0;

  // The height before "Large window" was ticked; restored when it is
  // cleared, and remembered as the window's height.
  int normal_height_twips_ = 0;
  bool ending_ = false;
};

}  // namespace vorn

#endif  // VORN_APP_QT_MAIN_WINDOW_H_
