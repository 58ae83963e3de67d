#include <QApplication>

#include "app/AppInfo.h"
#include "app/MDIForm1.h"
#include "platform/QtJapanese.h"

int main(int argc, char* argv[]) {
  // Every window's class (WM_CLASS) is the application name; the desktop entry names it in
  // StartupWMClass. On Wayland the desktop file's name is the windows' app id.
  QCoreApplication::setApplicationName(QStringLiteral("tilora"));
  QGuiApplication::setDesktopFileName(QString::fromLatin1(app_info::kAppId));
  QApplication app(argc, argv);
  platform::InstallQtJapanese();
  MDIForm1 frame;
  frame.Show();
  return app.exec();
}
