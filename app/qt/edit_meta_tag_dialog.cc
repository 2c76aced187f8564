#include "app/qt/edit_meta_tag_dialog.h"

#include <QCloseEvent>
#include <QHBoxLayout>
#include <QVBoxLayout>

#include "app/qt/main_window_ui.h"
#include "app/qt/qt_text.h"
#include "app/qt/twips.h"

namespace vorn {

EditMetaTagDialog::EditMetaTagDialog(QWidget* main) : QDialog(main) {
  setObjectName(QStringLiteral("frmEditMetaTag"));
  setWindowTitle(QString::fromLatin1(kEditMetaTagCaption));
  setModal(true);
  auto named = [](auto* w, const char* name) {
    w->setObjectName(QString::fromLatin1(name));
    return w;
  };
  chkStopOperation_ = named(
      new QCheckBox(
          QStringLiteral("Stop the operation after this insertion (if any)")),
      "chkStopOperation");
  chkInsertDoneMetaTag_ =
      named(new QCheckBox(QStringLiteral("Insert 'Done' meta tag")),
            "chkInsertDoneMetaTag");
  chkInsertMetaTag_ =
      named(new QCheckBox(QStringLiteral("Insert this keywords meta tag")),
            "chkInsertMetaTag");
  cmdContinue_ =
      named(new QPushButton(QStringLiteral("Continue")), "cmdContinue");
  txbMetaTAG_ = named(new QPlainTextEdit, "txbMetaTAG");
  txbMetaTAG_->setFont(FixedPitchFont());
  txbMetaTAG_->setTabChangesFocus(true);
  txbMetaTAG_->setMinimumHeight(txbMetaTAG_->fontMetrics().lineSpacing() * 4);
  lblFile_ = named(new QLabel, "lblFile");
  lblEditMetaTag_ =
      named(new QLabel(ToQt(kEditMetaTagInstructions)), "lblEditMetaTag");
  lblEditMetaTag_->setWordWrap(true);

  auto* layout = new QVBoxLayout(this);
  layout->addWidget(lblFile_);
  layout->addWidget(txbMetaTAG_, 1);
  layout->addWidget(lblEditMetaTag_);
  auto* row = new QHBoxLayout;
  auto* boxes = new QVBoxLayout;
  boxes->addWidget(chkStopOperation_);
  boxes->addWidget(chkInsertDoneMetaTag_);
  boxes->addWidget(chkInsertMetaTag_);
  row->addLayout(boxes, 1);
  row->addWidget(cmdContinue_, 0, Qt::AlignBottom);
  layout->addLayout(row);

  for (QCheckBox* box :
       {chkStopOperation_, chkInsertDoneMetaTag_, chkInsertMetaTag_}) {
    connect(box, &QCheckBox::clicked, this,
            [this] { cmdContinue_->setFocus(); });
  }
  connect(cmdContinue_, &QPushButton::clicked, this, [this] {
    answer_ = ContinueAnswer(Boxes(), FromQt(txbMetaTAG_->toPlainText()));
    done(QDialog::Accepted);
  });
}

InspectBoxes EditMetaTagDialog::Boxes() const {
  return {chkInsertMetaTag_->isChecked(), chkInsertDoneMetaTag_->isChecked(),
          chkStopOperation_->isChecked()};
}

InspectAnswer EditMetaTagDialog::Run(const InspectRequest& request,
                                     const TwipsRect& main,
                                     int folder_button_top,
                                     int keep_clear_top) {
  const InspectBoxes start = InspectStartBoxes(request);
  chkInsertMetaTag_->setChecked(start.insert);
  chkInsertDoneMetaTag_->setChecked(start.insert_done);
  chkStopOperation_->setChecked(start.stop);
  lblFile_->setText(ToQt(request.file_label));
  txbMetaTAG_->setPlainText(ToQt(request.tag));
  const QMargins frame = FrameMargins(this);
  SetFrameTwips(this,
                InspectDialogPlacement(main, folder_button_top, keep_clear_top,
                                       TwipsY(minimumSizeHint().height() +
                                                  frame.top() + frame.bottom(),
                                              this)));
  answer_ = CloseBoxAnswer(start, request.tag);
  exec();
  return answer_;
}

void EditMetaTagDialog::CloseBox() {
  answer_ = CloseBoxAnswer(Boxes(), FromQt(txbMetaTAG_->toPlainText()));
}

void EditMetaTagDialog::closeEvent(QCloseEvent* event) {
  CloseBox();
  QDialog::closeEvent(event);
}

void EditMetaTagDialog::reject() {
  CloseBox();
  QDialog::reject();
}

}  // namespace vorn
