// What the engine needs of a user interface: message boxes and questions,
// the output box, the word-count label, the busy state and the Stop button.
// The desktop window, vorn-cli and the tests' scripted fakes implement it;
// no rule lives behind it.
#ifndef VORN_ENGINE_UI_H_
#define VORN_ENGINE_UI_H_

#include <string>
#include <string_view>

namespace vorn {

enum class Icon { kNone, kExclamation, kInformation, kStop };
enum class Buttons { kOk, kYesNo, kYesNoCancel };
enum class Answer { kOk, kYes, kNo, kCancel };

// One modal message box. Texts are UTF-8 with CR LF line breaks.
struct MessageBox {
  std::string caption;
  std::string text;
  Icon icon = Icon::kNone;
  Buttons buttons = Buttons::kOk;
};

// Shows a message box or asks a question; returns the button pressed.
class Prompter {
 public:
  virtual ~Prompter() = default;
  virtual Answer Ask(const MessageBox& box) = 0;
};

// The main window as the engine sees it while a command runs.
class MainView : public Prompter {
 public:
  // The output box (txbMetaTAG): UTF-8 text with CR LF breaks.
  virtual std::string OutputText() const = 0;
  virtual void SetOutputText(std::string_view text) = 0;
  virtual void AppendOutputText(std::string_view text) = 0;

  // The word-count label (lblNumberOfWords).
  virtual void SetWordCountLabel(std::string_view text) = 0;

  // A scan begins: commands are disabled and "List words" reads "Stop".
  virtual void ScanStarted() = 0;
  // The scan is over (finished, stopped or failed): commands come back.
  virtual void ScanEnded() = 0;

  // Called after every word: lets pending user input be handled (a window
  // should do so only every few milliseconds) and returns true once the
  // user has pressed Stop since ScanStarted.
  virtual bool StopRequested() = 0;
  // Called every few milliseconds while a scan waits for words (a large
  // page is taken apart on another thread): the same, no word having
  // passed.
  virtual bool StopRequestedWhileWaiting() { return StopRequested(); }
};

}  // namespace vorn

#endif  // VORN_ENGINE_UI_H_
