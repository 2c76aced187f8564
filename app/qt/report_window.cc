#include "app/qt/report_window.h"

#include <QCloseEvent>
#include <QGridLayout>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QScrollBar>
#include <QTextCursor>
#include <QTimer>
#include <QVBoxLayout>

#include "app/qt/main_window_ui.h"
#include "app/qt/qt_text.h"
#include "app/qt/twips.h"
#include "app/text_sync.h"
#include "app/window_rules.h"

namespace vorn {

ReportWindow::ReportWindow(QWidget* main, MainController& controller)
    : QWidget(main, kOwnedWindow), controller_(controller) {
  setObjectName(QStringLiteral("frmReport"));
  setWindowTitle(QStringLiteral("Report"));
  txbText_ = new QPlainTextEdit(this);
  txbText_->setObjectName(QStringLiteral("txbText"));
  txbText_->setFont(FixedPitchFont());
  txbText_->setLineWrapMode(QPlainTextEdit::NoWrap);
  txbText_->setTabChangesFocus(true);
  txbText_->viewport()->installEventFilter(this);
  cmdSaveToFile_ = new QPushButton(QStringLiteral("Save to file"), this);
  cmdSaveToFile_->setObjectName(QStringLiteral("cmdSaveToFile"));
  cmdCopyToClipboard_ =
      new QPushButton(QStringLiteral("Copy to clipboard"), this);
  cmdCopyToClipboard_->setObjectName(QStringLiteral("cmdCopyToClipboard"));
  cmdClose_ = new QPushButton(QStringLiteral("Close"), this);
  cmdClose_->setObjectName(QStringLiteral("cmdClose"));

  // Three equal columns keep the copy button centred whatever its width.
  auto* buttons = new QGridLayout;
  buttons->addWidget(cmdSaveToFile_, 0, 0, Qt::AlignLeft);
  buttons->addWidget(cmdCopyToClipboard_, 0, 1, Qt::AlignHCenter);
  buttons->addWidget(cmdClose_, 0, 2, Qt::AlignRight);
  for (int column = 0; column < 3; ++column)
    buttons->setColumnStretch(column, 1);
  auto* layout = new QVBoxLayout(this);
  layout->addWidget(txbText_, 1);
  layout->addLayout(buttons);

  setMinimumSize(PxX(kReportMinWidth, this), PxY(kReportMinHeight, this));
  const CopyButton copy = CopyButtonFor(false);
  SetCopyButton(QString::fromLatin1(copy.caption.c_str()), copy.width);

  connect(cmdSaveToFile_, &QPushButton::clicked, this,
          [this] { controller_.ReportSaveClicked(); });
  connect(cmdCopyToClipboard_, &QPushButton::clicked, this,
          [this] { controller_.ReportCopyClicked(Selection()); });
  connect(cmdClose_, &QPushButton::clicked, this,
          [this] { controller_.ReportCloseClicked(); });
}

void ReportWindow::ReportChanged(const std::string& text) {
  latest_ = &text;
  if (flush_scheduled_) return;
  flush_scheduled_ = true;
  QTimer::singleShot(0, this, [this] { Flush(); });
}

void ReportWindow::Flush() {
  flush_scheduled_ = false;
  if (latest_ == nullptr) return;
  const std::string& wanted = *latest_;
  latest_ = nullptr;
  const TailEdit edit = TailEditBetween(shown_, wanted);
  if (edit.remove == 0 && edit.append.empty()) return;
  QTextCursor cursor(txbText_->document());
  cursor.movePosition(QTextCursor::End);
  if (edit.remove > 0) {
    // Positions, not characters as the cursor walks them (a letter with its
    // marks is one such character).
    cursor.setPosition(cursor.position() - static_cast<int>(edit.remove),
                       QTextCursor::KeepAnchor);
    cursor.removeSelectedText();
  }
  cursor.insertText(ToQt(edit.append));
  shown_ = wanted;
  // Keep the last line in view.
  txbText_->setTextCursor(cursor);
  txbText_->ensureCursorVisible();
}

void ReportWindow::ShowAndActivate(const std::optional<TwipsRect>& place) {
  Flush();
  if (isMinimized()) showNormal();
  show();
  if (place && windowState() == Qt::WindowNoState) SetFrameTwips(this, *place);
  raise();
  activateWindow();
  Activated();
}

void ReportWindow::RaiseWithCaretAtEnd() {
  Flush();
  if (!isVisible()) return;
  txbText_->moveCursor(QTextCursor::End);
  raise();
}

void ReportWindow::SetButtonsEnabled(bool enabled) {
  cmdSaveToFile_->setEnabled(enabled);
  cmdCopyToClipboard_->setEnabled(enabled);
  cmdClose_->setEnabled(enabled);
}

void ReportWindow::SetCopyButton(const QString& caption, int width_twips) {
  cmdCopyToClipboard_->setText(caption);
  // The width the rule gives, unless the caption needs more at this font.
  cmdCopyToClipboard_->setFixedWidth(std::max(
      PxX(width_twips, this), cmdCopyToClipboard_->sizeHint().width()));
}

void ReportWindow::FocusClose() { cmdClose_->setFocus(); }

void ReportWindow::changeEvent(QEvent* event) {
  if (event->type() == QEvent::ActivationChange && isActiveWindow())
    Activated();
  QWidget::changeEvent(event);
}

void ReportWindow::Activated() {
  const CopyButton copy = CopyButtonFor(false);
  SetCopyButton(QString::fromLatin1(copy.caption.c_str()), copy.width);
}

void ReportWindow::closeEvent(QCloseEvent* event) {
  // The close box closes as the Close button does: the log stays.
  event->ignore();
  controller_.ReportCloseClicked();
}

void ReportWindow::keyPressEvent(QKeyEvent* event) {
  if (event->key() == Qt::Key_Escape && cmdClose_->isEnabled()) {
    controller_.ReportCloseClicked();
    return;
  }
  QWidget::keyPressEvent(event);
}

bool ReportWindow::eventFilter(QObject* watched, QEvent* event) {
  if (watched == txbText_->viewport() &&
      event->type() == QEvent::MouseButtonRelease &&
      static_cast<QMouseEvent*>(event)->button() == Qt::LeftButton) {
    controller_.ReportSelectionChanged(txbText_->textCursor().hasSelection());
  }
  return false;
}

std::string ReportWindow::Selection() const {
  return FromQt(txbText_->textCursor().selectedText());
}

}  // namespace vorn
