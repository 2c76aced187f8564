#include "app/qt/parameters_window.h"

#include <QEvent>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QVBoxLayout>

#include "app/qt/qt_text.h"
#include "app/qt/twips.h"
#include "app/window_rules.h"

namespace vorn {

ParametersWindow::ParametersWindow(QWidget* main, MainController& controller)
    : QWidget(main, kOwnedWindow), main_(main), controller_(controller) {
  setObjectName(QStringLiteral("frmParameters"));
  auto* layout = new QVBoxLayout(this);
  auto* extensions = new QHBoxLayout;
  for (std::size_t i = 0; i < kParameterBoxes.size(); ++i) {
    const ParameterBox& b = kParameterBoxes[i];
    auto* box = new QCheckBox(QString::fromLatin1(b.caption), this);
    box->setObjectName(QString::fromLatin1(b.name));
    boxes_[i] = box;
    if (b.extension)
      extensions->addWidget(box);
    else
      layout->addWidget(box);
    const Parameter parameter = b.parameter;
    connect(box, &QCheckBox::clicked, this, [this, parameter](bool ticked) {
      controller_.ParameterClicked(parameter, ticked);
    });
  }
  auto* label = new QLabel(QString::fromLatin1(kFileExtensionsLabel), this);
  label->setObjectName(QStringLiteral("lblFileExtensions"));
  layout->addWidget(label);
  auto* frame = new QGroupBox(this);
  extensions->addStretch(1);
  frame->setLayout(extensions);
  layout->addWidget(frame);
  cmdClose_ = new QPushButton(QStringLiteral("Close"), this);
  cmdClose_->setObjectName(QStringLiteral("cmdClose"));
  auto* close_row = new QHBoxLayout;
  close_row->addStretch(1);
  close_row->addWidget(cmdClose_);
  layout->addLayout(close_row);
  connect(cmdClose_, &QPushButton::clicked, this, &QWidget::hide);
  adjustSize();
}

void ParametersWindow::ShowValues(const OperationParameters& parameters,
                                  const ParameterEnabling& enabling) {
  for (std::size_t i = 0; i < kParameterBoxes.size(); ++i) {
    const Parameter p = kParameterBoxes[i].parameter;
    boxes_[i]->setChecked(ParameterValue(parameters, p));
    boxes_[i]->setEnabled(ParameterEnabled(enabling, p));
  }
}

void ParametersWindow::ShowAndActivate() {
  if (isMinimized()) showNormal();
  show();
  raise();
  activateWindow();
  Activated();
}

void ParametersWindow::changeEvent(QEvent* event) {
  if (event->type() == QEvent::ActivationChange && isActiveWindow())
    Activated();
  QWidget::changeEvent(event);
}

void ParametersWindow::keyPressEvent(QKeyEvent* event) {
  switch (event->key()) {
    case Qt::Key_Escape:
    case Qt::Key_Return:
    case Qt::Key_Enter:
      hide();
      return;
    default:
      QWidget::keyPressEvent(event);
  }
}

void ParametersWindow::Activated() {
  setWindowTitle(ToQt(controller_.commands().ShowExistingCaption));
  const TwipsRect screen = ScreenTwips(this);
  const TwipsRect place =
      ParametersWindowPlacement(FrameTwips(main_), main_->isMinimized(),
                                FrameTwips(this), screen.width, screen.height);
  move(PxX(place.left, this), PxY(place.top, this));
  if (isVisible()) cmdClose_->setFocus();
}

}  // namespace vorn
