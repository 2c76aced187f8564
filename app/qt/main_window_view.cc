// The main window as the application core sees it: MainWindowView.
#include <QApplication>
#include <QDialog>
#include <QDialogButtonBox>
#include <QMenu>
#include <QMessageBox>
#include <QPushButton>
#include <QScreen>
#include <QStatusBar>
#include <QTextCursor>
#include <QTextDocument>
#include <QTimer>
#include <QVBoxLayout>

#include "app/qt/edit_meta_tag_dialog.h"
#include "app/qt/help_window.h"
#include "app/qt/main_window.h"
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
// How often the window repaints while a run keeps it busy between scans.
constexpr qint64 kPaintIntervalMs = 100;
constexpr unsigned kClockCheckMask = 63;  // look at the clock every 64 calls

}  // namespace

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

int MainWindow::TopInFrame(const QWidget* w) const {
  return TwipsY(
      geometry().y() - frameGeometry().y() + w->mapTo(this, QPoint(0, 0)).y(),
      this);
}

MainWindowSizes MainWindow::Sizes() const {
  const QRect area = screen()->availableGeometry() - FrameMargins(this);
  const QSize natural = sizeHint();
  const QSize least = minimumSizeHint();
  return {{TwipsX(area.x(), this), TwipsY(area.y(), this),
           TwipsX(area.width(), this), TwipsY(area.height(), this)},
          TwipsX(natural.width(), this),
          TwipsY(natural.height(), this),
          TwipsX(least.width(), this),
          TwipsY(least.height(), this)};
}

void MainWindow::ShowMainWindow(const WindowGeometry& place) {
  const TwipsRect& r = place.area;
  setGeometry(PxX(r.left, this), PxY(r.top, this), PxX(r.width, this),
              PxY(r.height, this));
  if (place.maximised)
    showMaximized();
  else
    show();
}

WindowGeometry MainWindow::MainWindowGeometry() const {
  const QRect r = isMaximized() ? normalGeometry() : geometry();
  TwipsRect area{TwipsX(r.x(), this), TwipsY(r.y(), this),
                 TwipsX(r.width(), this), TwipsY(r.height(), this)};
  if (ui_.chkLargeWindow->isChecked() && normal_height_twips_ > 0)
    area.height = normal_height_twips_;
  return {area, isMaximized()};
}

bool MainWindow::InInteractiveUse() const {
  return isVisible() && isEnabled() &&
         QApplication::activeModalWidget() == nullptr;
}

void MainWindow::Repaint() {
  FlushOutput();
  if (since_paint_.elapsed() < kPaintIntervalMs) return;
  FlushProgress();
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
  if (box == TextBox::kInputFile) {
    if (run_shown_) {
      const bool was_pending = pending_text_ || label_pending_ ||
                               pending_caption_ || pending_input_file_ ||
                               !pending_output_.empty();
      pending_input_file_ = std::string(text);
      ScheduleFlush(was_pending);
      return;
    }
    pending_input_file_.reset();
  }
  QLineEdit* edit = Box(box);
  const QString q = HoldsPath(box) ? PathToQt(text) : ToQt(text);
  setting_box_ = true;
  if (edit->text() != q) edit->setText(q);
  setting_box_ = false;
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
  const auto caption = [](const std::string& text, const char* letters) {
    return ToQt(AcceleratedCaption(text, letters));
  };
  ui_.cmdShowExistingKeywordMetaTag->setText(
      caption(c.ShowExistingCaption, kShowExistingLetters));
  ui_.cmdListWords->setText(caption(c.ListWordsCaption, kListWordsLetters));
  ui_.cmdGenerateKeywordMetaTag->setText(
      caption(c.GenerateCaption, kGenerateLetters));
  ui_.actGenerate->setText(caption(c.GenerateCaption, kGenerateLetters));
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
      {ui_.cmdViewReport, c.ViewReport},
      {ui_.cmdQuit, c.Live},
      {ui_.settingsArea->widget(), c.Live},
      {ui_.chkLargeWindow, c.Live},
      {ui_.lblOnlineDocumentation, c.Live},
  };
  for (const auto& k : kEnabled) k.widget->setEnabled(k.enabled);
  const struct {
    QAction* action;
    bool enabled;
  } kActions[] = {
      {ui_.actOpenPage, c.OpenPage},
      {ui_.actOpenFolder, c.OpenFolder},
      {ui_.actSaveState, c.SaveState},
      {ui_.actQuit, c.Live},
      {ui_.actListWords, c.ListWordsEntry},
      {ui_.actGenerate, c.Generate},
      {ui_.actInsert, c.Insert},
      {ui_.actStop, c.Stop},
      {ui_.actHelp, c.Help},
      {ui_.actManual, c.Live},
      {ui_.actAbout, c.Live},
  };
  for (const auto& k : kActions) k.action->setEnabled(k.enabled);
  ui_.mnuRecent->setEnabled(c.OpenPage && !ui_.mnuRecent->isEmpty());
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
  for (const std::size_t at : echo_.breaks())
    if (at < static_cast<std::size_t>(text.size()) && text[at] == u'\n')
      text[at] = u' ';
  return FromQt(text);
}

