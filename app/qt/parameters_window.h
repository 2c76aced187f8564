// frmParameters: the operation parameters of multiple-file runs, one check
// box each, and Close (also Return and Escape). The boxes show the core's
// OperationParameters; a click goes to the controller, which applies the
// couplings.
#ifndef VORN_APP_QT_PARAMETERS_WINDOW_H_
#define VORN_APP_QT_PARAMETERS_WINDOW_H_

#include <QCheckBox>
#include <QPushButton>
#include <QWidget>
#include <array>

#include "app/main_controller.h"
#include "app/parameter_boxes.h"

namespace vorn {

class ParametersWindow : public QWidget {
  Q_OBJECT

 public:
  ParametersWindow(QWidget* main, MainController& controller);

  void ShowValues(const OperationParameters& parameters,
                  const ParameterEnabling& enabling);
  void ShowAndActivate();

 protected:
  void changeEvent(QEvent* event) override;
  void keyPressEvent(QKeyEvent* event) override;

 private:
  void Activated();

  QWidget* main_;
  MainController& controller_;
  std::array<QCheckBox*, kParameterBoxes.size()> boxes_{};
  QPushButton* cmdClose_;
};

}  // namespace vorn

#endif  // VORN_APP_QT_PARAMETERS_WINDOW_H_
