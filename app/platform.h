// What the application needs of the desktop beyond its own windows: message
// boxes and questions, the file dialogs, the folder browser, the clipboard
// and the web browser. The Qt front end implements it; tests replace it
// with a scripted fake. Texts shown to the user are UTF-8 with CR LF line
// breaks; paths are the platform's (UTF-8).
#ifndef VORN_APP_PLATFORM_H_
#define VORN_APP_PLATFORM_H_

#include <string>
#include <string_view>

#include "engine/ui.h"

namespace vorn {

// An open-file dialog: its title, one filter entry ("description |
// patterns", the patterns separated by ";") and the folder it opens in
// (empty: the desktop's choice).
struct OpenFileDialog {
  std::string title;
  std::string filter;
  std::string folder;
};

class Platform : public Prompter {
 public:
  // Ask (from Prompter): one modal message box with its caption, text,
  // icon and buttons; returns the button pressed.

  // Shows the open-file dialog; the chosen file must exist. Returns its
  // path, or the empty text when the user cancelled.
  virtual std::string ChooseFileToOpen(const OpenFileDialog& dialog) = 0;

  // Shows the save dialog with `title`, asking before a file is replaced.
  // Returns the chosen path, or the empty text when the user cancelled.
  virtual std::string ChooseFileToSave(const std::string& title) = 0;

  // Shows the folder browser with `prompt`, opening in `start` (empty: the
  // desktop's choice). Returns the chosen folder, or the empty text when
  // the user cancelled.
  virtual std::string ChooseFolder(const std::string& prompt,
                                   const std::string& start) = 0;

  // Replaces the clipboard's content by `text`.
  virtual void SetClipboardText(std::string_view text) = 0;

  // Opens `url` with the desktop's default application (the web browser).
  // Returns false when nothing could be started.
  virtual bool OpenUrl(const std::string& url) = 0;
};

}  // namespace vorn

#endif  // VORN_APP_PLATFORM_H_