void MainWindow::SetOutputText(std::string_view text) {
  pending_output_.clear();
  if (run_shown_) {
    const bool was_pending =
        pending_text_ || label_pending_ || pending_caption_;
    pending_text_ = std::string(text);
    ScheduleFlush(was_pending);
    return;
  }
  pending_text_.reset();
  echo_.Reset(text);
  editing_output_ = true;
  ui_.txbMetaTAG->setPlainText(ToQt(text));
  editing_output_ = false;
}

void MainWindow::AppendOutputText(std::string_view text) {
  const bool was_empty = pending_output_.empty() && !label_pending_;
  pending_output_.append(text);
  ScheduleFlush(!was_empty);
}

void MainWindow::SetWordCountLabel(std::string_view text) {
  const bool was_empty = pending_output_.empty() && !label_pending_;
  pending_label_.assign(text);
  label_pending_ = true;
  ScheduleFlush(!was_empty);
}

void MainWindow::ScheduleFlush(bool was_pending) const {
  if (was_pending) return;
  QTimer::singleShot(0, this, [this] { FlushOutput(); });
}

void MainWindow::FlushOutput() const {
  if (pending_text_) {
    echo_.Reset(*pending_text_);
    editing_output_ = true;
    ui_.txbMetaTAG->setPlainText(ToQt(*pending_text_));
    editing_output_ = false;
    pending_text_.reset();
  }
  if (pending_input_file_) {
    const QString q = PathToQt(*pending_input_file_);
    QLineEdit* edit = Box(TextBox::kInputFile);
    setting_box_ = true;
    if (edit->text() != q) edit->setText(q);
    setting_box_ = false;
    pending_input_file_.reset();
  }
  if (pending_caption_) {
    ui_.lblMetaTagInserted->setText(ToQt(*pending_caption_));
    ui_.lblMetaTagInserted->setVisible(true);
    pending_caption_.reset();
  }
  if (!pending_output_.empty()) {
    QTextDocument* document = ui_.txbMetaTAG->document();
    const QString text = ToQt(
        echo_.Wrap(pending_output_,
                   static_cast<std::size_t>(document->characterCount() - 1)));
    pending_output_.clear();
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
  if (run_shown_ && visible) {
    const bool was_pending = pending_text_ || label_pending_ ||
                             pending_caption_ || !pending_output_.empty();
    pending_caption_ = std::string(text);
    ScheduleFlush(was_pending);
    return;
  }
  pending_caption_.reset();
  ui_.lblMetaTagInserted->setText(ToQt(text));
  ui_.lblMetaTagInserted->setVisible(visible);
}

void MainWindow::ShowStatus(std::string_view text) {
  if (text.empty())
    statusBar()->clearMessage();
  else
    statusBar()->showMessage(ToQt(text));
}

void MainWindow::ShowRecent(const std::vector<std::string>& paths) {
  ui_.mnuRecent->clear();
  for (std::size_t i = 0; i < paths.size(); ++i) {
    QAction* entry = ui_.mnuRecent->addAction(PathToQt(paths[i]));
    connect(entry, &QAction::triggered, this,
            [this, i] { controller_->RecentClicked(i); });
  }
  ui_.mnuRecent->setEnabled(!paths.empty() && ui_.actOpenPage->isEnabled());
}

// --- During a scan or a run.

void MainWindow::HandlePendingInput() {
  if ((++pending_calls_ & kClockCheckMask) != 0) return;
  if (since_events_.elapsed() < kEventIntervalMs) return;
  FlushOutput();
  FlushProgress();
  if (report_ != nullptr) report_->Flush();
  QCoreApplication::processEvents();
  since_events_.restart();
  since_paint_.restart();
}

void MainWindow::ShowProgress(bool running, std::int64_t done,
                              std::int64_t total) {
  if (!running) {
    // The run's last texts, then the box and caption as they come.
    FlushOutput();
    run_shown_ = false;
    progress_pending_ = false;
    ui_.prgFilesDone->setVisible(false);
    return;
  }
  run_shown_ = true;
  progress_done_ = done;
  progress_total_ = total;
  progress_pending_ = true;
  if (done == 0 || done == total) FlushProgress();
}

void MainWindow::FlushProgress() {
  if (!progress_pending_) return;
  progress_pending_ = false;
  ui_.prgFilesDone->setVisible(progress_total_ > 0);
  ui_.prgFilesDone->setMaximum(static_cast<int>(progress_total_));
  ui_.prgFilesDone->setValue(static_cast<int>(progress_done_));
}

InspectAnswer MainWindow::Inspect(const InspectRequest& request) {
  FlushOutput();
  FlushProgress();
  // The word count and the progress stay in view with the output box.
  return editDialog()->Run(request, FrameTwips(this), TopInFrame(ui_.cmdFolder),
                           TopInFrame(ui_.lblNumberOfWords));
}

// --- Secondary windows.

void MainWindow::ShowParametersWindow() { parameters_->ShowAndActivate(); }

void MainWindow::ShowParameters(const OperationParameters& parameters,
                                const ParameterEnabling& enabling) {
  parameters_->ShowValues(parameters, enabling);
}

void MainWindow::ShowReportWindow() {
  // Placed anew only when it was hidden: where the user moved it, it stays.
  std::optional<TwipsRect> place;
  if (!report_->isVisible()) {
    place = ReportWindowPlacement(FrameTwips(this), ScreenTwips(this),
                                  TopInFrame(ui_.settingsArea),
                                  TopInFrame(ui_.cmdListWords));
  }
  report_->ShowAndActivate(place);
}
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

void MainWindow::ShowAbout(std::string_view caption, std::string_view text) {
  QDialog about(this);
  about.setObjectName(QStringLiteral("frmAbout"));
  about.setWindowTitle(ToQt(caption));
  auto* box = new QPlainTextEdit(PathToQt(text), &about);
  box->setObjectName(QStringLiteral("txbAbout"));
  box->setReadOnly(true);
  box->setTabChangesFocus(true);
  box->setFont(FixedPitchFont());  // the licences are laid out in columns
  box->setLineWrapMode(QPlainTextEdit::NoWrap);
  box->setMinimumSize(box->fontMetrics().horizontalAdvance(QString(82, u'x')),
                      box->fontMetrics().lineSpacing() * 20);
  auto* buttons = new QDialogButtonBox(QDialogButtonBox::Close, &about);
  buttons->button(QDialogButtonBox::Close)->setDefault(true);
  QPushButton* qt = buttons->addButton(QStringLiteral("About &Qt"),
                                       QDialogButtonBox::ActionRole);
  connect(qt, &QPushButton::clicked, &about,
          [&about] { QMessageBox::aboutQt(&about); });
  connect(buttons, &QDialogButtonBox::rejected, &about, &QDialog::reject);
  auto* layout = new QVBoxLayout(&about);
  layout->addWidget(box, 1);
  layout->addWidget(buttons);
  about.exec();
}

void MainWindow::ShowHelpWindow() {
  if (help_ == nullptr)
    help_ =
        new HelpWindow(this, controller_->texts().GetText(kTextProgramName));
  help_->ShowOrRestore();
}

}  // namespace vorn
