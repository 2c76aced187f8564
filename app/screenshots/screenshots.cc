// Takes the pictures of the manual and the README: runs the application
// on a copy of the sample site, walks it through single-file and
// multiple-file mode, a run with the inspect dialog, the report and the
// help, and saves each window as a PNG. Meant to run under Xvfb
// (scripts/screenshots.sh), so that windows have a real screen.
//
//   vorn_screenshots SAMPLE_SITE OUTPUT_FOLDER
#include <QApplication>
#include <QCheckBox>
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
  std::string ChooseFolder(const std::string&) override { return {}; }
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

int Run(int argc, char** argv) {
  if (argc != 3) {
    std::fprintf(stderr, "usage: vorn_screenshots SAMPLE_SITE OUTPUT_FOLDER\n");
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

  c.HelpClicked();
  Save(w.helpWindow(), out, "help.png");
  fs::remove_all(work);
  return pictured ? 0 : 1;
}

}  // namespace
}  // namespace vorn

int main(int argc, char** argv) { return vorn::Run(argc, argv); }
