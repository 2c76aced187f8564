#include "app/qt/main_window.h"

#include <QApplication>
#include <QCloseEvent>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QFocusEvent>
#include <QKeyEvent>
#include <QMimeData>
#include <QMouseEvent>
#include <QStatusBar>
#include <QTextDocument>
#include <QTimer>
#include <functional>

#include "app/qt/edit_meta_tag_dialog.h"
#include "app/qt/help_window.h"
#include "app/qt/parameters_window.h"
#include "app/qt/qt_text.h"
#include "app/qt/report_window.h"
#include "app/qt/twips.h"
#include "app/window_rules.h"

namespace vorn {
namespace {

constexpr TextBox kBoxes[] = {
    TextBox::kInputFile,        TextBox::kFolder,
    TextBox::kBeginMetaTagWith, TextBox::kWordsToIgnore,
    TextBox::kMaxNumKeywords,   TextBox::kMaxNumBytes};

// Sees the end of the mouse click under way anywhere in the program, then
// calls `done` once the click has been handled.
class ClickEnd : public QObject {
 public:
  ClickEnd(QObject* parent, std::function<void()> done)
      : QObject(parent), done_(std::move(done)) {}

  void Watch() { qApp->installEventFilter(this); }

 protected:
  bool eventFilter(QObject*, QEvent* event) override {
    if (event->type() == QEvent::MouseButtonRelease) {
      qApp->removeEventFilter(this);
      QTimer::singleShot(0, this, done_);
    }
    return false;
  }

