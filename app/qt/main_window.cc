#include "app/qt/main_window.h"

#include <QApplication>
#include <QCloseEvent>
#include <QFocusEvent>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QTextCursor>
#include <QTextDocument>
#include <QTimer>

#include "app/qt/edit_meta_tag_dialog.h"
#include "app/qt/help_window.h"
#include "app/qt/parameters_window.h"
#include "app/qt/qt_text.h"
#include "app/qt/report_window.h"
#include "app/qt/twips.h"
#include "app/window_rules.h"

namespace vorn {
namespace {

// How often a scan lets the window handle input and paint: often enough
// that Stop answers at once, rarely enough that the scan keeps its speed.
constexpr qint64 kEventIntervalMs = 30;
constexpr unsigned kClockCheckMask = 63;  // look at the clock every 64 calls
constexpr int kEchoLineLength = 100;

// Characters after the last line break of `text`.
int LastLineLength(const QString& text) {
  return static_cast<int>(text.size() - text.lastIndexOf(u'\n') - 1);
}

bool IsPathBox(TextBox box) {
  return box == TextBox::kInputFile || box == TextBox::kFolder;
}

}  // namespace

MainWindow::MainWindow(QWidget* parent) : QMainWindow(parent) {
  setObjectName(QStringLiteral("frmMain"));
  BuildMainWindowUi(this, &ui_);
  ui_.cmdViewReport->setVisible(false);
  ui_.lblMetaTagInserted->setVisible(false);
  connect(ui_.txbMetaTAG->document(), &QTextDocument::contentsChange, this,
          [this] {
            if (!editing_output_) soft_breaks_.clear();
          });
  since_events_.start();
  since_paint_.start();
}

MainWindow::~MainWindow() {
  if (controller_ != nullptr) controller_->report().set_listener(nullptr);
}

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
          c->TextEdited(box, IsPathBox(box) ? PathFromQt(text) : FromQt(text));
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

// --- The window.

void MainWindow::SetCaption(std::string_view text) {
  setWindowTitle(ToQt(text));
}

void MainWindow::FillSettingsLists() {
  for (const SettingsListControl& l : ui_.lists) {
    l.combo->clear();
    for (int i = 0; i < ListSize(l.list); ++i)
      l.combo->addItem(QString::number(ValueAt(l.list, i)));
  }
  ui_.cboLanguage->clear();
  for (const Language& language : kLanguages)
    ui_.cboLanguage->addItem(QString::fromLatin1(language.item));
}

void MainWindow::ShowMainWindow() {
  move(PxX(kMainWindowLeft, this), PxY(kMainWindowTop, this));
  show();
  if (design_height_twips_ == 0) design_height_twips_ = FrameTwips(this).height;
}

bool MainWindow::InInteractiveUse() const {
  return isVisible() && isEnabled() &&
         QApplication::activeModalWidget() == nullptr;
}

void MainWindow::Repaint() {
  FlushOutput();
  if (since_paint_.elapsed() < kEventIntervalMs) return;
  repaint();
  since_paint_.restart();
}

void MainWindow::EndProgram() {
  ending_ = true;
  for (QWidget* w : QApplication::topLevelWidgets())
    if (w != this) w->hide();
  close();
  QCoreApplication::quit();
}

// --- Controls.

void MainWindow::SetText(TextBox box, std::string_view text) {
  QLineEdit* edit = Box(box);
  const QString q = IsPathBox(box) ? PathToQt(text) : ToQt(text);
  if (edit->text() != q) edit->setText(q);
}

void MainWindow::ShowSettings(const AnalysisSettings& settings) {
  AnalysisSettings s = settings;
  for (const SettingsListControl& l : ui_.lists)
    l.combo->setCurrentIndex(PositionOf(l.list, SettingOf(s, l.list)));
  ui_.cboLanguage->setCurrentIndex(s.TextLanguage);
  ui_.chkIgnoreShortWords->setChecked(s.IgnoreShortWords);
  ui_.chkIgnoreCommonWords->setChecked(s.IgnoreCommonWords);
  ui_.chkPreserveCase->setChecked(s.PreserveCase);
  ui_.chkSpaceAfterComma->setChecked(s.SpaceAfterComma);
  ui_.chkForwardSlash->setChecked(s.ForwardSlash);
}

void MainWindow::ShowCommands(const CommandState& c) {
  ui_.optSingleFile->setChecked(c.single_file_mode);
  ui_.optMultipleFiles->setChecked(!c.single_file_mode);
  ui_.cmdShowExistingKeywordMetaTag->setText(ToQt(c.ShowExistingCaption));
  ui_.cmdListWords->setText(ToQt(c.ListWordsCaption));
  ui_.cmdGenerateKeywordMetaTag->setText(ToQt(c.GenerateCaption));
  const struct {
    QWidget* widget;
    bool enabled;
  } kEnabled[] = {
      {ui_.cmdShowExistingKeywordMetaTag, c.ShowExisting},
      {ui_.cmdGenerateKeywordMetaTag, c.Generate},
      {ui_.cmdListWords, c.ListWords},
      {ui_.cmdInsert, c.Insert},
      {ui_.cmdReset, c.Reset},
      {ui_.cmdHelp, c.Help},
      {ui_.cmdInputFile, c.InputFile},
      {ui_.cmdClearInputFile, c.ClearInputFile},
      {ui_.cmdFolder, c.Folder},
      {ui_.cmdClearFolder, c.ClearFolder},
      {ui_.cmdClearBeginMetaTagWith, c.ClearBeginMetaTagWith},
      {ui_.cmdClearWordsToIgnore, c.ClearWordsToIgnore},
      {ui_.cmdClearOutput, c.ClearOutput},
      {ui_.txbMaxNumKeywordsInMetaTag, c.MaxNumKeywords},
      {ui_.txbMaxNumBytesInMetaTag, c.MaxNumBytes},
      {ui_.optSingleFile, c.OptSingleFile},
      {ui_.optMultipleFiles, c.OptMultipleFiles},
      {ui_.txbInputFile, c.InputFileBox},
      {ui_.txbFolder, c.FolderBox},
  };
  for (const auto& k : kEnabled) k.widget->setEnabled(k.enabled);
  ui_.txbInputFile->setReadOnly(c.InputFileReadOnly);
  ui_.txbFolder->setReadOnly(c.FolderReadOnly);
  ui_.cmdViewReport->setVisible(c.ViewReportVisible);
}

void MainWindow::SetFocus(Control control) {
  switch (control) {
    case Control::kInputFileButton:
      ui_.cmdInputFile->setFocus();
      return;
    case Control::kFolderButton:
      ui_.cmdFolder->setFocus();
      return;
    case Control::kGenerateButton:
      ui_.cmdGenerateKeywordMetaTag->setFocus();
      return;
    case Control::kMaxNumKeywordsBox:
    case Control::kMaxNumBytesBox: {
      QLineEdit* box = control == Control::kMaxNumKeywordsBox
                           ? ui_.txbMaxNumKeywordsInMetaTag
                           : ui_.txbMaxNumBytesInMetaTag;
      box->setFocus();
      box->end(false);
      return;
    }
    default:
      return;
  }
}

// --- The output box and the labels.

std::string MainWindow::OutputText() const {
  FlushOutput();
  QString text = ui_.txbMetaTAG->toPlainText();
  for (const int at : soft_breaks_)
    if (at < text.size() && text[at] == u'\n') text[at] = u' ';
  return FromQt(text);
}

void MainWindow::SetOutputText(std::string_view text) {
  pending_output_.clear();
  soft_breaks_.clear();
  const QString q = ToQt(text);
  editing_output_ = true;
  ui_.txbMetaTAG->setPlainText(q);
  editing_output_ = false;
  echo_column_ = LastLineLength(q);
}

void MainWindow::AppendOutputText(std::string_view text) {
  const bool was_empty = pending_output_.empty() && !label_pending_;
  pending_output_.append(text);
  if (was_empty) QTimer::singleShot(0, this, [this] { FlushOutput(); });
}

void MainWindow::SetWordCountLabel(std::string_view text) {
  const bool was_empty = pending_output_.empty() && !label_pending_;
  pending_label_.assign(text);
  label_pending_ = true;
  if (was_empty) QTimer::singleShot(0, this, [this] { FlushOutput(); });
}

void MainWindow::FlushOutput() const {
  if (!pending_output_.empty()) {
    QTextDocument* document = ui_.txbMetaTAG->document();
    const int start = document->characterCount() - 1;
    QString text = ToQt(pending_output_);
    pending_output_.clear();
    for (qsizetype i = 0; i < text.size(); ++i) {
      if (text[i] == u'\n') {
        echo_column_ = 0;
      } else if (text[i] == u' ' && echo_column_ >= kEchoLineLength) {
        text[i] = u'\n';
        soft_breaks_.push_back(start + static_cast<int>(i));
        echo_column_ = 0;
      } else {
        ++echo_column_;
      }
    }
    QTextCursor cursor(document);
    cursor.movePosition(QTextCursor::End);
    editing_output_ = true;
    cursor.insertText(text);
    editing_output_ = false;
  }
  if (label_pending_) {
    ui_.lblNumberOfWords->setText(ToQt(pending_label_));
    label_pending_ = false;
  }
}

void MainWindow::SetInsertedCaption(std::string_view text, bool visible) {
  ui_.lblMetaTagInserted->setText(ToQt(text));
  ui_.lblMetaTagInserted->setVisible(visible);
}

// --- During a scan or a run.

void MainWindow::HandlePendingInput() {
  if ((++pending_calls_ & kClockCheckMask) != 0) return;
  if (since_events_.elapsed() < kEventIntervalMs) return;
  FlushOutput();
  if (report_ != nullptr) report_->Flush();
  QCoreApplication::processEvents();
  since_events_.restart();
  since_paint_.restart();
}

void MainWindow::ShowProgress(bool running, std::int64_t done,
                              std::int64_t total) {
  ui_.prgFilesDone->setVisible(running && total > 0);
  if (!running) return;
  ui_.prgFilesDone->setMaximum(static_cast<int>(total));
  ui_.prgFilesDone->setValue(static_cast<int>(done));
}

InspectAnswer MainWindow::Inspect(const InspectRequest& request) {
  FlushOutput();
  const int folder_top =
      TwipsY(ui_.cmdFolder->mapTo(this, QPoint(0, 0)).y(), this);
  return editDialog()->Run(request, FrameTwips(this), folder_top);
}

// --- Secondary windows.

void MainWindow::ShowParametersWindow() { parameters_->ShowAndActivate(); }

void MainWindow::ShowParameters(const OperationParameters& parameters,
                                const ParameterEnabling& enabling) {
  parameters_->ShowValues(parameters, enabling);
}

void MainWindow::ShowReportWindow() { report_->ShowAndActivate(); }
void MainWindow::HideReportWindow() { report_->hide(); }
bool MainWindow::ReportWindowVisible() const { return report_->isVisible(); }
void MainWindow::RaiseReportWindow() { report_->RaiseWithCaretAtEnd(); }

void MainWindow::RestoreMinimisedWindows() {
  if (isMinimized()) showNormal();
  if (report_->isMinimized()) report_->showNormal();
}

void MainWindow::SetReportButtonsEnabled(bool enabled) {
  report_->SetButtonsEnabled(enabled);
}

void MainWindow::SetReportCopyButton(std::string_view caption,
                                     int width_twips) {
  report_->SetCopyButton(ToQt(caption), width_twips);
}

void MainWindow::FocusReportClose() { report_->FocusClose(); }

void MainWindow::ShowHelpWindow() {
  if (help_ == nullptr)
    help_ =
        new HelpWindow(this, controller_->texts().GetText(kTextProgramName));
  help_->ShowOrRestore();
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
