// vorn: the desktop application. Wires the main window and the desktop to
// the application core and runs the event loop.
#include <QApplication>
#include <QIcon>

#include "app/main_controller.h"
#include "app/qt/main_window.h"
#include "app/qt/qt_platform.h"
#include "support/files.h"

int main(int argc, char* argv[]) {
  QApplication app(argc, argv);
  QApplication::setApplicationName(QStringLiteral("vorn"));
  QApplication::setDesktopFileName(QStringLiteral("vorn"));
  QApplication::setWindowIcon(QIcon::fromTheme(QStringLiteral("vorn")));
  vorn::QtPlatform platform;
  vorn::MainWindow window;
  platform.set_owner(&window);
  vorn::MainController controller(window, platform,
                                  {vorn::ProgramFolder(), std::string()});
  window.SetController(&controller);
  if (!controller.StartUp()) return 1;
  return app.exec();
}
