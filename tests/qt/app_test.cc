// The real windows on the offscreen platform, driven by clicks, keys and
// drops with a scripted desktop: the wiring of the controls and menus to
// the controller, and what only the widgets do (the event pump during a
// scan, the modal inspect dialog, focus, Tab and caret, drops, fitting small
// screens). The state file lives under a temporary XDG_CONFIG_HOME.
#include <QAccessible>
#include <QApplication>
#include <QCheckBox>
#include <QDir>
#include <QFile>
#include <QInputMethodEvent>
#include <QMenu>
#include <QMimeData>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <functional>
#include <memory>

#include "app/main_controller.h"
#include "app/qt/edit_meta_tag_dialog.h"
#include "app/qt/help_window.h"
#include "app/qt/main_window.h"
#include "app/qt/parameters_window.h"
#include "app/qt/qt_text.h"
#include "app/qt/report_window.h"
#include "app/state_file.h"
#include "tests/support/fake_main_window.h"

namespace vorn {
namespace {

constexpr const char* kPage =
    "<html>\r\n<head>\r\n<title>Garden tools</title>\r\n</head>\r\n<body>\r\n"
    "<p>garden tools spade garden tools spade garden</p>\r\n"
    "</body>\r\n</html>\r\n";

void WriteFile(const QString& path, const QByteArray& bytes) {
  QFile f(path);
  QVERIFY(f.open(QIODevice::WriteOnly));
  QCOMPARE(f.write(bytes), bytes.size());
}

QByteArray ReadFile(const QString& path) {
  QFile f(path);
  return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

template <typename T = QAbstractButton>
T* Child(QWidget* parent, const char* name) {
  return parent->findChild<T*>(QString::fromLatin1(name));
}

// Drags `path` (as a file manager offers it: a URL) onto `w`
// and drops it there.
void Drop(QWidget* w, const QString& path) {
  QMimeData mime;
  const QUrl url = QUrl::fromLocalFile(path);
  mime.setUrls({url});
  const QPoint at = w->rect().center();
  QDragEnterEvent enter(at, Qt::CopyAction, &mime, Qt::LeftButton, {});
  QApplication::sendEvent(w, &enter);
  QDropEvent drop(at, Qt::CopyAction, &mime, Qt::LeftButton, {});
  QApplication::sendEvent(w, &drop);
}

// A check box reacts only on its box and caption.
void Click(QAbstractButton* button) {
  QVERIFY(button != nullptr && button->isEnabled());
  const bool box = qobject_cast<QCheckBox*>(button) != nullptr ||
                   qobject_cast<QRadioButton*>(button) != nullptr;
  QTest::mouseClick(
      button, Qt::LeftButton, {},
      box ? QPoint(6, button->height() / 2) : button->rect().center());
}

// Calls `act` with the inspect dialog once it is up (it shows inside a
// command that is still running), looking `tries` times (-1: until then).
void WhenInspecting(std::function<void(EditMetaTagDialog*)> act,
                    int tries = -1) {
  if (tries == 0) return;
  QTimer::singleShot(10, [act, tries] {
    auto* d =
        qobject_cast<EditMetaTagDialog*>(QApplication::activeModalWidget());
    if (d == nullptr) return WhenInspecting(act, tries - 1);
    act(d);
  });
}

}  // namespace

class AppTest : public QObject {
  Q_OBJECT

 private slots:
  void initTestCase() {
    QVERIFY(config_.isValid());
    qputenv("XDG_CONFIG_HOME", config_.path().toUtf8());
  }
  void init();
  void cleanup();

  void singleFileWiring();
  void stopDuringTheScanOfALargePage();
  void multipleFileRunAndItsWindows();
  void keyboardReachesEverything();
  void pathsDroppedAndLeft();

 private:
  QString Site(const QString& name) const { return site_->filePath(name); }
  const MainWindowUi& ui() const { return window_->ui(); }
  void Type(QWidget* box, const QString& text) {
    box->setFocus();
    QTest::keyClicks(box, text);
  }