 private:
  std::function<void()> done_;
};

// The local file or folder a drag carries, if any.
std::optional<QString> DraggedPath(const QMimeData* mime) {
  if (mime == nullptr || !mime->hasUrls() || mime->urls().isEmpty())
    return std::nullopt;
  const QUrl url = mime->urls().first();
  if (!url.isLocalFile()) return std::nullopt;
  return url.toLocalFile();
}

}  // namespace

MainWindow::MainWindow(QWidget* parent) : QMainWindow(parent) {
  setObjectName(QStringLiteral("frmMain"));
  BuildMainWindowUi(this, &ui_);
  ui_.cmdViewReport->setVisible(false);
  ui_.lblMetaTagInserted->setVisible(false);
  statusBar()->setObjectName(QStringLiteral("statusBar"));
  setAcceptDrops(true);
  connect(ui_.txbMetaTAG->document(), &QTextDocument::contentsChange, this,
          [this] {
            if (!editing_output_) echo_.Forget();
          });
  click_end_ = new ClickEnd(this, [this] { RunPendingLeave(); });
  since_events_.start();
  since_paint_.start();
}

MainWindow::~MainWindow() = default;

void MainWindow::SetController(MainController* controller) {
  controller_ = controller;
  parameters_ = new ParametersWindow(this, *controller_);
  report_ = new ReportWindow(this, *controller_);
  controller_->report().set_listener(report_);
  ConnectCommands();
  ConnectMenus();
  ConnectSettings();
  WatchControls();
}

ParametersWindow* MainWindow::parametersWindow() { return parameters_; }
ReportWindow* MainWindow::reportWindow() { return report_; }

EditMetaTagDialog* MainWindow::editDialog() {
  if (edit_ == nullptr) edit_ = new EditMetaTagDialog(this);
  return edit_;
}

void MainWindow::ConnectCommands() {
  MainController* c = controller_;
  auto on = [this](QAbstractButton* button, auto action) {
    connect(button, &QAbstractButton::clicked, this, action);
  };
  on(ui_.cmdListWords, [c] { c->ListWordsClicked(); });
  on(ui_.cmdGenerateKeywordMetaTag, [c] { c->GenerateClicked(); });
  on(ui_.cmdShowExistingKeywordMetaTag, [c] { c->ShowExistingClicked(); });
  on(ui_.cmdInsert, [c] { c->InsertClicked(); });
  on(ui_.cmdViewReport, [c] { c->ViewReportClicked(); });
  on(ui_.cmdInputFile, [c] { c->InputFileClicked(); });
  on(ui_.cmdFolder, [c] { c->FolderClicked(); });
  on(ui_.cmdClearInputFile, [c] { c->ClearInputFileClicked(); });
  on(ui_.cmdClearFolder, [c] { c->ClearFolderClicked(); });
  on(ui_.cmdClearBeginMetaTagWith, [c] { c->ClearBeginMetaTagWithClicked(); });
  on(ui_.cmdClearWordsToIgnore, [c] { c->ClearWordsToIgnoreClicked(); });
  on(ui_.cmdClearOutput, [c] { c->ClearOutputClicked(); });
  on(ui_.cmdReset, [c] { c->ResetClicked(); });
  on(ui_.cmdHelp, [c] { c->HelpClicked(); });
  on(ui_.cmdQuit, [c] { c->Quit(); });
  on(ui_.optSingleFile, [c] { c->ModeClicked(true); });
  on(ui_.optMultipleFiles, [c] { c->ModeClicked(false); });
  // Assistive technology ticks a mode button without clicking it. (A click
  // ticks it too: the mode is then chosen twice, which changes nothing.)
  connect(ui_.optSingleFile, &QAbstractButton::toggled, this, [c](bool ticked) {
    if (ticked) c->ModeClicked(true);
  });
  connect(ui_.optMultipleFiles, &QAbstractButton::toggled, this,
          [c](bool ticked) {
            if (ticked) c->ModeClicked(false);
          });
  on(ui_.chkLargeWindow, [this] { ToggleLargeWindow(); });
  connect(ui_.lblOnlineDocumentation, &QLabel::linkActivated, this,
          [c] { c->ManualLinkClicked(); });
}

void MainWindow::ConnectMenus() {
  MainController* c = controller_;
  auto on = [this](QAction* action, auto act) {
    connect(action, &QAction::triggered, this, act);
  };
  on(ui_.actOpenPage, [c] { c->OpenPageClicked(); });
  on(ui_.actOpenFolder, [c] { c->OpenFolderClicked(); });
  on(ui_.actSaveState, [c] { c->SaveStateClicked(); });
  on(ui_.actQuit, [c] { c->Quit(); });
  on(ui_.actListWords, [c] { c->ListWordsClicked(); });
  on(ui_.actGenerate, [c] { c->GenerateClicked(); });
  on(ui_.actInsert, [c] { c->InsertClicked(); });
  on(ui_.actStop, [c] { c->StopClicked(); });
  on(ui_.actHelp, [c] { c->HelpClicked(); });
  on(ui_.actManual, [c] { c->ManualLinkClicked(); });
  on(ui_.actAbout, [c] { c->AboutClicked(); });
}

void MainWindow::ConnectSettings() {
  MainController* c = controller_;
  for (const SettingsListControl& l : ui_.lists) {
    const SettingsList list = l.list;
    connect(l.combo, &QComboBox::activated, this,
            [c, list](int index) { c->ListChanged(list, index); });
  }
  connect(ui_.cboLanguage, &QComboBox::activated, this,
          [c](int index) { c->LanguageChanged(index); });
  const struct {
    QCheckBox* check;
    SettingsBox box;
  } kChecks[] = {
      {ui_.chkIgnoreShortWords, SettingsBox::kIgnoreShortWords},
      {ui_.chkIgnoreCommonWords, SettingsBox::kIgnoreCommonWords},
      {ui_.chkPreserveCase, SettingsBox::kPreserveCase},
      {ui_.chkSpaceAfterComma, SettingsBox::kSpaceAfterComma},
      {ui_.chkForwardSlash, SettingsBox::kForwardSlash},
  };
  for (const auto& k : kChecks) {
    const SettingsBox box = k.box;
    connect(k.check, &QCheckBox::clicked, this,
            [c, box](bool ticked) { c->SettingsBoxClicked(box, ticked); });
  }
  // Every change but the controller's own: typing, and text that
  // assistive technology sets (which emits no textEdited).
  for (const TextBox box : kBoxes) {
    connect(Box(box), &QLineEdit::textChanged, this,
            [this, c, box](const QString& text) {
              if (setting_box_) return;
              c->TextEdited(box,
                            HoldsPath(box) ? PathFromQt(text) : FromQt(text));
            });
  }
}

void MainWindow::WatchControls() {
  for (const TextBox box : kBoxes) Box(box)->installEventFilter(this);
  ui_.txbMetaTAG->viewport()->installEventFilter(this);
  for (QWidget* w : std::initializer_list<QWidget*>{
           ui_.cmdShowExistingKeywordMetaTag, ui_.cmdGenerateKeywordMetaTag,
           ui_.cmdHelp, ui_.cmdInputFile, ui_.cmdListWords, ui_.cmdFolder})
    w->installEventFilter(this);
}

QLineEdit* MainWindow::Box(TextBox box) const {
  switch (box) {
    case TextBox::kInputFile:
      return ui_.txbInputFile;
    case TextBox::kFolder:
      return ui_.txbFolder;
    case TextBox::kBeginMetaTagWith:
      return ui_.txbBeginMetaTagWith;
    case TextBox::kWordsToIgnore:
      return ui_.txbWordsToIgnore;
    case TextBox::kMaxNumKeywords:
      return ui_.txbMaxNumKeywordsInMetaTag;
    case TextBox::kMaxNumBytes:
      return ui_.txbMaxNumBytesInMetaTag;
  }
  return ui_.txbInputFile;
}

std::optional<TextBox> MainWindow::BoxOf(const QObject* watched) const {
  for (const TextBox box : kBoxes)
    if (watched == Box(box)) return box;
  return std::nullopt;
}

bool MainWindow::eventFilter(QObject* watched, QEvent* event) {
  if (controller_ == nullptr) return false;
  switch (event->type()) {
    case QEvent::FocusOut: {
      // Leaving a box by moving to another control, not by switching
      // windows or opening a menu.
      const Qt::FocusReason reason = static_cast<QFocusEvent*>(event)->reason();
      if (reason == Qt::PopupFocusReason ||
          reason == Qt::ActiveWindowFocusReason)
        return false;
      if (const auto box = BoxOf(watched)) BoxLeft(*box, reason);
      return false;
    }
    case QEvent::DragEnter:
    case QEvent::DragMove:
      // A page or folder dragged over a box is for the window, not text.
      if (DraggedPath(static_cast<QDropEvent*>(event)->mimeData())) {
        static_cast<QDropEvent*>(event)->acceptProposedAction();
        return true;
      }
      return false;
    case QEvent::Drop:
      if (const auto path =
              DraggedPath(static_cast<QDropEvent*>(event)->mimeData())) {
        static_cast<QDropEvent*>(event)->acceptProposedAction();
        controller_->PathDropped(PathFromQt(*path));
        return true;
      }
      return false;
    case QEvent::KeyRelease: {
      const auto* key = static_cast<QKeyEvent*>(event);
      if (key->key() != Qt::Key_F1 || key->isAutoRepeat()) return false;
      Control control = Control::kOther;
      if (watched == ui_.cmdShowExistingKeywordMetaTag)
        control = Control::kShowExistingButton;
      else if (watched == ui_.cmdGenerateKeywordMetaTag)
        control = Control::kGenerateButton;
      else if (watched == ui_.cmdHelp)
        control = Control::kHelpButton;
      else if (watched == ui_.cmdInputFile)
        control = Control::kInputFileButton;
      else if (watched == ui_.cmdListWords)
        control = Control::kListWordsButton;
      else if (watched == ui_.cmdFolder)
        control = Control::kFolderButton;
      controller_->KeyReleased(control, kKeyF1);
      return false;
    }
    default:
      return false;
  }
}

void MainWindow::BoxLeft(TextBox box, Qt::FocusReason reason) {
  if (reason != Qt::MouseFocusReason) {
    controller_->BoxLeft(box);
    return;
  }
  pending_leave_ = box;
  static_cast<ClickEnd*>(click_end_)->Watch();
}

void MainWindow::RunPendingLeave() {
  if (!pending_leave_ || controller_ == nullptr) return;
  const TextBox box = *pending_leave_;
  pending_leave_.reset();
  controller_->BoxLeft(box);
}

void MainWindow::dragEnterEvent(QDragEnterEvent* event) {
  if (DraggedPath(event->mimeData())) event->acceptProposedAction();
}

void MainWindow::dropEvent(QDropEvent* event) {
  const auto path = DraggedPath(event->mimeData());
  if (!path || controller_ == nullptr) return;
  event->acceptProposedAction();
  controller_->PathDropped(PathFromQt(*path));
}

void MainWindow::closeEvent(QCloseEvent* event) {
  if (!ending_ && controller_ != nullptr) controller_->Quit();
  event->accept();
}

void MainWindow::ToggleLargeWindow() {
  TwipsRect r = FrameTwips(this);
  if (ui_.chkLargeWindow->isChecked())
    normal_height_twips_ = TwipsY(height(), this);
  const TwipsRect screen = ScreenTwips(this);
  const int frame = r.height - TwipsY(height(), this);
  const VerticalPlacement v =
      LargeWindowPlacement(ui_.chkLargeWindow->isChecked(),
                           normal_height_twips_ + frame, screen.height);
  r.top = screen.top + v.top;
  r.height = v.height;
  SetFrameTwips(this, r);
  if (controller_ != nullptr) controller_->LargeWindowClicked();
}

}  // namespace vorn
