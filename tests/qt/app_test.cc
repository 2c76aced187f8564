// The real windows, driven by clicks and keys on the offscreen platform
// with a scripted desktop (message boxes, dialogs, clipboard, browser).
// The state file lives under a temporary XDG_CONFIG_HOME.
#include <QAbstractButton>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QRegularExpression>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <QTextCursor>
#include <QTimer>
#include <deque>
#include <functional>
#include <memory>

#include "app/main_controller.h"
#include "app/qt/help_window.h"
#include "app/qt/main_window.h"
#include "app/qt/parameters_window.h"
#include "app/qt/qt_text.h"
#include "app/qt/report_window.h"
#include "app/qt/twips.h"
#include "app/state_file.h"
#include "support/files.h"

namespace vorn {
namespace {

// Answers questions from a queue and records every box; the dialogs return
// what the test set.
class FakePlatform : public Platform {
 public:
  Answer Ask(const MessageBox& box) override {
    boxes.push_back(box);
    if (box.buttons == Buttons::kOk) return Answer::kOk;
    if (answers.empty()) {
      unscripted.push_back(box.caption);
      return Answer::kCancel;
    }
    const Answer a = answers.front();
    answers.pop_front();
    return a;
  }
  std::string ChooseFileToOpen(const OpenFileDialog&) override {
    return next_file;
  }
  std::string ChooseFileToSave(const std::string&) override {
    return next_save;
  }
  std::string ChooseFolder(const std::string&) override { return next_folder; }
  void SetClipboardText(std::string_view text) override { clipboard = text; }
  bool OpenUrl(const std::string& url) override {
    urls.push_back(url);
    return true;
  }

  // "caption | text" of every box, one per line.
  QString Boxes() const {
    QString s;
    for (const MessageBox& b : boxes)
      s += ToQt(b.caption) + " | " + ToQt(b.text) + "\n";
    return s;
  }

  std::deque<Answer> answers;
  std::vector<MessageBox> boxes;
  std::vector<std::string> unscripted;
  std::string next_file, next_save, next_folder, clipboard;
  std::vector<std::string> urls;
};

void WriteFile(const QString& path, const QByteArray& bytes) {
  QFile f(path);
  QVERIFY(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
  QCOMPARE(f.write(bytes), bytes.size());
}

QByteArray ReadFile(const QString& path) {
  QFile f(path);
  if (!f.open(QIODevice::ReadOnly)) return {};
  return f.readAll();
}

constexpr const char* kSmallPage =
    "<html>\r\n<head>\r\n<title>Garden tools</title>\r\n</head>\r\n<body>\r\n"
    "<p>garden tools spade garden tools spade garden</p>\r\n"
    "</body>\r\n</html>\r\n";

// A page of `lines` lines of ten pseudo-words each, made of syllables of
// letters the word filters never reject; word n of the page is the n-th of
// 45^3 distinct words, so the page holds many different words.
QByteArray LargePage(int lines) {
  static const char kConsonants[] = "bfgknprtz";
  static const char kVowels[] = "aeiou";
  QByteArray page = "<html>\r\n<head>\r\n<title>Big</title>\r\n</head>\r\n";
  page += "<body>\r\n";
  int n = 0;
  for (int line = 0; line < lines; ++line) {
    page += "<p>";
    for (int w = 0; w < 10; ++w, ++n) {
      int k = n % (45 * 45 * 45);
      for (int s = 0; s < 3; ++s, k /= 45) {
        page += kConsonants[(k % 45) / 5];
        page += kVowels[k % 5];
      }
      page += ' ';
    }
    page += "</p>\r\n";
  }
  page += "</body>\r\n</html>\r\n";
  return page;
}

template <typename T>
T* Child(QWidget* parent, const char* name) {
  T* w = parent->findChild<T*>(QString::fromLatin1(name));
  if (w == nullptr) qWarning("no control %s", name);
  return w;
}

// Where a click hits a button: a check box only reacts on its box and
// caption, which need not reach the middle of a wide control.
QPoint ClickPoint(QAbstractButton* button) {
  if (qobject_cast<QCheckBox*>(button) != nullptr ||
      qobject_cast<QRadioButton*>(button) != nullptr)
    return QPoint(6, button->height() / 2);
  return button->rect().center();
}

// Calls `check` once the modal dialog named `name` is up, polling the event
// loop (the dialog appears inside a command that is still running) at most
// `tries` times (-1: until it shows).
void WhenDialogShows(const char* name, std::function<void(QWidget*)> check,
                     int tries = -1) {
  if (tries == 0) return;
  QTimer::singleShot(10, [name, check, tries] {
    QWidget* modal = QApplication::activeModalWidget();
    if (modal == nullptr || modal->objectName() != QLatin1String(name)) {
      WhenDialogShows(name, check, tries - 1);
      return;
    }
    check(modal);
  });
}

}  // namespace

class AppTest : public QObject {
  Q_OBJECT

