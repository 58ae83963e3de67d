#include <QApplication>

#include "app/AppInfo.h"
#include "app/MDIForm1.h"

int main(int argc, char* argv[]) {
  // Every window's class (WM_CLASS) is the application name; the desktop entry names it in
  // StartupWMClass.
  QCoreApplication::setApplicationName(QStringLiteral("tilora"));
  QGuiApplication::setDesktopFileName(QString::fromLatin1(app_info::kAppId));
  QApplication app(argc, argv);
  MDIForm1 frame;
  frame.Show();
  return app.exec();
}
