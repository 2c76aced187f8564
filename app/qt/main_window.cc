#include "app/qt/main_window.h"

#include <QApplication>
#include <QCloseEvent>
#include <QFocusEvent>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QTextDocument>

#include "app/qt/edit_meta_tag_dialog.h"
#include "app/qt/help_window.h"
#include "app/qt/parameters_window.h"
#include "app/qt/qt_text.h"
#include "app/qt/report_window.h"
#include "app/qt/twips.h"
#include "app/window_rules.h"

namespace vorn {

MainWindow::MainWindow(QWidget* parent) : QMainWindow(parent) {
  setObjectName(QStringLiteral("frmMain"));
  BuildMainWindowUi(this, &ui_);
  ui_.cmdViewReport->setVisible(false);
  ui_.lblMetaTagInserted->setVisible(false);
  connect(ui_.txbMetaTAG->document(), &QTextDocument::contentsChange, this,
          [this] {
            if (!editing_output_) echo_.Forget();
          });
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
  on(ui_.chkLargeWindow, [this] { ToggleLargeWindow(); });
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
  } kBoxes[] = {
      {ui_.chkIgnoreShortWords, SettingsBox::kIgnoreShortWords},
      {ui_.chkIgnoreCommonWords, SettingsBox::kIgnoreCommonWords},
      {ui_.chkPreserveCase, SettingsBox::kPreserveCase},
      {ui_.chkSpaceAfterComma, SettingsBox::kSpaceAfterComma},
      {ui_.chkForwardSlash, SettingsBox::kForwardSlash},
  };
  for (const auto& k : kBoxes) {
    const SettingsBox box = k.box;
    connect(k.check, &QCheckBox::clicked, this,
            [c, box](bool ticked) { c->SettingsBoxClicked(box, ticked); });
  }
  for (const TextBox box : {TextBox::kInputFile, TextBox::kFolder,
                            TextBox::kBeginMetaTagWith, TextBox::kWordsToIgnore,
                            TextBox::kMaxNumKeywords, TextBox::kMaxNumBytes}) {
    connect(
        Box(box), &QLineEdit::textEdited, this, [c, box](const QString& text) {
          c->TextEdited(box, HoldsPath(box) ? PathFromQt(text) : FromQt(text));
        });
  }
}

void MainWindow::WatchControls() {
  for (QWidget* w : std::initializer_list<QWidget*>{
           ui_.txbInputFile, ui_.txbFolder, ui_.txbBeginMetaTagWith,
           ui_.txbWordsToIgnore, ui_.txbMaxNumKeywordsInMetaTag,
           ui_.txbMaxNumBytesInMetaTag, ui_.cmdShowExistingKeywordMetaTag,
           ui_.cmdGenerateKeywordMetaTag, ui_.cmdHelp, ui_.cmdInputFile,
           ui_.cmdListWords, ui_.cmdFolder, ui_.lblOnlineDocumentation})
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

bool MainWindow::eventFilter(QObject* watched, QEvent* event) {
  if (controller_ == nullptr) return false;
  if (event->type() == QEvent::FocusOut) {
    // Leaving a box by moving to another control, not by switching
    // windows or opening a menu.
    const Qt::FocusReason reason = static_cast<QFocusEvent*>(event)->reason();
    if (reason == Qt::PopupFocusReason || reason == Qt::ActiveWindowFocusReason)
      return false;
    for (const TextBox box :
         {TextBox::kInputFile, TextBox::kFolder, TextBox::kBeginMetaTagWith,
          TextBox::kWordsToIgnore, TextBox::kMaxNumKeywords,
          TextBox::kMaxNumBytes})
      if (watched == Box(box)) controller_->BoxLeft(box);
    return false;
  }
  if (event->type() == QEvent::KeyRelease) {
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
  if (event->type() == QEvent::MouseButtonRelease &&
      watched == ui_.lblOnlineDocumentation &&
      static_cast<QMouseEvent*>(event)->button() == Qt::LeftButton) {
    controller_->ManualLinkClicked();
    return true;
  }
  return false;
}

void MainWindow::closeEvent(QCloseEvent* event) {
  if (!ending_ && controller_ != nullptr) controller_->Quit();
  event->accept();
}

void MainWindow::ToggleLargeWindow() {
  const VerticalPlacement v =
      LargeWindowPlacement(ui_.chkLargeWindow->isChecked(),
                           design_height_twips_, ScreenTwips(this).height);
  TwipsRect r = FrameTwips(this);
  r.top = ScreenTwips(this).top + v.top;
  r.height = v.height;
  SetFrameTwips(this, r);
  if (controller_ != nullptr) controller_->LargeWindowClicked();
}

}  // namespace vorn
