// The real windows on the offscreen platform, driven by clicks and keys
// with a scripted desktop: the wiring of the controls to the controller,
// and what only the widgets do (the event pump during a scan, the modal
// inspect dialog, focus and caret, the report's selection, minimising).
// The state file lives under a temporary XDG_CONFIG_HOME.
#include <QApplication>
#include <QCheckBox>
#include <QFile>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>
#include <QTextCursor>
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
#include "app/qt/twips.h"
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
  Click(ui().cmdListWords);
  QVERIFY(ui().txbMetaTAG->toPlainText().contains("garden"));
  Click(ui().cmdGenerateKeywordMetaTag);
  QVERIFY(ui().txbMetaTAG->toPlainText().startsWith("<meta name=\"keywords\""));
  ui().cboLanguage->setFocus();
  QTest::keyClick(ui().cboLanguage, Qt::Key_Up);
  QCOMPARE(controller_->settings().TextLanguage, 0);  // English still
  QTest::keyClick(ui().cboLanguage, Qt::Key_Down);
  QCOMPARE(controller_->settings().TextLanguage, 1);

  // Leaving a numeric field checks it; the focus comes back, caret at end.
  QLineEdit* keywords = ui().txbMaxNumKeywordsInMetaTag;
  keywords->selectAll();
  Type(keywords, "12a3");
  ui().txbBeginMetaTagWith->setFocus();
  QVERIFY(platform_->boxes.starts_with("VORN | Maximum number of keywords"));
  QCOMPARE(keywords->text(), QString("50"));
  QVERIFY(keywords->hasFocus());
  QCOMPARE(keywords->cursorPosition(), 2);

  // F1 on a main command button opens the help; Help restores it.
  QTest::keyClick(ui().cmdQuit, Qt::Key_F1);
  QCOMPARE(window_->helpWindow(), nullptr);
  QTest::keyClick(ui().cmdListWords, Qt::Key_F1);
  HelpWindow* help = window_->helpWindow();
  QVERIFY(help != nullptr && help->isVisible());
  help->showMinimized();
  Click(ui().cmdHelp);
  QVERIFY(window_->helpWindow() == help && !help->isMinimized());

  QTest::mouseClick(ui().lblOnlineDocumentation, Qt::LeftButton);
  QCOMPARE(int(platform_->urls.size()), 1);
  Type(ui().txbBeginMetaTagWith, "say \"hi\"");
  window_->close();  // as Quit
  const auto saved =
      LoadState(PathFromQt(config_.filePath("Quillon/vorn.usr")));
  QVERIFY(saved.has_value());
  QCOMPARE(saved->Settings.BeginMetaTagWith, std::string("say \"hi\""));
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
  // At the first moment the scan lets events through, click "Stop".
  QString during;
  QTimer::singleShot(0, [&] {
    during = ui().cmdListWords->text() +
             QString::number(ui().cmdGenerateKeywordMetaTag->isEnabled());
    QTest::mouseClick(ui().cmdListWords, Qt::LeftButton);
  });
  Click(ui().cmdListWords);
  QCOMPARE(during, QString("Stop0"));
  QCoreApplication::processEvents();
  const QString text = ui().txbMetaTAG->toPlainText();
  const qsizetype end = text.indexOf("\n\nStopped with ");
  QVERIFY2(end > 0, qPrintable(text.right(100)));
  const qsizetype words =
      text.left(end)
          .split(QRegularExpression("\\s+"), Qt::SkipEmptyParts)
          .size();
  QVERIFY(words > 0 && words < 45 * 45 * 45);  // stopped well before the end
  QCOMPARE(text.mid(end + 2),
           QString("Stopped with %1 words identified.").arg(words));
  QCOMPARE(ui().cmdListWords->text(), QString("List words"));
}

