// The real windows on the offscreen platform, driven by clicks, keys and
// drops with a scripted desktop: the wiring of the controls and menus to
// the controller, and what only the widgets do (the event pump during a
// scan, the modal inspect dialog, focus, Tab and caret, the report's
// selection, where windows go, minimising, fitting small screens).
// The state file lives under a temporary XDG_CONFIG_HOME.
#include <QApplication>
#include <QCheckBox>
#include <QDir>
#include <QFile>
#include <QInputMethodEvent>
#include <QMenu>
#include <QMimeData>
#include <QRegularExpression>
#include <QStatusBar>
#include <QTemporaryDir>
#include <QTest>
#include <QTextCursor>
#include <QTimer>
#include <QWindow>
#include <algorithm>
#include <cmath>
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

// A button's caption as the user reads it, without its accelerator mark.
QString Caption(const QAbstractButton* button) {
  QString text = button->text();
  text.replace(QStringLiteral("&&"), QStringLiteral("\x01"));
  text.remove(u'&');
  text.replace(u'\x01', u'&');
  return text;
}

// A widget's place on the screen.
QRect OnScreen(const QWidget* w) {
  return QRect(w->mapToGlobal(QPoint(0, 0)), w->size());
}

// The contrast ratio of two colours (WCAG 2).
double Contrast(QColor a, QColor b) {
  auto luminance = [](QColor c) {
    auto f = [](double v) {
      return v <= 0.03928 ? v / 12.92 : std::pow((v + 0.055) / 1.055, 2.4);
    };
    return 0.2126 * f(c.redF()) + 0.7152 * f(c.greenF()) +
           0.0722 * f(c.blueF());
  };
  const double la = luminance(a), lb = luminance(b);
  return (std::max(la, lb) + 0.05) / (std::min(la, lb) + 0.05);
}

// Drags `path` (as a file manager offers it: a URL and its text) onto `w`
// and drops it there.
void Drop(QWidget* w, const QString& path) {
  QMimeData mime;
  const QUrl url = QUrl::fromLocalFile(path);
  mime.setUrls({url});
  mime.setText(url.toString());
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
  void stopDuringTheScanOfALargePage_data();
  void stopDuringTheScanOfALargePage();
  void multipleFileRunAndItsWindows();
  void keyboardReachesEverything();
  void linkReadableOnADarkTheme();
  void pagesAndFoldersDropped();
  void clickAfterABadPathIsNotLost();
  void windowFitsSmallScreens();

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

  // F1 opens the help wherever the focus is; Help restores it.
  QTest::keyClick(ui().cmdQuit, Qt::Key_F1);
  HelpWindow* help = window_->helpWindow();
  QVERIFY(help != nullptr && help->isVisible());
  help->showMinimized();
  Click(ui().cmdHelp);
  QVERIFY(window_->helpWindow() == help && !help->isMinimized());

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

void AppTest::stopDuringTheScanOfALargePage_data() {
  QTest::addColumn<bool>("escape");
  QTest::newRow("Stop clicked") << false;
  QTest::newRow("Escape pressed") << true;
}

void AppTest::stopDuringTheScanOfALargePage() {
  QFETCH(bool, escape);
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
    during = Caption(ui().cmdListWords) +
             QString::number(ui().cmdGenerateKeywordMetaTag->isEnabled());
    if (escape)
      QTest::keyClick(window_.get(), Qt::Key_Escape);
    else
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
  QCOMPARE(Caption(ui().cmdListWords), QString("List words"));
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
    QCoreApplication::processEvents();
    auto* insert = Child<QCheckBox>(d, "chkInsertMetaTag");
    const QRect dialog = d->frameGeometry();
    seen = d->findChild<QLabel*>("lblFile")->text() + " " +
           QString::number(insert->isChecked()) +
           QString::number(Child(d, "chkInsertDoneMetaTag")->isChecked()) +
           QString::number(Child(d, "chkStopOperation")->isChecked()) + " " +
           QString::number(ui().cmdListWords->isEnabled()) +
           QString::number(ui().cmdQuit->isEnabled()) + " " +
           QString::number(ui().prgFilesDone->value()) + "/" +
           QString::number(ui().prgFilesDone->maximum()) +
           // The progress, the word count and the output box stay in view.
           (dialog.intersects(OnScreen(ui().prgFilesDone)) ||
                    dialog.intersects(OnScreen(ui().lblNumberOfWords)) ||
                    dialog.intersects(OnScreen(ui().txbMetaTAG))
                ? " covered"
                : "");
    Click(insert);  // keep only the done tag; Continue takes the focus
    seen += d->focusWidget() == Child(d, "cmdContinue") ? " focus" : "";
    Click(Child(d, "cmdContinue"));
    WhenInspecting(inspect);
  };
  WhenInspecting(inspect);
  Click(ui().optMultipleFiles);
  Type(ui().txbFolder, site_->path());
  Click(ui().cmdGenerateKeywordMetaTag);
  // Boxes: insert, done (the parameter), not stop; "Stop" and Quit look
  // disabled behind the dialog; 0 of 3.
  QCOMPARE(seen, QString("File: a.htm 110 00 0/3 focus"));
  QCOMPARE(shown, 2);
  QVERIFY(ReadFile(Site("a.htm")).contains("<meta name=\"VORN done\""));
  QVERIFY(!ReadFile(Site("a.htm")).contains("name=\"keywords\""));
  QCOMPARE(ReadFile(Site("b.htm")), QByteArray(kPage));
  QCOMPARE(ReadFile(Site("c.htm")), QByteArray(kPage));
  QCOMPARE(Caption(ui().cmdListWords), QString("Save state"));
  QVERIFY(ui().cmdListWords->isEnabled() && ui().cmdQuit->isEnabled());
  QCOMPARE(window_->statusBar()->currentMessage(),
           QString("Keywords meta tag inserted in 0 of 2 files."));

  // The report: in front of the main window, leaving its input rows and
  // Stop in view; never smaller than 7500 x 3000 twips; save, copy.
  ReportWindow* r = window_->reportWindow();
  QVERIFY(r->isVisible());
  for (const QWidget* w : {static_cast<QWidget*>(ui().txbFolder),
                           static_cast<QWidget*>(ui().cmdListWords)})
    QVERIFY2(!r->frameGeometry().intersects(OnScreen(w)),
             qPrintable(w->objectName()));
  const std::string log = controller_->report().text();
  QCOMPARE(r->text()->toPlainText(), ToQt(log));
  QVERIFY(log.find("\r\nOperation stopped at user's request.\r\n") !=
          std::string::npos);
  r->resize(10, 10);
  QVERIFY(r->width() >= PxX(7500, r) && r->height() >= PxY(3000, r));
  platform_->next_save = PathFromQt(Site("report.txt"));
  Click(Child(r, "cmdSaveToFile"));
  QCOMPARE(ReadFile(Site("report.txt")), ToQt(log).toUtf8() + "\n");
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
  QVERIFY(r->isVisible());
  // Shown but behind the main window: "View report" brings it back.
  window_->activateWindow();
  QVERIFY(QTest::qWaitForWindowActive(window_.get()));
  Click(ui().cmdViewReport);
  QVERIFY(QTest::qWaitForWindowActive(r));

  // The parameters window: a click comes back with its coupling.
  Click(ui().cmdShowExistingKeywordMetaTag);
  QWidget* p = window_->parametersWindow();
  QVERIFY(p->isVisible());
  Click(Child(p, "chkIncludeOldMetaTag"));
  QVERIFY(Child(p, "chkIncludeNewMetaTag")->isChecked());
  Click(Child(p, "chkLogOperations"));
  QVERIFY(!Child(p, "chkIncludeOldMetaTag")->isEnabled());
  QVERIFY(!controller_->parameters().LogOperations);
  // Return and Escape close it, wherever its focus is.
  QTest::keyClick(Child(p, "chkLogOperations"), Qt::Key_Escape);
  QVERIFY(!p->isVisible());
  Click(ui().cmdShowExistingKeywordMetaTag);
  QTest::keyClick(Child(p, "chkBackup"), Qt::Key_Return);
  QVERIFY(!p->isVisible());
}

