// frmEditMetaTag: before each insertion of a multiple-file run, shows the
// new tag for editing with three choices (insert it, insert the done tag,
// stop after this file) and Continue. Closing it means "do not insert" and
// "stop".
#ifndef VORN_APP_QT_EDIT_META_TAG_DIALOG_H_
#define VORN_APP_QT_EDIT_META_TAG_DIALOG_H_

#include <QCheckBox>
#include <QDialog>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>

#include "app/window_rules.h"
#include "batch/multiple_file_run.h"

namespace vorn {

class EditMetaTagDialog : public QDialog {
  Q_OBJECT

 public:
  explicit EditMetaTagDialog(QWidget* main);

  // Shows `request` modally over the main window (`main` its frame in
  // twips, `folder_button_top` the top of its Folder button and
  // `keep_clear_top` that of the rows that stay in view below: the word
  // count and progress, and the output box) and returns the user's
  // choices.
  InspectAnswer Run(const InspectRequest& request, const TwipsRect& main,
                    int folder_button_top, int keep_clear_top);

 protected:
  void closeEvent(QCloseEvent* event) override;
  void reject() override;  // Escape: as the close box

 private:
  InspectBoxes Boxes() const;
  void CloseBox();

  QCheckBox* chkStopOperation_;
  QCheckBox* chkInsertDoneMetaTag_;
  QCheckBox* chkInsertMetaTag_;
  QPushButton* cmdContinue_;
  QPlainTextEdit* txbMetaTAG_;
  QLabel* lblFile_;
  QLabel* lblEditMetaTag_;
  InspectAnswer answer_;
};

}  // namespace vorn

#endif  // VORN_APP_QT_EDIT_META_TAG_DIALOG_H_
