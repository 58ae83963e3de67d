#include <QApplication>

#include "app/AppInfo.h"
#include "app/MDIForm1.h"
#include "platform/DesktopSession.h"

int main(int argc, char* argv[]) {
  const platform::DesktopSession session(QStringLiteral("tilora"), QString::fromLatin1(app_info::kAppId));
  QApplication app(argc, argv);
  MDIForm1 frame;
  frame.Show();
  return app.exec();
}
