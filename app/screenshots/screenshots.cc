// Takes the pictures of the manual and the README: runs the application
// on a copy of the sample site, walks it through single-file and
// multiple-file mode, a run with the inspect dialog, the report, the menu
// and the help, and saves each window as a PNG. With "scaled", takes only
// the main window as it comes up on a small or scaled screen. Meant to run
// under Xvfb (scripts/screenshots.sh), so that windows have a real screen.
//
//   vorn_screenshots SAMPLE_SITE OUTPUT_FOLDER [scaled NAME]
#include <QApplication>
#include <QCheckBox>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QScreen>
#include <QTimer>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>

#include "app/main_controller.h"
#include "app/qt/help_window.h"
#include "app/qt/main_window.h"
#include "app/qt/parameters_window.h"
#include "app/qt/report_window.h"
#include "support/files.h"

namespace vorn {
namespace {

// Answers every box with its first button and notes it on stderr.
class ScriptedPlatform : public Platform {
 public:
  Answer Ask(const MessageBox& box) override {
    std::fprintf(stderr, "box: %s: %s\n", box.caption.c_str(),
                 box.text.c_str());
    return box.buttons == Buttons::kOk ? Answer::kOk : Answer::kYes;
  }
  std::string ChooseFileToOpen(const OpenFileDialog&) override { return {}; }
  std::string ChooseFileToSave(const std::string&) override { return {}; }
  std::string ChooseFolder(const std::string&, const std::string&) override {
    return {};
  }
  void SetClipboardText(std::string_view) override {}
  bool OpenUrl(const std::string&) override { return true; }
};

void Save(QWidget* window, const std::string& folder, const char* name) {
  QApplication::processEvents();
  const QString path = QString::fromStdString(folder + "/" + name);
  if (!window->grab().save(path))
    std::fprintf(stderr, "cannot save %s\n", name);
}

// The screen under the main window's frame: shows a dialog over it.
void SaveScreenArea(QWidget* window, const std::string& folder,
                    const char* name) {
  QApplication::processEvents();
  const QRect r = window->frameGeometry();
  const QPixmap shot =
      window->screen()->grabWindow(0, r.x(), r.y(), r.width(), r.height());
  shot.save(QString::fromStdString(folder + "/" + name));
}

void Type(MainWindow& w, MainController& c, TextBox box,
          const std::string& text) {
  w.SetText(box, text);
  c.TextEdited(box, text);
}

// The File menu open on the recent pages and folders, over the window.
void SaveMenu(MainWindow& w, const std::string& folder, const char* name) {
  auto* file = qobject_cast<QMenu*>(w.ui().actOpenPage->parent());
  const QRect title = w.menuBar()->actionGeometry(file->menuAction());
  file->popup(w.menuBar()->mapToGlobal(title.bottomLeft()));
  file->setActiveAction(w.ui().mnuRecent->menuAction());
  QApplication::processEvents();
  const QRect entry = file->actionGeometry(w.ui().mnuRecent->menuAction());
  w.ui().mnuRecent->popup(file->mapToGlobal(entry.topRight()));
  SaveScreenArea(&w, folder, name);
  w.ui().mnuRecent->hide();
  file->hide();
}

int Run(int argc, char** argv) {
  const bool scaled = argc == 5 && std::string(argv[3]) == "scaled";
  if (argc != 3 && !scaled) {
    std::fprintf(stderr,
                 "usage: vorn_screenshots SAMPLE_SITE OUTPUT_FOLDER "
                 "[scaled NAME]\n");
    return 2;
  }
  namespace fs = std::filesystem;
  const std::string out = fs::absolute(argv[2]).string();
  const fs::path work = fs::temp_directory_path() / "vorn-screenshots";
  fs::remove_all(work);
  fs::create_directories(work / "config");
  fs::copy(argv[1], work / "site", fs::copy_options::recursive);
  const std::string site = (work / "site").string();
  // A fresh user: no saved state, nothing written to the real one.
  setenv("XDG_CONFIG_HOME", (work / "config").c_str(), 1);

  QApplication app(argc, argv);
  ScriptedPlatform platform;
  MainWindow w;
  MainController c(w, platform, {ProgramFolder(), std::string()});
  w.SetController(&c);
  if (!c.StartUp()) return 1;
  if (scaled) {
    Type(w, c, TextBox::kInputFile, site + "/index.htm");
    c.GenerateClicked();
    Save(&w, out, argv[4]);
    fs::remove_all(work);
    return 0;
  }
  w.move(40, 40);

  // Single file: the tag of the sample page.
  Type(w, c, TextBox::kInputFile, site + "/index.htm");
  c.GenerateClicked();
  Save(&w, out, "main-single.png");

  // Multiple files: the folder, the parameters.
  c.ModeClicked(false);
  Type(w, c, TextBox::kFolder, site);
  Save(&w, out, "main-multiple.png");
  c.ShowExistingClicked();
  ParametersWindow* parameters = w.parametersWindow();
  parameters->findChild<QCheckBox*>("chkIncludeAllSubfolders")->click();
  parameters->findChild<QCheckBox*>("chkIncludeNewMetaTag")->click();
  Save(parameters, out, "parameters.png");
  parameters->hide();

  // A run with the inspect dialog: the first one is pictured over the main
  // window, every one is continued.
  bool pictured = false;
  QTimer continuer;
  QObject::connect(&continuer, &QTimer::timeout, [&] {
    QWidget* dialog = QApplication::activeModalWidget();
    if (dialog == nullptr) return;
    auto* cont = dialog->findChild<QPushButton*>("cmdContinue");
    if (cont == nullptr) return;
    if (!pictured) {
      SaveScreenArea(&w, out, "inspect.png");
      pictured = true;
    }
    cont->click();
  });
  continuer.start(200);
  c.GenerateClicked();
  continuer.stop();
  w.reportWindow()->Flush();
  Save(w.reportWindow(), out, "report.png");
  w.reportWindow()->hide();

  c.ModeClicked(true);
  SaveMenu(w, out, "menu.png");

  c.HelpClicked();
  Save(w.helpWindow(), out, "help.png");
  fs::remove_all(work);
  return pictured ? 0 : 1;
}

}  // namespace
}  // namespace vorn

int main(int argc, char** argv) { return vorn::Run(argc, argv); }