void AppTest::keyboardReachesEverything() {
  // Tab leaves the output box and goes on to the bottom row and the link;
  // Return opens the manual from the link.
  ui().txbMetaTAG->setFocus();
  QTest::keyClick(ui().txbMetaTAG, Qt::Key_Tab);
  QVERIFY(ui().txbMetaTAG->toPlainText().isEmpty());
  QCOMPARE(QApplication::focusWidget(), ui().cmdInsert);
  for (int tabs = 0;
       tabs < 8 && QApplication::focusWidget() != ui().lblOnlineDocumentation;
       ++tabs)
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
  QCOMPARE(QApplication::focusWidget(), ui().lblOnlineDocumentation);
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

void AppTest::linkReadableOnADarkTheme() {
  QPalette dark;
  dark.setColor(QPalette::Window, QColor(0x20, 0x20, 0x20));
  dark.setColor(QPalette::WindowText, QColor(0xe0, 0xe0, 0xe0));
  dark.setColor(QPalette::Link, QColor(0x8a, 0xb4, 0xf8));
  window_->setPalette(dark);
  const QLabel* link = ui().lblOnlineDocumentation;
  const QImage image =
      window_
          ->grab(QRect(link->mapTo(window_.get(), QPoint(0, 0)), link->size()))
          .toImage();
  // The text is what differs most from the background around it.
  const QColor background = image.pixelColor(0, 0);
  double best = 1;
  for (int y = 0; y < image.height(); ++y)
    for (int x = 0; x < image.width(); ++x)
      best = std::max(best, Contrast(image.pixelColor(x, y), background));
  QVERIFY2(best >= 4.5, qPrintable(QString::number(best)));
}

void AppTest::pagesAndFoldersDropped() {
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
  QCOMPARE(platform_->boxes, std::string());
  ui().mnuRecent->actions().at(1)->trigger();  // the folder again
  QCOMPARE(ui().txbFolder->text(), Site("sub"));
}

void AppTest::clickAfterABadPathIsNotLost() {
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

// 1920 x 1080 at twice the size is 960 x 540 logical pixels; 1366 x 768 with
// fonts a quarter larger. Less a title bar, the window fits: the settings
// scroll when needed.
void AppTest::windowFitsSmallScreens() {
  const QFont font = QApplication::font();
  for (const auto& [scale, screen] :
       {std::pair{1.0, QSize(960, 520)}, std::pair{1.25, QSize(1366, 728)}}) {
    QFont larger = font;
    larger.setPointSizeF(font.pointSizeF() * scale);
    QApplication::setFont(larger);
    MainWindow window;
    MainController controller(window, *platform_, {VORN_DATA_DIR, ""});
    window.SetController(&controller);
    QVERIFY(controller.StartUp());
    const QSize least = window.minimumSizeHint();
    QVERIFY2(
        least.width() <= screen.width() && least.height() <= screen.height(),
        qPrintable(QString::number(scale)));
  }
  QApplication::setFont(font);
}

}  // namespace vorn

QTEST_MAIN(vorn::AppTest)
#include "app_test.moc"