void AppTest::multipleFileRunAndItsWindows() {
  for (const char* name : {"a.htm", "b.htm", "c.htm"})
    WriteFile(Site(name), kPage);
  QString seen;
  int shown = 0;
  std::function<void(EditMetaTagDialog*)> inspect = [&](EditMetaTagDialog* d) {
    if (++shown > 1) {  // the close box stops the run
      d->close();
      return WhenInspecting(inspect, 50);
    }
    QCoreApplication::processEvents();
    auto* insert = Child<QCheckBox>(d, "chkInsertMetaTag");
    seen = d->findChild<QLabel*>("lblFile")->text() + " " +
           QString::number(insert->isChecked()) +
           QString::number(Child(d, "chkInsertDoneMetaTag")->isChecked()) +
           QString::number(Child(d, "chkStopOperation")->isChecked()) + " " +
           QString::number(ui().cmdListWords->isEnabled()) + " " +
           QString::number(ui().prgFilesDone->value()) + "/" +
           QString::number(ui().prgFilesDone->maximum());
    Click(insert);  // keep only the done tag; Continue takes the focus
    seen += d->focusWidget() == Child(d, "cmdContinue") ? " focus" : "";
    Click(Child(d, "cmdContinue"));
    WhenInspecting(inspect);
  };
  WhenInspecting(inspect);
  Click(ui().optMultipleFiles);
  Type(ui().txbFolder, site_->path());
  Click(ui().cmdGenerateKeywordMetaTag);
  // Boxes: insert, done (the parameter), not stop; "Stop" disabled; 0 of 3.
  QCOMPARE(seen, QString("File: a.htm 110 0 0/3 focus"));
  QCOMPARE(shown, 2);
  for (const char* name : {"a.htm", "b.htm"}) {
    QVERIFY(ReadFile(Site(name)).contains("<meta name=\"VORN done\""));
    QVERIFY(!ReadFile(Site(name)).contains("name=\"keywords\""));
  }
  QCOMPARE(ReadFile(Site("c.htm")), QByteArray(kPage));
  QCOMPARE(ui().cmdListWords->text(), QString("Save state"));
  QVERIFY(ui().cmdListWords->isEnabled());

  // The report: never smaller than 7500 x 3000 twips, save, copy.
  ReportWindow* r = window_->reportWindow();
  QVERIFY(r->isVisible());
  const std::string log = controller_->report().text();
  QCOMPARE(r->text()->toPlainText(), ToQt(log));
  QVERIFY(log.find("\r\nOperation stopped at user's request.\r\n") !=
          std::string::npos);
  r->resize(10, 10);
  QVERIFY(r->width() >= PxX(7500, r) && r->height() >= PxY(3000, r));
  platform_->next_save = PathFromQt(Site("report.txt"));
  Click(Child(r, "cmdSaveToFile"));
  QCOMPARE(ReadFile(Site("report.txt")),
           QByteArray::fromStdString(log + "\r\n"));
  // A selection made with the mouse is what gets copied.
  QTextCursor cursor = r->text()->textCursor();
  cursor.setPosition(0);
  cursor.setPosition(6, QTextCursor::KeepAnchor);
  r->text()->setTextCursor(cursor);
  QTest::mouseRelease(r->text()->viewport(), Qt::LeftButton, {}, QPoint(5, 5));
  auto* copy = Child(r, "cmdCopyToClipboard");
  QCOMPARE(copy->text(), QString("Copy selected text to clipboard"));
  Click(copy);
  QCOMPARE(platform_->clipboard, std::string("Folder"));
  QCOMPARE(copy->text(), QString("Copy to clipboard"));
  Click(Child(r, "cmdClose"));
  QVERIFY(!r->isVisible() && ui().cmdViewReport->isVisible());
  Click(ui().cmdViewReport);
  QVERIFY(r->isVisible() && ui().cmdViewReport->isHidden());

  // The parameters window: a click comes back with its coupling.
  Click(ui().cmdShowExistingKeywordMetaTag);
  QWidget* p = window_->parametersWindow();
  QVERIFY(p->isVisible());
  Click(Child(p, "chkIncludeOldMetaTag"));
  QVERIFY(Child(p, "chkIncludeNewMetaTag")->isChecked());
  Click(Child(p, "chkLogOperations"));
  QVERIFY(!Child(p, "chkIncludeOldMetaTag")->isEnabled());
  QVERIFY(!controller_->parameters().LogOperations);
}

}  // namespace vorn

QTEST_MAIN(vorn::AppTest)
#include "app_test.moc"