 private slots:
  void initTestCase();
  void init();
  void cleanup();

  void firstStart();
  void controlsHaveTheirNamesAndCaptions();
  void savedInputFileThatIsGoneIsEmptied();
  void modeSwitchKeepsInputsAndOutputs();
  void stopDuringTheScanOfALargePage();
  void runEnablingAndTheInspectDialog();
  void inspectCloseBoxStopsTheRun();
  void parameterCouplings();
  void reportSaveCopyAndMinimumSize();
  void helpOpenedTwiceIsOneWindow();
  void germanConfirmation();
  void anotherLanguageWithoutItsList();
  void f1OnTheFiveButtons();
  void numericFieldCheckedOnLeaving();
  void quitSavesTheState();
  void manualLinkOpensTheManual();

 private:
  void Start();
  QString Site(const QString& name) const { return site_->filePath(name); }
  const MainWindowUi& ui() const { return window_->ui(); }
  void Click(QAbstractButton* button) {
    QVERIFY(button != nullptr);
    QVERIFY2(button->isEnabled(), qPrintable(button->objectName()));
    QTest::mouseClick(button, Qt::LeftButton, {}, ClickPoint(button));
  }
  // A run over the site folder in multiple-file mode.
  void RunFolder();

  std::unique_ptr<QTemporaryDir> config_;
  std::unique_ptr<QTemporaryDir> site_;
  QString state_path_;
  std::unique_ptr<FakePlatform> platform_;
  std::unique_ptr<MainWindow> window_;
  std::unique_ptr<MainController> controller_;
};

void AppTest::initTestCase() {
  config_ = std::make_unique<QTemporaryDir>();
  QVERIFY(config_->isValid());
  qputenv("XDG_CONFIG_HOME", config_->path().toUtf8());
  state_path_ = config_->filePath("Quillon/vorn.usr");
}

void AppTest::init() {
  site_ = std::make_unique<QTemporaryDir>();
  QVERIFY(site_->isValid());
  QFile::remove(state_path_);
  platform_ = std::make_unique<FakePlatform>();
  window_ = std::make_unique<MainWindow>();
  // The data folder holds the program texts and every common-word list
  // but the one for "Another".
  controller_ = std::make_unique<MainController>(
      *window_, *platform_, ControllerPaths{VORN_DATA_DIR, ""});
  window_->SetController(controller_.get());
}

void AppTest::cleanup() {
  if (!platform_->unscripted.empty())
    QFAIL(qPrintable("unscripted question: " +
                     PathToQt(platform_->unscripted.front())));
  controller_.reset();
  window_.reset();
  platform_.reset();
  site_.reset();
}

void AppTest::Start() {
  QVERIFY(controller_->StartUp());
  window_->activateWindow();
  QVERIFY(QTest::qWaitForWindowActive(window_.get()));
}

void AppTest::RunFolder() {
  Click(ui().optMultipleFiles);
  ui().txbFolder->setFocus();
  QTest::keyClicks(ui().txbFolder, site_->path());
  Click(ui().cmdGenerateKeywordMetaTag);
}

void AppTest::firstStart() {
  Start();
  QCOMPARE(window_->pos(),
           QPoint(PxX(500, window_.get()), PxY(1000, window_.get())));
  QVERIFY(ui().optSingleFile->isChecked());
  QVERIFY(!ui().txbFolder->isEnabled());
  QVERIFY(!ui().cmdFolder->isEnabled());
  QVERIFY(ui().cmdViewReport->isHidden());
  QVERIFY(ui().lblMetaTagInserted->isHidden());
  QCOMPARE(ui().txbMaxNumKeywordsInMetaTag->text(), QString("50"));
  // The lists are filled and show the defaults.
  const struct {
    SettingsList list;
    const char* shown;
    int items;
  } kLists[] = {
      {SettingsList::kTitleWeight, "90", 10},
      {SettingsList::kDescriptionWeight, "50", 10},
      {SettingsList::kExistingKeywordsWeight, "0", 10},
      {SettingsList::kBoldWeight, "4", 10},
      {SettingsList::kTableWeight, "2", 10},
      {SettingsList::kShortWordSize, "2", 9},
      {SettingsList::kThresholdFrequency, "2", 9},
  };
  for (const auto& k : kLists) {
    QCOMPARE(ui().Combo(k.list)->currentText(), QString(k.shown));
    QCOMPARE(ui().Combo(k.list)->count(), k.items);
  }
  QCOMPARE(ui().cboLanguage->currentText(), QString("English"));
  QCOMPARE(ui().cboLanguage->count(), 7);
  QVERIFY(ui().chkIgnoreShortWords->isChecked());
  QVERIFY(ui().chkIgnoreCommonWords->isChecked());
  QVERIFY(!ui().chkPreserveCase->isChecked());
  QVERIFY(platform_->boxes.empty());
  QVERIFY(!QFile::exists(state_path_));
}

void AppTest::controlsHaveTheirNamesAndCaptions() {
  Start();
  QCOMPARE(window_->objectName(), QString("frmMain"));
  const struct {
    const char* name;
    const char* caption;
  } kCaptions[] = {
      {"chkForwardSlash", "close tag with ' />'"},
      {"cmdViewReport", "View report"},
      {"cmdClearFolder", "Clear"},
      {"cmdFolder", "Folder"},
      {"chkSpaceAfterComma", "Spaces after commas "},
      {"chkPreserveCase", "Keep upper/lower case "},
      {"cmdShowExistingKeywordMetaTag", "Show existing keywords etc."},
      {"chkLargeWindow", "Large window"},
      {"chkIgnoreCommonWords", "Ignore common words"},
      {"cmdHelp", "Help"},
      {"cmdInsert", "Insert meta tag into file"},
      {"cmdQuit", "Quit"},
      {"lblOnlineDocumentation", "Online user manual"},
      {"cmdReset", "Restore defaults"},
      {"cmdListWords", "List words"},
      {"cmdClearInputFile", "Clear"},
      {"cmdGenerateKeywordMetaTag", "Generate/show keywords meta tag"},
      {"cmdInputFile", "Single file"},
      {"chkIgnoreShortWords", "Ignore words with"},
      {"lblLanguageOfText", "Language:"},
      {"lblTitleWeight", "TITLE weight:"},
      {"lblIgnoreTheseWords", "Ignore these words:"},
      {"lblBeginMetaTagWith", "Begin meta tag with:"},
      {"lblThresholdFrequency", "Minimum frequency for word:"},
      {"lblMaxNumKeywords", "Maximum number of keywords in meta tag:"},
  };
  for (const auto& k : kCaptions) {
    QWidget* w = Child<QWidget>(window_.get(), k.name);
    QVERIFY2(w != nullptr, k.name);
    const QString text = qobject_cast<QAbstractButton*>(w)
                             ? qobject_cast<QAbstractButton*>(w)->text()
                             : qobject_cast<QLabel*>(w)->text();
    QCOMPARE(text, QString(k.caption));
  }
  for (const char* name : {"optSingleFile", "optMultipleFiles"})
    QCOMPARE(Child<QRadioButton>(window_.get(), name)->text(), QString());
  for (const char* name :
       {"txbFolder", "txbInputFile", "txbWordsToIgnore", "txbBeginMetaTagWith",
        "txbMaxNumKeywordsInMetaTag", "txbMaxNumBytesInMetaTag"})
    QVERIFY2(Child<QLineEdit>(window_.get(), name) != nullptr, name);
  QVERIFY(Child<QFrame>(window_.get(), "Frame1") != nullptr);
  auto* output = Child<QPlainTextEdit>(window_.get(), "txbMetaTAG");
  QVERIFY(output != nullptr);
  QVERIFY(QFontInfo(output->font()).fixedPitch());
  QVERIFY(QFontInfo(ui().txbInputFile->font()).fixedPitch());
}

void AppTest::savedInputFileThatIsGoneIsEmptied() {
  SavedState state;
  state.InputFile = PathFromQt(Site("gone.htm"));
  state.Settings.BoldWeight = 7;
  QVERIFY(QDir().mkpath(config_->filePath("Quillon")));
  WriteFile(state_path_, QByteArray::fromStdString(FormatState(state)));
  Start();
  QCOMPARE(ui().txbInputFile->text(), QString());
  QCOMPARE(ui().Combo(SettingsList::kBoldWeight)->currentText(), QString("7"));
  QVERIFY(platform_->boxes.empty());
}

void AppTest::modeSwitchKeepsInputsAndOutputs() {
  WriteFile(Site("page.htm"), kSmallPage);
  Start();
  ui().txbInputFile->setFocus();
  QTest::keyClicks(ui().txbInputFile, Site("page.htm"));
  Click(ui().cmdListWords);
  const QString list = ui().txbMetaTAG->toPlainText();
  QVERIFY2(list.contains("garden"), qPrintable(list));

  Click(ui().optMultipleFiles);
  QCOMPARE(ui().txbInputFile->text(), QString());
  QVERIFY(!ui().txbInputFile->isEnabled());
  QCOMPARE(ui().txbMetaTAG->toPlainText(), QString());
  QCOMPARE(ui().cmdListWords->text(), QString("Save state"));
  ui().txbFolder->setFocus();
  QTest::keyClicks(ui().txbFolder, site_->path());
  ui().txbMetaTAG->setPlainText("multiple output");

  Click(ui().optSingleFile);
  QCOMPARE(ui().txbInputFile->text(), Site("page.htm"));
  QCOMPARE(ui().txbMetaTAG->toPlainText(), list);

  Click(ui().optMultipleFiles);
  QCOMPARE(ui().txbFolder->text(), site_->path());
  QCOMPARE(ui().txbMetaTAG->toPlainText(), QString("multiple output"));
  QVERIFY(platform_->boxes.empty());
}

void AppTest::stopDuringTheScanOfALargePage() {
  constexpr int kLines = 200000;  // two million words, 45^3 distinct
  WriteFile(Site("big.htm"), LargePage(kLines));
  Start();
  ui().txbInputFile->setFocus();
  QTest::keyClicks(ui().txbInputFile, Site("big.htm"));
  // At the first moment the scan lets events through: the window shows the
  // scan's commands, and a click on "Stop" reaches the controller.
  QString during;
  QTimer::singleShot(0, [&] {
    during = ui().cmdListWords->text() + " " +
             QString::number(ui().cmdListWords->isEnabled()) +
             QString::number(ui().cmdGenerateKeywordMetaTag->isEnabled()) +
             QString::number(ui().optMultipleFiles->isEnabled()) +
             QString::number(ui().txbInputFile->isReadOnly());
    QTest::mouseClick(ui().cmdListWords, Qt::LeftButton);
  });
  Click(ui().cmdListWords);
  QCOMPARE(during, QString("Stop 1001"));

  QCoreApplication::processEvents();  // the window shows what the scan left
  const QString text = ui().txbMetaTAG->toPlainText();
  const qsizetype end = text.indexOf("\n\nStopped with ");
  QVERIFY2(end > 0, qPrintable(text.right(200)));
  const qsizetype words =
      text.left(end)
          .split(QRegularExpression("\\s+"), Qt::SkipEmptyParts)
          .size();
  QVERIFY(words > 0);
  QVERIFY(words < 45 * 45 * 45);  // stopped well before the end
  QCOMPARE(text.mid(end + 2),
           QString("Stopped with %1 words identified.").arg(words));
  QCOMPARE(ui().cmdListWords->text(), QString("List words"));
  QVERIFY(ui().cmdGenerateKeywordMetaTag->isEnabled());
  QVERIFY(!ui().txbInputFile->isReadOnly());
}

void AppTest::runEnablingAndTheInspectDialog() {
  WriteFile(Site("a.htm"), kSmallPage);
  Start();
  // What the dialog and the main window showed, as one line.
  QString seen;
  bool focus_on_continue = false;
  WhenDialogShows("frmEditMetaTag", [&](QWidget* d) {
    auto* insert = Child<QCheckBox>(d, "chkInsertMetaTag");
    QCoreApplication::processEvents();  // the window shows what it collected
    seen =
        Child<QLabel>(d, "lblFile")->text() + " | " +
        QString::number(insert->isChecked()) +
        QString::number(
            Child<QCheckBox>(d, "chkInsertDoneMetaTag")->isChecked()) +
        QString::number(Child<QCheckBox>(d, "chkStopOperation")->isChecked()) +
        " | " + ui().cmdListWords->text() +
        QString::number(ui().cmdListWords->isEnabled()) + " | " +
        QString::number(ui().prgFilesDone->isVisible()) + " " +
        QString::number(ui().prgFilesDone->value()) + "/" +
        QString::number(ui().prgFilesDone->maximum());
    QVERIFY(Child<QPlainTextEdit>(d, "txbMetaTAG")
                ->toPlainText()
                .startsWith("<meta name=\"keywords\" content=\""));
    // Keep only the done tag; a click moves the focus to Continue.
    QTest::mouseClick(insert, Qt::LeftButton, {}, ClickPoint(insert));
    focus_on_continue =
        d->focusWidget() == Child<QPushButton>(d, "cmdContinue");
    QTest::mouseClick(Child<QPushButton>(d, "cmdContinue"), Qt::LeftButton);
  });
  RunFolder();
  // Boxes: insert, done (the parameter's start value), not stop; "Stop"
  // disabled; the page inspected is not done yet: 0 of 1.
  QCOMPARE(seen, QString("File: a.htm | 110 | Stop0 | 1 0/1"));
  QVERIFY(focus_on_continue);
  // Only the done tag went in.
  const QByteArray page = ReadFile(Site("a.htm"));
  QVERIFY(page.contains("<meta name=\"VORN done\""));
  QVERIFY(!page.contains("name=\"keywords\""));
  QCOMPARE(platform_->Boxes(),
           QString("Result | No keywords meta tag was inserted in any "
                   "file.\n"));
  // After the run: the save-state command, the report on screen.
  QCOMPARE(ui().cmdListWords->text(), QString("Save state"));
  QVERIFY(ui().cmdListWords->isEnabled());
  QVERIFY(!ui().prgFilesDone->isVisible());
  QVERIFY(window_->reportWindow()->isVisible());
}

void AppTest::inspectCloseBoxStopsTheRun() {
  WriteFile(Site("a.htm"), kSmallPage);
  WriteFile(Site("b.htm"), kSmallPage);
  Start();
  auto shown = std::make_shared<int>(0);
  auto close = [shown](QWidget* d) {
    ++*shown;
    d->close();
  };
  WhenDialogShows("frmEditMetaTag", [close](QWidget* d) {
    close(d);
    WhenDialogShows("frmEditMetaTag", close, 100);  // a second one is a fault
  });
  RunFolder();
  QCOMPARE(*shown, 1);
  // Nothing inserted, but the done box was ticked: a.htm is marked done.
  QVERIFY(!ReadFile(Site("a.htm")).contains("name=\"keywords\""));
  QVERIFY(ReadFile(Site("a.htm")).contains("VORN done"));
  QCOMPARE(ReadFile(Site("b.htm")), QByteArray(kSmallPage));
  QVERIFY(ToQt(controller_->report().text())
              .contains("Meta tag not inserted.\n\nOperation stopped at "
                        "user's request.\n"));
}

void AppTest::parameterCouplings() {
  Start();
  Click(ui().optMultipleFiles);
  Click(ui().cmdShowExistingKeywordMetaTag);
  QWidget* p = window_->parametersWindow();
  QVERIFY(p->isVisible());
  QCOMPARE(p->objectName(), QString("frmParameters"));
  QCOMPARE(p->windowTitle(), QString("Set operation parameters"));
  QVERIFY(p->findChild<QCheckBox*>("chkDialogBoxForUnixFiles") == nullptr);
  const struct {
    const char* name;
    const char* caption;
    bool ticked;
  } kBoxes[] = {
      {"chkSaveStateOnQuit", "Save state when quitting", true},
      {"chkDontLogDone", "Don't log 'done' files if skipping them", false},
      {"chkSkipDone", "Skip files which have a 'Done' meta tag", true},
      {"chkAddDone", "With each insertion also insert a 'Done' meta tag", true},
      {"chkClearReportAtStart", "Clear report window before each operation",
       true},
      {"chkIncludeAllSubfolders", "Include all subfolders recursively", false},
      {"chkIncludeOldMetaTag",
       "Include old keywords meta tag (if any) in report", false},
      {"chkIncludeNewMetaTag", "Include new keywords meta tag in report",
       false},
      {"chkLogOperations", "Log operations in the report window", true},
      {"chkDisplayWords", "Display words as found (runs more slowly)", true},
      {"chkConfirm",
       "Inspect keywords meta tag (and possibly edit it) before insertion",
       true},
      {"chkBackup", "Make backups of files (e.g., abc.htm -> abc.bak.htm)",
       false},
      {"chkHTM", "htm", true},
      {"chkSHTML", "shtml", false},
      {"chkSHTM", "shtm", false},
      {"chkHTML", "html", true},
  };
  int previous_y = -1;
  for (const auto& k : kBoxes) {
    auto* box = Child<QCheckBox>(p, k.name);
    QVERIFY2(box != nullptr, k.name);
    QCOMPARE(box->text(), QString(k.caption));
    QCOMPARE(box->isChecked(), k.ticked);
    // Down the window in this order (the extensions in one row).
    const int y = box->mapTo(p, QPoint(0, 0)).y();
    QVERIFY2(y >= previous_y, k.name);
    previous_y = y;
  }
  // A click reaches the controller and its couplings come back.
  auto* old_tag = Child<QCheckBox>(p, "chkIncludeOldMetaTag");
  Click(old_tag);
  QVERIFY(Child<QCheckBox>(p, "chkIncludeNewMetaTag")->isChecked());
  Click(Child<QCheckBox>(p, "chkLogOperations"));
  QVERIFY(!old_tag->isEnabled());
  QVERIFY(!controller_->parameters().LogOperations);
  Click(Child<QPushButton>(p, "cmdClose"));
  QVERIFY(!p->isVisible());
  QVERIFY(!controller_->parameters().LogOperations);  // the values stay
}

void AppTest::reportSaveCopyAndMinimumSize() {
  WriteFile(Site("a.htm"), kSmallPage);
  Start();
  controller_->ParameterClicked(Parameter::kConfirm, false);
  RunFolder();
  ReportWindow* r = window_->reportWindow();
  QVERIFY(r->isVisible());
  QCOMPARE(r->objectName(), QString("frmReport"));
  const std::string log = controller_->report().text();
  QVERIFY(!log.empty());
  QCOMPARE(r->text()->toPlainText(), ToQt(log));
  QVERIFY(QFontInfo(r->text()->font()).fixedPitch());

  // Never smaller than 7500 x 3000 twips.
  const QSize minimum(PxX(7500, r), PxY(3000, r));
  QCOMPARE(r->minimumSize(), minimum);
  r->resize(10, 10);
  QVERIFY(r->width() >= minimum.width());
  QVERIFY(r->height() >= minimum.height());

  platform_->next_save = PathFromQt(Site("report.txt"));
  Click(Child<QPushButton>(r, "cmdSaveToFile"));
  QCOMPARE(ReadFile(Site("report.txt")),
           QByteArray::fromStdString(log + "\r\n"));

  auto* copy = Child<QPushButton>(r, "cmdCopyToClipboard");
  QCOMPARE(copy->text(), QString("Copy to clipboard"));
  QCOMPARE(copy->width(), qMax(PxX(2115, r), copy->sizeHint().width()));
  Click(copy);
  QCOMPARE(platform_->clipboard, log);
  QCOMPARE(r->focusWidget(), Child<QPushButton>(r, "cmdClose"));

  // Select "Folder" and release the mouse over the text.
  QTextCursor cursor = r->text()->textCursor();
  cursor.setPosition(0);
  cursor.setPosition(6, QTextCursor::KeepAnchor);
  r->text()->setTextCursor(cursor);
  QTest::mouseRelease(r->text()->viewport(), Qt::LeftButton, {}, QPoint(5, 5));
  QCOMPARE(copy->text(), QString("Copy selected text to clipboard"));
  QCOMPARE(copy->width(), qMax(PxX(3165, r), copy->sizeHint().width()));
  QVERIFY(copy->width() >= copy->sizeHint().width());  // not clipped
  r->text()->setTextCursor(cursor);
  Click(copy);
  QCOMPARE(platform_->clipboard, std::string("Folder"));
  QCOMPARE(copy->text(), QString("Copy to clipboard"));
  QCOMPARE(copy->width(), qMax(PxX(2115, r), copy->sizeHint().width()));

  // Closing it brings up "View report", which shows it again.
  QVERIFY(ui().cmdViewReport->isHidden());
  Click(Child<QPushButton>(r, "cmdClose"));
  QVERIFY(!r->isVisible());
  QVERIFY(ui().cmdViewReport->isVisible());
  Click(ui().cmdViewReport);
  QVERIFY(r->isVisible());
  QVERIFY(ui().cmdViewReport->isHidden());
}

void AppTest::helpOpenedTwiceIsOneWindow() {
  Start();
  Click(ui().cmdHelp);
  Click(ui().cmdHelp);
  int windows = 0;
  for (QWidget* w : QApplication::topLevelWidgets())
    if (w->objectName() == "frmHelp") ++windows;
  QCOMPARE(windows, 1);
  QWidget* help = window_->helpWindow();
  QVERIFY(help->isVisible());
  auto* text = Child<QPlainTextEdit>(help, "txbHelpScreen");
  QVERIFY(text->toPlainText().contains(
      "<meta name=\"VORN done\" content=\"2008-01-31\">"));
  help->showMinimized();
  QVERIFY(help->isMinimized());
  Click(ui().cmdHelp);
  QVERIFY(!help->isMinimized());
  Click(Child<QPushButton>(help, "cmdClose"));
  QVERIFY(!help->isVisible());
  Click(ui().cmdHelp);
  QVERIFY(help->isVisible());
}

void AppTest::germanConfirmation() {
  Start();
  ui().cboLanguage->setFocus();
  QTest::keyClick(ui().cboLanguage, Qt::Key_Down);  // French
  QTest::keyClick(ui().cboLanguage, Qt::Key_Down);  // German
  QCOMPARE(ui().cboLanguage->currentText(), QString("German"));
  Click(ui().chkPreserveCase);  // ticking asks nothing
  QVERIFY(platform_->boxes.empty());
  platform_->answers.push_back(Answer::kNo);
  Click(ui().chkPreserveCase);
  QCOMPARE(platform_->Boxes(),
           QString("Confirmation | For German text it is better to keep "
                   "upper/lower case.\n\nAre you sure you want all keywords "
                   "in lower case?\n"));
  QVERIFY(ui().chkPreserveCase->isChecked());
}

void AppTest::anotherLanguageWithoutItsList() {
  Start();
  ui().cboLanguage->setFocus();
  QTest::keyClick(ui().cboLanguage, Qt::Key_End);
  QCOMPARE(ui().cboLanguage->currentText(), QString("Another"));
  QCOMPARE(platform_->Boxes(),
           QString("Common words not available | Common words in another "
                   "language could not be read from file\n") +
               VORN_DATA_DIR + "/cmwds_xx.txt\n");
  QVERIFY(!ui().chkIgnoreCommonWords->isChecked());
}

void AppTest::f1OnTheFiveButtons() {
  Start();
  for (QPushButton* button :
       {ui().cmdShowExistingKeywordMetaTag, ui().cmdGenerateKeywordMetaTag,
        ui().cmdHelp, ui().cmdInputFile, ui().cmdListWords}) {
    if (window_->helpWindow() != nullptr) window_->helpWindow()->hide();
    button->setFocus();
    QTest::keyClick(button, Qt::Key_F1);
    QVERIFY2(
        window_->helpWindow() != nullptr && window_->helpWindow()->isVisible(),
        qPrintable(button->objectName()));
  }
  window_->helpWindow()->hide();
  for (QWidget* other : std::initializer_list<QWidget*>{
           ui().cmdQuit, ui().cmdReset, ui().txbInputFile}) {
    other->setFocus();
    QTest::keyClick(other, Qt::Key_F1);
    QVERIFY2(!window_->helpWindow()->isVisible(),
             qPrintable(other->objectName()));
  }
}

void AppTest::numericFieldCheckedOnLeaving() {
  Start();
  QLineEdit* box = ui().txbMaxNumKeywordsInMetaTag;
  box->setFocus();
  box->selectAll();
  QTest::keyClicks(box, "12a3");
  ui().txbBeginMetaTagWith->setFocus();  // leaving the box checks it
  QCOMPARE(platform_->Boxes(),
           QString("VORN | Maximum number of keywords in the meta tag is "
                   "100.\n"));
  QCOMPARE(box->text(), QString("50"));
  QVERIFY(box->hasFocus());
  QCOMPARE(box->cursorPosition(), 2);
}

void AppTest::quitSavesTheState() {
  Start();
  ui().txbBeginMetaTagWith->setFocus();
  QTest::keyClicks(ui().txbBeginMetaTagWith, "say \"hi\"");
  Click(ui().cmdQuit);
  QVERIFY(!window_->isVisible());
  const std::optional<SavedState> saved = LoadState(PathFromQt(state_path_));
  QVERIFY(saved.has_value());
  QCOMPARE(saved->Settings.BeginMetaTagWith, std::string("say \"hi\""));
  QVERIFY(saved->SingleFileMode);
}

void AppTest::manualLinkOpensTheManual() {
  Start();
  QTest::mouseClick(ui().lblOnlineDocumentation, Qt::LeftButton);
  QCOMPARE(platform_->urls,
           std::vector<std::string>{std::string("file://") + VORN_DATA_DIR +
                                    "/manual.html"});
  QVERIFY(platform_->boxes.empty());
}

}  // namespace vorn

QTEST_MAIN(vorn::AppTest)
#include "app_test.moc"
