// The desktop for the application core: QMessageBox for message boxes and
// questions, QFileDialog for the file dialogs and the folder browser,
// QClipboard and QDesktopServices.
#ifndef VORN_APP_QT_QT_PLATFORM_H_
#define VORN_APP_QT_QT_PLATFORM_H_

#include <QPointer>
#include <QWidget>

#include "app/platform.h"

namespace vorn {

class QtPlatform : public Platform {
 public:
  // Dialogs are owned by (and centred on) `owner` when it is set.
  // Dialogs are owned by the active window of the program (the report's
  // save dialog by the report), else by `owner`.
  void set_owner(QWidget* owner) { owner_ = owner; }

  Answer Ask(const MessageBox& box) override;
  std::string ChooseFileToOpen(const OpenFileDialog& dialog) override;
  std::string ChooseFileToSave(const std::string& title) override;
  std::string ChooseFolder(const std::string& prompt,
                           const std::string& start) override;
  void SetClipboardText(std::string_view text) override;
  bool OpenUrl(const std::string& url) override;

 private:
  QWidget* Owner() const;

  QPointer<QWidget> owner_;
};

}  // namespace vorn

#endif  // VORN_APP_QT_QT_PLATFORM_H_
