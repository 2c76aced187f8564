#include "app/qt/qt_platform.h"

#include <QApplication>
#include <QClipboard>
#include <QDesktopServices>
#include <QFileDialog>
#include <QMessageBox>
#include <QUrl>

#include "app/qt/qt_text.h"
#include "app/window_rules.h"

namespace vorn {
namespace {

QMessageBox::Icon QtIcon(Icon icon) {
  switch (icon) {
    case Icon::kNone:
      return QMessageBox::NoIcon;
    case Icon::kExclamation:
      return QMessageBox::Warning;
    case Icon::kInformation:
      return QMessageBox::Information;
    case Icon::kStop:
      return QMessageBox::Critical;
  }
  return QMessageBox::NoIcon;
}

QMessageBox::StandardButtons QtButtons(Buttons buttons) {
  switch (buttons) {
    case Buttons::kOk:
      return QMessageBox::Ok;
    case Buttons::kYesNo:
      return QMessageBox::Yes | QMessageBox::No;
    case Buttons::kYesNoCancel:
      return QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel;
  }
  return QMessageBox::Ok;
}

}  // namespace

QWidget* QtPlatform::Owner() const {
  if (QWidget* active = QApplication::activeWindow()) return active;
  if (owner_ != nullptr && owner_->isVisible()) return owner_;
  return nullptr;
}

Answer QtPlatform::Ask(const MessageBox& box) {
  QMessageBox message(QtIcon(box.icon), ToQt(box.caption), ToQt(box.text),
                      QtButtons(box.buttons), Owner());
  if (box.buttons != Buttons::kOk) message.setDefaultButton(QMessageBox::Yes);
  switch (message.exec()) {
    case QMessageBox::Yes:
      return Answer::kYes;
    case QMessageBox::No:
      return Answer::kNo;
    case QMessageBox::Cancel:
      return Answer::kCancel;
    default:
      // Escape or the close box on a question is no answer.
      return box.buttons == Buttons::kOk      ? Answer::kOk
             : box.buttons == Buttons::kYesNo ? Answer::kNo
                                              : Answer::kCancel;
  }
}

std::string QtPlatform::ChooseFileToOpen(const OpenFileDialog& dialog) {
  return PathFromQt(QFileDialog::getOpenFileName(
      Owner(), ToQt(dialog.title), PathToQt(dialog.folder),
      ToQt(DialogFilter(dialog.filter))));
}

std::string QtPlatform::ChooseFileToSave(const std::string& title) {
  return PathFromQt(
      QFileDialog::getSaveFileName(Owner(), ToQt(title), QString()));
}

std::string QtPlatform::ChooseFolder(const std::string& prompt,
                                     const std::string& start) {
  return PathFromQt(QFileDialog::getExistingDirectory(Owner(), ToQt(prompt),
                                                      PathToQt(start)));
}

void QtPlatform::SetClipboardText(std::string_view text) {
  QApplication::clipboard()->setText(ToQt(text));
}

bool QtPlatform::OpenUrl(const std::string& url) {
  return QDesktopServices::openUrl(QUrl(QString::fromUtf8(url.c_str())));
}

}  // namespace vorn
