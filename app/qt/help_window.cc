#include "app/qt/help_window.h"

#include <QHBoxLayout>
#include <QKeyEvent>
#include <QVBoxLayout>

#include "app/help_text.h"
#include "app/qt/qt_text.h"
#include "app/qt/twips.h"
#include "app/window_rules.h"

namespace vorn {

HelpWindow::HelpWindow(QWidget* main, std::string_view program_name)
    : QWidget(main, kOwnedWindow) {
  setObjectName(QStringLiteral("frmHelp"));
  setWindowTitle(ToQt(HelpCaption(program_name)));
  txbHelpScreen_ = new QPlainTextEdit(this);
  txbHelpScreen_->setObjectName(QStringLiteral("txbHelpScreen"));
  txbHelpScreen_->setReadOnly(true);
  txbHelpScreen_->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
  txbHelpScreen_->setPlainText(ToQt(HelpText()));
  txbHelpScreen_->setTabChangesFocus(true);
  cmdClose_ = new QPushButton(QStringLiteral("Close"), this);
  cmdClose_->setObjectName(QStringLiteral("cmdClose"));
  auto* layout = new QVBoxLayout(this);
  layout->addWidget(txbHelpScreen_, 1);
  auto* row = new QHBoxLayout;
  row->addStretch(1);
  row->addWidget(cmdClose_);
  row->addStretch(1);
  layout->addLayout(row);
  connect(cmdClose_, &QPushButton::clicked, this, &QWidget::hide);
  SetFrameTwips(this, HelpWindowPlacement(FrameTwips(main)));
}

void HelpWindow::keyPressEvent(QKeyEvent* event) {
  if (event->key() == Qt::Key_Escape) {
    hide();
    return;
  }
  QWidget::keyPressEvent(event);
}

void HelpWindow::ShowOrRestore() {
  if (isMinimized()) {
    showNormal();
  } else {
    show();
    raise();
    activateWindow();
  }
}

}  // namespace vorn
