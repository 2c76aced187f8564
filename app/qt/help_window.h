// frmHelp: the help text in one large text box, and Close. Created once;
// Close only hides it, so the next Help shows it again as it was.
#ifndef VORN_APP_QT_HELP_WINDOW_H_
#define VORN_APP_QT_HELP_WINDOW_H_

#include <QPlainTextEdit>
#include <QPushButton>
#include <QWidget>
#include <string_view>

namespace vorn {

class HelpWindow : public QWidget {
  Q_OBJECT

 public:
  // Placed over `main` (480 twips below its top, 200 in from its left, 400
  // narrower and 680 lower); the caption names `program_name`.
  HelpWindow(QWidget* main, std::string_view program_name);

  // Shows the window, or restores it to normal size when minimised.
  void ShowOrRestore();

  QPlainTextEdit* text() const { return txbHelpScreen_; }

 protected:
  void keyPressEvent(QKeyEvent* event) override;  // Escape: as Close

 private:
  QPlainTextEdit* txbHelpScreen_;
  QPushButton* cmdClose_;
};

}  // namespace vorn

#endif  // VORN_APP_QT_HELP_WINDOW_H_
