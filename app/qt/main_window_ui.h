// The controls of the main window (frmMain), named as the program names
// them, its menu bar, and the function that builds and lays them out.
// Layouts size every control from its text and font, so nothing is clipped
// at any font size; the settings scroll when the window is too low for
// them, so that the window fits small and scaled screens.
#ifndef VORN_APP_QT_MAIN_WINDOW_UI_H_
#define VORN_APP_QT_MAIN_WINDOW_UI_H_

#include <QCheckBox>
#include <QComboBox>
#include <QFrame>
#include <QLabel>
#include <QLineEdit>
#include <QMainWindow>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollArea>
#include <array>

#include "engine/settings.h"

namespace vorn {

// A settings list with its caption label.
struct SettingsListControl {
  SettingsList list;
  QComboBox* combo = nullptr;
  QLabel* label = nullptr;
};

struct MainWindowUi {
  QRadioButton* optSingleFile = nullptr;
  QRadioButton* optMultipleFiles = nullptr;
  QPushButton* cmdInputFile = nullptr;
  QLineEdit* txbInputFile = nullptr;
  QPushButton* cmdClearInputFile = nullptr;
  QPushButton* cmdFolder = nullptr;
  QLineEdit* txbFolder = nullptr;
  QPushButton* cmdClearFolder = nullptr;

  std::array<SettingsListControl, 10> lists;  // in SettingsList order
  QComboBox* cboLanguage = nullptr;
  QLabel* lblLanguageOfText = nullptr;
  QCheckBox* chkIgnoreShortWords = nullptr;
  QLabel* lblCharsOrLess = nullptr;
  QCheckBox* chkIgnoreCommonWords = nullptr;
  QCheckBox* chkPreserveCase = nullptr;
  QCheckBox* chkSpaceAfterComma = nullptr;
  QCheckBox* chkForwardSlash = nullptr;

  QLabel* lblMaxNumKeywords = nullptr;
  QLineEdit* txbMaxNumKeywordsInMetaTag = nullptr;
  QLabel* lblMaxNumBytes = nullptr;
  QLineEdit* txbMaxNumBytesInMetaTag = nullptr;
  QLabel* lblBeginMetaTagWith = nullptr;
  QLineEdit* txbBeginMetaTagWith = nullptr;
  QPushButton* cmdClearBeginMetaTagWith = nullptr;
  QLabel* lblIgnoreTheseWords = nullptr;
  QLineEdit* txbWordsToIgnore = nullptr;
  QPushButton* cmdClearWordsToIgnore = nullptr;

  QPushButton* cmdListWords = nullptr;
  QPushButton* cmdGenerateKeywordMetaTag = nullptr;
  QPushButton* cmdShowExistingKeywordMetaTag = nullptr;
  QPushButton* cmdViewReport = nullptr;
  QLabel* lblNumberOfWords = nullptr;
  QLabel* lblMetaTagInserted = nullptr;
  QProgressBar* prgFilesDone = nullptr;  // multiple-file runs
  QPlainTextEdit* txbMetaTAG = nullptr;

  QScrollArea* settingsArea = nullptr;  // the lists, boxes and text rows

  QFrame* Frame1 = nullptr;
  QPushButton* cmdInsert = nullptr;
  QPushButton* cmdClearOutput = nullptr;
  QPushButton* cmdReset = nullptr;
  QPushButton* cmdHelp = nullptr;
  QCheckBox* chkLargeWindow = nullptr;
  QLabel* lblOnlineDocumentation = nullptr;
  QPushButton* cmdQuit = nullptr;

  // The menu bar.
  QAction* actOpenPage = nullptr;
  QAction* actOpenFolder = nullptr;
  QMenu* mnuRecent = nullptr;
  QAction* actSaveState = nullptr;
  QAction* actQuit = nullptr;
  QAction* actListWords = nullptr;
  QAction* actGenerate = nullptr;
  QAction* actInsert = nullptr;
  QAction* actStop = nullptr;
  QAction* actHelp = nullptr;
  QAction* actManual = nullptr;
  QAction* actAbout = nullptr;

  QComboBox* Combo(SettingsList list) const {
    return lists[static_cast<std::size_t>(list)].combo;
  }
};

// Creates the controls as children of `window`'s central widget, and the
// menu bar.
void BuildMainWindowUi(QMainWindow* window, MainWindowUi* ui);

// The accelerator letters of a button whose caption comes from the core:
// the caption is shown with AcceleratedCaption(caption, letters).
inline constexpr const char* kListWordsLetters = "LS";
inline constexpr const char* kGenerateLetters = "G";
inline constexpr const char* kShowExistingLetters = "xP";

// The fixed-pitch font of the text boxes that hold paths, words and tags.
QFont FixedPitchFont();

}  // namespace vorn

#endif  // VORN_APP_QT_MAIN_WINDOW_UI_H_