  QTemporaryDir config_;
  std::unique_ptr<QTemporaryDir> site_;
  std::unique_ptr<FakePlatform> platform_;
  std::unique_ptr<MainWindow> window_;
  std::unique_ptr<MainController> controller_;
};

void AppTest::init() {
  site_ = std::make_unique<QTemporaryDir>();
  QFile::remove(config_.filePath("Quillon/vorn.usr"));
  QFile::remove(config_.filePath("Quillon/vorn.window"));
  platform_ = std::make_unique<FakePlatform>();
  window_ = std::make_unique<MainWindow>();
  controller_ = std::make_unique<MainController>(
      *window_, *platform_, ControllerPaths{VORN_DATA_DIR, ""});
  window_->SetController(controller_.get());
  QVERIFY(controller_->StartUp());
  window_->activateWindow();
  QVERIFY(QTest::qWaitForWindowActive(window_.get()));
}

void AppTest::cleanup() {
  QVERIFY2(platform_->unscripted.empty(), "a question nobody answered");
  controller_.reset();
  window_.reset();
  platform_.reset();
}

void AppTest::singleFileWiring() {
  WriteFile(Site("page.htm"), kPage);
  Type(ui().txbInputFile, Site("page.htm"));
  Click(ui().cmdGenerateKeywordMetaTag);
  QVERIFY(ui().txbMetaTAG->toPlainText().startsWith("<meta name=\"keywords\""));
  // Assistive technology names another page and presses Generate, the
  // focus staying where it was: the controller has the name, and the page
  // gets its own tag.
  WriteFile(Site("roses.htm"),
            "<html>\r\n<head>\r\n<title>Rose beds</title>\r\n</head>\r\n"
            "<body>\r\n<p>rose beds rose beds</p>\r\n</body>\r\n</html>\r\n");
  QAccessibleInterface* box =
      QAccessible::queryAccessibleInterface(ui().txbInputFile);
  box->editableTextInterface()->replaceText(
      0, box->textInterface()->characterCount(), Site("roses.htm"));
  QAccessible::queryAccessibleInterface(ui().cmdGenerateKeywordMetaTag)
      ->actionInterface()
      ->doAction(QAccessibleActionInterface::pressAction());
  QTRY_VERIFY(ui().txbMetaTAG->toPlainText().startsWith(
      "<meta name=\"keywords\" content=\"rose,beds\">"));
  QCOMPARE(ui().txbInputFile->text(), Site("roses.htm"));
  // It ticks the other mode's button, and that mode is on.
  QAccessible::queryAccessibleInterface(ui().optMultipleFiles)
      ->actionInterface()
      ->doAction(QAccessibleActionInterface::toggleAction());
  QVERIFY(ui().txbFolder->isEnabled() && !ui().txbInputFile->isEnabled());
  Click(ui().optSingleFile);
  QCOMPARE(ui().txbInputFile->text(), Site("roses.htm"));

  // F1 opens the help wherever the focus is; Escape closes it.
  QTest::keyClick(ui().cmdQuit, Qt::Key_F1);
  HelpWindow* help = window_->helpWindow();
  QVERIFY(help != nullptr && help->isVisible());
  QTest::keyClick(help, Qt::Key_Escape);
  QVERIFY(!help->isVisible());
  // Any script reaches the settings and the state file as UTF-8 (typed
  // through an input method, as keys cannot carry it).
  Type(ui().txbBeginMetaTagWith, "say \"");
  QInputMethodEvent typed;
  typed.setCommitString(QString::fromUtf8("\xD0\xBC\xD0\xB8\xD1\x80\""));
  QApplication::sendEvent(ui().txbBeginMetaTagWith, &typed);
  window_->close();  // as Quit
  const auto saved =
      LoadState(PathFromQt(config_.filePath("Quillon/vorn.usr")));
  QVERIFY(saved.has_value());
  QCOMPARE(saved->Settings.BeginMetaTagWith,
           std::string("say \"\xD0\xBC\xD0\xB8\xD1\x80\""));
}

void AppTest::stopDuringTheScanOfALargePage() {
  QByteArray page;  // the 45^3 different words of three syllables
  for (int n = 0; n < 45 * 45 * 45; ++n) {
    for (int k = n, s = 0; s < 3; ++s, k /= 45)
      page.append("bfgknprtz"[k % 45 / 5]).append("aeiou"[k % 5]);
    page.append(n % 10 == 9 ? "\r\n" : " ");
  }
  WriteFile(Site("big.htm"), "<html><body>\r\n" + page.repeated(20));
  Type(ui().txbInputFile, Site("big.htm"));
  // At the first moment the scan lets events through, stop it.
  QString during;
  QTimer::singleShot(0, [&] {
    during = ui().cmdListWords->text().remove(u'&') +
             QString::number(ui().cmdGenerateKeywordMetaTag->isEnabled());
    QTest::keyClick(window_.get(), Qt::Key_Escape);
  });
  Click(ui().cmdListWords);
  QCOMPARE(during, QString("Stop0"));
  QCoreApplication::processEvents();  // the output box catches up
  QVERIFY(ui().txbMetaTAG->toPlainText().contains("\n\nStopped with "));
}

void AppTest::multipleFileRunAndItsWindows() {
  for (const char* name : {"a.htm", "b.htm", "c.htm"})
    WriteFile(Site(name), kPage);
  QString seen;
  int shown = 0;
  std::function<void(EditMetaTagDialog*)> inspect = [&](EditMetaTagDialog* d) {
    if (++shown > 1) {  // Escape stops the run and leaves the page alone
      QTest::keyClick(d, Qt::Key_Escape);
      return WhenInspecting(inspect, 50);
    }
    auto* insert = Child<QCheckBox>(d, "chkInsertMetaTag");
    seen = QString::number(insert->isChecked()) +
           QString::number(Child(d, "chkInsertDoneMetaTag")->isChecked()) +
           QString::number(Child(d, "chkStopOperation")->isChecked()) + " " +
           QString::number(ui().cmdListWords->isEnabled());
    Click(insert);  // keep only the done tag
    Click(Child(d, "cmdContinue"));
    WhenInspecting(inspect);
  };
  WhenInspecting(inspect);
  Click(ui().optMultipleFiles);
  Type(ui().txbFolder, site_->path());
  Click(ui().cmdGenerateKeywordMetaTag);
  // Boxes: insert, done (the parameter), not stop; "Stop" disabled behind
  // the dialog.
  QCOMPARE(seen, QString("110 0"));
  QCOMPARE(shown, 2);
  QVERIFY(ReadFile(Site("a.htm")).contains("<meta name=\"VORN done\""));
  QVERIFY(!ReadFile(Site("a.htm")).contains("name=\"keywords\""));
  QCOMPARE(ReadFile(Site("c.htm")), QByteArray(kPage));

  // The report: saved as shown; closed, "View report" brings it back.
  ReportWindow* r = window_->reportWindow();
  platform_->next_save = PathFromQt(Site("report.txt"));
  Click(Child(r, "cmdSaveToFile"));
  QCOMPARE(ReadFile(Site("report.txt")),
           r->text()->toPlainText().toUtf8() + "\n");
  Click(Child(r, "cmdClose"));
  QVERIFY(!r->isVisible());
  Click(ui().cmdViewReport);
  QVERIFY(r->isVisible());

  // The parameters window: a click reaches the controller; Escape closes it.
  Click(ui().cmdShowExistingKeywordMetaTag);
  QWidget* p = window_->parametersWindow();
  Click(Child(p, "chkLogOperations"));
  QVERIFY(!controller_->parameters().LogOperations);
  QTest::keyClick(Child(p, "chkLogOperations"), Qt::Key_Escape);
  QVERIFY(!p->isVisible());
}

void AppTest::keyboardReachesEverything() {
  // Tab leaves the output box; it goes on to the link, and Return
  // opens the manual. The window fits 1920 x 1080 at twice the size (960 x
  // 540 logical pixels, less a title bar): the settings scroll when needed.
  const QSize least = window_->minimumSizeHint();
  QVERIFY(least.width() <= 960 && least.height() <= 520);
  ui().txbMetaTAG->setFocus();
  QTest::keyClick(ui().txbMetaTAG, Qt::Key_Tab);
  QVERIFY(ui().txbMetaTAG->toPlainText().isEmpty());
  QCOMPARE(QApplication::focusWidget(), ui().cmdInsert);
  for (int tabs = 0;
       tabs < 8 && QApplication::focusWidget() != ui().lblOnlineDocumentation;
       ++tabs)
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
  QTest::keyClick(ui().lblOnlineDocumentation, Qt::Key_Return);
  QCOMPARE(int(platform_->urls.size()), 1);
  // A button's accelerator and the menu's shortcuts.
  WriteFile(Site("page.htm"), kPage);
  Type(ui().txbInputFile, Site("page.htm"));
  QTest::keyClick(window_.get(), Qt::Key_G, Qt::AltModifier);
  QTRY_VERIFY(  // the button shows itself pressed for a moment first
      ui().txbMetaTAG->toPlainText().startsWith("<meta name=\"keywords\""));
  QTest::keyClick(window_.get(), Qt::Key_Q, Qt::ControlModifier);
  QVERIFY(controller_->quitting());
}

void AppTest::pathsDroppedAndLeft() {
  WriteFile(Site("page.htm"), kPage);
  QVERIFY(QDir(site_->path()).mkdir("sub"));
  // A folder dropped on the page's box: multiple-file mode, that folder.
  Drop(ui().txbInputFile, Site("sub"));
  QVERIFY(ui().optMultipleFiles->isChecked());
  QCOMPARE(ui().txbFolder->text(), Site("sub"));
  // A page dropped on the output box: single-file mode, that page.
  Drop(ui().txbMetaTAG->viewport(), Site("page.htm"));
  QVERIFY(ui().optSingleFile->isChecked());
  QCOMPARE(ui().txbInputFile->text(), Site("page.htm"));
  ui().mnuRecent->actions().at(1)->trigger();  // the folder again
  QCOMPARE(ui().txbFolder->text(), Site("sub"));
  // A bad path left for a click: the click is not lost, and the path is
  // checked once the click is over.
  Click(ui().optSingleFile);
  ui().txbInputFile->clear();
  Type(ui().txbInputFile, Site("gone.htm"));
  Click(ui().cmdClearInputFile);
  QTest::qWait(0);
  QCOMPARE(ui().txbInputFile->text(), QString());
  QCOMPARE(platform_->boxes, std::string());
  // Left for another box, it is checked once the click is over.
  Type(ui().txbInputFile, Site("gone.htm"));
  QTest::mouseClick(ui().txbWordsToIgnore, Qt::LeftButton);
  QCOMPARE(platform_->boxes, std::string());
  QTest::qWait(0);
  QCOMPARE(platform_->boxes,
           std::string("File not found | Input file does not exist. | "
                       "exclamation\n"));
}

}  // namespace vorn

QTEST_MAIN(vorn::AppTest)
#include "app_test.moc"
