// frmReport: the log of multiple-file runs, with Save to file, Copy to
// clipboard and Close. It shows the core's Report as it grows, bringing
// the text box up to date every few tens of milliseconds rather than at
// every line.
#ifndef VORN_APP_QT_REPORT_WINDOW_H_
#define VORN_APP_QT_REPORT_WINDOW_H_

#include <QPlainTextEdit>
#include <QPushButton>
#include <QWidget>
#include <optional>
#include <string>

#include "app/main_controller.h"
#include "batch/report.h"

namespace vorn {

class ReportWindow : public QWidget, public ReportListener {
  Q_OBJECT

 public:
  ReportWindow(QWidget* main, MainController& controller);

  // ReportListener: the text is shown at the next Flush (or when the event
  // loop runs).
  void ReportChanged(const std::string& text) override;
  // Shows the latest report text now.
  void Flush();

  // Shows the window at `place` (twips) when given, restored when it was
  // minimised, in front and active.
  void ShowAndActivate(const std::optional<TwipsRect>& place);
  // Brings a shown window to the front with the caret at the end.
  void RaiseWithCaretAtEnd();
  void SetButtonsEnabled(bool enabled);
  void SetCopyButton(const QString& caption, int width_twips);
  void FocusClose();

  QPlainTextEdit* text() const { return txbText_; }

 protected:
  void changeEvent(QEvent* event) override;
  void closeEvent(QCloseEvent* event) override;
  void keyPressEvent(QKeyEvent* event) override;  // Escape: as Close
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  void Activated();
  std::string Selection() const;

  MainController& controller_;
  QPlainTextEdit* txbText_;
  QPushButton* cmdSaveToFile_;
  QPushButton* cmdCopyToClipboard_;
  QPushButton* cmdClose_;
  const std::string* latest_ = nullptr;  // the report's text, when changed
  std::string shown_;                    // what the text box holds
  bool flush_scheduled_ = false;
};

}  // namespace vorn

#endif  // VORN_APP_QT_REPORT_WINDOW_H_
